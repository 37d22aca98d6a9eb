#include "toolkit/digit_edit.h"

#include "toolkit/font.h"

namespace zorbalin {

namespace {

bool IsDigitKey(uint16_t Key) {
    return Key >= '0' && Key <= '9';
}

} // namespace

TDigitEdit::TDigitEdit(TComponent* Owner) : TGraphicControl(Owner) {
    TabStop = true;
    ControlStyle = kCsCaptureMouse;
    SetBounds(Left(), Top(), 121, 21);
}

void TDigitEdit::SetText(const std::string& Text) {
    FText.clear();
    for (char c : Text)
        if (IsDigitKey(static_cast<uint8_t>(c)) && FText.size() < MaxLength)
            FText += c;
    FAllSelected = Focused() && !FText.empty();
    Invalidate();
}

void TDigitEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft && !Focused())
        SetFocus();
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

bool TDigitEdit::WantsKey(uint16_t Key) const {
    return IsDigitKey(Key) || Key == vk::kBack;
}

void TDigitEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    // Shortcuts with Ctrl or Alt belong to the dialog, not to the text.
    if (!WantsKey(Key) || (Shift & (kSsCtrl | kSsAlt)) != 0)
        return;
    if (FAllSelected)
        FText.clear();
    else if (Key == vk::kBack && !FText.empty())
        FText.pop_back();
    if (IsDigitKey(Key) && FText.size() < MaxLength)
        FText += static_cast<char>(Key);
    FAllSelected = false;
    Key = 0;
    Invalidate();
}

void TDigitEdit::FocusChanged() {
    FAllSelected = Focused() && !FText.empty();
    TGraphicControl::FocusChanged();
}

void TDigitEdit::Paint() {
    HDC dc = Canvas()->Handle();
    RECT box{0, 0, Width(), Height()};
    DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    TCanvas& canvas = *Canvas();
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Enabled() ? kClWindow : kClBtnFace);
    canvas.FillRect(Rect(box.left, box.top, box.right, box.bottom));

    const int textLeft = box.left + 2;
    const int textWidth = canvas.TextWidth(FText);
    TRect line{textLeft, box.top, box.right - 1, box.bottom};
    if (FAllSelected) {
        canvas.Brush().SetColor(kClHighlight);
        canvas.FillRect(Rect(textLeft, box.top + 1, textLeft + textWidth + 1, box.bottom - 1));
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetColor(FAllSelected ? kClHighlightText
                           : Enabled()  ? Font()->Color()
                                        : kClGrayText);
    canvas.DrawText(FText, line, taLeftJustify, false, true);
    if (Focused() && !FAllSelected) {
        // The caret after the last digit.
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(kClWindowText);
        canvas.FillRect(
            Rect(textLeft + textWidth, box.top + 2, textLeft + textWidth + 1, box.bottom - 2));
    }
}

} // namespace zorbalin
