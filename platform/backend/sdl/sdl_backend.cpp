#include "backend/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "backend/sdl/display_open.h"
#include "backend/sdl/end_request.h"
#include "backend/sdl/sdl_window.h"
#include "backend/sdl/x11_bridge.h"
#include "toolkit/exception.h"
#include "toolkit/screen_scale.h"
#include "toolkit/xsettings.h"

namespace zorbalin {

namespace {

bool MapButton(Uint8 Button, TMouseButton& Out) {
    switch (Button) {
    case SDL_BUTTON_LEFT:
        Out = TMouseButton::mbLeft;
        return true;
    case SDL_BUTTON_RIGHT:
        Out = TMouseButton::mbRight;
        return true;
    case SDL_BUTTON_MIDDLE:
        Out = TMouseButton::mbMiddle;
        return true;
    default:
        return false;
    }
}

TShiftState ModifierShift(Uint16 Mod) {
    TShiftState shift = 0;
    if (Mod & KMOD_SHIFT)
        shift |= kSsShift;
    if (Mod & KMOD_CTRL)
        shift |= kSsCtrl;
    if (Mod & KMOD_ALT)
        shift |= kSsAlt;
    return shift;
}

TShiftState CurrentShift() {
    TShiftState shift = ModifierShift(static_cast<Uint16>(SDL_GetModState()));
    Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    if (buttons & SDL_BUTTON_LMASK)
        shift |= kSsLeft;
    if (buttons & SDL_BUTTON_RMASK)
        shift |= kSsRight;
    if (buttons & SDL_BUTTON_MMASK)
        shift |= kSsMiddle;
    return shift;
}

// SDL key symbols to the toolkit's key codes; 0 for keys the toolkit does not use.
uint16_t MapKey(SDL_Keycode Sym) {
    switch (Sym) {
    case SDLK_ESCAPE:
        return vk::kEscape;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return vk::kReturn;
    case SDLK_SPACE:
        return vk::kSpace;
    case SDLK_TAB:
        return vk::kTab;
    case SDLK_BACKSPACE:
        return vk::kBack;
    case SDLK_LEFT:
        return vk::kLeft;
    case SDLK_RIGHT:
        return vk::kRight;
    case SDLK_UP:
        return vk::kUp;
    case SDLK_DOWN:
        return vk::kDown;
    case SDLK_APPLICATION:
    case SDLK_MENU:
        return vk::kApps;
    default:
        break;
    }
    if (Sym >= SDLK_F1 && Sym <= SDLK_F12)
        return static_cast<uint16_t>(vk::F1 + (Sym - SDLK_F1));
    if (Sym >= SDLK_a && Sym <= SDLK_z)
        return static_cast<uint16_t>('A' + (Sym - SDLK_a));
    if (Sym >= SDLK_0 && Sym <= SDLK_9)
        return static_cast<uint16_t>('0' + (Sym - SDLK_0));
    return 0;
}

} // namespace

TSdlBackend::TSdlBackend(const std::string& WindowClass) {
    // A window surface must not go through the GL path: every partial present would redraw the
    // whole window there.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The first click on an inactive window is a click, as on the desktop the program knows.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
    // Closing the last window is the application's decision (the settings may refuse it).
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (!WindowClass.empty()) {
        SDL_SetHint(SDL_HINT_APP_NAME, WindowClass.c_str());
        setenv("SDL_VIDEO_X11_WMCLASS", WindowClass.c_str(), 0);
    }
    // The program's own handlers take these signals (see the top of sdl_backend.h).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    InstallEndSignals();
    // Without an explicit choice, only a desktop will do: SDL would otherwise fall back to a
    // driver that shows nothing, and the game would run unseen until killed.
    const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
    if (!chosen || !*chosen)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
    if (const std::string reason = OpenDisplay(); !reason.empty())
        throw Exception("cannot open the display: " + reason);
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::string(driver) == "x11")
        InstallX11ErrorHandler();
    FMotionFromX11 = ReceiveX11Events();
}

TSdlBackend::~TSdlBackend() {
    SDL_Quit();
}

std::unique_ptr<TBackendWindow> TSdlBackend::CreateWindow(const TWindowRequest& Request) {
    return std::make_unique<TSdlWindow>(*this, Request);
}

void TSdlBackend::WindowCreated(TSdlWindow* Window) {
    FWindows.push_back(Window);
    if (!FX11Display)
        FX11Display = X11DisplayOf(Window->Handle());
}

void TSdlBackend::WindowDestroyed(TSdlWindow* Window) {
    FWindows.erase(std::remove(FWindows.begin(), FWindows.end(), Window), FWindows.end());
}

