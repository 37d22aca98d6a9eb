// The pixel arithmetic of alpha drawing, checked against values worked out by
// hand and against a brute-force model of the blend.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "imaging/png_blend.h"

namespace zorbalin {
namespace {

TEST(BlendComponent, HalfOpacityOverBlackAndWhite) {
    EXPECT_EQ(BlendComponent(255, 0, 128), 128); // white at 128 over black
    EXPECT_EQ(BlendComponent(0, 255, 128), 127); // black at 128 over white
    EXPECT_EQ(BlendComponent(200, 17, 0), 17);
    EXPECT_EQ(BlendComponent(200, 17, 255), 200);
}

TEST(BlendComponent, EqualComponentsStayForEveryAlphaAndEndsAreExact) {
    for (std::uint32_t v = 0; v < 256; ++v) {
        for (std::uint32_t a = 0; a < 256; ++a)
            ASSERT_EQ(BlendComponent(v, v, a), v) << v << " " << a;
        for (std::uint32_t d = 0; d < 256; d += 5) {
            ASSERT_EQ(BlendComponent(v, d, 0), d);
            ASSERT_EQ(BlendComponent(v, d, 255), v);
        }
    }
}

TEST(StretchMap, ShrinkingBy367To366ShowsEachColumnButTheLast) {
    const std::vector<std::uint32_t> map = SourceIndexMap(366, 367, true);
    ASSERT_EQ(map.size(), 366u);
    for (std::uint32_t x = 0; x < 366; ++x)
        EXPECT_EQ(map[x], x) << x;
}

TEST(StretchMap, EnlargingRepeatsAndIdentityWhenNotStretched) {
    EXPECT_EQ(SourceIndexMap(6, 3, true), (std::vector<std::uint32_t>{0, 0, 1, 1, 2, 2}));
    EXPECT_EQ(SourceIndexMap(3, 6, true), (std::vector<std::uint32_t>{0, 2, 4}));
    EXPECT_EQ(SourceIndexMap(4, 4, false), (std::vector<std::uint32_t>{0, 1, 2, 3}));
    // 7 into 3: the ratio 3/7 is not exact as a double; the quotient of 3 by it
    // lands just below or above 7 and truncation decides. Whatever it is, it
    // must equal the long-double quotient of the double ratio.
    const double ratio = 3.0 / 7.0;
    EXPECT_EQ(StretchedSourceIndex(3, ratio),
              static_cast<std::uint32_t>(3.0L / static_cast<long double>(ratio)));
    EXPECT_TRUE(SourceIndexMap(0, 5, true).empty());
}

// A row of random pixels blended by the plain loop and by the fast loop,
// with and without a column map, at every width up to a few chunks.
TEST(BlendRow, FastRowEqualsPlainRow) {
    std::mt19937 random(12345);
    auto byte = [&] { return static_cast<std::uint8_t>(random() & 0xFF); };
    for (std::int32_t width = 0; width < 150; ++width) {
        const std::uint32_t sourceWidth = static_cast<std::uint32_t>(width) + 7;
        std::vector<std::uint8_t> colour(3 * sourceWidth), alpha(sourceWidth);
        for (auto& b : colour)
            b = byte();
        for (std::size_t i = 0; i < alpha.size(); ++i) {
            // Plenty of the two skipped values beside arbitrary opacities; every
            // other width gets long runs, so that whole groups are skipped or copied.
            const std::uint32_t pick = width % 2 ? random() % 4 : (i / 11) % 4;
            alpha[i] = pick == 0 ? 0 : pick == 1 ? 255 : byte();
        }
        std::vector<std::uint8_t> base(4 * static_cast<std::size_t>(width));
        for (auto& b : base)
            b = byte();
        const std::vector<std::uint32_t> map = SourceIndexMap(width, sourceWidth, true);
        for (const std::uint32_t* columns : {static_cast<const std::uint32_t*>(nullptr),
                                             static_cast<const std::uint32_t*>(map.data())}) {
            for (const std::uint8_t* alphaRow : {static_cast<const std::uint8_t*>(alpha.data()),
                                                 static_cast<const std::uint8_t*>(nullptr)}) {
                std::vector<std::uint8_t> plain = base, fast = base;
                BlendRowBgr24(plain.data(), colour.data(), alphaRow, columns, width);
                BlendRowBgr24Fast(fast.data(), colour.data(), alphaRow, columns, width);
                ASSERT_EQ(plain, fast) << "width " << width;
            }
        }
    }
}

TEST(BlendRow, PlainRowMatchesTheFormulaAndKeepsTheFourthByte) {
    const std::uint8_t colour[] = {10, 20, 30, 255, 255, 255, 0, 0, 0};
    const std::uint8_t alpha[] = {0, 128, 128};
    std::uint8_t dest[] = {1, 2, 3, 99, 0, 0, 0, 98, 255, 255, 255, 97};
    BlendRowBgr24(dest, colour, alpha, nullptr, 3);
    const std::uint8_t expected[] = {1, 2, 3, 99, 128, 128, 128, 98, 127, 127, 127, 97};
    EXPECT_EQ(std::vector<std::uint8_t>(dest, dest + 12),
              std::vector<std::uint8_t>(expected, expected + 12));
}

TEST(PackedSample, ReadsMostSignificantBitsFirst) {
    const std::uint8_t ones[] = {0b10100000};
    EXPECT_EQ(PackedSample(ones, 0, 1), 1);
    EXPECT_EQ(PackedSample(ones, 1, 1), 0);
    EXPECT_EQ(PackedSample(ones, 2, 1), 1);
    const std::uint8_t nibbles[] = {0xA5, 0x3C};
    EXPECT_EQ(PackedSample(nibbles, 0, 4), 0xA);
    EXPECT_EQ(PackedSample(nibbles, 1, 4), 0x5);
    EXPECT_EQ(PackedSample(nibbles, 3, 4), 0xC);
    EXPECT_EQ(PackedSample(nibbles, 1, 8), 0x3C);
}

} // namespace
} // namespace zorbalin
