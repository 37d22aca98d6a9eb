#pragma once
// A board view that shows nothing, for running the rules alone (tests, benchmarks); it only
// counts the games that ended.
#include "game/board_view.h"

namespace zorbalin {

class TQuietView : public TBoardView {
  public:
    TPictureHandle CreatePebble(int, int, std::int32_t) override { return nullptr; }
    void ShowPebble(int, int, std::int32_t) override {}
    void HidePebble(int, int) override {}
    void OffsetPebble(int, int, int, int) override {}
    void ResetPebble(int, int) override {}
    void ShowResult(const std::string&, const std::string&) override { ++Results; }

    int Results = 0;
};

} // namespace zorbalin
