// Colour conversion between formats, clipping and plain fills.
#include "gdi/pixels.h"

#include <algorithm>

namespace zorbalin {
namespace gdi_detail {

TBitmapBits BitsOf(const TGdiBitmap& B) {
    TBitmapBits s;
    s.Bits = B.Bits;
    s.Width = B.Width;
    s.Height = B.Height;
    s.Stride = B.Stride;
    s.BitCount = B.BitCount;
    s.TopDown = B.TopDown;
    s.MonoDevice = B.IsMonochromeDevice();
    s.Colors = B.Colors;
    s.ColorCount = B.ColorCount;
    return s;
}

COLORREF RawToColor(const TBitmapBits& S, std::uint32_t Raw) {
    switch (S.BitCount) {
    case 1:
    case 4:
    case 8:
        if (S.MonoDevice)
            return Raw ? RGB(255, 255, 255) : RGB(0, 0, 0);
        if (static_cast<int>(Raw) >= S.ColorCount)
            return RGB(0, 0, 0);
        return RGB(S.Colors[Raw].rgbRed, S.Colors[Raw].rgbGreen, S.Colors[Raw].rgbBlue);
    case 16:
        return Rgb555ToColor(Raw);
    default:
        return BgrToColor(Raw);
    }
}

int NearestIndex(const RGBQUAD* Colors, int Count, COLORREF Color) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < Count; ++i) {
        long dr = long(Colors[i].rgbRed) - GetRValue(Color);
        long dg = long(Colors[i].rgbGreen) - GetGValue(Color);
        long db = long(Colors[i].rgbBlue) - GetBValue(Color);
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

std::uint32_t ColorToRaw(const TBitmapBits& S, COLORREF Color) {
    switch (S.BitCount) {
    case 1:
    case 4:
    case 8:
        if (S.MonoDevice) {
            int sum = GetRValue(Color) + GetGValue(Color) + GetBValue(Color);
            return sum >= 384 ? 1u : 0u;
        }
        return S.ColorCount > 0 ? std::uint32_t(NearestIndex(S.Colors, S.ColorCount, Color)) : 0u;
    case 16:
        return ColorTo555(Color);
    default:
        return ColorToBgr(Color);
    }
}

RECT Intersect(const RECT& A, const RECT& B) {
    RECT r{std::max(A.left, B.left), std::max(A.top, B.top), std::min(A.right, B.right),
           std::min(A.bottom, B.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

RECT DeviceClip(const TGdiDC& Dc) {
    RECT r{0, 0, Dc.Bitmap ? Dc.Bitmap->Width : 0, Dc.Bitmap ? Dc.Bitmap->Height : 0};
    if (Dc.State.HasClip)
        r = Intersect(r, Dc.State.Clip);
    return r;
}

void FillDeviceRect(const TGdiDC& Dc, const RECT& R, COLORREF Color) {
    if (IsEmpty(R) || !Dc.Bitmap)
        return;
    TBitmapBits s = BitsOf(*Dc.Bitmap);
    std::uint32_t raw = ColorToRaw(s, Color);
    for (LONG y = R.top; y < R.bottom; ++y) {
        BYTE* row = s.Row(y);
        if (s.BitCount == 32) {
            std::uint32_t* p = reinterpret_cast<std::uint32_t*>(row) + R.left;
            std::fill(p, p + (R.right - R.left), raw); // little-endian: B, G, R, 0
        } else {
            for (LONG x = R.left; x < R.right; ++x)
                WriteRaw(row, s.BitCount, x, raw);
        }
    }
}

void FillLogicalRect(const TGdiDC& Dc, const RECT& Logical, COLORREF Color) {
    RECT device{DevX(Dc, Logical.left), DevY(Dc, Logical.top), DevX(Dc, Logical.right),
                DevY(Dc, Logical.bottom)};
    FillDeviceRect(Dc, Intersect(device, DeviceClip(Dc)), Color);
}

} // namespace gdi_detail
} // namespace zorbalin
