#include "game/neighbour_pairs.h"

#include <cstring>

namespace zorbalin {
namespace {

// Sixteen cells at a time; the compiler turns these into vector instructions
// where the machine has them. A comparison gives 0 or -1 in every byte.
constexpr int kLanes = 16;
using TLanes = std::uint8_t __attribute__((vector_size(kLanes)));
using TFlags = std::int8_t __attribute__((vector_size(kLanes)));

constexpr int kSweeps = (kCellCount + kLanes - 1) / kLanes;
// The farthest cells read: two columns to either side of a sweep.
static_assert(kSweeps * kLanes + 2 * kRowCount <= kCellCount + TCompactBoard::kMargin,
              "the last sweep reads within the margin after the board");
static_assert(2 * kRowCount <= TCompactBoard::kMargin,
              "the first sweep reads within the margin before the board");

// For every cell, -1 where its column goes on one or two rows below or above
// it, else 0: cells next to each other in memory are only neighbours when
// they lie in the same column.
struct TRowMasks {
    std::int8_t Below[kSweeps * kLanes];
    std::int8_t Above[kSweeps * kLanes];
    std::int8_t TwoBelow[kSweeps * kLanes];
    std::int8_t TwoAbove[kSweeps * kLanes];
};

constexpr TRowMasks MakeRowMasks() {
    TRowMasks masks{};
    for (int index = 0; index < kCellCount; ++index) {
        const int row = index % kRowCount;
        masks.Below[index] = row < kRowCount - 1 ? -1 : 0;
        masks.Above[index] = row >= 1 ? -1 : 0;
        masks.TwoBelow[index] = row < kRowCount - 2 ? -1 : 0;
        masks.TwoAbove[index] = row >= 2 ? -1 : 0;
    }
    return masks;
}

constexpr TRowMasks kRowMasks = MakeRowMasks();

template <typename TVector> TVector Load(const void* From) {
    TVector value;
    std::memcpy(&value, From, sizeof value);
    return value;
}

// Sums the bytes of a vector of counts whose total is below 256: a
// multiplication adds all eight bytes of a word into its top byte.
int SumLanes(TLanes Counts) {
    std::uint64_t words[kLanes / 8];
    std::memcpy(words, &Counts, sizeof words);
    int sum = 0;
    for (const std::uint64_t word : words)
        sum += static_cast<int>((word * 0x0101010101010101ull) >> 56);
    return sum;
}

} // namespace

TNeighbourPairs CountNeighbourPairs(const TCompactBoard& Board) {
    const std::uint8_t* cells = Board.Cells();
    TLanes pebbles{}, down{}, across{}, lone{}, far{};
    // Empty columns at the right end hold nothing to count.
    const int used = Board.UsedCells();
    for (int first = 0; first < used; first += kLanes) {
        const std::uint8_t* at = cells + first;
        const TLanes here = Load<TLanes>(at);
        const auto same = [&](int Offset) { return here == Load<TLanes>(at + Offset); };
        const TFlags below = Load<TFlags>(kRowMasks.Below + first);
        const TFlags above = Load<TFlags>(kRowMasks.Above + first);
        const TFlags twoBelow = Load<TFlags>(kRowMasks.TwoBelow + first);
        const TFlags twoAbove = Load<TFlags>(kRowMasks.TwoAbove + first);

        const TFlags filled = here != 0;
        const TFlags pairBelow = same(1) & filled & below;
        const TFlags pairRight = same(kRowCount) & filled;
        const TFlags touching = pairBelow | pairRight | (same(-1) & above) | same(-kRowCount);
        const TFlags alone = filled & ~touching;
        const TFlags near = (same(kRowCount + 1) & below) | (same(kRowCount - 1) & above) |
                            (same(-kRowCount + 1) & below) | (same(-kRowCount - 1) & above) |
                            (same(2) & twoBelow) | (same(-2) & twoAbove) | same(2 * kRowCount) |
                            same(-2 * kRowCount);

        pebbles -= reinterpret_cast<TLanes>(filled);
        down -= reinterpret_cast<TLanes>(pairBelow);
        across -= reinterpret_cast<TLanes>(pairRight);
        lone -= reinterpret_cast<TLanes>(alone);
        far -= reinterpret_cast<TLanes>(alone & ~near);
    }
    TNeighbourPairs counts;
    counts.Pebbles = SumLanes(pebbles);
    counts.Pairs = SumLanes(down) + SumLanes(across);
    counts.Lone = SumLanes(lone);
    counts.Far = SumLanes(far);
    return counts;
}

} // namespace zorbalin
