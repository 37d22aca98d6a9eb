#include "draw_support.h"

#include <zlib.h>

#include <stdexcept>

#include "imaging/pngpicture.h"

namespace zorbalin::testing {
namespace {

void Append32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void AppendChunk(Bytes& out, const char* type, const Bytes& data) {
    Append32(out, static_cast<std::uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    Append32(out,
             static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

int ChannelsOf(int colourType) {
    switch (colourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

// Rows with filter type 0 and the samples packed as the PNG standard lays them out.
Bytes RawRows(const TTestImage& image) {
    const int channels = ChannelsOf(image.ColourType);
    const std::size_t bitsPerRow = std::size_t(image.Width) * channels * image.BitDepth;
    const std::size_t rowBytes = (bitsPerRow + 7) / 8;
    Bytes raw;
    for (std::uint32_t y = 0; y < image.Height; ++y) {
        raw.push_back(0);
        Bytes row(rowBytes, 0);
        for (std::size_t i = 0; i < std::size_t(image.Width) * channels; ++i) {
            const std::uint16_t s = image.Samples[std::size_t(y) * image.Width * channels + i];
            if (image.BitDepth == 16) {
                row[2 * i] = static_cast<std::uint8_t>(s >> 8);
                row[2 * i + 1] = static_cast<std::uint8_t>(s);
            } else if (image.BitDepth == 8) {
                row[i] = static_cast<std::uint8_t>(s);
            } else {
                const std::size_t bit = i * image.BitDepth;
                row[bit / 8] |= static_cast<std::uint8_t>(s << (8 - image.BitDepth - bit % 8));
            }
        }
        raw.insert(raw.end(), row.begin(), row.end());
    }
    return raw;
}

} // namespace

void AppendSample(Bytes& data, std::uint16_t sample) {
    data.push_back(static_cast<std::uint8_t>(sample >> 8));
    data.push_back(static_cast<std::uint8_t>(sample));
}

Bytes EncodeTestPng(const TTestImage& image) {
    Bytes out = {137, 80, 78, 71, 13, 10, 26, 10};
    Bytes header;
    Append32(header, image.Width);
    Append32(header, image.Height);
    header.insert(header.end(), {static_cast<std::uint8_t>(image.BitDepth),
                                 static_cast<std::uint8_t>(image.ColourType), 0, 0, 0});
    AppendChunk(out, "IHDR", header);
    if (image.Gamma) {
        Bytes gamma;
        Append32(gamma, image.Gamma);
        AppendChunk(out, "gAMA", gamma);
    }
    if (!image.Palette.empty())
        AppendChunk(out, "PLTE", image.Palette);
    if (image.HasTransparency)
        AppendChunk(out, "tRNS", image.Transparency);
    const Bytes raw = RawRows(image);
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes compressed(size);
    if (compress(compressed.data(), &size, raw.data(), static_cast<uLong>(raw.size())) != Z_OK)
        throw std::runtime_error("deflate failed");
    compressed.resize(size);
    AppendChunk(out, "IDAT", compressed);
    AppendChunk(out, "IEND", {});
    return out;
}

std::unique_ptr<TPNGObject> LoadTestPng(const TTestImage& image) {
    const Bytes png = EncodeTestPng(image);
    auto picture = std::make_unique<TPNGObject>();
    LoadPNGFromMemory(*picture, png.data(), png.size());
    return picture;
}

TTestCanvas::TTestCanvas(int width, int height, COLORREF fill) : FSurface(width, height) {
    if (!FSurface)
        throw std::runtime_error("no canvas");
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixel(x, y, fill);
    FCanvas = std::make_unique<TCanvas>(FSurface.DC());
}

COLORREF TTestCanvas::Pixel(int x, int y) const {
    const std::uint8_t* p = FSurface.Row(y) + x * 4;
    return RGB(p[2], p[1], p[0]);
}

void TTestCanvas::SetPixel(int x, int y, COLORREF colour) {
    std::uint8_t* p = FSurface.Row(y) + x * 4;
    p[0] = GetBValue(colour);
    p[1] = GetGValue(colour);
    p[2] = GetRValue(colour);
}

std::vector<std::uint32_t> TTestCanvas::Pixels() const {
    std::vector<std::uint32_t> all;
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
            all.push_back(Pixel(x, y));
    return all;
}

} // namespace zorbalin::testing
