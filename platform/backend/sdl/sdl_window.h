// One form's SDL window (internal to the SDL backend). The window is the form's client size times
// its scale; Present enlarges the surface by pixel replication.
#pragma once

#include <SDL.h>

#include "toolkit/backend_interface.h"

namespace zorbalin {

class TSdlBackend;

class TSdlWindow : public TBackendWindow {
  public:
    TSdlWindow(TSdlBackend& Backend, const TWindowRequest& Request);
    ~TSdlWindow() override;
    TSdlWindow(const TSdlWindow&) = delete;
    TSdlWindow& operator=(const TSdlWindow&) = delete;

    void SetPosition(int Left, int Top) override;
    TPoint Position() const override;
    void SetClientSize(int Width, int Height) override;
    TFrameExtents Frame() const override;
    void SetCaption(const std::string& Caption) override;
    void SetVisible(bool Visible) override;
    void Present(const TRect& R, const TPixelView& Surface) override;
    void SetColourKey(bool, uint32_t) override {}
    void SetIcon(const std::vector<uint32_t>& Argb, int Width, int Height) override;
    void SetModalFor(TBackendWindow* Owner) override;
    void Activate() override;
    // A mouse button went down on the window: without a window manager, that is what gives a
    // window the keys on a desktop, so the window takes them itself (a tooltip never does).
    void Pressed();

    SDL_Window* Handle() const { return FWindow; }
    uint32_t Id() const { return FId; }
    unsigned long X11Id() const { return FX11Id; } // 0 on another video driver
    bool Visible() const { return FVisible; }
    bool TaskbarEntry() const { return FTaskbarEntry; }
    int Scale() const { return FScale; }
    bool Tooltip() const { return FTooltip; }
    void UpdateTitle();

  private:
    TSdlBackend& FBackend;
    SDL_Window* FWindow = nullptr;
    uint32_t FId = 0;
    unsigned long FX11Id = 0;
    bool FFramed;
    bool FTaskbarEntry;
    int FScale;
    bool FTooltip = false;
    bool FVisible = false;
    std::string FCaption;
    int FLeft, FTop; // outer position asked for; the window system may add a frame later
};

} // namespace zorbalin
