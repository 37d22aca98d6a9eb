// Reading and writing single pixels of any bitmap format, and turning colours into a format's
// raw pixel values. Internal to the graphics layer.
#pragma once

#include <cstdint>

#include "gdi/objects.h"

namespace zorbalin {
namespace gdi_detail {

// A view of pixel memory in one of the layer's formats.
struct TBitmapBits {
    BYTE* Bits = nullptr;
    LONG Width = 0;
    LONG Height = 0;
    LONG Stride = 0;
    int BitCount = 0;
    bool TopDown = true;
    bool MonoDevice = false; // 1-bit device bitmap: the context colours, not a table, map it
    const RGBQUAD* Colors = nullptr;
    int ColorCount = 0;

    BYTE* Row(LONG Y) const { return Bits + Stride * (TopDown ? Y : Height - 1 - Y); }
    bool Indexed() const { return BitCount <= 8; }
};

TBitmapBits BitsOf(const TGdiBitmap& Bitmap);

// Raw values: the index for 1/4/8 bits, the 5-5-5 word for 16 bits, and for 24/32 bits the
// bytes blue, green, red as blue | green << 8 | red << 16.
inline std::uint32_t ReadRaw(const BYTE* Row, int BitCount, LONG X) {
    switch (BitCount) {
    case 1:
        return (Row[X >> 3] >> (7 - (X & 7))) & 1u;
    case 4:
        return (X & 1) ? (Row[X >> 1] & 0x0Fu) : (Row[X >> 1] >> 4);
    case 8:
        return Row[X];
    case 16:
        return Row[2 * X] | (std::uint32_t(Row[2 * X + 1]) << 8);
    case 24: {
        const BYTE* p = Row + 3 * X;
        return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
    }
    default: {
        const BYTE* p = Row + 4 * X;
        return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
    }
    }
}

inline void WriteRaw(BYTE* Row, int BitCount, LONG X, std::uint32_t V) {
    switch (BitCount) {
    case 1: {
        BYTE mask = BYTE(0x80u >> (X & 7));
        Row[X >> 3] = BYTE((Row[X >> 3] & ~mask) | (V & 1u ? mask : 0));
        break;
    }
    case 4:
        if (X & 1)
            Row[X >> 1] = BYTE((Row[X >> 1] & 0xF0) | (V & 0x0F));
        else
            Row[X >> 1] = BYTE((Row[X >> 1] & 0x0F) | ((V & 0x0F) << 4));
        break;
    case 8:
        Row[X] = BYTE(V);
        break;
    case 16:
        Row[2 * X] = BYTE(V);
        Row[2 * X + 1] = BYTE((V >> 8) & 0x7F);
        break;
    case 24: {
        BYTE* p = Row + 3 * X;
        p[0] = BYTE(V);
        p[1] = BYTE(V >> 8);
        p[2] = BYTE(V >> 16);
        break;
    }
    default: {
        BYTE* p = Row + 4 * X;
        p[0] = BYTE(V);
        p[1] = BYTE(V >> 8);
        p[2] = BYTE(V >> 16);
        p[3] = 0;
        break;
    }
    }
}

// Mask of the meaningful bits of a raw value.
inline std::uint32_t RawMask(int BitCount) {
    if (BitCount >= 24)
        return 0xFFFFFFu;
    if (BitCount == 16)
        return 0x7FFFu;
    return (1u << BitCount) - 1u;
}

inline COLORREF BgrToColor(std::uint32_t Bgr) {
    return ((Bgr & 0xFF) << 16) | (Bgr & 0xFF00) | ((Bgr >> 16) & 0xFF);
}
inline std::uint32_t ColorToBgr(COLORREF C) {
    return BgrToColor(C);
} // the swap is symmetric

inline COLORREF Rgb555ToColor(std::uint32_t V) {
    auto expand = [](std::uint32_t C5) { return (C5 << 3) | (C5 >> 2); };
    return RGB(BYTE(expand((V >> 10) & 31)), BYTE(expand((V >> 5) & 31)), BYTE(expand(V & 31)));
}
inline std::uint32_t ColorTo555(COLORREF C) {
    return ((GetRValue(C) >> 3) << 10) | ((GetGValue(C) >> 3) << 5) | (GetBValue(C) >> 3);
}

// The colour of a raw value; monochrome device pixels are black (0) or white (1), and indices
// beyond the colour table read as black.
COLORREF RawToColor(const TBitmapBits& S, std::uint32_t Raw);
// The raw value nearest to a colour: the closest table entry for indexed formats (lowest index
// on ties), white or black by brightness for monochrome device bitmaps.
std::uint32_t ColorToRaw(const TBitmapBits& S, COLORREF Color);
// Index of the entry nearest to the colour by squared RGB distance, lowest index on ties.
int NearestIndex(const RGBQUAD* Colors, int Count, COLORREF Color);

// Device pixels a context's output may touch: the bitmap, narrowed by the clip rectangle.
RECT DeviceClip(const TGdiDC& Dc);
// Logical to device coordinates.
inline LONG DevX(const TGdiDC& Dc, LONG X) {
    return X + Dc.State.ViewportOrg.x;
}
inline LONG DevY(const TGdiDC& Dc, LONG Y) {
    return Y + Dc.State.ViewportOrg.y;
}
RECT Intersect(const RECT& A, const RECT& B);
inline bool IsEmpty(const RECT& R) {
    return R.right <= R.left || R.bottom <= R.top;
}

// Fills a device rectangle (already clipped) with a colour.
void FillDeviceRect(const TGdiDC& Dc, const RECT& Device, COLORREF Color);
// Fills a logical rectangle, clipped, with a colour.
void FillLogicalRect(const TGdiDC& Dc, const RECT& Logical, COLORREF Color);

} // namespace gdi_detail
} // namespace zorbalin

