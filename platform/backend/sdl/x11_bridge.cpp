#include "backend/sdl/x11_bridge.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <thread>

namespace zorbalin {

namespace {

using TX11ErrorHandler = int (*)(Display*, XErrorEvent*);
TX11ErrorHandler gPreviousErrorHandler = nullptr;

// Xlib's own handler ends the process on any error. A window can be gone by the time a request
// about it reaches the server (closed dialogs, other connections to the same server), which is
// no reason to end the game.
int OnX11Error(Display* XDisplay, XErrorEvent* Error) {
    if (Error->error_code != BadWindow && Error->error_code != BadDrawable)
        return gPreviousErrorHandler ? gPreviousErrorHandler(XDisplay, Error) : 0;
    char text[160] = "";
    XGetErrorText(XDisplay, Error->error_code, text, sizeof text);
    std::fprintf(stderr,
                 "%s: X error ignored, the window is gone: %s (request %d, resource 0x%lx)\n",
                 program_invocation_short_name, text, Error->request_code, Error->resourceid);
    return 0;
}

struct TX11Window {
    Display* Connection = nullptr;
    Window Id = 0;
};

TX11Window X11Of(SDL_Window* SdlWindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SdlWindow || !SDL_GetWindowWMInfo(SdlWindow, &info) || info.subsystem != SDL_SYSWM_X11)
        return {};
    return {info.info.x11.display, info.info.x11.window};
}

// Whether a list property of 32-bit items on `Window` holds `item`.
bool ListPropertyHolds(Display* XDisplay, Window XWindow, Atom Property, Atom Type, Atom Item) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(XDisplay, XWindow, Property, 0, 4096, False, Type, &actualType, &format,
                           &count, &after, &data) != Success)
        return false;
    bool found = false;
    if (data && actualType == Type && format == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count && !found; ++i)
            found = items[i] == Item;
    }
    if (data)
        XFree(data);
    return found;
}

// A property holding one window id; false when it is missing or of another kind.
bool ReadWindowProperty(Display* XDisplay, Window XWindow, Atom Property, Window& Value) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = XGetWindowProperty(XDisplay, XWindow, Property, 0, 1, False, XA_WINDOW, &type,
                                    &format, &count, &after, &data) == Success &&
                 type == XA_WINDOW && format == 32 && count == 1 && data;
    if (found)
        Value = *reinterpret_cast<const unsigned long*>(data);
    if (data)
        XFree(data);
    return found;
}

bool HasFrameExtents(Display* XDisplay, Window XWindow, Atom Extents) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = XGetWindowProperty(XDisplay, XWindow, Extents, 0, 4, False, XA_CARDINAL, &type,
                                    &format, &count, &after, &data) == Success &&
                 type == XA_CARDINAL && count == 4;
    if (data)
        XFree(data);
    return found;
}

} // namespace

void InstallX11ErrorHandler() {
    TX11ErrorHandler previous = XSetErrorHandler(OnX11Error);
    if (previous != OnX11Error)
        gPreviousErrorHandler = previous;
}

void* X11DisplayOf(SDL_Window* SdlWindow) {
    return X11Of(SdlWindow).Connection;
}

unsigned long X11WindowIdOf(SDL_Window* SdlWindow) {
    return X11Of(SdlWindow).Id;
}

bool ReceiveX11Events() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::string(driver) != "x11")
        return false;
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    return true;
}

bool X11PointerMotion(const SDL_SysWMmsg* Message, unsigned long& XWindow, TPoint& Position) {
    if (!Message || Message->subsystem != SDL_SYSWM_X11)
        return false;
    const XEvent& event = Message->msg.x11.event;
    if (event.type != MotionNotify)
        return false;
    XWindow = event.xmotion.window;
    Position = {event.xmotion.x, event.xmotion.y};
    return true;
}

bool QueryX11Pointer(void* XDisplay, TPoint& Position) {
    auto* connection = static_cast<Display*>(XDisplay);
    if (!connection)
        return false;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(connection, DefaultRootWindow(connection), &root, &child, &rootX, &rootY,
                       &windowX, &windowY, &buttons))
        return false;
    Position = {rootX, rootY};
    return true;
}

void WaitForX11Input(void* XDisplay, int WakeFd, int TimeoutMs) {
    auto* connection = static_cast<Display*>(XDisplay);
    // Events that Xlib has read already will not make the connection readable again. XPending
    // also sends what is still buffered, which the server may have to answer first.
    if (XPending(connection) > 0)
        return;
    pollfd watched[2] = {{ConnectionNumber(connection), POLLIN, 0}, {WakeFd, POLLIN, 0}};
    // Interrupted by a signal: the caller looks at what the signal asked for.
    ::poll(watched, WakeFd >= 0 ? 2 : 1, TimeoutMs < 0 ? -1 : TimeoutMs);
}

