#pragma once
// A board view that turns every notification into one line of text: `ShowPebble 3 5 2`,
// `ShowResult "headline" "message"`. The simulator prints the lines; the game tests record them.
#include "game/board_view.h"

#include <ostream>
#include <string>

namespace zorbalin {

class TTextView : public TBoardView {
  public:
    // Writes the line; the handle is null, since there is no picture behind a line of text.
    TPictureHandle CreatePebble(int Col, int Row, std::int32_t Colour) override;
    void ShowPebble(int Col, int Row, std::int32_t Colour) override;
    void HidePebble(int Col, int Row) override;
    void OffsetPebble(int Col, int Row, int DX, int DY) override;
    void ResetPebble(int Col, int Row) override;
    void ShowResult(const std::string& Headline, const std::string& Message) override;

  protected:
    // Receives the line of each notification, without an end of line.
    virtual void WriteLine(const std::string& Line) = 0;
};

// The lines on a stream, one notification a line.
class TStreamTextView : public TTextView {
  public:
    explicit TStreamTextView(std::ostream& Out) : FOut(Out) {}

  protected:
    void WriteLine(const std::string& Line) override { FOut << Line << '\n'; }

  private:
    std::ostream& FOut;
};

} // namespace zorbalin
