// What the SDL backend asks of the X server directly, on SDL's own connection to it: the things
// SDL either does not offer or does in a way the program cannot use (internal to the backend).
// Every function is safe to call with a window that is not on an X server (another video
// driver): it then does nothing, or says it could not.
#pragma once

#include <SDL.h>

struct SDL_SysWMmsg;

#include <string>

#include "toolkit/backend_interface.h"

namespace zorbalin {

// An error about a window or drawable that no longer exists is logged on the standard error and
// the program goes on; any other X error is left to the handler that was there before.
void InstallX11ErrorHandler();

// SDL's X connection, learnt from one of its windows; null on another video driver.
void* X11DisplayOf(SDL_Window* Window);

// The X window of an SDL window; 0 on another video driver.
unsigned long X11WindowIdOf(SDL_Window* Window);

// Lets SDL hand over the X events it reads (as SDL_SYSWMEVENT), so that pointer motion can be
// taken from them; false on another video driver.
bool ReceiveX11Events();

// The pointer motion that an X event handed over by SDL reports: the X window and the position
// in its client area. False for any other event.
bool X11PointerMotion(const SDL_SysWMmsg* Message, unsigned long& Window, TPoint& Position);

// Where the pointer is now, asked of the X server (not a cached position). False when the server
// cannot say (another video driver, or the pointer on another screen).
bool QueryX11Pointer(void* Display, TPoint& Position);

// Blocks until the X connection has input to read or `wakeFd` becomes readable, or at most
// timeoutMs milliseconds when that is not negative.
void WaitForX11Input(void* Display, int WakeFd, int TimeoutMs = -1);

// The X server's resource string (what xrdb loaded: "Xft.dpi:\t192\n..."), read over a short
// connection of its own to the display SDL uses; "" when there is no X display or no resources.
std::string X11ResourceString();

// The block of desktop settings that the X settings manager of the display's default screen
// publishes (see toolkit/xsettings.h), read over a short connection of its own; "" when there is
// no X display, no settings manager, or its block is larger than 256 KiB.
std::string X11SettingsBlock();

// Maps or unmaps the window directly: SDL gives a window it shows the keyboard focus when no
// window manager runs, which a tooltip must never take. False on another video driver (the
// caller then lets SDL do it).
bool X11SetMapped(SDL_Window* Window, bool Mapped);

// Sets the legacy title property WM_NAME in the encoding X expects of it (Latin-1 as a plain
// string where it suffices, else compound text), beside SDL's UTF-8 _NET_WM_NAME.
void SetX11LegacyTitle(SDL_Window* Window, const std::string& Utf8Title);

// Asks the window manager for the frame it will give this (not yet shown) window and lets SDL
// take the answer, so that the window's outer size is known before it is first placed. Waits a
// short while at most; does nothing without a window manager that offers this.
void LearnX11FrameExtents(SDL_Window* Window);

// Declares the (not yet shown) window a dialog of `Owner` (transient for it, when given) and of
// its present size only, so that a window manager keeps it above its owner and offers no
// maximising. Does nothing on another video driver.
void MarkX11Dialog(SDL_Window* Window, SDL_Window* Owner);

// Whether a window manager runs on the window's X screen (it announces itself on the root
// window); true on another video driver, where the system always hands the focus over.
bool X11WindowManagerRuns(SDL_Window* Window);

} // namespace zorbalin
