#include "draw_support.h"

#include <stdexcept>

#include "imaging/pngpicture.h"
#include "tests/support/png_test_support.h"

namespace zorbalin::testing {
namespace {

// The samples packed into rows as the PNG standard lays them out.
pngtest::TSampleImage SampleRows(const TTestImage& Image) {
    pngtest::TSampleImage rows;
    rows.Width = Image.Width;
    rows.Height = Image.Height;
    rows.BitDepth = static_cast<std::uint8_t>(Image.BitDepth);
    rows.ColourType = static_cast<std::uint8_t>(Image.ColourType);
    rows.Rows.assign(Image.Height, TBytes(rows.RowBytes(Image.Width), 0));
    const std::uint32_t channels = rows.Channels();
    std::size_t next = 0;
    for (std::uint32_t y = 0; y < Image.Height; ++y)
        for (std::uint32_t x = 0; x < Image.Width; ++x)
            for (std::uint32_t c = 0; c < channels; ++c)
                rows.SetSample(x, y, c, Image.Samples[next++]);
    return rows;
}

} // namespace

void AppendSample(TBytes& Data, std::uint16_t Sample) {
    Data.push_back(static_cast<std::uint8_t>(Sample >> 8));
    Data.push_back(static_cast<std::uint8_t>(Sample));
}

TBytes EncodeTestPng(const TTestImage& Image) {
    pngtest::TPngBuilder png;
    png.Signature().Ihdr(Image.Width, Image.Height, static_cast<std::uint8_t>(Image.BitDepth),
                         static_cast<std::uint8_t>(Image.ColourType));
    if (Image.Gamma)
        png.Chunk("gAMA", pngtest::BigEndian32(Image.Gamma));
    if (!Image.Palette.empty())
        png.Chunk("PLTE", Image.Palette);
    if (Image.HasTransparency)
        png.Chunk("tRNS", Image.Transparency);
    png.Chunk("IDAT", pngtest::Compress(pngtest::FilteredData(SampleRows(Image), 0)));
    return png.Iend().Data();
}

std::unique_ptr<TPNGObject> LoadTestPng(const TTestImage& Image) {
    TBytes png = EncodeTestPng(Image);
    auto picture = std::make_unique<TPNGObject>();
    LoadPNGFromMemory(*picture, png.data(), png.size());
    return picture;
}

TTestCanvas::TTestCanvas(int Width, int Height, COLORREF Fill) : FSurface(Width, Height) {
    if (!FSurface)
        throw std::runtime_error("no canvas");
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            SetPixel(x, y, Fill);
    FCanvas = std::make_unique<TCanvas>(FSurface.DC());
}

COLORREF TTestCanvas::Pixel(int X, int Y) const {
    const std::uint8_t* p = FSurface.Row(Y) + X * 4;
    return RGB(p[2], p[1], p[0]);
}

void TTestCanvas::SetPixel(int X, int Y, COLORREF Colour) {
    std::uint8_t* p = FSurface.Row(Y) + X * 4;
    p[0] = GetBValue(Colour);
    p[1] = GetGValue(Colour);
    p[2] = GetRValue(Colour);
}

std::vector<std::uint32_t> TTestCanvas::Pixels() const {
    std::vector<std::uint32_t> all;
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
            all.push_back(Pixel(x, y));
    return all;
}

} // namespace zorbalin::testing
