#pragma once
// Opening the display at the start. A display server under load may refuse a
// connection for a moment (its queue of new clients full) or reset one just
// made: the start tries again for a while before it gives up.
#include <chrono>
#include <string>

namespace zorbalin {

// How long a refusing display is asked again.
constexpr std::chrono::milliseconds kDisplayPatience{1000};

// Whether a display that did not open may still answer: one is named
// (DISPLAY or WAYLAND_DISPLAY), and for a local X server (":N", "unix:N") its
// socket exists. A display that is not there at all is not waited for.
bool DisplayMayAnswer(const char* XDisplay, const char* WaylandDisplay);

// Starts SDL's video subsystem, asking again every few milliseconds up to
// `patience` while the display may answer. Returns SDL's reason for the last
// failure, or nothing when the video started.
std::string OpenDisplay(std::chrono::milliseconds Patience = kDisplayPatience);

} // namespace zorbalin
