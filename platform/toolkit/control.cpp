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

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent)
        return;
    if (FParent) {
        Invalidate();
        FParent->Remove(this);
    }
    if (parent) {
        parent->Insert(this);
        if (ParentFont)
            FFont->Assign(*parent->Font());
        Invalidate();
    }
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->FParent)
        c = c->FParent;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
        return;
    Invalidate();
    FLeft = left;
    FTop = top;
    FWidth = std::max(width, 0);
    FHeight = std::max(height, 0);
    Invalidate();
}

void TControl::SetVisible(bool value) {
    if (value == FVisible)
        return;
    if (FVisible)
        Invalidate();
    FVisible = value;
    if (FVisible)
        Invalidate();
    VisibleChanged();
}

void TControl::SetEnabled(bool value) {
    if (value == FEnabled)
        return;
    FEnabled = value;
    EnabledChanged();
}

void TControl::SetCaption(const std::string& value) {
    if (value == FCaption)
        return;
    FCaption = value;
    TextChanged();
}

void TControl::SetColor(TColor value) {
    if (value == FColor)
        return;
    FColor = value;
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

TPoint TControl::ClientToScreen(TPoint p) const {
    if (!FParent)
        return p;
    return FParent->ClientToScreen({p.X + FLeft, p.Y + FTop});
}

TPoint TControl::ScreenToClient(TPoint p) const {
    if (!FParent)
        return p;
    TPoint inParent = FParent->ScreenToClient(p);
    return {inParent.X - FLeft, inParent.Y - FTop};
}

bool TControl::MouseCapture() const {
    TForm* form = ParentForm();
    return form && form->CaptureControl() == this;
}

void TControl::SetMouseCapture(bool value) {
    TForm* form = ParentForm();
    if (!form)
        return;
    if (value)
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

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

// ---- TWinControl ------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* Owner) : TControl(Owner) {}

TWinControl::~TWinControl() {
    // Controls owned elsewhere outlive this container: detach them.
    for (TControl* c : FControls)
        c->FParent = nullptr;
}

void TWinControl::Insert(TControl* control) {
    control->FParent = this;
    FControls.push_back(control);
    ControlInserted(control);
}

void TWinControl::Remove(TControl* control) {
    ControlRemoving(control);
    auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it != FControls.end())
        FControls.erase(it);
    control->FParent = nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (c->Visible() && (allowDisabled || c->Enabled()) && c->BoundsRect().Contains(p))
            return c;
    }
    return nullptr;
}

void TWinControl::BringToFront(TControl* control) {
    auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it == FControls.end())
        return;
    FControls.erase(it);
    FControls.push_back(control);
    control->Invalidate();
}

void TWinControl::SendToBack(TControl* control) {
    auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it == FControls.end())
        return;
    FControls.erase(it);
    FControls.insert(FControls.begin(), control);
    control->Invalidate();
}

} // namespace zorbalin
