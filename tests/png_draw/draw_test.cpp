// Drawing a PNG picture: the transparency kinds and their three paths, on tiny
// canvases with exact pixel values.
#include <gtest/gtest.h>

#include <random>

#include "draw_support.h"
#include "imaging/png_blend.h"
#include "imaging/png_draw.h"
#include "imaging/pngpicture.h"

namespace zorbalin {
namespace {

using testing::AppendSample;
using testing::LoadTestPng;
using testing::TTestCanvas;
using testing::TTestImage;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);

TTestImage Rgba(std::uint32_t W, std::uint32_t H, std::vector<std::uint16_t> Samples) {
    TTestImage image;
    image.Width = W;
    image.Height = H;
    image.ColourType = 6;
    image.Samples = std::move(Samples);
    return image;
}

// A palette picture of one row; entries red, black, blue, white.
TTestImage PaletteRow(std::vector<std::uint16_t> Indices, std::vector<std::uint8_t> Alphas) {
    TTestImage image;
    image.Width = static_cast<std::uint32_t>(Indices.size());
    image.Height = 1;
    image.ColourType = 3;
    image.Samples = std::move(Indices);
    image.Palette = {255, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255};
    image.Transparency = std::move(Alphas);
    image.HasTransparency = !image.Transparency.empty();
    return image;
}

TEST(PngDraw, EmptyPictureDrawsNothingAndHasNoHeader) {
    TPNGObject picture;
    TTestCanvas canvas(4, 3, kGreen);
    const auto before = canvas.Pixels();
    picture.Draw(canvas.Canvas(), Rect(0, 0, 4, 3));
    EXPECT_EQ(canvas.Pixels(), before);
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_THROW(picture.TransparencyKind(), EPNGHeaderNotPresent);
    EXPECT_THROW(picture.IsTransparent(), EPNGHeaderNotPresent);
    EXPECT_THROW(picture.GetPalette(), EPNGHeaderNotPresent);
}

TEST(PngDraw, PictureWhoseFirstChunkIsNoHeader) {
    TPNGObject picture;
    picture.Chunks.Append(TChunkIEND::Class().Create(&picture));
    TTestCanvas canvas(2, 2, kGreen);
    EXPECT_FALSE(picture.IsEmpty());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_THROW(picture.Draw(canvas.Canvas(), Rect(0, 0, 2, 2)), EInvalidCast);
    EXPECT_THROW(picture.TransparencyKind(), EPNGHeaderNotPresent);
}

// Controls paint with an origin and a clip rectangle on their parent's canvas.
TEST(PngDraw, AlphaDrawingHonoursOriginAndClip) {
    auto picture =
        LoadTestPng(Rgba(2, 2, {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 255, 9, 9, 9, 0}));
    TTestCanvas canvas(6, 6, kWhite);
    SetViewportOrgEx(canvas.DC(), 2, 3, nullptr);
    IntersectClipRect(canvas.DC(), 0, 0, 2, 1); // only the picture's top row shows
    picture->Draw(canvas.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(canvas.Pixel(2, 3), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(3, 3), RGB(127, 255, 127));
    EXPECT_EQ(canvas.Pixel(2, 4), kWhite);
    EXPECT_EQ(canvas.Pixel(0, 0), kWhite);
}

TEST(PngDraw, AlphaAtNaturalSizeBlendsExactly) {
    // Row 0 over a black canvas half, row 1 over white.
    auto picture = LoadTestPng(Rgba(3, 2, {10, 20, 30, 0, 40, 50, 60, 255, 255, 255, 255, 128,
                                           10, 20, 30, 0, 40, 50, 60, 255, 0,   0,   0,   128}));
    EXPECT_EQ(picture->TransparencyKind(), tkAlpha);
    TTestCanvas canvas(3, 2, kBlack);
    for (int x = 0; x < 3; ++x)
        canvas.SetPixel(x, 1, kWhite);
    picture->Draw(canvas.Canvas(), Rect(0, 0, 3, 2));
    EXPECT_EQ(canvas.Pixel(0, 0), kBlack);
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(40, 50, 60));
    EXPECT_EQ(canvas.Pixel(2, 0), RGB(128, 128, 128));
    EXPECT_EQ(canvas.Pixel(0, 1), kWhite);
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(40, 50, 60));
    EXPECT_EQ(canvas.Pixel(2, 1), RGB(127, 127, 127));
}

