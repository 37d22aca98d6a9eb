#pragma once
// Where the main window opens. The window has no title bar: the player can only get hold of it
// by its top band (the title strip), so a saved place that leaves too little of that band on
// every monitor (a monitor unplugged since, a hand-edited settings file) would lose the window.
#include "toolkit/geometry.h"

#include <vector>

namespace zorbalin {

// The part of the top band that must lie on one monitor for the saved place to be kept, and that
// a drag keeps on one (times the scale, so that the buttons stay within reach).
constexpr int kGripWidth = 100;
constexpr int kGripHeight = 50;

// `saved` when a kGripWidth x kGripHeight part of the band (the window's top `bandHeight` rows,
// `width` wide) lies on one of `monitors`; otherwise `fallback` from the primary monitor's
// corner (the first monitor).
TPoint OpeningPlace(TPoint Saved, int Width, int BandHeight, const std::vector<TRect>& Monitors,
                    TPoint Fallback);

// Where a dragged window stops: `Wanted` when a GripWidth x GripHeight part of the band lies on
// one monitor, else the nearest place where it does (the band meets the screen's edge), as a
// window manager keeps a title bar within reach. `Wanted` itself without monitors.
TPoint KeepBandOnScreen(TPoint Wanted, int Width, int GripWidth, int GripHeight,
                        const std::vector<TRect>& Monitors);

} // namespace zorbalin
