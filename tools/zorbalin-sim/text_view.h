#pragma once
// A board view that writes every notification as one line of text.
#include "game/board_view.h"

#include <ostream>

namespace zorbalin {

class TTextView : public TBoardView {
  public:
    explicit TTextView(std::ostream& Out) : FOut(Out) {}

    TPictureHandle CreatePebble(int Col, int Row, std::int32_t Colour) override;
    void ShowPebble(int Col, int Row, std::int32_t Colour) override;
    void HidePebble(int Col, int Row) override;
    void OffsetPebble(int Col, int Row, int DX, int DY) override;
    void ResetPebble(int Col, int Row) override;
    void ShowResult(const std::string& Headline, const std::string& Message) override;

  private:
    std::ostream& FOut;
};

} // namespace zorbalin
