#include "backend/headless/headless_backend.h"

#include <algorithm>

#include "toolkit/screen_scale.h"

namespace zorbalin {

namespace {

constexpr uint32_t kFrameColour = 0x00A0A0A0;
constexpr uint32_t kDesktopColour = 0x00000000;

unsigned ButtonBit(TMouseButton button) {
    switch (button) {
    case TMouseButton::mbLeft:
        return ssLeft;
    case TMouseButton::mbRight:
        return ssRight;
    case TMouseButton::mbMiddle:
        return ssMiddle;
    }
    return 0;
}

} // namespace

// ---- THeadlessWindow
// ------------------------------------------------------------------------------

THeadlessWindow::THeadlessWindow(THeadlessBackend& backend, const TWindowRequest& request)
    : FBackend(backend), FRequest(request), FCaption(request.Caption), FLeft(request.Left),
      FTop(request.Top), FWidth(std::max(request.ClientWidth, 0)),
      FHeight(std::max(request.ClientHeight, 0)), FScale(std::clamp(request.Scale, 1, kMaxScale)),
      FPixels(static_cast<size_t>(PixelWidth()) * PixelHeight(), 0) {}

THeadlessWindow::~THeadlessWindow() {
    FBackend.WindowDestroyed(this);
}

void THeadlessWindow::SetPosition(int left, int top) {
    FLeft = left;
    FTop = top;
}

void THeadlessWindow::SetClientSize(int width, int height) {
    FWidth = std::max(width, 0);
    FHeight = std::max(height, 0);
    FPixels.assign(static_cast<size_t>(PixelWidth()) * PixelHeight(), 0);
}

TFrameExtents THeadlessWindow::Frame() const {
    return FRequest.Framed ? FBackend.DialogFrame() : TFrameExtents{};
}

void THeadlessWindow::SetVisible(bool visible) {
    if (visible == FVisible)
        return;
    FVisible = visible;
    if (visible)
        FBackend.WindowShown(this);
    else
        FBackend.WindowHidden(this);
}

void THeadlessWindow::Present(const TRect& r, const TPixelView& surface) {
    TRect area = IntersectRects(
        r, {0, 0, std::min(FWidth, surface.Width), std::min(FHeight, surface.Height)});
    if (area.IsEmpty())
        return;
    const size_t first = static_cast<size_t>(area.Top) * FScale * PixelWidth() + area.Left * FScale;
    ReplicatePixels(surface, area, FScale, reinterpret_cast<uint8_t*>(FPixels.data() + first),
                    PixelWidth() * 4);
    // The unused top byte of the surface is no part of the colour.
    for (int y = area.Top * FScale; y < area.Bottom * FScale; ++y)
        for (int x = area.Left * FScale; x < area.Right * FScale; ++x)
            FPixels[static_cast<size_t>(y) * PixelWidth() + x] &= 0x00FFFFFF;
    FPresented.push_back(area);
}

void THeadlessWindow::SetColourKey(bool enabled, uint32_t key) {
    FKeyEnabled = enabled;
    FKey = key & 0x00FFFFFF;
}

void THeadlessWindow::SetIcon(const std::vector<uint32_t>&, int width, int) {
    FIconWidth = width;
}

void THeadlessWindow::Activate() {
    FBackend.ActivateWindow(this);
}

TRect THeadlessWindow::OuterRect() const {
    TFrameExtents f = Frame();
    return {FLeft, FTop, FLeft + f.Left + PixelWidth() + f.Right,
            FTop + f.Top + PixelHeight() + f.Bottom};
}

TRect THeadlessWindow::ClientScreenRect() const {
    TFrameExtents f = Frame();
    return Bounds(FLeft + f.Left, FTop + f.Top, PixelWidth(), PixelHeight());
}

bool THeadlessWindow::TakesMouseAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= PixelWidth() || y >= PixelHeight())
        return true;
    return !(FKeyEnabled && Pixel(x, y) == FKey);
}

// ---- THeadlessBackend
// -------------------------------------------------------------------------------

THeadlessBackend::THeadlessBackend(int screenWidth, int screenHeight)
    : FScreenWidth(screenWidth), FScreenHeight(screenHeight) {}

THeadlessBackend::~THeadlessBackend() = default;

