// TLabel: text in a fixed box. Alignment left, right or centred; WordWrap breaks lines between
// words within the box's width; Transparent leaves the background as it is, otherwise the box
// is filled with Color first. The label takes no mouse capture and no clicks of its own.
#pragma once

#include "toolkit/graphic_control.h"

namespace zorbalin {

class TLabel : public TGraphicControl {
  public:
    explicit TLabel(TComponent* Owner);

    TAlignment Alignment = taLeftJustify;
    bool WordWrap = false;
    bool Transparent = false;
    // Vertical placement of a single line: at the top, or centred.
    bool CentreVertically = false;

  protected:
    void Paint() override;
};

} // namespace zorbalin
