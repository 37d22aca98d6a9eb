// TGraphicControl: a windowless control that paints with its own canvas, bound to the form's
// device context while it paints (origin at the control's top-left corner, clipped to the part
// of the control being drawn). Nothing erases the control first: what lies behind it (the
// form's background and the controls before it) is already drawn, so transparent pixels blend.
#pragma once

#include "toolkit/canvas.h"
#include "toolkit/control.h"

namespace zorbalin {

class TGraphicControl : public TControl {
  public:
    explicit TGraphicControl(TComponent* Owner) : TControl(Owner) {}

    // The canvas to draw on; its context is only set while Paint runs.
    TCanvas* Canvas() { return &FCanvas; }
    void PaintControl(HDC Dc) override;

  protected:
    virtual void Paint() {}

  private:
    TCanvas FCanvas;
};

} // namespace zorbalin