TEST(PngDraw, AlphaDrawingOffsetOnTheCanvasAndEmptyRectangles) {
    auto picture = LoadTestPng(Rgba(1, 1, {200, 100, 50, 255}));
    TTestCanvas canvas(4, 4, kGreen);
    picture->Draw(canvas.Canvas(), Rect(2, 1, 3, 2));
    EXPECT_EQ(canvas.Pixel(2, 1), RGB(200, 100, 50));
    EXPECT_EQ(canvas.Pixel(1, 1), kGreen);
    EXPECT_EQ(canvas.Pixel(2, 2), kGreen);
    const auto before = canvas.Pixels();
    picture->Draw(canvas.Canvas(), Rect(3, 0, 3, 4)); // right equals left
    picture->Draw(canvas.Canvas(), Rect(0, 2, 4, 2)); // bottom equals top
    EXPECT_EQ(canvas.Pixels(), before);
}

TEST(PngDraw, ReversedRectangleIsNormalisedForAlpha) {
    auto picture = LoadTestPng(Rgba(2, 1, {255, 0, 0, 255, 0, 0, 255, 255}));
    TTestCanvas canvas(2, 1, kGreen);
    picture->Draw(canvas.Canvas(), Rect(2, 1, 0, 0));
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(0, 0, 255));
}

TEST(PngDraw, ShrinkingBy367To366ShowsSourceColumnXAtX) {
    std::vector<std::uint16_t> samples;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 367; ++x)
            samples.insert(samples.end(), {std::uint16_t(x & 255), std::uint16_t(x >> 8), 7, 255});
    auto picture = LoadTestPng(Rgba(367, 2, samples));
    TTestCanvas canvas(366, 2, kBlack);
    picture->Draw(canvas.Canvas(), Rect(0, 0, 366, 2));
    for (int x = 0; x < 366; ++x) {
        ASSERT_EQ(canvas.Pixel(x, 0), RGB(x & 255, x >> 8, 7)) << x;
        ASSERT_EQ(canvas.Pixel(x, 1), RGB(x & 255, x >> 8, 7)) << x;
    }
}

TEST(PngDraw, EnlargingRepeatsPixelsInBothDirections) {
    auto picture =
        LoadTestPng(Rgba(2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 9, 9, 9, 255}));
    TTestCanvas canvas(4, 4, kWhite);
    picture->Draw(canvas.Canvas(), Rect(0, 0, 4, 4));
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(2, 1), RGB(0, 255, 0));
    EXPECT_EQ(canvas.Pixel(1, 2), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(3, 3), RGB(9, 9, 9));
}

// The work is clipped to what the canvas shows; the visible part must be what
// an unclipped drawing gives there, stretched or not.
TEST(PngDraw, ClippedAlphaDrawingMatchesTheUnclippedOne) {
    std::mt19937 random(7);
    std::vector<std::uint16_t> samples;
    for (int i = 0; i < 9 * 7; ++i)
        samples.insert(samples.end(),
                       {std::uint16_t(random() & 255), std::uint16_t(random() & 255),
                        std::uint16_t(random() & 255), std::uint16_t(random() & 255)});
    auto picture = LoadTestPng(Rgba(9, 7, samples));
    for (const TRect& placed : {Rect(-3, -2, 6, 5), Rect(-5, -4, 20, 13)}) {
        TTestCanvas clipped(8, 6, kGreen);
        TTestCanvas whole(40, 30, kGreen);
        picture->Draw(clipped.Canvas(), placed);
        picture->Draw(whole.Canvas(), placed.Offset(10, 10));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(clipped.Pixel(x, y), whole.Pixel(x + 10, y + 10));
    }
}

