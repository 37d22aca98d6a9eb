// The X server's resource string (what xrdb loaded: "Xft.dpi:\t192\n..."), read over a short
// connection of its own to the display SDL uses.
#pragma once

#include <string>

namespace zorbalin {

// "" when there is no X display or it holds no resources.
std::string X11ResourceString();

} // namespace zorbalin
