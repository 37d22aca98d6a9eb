#pragma once
// What a click does to the cell pictures, told as whole moves: while the click runs, the main
// window hands the recorder the same notifications the cell pictures get, and the recorder
// follows each pebble from the cell it started in to the cell it ends in, through every single
// drop and every column shift. The board's motion then plays these moves
// (app/windows/board_motion.h).
#include "game/board.h"

#include <array>
#include <cstdint>
#include <vector>

namespace zorbalin {

// A pebble that ends in another cell than it started in. A click moves it down first (in its
// own column) and then left (in the row it landed in).
struct TPebbleMove {
    int FromCol = 0, FromRow = 0;
    int ToCol = 0, ToRow = 0;
};

class TMotionRecorder {
  public:
    // A click starts: every pebble is where it was.
    void Begin();

    void Offset(int Col, int Row, int DX, int DY);
    void Hide(int Col, int Row);
    void Show(int Col, int Row, std::int32_t Colour);

    // Every pebble that moved, in the order of the cells it ended in (column by column).
    std::vector<TPebbleMove> Moves() const;

  private:
    static constexpr int kNone = -1;
    // The cell (CellIndex) each shown cell's pebble started the click in; kNone when hidden.
    std::array<int, kCellCount> FOrigin{};
    // The pebble whose picture is sliding now: where it started and the cell it is bound for.
    int FMovingOrigin = kNone;
    int FMovingTo = kNone;
};

} // namespace zorbalin
