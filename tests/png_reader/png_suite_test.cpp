// PngSuite: every valid image loads into the storage its samples call for, and
// every damaged one fails with the class its damage calls for.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <typeinfo>

#include "imaging/pngpicture.h"
#include "tests/support/png_test_support.h"

namespace zorbalin {
namespace {

void LoadFile(TPNGObject& Picture, const std::string& Name) {
    pngtest::TBytes data = pngtest::ReadFile(pngtest::PngSuitePath(Name));
    TMemoryStream stream(data.data(), data.size());
    Picture.LoadFromStream(stream);
}

TEST(PngSuite, EveryImageNotStartingWithXLoadsIntoTheStorageOfItsSamples) {
    const auto files = pngtest::PngSuiteNames();
    int checked = 0;
    for (const std::string& name : files) {
        if (name[0] == 'x')
            continue;
        TPNGObject picture;
        ASSERT_NO_THROW(LoadFile(picture, name)) << name;
        const pngtest::TSampleImage image =
            pngtest::ReferenceDecode(pngtest::ReadFile(pngtest::PngSuitePath(name)));
        const pngtest::TExpectedStorage expected = pngtest::ExpectedStorage(image);
        const TChunkIHDR& h = picture.HeaderChunk();
        ASSERT_EQ(h.ImageWidth, image.Width) << name;
        ASSERT_EQ(h.RowStride, expected.RowStride) << name;
        EXPECT_EQ(0, std::memcmp(h.ColourPlane, expected.Colour.data(), expected.Colour.size()))
            << name;
        if (!expected.Low.empty()) {
            EXPECT_EQ(0, std::memcmp(h.LowPlane.get(), expected.Low.data(), expected.Low.size()))
                << name;
        }
        if (!expected.Alpha.empty()) {
            EXPECT_EQ(0,
                      std::memcmp(h.AlphaPlane.get(), expected.Alpha.data(), expected.Alpha.size()))
                << name;
        }
        // Palettes go into the colour table through the gamma table.
        if (image.ColourType == 3) {
            const std::vector<uint8_t> gamma = pngtest::GammaTable(image.Gamma);
            for (size_t i = 0; i < image.Palette.size() / 3; ++i) {
                const RGBQUAD& c = h.BitmapInfo.bmiColors[i];
                EXPECT_EQ(c.rgbRed, gamma[image.Palette[3 * i]]) << name << " entry " << i;
                EXPECT_EQ(c.rgbBlue, gamma[image.Palette[3 * i + 2]]) << name << " entry " << i;
            }
        }
        ++checked;
    }
    EXPECT_EQ(checked, 161);
}

TEST(PngSuite, DamagedImagesFailWithTheClassOfTheirDamage) {
    const auto files = pngtest::PngSuiteNames();
    const std::map<std::string, std::string> expected = {
        {"xc1n0g08.png", typeid(EPngInvalidIHDR).name()}, // colour type 1
        {"xc9n2c08.png", typeid(EPngInvalidIHDR).name()}, // colour type 9
        {"xcrn0g04.png", typeid(EPNGInvalidFileHeader).name()},
        {"xcsn0g01.png", typeid(EPngInvalidCRC).name()},
        {"xd0n2c08.png", typeid(EPngInvalidIHDR).name()}, // bit depth 0
        {"xd3n2c08.png", typeid(EPngInvalidIHDR).name()}, // bit depth 3
        {"xd9n2c08.png", typeid(EPngInvalidIHDR).name()}, // bit depth 99
        {"xdtn0g01.png", typeid(EPNGNoImageData).name()},
        {"xhdn0g08.png", typeid(EPngInvalidCRC).name()},
        {"xlfn0g04.png", typeid(EPNGInvalidFileHeader).name()},
        {"xs1n0g01.png", typeid(EPNGInvalidFileHeader).name()},
        {"xs2n0g01.png", typeid(EPNGInvalidFileHeader).name()},
        {"xs4n0g01.png", typeid(EPNGInvalidFileHeader).name()},
        {"xs7n0g01.png", typeid(EPNGInvalidFileHeader).name()},
    };
    int damaged = 0;
    for (const std::string& name : files) {
        if (name[0] != 'x')
            continue;
        ++damaged;
        TPNGObject picture;
        try {
            LoadFile(picture, name);
            ADD_FAILURE() << name << " loaded";
        } catch (const Exception& e) {
            ASSERT_TRUE(expected.count(name)) << name;
            EXPECT_EQ(typeid(e).name(), expected.at(name)) << name << ": " << e.Message();
        }
    }
    EXPECT_EQ(damaged, 14);
}

TEST(PngSuite, TransparentColourOfGreyRgbAndPaletteImages) {
    // tbbn0g04: 4-bit grey. Its background pixels carry the transparent sample, so
    // the key must be the colour those pixels show through the grey ramp.
    TPNGObject grey;
    LoadFile(grey, "tbbn0g04.png");
    const auto* greyKey = grey.Chunks.Find<TChunktRNS>();
    ASSERT_NE(greyKey, nullptr);
    const TChunkIHDR& gh = grey.HeaderChunk();
    int greyKeyed = 0;
    for (uint32_t y = 0; y < gh.ImageHeight; ++y)
        for (uint32_t x = 0; x < gh.ImageWidth; ++x) {
            const uint8_t index =
                (gh.ColourPlane[size_t(gh.RowStride) * y + x / 2] >> (x % 2 ? 0 : 4)) & 15;
            const RGBQUAD& e = gh.BitmapInfo.bmiColors[index];
            greyKeyed += RGB(e.rgbRed, e.rgbGreen, e.rgbBlue) == greyKey->TransparentColour();
        }
    EXPECT_GT(greyKeyed, 100);
    // tbbn3p08: palette with one fully transparent entry.
    TPNGObject palette;
    LoadFile(palette, "tbbn3p08.png");
    const auto* paletteKey = palette.Chunks.Find<TChunktRNS>();
    ASSERT_NE(paletteKey, nullptr);
    uint32_t first = 0;
    while (first < 256 && paletteKey->AlphaTable[first] != 0)
        ++first;
    ASSERT_LT(first, 256u);
    const RGBQUAD& c = palette.HeaderChunk().BitmapInfo.bmiColors[first];
    EXPECT_EQ(paletteKey->TransparentColour(), RGB(c.rgbRed, c.rgbGreen, c.rgbBlue));
    // tbbn2c16: 16-bit RGB. Its background pixels carry the transparent sample, so
    // the key must be the colour those pixels are stored with (high bytes).
    TPNGObject rgb;
    LoadFile(rgb, "tbbn2c16.png");
    const auto* rgbKey = rgb.Chunks.Find<TChunktRNS>();
    ASSERT_NE(rgbKey, nullptr);
    const COLORREF key = rgbKey->TransparentColour();
    const TChunkIHDR& h = rgb.HeaderChunk();
    int keyed = 0;
    for (uint32_t y = 0; y < h.ImageHeight; ++y)
        for (uint32_t x = 0; x < h.ImageWidth; ++x) {
            const uint8_t* p = h.ColourPlane + size_t(h.RowStride) * y + 3 * x;
            keyed += RGB(p[2], p[1], p[0]) == key;
        }
    EXPECT_GT(keyed, 100);
}

} // namespace
} // namespace zorbalin
