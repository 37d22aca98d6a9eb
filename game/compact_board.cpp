#include "game/compact_board.h"

#include "game/group_fill.h"

#include <cstring>
#include <vector>

namespace zorbalin {
namespace {

constexpr int kClosingPasses = 4;
constexpr int kBottomRow = kRowCount - 1; // row 9, as an offset within a column

std::uint8_t* ColumnStart(std::uint8_t* Cells, int Col) {
    return Cells + Col * kRowCount;
}

std::uint64_t Mix(std::uint64_t Value) {
    Value ^= Value >> 32;
    Value *= 0xd6e8feb86659fd93ull;
    Value ^= Value >> 32;
    return Value;
}

// A different odd key for every word of the board, so that equal words at
// different places hash differently.
constexpr std::uint64_t WordKey(int Word) {
    return 0x9e3779b97f4a7c15ull * static_cast<std::uint64_t>(2 * Word + 1);
}

} // namespace

TCompactBoard::TCompactBoard(const TBoard& Board) {
    std::vector<std::int32_t> codes;
    for (int index = 0; index < kCellCount; ++index) {
        const std::int32_t code = Board.Colour(index / kRowCount + 1, index % kRowCount + 1);
        if (code == 0)
            continue;
        std::size_t known = 0;
        while (known < codes.size() && codes[known] != code)
            ++known;
        if (known == codes.size())
            codes.push_back(code);
        MutableCells()[index] = static_cast<std::uint8_t>(known + 1);
    }
    FColourCount = static_cast<int>(codes.size());
}

int TCompactBoard::PebbleCount() const {
    int count = 0;
    for (int index = 0; index < kCellCount; ++index)
        count += At(index) != 0;
    return count;
}

int TCompactBoard::UsedCells() const {
    int end = kCellCount;
    while (end > 0) {
        const std::uint8_t* column = Cells() + end - kRowCount;
        std::uint64_t upper;
        std::memcpy(&upper, column, sizeof upper);
        if (upper != 0 || column[kRowCount - 1] != 0)
            break;
        end -= kRowCount;
    }
    return end;
}

void TCompactBoard::Click(int Index, std::uint32_t AlsoDrop) {
    if (Index < 0 || Index >= kCellCount || At(Index) == 0)
        return;
    std::uint8_t* cells = MutableCells();
    const std::uint8_t colour = cells[Index];
    std::array<TCellIndex, kCellCount> group;
    std::uint32_t columns = 0;
    const int count = TakeGroup(cells, Index, group.data(), 0, columns);
    if (count == 1) { // a lone pebble stays
        cells[Index] = colour;
        columns = 0;
    }
    Settle(columns | AlsoDrop);
}

void TCompactBoard::RemoveAndSettle(const TCellIndex* Cells, int Count, std::uint32_t Columns) {
    std::uint8_t* cells = MutableCells();
    for (int i = 0; i < Count; ++i)
        cells[Cells[i]] = 0;
    Settle(Columns);
}

void TCompactBoard::Settle(std::uint32_t Columns) {
    for (int col = 0; col < kColumnCount; ++col)
        if (Columns & (1u << col))
            DropColumn(col);
    CloseColumns();
}

void TCompactBoard::DropColumn(int Col) {
    // Pebbles never pass one another, so falling one row at a time until
    // nothing can fall packs the column's pebbles at its bottom in order.
    std::uint8_t* column = ColumnStart(MutableCells(), Col);
    int to = kBottomRow;
    while (to >= 0 && column[to] != 0)
        --to; // the pebbles below the lowest gap stay where they are
    for (int from = to - 1; from >= 0; --from)
        if (column[from] != 0)
            column[to--] = column[from];
    for (; to >= 0; --to)
        column[to] = 0;
}

void TCompactBoard::CloseColumns() {
    // A pass removes the first empty column of 1..17 and empties column 18;
    // empty columns at the right end take passes without changing anything.
    std::uint8_t* cells = MutableCells();
    for (int pass = 0; pass < kClosingPasses; ++pass) {
        int empty = 0;
        while (empty < kColumnCount - 1 && cells[empty * kRowCount + kBottomRow] != 0)
            ++empty;
        if (empty == kColumnCount - 1)
            return;
        int last = kColumnCount - 1;
        while (last > empty && cells[last * kRowCount + kBottomRow] == 0)
            --last;
        if (last == empty)
            return; // only empty columns from here on: nothing moves any more
        std::memmove(ColumnStart(cells, empty), ColumnStart(cells, empty + 1),
                     static_cast<std::size_t>(last - empty) * kRowCount);
        std::memset(ColumnStart(cells, last), 0, kRowCount);
    }
}

bool TCompactBoard::IsUnsettled() const {
    bool emptySeen = false;
    for (int col = 0; col < kColumnCount; ++col) {
        const std::uint8_t* column = Cells() + col * kRowCount;
        for (int row = 1; row < kRowCount; ++row)
            if (column[row] == 0 && column[row - 1] != 0)
                return true;
        const bool empty = column[kBottomRow] == 0;
        if (!empty && emptySeen)
            return true;
        emptySeen = emptySeen || empty;
    }
    return false;
}

bool TCompactBoard::HasMovesLeft() const {
    for (int col = 0; col < kColumnCount; ++col) {
        for (int row = 0; row < kRowCount; ++row) {
            const std::uint8_t colour = At(col * kRowCount + row);
            if (colour == 0)
                continue;
            if ((row + 1 < kRowCount && At(col * kRowCount + row + 1) == colour) ||
                (col + 1 < kColumnCount && At((col + 1) * kRowCount + row) == colour))
                return true;
        }
    }
    return false;
}

std::uint64_t TCompactBoard::Hash() const {
    // The words are mixed independently of one another, so that the processor
    // can work on several at once.
    // Empty columns at the right end are left out: equal boards still agree.
    std::uint64_t hash = 0;
    const int used = UsedCells();
    for (int word = 0; word * 8 < used; ++word) {
        std::uint64_t cells;
        std::memcpy(&cells, Cells() + word * 8, sizeof cells);
        hash += Mix(cells ^ WordKey(word));
    }
    return Mix(hash);
}

} // namespace zorbalin
