// How a form hands mouse and keyboard input to its controls: capture, the click rule, double
// clicks, pointer enter and leave, action shortcuts, and the dialog keys.
#include <algorithm>

#include "toolkit/action.h"
#include "toolkit/application.h"
#include "toolkit/button.h"
#include "toolkit/form.h"
#include "toolkit/popup_menu.h"

namespace zorbalin {

TControl* TForm::MouseTarget(TPoint P) const {
    if (FCaptureControl)
        return FCaptureControl;
    if (TControl* c = ControlAtPos(P))
        return c;
    return const_cast<TForm*>(this);
}

TPoint TForm::ToControl(const TControl* Control, TPoint P) const {
    for (const TControl* c = Control; c && c != this; c = c->Parent()) {
        P.X -= c->Left();
        P.Y -= c->Top();
    }
    return P;
}

void TForm::UpdateHover(TPoint P) {
    TControl* now = ClientRect().Contains(P) ? ControlAtPos(P, true) : nullptr;
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
    if (gApplication)
        gApplication->CancelHint();
    if (!FHoverControl)
        return;
    TControl* old = FHoverControl;
    FHoverControl = nullptr;
    old->FMouseInControl = false;
    old->MouseLeave();
}

void TForm::HandleMouseDown(TMouseButton Button, TShiftState Shift, TPoint P, bool DoubleClick) {
    if (InterceptPress()) {
        FClickControl = nullptr;
        FContextPress = false;
        return;
    }
    MouseUsed(P, true);
    UpdateHover(P);
    TControl* target = MouseTarget(P);
    TPoint cp = ToControl(target, P);
    if (Button == TMouseButton::mbLeft) {
        if (target->ControlStyle & kCsCaptureMouse)
            SetCaptureControl(target);
        if (DoubleClick && (target->ControlStyle & kCsDoubleClicks)) {
            // The second press of a double click arms no click: its release must not click again.
            FClickControl = nullptr;
            target->DblClick();
            target->MouseDown(Button, Shift | kSsDouble, cp.X, cp.Y);
            return;
        }
        FClickControl = (target->ControlStyle & kCsClickEvents) ? target : nullptr;
    }
    if (Button == TMouseButton::mbRight)
        FContextPress = true;
    if (target->TabStop && target->Enabled() && target != this)
        SetActiveControl(target);
    target->MouseDown(Button, Shift, cp.X, cp.Y);
}

void TForm::HandleMouseUp(TMouseButton Button, TShiftState Shift, TPoint P) {
    TControl* target = MouseTarget(P);
    TPoint cp = ToControl(target, P);
    if (Button == TMouseButton::mbLeft) {
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
        target->MouseUp(Button, Shift, cp.X, cp.Y);
    UpdateHover(P);
    if (Button == TMouseButton::mbRight && FContextPress) {
        FContextPress = false;
        // A right release while the left button drags something is part of that drag.
        if (known && !(Shift & kSsLeft))
            ContextPopup(target, P);
    }
}

void TForm::ContextPopup(TControl* Target, TPoint P) {
    for (TControl* c = Target; c; c = c->Parent()) {
        if (c->PopupMenu) {
            TPoint screen = ClientToScreen(P);
            c->PopupMenu->Popup(screen.X, screen.Y);
            return;
        }
    }
}

void TForm::HandleMouseMove(TShiftState Shift, TPoint P) {
    MouseUsed(P, false);
    UpdateHover(P);
    if (gApplication)
        gApplication->HintMouseMove(FHoverControl, ClientToScreen(P));
    TControl* target = MouseTarget(P);
    TPoint cp = ToControl(target, P);
    target->MouseMove(Shift, cp.X, cp.Y);
}

// ---- Keyboard ---------------------------------------------------------------------------------

void TForm::HandleKeyDown(uint16_t Key, TShiftState Shift) {
    if (InterceptPress())
        return;
    if (ExecuteShortCut(Key, Shift))
        return;
    TControl* focus = FActiveControl;
    if (focus && focus->Visible() && focus->Enabled() && focus->WantsKey(Key)) {
        focus->KeyDown(Key, Shift);
        if (Key == 0)
            return;
    }
    // The form's own keys (a game board's arrows) before the dialog keys.
    KeyDown(Key, Shift);
    if (Key == 0)
        return;
    HandleDialogKey(Key, Shift);
}

bool TForm::ExecuteShortCut(uint16_t Key, TShiftState Shift) {
    TShortCut wanted = ShortCut(Key, Shift);
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

TButton* TForm::FindButton(bool WantDefault) const {
    for (TControl* c : FControls) {
        auto* b = dynamic_cast<TButton*>(c);
        if (b && b->Visible() && b->Enabled() && (WantDefault ? b->Default : b->Cancel))
            return b;
    }
    return nullptr;
}

bool TForm::HandleDialogKey(uint16_t Key, TShiftState Shift) {
    switch (Key) {
    case vk::kReturn: {
        // The focused push button takes Enter; otherwise the default button does.
        auto* focused = dynamic_cast<TButton*>(FActiveControl);
        TButton* b = focused && focused->Enabled() ? focused : FindButton(true);
        if (b)
            b->Click();
        return b != nullptr;
    }
    case vk::kEscape: {
        TButton* b = FindButton(false);
        if (b)
            b->Click();
        return b != nullptr;
    }
    case vk::kTab:
        SelectNextControl(!(Shift & kSsShift));
        return true;
    default:
        return false;
    }
}

void TForm::SelectNextControl(bool Forward) {
    std::vector<TControl*> stops;
    for (TControl* c : FControls)
        if (c->TabStop && c->Visible() && c->Enabled())
            stops.push_back(c);
    if (stops.empty())
        return;
    std::stable_sort(stops.begin(), stops.end(),
                     [](TControl* A, TControl* B) { return A->TabOrder < B->TabOrder; });
    auto it = std::find(stops.begin(), stops.end(), FActiveControl);
    size_t index;
    if (it == stops.end())
        index = Forward ? 0 : stops.size() - 1;
    else {
        size_t here = static_cast<size_t>(it - stops.begin());
        index = Forward ? (here + 1) % stops.size() : (here + stops.size() - 1) % stops.size();
    }
    SetActiveControl(stops[index]);
}

} // namespace zorbalin