std::unique_ptr<TBackendWindow> THeadlessBackend::CreateWindow(const TWindowRequest& request) {
    return std::make_unique<THeadlessWindow>(*this, request);
}

bool THeadlessBackend::PollEvent(TBackendEvent& event) {
    if (FQueue.empty())
        return false;
    event = FQueue.front();
    FQueue.pop_front();
    return true;
}

void THeadlessBackend::WaitEvent(TBackendEvent& event) {
    if (FQueue.empty() && OnIdle)
        OnIdle();
    if (!PollEvent(event))
        throw EHeadlessStall{"a message loop waits for input, and none was injected"};
}

bool THeadlessBackend::WaitEventTimeout(TBackendEvent& event, uint32_t milliseconds) {
    if (FQueue.empty() && OnIdle)
        OnIdle();
    if (PollEvent(event))
        return true;
    FClock += milliseconds;
    return false;
}

void THeadlessBackend::Push(TBackendEvent e) {
    e.Time = FClock;
    FQueue.push_back(e);
}

void THeadlessBackend::MessageBoxShown(const TMessageBoxInfo& info) {
    FMessageBoxes.push_back(info);
    if (!AutoAnswerMessageBoxes || !info.Window)
        return;
    TBackendEvent e;
    e.Kind = TEventKind::KeyDown;
    e.Window = info.Window;
    e.Key = vk::Return;
    Push(e);
}

// ---- Windows and their order
// --------------------------------------------------------------------------

bool THeadlessBackend::Shown(const THeadlessWindow* window) const {
    return window->Visible() && !FMinimized;
}

void THeadlessBackend::Raise(THeadlessWindow* window) {
    FWindows.erase(std::remove(FWindows.begin(), FWindows.end(), window), FWindows.end());
    FWindows.push_back(window);
}

void THeadlessBackend::WindowShown(THeadlessWindow* window) {
    Raise(window);
}

void THeadlessBackend::WindowHidden(THeadlessWindow* window) {
    FWindows.erase(std::remove(FWindows.begin(), FWindows.end(), window), FWindows.end());
    if (FGrab == window)
        FGrab = nullptr;
    if (FPointerIn == window)
        FPointerIn = nullptr;
    if (FActive == window) {
        FActive = nullptr;
        TBackendEvent e;
        e.Kind = TEventKind::Deactivated;
        e.Window = window;
        Push(e);
    }
}

void THeadlessBackend::WindowDestroyed(THeadlessWindow* window) {
    FWindows.erase(std::remove(FWindows.begin(), FWindows.end(), window), FWindows.end());
    if (FActive == window)
        FActive = nullptr;
    if (FGrab == window)
        FGrab = nullptr;
    if (FPointerIn == window)
        FPointerIn = nullptr;
    if (FCapture == window)
        FCapture = nullptr;
    // Events for a window that is gone must never reach the toolkit.
    FQueue.erase(std::remove_if(FQueue.begin(), FQueue.end(),
                                [window](const TBackendEvent& e) { return e.Window == window; }),
                 FQueue.end());
    for (TMessageBoxInfo& box : FMessageBoxes)
        if (box.Window == window)
            box.Window = nullptr;
}

void THeadlessBackend::ActivateWindow(THeadlessWindow* window) {
    if (!window->Visible())
        return;
    Raise(window);
    if (FActive == window)
        return;
    if (FActive) {
        TBackendEvent e;
        e.Kind = TEventKind::Deactivated;
        e.Window = FActive;
        Push(e);
    }
    FActive = window;
    TBackendEvent e;
    e.Kind = TEventKind::Activated;
    e.Window = window;
    Push(e);
}

void THeadlessBackend::FocusOtherProgram() {
    if (!FActive)
        return;
    TBackendEvent e;
    e.Kind = TEventKind::Deactivated;
    e.Window = FActive;
    FActive = nullptr;
    Push(e);
}

THeadlessWindow* THeadlessBackend::WindowAt(int x, int y) const {
    if (FMinimized)
        return nullptr;
    for (auto it = FWindows.rbegin(); it != FWindows.rend(); ++it)
        if ((*it)->Visible() && (*it)->OuterRect().Contains({x, y}))
            return *it;
    return nullptr;
}

