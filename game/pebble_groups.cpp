#include "game/pebble_groups.h"

#include <cstring>

namespace zorbalin {

void TPebbleGroups::Find(const TCompactBoard& Board) {
    // A copy of the cells in which every pebble found is emptied: a cell is
    // looked at only while it still holds its colour. The copy keeps the
    // board's empty margins, so only a column's ends need a test.
    constexpr int Margin = TCompactBoard::Margin;
    std::array<std::uint8_t, Margin + CellCount + Margin> copy;
    std::memcpy(copy.data(), Board.Cells() - Margin, copy.size());
    std::uint8_t* cells = copy.data() + Margin;

    int count = 0;
    int listed = 0;
    int removable = 0;
    const int used = Board.UsedCells();
    for (int start = 0; start < used; ++start) {
        const std::uint8_t colour = cells[start];
        if (colour == 0)
            continue;
        const int first = listed;
        std::uint32_t columns = 0;
        const auto take = [&](int Cell) {
            if (cells[Cell] == colour) {
                cells[Cell] = 0;
                FCells[listed++] = static_cast<TCellIndex>(Cell);
            }
        };
        take(start);
        // The list grows while it is walked: a breadth-first fill.
        for (int walked = first; walked < listed; ++walked) {
            const int cell = FCells[walked];
            const int row = cell % RowCount;
            columns |= 1u << (cell / RowCount);
            take(cell - RowCount);
            take(cell + RowCount);
            if (row > 0)
                take(cell - 1);
            if (row < RowCount - 1)
                take(cell + 1);
        }
        const int size = listed - first;
        removable += size >= 2;
        FGroups[count++] =
            TPebbleGroup{colour, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(first),
                         static_cast<TCellIndex>(start), columns};
    }
    FCount = count;
    FRemovable = removable;
}

} // namespace zorbalin
