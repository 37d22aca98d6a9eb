// Raster operations, colour <-> monochrome conversion, the colour-key sequence and stretching.
#include <gtest/gtest.h>

#include <vector>

#include "memory_canvas.h"

namespace zorbalin {
namespace {

TEST(RasterOps, EachOperationOnColourPixels) {
    const COLORREF src = RGB(0xF0, 0x0F, 0x55), dst = RGB(0x3C, 0xAA, 0x0F);
    struct TCase {
        DWORD Rop;
        COLORREF Expected;
    } cases[] = {
        {SRCCOPY, src},
        {NOTSRCCOPY, RGB(0x0F, 0xF0, 0xAA)},
        {SRCAND, RGB(0x30, 0x0A, 0x05)},
        {SRCPAINT, RGB(0xFC, 0xAF, 0x5F)},
        {SRCINVERT, RGB(0xCC, 0xA5, 0x5A)},
        {DSTINVERT, RGB(0xC3, 0x55, 0xF0)},
        {BLACKNESS, kBlack},
        {WHITENESS, kWhite},
    };
    for (const TCase& c : cases) {
        TMemoryCanvas s(2, 1, src), d(2, 1, dst);
        ASSERT_TRUE(BitBlt(d.Dc(), 0, 0, 1, 1, s.Dc(), 0, 0, c.Rop)) << std::hex << c.Rop;
        EXPECT_EQ(d.At(0, 0), c.Expected) << std::hex << c.Rop;
        EXPECT_EQ(d.At(1, 0), dst) << "outside the rectangle, rop " << std::hex << c.Rop;
    }
    TMemoryCanvas s(1, 1), d(1, 1);
    EXPECT_FALSE(BitBlt(d.Dc(), 0, 0, 1, 1, s.Dc(), 0, 0, 0x00123456)) << "unknown operation";
}

TEST(RasterOps, DeviceBitmapsAreBgrxWithZeroFourthByte) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = -1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TBitmapOwner section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(section);
    static_cast<BYTE*>(bits)[3] = 0x77; // a stray fourth byte must not travel
    TDCOwner sdc(CreateCompatibleDC(nullptr));
    TSelectionGuard sel(sdc.Get(), section.Get());
    SetPixel(sdc.Get(), 0, 0, RGB(1, 2, 3));
    static_cast<BYTE*>(bits)[3] = 0x77;
    TMemoryCanvas d(1, 1);
    BitBlt(d.Dc(), 0, 0, 1, 1, sdc.Get(), 0, 0, SRCCOPY);
    BITMAP bm;
    ASSERT_EQ(GetObject(d.Bitmap(), sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmBits, nullptr) << "device bitmaps do not expose their memory";
    BITMAPINFO out{};
    out.bmiHeader.biWidth = 1;
    out.bmiHeader.biHeight = 1;
    out.bmiHeader.biBitCount = 32;
    BYTE px[4] = {9, 9, 9, 9};
    ASSERT_EQ(GetDIBits(d.Dc(), d.Bitmap(), 0, 1, px, &out, DIB_RGB_COLORS), 1);
    EXPECT_EQ(px[0], 3);
    EXPECT_EQ(px[1], 2);
    EXPECT_EQ(px[2], 1);
    EXPECT_EQ(px[3], 0);
}

TEST(MonochromeConversion, ColourToMonoUsesSourceBackground) {
    TMemoryCanvas colour(3, 1, RGB(10, 20, 30));
    colour.Set(1, 0, RGB(200, 100, 50));
    colour.Set(2, 0, RGB(10, 20, 31)); // one step from the key: not equal
    TMemoryCanvas mono(3, 1, kBlack, /*mono=*/true);
    SetBkColor(colour.Dc(), RGB(200, 100, 50));
    SetBkColor(mono.Dc(), RGB(1, 1, 1)); // the destination's colours play no part
    ASSERT_TRUE(BitBlt(mono.Dc(), 0, 0, 3, 1, colour.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(mono.At(0, 0), kBlack);
    EXPECT_EQ(mono.At(1, 0), kWhite);
    EXPECT_EQ(mono.At(2, 0), kBlack);
    // NOTSRCCOPY inverts the converted bits.
    ASSERT_TRUE(BitBlt(mono.Dc(), 0, 0, 3, 1, colour.Dc(), 0, 0, NOTSRCCOPY));
    EXPECT_EQ(mono.At(0, 0), kWhite);
    EXPECT_EQ(mono.At(1, 0), kBlack);
}

TEST(MonochromeConversion, MonoToColourUsesDestinationColours) {
    TMemoryCanvas mono(2, 1, kBlack, true);
    mono.Set(0, 0, kWhite);              // bit 1
    SetBkColor(mono.Dc(), RGB(9, 9, 9)); // the source's colours play no part
    SetTextColor(mono.Dc(), RGB(8, 8, 8));
    TMemoryCanvas colour(2, 1, RGB(50, 60, 70));
    SetBkColor(colour.Dc(), RGB(0, 128, 255));
    SetTextColor(colour.Dc(), RGB(255, 64, 0));
    ASSERT_TRUE(BitBlt(colour.Dc(), 0, 0, 2, 1, mono.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(colour.At(0, 0), RGB(0, 128, 255));
    EXPECT_EQ(colour.At(1, 0), RGB(255, 64, 0));
    // Defaults: 1 -> white, 0 -> black; SRCAND keeps the destination under 1 and blacks out 0.
    TMemoryCanvas plain(2, 1, RGB(50, 60, 70));
    ASSERT_TRUE(BitBlt(plain.Dc(), 0, 0, 2, 1, mono.Dc(), 0, 0, SRCAND));
    EXPECT_EQ(plain.At(0, 0), RGB(50, 60, 70));
    EXPECT_EQ(plain.At(1, 0), kBlack);
}

TEST(MonochromeConversion, NewContextAndCompatibleBitmapAreMonochrome) {
    TDCOwner dc(CreateCompatibleDC(nullptr));
    BITMAP bm;
    ASSERT_GT(GetObject(GetCurrentObject(dc.Get(), OBJ_BITMAP), sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    TBitmapOwner compatible(CreateCompatibleBitmap(dc.Get(), 4, 4));
    ASSERT_GT(GetObject(compatible.Get(), sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    TBitmapOwner screen(CreateCompatibleBitmap(nullptr, 4, 4));
    ASSERT_GT(GetObject(screen.Get(), sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(GetBkColor(dc.Get()), kWhite);
    EXPECT_EQ(GetTextColor(dc.Get()), kBlack);
    EXPECT_EQ(GetStretchBltMode(dc.Get()), BLACKONWHITE);
}

// The picture drawing's colour-key sequence, step by step, on a 4 x 2 picture over a background.
TEST(ColourKeySequence, BackgroundStaysExactlyWhereSourceEqualsKey) {
    const COLORREF key = RGB(255, 0, 255);
    const COLORREF near = RGB(254, 0, 255);
    const COLORREF pixels[2][4] = {{key, RGB(1, 2, 3), near, key},
                                   {RGB(0, 0, 0), key, RGB(255, 255, 255), RGB(9, 8, 7)}};
    // The colour plane: a bottom-up 24-bit DIB.
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biBitCount = 24;
    std::vector<BYTE> plane(2 * 12);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            BYTE* p = &plane[(1 - y) * 12 + 3 * x];
            p[0] = GetBValue(pixels[y][x]);
            p[1] = GetGValue(pixels[y][x]);
            p[2] = GetRValue(pixels[y][x]);
        }
    const int w = 4, h = 2, width = 4, height = 2, x0 = 1, y0 = 1;
    TMemoryCanvas canvas(6, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            canvas.Set(x, y, RGB(x * 40, y * 60, 100));
    SetBkColor(canvas.Dc(), RGB(12, 34, 56)); // canvas's own colours do not matter
    SetTextColor(canvas.Dc(), RGB(65, 43, 21));

    HDC sDc = CreateCompatibleDC(canvas.Dc());
    HBITMAP sBmp =
        CreateDIBitmap(canvas.Dc(), &info.bmiHeader, CBM_INIT, plane.data(), &info, DIB_RGB_COLORS);
    HGDIOBJ sOld = SelectObject(sDc, sBmp);
    HDC m = CreateCompatibleDC(canvas.Dc()), n = CreateCompatibleDC(canvas.Dc()),
        xDc = CreateCompatibleDC(canvas.Dc());
    HBITMAP mBmp = CreateBitmap(width, height, 1, 1, nullptr),
            nBmp = CreateBitmap(width, height, 1, 1, nullptr);
    HBITMAP xBmp = CreateCompatibleBitmap(canvas.Dc(), width, height);
    HGDIOBJ mOld = SelectObject(m, mBmp), nOld = SelectObject(n, nBmp),
            xOld = SelectObject(xDc, xBmp);
    COLORREF saved = SetBkColor(sDc, key);
    StretchBlt(m, 0, 0, width, height, sDc, 0, 0, w, h, SRCCOPY);
    SetBkColor(sDc, saved);
    BitBlt(n, 0, 0, width, height, m, 0, 0, NOTSRCCOPY);
    BitBlt(xDc, 0, 0, width, height, canvas.Dc(), x0, y0, SRCCOPY);
    BitBlt(xDc, 0, 0, width, height, m, 0, 0, SRCAND);
    StretchBlt(sDc, 0, 0, w, h, n, 0, 0, width, height, SRCAND);
    StretchBlt(xDc, 0, 0, width, height, sDc, 0, 0, w, h, SRCPAINT);
    BitBlt(canvas.Dc(), x0, y0, width, height, xDc, 0, 0, SRCCOPY);
    SelectObject(sDc, sOld);
    SelectObject(m, mOld);
    SelectObject(n, nOld);
    SelectObject(xDc, xOld);
    EXPECT_TRUE(DeleteObject(sBmp) && DeleteObject(mBmp) && DeleteObject(nBmp) &&
                DeleteObject(xBmp));
    DeleteDC(sDc);
    DeleteDC(m);
    DeleteDC(n);
    DeleteDC(xDc);

    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            COLORREF background = RGB(x * 40, y * 60, 100);
            bool inside = x >= x0 && x < x0 + width && y >= y0 && y < y0 + height;
            COLORREF expected = background;
            if (inside && pixels[y - y0][x - x0] != key)
                expected = pixels[y - y0][x - x0];
            EXPECT_EQ(canvas.At(x, y), expected) << x << "," << y;
        }
}

TEST(Stretch, NarrowerByOneShowsColumnXAtX) {
    const int sw = 367, dw = 366;
    TMemoryCanvas s(sw, 1), d(dw, 1);
    for (int x = 0; x < sw; ++x)
        s.Set(x, 0, RGB(x & 0xFF, x >> 8, 7));
    SetStretchBltMode(d.Dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(d.Dc(), 0, 0, dw, 1, s.Dc(), 0, 0, sw, 1, SRCCOPY));
    for (int x = 0; x < dw; ++x)
        ASSERT_EQ(d.At(x, 0), RGB(x & 0xFF, x >> 8, 7)) << x;
}

TEST(Stretch, DoubleAndThirdSizeSampleNearestPixel) {
    TMemoryCanvas s(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            s.Set(x, y, RGB(x, y, 1));
    TMemoryCanvas up(6, 6);
    ASSERT_TRUE(StretchBlt(up.Dc(), 0, 0, 6, 6, s.Dc(), 0, 0, 3, 3, SRCCOPY));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(up.At(x, y), RGB(x / 2, y / 2, 1)) << x << "," << y;

    TMemoryCanvas big(9, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x)
            big.Set(x, y, RGB(x, y, 2));
    TMemoryCanvas down(3, 2);
    ASSERT_TRUE(StretchBlt(down.Dc(), 0, 0, 3, 2, big.Dc(), 0, 0, 9, 6, SRCCOPY));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(down.At(x, y), RGB(3 * x, 3 * y, 2)) << x << "," << y;
}

TEST(Stretch, NegativeExtentMirrors) {
    TMemoryCanvas s(3, 1), d(3, 1);
    for (int x = 0; x < 3; ++x)
        s.Set(x, 0, RGB(x + 1, 0, 0));
    ASSERT_TRUE(StretchBlt(d.Dc(), 2, 0, -3, 1, s.Dc(), 0, 0, 3, 1, SRCCOPY));
    // The destination spans columns -1..1; column 0 shows source 1, column 1 source 0.
    EXPECT_EQ(d.At(0, 0), RGB(2, 0, 0));
    EXPECT_EQ(d.At(1, 0), RGB(1, 0, 0));
    EXPECT_EQ(d.At(2, 0), kBlack);
}

TEST(ClipAndOrigin, OutputHonoursViewportOriginAndClipRectangle) {
    TMemoryCanvas d(6, 6, kBlack);
    SetViewportOrgEx(d.Dc(), 2, 1, nullptr);
    ASSERT_EQ(IntersectClipRect(d.Dc(), 0, 0, 2, 2), 2);
    TBrushOwner red(CreateSolidBrush(RGB(255, 0, 0)));
    RECT big{-5, -5, 10, 10};
    FillRect(d.Dc(), &big, red.Get());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 2 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(d.At(x - 2, y - 1), inside ? RGB(255, 0, 0) : CLR_INVALID) << x << "," << y;
        }
    RECT box;
    GetClipBox(d.Dc(), &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 2);
    // SaveDC/RestoreDC bring back the state; SelectClipRgn(null) lifts the clip.
    int level = SaveDC(d.Dc());
    SetViewportOrgEx(d.Dc(), 0, 0, nullptr);
    SelectClipRgn(d.Dc(), nullptr);
    EXPECT_EQ(d.At(0, 0), kBlack);
    ASSERT_TRUE(RestoreDC(d.Dc(), level));
    EXPECT_EQ(d.At(-2, -1), CLR_INVALID) << "clip is back";
    // BitBlt out of a clipped context's source is not clipped by the source's clip rectangle.
    TMemoryCanvas t(2, 2, kWhite);
    ASSERT_TRUE(BitBlt(t.Dc(), 0, 0, 2, 2, d.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(t.At(0, 0), RGB(255, 0, 0));
}

TEST(Selection, BitmapLivesInOneContextAndIsNotFreedWhileSelected) {
    TMemoryCanvas a(2, 2);
    TDCOwner other(CreateCompatibleDC(nullptr));
    EXPECT_EQ(SelectObject(other.Get(), a.Bitmap()), nullptr);
    EXPECT_FALSE(DeleteObject(a.Bitmap()));
    EXPECT_EQ(a.At(1, 1), kBlack) << "still usable";
}

} // namespace
} // namespace zorbalin
