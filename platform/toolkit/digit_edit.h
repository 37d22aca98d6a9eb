// TDigitEdit: a one-line field for a whole number, in the classic sunken white box. It takes the
// keyboard focus; the digit keys append a digit (up to MaxLength), Backspace takes the last one
// off, and no other character gets in. The text in the field when it takes the focus is
// selected, as a field of a dialog is, so that the first digit typed replaces it and Backspace
// empties it.
#pragma once

#include "toolkit/graphic_control.h"

#include <cstddef>
#include <string>

namespace zorbalin {

class TDigitEdit : public TGraphicControl {
  public:
    explicit TDigitEdit(TComponent* Owner);

    std::size_t MaxLength = 10;

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Text);
    // The whole text is selected: the next digit replaces it.
    bool AllSelected() const { return FAllSelected; }

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool WantsKey(uint16_t Key) const override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;

  protected:
    void FocusChanged() override;
    void Paint() override;

  private:
    std::string FText;
    bool FAllSelected = false;
};

} // namespace zorbalin