THeadlessWindow* THeadlessBackend::MouseWindowAt(int x, int y) const {
    if (FMinimized)
        return nullptr;
    for (auto it = FWindows.rbegin(); it != FWindows.rend(); ++it) {
        THeadlessWindow* w = *it;
        if (!w->Visible() || !w->OuterRect().Contains({x, y}))
            continue;
        TRect client = w->ClientScreenRect();
        if (w->TakesMouseAt(x - client.Left, y - client.Top))
            return w;
    }
    return nullptr;
}

uint32_t THeadlessBackend::ScreenPixel(int x, int y) const {
    THeadlessWindow* w = WindowAt(x, y);
    if (!w)
        return kDesktopColour;
    TRect client = w->ClientScreenRect();
    if (!client.Contains({x, y}))
        return kFrameColour;
    return w->Pixel(x - client.Left, y - client.Top);
}

// ---- Injected input
// -------------------------------------------------------------------------------

TShiftState THeadlessBackend::HeldButtons() const {
    return FButtons;
}

void THeadlessBackend::PushMouse(TEventKind kind, int x, int y, TMouseButton button) {
    FCursor = {x, y};
    THeadlessWindow* target = FGrab;
    if (!target && FCapture)
        target = static_cast<THeadlessWindow*>(FCapture);
    if (!target)
        target = MouseWindowAt(x, y);
    if (FPointerIn && FPointerIn != target && !FGrab) {
        TBackendEvent leave;
        leave.Kind = TEventKind::MouseLeave;
        leave.Window = FPointerIn;
        Push(leave);
    }
    if (!FGrab)
        FPointerIn = target;
    if (!target)
        return;
    TRect client = target->ClientScreenRect();
    // A press on the frame belongs to the window system: it only activates the window.
    bool inClient = client.Contains({x, y});
    if (kind == TEventKind::MouseDown && !FGrab && FActive != target)
        ActivateWindow(target);
    if (kind == TEventKind::MouseDown && !inClient && !FGrab)
        return;
    TBackendEvent e;
    e.Kind = kind;
    e.Window = target;
    const TPoint logical = ScaleDown({x - client.Left, y - client.Top}, target->Scale());
    e.X = logical.X;
    e.Y = logical.Y;
    e.Button = button;
    e.Shift = HeldButtons();
    Push(e);
    if (kind == TEventKind::MouseDown)
        FGrab = target;
}

void THeadlessBackend::MouseDown(int x, int y, TMouseButton button) {
    FButtons |= ButtonBit(button);
    PushMouse(TEventKind::MouseDown, x, y, button);
}

void THeadlessBackend::MouseUp(int x, int y, TMouseButton button) {
    PushMouse(TEventKind::MouseUp, x, y, button);
    FButtons &= ~ButtonBit(button);
    if (FButtons == 0)
        FGrab = nullptr;
}

void THeadlessBackend::MouseMove(int x, int y) {
    PushMouse(TEventKind::MouseMove, x, y, TMouseButton::mbLeft);
}

void THeadlessBackend::Click(int x, int y, TMouseButton button) {
    MouseDown(x, y, button);
    MouseUp(x, y, button);
}

void THeadlessBackend::KeyDown(uint16_t key, TShiftState shift) {
    if (!FActive || FMinimized)
        return;
    TBackendEvent e;
    e.Kind = TEventKind::KeyDown;
    e.Window = FActive;
    e.Key = key;
    e.Shift = shift;
    Push(e);
}

void THeadlessBackend::RequestClose(TBackendWindow* window) {
    TBackendEvent e;
    e.Kind = TEventKind::CloseRequest;
    e.Window = window;
    Push(e);
}

void THeadlessBackend::EndSession() {
    TBackendEvent e;
    e.Kind = TEventKind::Quit;
    Push(e);
}

std::vector<TRect> THeadlessBackend::Monitors() const {
    return FMonitors.empty() ? std::vector<TRect>{ScreenRect()} : FMonitors;
}

void THeadlessBackend::MinimizeFromTaskbar() {
    TBackendEvent e;
    e.Kind = TEventKind::Minimized;
    Push(e);
}

void THeadlessBackend::RestoreFromTaskbar() {
    TBackendEvent e;
    e.Kind = TEventKind::Restored;
    Push(e);
}

} // namespace zorbalin
