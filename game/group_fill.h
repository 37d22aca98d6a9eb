#pragma once
// The flood fill that takes one group off a compact board's cells, shared by a
// replayed click and the listing of every group. It empties each pebble it
// takes, so a cell is looked at only while it still holds its colour; the
// board's empty margins mean that only a column's ends need a test. Inline:
// the solver runs it for every position it weighs.
#include "game/compact_board.h"

#include <cstdint>

namespace zorbalin {

// Empties the group of the pebble at Start and lists its cells in List, breadth
// first, from List[Listed] on; returns the new end of the list. Columns gains
// the bit of every column the group touches.
inline int TakeGroup(std::uint8_t* Cells, int Start, TCellIndex* List, int Listed,
                     std::uint32_t& Columns) {
    const std::uint8_t colour = Cells[Start];
    int end = Listed;
    const auto take = [&](int Cell) {
        if (Cells[Cell] == colour) {
            Cells[Cell] = 0;
            List[end++] = static_cast<TCellIndex>(Cell);
        }
    };
    take(Start);
    // The list grows while it is walked.
    for (int walked = Listed; walked < end; ++walked) {
        const int cell = List[walked];
        const int row = cell % kRowCount;
        Columns |= 1u << (cell / kRowCount);
        take(cell - kRowCount);
        take(cell + kRowCount);
        if (row > 0)
            take(cell - 1);
        if (row < kRowCount - 1)
            take(cell + 1);
    }
    return end;
}

} // namespace zorbalin
