#pragma once
// The keyboard's place on the board: the cell the focus ring marks. The ring
// lies on a filled cell only; it shows at the first arrow key (on the
// lower-left pebble the first time) and hides when the mouse is used. Moves
// skip empty cells: left and right go to the next column that holds a pebble
// (the one nearest the ring's row), up and down to the next pebble of the
// column; where there is none, the ring stays.
#include "game/board.h"

#include <cstdint>

namespace zorbalin {

class TBoardFocus {
  public:
    bool Visible() const { return FVisible; }
    int Col() const { return FCol; }
    int Row() const { return FRow; }

    // An arrow key (vk::Left .. vk::Down): shows the ring, or moves it when it
    // is already shown. Other keys are ignored.
    void Arrow(std::uint16_t Key, const TBoard& Board);
    void Hide() { FVisible = false; }
    // After the board changed: a ring whose cell emptied goes to the nearest
    // filled cell, and hides when the board is empty.
    void Follow(const TBoard& Board);

  private:
    void MoveAcross(int Step, const TBoard& Board);
    void MoveAlong(int Step, const TBoard& Board);

    bool FVisible = false;
    int FCol = 1;
    int FRow = kRowCount;
};

} // namespace zorbalin
