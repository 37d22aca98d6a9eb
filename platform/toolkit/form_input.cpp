// How a form hands mouse and keyboard input to its controls: capture, the click rule, double
// clicks, pointer enter and leave, action shortcuts, and the dialog keys.
#include <algorithm>

#include "toolkit/action.h"
#include "toolkit/application.h"
#include "toolkit/button.h"
#include "toolkit/form.h"
#include "toolkit/popup_menu.h"

namespace zorbalin {

TControl* TForm::MouseTarget(TPoint p) const {
    if (FCaptureControl)
        return FCaptureControl;
    if (TControl* c = ControlAtPos(p))
        return c;
    return const_cast<TForm*>(this);
}

TPoint TForm::ToControl(const TControl* control, TPoint p) const {
    for (const TControl* c = control; c && c != this; c = c->Parent()) {
        p.X -= c->Left();
        p.Y -= c->Top();
    }
    return p;
}

void TForm::UpdateHover(TPoint p) {
    TControl* now = ClientRect().Contains(p) ? ControlAtPos(p, true) : nullptr;
    if (now == FHoverControl)
        return;
    TControl* old = FHoverControl;
    FHoverControl = now;
    if (old) {
        old->FMouseInControl = false;
        old->MouseLeave();
    }
    // The leave handler may have changed the controls: enter only a control still hovered.
    if (now && FHoverControl == now) {
        now->FMouseInControl = true;
        now->MouseEnter();
    }
}

void TForm::HandleMouseLeave() {
    if (Application)
        Application->CancelHint();
    if (!FHoverControl)
        return;
    TControl* old = FHoverControl;
    FHoverControl = nullptr;
    old->FMouseInControl = false;
    old->MouseLeave();
}

void TForm::HandleMouseDown(TMouseButton button, TShiftState shift, TPoint p, bool doubleClick) {
    MouseUsed(p, true);
    UpdateHover(p);
    TControl* target = MouseTarget(p);
    TPoint cp = ToControl(target, p);
    if (button == TMouseButton::mbLeft) {
        if (target->ControlStyle & csCaptureMouse)
            SetCaptureControl(target);
        if (doubleClick && (target->ControlStyle & csDoubleClicks)) {
            // The second press of a double click arms no click: its release must not click again.
            FClickControl = nullptr;
            target->DblClick();
            target->MouseDown(button, shift | ssDouble, cp.X, cp.Y);
            return;
        }
        FClickControl = (target->ControlStyle & csClickEvents) ? target : nullptr;
    }
    if (button == TMouseButton::mbRight)
        FContextPress = true;
    if (target->TabStop && target->Enabled() && target != this)
        SetActiveControl(target);
    target->MouseDown(button, shift, cp.X, cp.Y);
}

void TForm::HandleMouseUp(TMouseButton button, TShiftState shift, TPoint p) {
    TControl* target = MouseTarget(p);
    TPoint cp = ToControl(target, p);
    if (button == TMouseButton::mbLeft) {
        bool armed = FClickControl == target;
        FClickControl = nullptr;
        if (FCaptureControl)
            SetCaptureControl(nullptr);
        // The click comes before the release is reported, and only inside the control's box.
        if (armed && target->ClientRect().Contains(cp))
            target->Click();
    }
    // Click may have removed the control (a form closing itself frees it later, not now).
    bool known =
        target == this || std::find(FControls.begin(), FControls.end(), target) != FControls.end();
    if (known)
        target->MouseUp(button, shift, cp.X, cp.Y);
    UpdateHover(p);
    if (button == TMouseButton::mbRight && FContextPress) {
        FContextPress = false;
        // A right release while the left button drags something is part of that drag.
        if (known && !(shift & ssLeft))
            ContextPopup(target, p);
    }
}

void TForm::ContextPopup(TControl* target, TPoint p) {
    for (TControl* c = target; c; c = c->Parent()) {
        if (c->PopupMenu) {
            TPoint screen = ClientToScreen(p);
            c->PopupMenu->Popup(screen.X, screen.Y);
            return;
        }
    }
}

void TForm::HandleMouseMove(TShiftState shift, TPoint p) {
    MouseUsed(p, false);
    UpdateHover(p);
    if (Application)
        Application->HintMouseMove(FHoverControl, ClientToScreen(p));
    TControl* target = MouseTarget(p);
    TPoint cp = ToControl(target, p);
    target->MouseMove(shift, cp.X, cp.Y);
}

// ---- Keyboard ---------------------------------------------------------------------------------

void TForm::HandleKeyDown(uint16_t key, TShiftState shift) {
    if (ExecuteShortCut(key, shift))
        return;
    TControl* focus = FActiveControl;
    if (focus && focus->Visible() && focus->Enabled() && focus->WantsKey(key)) {
        focus->KeyDown(key, shift);
        if (key == 0)
            return;
    }
    // The form's own keys (a game board's arrows) before the dialog keys.
    KeyDown(key, shift);
    if (key == 0)
        return;
    HandleDialogKey(key, shift);
}

bool TForm::ExecuteShortCut(uint16_t key, TShiftState shift) {
    TShortCut wanted = ShortCut(key, shift);
    for (int i = 0; i < ComponentCount(); ++i) {
        auto* list = dynamic_cast<TActionList*>(Components(i));
        if (!list)
            continue;
        for (TAction* action : list->Actions())
            if (action->HasShortCut(wanted) && action->Enabled()) {
                action->Execute();
                return true;
            }
    }
    return false;
}

TButton* TForm::FindButton(bool wantDefault) const {
    for (TControl* c : FControls) {
        auto* b = dynamic_cast<TButton*>(c);
        if (b && b->Visible() && b->Enabled() && (wantDefault ? b->Default : b->Cancel))
            return b;
    }
    return nullptr;
}

bool TForm::HandleDialogKey(uint16_t key, TShiftState shift) {
    switch (key) {
    case vk::Return: {
        // The focused push button takes Enter; otherwise the default button does.
        auto* focused = dynamic_cast<TButton*>(FActiveControl);
        TButton* b = focused && focused->Enabled() ? focused : FindButton(true);
        if (b)
            b->Click();
        return b != nullptr;
    }
    case vk::Escape: {
        TButton* b = FindButton(false);
        if (b)
            b->Click();
        return b != nullptr;
    }
    case vk::Tab:
        SelectNextControl(!(shift & ssShift));
        return true;
    default:
        return false;
    }
}

void TForm::SelectNextControl(bool forward) {
    std::vector<TControl*> stops;
    for (TControl* c : FControls)
        if (c->TabStop && c->Visible() && c->Enabled())
            stops.push_back(c);
    if (stops.empty())
        return;
    std::stable_sort(stops.begin(), stops.end(),
                     [](TControl* a, TControl* b) { return a->TabOrder < b->TabOrder; });
    auto it = std::find(stops.begin(), stops.end(), FActiveControl);
    size_t index;
    if (it == stops.end())
        index = forward ? 0 : stops.size() - 1;
    else {
        size_t here = static_cast<size_t>(it - stops.begin());
        index = forward ? (here + 1) % stops.size() : (here + stops.size() - 1) % stops.size();
    }
    SetActiveControl(stops[index]);
}

} // namespace zorbalin
