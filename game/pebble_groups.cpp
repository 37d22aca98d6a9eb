#include "game/pebble_groups.h"

#include <cstring>

namespace zorbalin {
namespace {

// A cell just past the board: always empty, so it stands in for every
// neighbour outside the board and the flood fill needs no bounds tests.
constexpr std::uint8_t OffBoard = CellCount;

struct TNeighbours {
    std::array<std::array<std::uint8_t, 4>, CellCount> Of;
};

constexpr TNeighbours MakeNeighbours() {
    TNeighbours table{};
    for (int col = 1; col <= ColumnCount; ++col) {
        for (int row = 1; row <= RowCount; ++row) {
            auto& of = table.Of[CellIndex(col, row)];
            of[0] = col > 1 ? CellIndex(col - 1, row) : OffBoard;
            of[1] = col < ColumnCount ? CellIndex(col + 1, row) : OffBoard;
            of[2] = row > 1 ? CellIndex(col, row - 1) : OffBoard;
            of[3] = row < RowCount ? CellIndex(col, row + 1) : OffBoard;
        }
    }
    return table;
}

constexpr TNeighbours Neighbours = MakeNeighbours();

} // namespace

void TPebbleGroups::Find(const TCompactBoard& Board) {
    std::memset(FGroupOf.data(), NoGroup, FGroupOf.size());
    int count = 0;
    int listed = 0;
    int removable = 0;
    for (int start = 0; start < CellCount; ++start) {
        const std::uint8_t colour = Board.At(start);
        if (colour == 0 || FGroupOf[start] != NoGroup)
            continue;
        const std::uint8_t group = static_cast<std::uint8_t>(count++);
        const int first = listed;
        std::uint32_t columns = 0;
        FGroupOf[start] = group;
        FCells[listed++] = static_cast<TCellIndex>(start);
        // The list grows while it is walked: a breadth-first fill.
        for (int walked = first; walked < listed; ++walked) {
            const int cell = FCells[walked];
            columns |= 1u << (cell / RowCount);
            for (const std::uint8_t next : Neighbours.Of[cell]) {
                if (Board.At(next) == colour && FGroupOf[next] == NoGroup) {
                    FGroupOf[next] = group;
                    FCells[listed++] = next;
                }
            }
        }
        const int size = listed - first;
        removable += size >= 2;
        FGroups[group] =
            TPebbleGroup{colour, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(first),
                         static_cast<TCellIndex>(start), columns};
    }
    FCount = count;
    FRemovable = removable;
}

} // namespace zorbalin
