#include "backend/sdl/sdl_window.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "backend/sdl/sdl_backend.h"
#include "backend/sdl/x11_bridge.h"
#include "toolkit/exception.h"
#include "toolkit/screen_scale.h"

namespace zorbalin {

namespace {

// Formats whose bytes in memory are B, G, R, X on this little-endian machine, like our surface.
bool IsBgrx(Uint32 Format) {
    return Format == SDL_PIXELFORMAT_RGB888 || Format == SDL_PIXELFORMAT_ARGB8888;
}

} // namespace

TSdlWindow::TSdlWindow(TSdlBackend& Backend, const TWindowRequest& Request)
    : FBackend(Backend), FFramed(Request.Framed), FTaskbarEntry(Request.TaskbarEntry),
      FScale(std::clamp(Request.Scale, 1, kMaxScale)), FCaption(Request.Caption),
      FLeft(Request.Left), FTop(Request.Top) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (!Request.Framed)
        flags |= SDL_WINDOW_BORDERLESS;
    if (!Request.TaskbarEntry)
        flags |= SDL_WINDOW_SKIP_TASKBAR;
    // On X11 a tooltip window is override-redirect: no window manager places or focuses it.
    if (Request.Kind == TWindowKind::Tooltip)
        flags |= SDL_WINDOW_TOOLTIP;
    FTooltip = Request.Kind == TWindowKind::Tooltip;
    FWindow = SDL_CreateWindow(FCaption.c_str(), Request.Left, Request.Top,
                               std::max(Request.ClientWidth, 1) * FScale,
                               std::max(Request.ClientHeight, 1) * FScale, flags);
    if (!FWindow)
        throw Exception(std::string("Cannot create a window: ") + SDL_GetError());
    FId = SDL_GetWindowID(FWindow);
    FX11Id = X11WindowIdOf(FWindow);
    UpdateTitle();
    FBackend.WindowCreated(this);
    if (Request.Kind == TWindowKind::Dialog) {
        auto* owner = dynamic_cast<TSdlWindow*>(Request.Owner);
        MarkX11Dialog(FWindow, owner ? owner->FWindow : nullptr);
    }
    // A dialog is centred by its outer size when first shown: its frame must be known by then.
    if (FFramed)
        LearnX11FrameExtents(FWindow);
}

TSdlWindow::~TSdlWindow() {
    FBackend.WindowDestroyed(this);
    SDL_DestroyWindow(FWindow);
}

void TSdlWindow::UpdateTitle() {
    // The task bar entry carries the application's title; other windows their caption.
    const std::string& title = FTaskbarEntry ? FBackend.AppTitle() : FCaption;
    SDL_SetWindowTitle(FWindow, title.c_str());
    // SDL converts the legacy title from the locale's encoding, which the program does not set.
    SetX11LegacyTitle(FWindow, title);
}

TFrameExtents TSdlWindow::Frame() const {
    if (!FFramed)
        return {};
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(FWindow, &top, &left, &bottom, &right) != 0)
        return {};
    TFrameExtents frame{left, top, right, bottom};
    FBackend.DialogFrameSeen(frame);
    return frame;
}

void TSdlWindow::SetPosition(int Left, int Top) {
    FLeft = Left;
    FTop = Top;
    // SDL places the client area; our coordinates are those of the outer window.
    TFrameExtents f = Frame();
    SDL_SetWindowPosition(FWindow, Left + f.Left, Top + f.Top);
}

TPoint TSdlWindow::Position() const {
    int x = 0, y = 0;
    SDL_GetWindowPosition(FWindow, &x, &y);
    TFrameExtents f = Frame();
    return {x - f.Left, y - f.Top};
}

void TSdlWindow::SetClientSize(int Width, int Height) {
    SDL_SetWindowSize(FWindow, std::max(Width, 1) * FScale, std::max(Height, 1) * FScale);
}

void TSdlWindow::SetCaption(const std::string& Caption) {
    FCaption = Caption;
    UpdateTitle();
}

void TSdlWindow::SetVisible(bool Visible) {
    if (Visible == FVisible)
        return;
    FVisible = Visible;
    // No window manager places a tooltip; it is where the form put it already.
    if (FTooltip && X11SetMapped(FWindow, Visible))
        return;
    if (Visible) {
        SDL_ShowWindow(FWindow);
        // Window managers may place a new window where they like: put it where the form says.
        SetPosition(FLeft, FTop);
    } else {
        SDL_HideWindow(FWindow);
    }
}

void TSdlWindow::Present(const TRect& R, const TPixelView& Surface) {
    SDL_Surface* target = SDL_GetWindowSurface(FWindow);
    if (!target)
        return;
    TRect area = IntersectRects(R, {0, 0, std::min(Surface.Width, target->w / FScale),
                                    std::min(Surface.Height, target->h / FScale)});
    if (area.IsEmpty())
        return;
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0)
        return;
    const TRect shown = ScaleUp(area, FScale);
    auto* dst = static_cast<uint8_t*>(target->pixels) +
                static_cast<ptrdiff_t>(shown.Top) * target->pitch +
                shown.Left * target->format->BytesPerPixel;
    if (IsBgrx(target->format->format)) {
        ReplicatePixels(Surface, area, FScale, dst, target->pitch);
    } else {
        // Enlarged aside, then converted into the window's format.
        const int stride = shown.Width() * 4;
        std::vector<uint8_t> enlarged(static_cast<size_t>(stride) * shown.Height());
        ReplicatePixels(Surface, area, FScale, enlarged.data(), stride);
        SDL_ConvertPixels(shown.Width(), shown.Height(), SDL_PIXELFORMAT_RGB888, enlarged.data(),
                          stride, target->format->format, dst, target->pitch);
    }
    if (SDL_MUSTLOCK(target))
        SDL_UnlockSurface(target);
    SDL_Rect rect{shown.Left, shown.Top, shown.Width(), shown.Height()};
    SDL_UpdateWindowSurfaceRects(FWindow, &rect, 1);
}

void TSdlWindow::SetIcon(const std::vector<uint32_t>& Argb, int Width, int Height) {
    if (Argb.size() < static_cast<size_t>(Width) * Height || Width <= 0 || Height <= 0)
        return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(Argb.data()), Width, Height, 32, Width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon)
        return;
    SDL_SetWindowIcon(FWindow, icon);
    SDL_FreeSurface(icon);
}

void TSdlWindow::SetModalFor(TBackendWindow* Owner) {
    if (auto* parent = dynamic_cast<TSdlWindow*>(Owner))
        SDL_SetWindowModalFor(FWindow, parent->FWindow);
}

void TSdlWindow::Activate() {
    if (!FVisible)
        return;
    SDL_RaiseWindow(FWindow);
    // A window manager hands the keyboard to the raised window; without one, nobody would.
    if (!X11WindowManagerRuns(FWindow))
        SDL_SetWindowInputFocus(FWindow);
}

void TSdlWindow::Pressed() {
    if (FVisible && !FTooltip && !X11WindowManagerRuns(FWindow))
        SDL_SetWindowInputFocus(FWindow);
}

} // namespace zorbalin
