// TRadioGroup: a captioned group box holding one radio item per entry of Items, laid out in
// Columns columns (filled column by column). ItemIndex is the selected item (-1: none). A left
// press on an item selects it and takes the focus; with the focus, the arrow keys move the
// selection. OnClick fires whenever the selection changes by the user's hand.
#pragma once

#include <string>
#include <vector>

#include "toolkit/graphic_control.h"

namespace zorbalin {

class TRadioGroup : public TGraphicControl {
  public:
    explicit TRadioGroup(TComponent* Owner);

    const std::vector<std::string>& Items() const { return FItems; }
    void SetItems(std::vector<std::string> Items);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);

    // The box of item i in client coordinates (its circle and its text).
    TRect ItemRect(int Index) const;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool WantsKey(uint16_t Key) const override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;

  protected:
    void Paint() override;

  private:
    int Rows() const;
    void Select(int Index);
    void PaintItem(int Index);

    std::vector<std::string> FItems;
    int FColumns = 1;
    int FItemIndex = -1;
};

} // namespace zorbalin
