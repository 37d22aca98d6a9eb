#include "backend/sdl/display_open.h"

#include <SDL.h>

#include <cstdlib>
#include <sys/stat.h>
#include <thread>

namespace zorbalin {

namespace {

constexpr std::chrono::milliseconds kRetryEvery{50};

// The socket of a local X display ":N" or "unix:N" (a screen ".S" after N
// does not count); empty for a display on another host.
std::string LocalXSocket(const std::string& Display) {
    const size_t colon = Display.rfind(':');
    if (colon == std::string::npos)
        return {};
    const std::string host = Display.substr(0, colon);
    if (!host.empty() && host != "unix")
        return {};
    const std::string number = Display.substr(colon + 1, Display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return {};
    return "/tmp/.X11-unix/X" + number;
}

} // namespace

bool DisplayMayAnswer(const char* XDisplay, const char* WaylandDisplay) {
    if (WaylandDisplay && *WaylandDisplay)
        return true;
    if (!XDisplay || !*XDisplay)
        return false;
    const std::string socket = LocalXSocket(XDisplay);
    struct stat info;
    return socket.empty() || ::stat(socket.c_str(), &info) == 0;
}

std::string OpenDisplay(std::chrono::milliseconds Patience) {
    const auto giveUpAt = std::chrono::steady_clock::now() + Patience;
    for (;;) {
        if (SDL_Init(SDL_INIT_VIDEO) == 0)
            return {};
        std::string reason = SDL_GetError();
        if (reason.empty())
            reason = "unknown reason";
        if (std::chrono::steady_clock::now() >= giveUpAt ||
            !DisplayMayAnswer(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")))
            return reason;
        std::this_thread::sleep_for(kRetryEvery);
    }
}

} // namespace zorbalin
