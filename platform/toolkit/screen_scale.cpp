#include "toolkit/screen_scale.h"

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace zorbalin {

int ScaleFromDpi(double dpi) {
    if (!(dpi > 0))
        return 0;
    const double factor = std::floor(dpi / 96.0 + 0.5);
    return factor < 1 ? 1 : factor > kMaxScale ? kMaxScale : static_cast<int>(factor);
}

int ParseScale(const char* text) {
    if (!text || !*text)
        return 0;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || value <= 0)
        return 0;
    return value > kMaxScale ? kMaxScale : static_cast<int>(value);
}

double XftDpiOf(const std::string& resources) {
    static const char kKey[] = "Xft.dpi:";
    for (size_t line = 0; line < resources.size();) {
        size_t next = resources.find('\n', line);
        if (next == std::string::npos)
            next = resources.size();
        if (resources.compare(line, sizeof kKey - 1, kKey) == 0) {
            const std::string value =
                resources.substr(line + sizeof kKey - 1, next - line - (sizeof kKey - 1));
            char* end = nullptr;
            const double dpi = std::strtod(value.c_str(), &end);
            if (end != value.c_str() && std::isfinite(dpi) && dpi > 0)
                return dpi;
        }
        line = next + 1;
    }
    return 0;
}

int DesktopScaleFrom(const char* gdkScale, double xftDpi) {
    if (int scale = ParseScale(gdkScale))
        return scale;
    if (int scale = ScaleFromDpi(xftDpi))
        return scale;
    return 1;
}

int ChooseScale(int overrideScale, int settingsScale, int desktopScale) {
    for (int scale : {overrideScale, settingsScale, desktopScale})
        if (scale > 0)
            return scale > kMaxScale ? kMaxScale : scale;
    return 1;
}

void ReplicatePixels(const TPixelView& surface, const TRect& r, int scale, uint8_t* target,
                     int targetStride) {
    const size_t rowBytes = static_cast<size_t>(r.Width()) * scale * 4;
    for (int y = r.Top; y < r.Bottom; ++y) {
        const auto* src =
            reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(surface.Pixels) +
                                              static_cast<std::ptrdiff_t>(y) * surface.Stride) +
            r.Left;
        uint8_t* first = target + static_cast<std::ptrdiff_t>(y - r.Top) * scale * targetStride;
        if (scale == 1) {
            std::memcpy(first, src, rowBytes);
            continue;
        }
        auto* out = reinterpret_cast<uint32_t*>(first);
        for (int x = 0; x < r.Width(); ++x)
            for (int i = 0; i < scale; ++i)
                *out++ = src[x];
        for (int i = 1; i < scale; ++i)
            std::memcpy(first + static_cast<std::ptrdiff_t>(i) * targetStride, first, rowBytes);
    }
}

} // namespace zorbalin
