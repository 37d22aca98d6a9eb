#include "app/windows/window_place.h"

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

} // namespace zorbalin
