#include "game/neighbour_pairs.h"

#include <cstring>

namespace zorbalin {
namespace {

// Sixteen cells at a time; the compiler turns these into vector instructions
// where the machine has them. A comparison gives 0 or -1 in every byte.
constexpr int Lanes = 16;
using TLanes = std::uint8_t __attribute__((vector_size(Lanes)));
using TFlags = std::int8_t __attribute__((vector_size(Lanes)));

constexpr int Sweeps = (CellCount + Lanes - 1) / Lanes;
// The farthest cells read: two columns to either side of a sweep.
static_assert(Sweeps * Lanes + 2 * RowCount <= CellCount + TCompactBoard::Margin,
              "the last sweep reads within the margin after the board");
static_assert(2 * RowCount <= TCompactBoard::Margin,
              "the first sweep reads within the margin before the board");

// For every cell, -1 where its column goes on one or two rows below or above
// it, else 0: cells next to each other in memory are only neighbours when
// they lie in the same column.
struct TRowMasks {
    std::int8_t Below[Sweeps * Lanes];
    std::int8_t Above[Sweeps * Lanes];
    std::int8_t TwoBelow[Sweeps * Lanes];
    std::int8_t TwoAbove[Sweeps * Lanes];
};

constexpr TRowMasks MakeRowMasks() {
    TRowMasks masks{};
    for (int index = 0; index < CellCount; ++index) {
        const int row = index % RowCount;
        masks.Below[index] = row < RowCount - 1 ? -1 : 0;
        masks.Above[index] = row >= 1 ? -1 : 0;
        masks.TwoBelow[index] = row < RowCount - 2 ? -1 : 0;
        masks.TwoAbove[index] = row >= 2 ? -1 : 0;
    }
    return masks;
}

constexpr TRowMasks RowMasks = MakeRowMasks();

template <typename TVector> TVector Load(const void* From) {
    TVector value;
    std::memcpy(&value, From, sizeof value);
    return value;
}

// Sums the bytes of a vector of counts (each at most 2 * Sweeps: no overflow).
int SumLanes(TLanes Counts) {
    int sum = 0;
    for (int lane = 0; lane < Lanes; ++lane)
        sum += Counts[lane];
    return sum;
}

} // namespace

TNeighbourPairs CountNeighbourPairs(const TCompactBoard& Board) {
    const std::uint8_t* cells = Board.Cells();
    TLanes pebbles{}, pairs{}, lone{}, far{};
    for (int first = 0; first < Sweeps * Lanes; first += Lanes) {
        const std::uint8_t* at = cells + first;
        const TLanes here = Load<TLanes>(at);
        const auto same = [&](int Offset) { return here == Load<TLanes>(at + Offset); };
        const TFlags below = Load<TFlags>(RowMasks.Below + first);
        const TFlags above = Load<TFlags>(RowMasks.Above + first);
        const TFlags twoBelow = Load<TFlags>(RowMasks.TwoBelow + first);
        const TFlags twoAbove = Load<TFlags>(RowMasks.TwoAbove + first);

        const TFlags filled = here != 0;
        const TFlags down = same(1) & filled & below;
        const TFlags across = same(RowCount) & filled;
        const TFlags touching = down | across | (same(-1) & above) | same(-RowCount);
        const TFlags alone = filled & ~touching;
        const TFlags near = (same(RowCount + 1) & below) | (same(RowCount - 1) & above) |
                            (same(-RowCount + 1) & below) | (same(-RowCount - 1) & above) |
                            (same(2) & twoBelow) | (same(-2) & twoAbove) | same(2 * RowCount) |
                            same(-2 * RowCount);

        pebbles -= reinterpret_cast<TLanes>(filled);
        pairs -= reinterpret_cast<TLanes>(down);
        pairs -= reinterpret_cast<TLanes>(across);
        lone -= reinterpret_cast<TLanes>(alone);
        far -= reinterpret_cast<TLanes>(alone & ~near);
    }
    TNeighbourPairs counts;
    counts.Pebbles = SumLanes(pebbles);
    counts.Pairs = SumLanes(pairs);
    counts.Lone = SumLanes(lone);
    counts.Far = SumLanes(far);
    return counts;
}

} // namespace zorbalin
