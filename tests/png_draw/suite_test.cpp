// PngSuite drawn over a background, checked pixel by pixel against the drawing
// rules applied to samples read by the test's own reader: the transparency
// kind, the colour each pixel is drawn with, the colour key taken from the
// stored bytes, and the blend.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "draw_support.h"
#include "imaging/pngpicture.h"
#include "tests/support/png_test_support.h"

namespace zorbalin {
namespace {

using pngtest::TSampleImage;
using testing::TTestCanvas;

struct TRgba {
    int R, G, B, A;
};

// The drawing rules, written out plainly for one decoded image.
class TExpectedDrawing {
  public:
    explicit TExpectedDrawing(const TSampleImage& Png)
        : FPng(Png), FGamma(pngtest::GammaTable(Png.Gamma)) {}

    enum TKind { Opaque, Key, Alpha };

    TKind Kind() const {
        switch (FPng.ColourType) {
        case 0:
        case 2:
            return FPng.HasTransparency ? Key : Opaque;
        case 3: {
            if (!FPng.HasTransparency)
                return Opaque;
            int below = 0, first = 255;
            for (std::uint8_t a : FPng.Transparency) {
                if (a == 255)
                    continue;
                if (below++ == 0)
                    first = a;
            }
            return below == 1 && first == 0 ? Key : Alpha;
        }
        default:
            return Alpha;
        }
    }

    // The grey a stored grey sample shows through the picture's grey ramp.
    int Grey(int Sample) const {
        switch (FPng.BitDepth) {
        case 16:
            return FGamma[Sample >> 8];
        case 2:
            return FGamma[85 * Sample]; // kept as 5 s in a 16-entry ramp
        default:
            return FGamma[std::lround(Sample * 255.0 / ((1 << FPng.BitDepth) - 1))];
        }
    }
    int Component(int Sample) const { return FGamma[FPng.BitDepth == 16 ? Sample >> 8 : Sample]; }
    int Raw(int Sample) const { return FPng.BitDepth == 16 ? Sample >> 8 : Sample; }
    // Red, green or blue of a palette entry, through the gamma table.
    int Entry(std::size_t Index, int Component) const {
        return FGamma[FPng.Palette.at(3 * Index + Component)];
    }

    TRgba Source(std::uint32_t X, std::uint32_t Y) const {
        auto s = [&](int C) { return static_cast<int>(FPng.Sample(X, Y, C)); };
        switch (FPng.ColourType) {
        case 0: {
            const int g = Grey(s(0));
            return {g, g, g, 255};
        }
        case 2:
            return {Component(s(0)), Component(s(1)), Component(s(2)), 255};
        case 3: {
            const std::size_t i = static_cast<std::size_t>(s(0));
            const int a = i < FPng.Transparency.size() ? FPng.Transparency[i] : 255;
            return {Entry(i, 0), Entry(i, 1), Entry(i, 2), a};
        }
        case 4: {
            const int g = Raw(s(0));
            return {g, g, g, Raw(s(1))};
        }
        default:
            return {Component(s(0)), Component(s(1)), Component(s(2)), Raw(s(3))};
        }
    }

    // The key colour, or false when no pixel can carry it.
    bool KeyColour(TRgba& Key) const {
        const auto& t = FPng.Transparency;
        auto sample = [&](int I) { return (t.at(2 * I) << 8) | t.at(2 * I + 1); };
        if (FPng.ColourType == 0) {
            if (FPng.BitDepth < 16 && sample(0) >= (1 << FPng.BitDepth))
                return false;
            const int g = Grey(sample(0));
            Key = {g, g, g, 255};
            return true;
        }
        if (FPng.ColourType == 2) {
            for (int c = 0; c < 3; ++c)
                if (FPng.BitDepth < 16 && sample(c) > 255)
                    return false;
            Key = {Component(sample(0)), Component(sample(1)), Component(sample(2)), 255};
            return true;
        }
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (t[i] != 0)
                continue;
            Key = {Entry(i, 0), Entry(i, 1), Entry(i, 2), 255};
            return true;
        }
        Key = {0, 0, 0, 255};
        return true;
    }

    COLORREF Drawn(std::uint32_t X, std::uint32_t Y, COLORREF Background) const {
        const TRgba s = Source(X, Y);
        const int bg[3] = {GetRValue(Background), GetGValue(Background), GetBValue(Background)};
        const TKind kind = Kind();
        TRgba key{};
        if (kind == Key && KeyColour(key) && key.R == s.R && key.G == s.G && key.B == s.B)
            return Background;
        if (kind != Alpha)
            return RGB(s.R, s.G, s.B);
        auto blend = [&](int C, int D) { return (C * s.A + D * (255 - s.A) + 255) >> 8; };
        return RGB(blend(s.R, bg[0]), blend(s.G, bg[1]), blend(s.B, bg[2]));
    }

