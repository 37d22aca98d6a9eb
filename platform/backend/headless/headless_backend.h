// The headless backend: the program's windows on a virtual screen in memory, with no display.
// Input is injected at screen coordinates and reaches the windows as a window system would
// deliver it (the window under the pointer, or the one holding the implicit grab while a button
// is down; keys go to the active window). Time is a virtual clock that only moves when told.
// Message boxes are recorded and, unless switched off, answered with Enter.
//
//   THeadlessBackend screen;
//   TApplication app(screen);
//   ... create and show forms ...
//   screen.Click(100, 120);        // press and release at a screen point
//   app.ProcessMessages();         // handle the input, then the ordinary repaint
//   screen.ScreenPixel(100, 120);  // what the screen shows there
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/backend_interface.h"

namespace zorbalin {

class THeadlessBackend;

// Thrown when a loop waits for input that no script will ever give (not a std::exception, so
// the application's error handler lets it through to the test).
struct EHeadlessStall {
    std::string Reason;
};

class THeadlessWindow : public TBackendWindow {
  public:
    THeadlessWindow(THeadlessBackend& Backend, const TWindowRequest& Request);
    ~THeadlessWindow() override;

    void SetPosition(int Left, int Top) override;
    TPoint Position() const override { return {FLeft, FTop}; }
    void SetClientSize(int Width, int Height) override;
    TFrameExtents Frame() const override;
    void SetCaption(const std::string& Caption) override { FCaption = Caption; }
    void SetVisible(bool Visible) override;
    void Present(const TRect& R, const TPixelView& Surface) override;
    void SetColourKey(bool Enabled, uint32_t Key) override;
    void SetIcon(const std::vector<uint32_t>& Argb, int Width, int Height) override;
    void SetModalFor(TBackendWindow* Owner) override { FModalFor = Owner; }
    void Activate() override;

    const std::string& Caption() const { return FCaption; }
    bool Visible() const { return FVisible; }
    bool Framed() const { return FRequest.Framed; }
    bool TaskbarEntry() const { return FRequest.TaskbarEntry; }
    TWindowKind Kind() const { return FRequest.Kind; }
    TBackendWindow* Owner() const { return FRequest.Owner; }
    // The client size in logical pixels, as the form gave it.
    int ClientWidth() const { return FWidth; }
    int ClientHeight() const { return FHeight; }
    // Screen pixels per logical pixel, and the client area's size on the screen.
    int Scale() const { return FScale; }
    int PixelWidth() const { return FWidth * FScale; }
    int PixelHeight() const { return FHeight * FScale; }
    TRect OuterRect() const;
    TRect ClientScreenRect() const;
    bool ColourKeyEnabled() const { return FKeyEnabled; }
    uint32_t ColourKey() const { return FKey; }
    int IconWidth() const { return FIconWidth; }
    TBackendWindow* ModalFor() const { return FModalFor; }
    // What the window shows at a pixel of its client area on the screen (0x00RRGGBB): the
    // pixels presented so far, enlarged by the scale.
    uint32_t Pixel(int X, int Y) const {
        return FPixels[static_cast<size_t>(Y) * PixelWidth() + X];
    }
    // Whether the pointer at this pixel of the client area reaches the window (the colour key
    // lets through).
    bool TakesMouseAt(int X, int Y) const;
    // Every rectangle presented (logical pixels), in order.
    const std::vector<TRect>& Presented() const { return FPresented; }
    void ClearPresented() { FPresented.clear(); }

  private:
    THeadlessBackend& FBackend;
    TWindowRequest FRequest;
    std::string FCaption;
    int FLeft, FTop, FWidth, FHeight;
    int FScale;
    bool FVisible = false;
    bool FKeyEnabled = false;
    uint32_t FKey = 0;
    int FIconWidth = 0;
    TBackendWindow* FModalFor = nullptr;
    std::vector<uint32_t> FPixels;
    std::vector<TRect> FPresented;
};

class THeadlessBackend : public TBackend {
  public:
    explicit THeadlessBackend(int ScreenWidth = 1280, int ScreenHeight = 1024);
    ~THeadlessBackend() override;

