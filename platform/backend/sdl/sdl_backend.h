// The SDL2 backend: every form is a window of its own on the X server (SDL's X11 driver, so
// screen coordinates are root-window coordinates). Each window shows the form's retained surface
// through its SDL window surface, one presented rectangle at a time.
//
//   TSdlBackend backend("io.example.ZorbaLin");   // window class for the desktop entry
//   TApplication app(backend);
//
// What the window system cannot do here: the colour key of a form is not applied (no shaped
// windows); the program's artwork holds no key pixels, so nothing shows differently.
//
// Waiting for events: the loop waits on the X connection itself rather than in SDL_WaitEvent.
// SDL wakes a waiting SDL_WaitEvent by sending an event to one of its windows over a second X
// connection; the server may handle that request after the window was destroyed over the first
// connection (a closed dialog), and Xlib's error for it used to end the program.
//
// SIGTERM, SIGINT and SIGHUP arrive as the event Quit: the session ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/backend_interface.h"

namespace zorbalin {

class TSdlWindow;

class TSdlBackend : public TBackend {
  public:
    // Starts SDL's video subsystem on a desktop's video driver (X11 or Wayland), or on the one
    // SDL_VIDEODRIVER names, asking a display that refuses again for a second
    // (display_open.h); throws Exception "cannot open the display: <SDL's reason>" when none
    // opens.
    explicit TSdlBackend(const std::string& WindowClass = "");
    ~TSdlBackend() override;
    TSdlBackend(const TSdlBackend&) = delete;
    TSdlBackend& operator=(const TSdlBackend&) = delete;

    std::unique_ptr<TBackendWindow> CreateWindow(const TWindowRequest& Request) override;
    bool PollEvent(TBackendEvent& Event) override;
    void WaitEvent(TBackendEvent& Event) override;
    bool WaitEventTimeout(TBackendEvent& Event, uint32_t Milliseconds) override;
    TPoint CursorPos() const override;
    void SetCapture(TBackendWindow* Window) override;
    void ReleaseCapture() override;
    void MinimizeApp() override;
    void RestoreApp() override;
    uint32_t Ticks() const override;
    TRect ScreenRect() const override;
    TRect WorkArea() const override;
    std::vector<TRect> Monitors() const override;
    TFrameExtents DialogFrame() const override { return FDialogFrame; }
    void SetAppTitle(const std::string& Title) override;
    // GDK_SCALE, else the X resource Xft.dpi, on the X11 video driver; 1 on others.
    int DesktopScale() const override;
    // Gtk/EnableAnimations of the X settings manager, when one runs; true otherwise.
    bool DesktopAnimations() const override;

    // ---- Used by the windows ----
    void WindowCreated(TSdlWindow* Window);
    void WindowDestroyed(TSdlWindow* Window);
    void DialogFrameSeen(const TFrameExtents& Frame) { FDialogFrame = Frame; }
    const std::string& AppTitle() const { return FTitle; }

  private:
    bool NextEvent(TBackendEvent& Event);
    bool Translate(const void* SdlEvent, TBackendEvent& Event);
    // Sets the event's X/Y from the pixel (x, y) of its window; true.
    bool ToClient(int X, int Y, TBackendEvent& Event) const;
    bool TranslateX11Motion(const void* SdlEvent, TBackendEvent& Event);
    TSdlWindow* WindowById(uint32_t Id) const;
    TSdlWindow* WindowByX11Id(unsigned long Id) const;

    std::vector<TSdlWindow*> FWindows;
    std::string FTitle;
    TFrameExtents FDialogFrame;
    void* FX11Display = nullptr; // SDL's connection to the X server, once a window exists
    bool FMotionFromX11 = false; // pointer motion comes from the X events (see Translate)
};

} // namespace zorbalin