TEST(PngDraw, FastAndPlainBlendingDrawTheSame) {
    std::mt19937 random(99);
    std::vector<std::uint16_t> samples;
    for (int i = 0; i < 37 * 11; ++i)
        samples.insert(samples.end(), {std::uint16_t(random() & 255), std::uint16_t(random() & 255),
                                       std::uint16_t(random() & 255),
                                       std::uint16_t(random() % 3 == 0 ? 255 : random() & 255)});
    auto picture = LoadTestPng(Rgba(37, 11, samples));
    for (const TRect& rect : {Rect(0, 0, 37, 11), Rect(1, 2, 60, 30), Rect(0, 0, 20, 5)}) {
        TTestCanvas plain(64, 32, RGB(30, 60, 90)), fast(64, 32, RGB(30, 60, 90));
        DrawAlpha(plain.DC(), rect, *picture, picture->HeaderChunk(), TBlendPath::Plain);
        DrawAlpha(fast.DC(), rect, *picture, picture->HeaderChunk(), TBlendPath::Fast);
        EXPECT_EQ(plain.Pixels(), fast.Pixels());
    }
}

TEST(PngDraw, RgbIsOpaqueWithoutTrnsAndKeyedWithIt) {
    TTestImage image;
    image.Width = 2;
    image.Height = 1;
    image.ColourType = 2;
    image.Samples = {10, 20, 30, 40, 50, 60};
    {
        auto picture = LoadTestPng(image);
        EXPECT_EQ(picture->TransparencyKind(), tkOpaque);
        EXPECT_FALSE(picture->IsTransparent());
        TTestCanvas canvas(2, 1, kGreen);
        picture->Draw(canvas.Canvas(), Rect(0, 0, 2, 1));
        EXPECT_EQ(canvas.Pixel(0, 0), RGB(10, 20, 30));
        EXPECT_EQ(canvas.Pixel(1, 0), RGB(40, 50, 60));
    }
    for (std::uint16_t s : {10, 20, 30})
        AppendSample(image.Transparency, s);
    image.HasTransparency = true;
    auto picture = LoadTestPng(image);
    EXPECT_EQ(picture->TransparencyKind(), tkColourKey);
    EXPECT_EQ(picture->TransparentColour(), static_cast<TColor>(RGB(10, 20, 30)));
    TTestCanvas canvas(2, 1, kGreen);
    picture->Draw(canvas.Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), kGreen);
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(40, 50, 60));
}

TEST(PngDraw, OpaqueAndKeyedPicturesStretchByNearestPixel) {
    TTestImage image;
    image.Width = 2;
    image.Height = 1;
    image.ColourType = 2;
    image.Samples = {200, 0, 0, 0, 0, 200};
    auto opaque = LoadTestPng(image);
    TTestCanvas canvas(4, 2, kGreen);
    opaque->Draw(canvas.Canvas(), Rect(0, 0, 4, 2));
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(200, 0, 0));
    EXPECT_EQ(canvas.Pixel(2, 0), RGB(0, 0, 200));
    for (std::uint16_t s : {200, 0, 0})
        AppendSample(image.Transparency, s);
    image.HasTransparency = true;
    auto keyed = LoadTestPng(image);
    TTestCanvas second(4, 2, kGreen);
    keyed->Draw(second.Canvas(), Rect(0, 0, 4, 2));
    EXPECT_EQ(second.Pixel(0, 0), kGreen);
    EXPECT_EQ(second.Pixel(1, 1), kGreen);
    EXPECT_EQ(second.Pixel(2, 0), RGB(0, 0, 200));
    EXPECT_EQ(second.Pixel(3, 1), RGB(0, 0, 200));
}

// The key of a 16-bit picture is the colour its pixels are drawn with: the high
// bytes. A pixel sharing the key's high bytes disappears; one whose high bytes
// equal the key's low bytes stays.
// At uneven scales every destination pixel still shows its nearest source
// pixel (column x * w / W) or, where that one is keyed, the background.
TEST(PngDraw, KeyedPictureAtUnevenScales) {
    TTestImage image;
    image.Width = 3;
    image.Height = 1;
    image.ColourType = 2;
    image.Samples = {200, 0, 0, 0, 0, 200, 7, 8, 9};
    for (std::uint16_t s : {200, 0, 0})
        AppendSample(image.Transparency, s);
    image.HasTransparency = true;
    auto picture = LoadTestPng(image);
    const COLORREF shown[] = {kGreen, RGB(0, 0, 200), RGB(7, 8, 9)};
    for (int width : {2, 4, 5, 7}) {
        TTestCanvas canvas(width, 2, kGreen);
        picture->Draw(canvas.Canvas(), Rect(0, 0, width, 2));
        for (int x = 0; x < width; ++x) {
            EXPECT_EQ(canvas.Pixel(x, 0), shown[x * 3 / width]) << width << " " << x;
            EXPECT_EQ(canvas.Pixel(x, 1), shown[x * 3 / width]) << width << " " << x;
        }
    }
}

