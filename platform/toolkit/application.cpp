#include "toolkit/application.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "toolkit/message_box.h"
#include "toolkit/screen_scale.h"

namespace zorbalin {

TApplication* Application = nullptr;

TPoint GetCursorPos() {
    return Application ? Application->CursorPos() : TPoint{};
}

std::string ErrorBoxText(const std::string& message) {
    if (message.empty() || message.back() == '.')
        return message;
    return message + ".";
}

TApplication::TApplication(TBackend& backend) : TComponent(nullptr), FBackend(backend) {
    Application = this;
}

TApplication::~TApplication() {
    // Forms go while the application can still take their goodbyes.
    FReleased.clear();
    DestroyComponents();
    if (Application == this)
        Application = nullptr;
}

void TApplication::SetTitle(const std::string& title) {
    FTitle = title;
    FBackend.SetAppTitle(title);
}

void TApplication::SetScale(int scale) {
    FScale = std::clamp(scale, 1, kMaxScale);
}

void TApplication::SetIcon(std::vector<uint32_t> argb, int width, int height) {
    FIcon = std::move(argb);
    FIconWidth = width;
    FIconHeight = height;
    for (TForm* f : FForms)
        if (f->Window())
            f->Window()->SetIcon(FIcon, width, height);
}

// ---- Forms ------------------------------------------------------------------------------------

void TApplication::FormWindowCreated(TForm* form) {
    if (std::find(FForms.begin(), FForms.end(), form) == FForms.end())
        FForms.push_back(form);
}

void TApplication::FormDestroying(TForm* form) {
    FHints.FormGone(form);
    FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end());
    FModalStack.erase(std::remove(FModalStack.begin(), FModalStack.end(), form), FModalStack.end());
    FReleased.erase(std::remove(FReleased.begin(), FReleased.end(), form), FReleased.end());
    if (FActiveForm == form)
        FActiveForm = nullptr;
    if (FMainForm == form) {
        FMainForm = nullptr;
        FTerminated = true;
    }
    if (form->Window() == FLastPressWindow)
        FLastPressValid = false;
}

TForm* TApplication::FormOf(const TBackendWindow* window) const {
    for (TForm* f : FForms)
        if (f->Window() == window)
            return f;
    return nullptr;
}

void TApplication::SetActiveForm(TForm* form) {
    if (form == FActiveForm)
        return;
    TForm* old = FActiveForm;
    FActiveForm = form;
    if (old)
        old->HandleActivated(false);
    if (form)
        form->HandleActivated(true);
}

void TApplication::BeginModal(TForm* form) {
    // A press that began on another form must not end as a click or a drag behind the dialog.
    for (TForm* f : FForms)
        f->SetCaptureControl(nullptr);
    FModalStack.push_back(form);
}

void TApplication::EndModal(TForm* form) {
    FModalStack.erase(std::remove(FModalStack.begin(), FModalStack.end(), form), FModalStack.end());
}

void TApplication::ReleaseForm(TForm* form) {
    if (std::find(FReleased.begin(), FReleased.end(), form) == FReleased.end())
        FReleased.push_back(form);
}

void TApplication::FreeReleasedForms() {
    // A form still running its modal loop stays listed and goes once that loop has ended.
    std::vector<TForm*> ready;
    for (TForm* form : FReleased)
        if (!form->Modal())
            ready.push_back(form);
    for (TForm* form : ready)
        delete form; // each takes itself out of FReleased
}

bool TApplication::Blocked(TForm* form) const {
    TForm* modal = ModalForm();
    return modal && modal != form;
}

// ---- Minimising -------------------------------------------------------------------------------

void TApplication::Minimize() {
    if (FMinimized)
        return;
    FMinimized = true;
    FBackend.MinimizeApp();
}

void TApplication::Restore() {
    if (!FMinimized)
        return;
    FMinimized = false;
    FBackend.RestoreApp();
    TForm* front = ModalForm() ? ModalForm() : FMainForm;
    if (front && front->Visible() && front->Window()) {
        front->Window()->Activate();
        SetActiveForm(front);
    }
}

// ---- Message loop -----------------------------------------------------------------------------

void TApplication::Run() {
    if (FMainForm && !FMainForm->Visible() && !FTerminated) {
        try {
            FMainForm->Show();
        } catch (const std::exception& e) {
            ShowException(e);
        }
    }
    while (!FTerminated)
        HandleMessage();
}

void TApplication::ProcessMessages() {
    TBackendEvent e;
    while (FBackend.PollEvent(e))
        Dispatch(e);
    Idle();
}

void TApplication::HandleMessage() {
    TBackendEvent e;
    if (!FBackend.PollEvent(e)) {
        Idle();
        if (FTerminated || (ModalForm() && ModalForm()->ModalResult() != mrNone))
            return;
        // Idle work may have ended a modal run (a released form): let the caller look first.
        if (FBackend.PollEvent(e)) {
            Dispatch(e);
            return;
        }
        // A tooltip's pause is running: wait no longer than it lasts, then show the tooltip.
        const int pause = FHints.Tick();
        if (pause > 0) {
            if (!FBackend.WaitEventTimeout(e, static_cast<uint32_t>(pause)))
                return;
        } else {
            FBackend.WaitEvent(e);
        }
    }
    Dispatch(e);
}

