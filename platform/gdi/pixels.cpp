// Colour conversion between formats, clipping and plain fills.
#include "gdi/pixels.h"

#include <algorithm>

namespace zorbalin {
namespace gdi_detail {

TBitmapBits BitsOf(const TGdiBitmap& b) {
    TBitmapBits s;
    s.bits = b.bits;
    s.width = b.width;
    s.height = b.height;
    s.stride = b.stride;
    s.bitCount = b.bitCount;
    s.topDown = b.topDown;
    s.monoDevice = b.IsMonochromeDevice();
    s.colors = b.colors;
    s.colorCount = b.colorCount;
    return s;
}

COLORREF RawToColor(const TBitmapBits& s, std::uint32_t raw) {
    switch (s.bitCount) {
    case 1:
    case 4:
    case 8:
        if (s.monoDevice)
            return raw ? RGB(255, 255, 255) : RGB(0, 0, 0);
        if (static_cast<int>(raw) >= s.colorCount)
            return RGB(0, 0, 0);
        return RGB(s.colors[raw].rgbRed, s.colors[raw].rgbGreen, s.colors[raw].rgbBlue);
    case 16:
        return Rgb555ToColor(raw);
    default:
        return BgrToColor(raw);
    }
}

int NearestIndex(const RGBQUAD* colors, int count, COLORREF color) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < count; ++i) {
        long dr = long(colors[i].rgbRed) - GetRValue(color);
        long dg = long(colors[i].rgbGreen) - GetGValue(color);
        long db = long(colors[i].rgbBlue) - GetBValue(color);
        long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
            if (d == 0)
                break;
        }
    }
    return best;
}

std::uint32_t ColorToRaw(const TBitmapBits& s, COLORREF color) {
    switch (s.bitCount) {
    case 1:
    case 4:
    case 8:
        if (s.monoDevice) {
            int sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
            return sum >= 384 ? 1u : 0u;
        }
        return s.colorCount > 0 ? std::uint32_t(NearestIndex(s.colors, s.colorCount, color)) : 0u;
    case 16:
        return ColorTo555(color);
    default:
        return ColorToBgr(color);
    }
}

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

RECT DeviceClip(const TGdiDC& dc) {
    RECT r{0, 0, dc.bitmap ? dc.bitmap->width : 0, dc.bitmap ? dc.bitmap->height : 0};
    if (dc.state.hasClip)
        r = Intersect(r, dc.state.clip);
    return r;
}

void FillDeviceRect(const TGdiDC& dc, const RECT& r, COLORREF color) {
    if (IsEmpty(r) || !dc.bitmap)
        return;
    TBitmapBits s = BitsOf(*dc.bitmap);
    std::uint32_t raw = ColorToRaw(s, color);
    for (LONG y = r.top; y < r.bottom; ++y) {
        BYTE* row = s.Row(y);
        if (s.bitCount == 32) {
            std::uint32_t* p = reinterpret_cast<std::uint32_t*>(row) + r.left;
            std::fill(p, p + (r.right - r.left), raw); // little-endian: B, G, R, 0
        } else {
            for (LONG x = r.left; x < r.right; ++x)
                WriteRaw(row, s.bitCount, x, raw);
        }
    }
}

void FillLogicalRect(const TGdiDC& dc, const RECT& logical, COLORREF color) {
    RECT device{DevX(dc, logical.left), DevY(dc, logical.top), DevX(dc, logical.right),
                DevY(dc, logical.bottom)};
    FillDeviceRect(dc, Intersect(device, DeviceClip(dc)), color);
}

} // namespace gdi_detail
} // namespace zorbalin
