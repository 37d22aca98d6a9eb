// The application object: the message loop, modal loops, the active form, minimising and
// restoring the whole program, and the error handler that shows an exception leaving an event
// handler in the error box and goes on with the next event.
//
// A program (or a test) makes one TApplication on a backend and uses it through the global
// `Application` while it lives:
//
//   THeadlessBackend backend;          // or TSdlBackend
//   TApplication app(backend);
//   app.SetTitle("ZorbaLin");
//   app.CreateForm(frm_Main);          // the first form created is the main form
//   app.Run();                         // shows the main form; returns when it has closed
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/backend_interface.h"
#include "toolkit/component.h"
#include "toolkit/form.h"
#include "toolkit/hint_window.h"
#include "toolkit/ticker.h"

namespace zorbalin {

// Flags and answers of message boxes.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_OKCANCEL = 0x01;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Two presses of a button are one double click when the second comes within this many
// milliseconds and within this box (pixels, centred on the first press).
constexpr uint32_t kDoubleClickTime = 500;
constexpr int kDoubleClickWidth = 4;
constexpr int kDoubleClickHeight = 4;

class TApplication : public TComponent {
  public:
    explicit TApplication(TBackend& Backend);
    ~TApplication() override;

    TBackend& Backend() const { return FBackend; }
    const std::string& Title() const { return FTitle; }
    // The title of the task bar entry and of the error box.
    void SetTitle(const std::string& Title);
    // The program icon of every window: 0xAARRGGBB pixels, top-down.
    void SetIcon(std::vector<uint32_t> Argb, int Width, int Height);

    // Screen pixels per logical pixel of every window (1..4; see toolkit/screen_scale.h). Set it
    // before the first form is created: forms take it for their outer size.
    int Scale() const { return FScale; }
    void SetScale(int Scale);

    TForm* MainForm() const { return FMainForm; }
    // Creates a form owned by the application (OnCreate included); the first becomes MainForm.
    template <class F> void CreateForm(F*& Reference) {
        F* form = new F(this);
        Reference = form;
        if (!FMainForm)
            FMainForm = form;
        form->DoCreate();
    }

    // Shows the main form and handles events until it has closed (or Terminate was called).
    void Run();
    // Handles every queued event, then does the idle work (ordinary repaints, released forms).
    void ProcessMessages();
    // Handles one event, waiting for it when none is queued (idle work first).
    void HandleMessage();
    // A pause within an event handler (a blink, a motion) that the player can cut short: waits
    // up to this many milliseconds, handling meanwhile what needs no answer (repaints, pointer
    // motion). True at once when a key or a mouse button is pressed or the program is asked to
    // close: that event stays queued, and the loop handles it once the handler has returned.
    bool WaitForPlayer(uint32_t Milliseconds);
    void Terminate() { FTerminated = true; }
    // The session ends (the event Quit: the desktop logs out, or the program was told to end by
    // a signal): the main form's OnClose runs once without any box, and the program ends.
    void EndSession();
    bool Terminated() const { return FTerminated; }

    void Minimize();
    void Restore();
    bool Minimized() const { return FMinimized; }

    TForm* ActiveForm() const { return FActiveForm; }
    TForm* ModalForm() const { return FModalStack.empty() ? nullptr : FModalStack.back(); }
    TPoint CursorPos() const { return FBackend.CursorPos(); }

    // Shows the exception's text in the error box (see ErrorBoxText), with the title as caption.
    void ShowException(const std::exception& E);
    // Writes the error's text (as the error box would show it) to the standard error, for
    // failures that no one is there to see in a box.
    void LogError(const std::string& Message);
    // A modal box of our own with a text, an icon and OK (and Cancel); returns IDOK or IDCANCEL.
    int MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags);

    // Tickers run while the program is idle (see toolkit/ticker.h); the caller keeps each alive
    // until it removes it.
    void AddTicker(TTicker* Ticker);
    void RemoveTicker(TTicker* Ticker);

    // Tooltips (see toolkit/hint_window.h).
    const THintController& Hints() const { return FHints; }

    // ---- Used by forms ----
    void HintMouseMove(TControl* Control, TPoint Screen) { FHints.MouseMoved(Control, Screen); }
    void CancelHint() { FHints.Cancel(false); }
    void HintControlGone(const TComponent* Control) { FHints.ControlGone(Control); }
    void FormWindowCreated(TForm* Form);
    void FormDestroying(TForm* Form);
    void SetActiveForm(TForm* Form);
    void BeginModal(TForm* Form);
    void EndModal(TForm* Form);
    void ReleaseForm(TForm* Form);
    const std::vector<uint32_t>& IconPixels() const { return FIcon; }
    int IconWidth() const { return FIconWidth; }
    int IconHeight() const { return FIconHeight; }
    const std::vector<TForm*>& Forms() const { return FForms; }

  private:
    void Idle();
    void RunTickers();
    // The milliseconds the loop may wait for input before idle work is due again; -1: no limit.
    int IdlePause();
    // The next event: one a pause held back, else the backend's next queued one.
    bool NextQueued(TBackendEvent& Event);
    void Dispatch(const TBackendEvent& E);
    void DispatchInput(TForm* Form, const TBackendEvent& E);
    // Input for a window behind a modal one: a popup takes it as meant for itself.
    void HandleBlockedInput(const TBackendEvent& E);
    bool IsDoubleClick(const TBackendEvent& E);
    bool Blocked(TForm* Form) const;
    TForm* FormOf(const TBackendWindow* Window) const;
    void FreeReleasedForms();

    TBackend& FBackend;
    std::string FTitle;
    std::vector<uint32_t> FIcon;
    int FIconWidth = 0, FIconHeight = 0;
    TForm* FMainForm = nullptr;
    TForm* FActiveForm = nullptr;
    std::vector<TForm*> FForms; // forms with a window
    std::vector<TForm*> FModalStack;
    std::vector<TForm*> FReleased;
    int FScale = 1;
    THintController FHints{*this};
    std::vector<TTicker*> FTickers;
    int FTickerPause = -1; // what the tickers asked for at their last run
    bool FTerminated = false;
    bool FMinimized = false;
    bool FPopupFocusLost = false; // a popup lost the focus, and nothing of ours has it yet
    // The last press, for double clicks.
    const TBackendWindow* FLastPressWindow = nullptr;
    TMouseButton FLastPressButton = TMouseButton::mbLeft;
    uint32_t FLastPressTime = 0;
    TPoint FLastPressPos;
    // Input that ended a WaitForPlayer, for the loop.
    std::optional<TBackendEvent> FHeldEvent;
    bool FLastPressValid = false;
};

// The application of this process; null when none exists.
extern TApplication* gApplication;

// The mouse cursor in screen coordinates.
TPoint GetCursorPos();

// The error box's text for an error message: a full stop is added unless it already ends with one.
std::string ErrorBoxText(const std::string& Message);

} // namespace zorbalin
