#include "app/window_place.h"

namespace zorbalin {

TPoint OpeningPlace(TPoint saved, int width, int bandHeight, const std::vector<TRect>& monitors,
                    TPoint fallback) {
    // 64-bit, so that a saved edge near the limits of 32 bits cannot wrap around.
    const long long bandLeft = saved.X, bandTop = saved.Y;
    const long long bandRight = bandLeft + width, bandBottom = bandTop + bandHeight;
    for (const TRect& monitor : monitors) {
        long long visibleWidth = std::min<long long>(bandRight, monitor.Right) -
                                 std::max<long long>(bandLeft, monitor.Left);
        long long visibleHeight = std::min<long long>(bandBottom, monitor.Bottom) -
                                  std::max<long long>(bandTop, monitor.Top);
        if (visibleWidth >= kGripWidth && visibleHeight >= kGripHeight)
            return saved;
    }
    const TRect primary = monitors.empty() ? TRect{} : monitors.front();
    return {primary.Left + fallback.X, primary.Top + fallback.Y};
}

} // namespace zorbalin