namespace zorbalin {
namespace gdi_detail {

// A new bitmap with zeroed pixels, or null when the size is negative, the row or the total would
// overflow, the memory would pass the 2 GiB limit, or memory is not available.
TGdiBitmap* NewBitmap(LONG Width, LONG Height, int BitCount, bool TopDown, bool IsDib);

// The default colour table of a bit count: black/white for 1, the 16 VGA colours for 4, the
// halftone palette for 8. Returns the number of entries written.
int DefaultColorTable(int BitCount, RGBQUAD* Table);
// The 256 entries of the halftone palette.
const PALETTEENTRY* HalftoneEntries();

// One blit between two pixel views. The destination rectangle (dx, dy, dw, dh) and the clip are
// in destination pixels, the source rectangle in source pixels; negative extents mirror.
struct TBlitParams {
    TBitmapBits Dst;
    RECT DstClip{};
    LONG Dx = 0, Dy = 0, Dw = 0, Dh = 0;
    const TBitmapBits* Src = nullptr; // null for operations without a source
    LONG Sx = 0, Sy = 0, Sw = 0, Sh = 0;
    COLORREF SrcBk = RGB(255, 255, 255); // colour -> monochrome: this colour gives 1
    COLORREF DstBk = RGB(255, 255, 255); // monochrome -> colour: 1 gives this
    COLORREF DstText = RGB(0, 0, 0);     // monochrome -> colour: 0 gives this
    DWORD Rop = SRCCOPY;
    // Keeps to the general per-pixel copy even where a straight row copy applies; the tests
    // compare the two.
    bool PlainOnly = false;
};
// Returns false for an unknown raster operation.
bool RunBlit(const TBlitParams& P);

// A view of caller-owned DIB memory described by `info` (BI_RGB only); false when invalid.
bool DibSurface(const BITMAPINFO* Info, const void* Bits, TBitmapBits& Out);

} // namespace gdi_detail
} // namespace zorbalin