std::string X11ResourceString() {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return "";
    const char* resources = XResourceManagerString(display);
    std::string text = resources ? resources : "";
    XCloseDisplay(display);
    return text;
}

namespace {

// A settings block is a few kilobytes; a larger one is not read (in 32-bit units).
constexpr long kMaxSettingsWords = 64 * 1024;

std::string SettingsBlockOf(Display* XDisplay) {
    const std::string selection = "_XSETTINGS_S" + std::to_string(DefaultScreen(XDisplay));
    const Window owner =
        XGetSelectionOwner(XDisplay, XInternAtom(XDisplay, selection.c_str(), False));
    if (owner == None)
        return "";
    const Atom property = XInternAtom(XDisplay, "_XSETTINGS_SETTINGS", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string block;
    if (XGetWindowProperty(XDisplay, owner, property, 0, kMaxSettingsWords, False, AnyPropertyType,
                           &type, &format, &count, &after, &data) == Success &&
        data && format == 8 && after == 0)
        block.assign(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    return block;
}

} // namespace

std::string X11SettingsBlock() {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return "";
    std::string block = SettingsBlockOf(display);
    XCloseDisplay(display);
    return block;
}

bool X11SetMapped(SDL_Window* SdlWindow, bool Mapped) {
    TX11Window x11 = X11Of(SdlWindow);
    if (!x11.Connection)
        return false;
    if (Mapped)
        XMapRaised(x11.Connection, x11.Id);
    else
        XUnmapWindow(x11.Connection, x11.Id);
    XFlush(x11.Connection);
    return true;
}

void SetX11LegacyTitle(SDL_Window* SdlWindow, const std::string& Utf8Title) {
    TX11Window x11 = X11Of(SdlWindow);
    if (!x11.Connection)
        return;
    char* list[] = {const_cast<char*>(Utf8Title.c_str())};
    XTextProperty property{};
    if (Xutf8TextListToTextProperty(x11.Connection, list, 1, XStdICCTextStyle, &property) < 0)
        return;
    XSetWMName(x11.Connection, x11.Id, &property);
    XFree(property.value);
    XFlush(x11.Connection);
}

void MarkX11Dialog(SDL_Window* SdlWindow, SDL_Window* Owner) {
    TX11Window x11 = X11Of(SdlWindow);
    if (!x11.Connection)
        return;
    Display* display = x11.Connection;
    Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, x11.Id, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                    32, PropModeReplace, reinterpret_cast<unsigned char*>(&dialog), 1);
    TX11Window owner = X11Of(Owner);
    if (owner.Connection)
        XSetTransientForHint(display, x11.Id, owner.Id);
    int width = 0, height = 0;
    SDL_GetWindowSize(SdlWindow, &width, &height);
    XSizeHints* hints = XAllocSizeHints();
    if (hints) {
        long supplied = 0;
        XGetWMNormalHints(display, x11.Id, hints, &supplied);
        hints->flags |= PMinSize | PMaxSize;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
        XSetWMNormalHints(display, x11.Id, hints);
        XFree(hints);
    }
    XFlush(display);
}

bool X11WindowManagerRuns(SDL_Window* SdlWindow) {
    TX11Window x11 = X11Of(SdlWindow);
    if (!x11.Connection)
        return true;
    // A compliant manager names its check window on the root, and the window names itself.
    Display* display = x11.Connection;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Window root = DefaultRootWindow(display);
    Window named = 0;
    if (!ReadWindowProperty(display, root, check, named))
        return false;
    Window self = 0;
    return ReadWindowProperty(display, named, check, self) && self == named;
}

void LearnX11FrameExtents(SDL_Window* SdlWindow) {
    TX11Window x11 = X11Of(SdlWindow);
    if (!x11.Connection)
        return;
    Display* display = x11.Connection;
    Window root = DefaultRootWindow(display);
    Atom request = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    if (!ListPropertyHolds(display, root, XInternAtom(display, "_NET_SUPPORTED", False), XA_ATOM,
                           request))
        return;
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = x11.Id;
    message.xclient.message_type = request;
    message.xclient.format = 32;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &message);
    XFlush(display);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (!HasFrameExtents(display, x11.Id, extents)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // The change notice came before the answer above: SDL takes the new extents from it.
    SDL_PumpEvents();
}

} // namespace zorbalin
