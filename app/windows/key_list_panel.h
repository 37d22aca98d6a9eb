#pragma once
// The key list of the about window: a leather plate in a sandy frame, like the
// window's artwork, with a heading and one row per command: its keys on the
// left, what it does on the right (word-wrapped when long). Rows that do not
// fit are left out.
#include "toolkit/graphic_control.h"

#include <string>
#include <vector>

namespace zorbalin {

struct TKeyLine {
    std::string Keys; // "Ctrl+N, F2"
    std::string Text; // "Új játék"
};

class TKeyListPanel : public TGraphicControl {
  public:
    explicit TKeyListPanel(TComponent* Owner);

    const std::vector<TKeyLine>& Lines() const { return FLines; }
    void SetLines(std::vector<TKeyLine> Lines);

  protected:
    void Paint() override;

  private:
    void PaintPlate(TCanvas& Canvas);
    // As wide as the widest keys (in the canvas font) need, at most half the plate.
    int KeyColumnWidth(TCanvas& Canvas) const;

    std::vector<TKeyLine> FLines;
};

} // namespace zorbalin
