#include "toolkit/application.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "toolkit/message_box.h"
#include "toolkit/screen_scale.h"

namespace zorbalin {

TApplication* gApplication = nullptr;

TPoint GetCursorPos() {
    return gApplication ? gApplication->CursorPos() : TPoint{};
}

std::string ErrorBoxText(const std::string& Message) {
    if (Message.empty() || Message.back() == '.')
        return Message;
    return Message + ".";
}

TApplication::TApplication(TBackend& Backend) : TComponent(nullptr), FBackend(Backend) {
    gApplication = this;
}

TApplication::~TApplication() {
    // Forms go while the application can still take their goodbyes.
    FReleased.clear();
    DestroyComponents();
    if (gApplication == this)
        gApplication = nullptr;
}

void TApplication::SetTitle(const std::string& Title) {
    FTitle = Title;
    FBackend.SetAppTitle(Title);
}

void TApplication::SetScale(int Scale) {
    FScale = std::clamp(Scale, 1, kMaxScale);
}

void TApplication::SetIcon(std::vector<uint32_t> Argb, int Width, int Height) {
    FIcon = std::move(Argb);
    FIconWidth = Width;
    FIconHeight = Height;
    for (TForm* f : FForms)
        if (f->Window())
            f->Window()->SetIcon(FIcon, Width, Height);
}

// ---- Forms ------------------------------------------------------------------------------------

void TApplication::FormWindowCreated(TForm* Form) {
    if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end())
        FForms.push_back(Form);
}

void TApplication::FormDestroying(TForm* Form) {
    FHints.FormGone(Form);
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    FModalStack.erase(std::remove(FModalStack.begin(), FModalStack.end(), Form), FModalStack.end());
    FReleased.erase(std::remove(FReleased.begin(), FReleased.end(), Form), FReleased.end());
    if (FActiveForm == Form)
        FActiveForm = nullptr;
    if (FMainForm == Form) {
        FMainForm = nullptr;
        FTerminated = true;
    }
    if (Form->Window() == FLastPressWindow)
        FLastPressValid = false;
}

TForm* TApplication::FormOf(const TBackendWindow* Window) const {
    for (TForm* f : FForms)
        if (f->Window() == Window)
            return f;
    return nullptr;
}

void TApplication::SetActiveForm(TForm* Form) {
    if (Form == FActiveForm)
        return;
    TForm* old = FActiveForm;
    FActiveForm = Form;
    if (old)
        old->HandleActivated(false);
    if (Form)
        Form->HandleActivated(true);
}

void TApplication::BeginModal(TForm* Form) {
    // A press that began on another form must not end as a click or a drag behind the dialog.
    for (TForm* f : FForms)
        f->SetCaptureControl(nullptr);
    FModalStack.push_back(Form);
}

void TApplication::EndModal(TForm* Form) {
    FModalStack.erase(std::remove(FModalStack.begin(), FModalStack.end(), Form), FModalStack.end());
}

