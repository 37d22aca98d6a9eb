#include "backend/headless/headless_backend.h"

#include <algorithm>

#include "toolkit/screen_scale.h"

namespace zorbalin {

namespace {

constexpr uint32_t kFrameColour = 0x00A0A0A0;
constexpr uint32_t kDesktopColour = 0x00000000;

unsigned ButtonBit(TMouseButton Button) {
    switch (Button) {
    case TMouseButton::mbLeft:
        return kSsLeft;
    case TMouseButton::mbRight:
        return kSsRight;
    case TMouseButton::mbMiddle:
        return kSsMiddle;
    }
    return 0;
}

} // namespace

// ---- THeadlessWindow
// ------------------------------------------------------------------------------

THeadlessWindow::THeadlessWindow(THeadlessBackend& Backend, const TWindowRequest& Request)
    : FBackend(Backend), FRequest(Request), FCaption(Request.Caption), FLeft(Request.Left),
      FTop(Request.Top), FWidth(std::max(Request.ClientWidth, 0)),
      FHeight(std::max(Request.ClientHeight, 0)), FScale(std::clamp(Request.Scale, 1, kMaxScale)),
      FPixels(static_cast<size_t>(PixelWidth()) * PixelHeight(), 0) {}

THeadlessWindow::~THeadlessWindow() {
    FBackend.WindowDestroyed(this);
}

void THeadlessWindow::SetPosition(int Left, int Top) {
    FLeft = Left;
    FTop = Top;
}

void THeadlessWindow::SetClientSize(int Width, int Height) {
    FWidth = std::max(Width, 0);
    FHeight = std::max(Height, 0);
    FPixels.assign(static_cast<size_t>(PixelWidth()) * PixelHeight(), 0);
}

TFrameExtents THeadlessWindow::Frame() const {
    return FRequest.Framed ? FBackend.DialogFrame() : TFrameExtents{};
}

void THeadlessWindow::SetVisible(bool Visible) {
    if (Visible == FVisible)
        return;
    FVisible = Visible;
    if (Visible)
        FBackend.WindowShown(this);
    else
        FBackend.WindowHidden(this);
}

void THeadlessWindow::Present(const TRect& R, const TPixelView& Surface) {
    TRect area = IntersectRects(
        R, {0, 0, std::min(FWidth, Surface.Width), std::min(FHeight, Surface.Height)});
    if (area.IsEmpty())
        return;
    const size_t first = static_cast<size_t>(area.Top) * FScale * PixelWidth() + area.Left * FScale;
    ReplicatePixels(Surface, area, FScale, reinterpret_cast<uint8_t*>(FPixels.data() + first),
                    PixelWidth() * 4);
    // The unused top byte of the surface is no part of the colour.
    for (int y = area.Top * FScale; y < area.Bottom * FScale; ++y)
        for (int x = area.Left * FScale; x < area.Right * FScale; ++x)
            FPixels[static_cast<size_t>(y) * PixelWidth() + x] &= 0x00FFFFFF;
    FPresented.push_back(area);
}

void THeadlessWindow::SetColourKey(bool Enabled, uint32_t Key) {
    FKeyEnabled = Enabled;
    FKey = Key & 0x00FFFFFF;
}

void THeadlessWindow::SetIcon(const std::vector<uint32_t>&, int Width, int) {
    FIconWidth = Width;
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

bool THeadlessWindow::TakesMouseAt(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= PixelWidth() || Y >= PixelHeight())
        return true;
    return !(FKeyEnabled && Pixel(X, Y) == FKey);
}

// ---- THeadlessBackend
// -------------------------------------------------------------------------------

THeadlessBackend::THeadlessBackend(int ScreenWidth, int ScreenHeight)
    : FScreenWidth(ScreenWidth), FScreenHeight(ScreenHeight) {}

THeadlessBackend::~THeadlessBackend() = default;

std::unique_ptr<TBackendWindow> THeadlessBackend::CreateWindow(const TWindowRequest& Request) {
    return std::make_unique<THeadlessWindow>(*this, Request);
}

bool THeadlessBackend::PollEvent(TBackendEvent& Event) {
    if (FQueue.empty())
        return false;
    Event = FQueue.front();
    FQueue.pop_front();
    return true;
}

void THeadlessBackend::WaitEvent(TBackendEvent& Event) {
    if (FQueue.empty() && OnIdle)
        OnIdle();
    if (!PollEvent(Event))
        throw EHeadlessStall{"a message loop waits for input, and none was injected"};
}

bool THeadlessBackend::WaitEventTimeout(TBackendEvent& Event, uint32_t Milliseconds) {
    if (FQueue.empty() && OnIdle)
        OnIdle();
    if (PollEvent(Event))
        return true;
    FClock += Milliseconds;
    return false;
}

void THeadlessBackend::Push(TBackendEvent E) {
    E.Time = FClock;
    FQueue.push_back(E);
}

void THeadlessBackend::MessageBoxShown(const TMessageBoxInfo& Info) {
    FMessageBoxes.push_back(Info);
    if (!AutoAnswerMessageBoxes || !Info.Window)
        return;
    TBackendEvent e;
    e.Kind = TEventKind::KeyDown;
    e.Window = Info.Window;
    e.Key = vk::kReturn;
    Push(e);
}

// ---- Windows and their order
// --------------------------------------------------------------------------

bool THeadlessBackend::Shown(const THeadlessWindow* Window) const {
    return Window->Visible() && !FMinimized;
}

void THeadlessBackend::Raise(THeadlessWindow* Window) {
    FWindows.erase(std::remove(FWindows.begin(), FWindows.end(), Window), FWindows.end());
    FWindows.push_back(Window);
}

void THeadlessBackend::WindowShown(THeadlessWindow* Window) {
    Raise(Window);
}

void THeadlessBackend::WindowHidden(THeadlessWindow* Window) {
    FWindows.erase(std::remove(FWindows.begin(), FWindows.end(), Window), FWindows.end());
    if (FGrab == Window)
        FGrab = nullptr;
    if (FPointerIn == Window)
        FPointerIn = nullptr;
    if (FActive == Window) {
        FActive = nullptr;
        TBackendEvent e;
        e.Kind = TEventKind::Deactivated;
        e.Window = Window;
        Push(e);
    }
}

void THeadlessBackend::WindowDestroyed(THeadlessWindow* Window) {
    FWindows.erase(std::remove(FWindows.begin(), FWindows.end(), Window), FWindows.end());
    if (FActive == Window)
        FActive = nullptr;
    if (FGrab == Window)
        FGrab = nullptr;
    if (FPointerIn == Window)
        FPointerIn = nullptr;
    if (FCapture == Window)
        FCapture = nullptr;
    // Events for a window that is gone must never reach the toolkit.
    FQueue.erase(std::remove_if(FQueue.begin(), FQueue.end(),
                                [Window](const TBackendEvent& E) { return E.Window == Window; }),
                 FQueue.end());
    for (TMessageBoxInfo& box : FMessageBoxes)
        if (box.Window == Window)
            box.Window = nullptr;
}

void THeadlessBackend::ActivateWindow(THeadlessWindow* Window) {
    if (!Window->Visible())
        return;
    Raise(Window);
    if (FActive == Window)
        return;
    if (FActive) {
        TBackendEvent e;
        e.Kind = TEventKind::Deactivated;
        e.Window = FActive;
        Push(e);
    }
    FActive = Window;
    TBackendEvent e;
    e.Kind = TEventKind::Activated;
    e.Window = Window;
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

THeadlessWindow* THeadlessBackend::WindowAt(int X, int Y) const {
    if (FMinimized)
        return nullptr;
    for (auto it = FWindows.rbegin(); it != FWindows.rend(); ++it)
        if ((*it)->Visible() && (*it)->OuterRect().Contains({X, Y}))
            return *it;
    return nullptr;
}

THeadlessWindow* THeadlessBackend::MouseWindowAt(int X, int Y) const {
    if (FMinimized)
        return nullptr;
    for (auto it = FWindows.rbegin(); it != FWindows.rend(); ++it) {
        THeadlessWindow* w = *it;
        if (!w->Visible() || !w->OuterRect().Contains({X, Y}))
            continue;
        TRect client = w->ClientScreenRect();
        if (w->TakesMouseAt(X - client.Left, Y - client.Top))
            return w;
    }
    return nullptr;
}

uint32_t THeadlessBackend::ScreenPixel(int X, int Y) const {
    THeadlessWindow* w = WindowAt(X, Y);
    if (!w)
        return kDesktopColour;
    TRect client = w->ClientScreenRect();
    if (!client.Contains({X, Y}))
        return kFrameColour;
    return w->Pixel(X - client.Left, Y - client.Top);
}

// ---- Injected input
// -------------------------------------------------------------------------------

TShiftState THeadlessBackend::HeldButtons() const {
    return FButtons;
}

void THeadlessBackend::PushMouse(TEventKind Kind, int X, int Y, TMouseButton Button) {
    FCursor = {X, Y};
    THeadlessWindow* target = FGrab;
    if (!target && FCapture)
        target = static_cast<THeadlessWindow*>(FCapture);
    if (!target)
        target = MouseWindowAt(X, Y);
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
    bool inClient = client.Contains({X, Y});
    if (Kind == TEventKind::MouseDown && !FGrab && FActive != target)
        ActivateWindow(target);
    if (Kind == TEventKind::MouseDown && !inClient && !FGrab)
        return;
    TBackendEvent e;
    e.Kind = Kind;
    e.Window = target;
    const TPoint logical = ScaleDown({X - client.Left, Y - client.Top}, target->Scale());
    e.X = logical.X;
    e.Y = logical.Y;
    e.Button = Button;
    e.Shift = HeldButtons();
    Push(e);
    if (Kind == TEventKind::MouseDown)
        FGrab = target;
}

void THeadlessBackend::MouseDown(int X, int Y, TMouseButton Button) {
    FButtons |= ButtonBit(Button);
    PushMouse(TEventKind::MouseDown, X, Y, Button);
}

void THeadlessBackend::MouseUp(int X, int Y, TMouseButton Button) {
    PushMouse(TEventKind::MouseUp, X, Y, Button);
    FButtons &= ~ButtonBit(Button);
    if (FButtons == 0)
        FGrab = nullptr;
}

void THeadlessBackend::MouseMove(int X, int Y) {
    PushMouse(TEventKind::MouseMove, X, Y, TMouseButton::mbLeft);
}

void THeadlessBackend::Click(int X, int Y, TMouseButton Button) {
    MouseDown(X, Y, Button);
    MouseUp(X, Y, Button);
}

void THeadlessBackend::KeyDown(uint16_t Key, TShiftState Shift) {
    if (!FActive || FMinimized)
        return;
    TBackendEvent e;
    e.Kind = TEventKind::KeyDown;
    e.Window = FActive;
    e.Key = Key;
    e.Shift = Shift;
    Push(e);
}

void THeadlessBackend::RequestClose(TBackendWindow* Window) {
    TBackendEvent e;
    e.Kind = TEventKind::CloseRequest;
    e.Window = Window;
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