  private:
    const TSampleImage& FPng;
    std::vector<std::uint8_t> FGamma;
};

// Every intact PngSuite picture at natural size over two backgrounds.
TEST(PngSuiteDrawing, NaturalSizeFollowsTheRules) {
    int checked = 0;
    for (const std::string& name : pngtest::PngSuiteNames()) {
        if (name[0] == 'x')
            continue; // damaged on purpose
        const std::string path = pngtest::PngSuitePath(name);
        const TSampleImage png = pngtest::ReferenceDecode(pngtest::ReadFile(path));
        TPNGObject picture;
        LoadPNGFromFile(picture, path);
        const TExpectedDrawing expected(png);
        for (COLORREF background : {RGB(255, 255, 255), RGB(0x12, 0x9A, 0x56)}) {
            const int w = static_cast<int>(png.Width), h = static_cast<int>(png.Height);
            TTestCanvas canvas(w, h, background);
            picture.Draw(canvas.Canvas(), Rect(0, 0, w, h));
            int wrong = 0;
            for (std::uint32_t y = 0; y < png.Height; ++y)
                for (std::uint32_t x = 0; x < png.Width; ++x)
                    if (canvas.Pixel(static_cast<int>(x), static_cast<int>(y)) !=
                        expected.Drawn(x, y, background))
                        ++wrong;
            EXPECT_EQ(wrong, 0) << name;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 161);
}

// PngSuite's interlaced pictures hold the same pixels as their plain twins.
TEST(PngSuiteDrawing, InterlacedPicturesDrawLikeTheirPlainTwins) {
    int checked = 0;
    for (const std::string& name : pngtest::PngSuiteNames()) {
        if (name.compare(0, 4, "basi") != 0)
            continue;
        TPNGObject interlaced, plain;
        LoadPNGFromFile(interlaced, pngtest::PngSuitePath(name));
        LoadPNGFromFile(plain, pngtest::PngSuitePath("basn" + name.substr(4)));
        for (COLORREF background : {RGB(255, 255, 255), RGB(0x12, 0x9A, 0x56)}) {
            TTestCanvas first(32, 32, background), second(32, 32, background);
            interlaced.Draw(first.Canvas(), Rect(0, 0, 32, 32));
            plain.Draw(second.Canvas(), Rect(0, 0, 32, 32));
            EXPECT_EQ(first.Pixels(), second.Pixels()) << name;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 15);
}

// Stretched pictures: the alpha path shows source column trunc(x / (width / w)),
// the opaque and colour-key paths the platform's nearest pixel, x * w / width.
TEST(PngSuiteDrawing, StretchedPicturesSampleTheNearestPixel) {
    for (const char* name : {"basn6a08.png", "basn4a16.png", "tm3n3p02.png", "basn2c08.png",
                             "basn0g02.png", "tbrn2c08.png", "tbbn3p08.png", "tbwn0g16.png"}) {
        const std::string path = pngtest::PngSuitePath(name);
        const TSampleImage png = pngtest::ReferenceDecode(pngtest::ReadFile(path));
        ASSERT_GT(png.Width, 0u) << name;
        TPNGObject picture;
        LoadPNGFromFile(picture, path);
        const TExpectedDrawing expected(png);
        const bool alpha = expected.Kind() == TExpectedDrawing::Alpha;
        const COLORREF background = RGB(40, 50, 60);
        for (const auto& size : {std::pair<int, int>{45, 21}, std::pair<int, int>{100, 70}}) {
            const int width = size.first, height = size.second;
            TTestCanvas canvas(width, height, background);
            picture.Draw(canvas.Canvas(), Rect(0, 0, width, height));
            const double rx = double(width) / png.Width, ry = double(height) / png.Height;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const auto sx =
                        alpha ? static_cast<std::uint32_t>(static_cast<long double>(x) / rx)
                              : static_cast<std::uint32_t>(x * png.Width / width);
                    const auto sy =
                        alpha ? static_cast<std::uint32_t>(static_cast<long double>(y) / ry)
                              : static_cast<std::uint32_t>(y * png.Height / height);
                    ASSERT_EQ(canvas.Pixel(x, y), expected.Drawn(sx, sy, background))
                        << name << " at " << x << "," << y;
                }
        }
    }
}

} // namespace
} // namespace zorbalin
