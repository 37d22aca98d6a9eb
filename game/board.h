#pragma once
// The board model: cells, the two boards, cell names and keys, and where each
// cell's picture stands in the main window.
#include <array>
#include <cstdint>
#include <string>

namespace zorbalin {

constexpr int kColumnCount = 18;
constexpr int kRowCount = 9;
constexpr int kCellCount = kColumnCount * kRowCount;

// The numbers of colours a deal may use.
constexpr std::int32_t kFewestColours = 3;
constexpr std::int32_t kMostColours = 5;

// The view's own handle for a cell picture. The game only stores what
// TBoardView::CreatePebble returned and never looks behind it.
using TPictureHandle = void*;

struct TBoardCell {
    TPictureHandle Picture = nullptr; // set once when the pictures are created
    std::int32_t Colour = 0;          // 0 empty, 1..ColourCount a pebble colour
};

// Where a cell stands in a table of CellCount entries kept column by column
// (column 1 rows 1..9, then column 2, ...). Positions are 1-based: column 1..18
// left to right, row 1..9 top to bottom.
constexpr int CellIndex(int Col, int Row) {
    return (Col - 1) * kRowCount + (Row - 1);
}

// 18 x 9 cells in CellIndex order.
class TBoard {
  public:
    TBoardCell& At(int Col, int Row) { return FCells[CellIndex(Col, Row)]; }
    const TBoardCell& At(int Col, int Row) const { return FCells[CellIndex(Col, Row)]; }
    std::int32_t Colour(int Col, int Row) const { return At(Col, Row).Colour; }
    bool IsFilled(int Col, int Row) const { return At(Col, Row).Colour != 0; }

  private:
    std::array<TBoardCell, kCellCount> FCells{};
};

bool IsOnBoard(int Col, int Row);

// A cell by its position, for lines of clicks.
struct TCellPosition {
    int Col; // 1..18
    int Row; // 1..9
    bool operator==(const TCellPosition& Other) const {
        return Col == Other.Col && Row == Other.Row;
    }
};

// "i5i3" for column 5, row 3: the name (and hint) of the cell's picture.
std::string CellName(int Col, int Row);
// "5i3" for column 5, row 3: the key used by the group search.
std::string CellKey(int Col, int Row);

// Home position and size of a cell picture in the main window's client area.
struct TCellBox {
    int Left;
    int Top;
    int Width;
    int Height;
};
constexpr int kCellWidth = 35;
constexpr int kCellHeight = 43;
TCellBox HomeBox(int Col, int Row);

} // namespace zorbalin
