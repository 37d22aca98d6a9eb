#pragma once
// The six notifications by which the game drives the main window. The game
// calls nothing else on the window, and the order of the calls is part of the
// rules: a view may rely on it.
#include "game/board.h"

#include <cstdint>
#include <string>

namespace zorbalin {

class TBoardView {
  public:
    virtual ~TBoardView() = default;

    // Creates the visible picture of a cell at its home box (HomeBox), named and
    // hinted CellName(Col, Row), stretched, showing Colour. Clicks on it go to
    // TGame::ClickNamedCell with that name. The returned handle is stored in
    // the cell's Picture; it may be null if the view needs none.
    virtual TPictureHandle CreatePebble(int Col, int Row, std::int32_t Colour) = 0;
    // Loads the picture of Colour afresh and makes the cell's picture visible;
    // drawn at the next ordinary repaint. Colour 0 reaches the view when a whole
    // board with empty cells is shown again (undo, redo, or the replay of a
    // loaded position); treat it as a hide.
    virtual void ShowPebble(int Col, int Row, std::int32_t Colour) = 0;
    // Makes the cell's picture invisible; drawn at the next ordinary repaint.
    virtual void HidePebble(int Col, int Row) = 0;
    // Places the cell's picture at its home plus (DX, DY) and draws it there at
    // once, before returning. One of DX and DY is always 0.
    virtual void OffsetPebble(int Col, int Row, int DX, int DY) = 0;
    // Puts the cell's picture back at its home, with no repaint of its own.
    virtual void ResetPebble(int Col, int Row) = 0;
    // Shows the result window modally and returns when the player closed it.
    virtual void ShowResult(const std::string& Headline, const std::string& Message) = 0;
};

} // namespace zorbalin
