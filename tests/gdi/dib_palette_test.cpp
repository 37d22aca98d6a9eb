// DIB sections of every format, read back with GetDIBits; StretchDIBits; palettes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "memory_canvas.h"

namespace zorbalin {
namespace {

// Four colours that every format can hold exactly (16-bit keeps multiples of 8 plus the
// expansion 5 -> 8 bits, which maps 0 and 255 to themselves).
const COLORREF kColours[4] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 255)};

BITMAPINFO InfoFor(int Width, int Height, int BitCount) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = Height;
    info.bmiHeader.biBitCount = static_cast<WORD>(BitCount);
    if (BitCount <= 8) {
        info.bmiHeader.biClrUsed = BitCount == 1 ? 2 : 4;
        for (int i = 0; i < static_cast<int>(info.bmiHeader.biClrUsed); ++i) {
            COLORREF c = kColours[BitCount == 1 ? i * 3 : i];
            info.bmiColors[i] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
        }
    }
    return info;
}

class DibSectionsTest : public ::testing::TestWithParam<std::tuple<int, bool>> {};

// A 5 x 3 section is painted through its context, then its memory, GetDIBits in the same format
// and a blit into a colour canvas must all agree.
TEST_P(DibSectionsTest, PaintReadBackAndBlit) {
    const int bitCount = std::get<0>(GetParam());
    const bool topDown = std::get<1>(GetParam());
    const int w = 5, h = 3;
    BITMAPINFO info = InfoFor(w, topDown ? -h : h, bitCount);
    void* bits = nullptr;
    TBitmapOwner section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(section);
    ASSERT_NE(bits, nullptr);
    const LONG stride = DibStride(w, bitCount);
    EXPECT_EQ(stride % 4, 0);
    for (LONG i = 0; i < stride * h; ++i)
        ASSERT_EQ(static_cast<BYTE*>(bits)[i], 0) << "zeroed";

    TDCOwner dc(CreateCompatibleDC(nullptr));
    HGDIOBJ old = SelectObject(dc.Get(), section.Get());
    auto colourAt = [&](int X, int Y) {
        if (bitCount == 1)
            return ((X + Y) & 1) ? kColours[3] : kColours[0];
        return kColours[(X + 2 * Y) % 4];
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(dc.Get(), x, y, colourAt(x, y));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(GetPixel(dc.Get(), x, y), colourAt(x, y)) << x << "," << y;

    // Row order in memory: the top row is the first row only when top-down.
    const BYTE* memory = static_cast<const BYTE*>(bits);
    const BYTE* topRow = memory + (topDown ? 0 : stride * (h - 1));
    if (bitCount == 24) {
        EXPECT_EQ(topRow[3 * 1 + 2], GetRValue(colourAt(1, 0)));
        EXPECT_EQ(topRow[3 * 1 + 1], GetGValue(colourAt(1, 0)));
    }

    // GetDIBits into the same format, bottom-up, gives the same rows.
    BITMAPINFO out = InfoFor(w, h, bitCount);
    std::vector<BYTE> copy(static_cast<std::size_t>(stride * h));
    SelectObject(dc.Get(), old);
    ASSERT_EQ(GetDIBits(dc.Get(), section.Get(), 0, h, copy.data(), &out, DIB_RGB_COLORS), h);
    for (int row = 0; row < h; ++row) {
        const BYTE* want = memory + stride * (topDown ? h - 1 - row : row);
        EXPECT_EQ(std::memcmp(copy.data() + stride * row, want,
                              static_cast<std::size_t>((w * bitCount + 7) / 8)),
                  0)
            << "scan line " << row;
    }

    // And as 32-bit colour.
    BITMAPINFO wide = InfoFor(w, -h, 32);
    std::vector<BYTE> colour(static_cast<std::size_t>(4 * w * h));
    ASSERT_EQ(GetDIBits(dc.Get(), section.Get(), 0, h, colour.data(), &wide, DIB_RGB_COLORS), h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const BYTE* p = &colour[static_cast<std::size_t>(4 * (y * w + x))];
            EXPECT_EQ(RGB(p[2], p[1], p[0]), colourAt(x, y)) << x << "," << y;
        }

    // Drawn into a colour canvas through StretchDIBits from its own memory.
    TMemoryCanvas canvas(w, h, RGB(1, 2, 3));
    ASSERT_EQ(
        StretchDIBits(canvas.Dc(), 0, 0, w, h, 0, 0, w, h, bits, &info, DIB_RGB_COLORS, SRCCOPY),
        h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(canvas.At(x, y), colourAt(x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(EveryBitCount, DibSectionsTest,
                         ::testing::Combine(::testing::Values(1, 4, 8, 16, 24, 32),
                                            ::testing::Bool()));

TEST(DibSectionCreation, RefusesBadDescriptionsWithoutThrowing) {
    BITMAPINFO info = InfoFor(4, 4, 24);
    void* bits = reinterpret_cast<void*>(1);
    info.bmiHeader.biBitCount = 7;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biWidth = 0;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info.bmiHeader.biWidth = 65535;
    info.bmiHeader.biHeight = 65535; // 16 GiB: refused, not attempted
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    info = InfoFor(2, 2, 8);
    info.bmiHeader.biClrUsed = 300;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(StretchDIBitsTest, BottomUpSourceRectangleIsMeasuredFromTheBottom) {
    // A 1 x 4 bottom-up 32-bit DIB whose memory rows hold 10, 20, 30, 40 (row 0 = bottom).
    BITMAPINFO info = InfoFor(1, 4, 32);
    BYTE bits[16] = {};
    for (int i = 0; i < 4; ++i)
        bits[4 * i + 2] = static_cast<BYTE>(10 * (i + 1));
    TMemoryCanvas d(1, 2);
    ASSERT_EQ(StretchDIBits(d.Dc(), 0, 0, 1, 2, 0, 1, 1, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY),
              2);
    // Source rows 1..2 from the bottom: 20 and 30, drawn upright (30 on top).
    EXPECT_EQ(d.At(0, 0), RGB(30, 0, 0));
    EXPECT_EQ(d.At(0, 1), RGB(20, 0, 0));
    // Top-down: measured from the top.
    info.bmiHeader.biHeight = -4;
    ASSERT_EQ(StretchDIBits(d.Dc(), 0, 0, 1, 2, 0, 1, 1, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY),
              2);
    EXPECT_EQ(d.At(0, 0), RGB(20, 0, 0));
    EXPECT_EQ(d.At(0, 1), RGB(30, 0, 0));
}

TEST(CreateDIBitmapTest, InitialisesColourBitmapThroughColourTable) {
    BITMAPINFO info = InfoFor(4, 1, 8);
    BYTE row[4] = {3, 2, 1, 0};
    TMemoryCanvas screen(1, 1);
    TBitmapOwner bmp(
        CreateDIBitmap(screen.Dc(), &info.bmiHeader, CBM_INIT, row, &info, DIB_RGB_COLORS));
    ASSERT_TRUE(bmp);
    BITMAP bm;
    GetObject(bmp.Get(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    TDCOwner dc(CreateCompatibleDC(nullptr));
    TSelectionGuard sel(dc.Get(), bmp.Get());
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(GetPixel(dc.Get(), x, 0), kColours[3 - x]);
}

TEST(Palettes, NearestIndexTakesLeastSquaredDistanceAndLowestOnTies) {
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 4;
    PALETTEENTRY* e = lp->palPalEntry;
    e[0] = {100, 0, 0, 0};
    e[1] = {0, 0, 10, 0};
    e[2] = {0, 10, 0, 0}; // as far from black as entry 1
    e[3] = {90, 0, 0, 0};
    TPaletteOwner palette(CreatePalette(lp));
    ASSERT_TRUE(palette);
    EXPECT_EQ(GetNearestPaletteIndex(palette.Get(), RGB(0, 0, 0)), 1u) << "tie: lowest index";
    EXPECT_EQ(GetNearestPaletteIndex(palette.Get(), RGB(96, 0, 0)), 0u);
    EXPECT_EQ(GetNearestPaletteIndex(palette.Get(), RGB(95, 0, 0)), 0u) << "5 vs 5: lowest index";
    EXPECT_EQ(GetNearestPaletteIndex(palette.Get(), RGB(94, 0, 0)), 3u);
    EXPECT_EQ(GetNearestPaletteIndex(nullptr, 0), CLR_INVALID);

    ASSERT_TRUE(ResizePalette(palette.Get(), 6));
    PALETTEENTRY got[6];
    ASSERT_EQ(GetPaletteEntries(palette.Get(), 0, 6, got), 6u);
    EXPECT_EQ(got[3].peRed, 90);
    EXPECT_EQ(got[5].peRed, 0);
    PALETTEENTRY white{255, 255, 255, 0};
    EXPECT_EQ(SetPaletteEntries(palette.Get(), 5, 4, &white), 1u) << "clipped to the palette";
    EXPECT_EQ(GetNearestPaletteIndex(palette.Get(), RGB(250, 250, 250)), 5u);
    WORD count = 0;
    EXPECT_EQ(GetObject(palette.Get(), sizeof count, &count), 2);
    EXPECT_EQ(count, 6);
}

TEST(Palettes, HalftoneSelectionAndRealisation) {
    TPaletteOwner halftone(CreateHalftonePalette(nullptr));
    PALETTEENTRY entries[256];
    ASSERT_EQ(GetPaletteEntries(halftone.Get(), 0, 256, entries), 256u);
    EXPECT_EQ(GetNearestPaletteIndex(halftone.Get(), RGB(255, 255, 255)), 215u);
    EXPECT_EQ(GetNearestPaletteIndex(halftone.Get(), RGB(0, 0, 0)), 0u);
    UINT red = GetNearestPaletteIndex(halftone.Get(), RGB(255, 0, 0));
    EXPECT_EQ(entries[red].peRed, 255);
    EXPECT_EQ(entries[red].peGreen, 0);

    TDCOwner dc(CreateCompatibleDC(nullptr));
    HPALETTE previous = SelectPalette(dc.Get(), halftone.Get(), FALSE);
    ASSERT_NE(previous, nullptr);
    EXPECT_EQ(RealizePalette(dc.Get()), 256u);
    EXPECT_FALSE(DeleteObject(halftone.Get())) << "selected palettes stay alive";
    SelectPalette(dc.Get(), previous, FALSE);
    EXPECT_TRUE(DeleteObject(halftone.Release()));
}

} // namespace
} // namespace zorbalin
