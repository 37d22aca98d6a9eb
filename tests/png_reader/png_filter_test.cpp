// The row filters: the fast paths against the plain byte-wise form, the Paeth
// tie order, and filtering undone by unfiltering.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/png_filter.h"

namespace zorbalin {
namespace {

std::vector<uint8_t> RandomBytes(size_t N, std::mt19937& Rng) {
    std::vector<uint8_t> v(N);
    for (auto& b : v)
        b = static_cast<uint8_t>(Rng());
    return v;
}

TEST(PngFilter, FastUnfilterMatchesPlainForEveryTypeStepAndLength) {
    std::mt19937 rng(7);
    for (uint8_t type = 0; type <= 7; ++type) {
        for (size_t step : {1, 2, 3, 4, 6, 8}) {
            for (size_t length : {0, 1, 2, 3, 5, 6, 8, 9, 12, 13, 24, 64, 96, 300, 301}) {
                const auto prior = RandomBytes(length, rng);
                const auto row = RandomBytes(length, rng);
                auto fast = row, plain = row;
                UnfilterRow(TFilterType(type), fast.data(), prior.data(), length, step);
                UnfilterRowPlain(TFilterType(type), plain.data(), prior.data(), length, step);
                ASSERT_EQ(fast, plain)
                    << "type " << int(type) << " step " << step << " length " << length;
            }
        }
    }
}

TEST(PngFilter, PaethPrefersLeftThenAboveThenUpperLeftOnTies) {
    // a = 1, b = 4, c = 3: p = 2, pa = 1, pb = 2, pc = 1 -> left beats upper-left.
    EXPECT_EQ(PaethPredictor(1, 4, 3), 1);
    // a = 4, b = 1, c = 3: p = 2, pa = 2, pb = 1, pc = 1 -> above beats upper-left.
    EXPECT_EQ(PaethPredictor(4, 1, 3), 1);
    // a = 4, b = 8, c = 6: p = 6, pa = 2, pb = 2, pc = 0 -> upper-left is nearest.
    EXPECT_EQ(PaethPredictor(4, 8, 6), 6);
    // a = 5, b = 9, c = 5: p = 9, pa = 4, pb = 0 -> above.
    EXPECT_EQ(PaethPredictor(5, 9, 5), 9);
    // Extremes stay within a byte: a = 255, b = 0, c = 255 -> p = 0 -> above.
    EXPECT_EQ(PaethPredictor(255, 0, 255), 0);
}

TEST(PngFilter, UnknownTypeLeavesTheRowAsItCame) {
    std::vector<uint8_t> row = {1, 2, 3, 4}, prior = {9, 9, 9, 9};
    UnfilterRow(TFilterType(7), row.data(), prior.data(), row.size(), 1);
    EXPECT_EQ(row, (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(PngFilter, FilteringThenUnfilteringGivesTheRowBack) {
    std::mt19937 rng(11);
    for (uint8_t type = 0; type <= 4; ++type) {
        for (size_t step : {1, 3, 4, 8}) {
            const auto prior = RandomBytes(97, rng);
            const auto row = RandomBytes(97, rng);
            std::vector<uint8_t> filtered(row.size());
            FilterRow(TFilterType(type), row.data(), prior.data(), row.size(), step,
                      filtered.data());
            UnfilterRow(TFilterType(type), filtered.data(), prior.data(), filtered.size(), step);
            EXPECT_EQ(filtered, row) << "type " << int(type) << " step " << step;
        }
    }
}

} // namespace
} // namespace zorbalin