void TApplication::ReleaseForm(TForm* Form) {
    if (std::find(FReleased.begin(), FReleased.end(), Form) == FReleased.end())
        FReleased.push_back(Form);
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

bool TApplication::Blocked(TForm* Form) const {
    TForm* modal = ModalForm();
    return modal && modal != Form;
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

bool TApplication::NextQueued(TBackendEvent& Event) {
    if (FHeldEvent) {
        Event = *FHeldEvent;
        FHeldEvent.reset();
        return true;
    }
    return FBackend.PollEvent(Event);
}

bool TApplication::WaitForPlayer(uint32_t Milliseconds) {
    const uint32_t start = FBackend.Ticks();
    for (;;) {
        if (FHeldEvent || FTerminated)
            return true;
        const uint32_t spent = FBackend.Ticks() - start;
        if (spent >= Milliseconds)
            return false;
        TBackendEvent e;
        if (!FBackend.WaitEventTimeout(e, Milliseconds - spent))
            continue;
        switch (e.Kind) {
        case TEventKind::KeyDown:
        case TEventKind::MouseDown:
        case TEventKind::CloseRequest:
        case TEventKind::Quit:
            FHeldEvent = e;
            return true;
        default:
            Dispatch(e);
        }
    }
}

void TApplication::ProcessMessages() {
    TBackendEvent e;
    while (NextQueued(e))
        Dispatch(e);
    Idle();
}

void TApplication::HandleMessage() {
    TBackendEvent e;
    if (!NextQueued(e)) {
        Idle();
        if (FTerminated || (ModalForm() && ModalForm()->ModalResult() != kMrNone))
            return;
        // Idle work may have ended a modal run (a released form): let the caller look first.
        if (NextQueued(e)) {
            Dispatch(e);
            return;
        }
        // A tooltip's pause or an animation is running: wait no longer than it asks, then idle
        // again to show the tooltip or the next frame.
        const int pause = IdlePause();
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
            ModalForm()->SetModalResult(kMrCancel);
    }
    FreeReleasedForms();
    FHints.Tick();
    RunTickers();
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

void TApplication::AddTicker(TTicker* Ticker) {
    if (std::find(FTickers.begin(), FTickers.end(), Ticker) == FTickers.end())
        FTickers.push_back(Ticker);
}

void TApplication::RemoveTicker(TTicker* Ticker) {
    FTickers.erase(std::remove(FTickers.begin(), FTickers.end(), Ticker), FTickers.end());
}

void TApplication::RunTickers() {
    FTickerPause = -1;
    // A tick may open a modal window (whose loop runs the tickers again) or remove tickers: go
    // through a copy, and skip the ones that went meanwhile.
    const std::vector<TTicker*> tickers = FTickers;
    for (TTicker* ticker : tickers) {
        if (std::find(FTickers.begin(), FTickers.end(), ticker) == FTickers.end())
            continue;
        int pause = -1;
        try {
            pause = ticker->Tick(FBackend.Ticks());
        } catch (const std::exception& e) {
            ShowException(e);
        }
        if (pause >= 0)
            FTickerPause =
                FTickerPause < 0 ? std::max(pause, 1) : std::min(FTickerPause, std::max(pause, 1));
    }
}

int TApplication::IdlePause() {
    const int hint = FHints.Tick();
    if (hint <= 0 || FTickerPause <= 0)
        return hint > 0 ? hint : FTickerPause;
    return std::min(hint, FTickerPause);
}

bool TApplication::IsDoubleClick(const TBackendEvent& E) {
    bool isDouble = FLastPressValid && E.Window == FLastPressWindow &&
                    E.Button == FLastPressButton && E.Time - FLastPressTime <= kDoubleClickTime &&
                    std::abs(E.X - FLastPressPos.X) <= kDoubleClickWidth / 2 &&
                    std::abs(E.Y - FLastPressPos.Y) <= kDoubleClickHeight / 2;
    // After a double click the next press starts afresh; otherwise this press is the new first.
    FLastPressValid = !isDouble;
    FLastPressWindow = E.Window;
    FLastPressButton = E.Button;
    FLastPressTime = E.Time;
    FLastPressPos = {E.X, E.Y};
    return isDouble;
}

void TApplication::Dispatch(const TBackendEvent& E) {
    if (E.Kind == TEventKind::Quit) {
        EndSession();
        return;
    }
    if (E.Kind == TEventKind::Minimized) {
        if (!FMinimized)
            Minimize();
        return;
    }
    if (E.Kind == TEventKind::Restored) {
        if (FMinimized)
            Restore();
        return;
    }
    TForm* form = FormOf(E.Window);
    if (!form)
        return;
    DispatchInput(form, E);
}

void TApplication::DispatchInput(TForm* Form, const TBackendEvent& E) {
    // Any press or key puts the tooltip away, also one that a modal window keeps from its target.
    if (E.Kind == TEventKind::MouseDown || E.Kind == TEventKind::KeyDown)
        FHints.Cancel(true);
    else if (E.Kind == TEventKind::Deactivated)
        FHints.Cancel(false);
    try {
        switch (E.Kind) {
        case TEventKind::Expose:
            Form->HandleExpose(E.Area);
            return;
        case TEventKind::Moved:
            Form->HandleMoved(E.X, E.Y);
            return;
        case TEventKind::MouseLeave:
            Form->HandleMouseLeave();
            return;
        case TEventKind::Deactivated:
            if (FActiveForm == Form)
                SetActiveForm(nullptr);
            if (Form->PopupWindow && Form == ModalForm())
                FPopupFocusLost = true;
            return;
        case TEventKind::Activated:
            // A tooltip is never the window that takes the keys.
            if (Form->WindowKind == TWindowKind::Tooltip)
                return;
            FPopupFocusLost = false;
            if (Blocked(Form)) {
                // Input belongs to the dialog: give it the focus back.
                if (ModalForm()->Window())
                    ModalForm()->Window()->Activate();
                SetActiveForm(ModalForm());
            } else {
                SetActiveForm(Form);
            }
            return;
        default:
            break;
        }
        if (Blocked(Form)) {
            HandleBlockedInput(E);
            return;
        }
        switch (E.Kind) {
        case TEventKind::MouseDown: {
            bool isDouble = IsDoubleClick(E);
            Form->HandleMouseDown(E.Button, E.Shift, {E.X, E.Y}, isDouble);
            break;
        }
        case TEventKind::MouseUp:
            Form->HandleMouseUp(E.Button, E.Shift, {E.X, E.Y});
            break;
        case TEventKind::MouseMove:
            Form->HandleMouseMove(E.Shift, {E.X, E.Y});
            break;
        case TEventKind::KeyDown:
            Form->HandleKeyDown(E.Key, E.Shift);
            break;
        case TEventKind::CloseRequest:
            Form->Close();
            break;
        default:
            break;
        }
    } catch (const std::exception& ex) {
        ShowException(ex);
    }
}

void TApplication::HandleBlockedInput(const TBackendEvent& E) {
    TForm* modal = ModalForm();
    if (!modal->PopupWindow)
        return;
    if (E.Kind == TEventKind::MouseDown)
        modal->SetModalResult(kMrCancel);
    else if (E.Kind == TEventKind::KeyDown)
        modal->HandleKeyDown(E.Key, E.Shift);
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

void TApplication::LogError(const std::string& Message) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, ErrorBoxText(Message).c_str());
}

void TApplication::ShowException(const std::exception& E) {
    MessageBox(ErrorBoxText(E.what()), FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags) {
    return RunMessageBox(Text, Caption, Flags);
}

} // namespace zorbalin
