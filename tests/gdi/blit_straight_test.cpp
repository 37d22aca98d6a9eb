// The straight row copy of same-width 32-bit blits against the general per-pixel copy: both must
// leave every destination byte the same, whatever the sizes, clipping, origins and row order.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gdi/pixels.h"
#include "memory_canvas.h"

namespace zorbalin {
namespace {

using gdi_detail::RunBlit;
using gdi_detail::TBitmapBits;
using gdi_detail::TBlitParams;

// 32-bit pixel memory with padded rows and noisy content, fourth bytes included.
struct TMemory {
    TMemory(LONG Width, LONG Height, bool TopDown, LONG PadBytes, unsigned Seed)
        : Bytes(std::size_t(4 * Width + PadBytes) * std::size_t(Height)) {
        std::mt19937 random(Seed);
        for (BYTE& b : Bytes)
            b = static_cast<BYTE>(random());
        View.Bits = Bytes.data();
        View.Width = Width;
        View.Height = Height;
        View.Stride = 4 * Width + PadBytes;
        View.BitCount = 32;
        View.TopDown = TopDown;
    }
    std::vector<BYTE> Bytes;
    TBitmapBits View;
};

struct TBlit {
    LONG Dx, Dy, Dw, Dh, Sx, Sy, Sw, Sh;
    RECT Clip;
};

// Runs the blit once through the general copy and once as it would normally run, on two equal
// destinations, and reports whether the destination memory came out the same.
::testing::AssertionResult SameAsPlain(const TMemory& Source, LONG DstWidth, LONG DstHeight,
                                       bool DstTopDown, const TBlit& B) {
    TMemory plain(DstWidth, DstHeight, DstTopDown, 8, 77),
        fast(DstWidth, DstHeight, DstTopDown, 8, 77);
    for (TMemory* m : {&plain, &fast}) {
        TBlitParams p;
        p.Dst = m->View;
        p.DstClip = B.Clip;
        p.Dx = B.Dx, p.Dy = B.Dy, p.Dw = B.Dw, p.Dh = B.Dh;
        p.Src = &Source.View;
        p.Sx = B.Sx, p.Sy = B.Sy, p.Sw = B.Sw, p.Sh = B.Sh;
        p.PlainOnly = m == &plain;
        if (!RunBlit(p))
            return ::testing::AssertionFailure() << "blit refused";
    }
    for (std::size_t i = 0; i < plain.Bytes.size(); ++i) {
        if (plain.Bytes[i] != fast.Bytes[i])
            return ::testing::AssertionFailure()
                   << "byte " << i << ": plain " << int(plain.Bytes[i]) << ", straight "
                   << int(fast.Bytes[i]);
    }
    return ::testing::AssertionSuccess();
}

TEST(StraightBlit, MatchesPlainCopyOnOddSizesOriginsAndClips) {
    const RECT all{-1000, -1000, 1000, 1000};
    for (LONG width : {1, 3, 5, 13, 17, 33, 67}) {
        for (bool srcTopDown : {true, false}) {
            for (bool dstTopDown : {true, false}) {
                TMemory source(width, 9, srcTopDown, width % 3 * 4, unsigned(width));
                const LONG dw = width + 6, dh = 13;
                const TBlit blits[] = {
                    {0, 0, width, 9, 0, 0, width, 9, all},   // the whole source
                    {3, 2, width, 7, 0, 1, width, 7, all},   // moved origin
                    {-2, -3, width, 9, 0, 0, width, 9, all}, // partly off the top left
                    {5, 8, width, 9, 0, 0, width, 9, all},   // partly off the bottom right
                    {1, 1, width, 5, -2, 0, width, 5, all},  // source starts left of its bitmap
                    {1, 1, width, 5, 2, 3, width, 5, all},   // source runs past its right edge
                    {0, 0, width, 9, 0, 0, width, 9, {1, 2, 4, 6}}, // clipped
                    {2, 0, width, 13, 0, 0, width, 9, all},         // stretched rows only
                    {0, 0, width, 9, 0, 0, width, 9, {0, 0, 0, 0}}, // clipped away
                };
                for (std::size_t i = 0; i < std::size(blits); ++i) {
                    EXPECT_TRUE(SameAsPlain(source, dw, dh, dstTopDown, blits[i]))
                        << "width " << width << ", blit " << i << ", source "
                        << (srcTopDown ? "top-down" : "bottom-up") << ", destination "
                        << (dstTopDown ? "top-down" : "bottom-up");
                }
            }
        }
    }
}

TEST(StraightBlit, OtherShapesStillMatchPlainCopy) {
    TMemory source(10, 6, true, 0, 5);
    const RECT all{-100, -100, 100, 100};
    EXPECT_TRUE(SameAsPlain(source, 12, 8, true, {0, 0, -10, 6, 0, 0, 10, 6, all})) << "mirrored";
    EXPECT_TRUE(SameAsPlain(source, 12, 8, true, {0, 0, 12, 6, 0, 0, 10, 6, all})) << "wider";
    EXPECT_TRUE(SameAsPlain(source, 12, 8, true, {0, 0, 5, 6, 0, 0, 10, 6, all})) << "narrower";
}

// A copy within one bitmap whose rectangles overlap: the straight copy must not change what the
// pixel-by-pixel order gives.
TEST(StraightBlit, OverlappingCopyWithinOneBitmapMatchesPlainCopy) {
    for (LONG shift : {-2, -1, 1, 3}) {
        for (LONG down : {0, 1}) {
            TMemory plain(9, 7, true, 4, 11), fast(9, 7, true, 4, 11);
            for (TMemory* m : {&plain, &fast}) {
                TBlitParams p;
                p.Dst = m->View;
                p.DstClip = RECT{0, 0, 9, 7};
                p.Dx = shift, p.Dy = down, p.Dw = 9, p.Dh = 5;
                p.Src = &m->View;
                p.Sx = 0, p.Sy = 0, p.Sw = 9, p.Sh = 5;
                p.PlainOnly = m == &plain;
                ASSERT_TRUE(RunBlit(p));
            }
            EXPECT_EQ(plain.Bytes, fast.Bytes) << "shift " << shift << ", down " << down;
        }
    }
}

// Through the public calls: a bottom-up section copied into a canvas at an origin, each pixel
// landing where it should with its fourth byte cleared.
TEST(StraightBlit, BottomUpSectionIntoCanvasThroughBitBlt) {
    const int w = 7, h = 5;
    BITMAPINFO info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h; // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TBitmapOwner section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(section);
    BYTE* memory = static_cast<BYTE*>(bits);
    for (int row = 0; row < h; ++row) { // memory row 0 is the bottom picture row
        for (int x = 0; x < w; ++x) {
            BYTE* px = memory + 4 * (row * w + x);
            px[0] = BYTE(x), px[1] = BYTE(h - 1 - row), px[2] = 0x40, px[3] = 0xEE;
        }
    }
    TDCOwner sdc(CreateCompatibleDC(nullptr));
    TSelectionGuard sel(sdc.Get(), section.Get());
    TMemoryCanvas d(10, 8, RGB(9, 9, 9));
    ASSERT_TRUE(BitBlt(d.Dc(), 2, 1, w, h, sdc.Get(), 0, 0, SRCCOPY));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 2 && x < 2 + w && y >= 1 && y < 1 + h;
            COLORREF expected = inside ? RGB(0x40, y - 1, x - 2) : RGB(9, 9, 9);
            ASSERT_EQ(d.At(x, y), expected) << x << "," << y;
        }
    }
    BITMAPINFO out{};
    out.bmiHeader.biSize = 40;
    out.bmiHeader.biWidth = 10;
    out.bmiHeader.biHeight = -8;
    out.bmiHeader.biPlanes = 1;
    out.bmiHeader.biBitCount = 32;
    std::vector<BYTE> read(10 * 8 * 4, 0x55);
    ASSERT_EQ(GetDIBits(d.Dc(), d.Bitmap(), 0, 8, read.data(), &out, DIB_RGB_COLORS), 8);
    for (std::size_t i = 3; i < read.size(); i += 4)
        ASSERT_EQ(read[i], 0) << "pixel " << i / 4;
}

} // namespace
} // namespace zorbalin
