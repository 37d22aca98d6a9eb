#pragma once
// The keyboard's place on the board. The focus ring remembers the cell the
// player aims at, and shows on that cell when it holds a pebble, else on the
// filled cell nearest to it in its column (then in the nearest column that
// holds pebbles). So the aim survives a pass through a shorter column: from
// row 5, Right across a column of three pebbles and on into a full one comes
// back to row 5.
//
// The aim changes only by the arrows, a click on a pebble, the hint and an
// undo. Left and right go to the next column that holds a pebble and keep the
// aimed row; up and down go to the next pebble of the column; where there is
// none, the ring stays. The ring shows at the first arrow key (on the
// lower-left pebble the first time) and hides when the mouse is used or the
// board is empty.
#include "game/board.h"

#include <cstdint>

namespace zorbalin {

class TBoardFocus {
  public:
    bool Visible() const { return FVisible; }
    // The cell the ring is on.
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    // The cell aimed at.
    int AimCol() const { return FAimCol; }
    int AimRow() const { return FAimRow; }

    // An arrow key (vk::Left .. vk::Down): shows the ring, or moves it when it
    // is already shown. Other keys are ignored.
    void Arrow(std::uint16_t Key, const TBoard& Board);
    // Aims at a cell (a click, the hint, an undo); the ring stays shown or
    // hidden as it was.
    void AimAt(int Col, int Row, const TBoard& Board);
    void Show(const TBoard& Board);
    void Hide() { FVisible = false; }
    // After the board changed: the ring goes to the cell its aim now falls on,
    // and hides when the board is empty.
    void Follow(const TBoard& Board);

  private:
    void MoveAcross(int Step, const TBoard& Board);
    void MoveAlong(int Step, const TBoard& Board);

    bool FVisible = false;
    int FAimCol = 1;
    int FAimRow = kRowCount;
    int FCol = 1;
    int FRow = kRowCount;
};

} // namespace zorbalin
