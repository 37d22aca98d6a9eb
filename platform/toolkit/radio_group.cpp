#include "toolkit/radio_group.h"

#include <algorithm>
#include <cmath>

#include "toolkit/font.h"

namespace zorbalin {

namespace {

constexpr int kCaptionMargin = 8; // caption text from the box's left edge
constexpr int kTopArea = 14;      // the caption's strip above the items
constexpr int kCircle = 12;       // diameter of a radio circle
constexpr int kTextGap = 17;      // from the circle's left to the item text

// A radio circle of the classic look: a sunken ring, a white well, a dark dot when checked.
void DrawRadio(HDC Dc, int Left, int Top, bool Checked, bool Enabled) {
    const double c = (kCircle - 1) / 2.0;
    for (int y = 0; y < kCircle; ++y) {
        for (int x = 0; x < kCircle; ++x) {
            double dx = x - c, dy = y - c, d = std::sqrt(dx * dx + dy * dy);
            if (d > c + 0.5)
                continue;
            COLORREF colour;
            bool upperLeft = dx + dy < 0;
            if (d > c - 0.5)
                colour = GetSysColor(upperLeft ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
            else if (d > c - 1.5)
                colour = GetSysColor(upperLeft ? COLOR_3DDKSHADOW : COLOR_3DLIGHT);
            else if (Checked && d < 2.3)
                colour = GetSysColor(Enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
            else
                colour = Enabled ? GetSysColor(COLOR_WINDOW) : GetSysColor(COLOR_BTNFACE);
            SetPixel(Dc, Left + x, Top + y, colour);
        }
    }
}

} // namespace

TRadioGroup::TRadioGroup(TComponent* Owner) : TGraphicControl(Owner) {
    TabStop = true;
    // OnClick comes from a change of the selection, not from the toolkit's click rule.
    ControlStyle = kCsCaptureMouse;
    SetBounds(Left(), Top(), 185, 105);
}

void TRadioGroup::SetItems(std::vector<std::string> Items) {
    FItems = std::move(Items);
    if (FItemIndex >= static_cast<int>(FItems.size()))
        FItemIndex = -1;
    Invalidate();
}

void TRadioGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, 16);
    if (Value == FColumns)
        return;
    FColumns = Value;
    Invalidate();
}

void TRadioGroup::SetItemIndex(int Value) {
    if (Value < -1 || Value >= static_cast<int>(FItems.size()))
        Value = -1;
    if (Value == FItemIndex)
        return;
    FItemIndex = Value;
    Invalidate();
}

int TRadioGroup::Rows() const {
    int n = static_cast<int>(FItems.size());
    return std::max(1, (n + FColumns - 1) / FColumns);
}

TRect TRadioGroup::ItemRect(int Index) const {
    int rows = Rows();
    int column = Index / rows, row = Index % rows;
    int columnWidth = (Width() - 10) / FColumns;
    int itemHeight = std::max(1, (Height() - kTopArea - 4) / rows);
    int left = kCaptionMargin + column * columnWidth;
    int top = kTopArea + row * itemHeight;
    return {left, top, left + columnWidth, top + itemHeight};
}

void TRadioGroup::Select(int Index) {
    if (Index == FItemIndex)
        return;
    SetItemIndex(Index);
    Click();
}

void TRadioGroup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft) {
        for (int i = 0; i < static_cast<int>(FItems.size()); ++i)
            if (ItemRect(i).Contains({X, Y})) {
                Select(i);
                break;
            }
    }
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

bool TRadioGroup::WantsKey(uint16_t Key) const {
    return Key == vk::kLeft || Key == vk::kRight || Key == vk::kUp || Key == vk::kDown;
}

void TRadioGroup::KeyDown(uint16_t& Key, TShiftState) {
    int n = static_cast<int>(FItems.size());
    if (n == 0 || !WantsKey(Key))
        return;
    bool forward = Key == vk::kRight || Key == vk::kDown;
    int from = FItemIndex < 0 ? (forward ? -1 : 0) : FItemIndex;
    Select(((from + (forward ? 1 : -1)) % n + n) % n);
    Key = 0;
}

void TRadioGroup::Paint() {
    TCanvas& canvas = *Canvas();
    HDC dc = canvas.Handle();
    int textHeight = canvas.TextHeight("Ág");
    RECT frame{0, textHeight / 2, Width(), Height()};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!Caption().empty()) {
        // The caption interrupts the frame's top edge.
        TSize extent = canvas.TextExtent(Caption());
        canvas.Brush().SetColor(Color());
        canvas.Brush().SetStyle(bsSolid);
        canvas.FillRect(Bounds(kCaptionMargin - 2, 0, extent.cx + 4, extent.cy));
        canvas.Brush().SetStyle(bsClear);
        canvas.Font().SetColor(Enabled() ? Font()->Color() : kClGrayText);
        canvas.TextOut(kCaptionMargin, 0, Caption());
    }
    for (int i = 0; i < static_cast<int>(FItems.size()); ++i)
        PaintItem(i);
}

void TRadioGroup::PaintItem(int Index) {
    TCanvas& canvas = *Canvas();
    TRect box = ItemRect(Index);
    int circleTop = box.Top + (box.Height() - kCircle) / 2;
    DrawRadio(canvas.Handle(), box.Left, circleTop, Index == FItemIndex, Enabled());
    const std::string& text = FItems[Index];
    TSize extent = canvas.TextExtent(text);
    int textLeft = box.Left + kTextGap, textTop = box.Top + (box.Height() - extent.cy) / 2;
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetColor(Enabled() ? Font()->Color() : kClGrayText);
    canvas.TextOut(textLeft, textTop, text);
    if (Focused() && Index == std::max(FItemIndex, 0)) {
        RECT focus{textLeft - 1, textTop - 1, textLeft + extent.cx + 1, textTop + extent.cy + 1};
        DrawFocusRect(canvas.Handle(), &focus);
    }
}

} // namespace zorbalin
