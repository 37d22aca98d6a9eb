#include "toolkit/screen_scale.h"

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace zorbalin {

int ScaleFromDpi(double Dpi) {
    if (!(Dpi > 0))
        return 0;
    const double factor = std::floor(Dpi / 96.0 + 0.5);
    return factor < 1 ? 1 : factor > kMaxScale ? kMaxScale : static_cast<int>(factor);
}

int ParseScale(const char* Text) {
    if (!Text || !*Text)
        return 0;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(Text, &end, 10);
    if (end == Text || *end != '\0' || errno == ERANGE || value <= 0)
        return 0;
    return value > kMaxScale ? kMaxScale : static_cast<int>(value);
}

double XftDpiOf(const std::string& Resources) {
    static const char kKey[] = "Xft.dpi:";
    for (size_t line = 0; line < Resources.size();) {
        size_t next = Resources.find('\n', line);
        if (next == std::string::npos)
            next = Resources.size();
        if (Resources.compare(line, sizeof kKey - 1, kKey) == 0) {
            const std::string value =
                Resources.substr(line + sizeof kKey - 1, next - line - (sizeof kKey - 1));
            char* end = nullptr;
            const double dpi = std::strtod(value.c_str(), &end);
            if (end != value.c_str() && std::isfinite(dpi) && dpi > 0)
                return dpi;
        }
        line = next + 1;
    }
    return 0;
}

int DesktopScaleFrom(const char* GdkScale, double XftDpi) {
    if (int scale = ParseScale(GdkScale))
        return scale;
    if (int scale = ScaleFromDpi(XftDpi))
        return scale;
    return 1;
}

int ChooseScale(int OverrideScale, int SettingsScale, int DesktopScale) {
    for (int scale : {OverrideScale, SettingsScale, DesktopScale})
        if (scale > 0)
            return scale > kMaxScale ? kMaxScale : scale;
    return 1;
}

int FittingScale(int Scale, int Width, int Height, const TRect& Area) {
    while (Scale > 1 && (Width * Scale > Area.Width() || Height * Scale > Area.Height()))
        --Scale;
    return Scale < 1 ? 1 : Scale;
}

void ReplicatePixels(const TPixelView& Surface, const TRect& R, int Scale, uint8_t* Target,
                     int TargetStride) {
    const size_t rowBytes = static_cast<size_t>(R.Width()) * Scale * 4;
    for (int y = R.Top; y < R.Bottom; ++y) {
        const auto* src =
            reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(Surface.Pixels) +
                                              static_cast<std::ptrdiff_t>(y) * Surface.Stride) +
            R.Left;
        uint8_t* first = Target + static_cast<std::ptrdiff_t>(y - R.Top) * Scale * TargetStride;
        if (Scale == 1) {
            std::memcpy(first, src, rowBytes);
            continue;
        }
        auto* out = reinterpret_cast<uint32_t*>(first);
        for (int x = 0; x < R.Width(); ++x)
            for (int i = 0; i < Scale; ++i)
                *out++ = src[x];
        for (int i = 1; i < Scale; ++i)
            std::memcpy(first + static_cast<std::ptrdiff_t>(i) * TargetStride, first, rowBytes);
    }
}

} // namespace zorbalin
