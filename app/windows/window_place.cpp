#include "app/windows/window_place.h"

#include <algorithm>

namespace zorbalin {

TPoint OpeningPlace(TPoint Saved, int Width, int BandHeight, const std::vector<TRect>& Monitors,
                    TPoint Fallback) {
    // 64-bit, so that a saved edge near the limits of 32 bits cannot wrap around.
    const long long bandLeft = Saved.X, bandTop = Saved.Y;
    const long long bandRight = bandLeft + Width, bandBottom = bandTop + BandHeight;
    for (const TRect& monitor : Monitors) {
        long long visibleWidth = std::min<long long>(bandRight, monitor.Right) -
                                 std::max<long long>(bandLeft, monitor.Left);
        long long visibleHeight = std::min<long long>(bandBottom, monitor.Bottom) -
                                  std::max<long long>(bandTop, monitor.Top);
        if (visibleWidth >= kGripWidth && visibleHeight >= kGripHeight)
            return Saved;
    }
    const TRect primary = Monitors.empty() ? TRect{} : Monitors.front();
    return {primary.Left + Fallback.X, primary.Top + Fallback.Y};
}

TPoint KeepBandOnScreen(TPoint Wanted, int Width, int GripWidth, int GripHeight,
                        const std::vector<TRect>& Monitors) {
    const long long gripWidth = std::min(GripWidth, Width);
    TPoint best = Wanted;
    long long bestDistance = -1;
    for (const TRect& monitor : Monitors) {
        // The window's corners for which the grip lies on this monitor.
        const long long leftMost = monitor.Left + gripWidth - Width;
        const long long rightMost = monitor.Right - gripWidth;
        const long long bottomMost = static_cast<long long>(monitor.Bottom) - GripHeight;
        if (rightMost < leftMost || bottomMost < monitor.Top)
            continue; // a monitor smaller than the grip
        const long long x = std::clamp<long long>(Wanted.X, leftMost, rightMost);
        const long long y = std::clamp<long long>(Wanted.Y, monitor.Top, bottomMost);
        const long long distance =
            (x - Wanted.X) * (x - Wanted.X) + (y - Wanted.Y) * (y - Wanted.Y);
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = {static_cast<int>(x), static_cast<int>(y)};
        }
    }
    return best;
}

} // namespace zorbalin