TEST(PngDraw, SixteenBitKeyComesFromTheHighBytes) {
    TTestImage image;
    image.Width = 2;
    image.Height = 1;
    image.BitDepth = 16;
    image.ColourType = 2;
    image.Samples = {0x1234, 0x1234, 0x1234, 0xAB00, 0xAB00, 0xAB00};
    for (int c = 0; c < 3; ++c)
        AppendSample(image.Transparency, 0x12AB);
    image.HasTransparency = true;
    auto picture = LoadTestPng(image);
    EXPECT_EQ(picture->TransparentColour(), static_cast<TColor>(RGB(0x12, 0x12, 0x12)));
    TTestCanvas canvas(2, 1, kGreen);
    picture->Draw(canvas.Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), kGreen);
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(0xAB, 0xAB, 0xAB));
}

// 2-bit grey keeps five times the sample; the key follows, so the white pixel
// (sample 3) is the keyed one, and the others show as 0, 85 and 170.
TEST(PngDraw, TwoBitGreyKeyIsTheStoredSample) {
    TTestImage image;
    image.Width = 4;
    image.Height = 1;
    image.BitDepth = 2;
    image.ColourType = 0;
    image.Samples = {0, 1, 2, 3};
    AppendSample(image.Transparency, 3);
    image.HasTransparency = true;
    auto picture = LoadTestPng(image);
    EXPECT_EQ(picture->TransparentColour(), static_cast<TColor>(kWhite));
    TTestCanvas canvas(4, 1, kGreen);
    picture->Draw(canvas.Canvas(), Rect(0, 0, 4, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(85, 85, 85));
    EXPECT_EQ(canvas.Pixel(2, 0), RGB(170, 170, 170));
    EXPECT_EQ(canvas.Pixel(3, 0), kGreen);
}

TEST(PngDraw, GreyKeyBeyondTheBitDepthKeysNothing) {
    TTestImage image;
    image.Width = 2;
    image.Height = 1;
    image.BitDepth = 4;
    image.ColourType = 0;
    image.Samples = {0, 15};
    AppendSample(image.Transparency, 0x100); // low byte 0: black under the plain low-byte rule
    image.HasTransparency = true;
    auto picture = LoadTestPng(image);
    EXPECT_EQ(picture->TransparencyKind(), tkColourKey);
    TTestCanvas canvas(2, 1, kGreen);
    picture->Draw(canvas.Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), kBlack);
    EXPECT_EQ(canvas.Pixel(1, 0), kWhite);
}

