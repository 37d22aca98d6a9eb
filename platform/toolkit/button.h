// TButton: the classic raised push button. The left button pressed on it shows it sunken while
// the pointer stays inside; releasing inside clicks it. It takes the keyboard focus (a dotted
// focus rectangle), Space clicks the focused button, Enter clicks the focused or else the
// Default button, Esc clicks the Cancel button. A click sets the form's modal result to
// ModalResult (ending a modal run when it is not mrNone) and then fires OnClick.
#pragma once

#include "toolkit/graphic_control.h"

namespace zorbalin {

class TButton : public TGraphicControl {
  public:
    explicit TButton(TComponent* Owner);

    bool Default = false;
    bool Cancel = false;
    int ModalResult = 0;
    bool Down() const { return FDown; }

    void Click() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    bool WantsKey(uint16_t Key) const override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;

  protected:
    void Paint() override;

  private:
    void SetDown(bool Value);
    bool FDown = false;
};

} // namespace zorbalin
