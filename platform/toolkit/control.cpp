#include "toolkit/control.h"

#include <algorithm>

#include "toolkit/font.h"
#include "toolkit/form.h"

namespace zorbalin {

// ---- TControl ---------------------------------------------------------------------------------

TControl::TControl(TComponent* Owner) : TComponent(Owner), FFont(std::make_unique<TFont>()) {}

TControl::~TControl() {
    if (FParent)
        FParent->Remove(this);
}

void TControl::SetParent(TWinControl* Parent) {
    if (Parent == FParent)
        return;
    if (FParent) {
        Invalidate();
        FParent->Remove(this);
    }
    if (Parent) {
        Parent->Insert(this);
        if (ParentFont)
            FFont->Assign(*Parent->Font());
        Invalidate();
    }
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->FParent)
        c = c->FParent;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int Left, int Top, int Width, int Height) {
    if (Left == FLeft && Top == FTop && Width == FWidth && Height == FHeight)
        return;
    Invalidate();
    FLeft = Left;
    FTop = Top;
    FWidth = std::max(Width, 0);
    FHeight = std::max(Height, 0);
    Invalidate();
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    if (FVisible)
        Invalidate();
    FVisible = Value;
    if (FVisible)
        Invalidate();
    VisibleChanged();
}

void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    EnabledChanged();
}

void TControl::SetCaption(const std::string& Value) {
    if (Value == FCaption)
        return;
    FCaption = Value;
    TextChanged();
}

void TControl::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    Invalidate();
}

bool TControl::Focused() const {
    TForm* form = ParentForm();
    return form && form->ActiveControl() == this;
}

void TControl::SetFocus() {
    if (TForm* form = ParentForm())
        form->SetActiveControl(this);
}

void TControl::Invalidate() {
    if (FVisible && FParent)
        FParent->InvalidateRect(BoundsRect());
}

void TControl::Repaint() {
    if (FVisible && FParent)
        FParent->RepaintRect(BoundsRect());
}

void TControl::Update() {
    if (FParent)
        FParent->UpdateNow();
}

TPoint TControl::ClientToScreen(TPoint P) const {
    if (!FParent)
        return P;
    return FParent->ClientToScreen({P.X + FLeft, P.Y + FTop});
}

TPoint TControl::ScreenToClient(TPoint P) const {
    if (!FParent)
        return P;
    TPoint inParent = FParent->ScreenToClient(P);
    return {inParent.X - FLeft, inParent.Y - FTop};
}

bool TControl::MouseCapture() const {
    TForm* form = ParentForm();
    return form && form->CaptureControl() == this;
}

void TControl::SetMouseCapture(bool Value) {
    TForm* form = ParentForm();
    if (!form)
        return;
    if (Value)
        form->SetCaptureControl(this);
    else if (form->CaptureControl() == this)
        form->SetCaptureControl(nullptr);
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

// ---- TWinControl ------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* Owner) : TControl(Owner) {}

TWinControl::~TWinControl() {
    // Controls owned elsewhere outlive this container: detach them.
    for (TControl* c : FControls)
        c->FParent = nullptr;
}

void TWinControl::Insert(TControl* Control) {
    Control->FParent = this;
    FControls.push_back(Control);
    ControlInserted(Control);
}

void TWinControl::Remove(TControl* Control) {
    ControlRemoving(Control);
    auto it = std::find(FControls.begin(), FControls.end(), Control);
    if (it != FControls.end())
        FControls.erase(it);
    Control->FParent = nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint P, bool AllowDisabled) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (c->Visible() && (AllowDisabled || c->Enabled()) && c->BoundsRect().Contains(P))
            return c;
    }
    return nullptr;
}

void TWinControl::BringToFront(TControl* Control) {
    auto it = std::find(FControls.begin(), FControls.end(), Control);
    if (it == FControls.end())
        return;
    FControls.erase(it);
    FControls.push_back(Control);
    Control->Invalidate();
}

void TWinControl::SendToBack(TControl* Control) {
    auto it = std::find(FControls.begin(), FControls.end(), Control);
    if (it == FControls.end())
        return;
    FControls.erase(it);
    FControls.insert(FControls.begin(), Control);
    Control->Invalidate();
}

} // namespace zorbalin
