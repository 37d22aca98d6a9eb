#pragma once
// A position as the solver sees it: one byte a cell and nothing of the view,
// played by exactly the rules of TGame (a group of two or more goes, pebbles
// fall, then at most four empty columns close, leftmost first), so that a line
// found here replays move for move on the real board.
#include "game/board.h"

#include <array>
#include <cstdint>

namespace zorbalin {

// A cell's place in a compact board: CellIndex(Col, Row), 0..CellCount - 1.
using TCellIndex = std::uint8_t;

class TCompactBoard {
  public:
    // The most distinct colour codes a compact board can tell apart: one a cell.
    static constexpr int kMaxColours = kCellCount;

    TCompactBoard() = default;
    // The colours of Board, renumbered 1, 2, ... in the order they first occur
    // (column by column), so that any codes the game holds fit in a byte.
    explicit TCompactBoard(const TBoard& Board);

    // Index may run from -Margin to CellCount + Margin: the cells around the
    // board read as empty.
    std::uint8_t At(int Index) const { return FCells[kMargin + Index]; }
    std::uint8_t Colour(int Col, int Row) const { return At(CellIndex(Col, Row)); }
    // The bytes of the cells, with Margin empty bytes before and after.
    const std::uint8_t* Cells() const { return FCells.data() + kMargin; }
    // The number of distinct colours the position was made with.
    int ColourCount() const { return FColourCount; }
    int PebbleCount() const;
    // The cells up to the end of the last column that holds a pebble: all
    // after them are empty.
    int UsedCells() const;

    // The whole reaction of the game to a click on the pebble at Index: its
    // group goes if it has two pebbles or more, then the board settles (also
    // when nothing went). A click on an empty cell changes nothing. Gravity
    // runs in the group's columns and in those of AlsoDrop: all of them by
    // default, since a position handed in may hold pebbles up anywhere; once
    // a board has been settled, none but the group's need it.
    void Click(int Index, std::uint32_t AlsoDrop = kAllColumns);
    // Empties the Count cells listed (a group, found by TPebbleGroups) and
    // settles; Columns holds a bit for every column they lie in (bit 0 column 1).
    void RemoveAndSettle(const TCellIndex* Cells, int Count, std::uint32_t Columns);
    // Gravity in the columns of the mask (bit 0 column 1), then the four
    // column-closing passes over the whole board.
    void Settle(std::uint32_t Columns = kAllColumns);
    // True when settling would change the board: a pebble above a gap, or an
    // empty column that a closing pass would remove with pebbles to its right.
    bool IsUnsettled() const;
    // The game's end test: two same-coloured pebbles side by side.
    bool HasMovesLeft() const;

    std::uint64_t Hash() const;
    bool operator==(const TCompactBoard& Other) const { return FCells == Other.FCells; }

    static constexpr std::uint32_t kAllColumns = (1u << kColumnCount) - 1;
    // Empty bytes around the cells, so that word-wide reads of a cell's
    // neighbours need no bounds tests.
    static constexpr int kMargin = 40;

  private:
    std::uint8_t* MutableCells() { return FCells.data() + kMargin; }
    void DropColumn(int Col);
    void CloseColumns();

    std::array<std::uint8_t, kMargin + kCellCount + kMargin> FCells{};
    int FColourCount = 0;
};

} // namespace zorbalin
