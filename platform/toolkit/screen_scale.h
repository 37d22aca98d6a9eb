// Whole-number scaling for dense screens. Forms, controls and pictures work in logical pixels; a
// window shows each logical pixel as Scale x Scale pixels of the screen (exact replication, so
// scale 1 is the picture itself) and hands the pointer back in logical pixels. Window positions
// and frames stay in screen pixels.
//
// The factor is chosen once per run, before the first window: ChooseScale takes the first that is
// set of the user's override, the settings file's value and what the desktop asks for.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/backend_interface.h"

namespace zorbalin {

constexpr int kMaxScale = 4;

// The nearest whole factor for a screen density (96 dots per inch is 1, 192 is 2), in 1..4;
// 0 when the density is unknown (zero or negative).
int ScaleFromDpi(double Dpi);
// A factor written by the user ("2"): 1..4, larger ones give 4; 0 (automatic) for a missing,
// empty or zero value and for anything that is not a whole number.
int ParseScale(const char* Text);
// The density Xft.dpi of an X resource string ("Xft.dpi:\t192\n..."); 0 when it has none.
double XftDpiOf(const std::string& Resources);
// What the desktop asks for: its toolkit scale (GDK_SCALE) when that is a factor, else the one of
// the font density Xft.dpi, else 1.
int DesktopScaleFrom(const char* GdkScale, double XftDpi);
// The first of override, settings and desktop that is not 0, in 1..4 (1 when none is).
int ChooseScale(int OverrideScale, int SettingsScale, int DesktopScale);
// `scale`, or the largest smaller factor at which a `width` x `height` window fits `area`; at
// least 1. For a factor the desktop chose: one the user chose is kept even when the window does not
// fit.
int FittingScale(int Scale, int Width, int Height, const TRect& Area);

// Division rounding toward minus infinity: a pointer left of a window maps left of its client.
inline int FloorDiv(int A, int B) {
    return A >= 0 ? A / B : -((-A + B - 1) / B);
}
inline TPoint ScaleDown(TPoint P, int Scale) {
    return {FloorDiv(P.X, Scale), FloorDiv(P.Y, Scale)};
}
inline TRect ScaleUp(const TRect& R, int Scale) {
    return {R.Left * Scale, R.Top * Scale, R.Right * Scale, R.Bottom * Scale};
}

// Copies the rectangle r of the logical surface, each pixel enlarged to scale x scale, into 32-bit
// pixels at target (the enlarged r's top-left pixel; targetStride bytes per row). r must lie
// inside the surface, and the target must hold r.Width() * scale x r.Height() * scale pixels.
void ReplicatePixels(const TPixelView& Surface, const TRect& R, int Scale, uint8_t* Target,
                     int TargetStride);

} // namespace zorbalin
