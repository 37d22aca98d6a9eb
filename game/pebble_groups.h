#pragma once
// Every group of a compact board at once: each pebble belongs to exactly one
// group of same-coloured pebbles joined through left, right, upper and lower
// neighbours (a lone pebble is a group of one). The solver labels a position
// once and reads its moves and its evaluation from the result.
#include "game/compact_board.h"

#include <array>
#include <cstdint>

namespace zorbalin {

struct TPebbleGroup {
    std::uint8_t Colour;
    std::uint8_t Size;
    std::uint8_t FirstCell; // where its cells start in TPebbleGroups::CellsOf
    TCellIndex Cell;        // its first cell column by column: a cell to click
    std::uint32_t Columns;  // a bit for every column it lies in (bit 0 column 1)
};

class TPebbleGroups {
  public:
    explicit TPebbleGroups(const TCompactBoard& Board) { Find(Board); }
    TPebbleGroups() = default;
    void Find(const TCompactBoard& Board);

    int Count() const { return FCount; }
    const TPebbleGroup& operator[](int Group) const { return FGroups[Group]; }
    const TCellIndex* CellsOf(int Group) const { return &FCells[FGroups[Group].FirstCell]; }
    // Groups that a click removes: two pebbles or more.
    int RemovableCount() const { return FRemovable; }

  private:
    std::array<TPebbleGroup, kCellCount> FGroups;
    std::array<TCellIndex, kCellCount> FCells;
    int FCount = 0;
    int FRemovable = 0;
};

} // namespace zorbalin