TSdlWindow* TSdlBackend::WindowByX11Id(unsigned long Id) const {
    for (TSdlWindow* w : FWindows)
        if (w->X11Id() == Id)
            return w;
    return nullptr;
}

TSdlWindow* TSdlBackend::WindowById(uint32_t Id) const {
    for (TSdlWindow* w : FWindows)
        if (w->Id() == Id)
            return w;
    return nullptr;
}

bool TSdlBackend::PollEvent(TBackendEvent& Event) {
    return NextEvent(Event);
}

void TSdlBackend::WaitEvent(TBackendEvent& Event) {
    while (!NextEvent(Event)) {
        if (FX11Display)
            WaitForX11Input(FX11Display, EndRequestFd());
        else // another driver: its own wait, waking now and then to see a signal
            SDL_WaitEventTimeout(nullptr, 100);
    }
}

bool TSdlBackend::WaitEventTimeout(TBackendEvent& Event, uint32_t Milliseconds) {
    const uint32_t start = SDL_GetTicks();
    while (!NextEvent(Event)) {
        const uint32_t waited = SDL_GetTicks() - start;
        if (waited >= Milliseconds)
            return false;
        const int left = static_cast<int>(Milliseconds - waited);
        if (FX11Display)
            WaitForX11Input(FX11Display, EndRequestFd(), left);
        else
            SDL_WaitEventTimeout(nullptr, std::min(left, 100));
    }
    return true;
}

// The next event for the toolkit, without waiting: what SDL has queued, then what the window
// system has sent since. Never enters SDL's waiting path (see the top of sdl_backend.h).
bool TSdlBackend::NextEvent(TBackendEvent& Event) {
    if (TakeEndRequest()) {
        Event = TBackendEvent{};
        Event.Kind = TEventKind::Quit;
        return true;
    }
    SDL_Event e;
    for (int round = 0; round < 2; ++round) {
        while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
            if (Translate(&e, Event))
                return true;
        if (round == 0)
            SDL_PumpEvents();
    }
    return false;
}

bool TSdlBackend::Translate(const void* SdlEvent, TBackendEvent& Out) {
    const SDL_Event& e = *static_cast<const SDL_Event*>(SdlEvent);
    Out = TBackendEvent{};
    Out.Time = e.common.timestamp;
    switch (e.type) {
    case SDL_QUIT:
        Out.Kind = TEventKind::Quit;
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (!MapButton(e.button.button, Out.Button))
            return false;
        Out.Kind = e.type == SDL_MOUSEBUTTONDOWN ? TEventKind::MouseDown : TEventKind::MouseUp;
        Out.Window = WindowById(e.button.windowID);
        Out.Shift = CurrentShift();
        if (e.type == SDL_MOUSEBUTTONDOWN && Out.Window)
            WindowById(e.button.windowID)->Pressed();
        return Out.Window != nullptr && ToClient(e.button.x, e.button.y, Out);
    case SDL_SYSWMEVENT:
        return TranslateX11Motion(&e, Out);
    case SDL_MOUSEMOTION:
        // SDL drops a motion whose position in the window equals the last one it saw: every step
        // of a drag once the window has followed the pointer. On X11 the motion with a button
        // held is therefore taken from the X events themselves. Without a button the X server
        // may send the motion only as an XInput2 event, which SDL reports here alone: hovering
        // (tooltips, the pointer putting the focus ring away) needs it.
        if (FMotionFromX11 && e.motion.state != 0)
            return false;
        Out.Kind = TEventKind::MouseMove;
        Out.Window = WindowById(e.motion.windowID);
        Out.Shift = CurrentShift();
        return Out.Window != nullptr && ToClient(e.motion.x, e.motion.y, Out);
    case SDL_KEYDOWN:
        Out.Kind = TEventKind::KeyDown;
        Out.Window = WindowById(e.key.windowID);
        Out.Key = MapKey(e.key.keysym.sym);
        // The modifiers as they were when the key went down: by the time the event is read,
        // SDL's own state may already have seen Ctrl released (a quick Ctrl+Z).
        Out.Shift =
            ModifierShift(e.key.keysym.mod) | (CurrentShift() & (kSsLeft | kSsRight | kSsMiddle));
        return Out.Window != nullptr && Out.Key != 0;
    case SDL_WINDOWEVENT:
        break;
    default:
        return false;
    }
    TSdlWindow* window = WindowById(e.window.windowID);
    if (!window)
        return false;
    Out.Window = window;
    switch (e.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
        Out.Kind = TEventKind::CloseRequest;
        return true;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        Out.Kind = TEventKind::Expose;
        return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        Out.Kind = TEventKind::Activated;
        return true;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        Out.Kind = TEventKind::Deactivated;
        return true;
    case SDL_WINDOWEVENT_LEAVE:
        Out.Kind = TEventKind::MouseLeave;
        return true;
    case SDL_WINDOWEVENT_MINIMIZED:
        // SDL takes every unmapping it did not ask for as minimising (and a mapping as
        // restoring); a tooltip is mapped and unmapped directly (see TSdlWindow::SetVisible),
        // which minimises and restores nothing.
        if (window->Tooltip())
            return false;
        Out.Kind = TEventKind::Minimized;
        return true;
    case SDL_WINDOWEVENT_RESTORED:
        if (window->Tooltip())
            return false;
        Out.Kind = TEventKind::Restored;
        return true;
    case SDL_WINDOWEVENT_MOVED: {
        TFrameExtents f = window->Frame();
        Out.Kind = TEventKind::Moved;
        Out.X = e.window.data1 - f.Left;
        Out.Y = e.window.data2 - f.Top;
        return true;
    }
    default:
        return false;
    }
}

