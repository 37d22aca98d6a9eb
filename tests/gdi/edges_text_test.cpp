// Fills, frames, 3-D edges and text output.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "memory_canvas.h"

namespace zorbalin {
namespace {

const COLORREF kFace = GetSysColor(COLOR_BTNFACE);
const COLORREF kShadow = GetSysColor(COLOR_BTNSHADOW);
const COLORREF kHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
const COLORREF kDark = GetSysColor(COLOR_3DDKSHADOW);

// Reads a canvas as a grid of single letters for readable expectations.
std::string Picture(const TMemoryCanvas& C, int W, int H) {
    std::string out;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            COLORREF p = C.At(x, y);
            out += p == kFace        ? 'F'
                   : p == kShadow    ? 'S'
                   : p == kHighlight ? 'H'
                   : p == kDark      ? 'D'
                   : p == kBlack     ? '.'
                                     : '?';
        }
        out += '\n';
    }
    return out;
}

TEST(Edges, RaisedButtonFaceFromPartialEdges) {
    // The push-button face: outer raised right/bottom, inner raised left/top, inner raised
    // right/bottom with the middle filled.
    TMemoryCanvas c(5, 5);
    RECT r{0, 0, 5, 5};
    DrawEdge(c.Dc(), &r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
    --r.right;
    --r.bottom;
    DrawEdge(c.Dc(), &r, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
    ++r.left;
    ++r.top;
    DrawEdge(c.Dc(), &r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_MIDDLE);
    EXPECT_EQ(Picture(c, 5, 5), "HHHHD\n"
                                "HFFSD\n"
                                "HFFSD\n"
                                "HSSSD\n"
                                "DDDDD\n");
}

TEST(Edges, SunkenFullRectangleGivesCornersToRightAndBottom) {
    TMemoryCanvas c(5, 5);
    RECT r{0, 0, 5, 5};
    DrawEdge(c.Dc(), &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.right, 3);
    // Outer sunken: shadow left/top, highlight right/bottom; inner sunken: dark left/top,
    // light (the face) right/bottom.
    EXPECT_EQ(Picture(c, 5, 5), "SSSSH\n"
                                "SDDFH\n"
                                "SD.FH\n"
                                "SFFFH\n"
                                "HHHHH\n");
}

TEST(Frames, FrameAndFocusRectangles) {
    TMemoryCanvas c(4, 3);
    TBrushOwner brush(CreateSolidBrush(kShadow));
    RECT r{0, 0, 4, 3};
    FrameRect(c.Dc(), &r, brush.Get());
    EXPECT_EQ(Picture(c, 4, 3), "SSSS\nS..S\nSSSS\n");
    TMemoryCanvas f(4, 3);
    DrawFocusRect(f.Dc(), &r);
    int inverted = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            inverted += f.At(x, y) == kWhite;
    EXPECT_EQ(inverted, 5) << "every other one of the 10 outline pixels";
    EXPECT_EQ(f.At(0, 0), kWhite);
    EXPECT_EQ(f.At(1, 1), kBlack);
    DrawFocusRect(f.Dc(), &r); // drawn twice: gone
    EXPECT_EQ(f.At(0, 0), kBlack);
}

class TextTest : public ::testing::Test {
  protected:
    // A new font, owned by the fixture so that it outlives every selection in the test body.
    HFONT Font(const char* Family, LONG Height, LONG Weight = 400) {
        LOGFONTA lf;
        lf.lfHeight = Height;
        lf.lfWeight = Weight;
        std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", Family);
        FFonts.emplace_back(CreateFontIndirectA(&lf));
        return FFonts.back().Get();
    }
    SIZE Extent(HDC Dc, const std::string& Text) {
        SIZE s;
        EXPECT_TRUE(GetTextExtentPoint32A(Dc, Text.c_str(), -1, &s));
        return s;
    }
    std::vector<TFontOwner> FFonts;
};

TEST_F(TextTest, ExtentGrowsWithTextAndFontSize) {
    TMemoryCanvas c(4, 4);
    for (const char* family : {"MS Sans Serif", "Tahoma", "Arial", "Comic Sans MS"}) {
        TSelectionGuard sel(c.Dc(), Font(family, -13));
        SIZE one = Extent(c.Dc(), "Kő");
        SIZE two = Extent(c.Dc(), "Kő Kő");
        EXPECT_GT(one.cx, 0) << family;
        EXPECT_GE(one.cy, 13) << family;
        EXPECT_GT(two.cx, 2 * one.cx) << family;
        EXPECT_EQ(Extent(c.Dc(), "").cx, 0);
    }
    TSelectionGuard sel(c.Dc(), Font("Arial", -24));
    SIZE big = Extent(c.Dc(), "Kő");
    TSelectionGuard bold(c.Dc(), Font("Arial", -24, 700));
    EXPECT_GE(Extent(c.Dc(), "Kő").cx, big.cx) << "bold is at least as wide";
}

TEST_F(TextTest, InkOnlyInsideTheClipRectangleInTheTextColour) {
    TMemoryCanvas c(80, 30, kWhite);
    TSelectionGuard sel(c.Dc(), Font("Arial", -16));
    SetTextColor(c.Dc(), RGB(200, 0, 0));
    SetBkMode(c.Dc(), TRANSPARENT);
    RECT clip{10, 5, 40, 25};
    ExtTextOutA(c.Dc(), 2, 4, ETO_CLIPPED, &clip, "ÁRVÍZTŰRŐ tükörfúrógép", -1);
    int inside = 0, darkest = 255;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            COLORREF p = c.At(x, y);
            bool in = x >= 10 && x < 40 && y >= 5 && y < 25;
            if (!in) {
                ASSERT_EQ(p, kWhite) << "ink outside the clip at " << x << "," << y;
            } else if (p != kWhite) {
                ++inside;
                // Red over white: green and blue fade alike, red stays above them.
                EXPECT_EQ(GetBValue(p), GetGValue(p));
                EXPECT_GE(GetRValue(p), GetGValue(p));
                darkest = std::min<int>(darkest, GetGValue(p));
            }
        }
    EXPECT_GT(inside, 20);
    EXPECT_LT(darkest, 40) << "some pixels fully inked";
}

TEST_F(TextTest, OpaqueModeFillsTheCellWithTheBackground) {
    TMemoryCanvas c(60, 30, kBlack);
    TSelectionGuard sel(c.Dc(), Font("Tahoma", -11));
    SetBkColor(c.Dc(), RGB(0, 0, 255));
    SetTextColor(c.Dc(), kWhite);
    ASSERT_TRUE(TextOutA(c.Dc(), 3, 2, "ii", -1));
    SIZE s = Extent(c.Dc(), "ii");
    EXPECT_EQ(c.At(3, 2), RGB(0, 0, 255));
    EXPECT_EQ(c.At(3 + s.cx - 1, 2 + s.cy - 1), RGB(0, 0, 255));
    EXPECT_EQ(c.At(3 + s.cx, 2), kBlack);
    EXPECT_EQ(c.At(2, 2), kBlack);
}

TEST_F(TextTest, DrawTextWrapsAndCentres) {
    TMemoryCanvas c(200, 100, kWhite);
    TSelectionGuard sel(c.Dc(), Font("Tahoma", -13));
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(c.Dc(), &tm));
    SIZE word = Extent(c.Dc(), "kavics");
    RECT r{0, 0, word.cx + 2, 100};
    int height =
        DrawTextA(c.Dc(), "kavics kavics kavics", -1, &r, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    EXPECT_EQ(height, 3 * tm.tmHeight) << "one word per line";
    EXPECT_EQ(r.bottom, 3 * tm.tmHeight);
    EXPECT_EQ(r.right, word.cx);

    // Centred single line: ink is balanced around the middle.
    RECT box{0, 0, 200, 100};
    SetBkMode(c.Dc(), TRANSPARENT);
    DrawTextA(c.Dc(), "Gratulálok!", -1, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    int minX = 200, maxX = -1, minY = 100, maxY = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (c.At(x, y) != kWhite) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0);
    EXPECT_NEAR((minX + maxX) / 2.0, 100, 3);
    EXPECT_NEAR((minY + maxY) / 2.0, 50, 4);
}

} // namespace
} // namespace zorbalin