void TApplication::Idle() {
    // The focus left a popup and no window of the program took it: the player turned to
    // another program, which ends the popup. (A press on one of our windows ends it too, but
    // that press must not reach the window: HandleBlockedInput takes it.)
    if (FPopupFocusLost) {
        FPopupFocusLost = false;
        if (ModalForm() && ModalForm()->PopupWindow)
            ModalForm()->SetModalResult(mrCancel);
    }
    FreeReleasedForms();
    FHints.Tick();
    // The ordinary repaint: every invalidated part of every shown form.
    for (size_t i = 0; i < FForms.size(); ++i) {
        TForm* f = FForms[i];
        if (!f->Visible() || !f->NeedsPaint())
            continue;
        try {
            f->UpdateNow();
        } catch (const std::exception& e) {
            ShowException(e);
        }
    }
}

bool TApplication::IsDoubleClick(const TBackendEvent& e) {
    bool isDouble = FLastPressValid && e.Window == FLastPressWindow &&
                    e.Button == FLastPressButton && e.Time - FLastPressTime <= kDoubleClickTime &&
                    std::abs(e.X - FLastPressPos.X) <= kDoubleClickWidth / 2 &&
                    std::abs(e.Y - FLastPressPos.Y) <= kDoubleClickHeight / 2;
    // After a double click the next press starts afresh; otherwise this press is the new first.
    FLastPressValid = !isDouble;
    FLastPressWindow = e.Window;
    FLastPressButton = e.Button;
    FLastPressTime = e.Time;
    FLastPressPos = {e.X, e.Y};
    return isDouble;
}

void TApplication::Dispatch(const TBackendEvent& e) {
    if (e.Kind == TEventKind::Quit) {
        EndSession();
        return;
    }
    if (e.Kind == TEventKind::Minimized) {
        if (!FMinimized)
            Minimize();
        return;
    }
    if (e.Kind == TEventKind::Restored) {
        if (FMinimized)
            Restore();
        return;
    }
    TForm* form = FormOf(e.Window);
    if (!form)
        return;
    DispatchInput(form, e);
}

void TApplication::DispatchInput(TForm* form, const TBackendEvent& e) {
    // Any press or key puts the tooltip away, also one that a modal window keeps from its target.
    if (e.Kind == TEventKind::MouseDown || e.Kind == TEventKind::KeyDown)
        FHints.Cancel(true);
    else if (e.Kind == TEventKind::Deactivated)
        FHints.Cancel(false);
    try {
        switch (e.Kind) {
        case TEventKind::Expose:
            form->HandleExpose(e.Area);
            return;
        case TEventKind::Moved:
            form->HandleMoved(e.X, e.Y);
            return;
        case TEventKind::MouseLeave:
            form->HandleMouseLeave();
            return;
        case TEventKind::Deactivated:
            if (FActiveForm == form)
                SetActiveForm(nullptr);
            if (form->PopupWindow && form == ModalForm())
                FPopupFocusLost = true;
            return;
        case TEventKind::Activated:
            // A tooltip is never the window that takes the keys.
            if (form->WindowKind == TWindowKind::Tooltip)
                return;
            FPopupFocusLost = false;
            if (Blocked(form)) {
                // Input belongs to the dialog: give it the focus back.
                if (ModalForm()->Window())
                    ModalForm()->Window()->Activate();
                SetActiveForm(ModalForm());
            } else {
                SetActiveForm(form);
            }
            return;
        default:
            break;
        }
        if (Blocked(form)) {
            HandleBlockedInput(e);
            return;
        }
        switch (e.Kind) {
        case TEventKind::MouseDown: {
            bool isDouble = IsDoubleClick(e);
            form->HandleMouseDown(e.Button, e.Shift, {e.X, e.Y}, isDouble);
            break;
        }
        case TEventKind::MouseUp:
            form->HandleMouseUp(e.Button, e.Shift, {e.X, e.Y});
            break;
        case TEventKind::MouseMove:
            form->HandleMouseMove(e.Shift, {e.X, e.Y});
            break;
        case TEventKind::KeyDown:
            form->HandleKeyDown(e.Key, e.Shift);
            break;
        case TEventKind::CloseRequest:
            form->Close();
            break;
        default:
            break;
        }
    } catch (const std::exception& ex) {
        ShowException(ex);
    }
}

void TApplication::HandleBlockedInput(const TBackendEvent& e) {
    TForm* modal = ModalForm();
    if (!modal->PopupWindow)
        return;
    if (e.Kind == TEventKind::MouseDown)
        modal->SetModalResult(mrCancel);
    else if (e.Kind == TEventKind::KeyDown)
        modal->HandleKeyDown(e.Key, e.Shift);
}

void TApplication::EndSession() {
    // Nobody is there to answer a box: the main form's close handler runs once (so that its
    // settings get written), a failure is only logged, and every loop ends, modal ones too.
    if (FMainForm) {
        try {
            FMainForm->DoCloseAtSessionEnd();
        } catch (const std::exception& e) {
            LogError(e.what());
        }
    }
    Terminate();
}

// ---- Errors -----------------------------------------------------------------------------------

void TApplication::LogError(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, ErrorBoxText(message).c_str());
}

void TApplication::ShowException(const std::exception& e) {
    MessageBox(ErrorBoxText(e.what()), FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return RunMessageBox(text, caption, flags);
}

} // namespace zorbalin
