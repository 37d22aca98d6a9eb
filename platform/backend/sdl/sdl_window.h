// One form's SDL window (internal to the SDL backend). The window is the form's client size times
// its scale; Present enlarges the surface by pixel replication.
#pragma once

#include <SDL.h>

#include "toolkit/backend_interface.h"

namespace zorbalin {

class TSdlBackend;

class TSdlWindow : public TBackendWindow {
  public:
    TSdlWindow(TSdlBackend& backend, const TWindowRequest& request);
    ~TSdlWindow() override;
    TSdlWindow(const TSdlWindow&) = delete;
    TSdlWindow& operator=(const TSdlWindow&) = delete;

    void SetPosition(int left, int top) override;
    TPoint Position() const override;
    void SetClientSize(int width, int height) override;
    TFrameExtents Frame() const override;
    void SetCaption(const std::string& caption) override;
    void SetVisible(bool visible) override;
    void Present(const TRect& r, const TPixelView& surface) override;
    void SetColourKey(bool, uint32_t) override {}
    void SetIcon(const std::vector<uint32_t>& argb, int width, int height) override;
    void SetModalFor(TBackendWindow* owner) override;
    void Activate() override;

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
