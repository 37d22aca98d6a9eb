#include "draw_support.h"

#include <stdexcept>

#include "imaging/pngpicture.h"
#include "tests/support/png_test_support.h"

namespace zorbalin::testing {
namespace {

// The samples packed into rows as the PNG standard lays them out.
pngtest::TSampleImage SampleRows(const TTestImage& image) {
    pngtest::TSampleImage rows;
    rows.Width = image.Width;
    rows.Height = image.Height;
    rows.BitDepth = static_cast<std::uint8_t>(image.BitDepth);
    rows.ColourType = static_cast<std::uint8_t>(image.ColourType);
    rows.Rows.assign(image.Height, Bytes(rows.RowBytes(image.Width), 0));
    const std::uint32_t channels = rows.Channels();
    std::size_t next = 0;
    for (std::uint32_t y = 0; y < image.Height; ++y)
        for (std::uint32_t x = 0; x < image.Width; ++x)
            for (std::uint32_t c = 0; c < channels; ++c)
                rows.SetSample(x, y, c, image.Samples[next++]);
    return rows;
}

} // namespace

void AppendSample(Bytes& data, std::uint16_t sample) {
    data.push_back(static_cast<std::uint8_t>(sample >> 8));
    data.push_back(static_cast<std::uint8_t>(sample));
}

Bytes EncodeTestPng(const TTestImage& image) {
    pngtest::TPngBuilder png;
    png.Signature().Ihdr(image.Width, image.Height, static_cast<std::uint8_t>(image.BitDepth),
                         static_cast<std::uint8_t>(image.ColourType));
    if (image.Gamma)
        png.Chunk("gAMA", pngtest::BigEndian32(image.Gamma));
    if (!image.Palette.empty())
        png.Chunk("PLTE", image.Palette);
    if (image.HasTransparency)
        png.Chunk("tRNS", image.Transparency);
    png.Chunk("IDAT", pngtest::Compress(pngtest::FilteredData(SampleRows(image), 0)));
    return png.Iend().Data();
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
