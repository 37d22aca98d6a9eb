// Reading and writing single pixels of any bitmap format, and turning colours into a format's
// raw pixel values. Internal to the graphics layer.
#pragma once

#include <cstdint>

#include "gdi/objects.h"

namespace zorbalin {
namespace gdi_detail {

// A view of pixel memory in one of the layer's formats.
struct TBitmapBits {
    BYTE* bits = nullptr;
    LONG width = 0;
    LONG height = 0;
    LONG stride = 0;
    int bitCount = 0;
    bool topDown = true;
    bool monoDevice = false; // 1-bit device bitmap: the context colours, not a table, map it
    const RGBQUAD* colors = nullptr;
    int colorCount = 0;

    BYTE* Row(LONG y) const { return bits + stride * (topDown ? y : height - 1 - y); }
    bool Indexed() const { return bitCount <= 8; }
};

TBitmapBits BitsOf(const TGdiBitmap& bitmap);

// Raw values: the index for 1/4/8 bits, the 5-5-5 word for 16 bits, and for 24/32 bits the
// bytes blue, green, red as blue | green << 8 | red << 16.
inline std::uint32_t ReadRaw(const BYTE* row, int bitCount, LONG x) {
    switch (bitCount) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    case 8:
        return row[x];
    case 16:
        return row[2 * x] | (std::uint32_t(row[2 * x + 1]) << 8);
    case 24: {
        const BYTE* p = row + 3 * x;
        return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
    }
    default: {
        const BYTE* p = row + 4 * x;
        return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
    }
    }
}

inline void WriteRaw(BYTE* row, int bitCount, LONG x, std::uint32_t v) {
    switch (bitCount) {
    case 1: {
        BYTE mask = BYTE(0x80u >> (x & 7));
        row[x >> 3] = BYTE((row[x >> 3] & ~mask) | (v & 1u ? mask : 0));
        break;
    }
    case 4:
        if (x & 1)
            row[x >> 1] = BYTE((row[x >> 1] & 0xF0) | (v & 0x0F));
        else
            row[x >> 1] = BYTE((row[x >> 1] & 0x0F) | ((v & 0x0F) << 4));
        break;
    case 8:
        row[x] = BYTE(v);
        break;
    case 16:
        row[2 * x] = BYTE(v);
        row[2 * x + 1] = BYTE((v >> 8) & 0x7F);
        break;
    case 24: {
        BYTE* p = row + 3 * x;
        p[0] = BYTE(v);
        p[1] = BYTE(v >> 8);
        p[2] = BYTE(v >> 16);
        break;
    }
    default: {
        BYTE* p = row + 4 * x;
        p[0] = BYTE(v);
        p[1] = BYTE(v >> 8);
        p[2] = BYTE(v >> 16);
        p[3] = 0;
        break;
    }
    }
}

// Mask of the meaningful bits of a raw value.
inline std::uint32_t RawMask(int bitCount) {
    if (bitCount >= 24)
        return 0xFFFFFFu;
    if (bitCount == 16)
        return 0x7FFFu;
    return (1u << bitCount) - 1u;
}

inline COLORREF BgrToColor(std::uint32_t bgr) {
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}
inline std::uint32_t ColorToBgr(COLORREF c) {
    return BgrToColor(c);
} // the swap is symmetric

inline COLORREF Rgb555ToColor(std::uint32_t v) {
    auto expand = [](std::uint32_t c5) { return (c5 << 3) | (c5 >> 2); };
    return RGB(BYTE(expand((v >> 10) & 31)), BYTE(expand((v >> 5) & 31)), BYTE(expand(v & 31)));
}
inline std::uint32_t ColorTo555(COLORREF c) {
    return ((GetRValue(c) >> 3) << 10) | ((GetGValue(c) >> 3) << 5) | (GetBValue(c) >> 3);
}

// The colour of a raw value; monochrome device pixels are black (0) or white (1), and indices
// beyond the colour table read as black.
COLORREF RawToColor(const TBitmapBits& s, std::uint32_t raw);
// The raw value nearest to a colour: the closest table entry for indexed formats (lowest index
// on ties), white or black by brightness for monochrome device bitmaps.
std::uint32_t ColorToRaw(const TBitmapBits& s, COLORREF color);
// Index of the entry nearest to the colour by squared RGB distance, lowest index on ties.
int NearestIndex(const RGBQUAD* colors, int count, COLORREF color);

// Device pixels a context's output may touch: the bitmap, narrowed by the clip rectangle.
RECT DeviceClip(const TGdiDC& dc);
// Logical to device coordinates.
inline LONG DevX(const TGdiDC& dc, LONG x) {
    return x + dc.state.viewportOrg.x;
}
inline LONG DevY(const TGdiDC& dc, LONG y) {
    return y + dc.state.viewportOrg.y;
}
RECT Intersect(const RECT& a, const RECT& b);
inline bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// Fills a device rectangle (already clipped) with a colour.
void FillDeviceRect(const TGdiDC& dc, const RECT& device, COLORREF color);
// Fills a logical rectangle, clipped, with a colour.
void FillLogicalRect(const TGdiDC& dc, const RECT& logical, COLORREF color);

} // namespace gdi_detail
} // namespace zorbalin

namespace zorbalin {
namespace gdi_detail {

// A new bitmap with zeroed pixels, or null when the size is negative, the row or the total would
// overflow, the memory would pass the 2 GiB limit, or memory is not available.
TGdiBitmap* NewBitmap(LONG width, LONG height, int bitCount, bool topDown, bool isDib);

// The default colour table of a bit count: black/white for 1, the 16 VGA colours for 4, the
// halftone palette for 8. Returns the number of entries written.
int DefaultColorTable(int bitCount, RGBQUAD* table);
// The 256 entries of the halftone palette.
const PALETTEENTRY* HalftoneEntries();

// One blit between two pixel views. The destination rectangle (dx, dy, dw, dh) and the clip are
// in destination pixels, the source rectangle in source pixels; negative extents mirror.
struct TBlitParams {
    TBitmapBits dst;
    RECT dstClip{};
    LONG dx = 0, dy = 0, dw = 0, dh = 0;
    const TBitmapBits* src = nullptr; // null for operations without a source
    LONG sx = 0, sy = 0, sw = 0, sh = 0;
    COLORREF srcBk = RGB(255, 255, 255); // colour -> monochrome: this colour gives 1
    COLORREF dstBk = RGB(255, 255, 255); // monochrome -> colour: 1 gives this
    COLORREF dstText = RGB(0, 0, 0);     // monochrome -> colour: 0 gives this
    DWORD rop = SRCCOPY;
    // Keeps to the general per-pixel copy even where a straight row copy applies; the tests
    // compare the two.
    bool plainOnly = false;
};
// Returns false for an unknown raster operation.
bool RunBlit(const TBlitParams& p);

// A view of caller-owned DIB memory described by `info` (BI_RGB only); false when invalid.
bool DibSurface(const BITMAPINFO* info, const void* bits, TBitmapBits& out);

} // namespace gdi_detail
} // namespace zorbalin