    // ---- TBackend ----
    std::unique_ptr<TBackendWindow> CreateWindow(const TWindowRequest& Request) override;
    bool PollEvent(TBackendEvent& Event) override;
    void WaitEvent(TBackendEvent& Event) override;
    // With nothing queued (after OnIdle), the virtual clock moves on by the time waited.
    bool WaitEventTimeout(TBackendEvent& Event, uint32_t Milliseconds) override;
    TPoint CursorPos() const override { return FCursor; }
    void SetCapture(TBackendWindow* Window) override { FCapture = Window; }
    void ReleaseCapture() override { FCapture = nullptr; }
    void MinimizeApp() override { FMinimized = true; }
    void RestoreApp() override { FMinimized = false; }
    uint32_t Ticks() const override { return FClock; }
    TRect ScreenRect() const override { return {0, 0, FScreenWidth, FScreenHeight}; }
    std::vector<TRect> Monitors() const override;
    // Monitors other than the one screen, the primary first (none: back to the screen).
    void SetMonitors(std::vector<TRect> Monitors) { FMonitors = std::move(Monitors); }
    TFrameExtents DialogFrame() const override { return {3, 22, 3, 3}; }
    void SetAppTitle(const std::string& Title) override { FAppTitle = Title; }
    int DesktopScale() const override { return DesktopScaleFactor; }
    bool DesktopAnimations() const override { return DesktopAnimationsOn; }
    void MessageBoxShown(const TMessageBoxInfo& Info) override;

    // ---- Injected input, at screen coordinates ----
    void MouseDown(int X, int Y, TMouseButton Button = TMouseButton::mbLeft);
    void MouseUp(int X, int Y, TMouseButton Button = TMouseButton::mbLeft);
    void MouseMove(int X, int Y);
    // Press and release at one point.
    void Click(int X, int Y, TMouseButton Button = TMouseButton::mbLeft);
    // A key for the active window (dropped when no window is active).
    void KeyDown(uint16_t Key, TShiftState Shift = 0);
    // The window system's close request (close box, task bar).
    void RequestClose(TBackendWindow* Window);
    // The session ends, or the program is told to end by a signal.
    void EndSession();
    // The user minimises or restores the program through its task bar entry.
    void MinimizeFromTaskbar();
    void RestoreFromTaskbar();
    void AdvanceTime(uint32_t Ms) { FClock += Ms; }
    // The user turns to another program: the active window loses the keyboard focus.
    void FocusOtherProgram();

    // ---- What the screen shows ----
    const std::string& AppTitle() const { return FAppTitle; }
    bool AppMinimized() const { return FMinimized; }
    THeadlessWindow* ActiveWindow() const { return FActive; }
    // Windows from the back to the front.
    const std::vector<THeadlessWindow*>& Windows() const { return FWindows; }
    // The front-most shown window whose outer box holds the point, or null.
    THeadlessWindow* WindowAt(int X, int Y) const;
    // The screen's pixel: a window's client pixel, a grey frame, or the black desktop.
    uint32_t ScreenPixel(int X, int Y) const;
    std::vector<TMessageBoxInfo>& MessageBoxes() { return FMessageBoxes; }
    size_t QueuedEvents() const { return FQueue.size(); }

    // The scale the virtual desktop asks for.
    int DesktopScaleFactor = 1;
    // Whether the virtual desktop allows animations.
    bool DesktopAnimationsOn = true;
    // Answer message boxes with Enter as soon as they show (on by default).
    bool AutoAnswerMessageBoxes = true;
    // Called when a loop waits and nothing is queued; it may inject input. When the queue is
    // still empty afterwards, WaitEvent throws EHeadlessStall.
    std::function<void()> OnIdle;

    // ---- Used by the windows ----
    void WindowShown(THeadlessWindow* Window);
    void WindowHidden(THeadlessWindow* Window);
    void WindowDestroyed(THeadlessWindow* Window);
    void ActivateWindow(THeadlessWindow* Window);

  private:
    void Push(TBackendEvent E);
    void PushMouse(TEventKind Kind, int X, int Y, TMouseButton Button);
    THeadlessWindow* MouseWindowAt(int X, int Y) const;
    TShiftState HeldButtons() const;
    void Raise(THeadlessWindow* Window);
    bool Shown(const THeadlessWindow* Window) const;

    int FScreenWidth, FScreenHeight;
    std::deque<TBackendEvent> FQueue;
    std::vector<THeadlessWindow*> FWindows;
    THeadlessWindow* FActive = nullptr;
    THeadlessWindow* FGrab = nullptr;      // holds the mouse while a button is down
    THeadlessWindow* FPointerIn = nullptr; // the window the pointer was last over
    TBackendWindow* FCapture = nullptr;
    TPoint FCursor;
    unsigned FButtons = 0;
    uint32_t FClock = 1000;
    bool FMinimized = false;
    std::string FAppTitle;
    std::vector<TMessageBoxInfo> FMessageBoxes;
    std::vector<TRect> FMonitors;
};

} // namespace zorbalin
