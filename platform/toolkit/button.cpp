#include "toolkit/button.h"

#include "toolkit/font.h"
#include "toolkit/form.h"

namespace zorbalin {

TButton::TButton(TComponent* Owner) : TGraphicControl(Owner) {
    TabStop = true;
    // A push button counts every press as a press: two quick clicks are two clicks.
    ControlStyle = kCsCaptureMouse | kCsClickEvents;
    SetBounds(Left(), Top(), 75, 25);
}

void TButton::Click() {
    if (TForm* form = ParentForm()) {
        if (ModalResult != 0)
            form->SetModalResult(ModalResult);
    }
    TGraphicControl::Click();
}

void TButton::SetDown(bool Value) {
    if (Value == FDown)
        return;
    FDown = Value;
    Repaint();
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft)
        SetDown(true);
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft)
        SetDown(false);
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TButton::MouseMove(TShiftState Shift, int X, int Y) {
    // While the press lasts, the face follows the pointer in and out of the button.
    if (MouseCapture())
        SetDown(ClientRect().Contains({X, Y}));
    TGraphicControl::MouseMove(Shift, X, Y);
}

bool TButton::WantsKey(uint16_t Key) const {
    return Key == vk::kSpace;
}

void TButton::KeyDown(uint16_t& Key, TShiftState) {
    if (Key != vk::kSpace)
        return;
    Key = 0;
    Click();
}

void TButton::Paint() {
    HDC dc = Canvas()->Handle();
    RECT r{0, 0, Width(), Height()};
    bool emphasised = Default || Focused();
    if (emphasised) {
        // The default button wears a black outline around its face.
        TBrushOwner black(CreateSolidBrush(RGB(0, 0, 0)));
        FrameRect(dc, &r, black.Get());
        r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    int shift = 0;
    if (FDown) {
        TBrushOwner shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
        FrameRect(dc, &r, shadow.Get());
        RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        TBrushOwner face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
        FillRect(dc, &inner, face.Get());
        shift = 1;
    } else {
        RECT face = r;
        DrawEdge(dc, &face, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    TCanvas& canvas = *Canvas();
    canvas.Font().SetColor(Enabled() ? Font()->Color() : kClGrayText);
    canvas.Brush().SetStyle(bsClear);
    TRect text{r.left + shift, r.top + shift, r.right + shift, r.bottom + shift};
    canvas.DrawText(Caption(), text, taCenter, false, true);
    if (Focused()) {
        RECT focus{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
        DrawFocusRect(dc, &focus);
    }
}

} // namespace zorbalin