bool TSdlBackend::ToClient(int X, int Y, TBackendEvent& Event) const {
    // The window reports its own pixels; the form works in logical ones.
    const TPoint p = ScaleDown({X, Y}, static_cast<TSdlWindow*>(Event.Window)->Scale());
    Event.X = p.X;
    Event.Y = p.Y;
    return true;
}

int TSdlBackend::DesktopScale() const {
    // Other video drivers scale on their own; the X server leaves it to the program.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::string(driver) != "x11")
        return 1;
    return DesktopScaleFrom(std::getenv("GDK_SCALE"), XftDpiOf(X11ResourceString()));
}

bool TSdlBackend::DesktopAnimations() const {
    // Only a settings manager on the X server says; without one, animations are allowed.
    const std::optional<int32_t> enabled =
        XSettingsInteger(X11SettingsBlock(), "Gtk/EnableAnimations");
    return !enabled || *enabled != 0;
}

bool TSdlBackend::TranslateX11Motion(const void* SdlEvent, TBackendEvent& Out) {
    const SDL_Event& e = *static_cast<const SDL_Event*>(SdlEvent);
    unsigned long window = 0;
    TPoint position;
    if (!X11PointerMotion(e.syswm.msg, window, position))
        return false;
    Out.Kind = TEventKind::MouseMove;
    Out.Window = WindowByX11Id(window);
    Out.Shift = CurrentShift();
    return Out.Window != nullptr && ToClient(position.X, position.Y, Out);
}

TPoint TSdlBackend::CursorPos() const {
    // SDL's global position is a cache that only some kinds of pointer motion refresh; the X
    // server knows where the pointer is now.
    TPoint position;
    if (QueryX11Pointer(FX11Display, position))
        return position;
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
}

void TSdlBackend::SetCapture(TBackendWindow*) {
    SDL_CaptureMouse(SDL_TRUE);
}

void TSdlBackend::ReleaseCapture() {
    SDL_CaptureMouse(SDL_FALSE);
}

void TSdlBackend::MinimizeApp() {
    for (TSdlWindow* w : FWindows)
        if (w->Visible())
            SDL_MinimizeWindow(w->Handle());
}

void TSdlBackend::RestoreApp() {
    for (TSdlWindow* w : FWindows)
        if (w->Visible())
            SDL_RestoreWindow(w->Handle());
}

uint32_t TSdlBackend::Ticks() const {
    return SDL_GetTicks();
}

TRect TSdlBackend::ScreenRect() const {
    SDL_Rect r{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(0, &r) != 0)
        return {0, 0, 1024, 768};
    return Bounds(r.x, r.y, r.w, r.h);
}

TRect TSdlBackend::WorkArea() const {
    SDL_Rect r{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0 || r.w <= 0 || r.h <= 0)
        return ScreenRect();
    return Bounds(r.x, r.y, r.w, r.h);
}

std::vector<TRect> TSdlBackend::Monitors() const {
    std::vector<TRect> monitors;
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        SDL_Rect r{0, 0, 0, 0};
        if (SDL_GetDisplayBounds(i, &r) == 0)
            monitors.push_back(Bounds(r.x, r.y, r.w, r.h));
    }
    if (monitors.empty())
        monitors.push_back(ScreenRect());
    return monitors;
}

void TSdlBackend::SetAppTitle(const std::string& Title) {
    FTitle = Title;
    for (TSdlWindow* w : FWindows)
        w->UpdateTitle();
}

} // namespace zorbalin
