// The SDL2 backend: every form is a window of its own on the X server (SDL's X11 driver, so
// screen coordinates are root-window coordinates). Each window shows the form's retained surface
// through its SDL window surface, one presented rectangle at a time.
//
//   TSdlBackend backend("io.example.ZorbaLin");   // window class for the desktop entry
//   TApplication app(backend);
//
// What the window system cannot do here: the colour key of a form is not applied (no shaped
// windows); the program's artwork holds no key pixels, so nothing shows differently.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/backend_interface.h"

namespace zorbalin {

class TSdlWindow;

class TSdlBackend : public TBackend {
  public:
    // Starts SDL's video subsystem; throws Exception with SDL's reason when there is no display.
    explicit TSdlBackend(const std::string& windowClass = "");
    ~TSdlBackend() override;
    TSdlBackend(const TSdlBackend&) = delete;
    TSdlBackend& operator=(const TSdlBackend&) = delete;

    std::unique_ptr<TBackendWindow> CreateWindow(const TWindowRequest& request) override;
    bool PollEvent(TBackendEvent& event) override;
    void WaitEvent(TBackendEvent& event) override;
    TPoint CursorPos() const override;
    void SetCapture(TBackendWindow* window) override;
    void ReleaseCapture() override;
    void MinimizeApp() override;
    void RestoreApp() override;
    uint32_t Ticks() const override;
    TRect ScreenRect() const override;
    TFrameExtents DialogFrame() const override { return FDialogFrame; }
    void SetAppTitle(const std::string& title) override;
    // GDK_SCALE, else the X resource Xft.dpi, on the X11 video driver; 1 on others.
    int DesktopScale() const override;

    // ---- Used by the windows ----
    void WindowCreated(TSdlWindow* window);
    void WindowDestroyed(TSdlWindow* window);
    void DialogFrameSeen(const TFrameExtents& frame) { FDialogFrame = frame; }
    const std::string& AppTitle() const { return FTitle; }

  private:
    bool Translate(const void* sdlEvent, TBackendEvent& event);
    // Sets the event's X/Y from the pixel (x, y) of its window; true.
    bool ToClient(int x, int y, TBackendEvent& event) const;
    TSdlWindow* WindowById(uint32_t id) const;

    std::vector<TSdlWindow*> FWindows;
    std::string FTitle;
    TFrameExtents FDialogFrame;
};

} // namespace zorbalin
