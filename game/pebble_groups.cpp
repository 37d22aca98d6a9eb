#include "game/pebble_groups.h"

#include "game/group_fill.h"

#include <cstring>

namespace zorbalin {

void TPebbleGroups::Find(const TCompactBoard& Board) {
    // A copy of the cells, with the board's empty margins, for the fill to empty.
    constexpr int kMargin = TCompactBoard::kMargin;
    std::array<std::uint8_t, kMargin + kCellCount + kMargin> copy;
    std::memcpy(copy.data(), Board.Cells() - kMargin, copy.size());
    std::uint8_t* cells = copy.data() + kMargin;

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
        listed = TakeGroup(cells, start, FCells.data(), first, columns);
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
