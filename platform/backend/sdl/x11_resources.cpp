#include "backend/sdl/x11_resources.h"

#include <X11/Xlib.h>

namespace zorbalin {

std::string X11ResourceString() {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return "";
    const char* resources = XResourceManagerString(display);
    std::string text = resources ? resources : "";
    XCloseDisplay(display);
    return text;
}

} // namespace zorbalin
