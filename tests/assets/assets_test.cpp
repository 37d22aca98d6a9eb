// The artwork as the program meets it: embedded PNG files of the sizes the windows are laid out
// for, and pebble bitmaps beside the executable in the one BMP layout the game reads.

#include "assets/embedded_assets.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace zorbalin {
namespace {

struct TExpectedPicture {
    std::string_view Name;
    std::uint32_t Width;
    std::uint32_t Height;
};

const TExpectedPicture kExpected[] = {
    {asset::kMainBackground, 670, 480}, {asset::kResultPanel, 225, 150},
    {asset::kAboutPanel, 367, 300},     {asset::kButtonReplay, 32, 32},
    {asset::kButtonNewGame, 32, 32},    {asset::kButtonSettings, 32, 32},
    {asset::kButtonAbout, 32, 32},      {asset::kButtonNews, 32, 32},
    {asset::kButtonHome, 32, 32},       {asset::kButtonMinimise, 16, 16},
    {asset::kButtonClose, 16, 16},      {asset::kIcon16, 16, 16},
    {asset::kIcon24, 24, 24},           {asset::kIcon32, 32, 32},
    {asset::kIcon48, 48, 48},           {asset::kIcon64, 64, 64},
    {asset::kIcon128, 128, 128},        {asset::kIcon256, 256, 256},
    {asset::kStatsPanel, 400, 330},
};

std::uint32_t BigEndian32(const unsigned char* P) {
    return std::uint32_t(P[0]) << 24 | std::uint32_t(P[1]) << 16 | std::uint32_t(P[2]) << 8 | P[3];
}

std::uint32_t LittleEndian32(const std::vector<unsigned char>& B, std::size_t At) {
    return B[At] | std::uint32_t(B[At + 1]) << 8 | std::uint32_t(B[At + 2]) << 16 |
           std::uint32_t(B[At + 3]) << 24;
}

std::uint16_t LittleEndian16(const std::vector<unsigned char>& B, std::size_t At) {
    return std::uint16_t(B[At] | B[At + 1] << 8);
}

std::vector<unsigned char> ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(EmbeddedAssets, EveryPictureIsAnRgbaPngOfItsLayoutSize) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const TExpectedPicture& expected : kExpected) {
        SCOPED_TRACE(std::string(expected.Name));
        const auto [data, size] = EmbeddedAsset(expected.Name);
        ASSERT_NE(data, nullptr);
        ASSERT_GE(size, 33u); // signature and a whole IHDR chunk
        EXPECT_TRUE(std::equal(std::begin(kSignature), std::end(kSignature), data));
        EXPECT_EQ(BigEndian32(data + 8), 13u); // IHDR length
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(data + 12), 4), "IHDR");
        EXPECT_EQ(BigEndian32(data + 16), expected.Width);
        EXPECT_EQ(BigEndian32(data + 20), expected.Height);
        EXPECT_EQ(data[24], 8); // bit depth
        EXPECT_EQ(data[25], 6); // colour type: RGBA
    }
}

TEST(EmbeddedAssets, TableHoldsExactlyTheArtworkFilesByteForByte) {
    std::size_t count = 0;
    const TEmbeddedAssetEntry* table = EmbeddedAssetTable(count);
    std::set<std::string_view> expectedNames;
    for (const TExpectedPicture& expected : kExpected)
        expectedNames.insert(expected.Name);
    std::set<std::string_view> embeddedNames;
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(std::string(table[i].Name));
        embeddedNames.insert(table[i].Name);
        const std::vector<unsigned char> file =
            ReadFile(ZORBALIN_ASSETS_SOURCE_DIR "/" + std::string(table[i].Name));
        ASSERT_EQ(table[i].Size, file.size());
        EXPECT_TRUE(std::equal(file.begin(), file.end(), table[i].Data));
    }
    EXPECT_EQ(embeddedNames, expectedNames);
}

TEST(EmbeddedAssets, LookupNeedsTheWholeName) {
    EXPECT_EQ(EmbeddedAsset("main_background").first, nullptr);
    EXPECT_EQ(EmbeddedAsset("main_background.png.bak").second, 0u);
    EXPECT_EQ(EmbeddedAsset("").first, nullptr);
    EXPECT_EQ(EmbeddedAsset("zorbalin-48.png").first, nullptr); // icons live below icons/
    EXPECT_NE(EmbeddedAsset("icons/zorbalin-48.png").first, nullptr);
}

// Each pebble bitmap in build/Ico: a 24-bit bottom-up BMP with a BITMAPINFOHEADER and whole rows.
TEST(PebbleBitmaps, AreTwentyFourBitBottomUpBitmapsBesideTheProgram) {
    for (int colour = 1; colour <= 5; ++colour) {
        const std::string path = ZORBALIN_BUILT_PEBBLE_DIR "/" + std::to_string(colour) + ".bmp";
        SCOPED_TRACE(path);
        const std::vector<unsigned char> bmp = ReadFile(path);
        ASSERT_GE(bmp.size(), 54u);
        EXPECT_EQ(bmp[0], 'B');
        EXPECT_EQ(bmp[1], 'M');
        EXPECT_EQ(LittleEndian32(bmp, 2), bmp.size()); // bfSize
        const std::uint32_t pixelOffset = LittleEndian32(bmp, 10);
        EXPECT_EQ(LittleEndian32(bmp, 14), 40u); // biSize
        const auto width = static_cast<std::int32_t>(LittleEndian32(bmp, 18));
        const auto height = static_cast<std::int32_t>(LittleEndian32(bmp, 22));
        EXPECT_GT(width, 0);
        EXPECT_GT(height, 0);                   // positive: bottom-up
        EXPECT_EQ(LittleEndian16(bmp, 26), 1);  // planes
        EXPECT_EQ(LittleEndian16(bmp, 28), 24); // bits per pixel
        EXPECT_EQ(LittleEndian32(bmp, 30), 0u); // BI_RGB
        const std::size_t rowBytes = (std::size_t(width) * 3 + 3) / 4 * 4;
        EXPECT_GE(bmp.size(), pixelOffset + rowBytes * std::size_t(height));
    }
}

} // namespace
} // namespace zorbalin