TEST(PngDraw, PaletteWithOneFullyTransparentEntryIsAColourKey) {
    auto picture = LoadTestPng(PaletteRow({0, 1, 2}, {255, 255, 0}));
    EXPECT_EQ(picture->TransparencyKind(), tkColourKey);
    EXPECT_EQ(picture->TransparentColour(), static_cast<TColor>(RGB(0, 0, 255)));
    TTestCanvas canvas(3, 1, kGreen);
    picture->Draw(canvas.Canvas(), Rect(0, 0, 3, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(1, 0), kBlack);
    EXPECT_EQ(canvas.Pixel(2, 0), kGreen);
}

// One entry at 128 is not a colour key: that entry blends at 128 and black
// pixels of another entry stay black.
TEST(PngDraw, PaletteWithOneHalfTransparentEntryBlends) {
    auto picture = LoadTestPng(PaletteRow({0, 1, 3}, {128}));
    EXPECT_EQ(picture->TransparencyKind(), tkAlpha);
    TTestCanvas canvas(3, 1, kWhite);
    picture->Draw(canvas.Canvas(), Rect(0, 0, 3, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 127, 127));
    EXPECT_EQ(canvas.Pixel(1, 0), kBlack);
    EXPECT_EQ(canvas.Pixel(2, 0), kWhite);
}

TEST(PngDraw, PaletteWithTwoTranslucentEntriesUsesEachOpacity) {
    auto picture = LoadTestPng(PaletteRow({0, 1, 2, 3}, {0, 128, 255, 64}));
    EXPECT_EQ(picture->TransparencyKind(), tkAlpha);
    TTestCanvas canvas(4, 1, kWhite);
    picture->Draw(canvas.Canvas(), Rect(0, 0, 4, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), kWhite);
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(127, 127, 127));
    EXPECT_EQ(canvas.Pixel(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(3, 0), kWhite); // white over white stays white
}

TEST(PngDraw, PaletteIndexBeyondTheEntriesFailsAndLeavesTheCanvas) {
    TTestImage image = PaletteRow({0, 7}, {0, 128});
    image.BitDepth = 4;
    auto picture = LoadTestPng(image);
    TTestCanvas canvas(2, 1, kGreen);
    EXPECT_THROW(picture->Draw(canvas.Canvas(), Rect(0, 0, 2, 1)), EPngError);
    EXPECT_EQ(canvas.Pixel(0, 0), kGreen);
    EXPECT_EQ(canvas.Pixel(1, 0), kGreen);
}

// Grey + alpha blends the stored grey, not the gamma-corrected colour-table entry.
TEST(PngDraw, GreyAlphaBlendsTheRawSample) {
    TTestImage image;
    image.Width = 2;
    image.Height = 1;
    image.ColourType = 4;
    image.Gamma = 100000;
    image.Samples = {128, 255, 100, 128};
    auto picture = LoadTestPng(image);
    TTestCanvas canvas(2, 1, kBlack);
    picture->Draw(canvas.Canvas(), Rect(0, 0, 2, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(128, 128, 128));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(50, 50, 50)); // (100 * 128 + 255) >> 8
}

TEST(PngDraw, RgbAfterAddAlphaChannelDrawsAsBefore) {
    TTestImage image;
    image.Width = 3;
    image.Height = 2;
    image.ColourType = 2;
    image.Gamma = 100000;
    image.Samples = {0, 1, 2, 50, 100, 150, 255, 254, 253, 9, 8, 7, 128, 128, 128, 33, 66, 99};
    auto picture = LoadTestPng(image);
    TTestCanvas before(5, 4, kGreen), after(5, 4, kGreen);
    picture->Draw(before.Canvas(), Rect(1, 1, 4, 3));
    picture->AddAlphaChannel();
    EXPECT_EQ(picture->TransparencyKind(), tkAlpha);
    picture->Draw(after.Canvas(), Rect(1, 1, 4, 3));
    EXPECT_EQ(before.Pixels(), after.Pixels());
}

// Grey pictures of every depth keep their packed plane when they get an alpha
// channel; the alpha path reads those samples as the greys the ramp shows.
TEST(PngDraw, GreyAfterAddAlphaChannelDrawsAsBefore) {
    for (int depth : {1, 2, 4, 8}) {
        TTestImage image;
        image.Width = 11;
        image.Height = 2;
        image.BitDepth = depth;
        image.ColourType = 0;
        for (std::uint16_t i = 0; i < 22; ++i)
            image.Samples.push_back(static_cast<std::uint16_t>((i * 7) % (1 << depth)));
        auto picture = LoadTestPng(image);
        TTestCanvas before(11, 2, kGreen), after(11, 2, kGreen);
        picture->Draw(before.Canvas(), Rect(0, 0, 11, 2));
        picture->AddAlphaChannel();
        EXPECT_EQ(picture->TransparencyKind(), tkAlpha);
        picture->Draw(after.Canvas(), Rect(0, 0, 11, 2));
        EXPECT_EQ(before.Pixels(), after.Pixels()) << "bit depth " << depth;
    }
}

TEST(PngDraw, DrawThroughTheCanvasAtAPoint) {
    auto picture = LoadTestPng(Rgba(1, 1, {1, 2, 3, 255}));
    TTestCanvas canvas(3, 3, kGreen);
    canvas.Canvas().Draw(1, 2, picture.get());
    EXPECT_EQ(canvas.Pixel(1, 2), RGB(1, 2, 3));
    EXPECT_EQ(canvas.Pixel(0, 2), kGreen);
}

} // namespace
} // namespace zorbalin
