// Bitmaps: creation in every format, their description, pixel read-back and single pixels.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gdi/gdi.h"
#include "gdi/pixels.h"
#include "gdi/zeroed_memory.h"

namespace zorbalin {

using namespace gdi_detail;

namespace {

constexpr std::int64_t kMaxPixelBytes = std::int64_t(2) << 30;

bool ValidDibBitCount(int bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

// Copies the DIB's colour table (biClrUsed entries, all 2^n when 0) into the bitmap.
bool TakeColorTable(const BITMAPINFO* info, TGdiBitmap& b) {
    if (b.bitCount > 8)
        return true;
    DWORD max = 1u << b.bitCount;
    DWORD used = info->bmiHeader.biClrUsed ? info->bmiHeader.biClrUsed : max;
    if (used > max)
        return false;
    std::copy_n(info->bmiColors, used, b.colors);
    b.colorCount = static_cast<int>(used);
    return true;
}

// The device position of a context's logical point, when the context holds a bitmap and the
// point lies inside its clip.
bool PixelInClip(HDC hdc, int x, int y, POINT& device) {
    if (!hdc || !hdc->bitmap)
        return false;
    device = {DevX(*hdc, x), DevY(*hdc, y)};
    const RECT clip = DeviceClip(*hdc);
    return device.x >= clip.left && device.x < clip.right && device.y >= clip.top &&
           device.y < clip.bottom;
}

} // namespace

namespace gdi_detail {

TGdiBitmap* NewBitmap(LONG width, LONG height, int bitCount, bool topDown, bool isDib) {
    if (width < 0 || height < 0)
        return nullptr;
    std::int64_t stride = ((std::int64_t(bitCount) * width + 31) / 32) * 4;
    std::int64_t total = stride * height;
    if (stride > 0x7FFFFFFF || total > kMaxPixelBytes)
        return nullptr;
    BYTE* bits = nullptr;
    if (total > 0) {
        // Untouched pages stay the system's zero pages: a large bitmap costs memory
        // only where it is drawn on.
        bits = static_cast<BYTE*>(AllocateZeroed(static_cast<std::size_t>(total)));
        if (!bits)
            return nullptr;
    }
    auto* b = new TGdiBitmap();
    b->width = width;
    b->height = height;
    b->bitCount = bitCount;
    b->stride = static_cast<LONG>(stride);
    b->topDown = topDown;
    b->isDib = isDib;
    b->bits = bits;
    return b;
}

bool DibSurface(const BITMAPINFO* info, const void* bits, TBitmapBits& out) {
    if (!info || !bits)
        return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
        return false;
    if (!ValidDibBitCount(h.biBitCount) || h.biCompression != BI_RGB)
        return false;
    out = TBitmapBits();
    out.bits = static_cast<BYTE*>(const_cast<void*>(bits));
    out.width = h.biWidth;
    out.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    out.topDown = h.biHeight < 0;
    out.bitCount = h.biBitCount;
    std::int64_t stride = ((std::int64_t(h.biBitCount) * h.biWidth + 31) / 32) * 4;
    if (stride > 0x7FFFFFFF)
        return false;
    out.stride = static_cast<LONG>(stride);
    if (h.biBitCount <= 8) {
        DWORD max = 1u << h.biBitCount;
        DWORD used = h.biClrUsed ? h.biClrUsed : max;
        if (used > max)
            return false;
        out.colors = info->bmiColors;
        out.colorCount = static_cast<int>(used);
    }
    return true;
}

} // namespace gdi_detail

LONG DibStride(LONG width, int bitCount) {
    return static_cast<LONG>(((std::int64_t(bitCount) * width + 31) / 32) * 4);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
    if (planes != 1 || (bitCount != 1 && bitCount != 32))
        return nullptr;
    TGdiBitmap* b = NewBitmap(width, height, static_cast<int>(bitCount), true, false);
    if (!b || !bits)
        return b;
    // The caller's rows are padded to 2 bytes only.
    std::size_t srcStride = ((std::size_t(bitCount) * width + 15) / 16) * 2;
    const BYTE* src = static_cast<const BYTE*>(bits);
    for (LONG y = 0; y < b->height; ++y)
        std::memcpy(b->Row(y), src + srcStride * y, std::min<std::size_t>(srcStride, b->stride));
    if (bitCount == 32)
        for (LONG y = 0; y < b->height; ++y)
            for (LONG x = 0; x < b->width; ++x)
                b->Row(y)[4 * x + 3] = 0;
    return b;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    bool mono = hdc && hdc->bitmap && hdc->bitmap->IsMonochromeDevice();
    return NewBitmap(width, height, mono ? 1 : 32, true, false);
}

HBITMAP CreateDIBitmap(HDC, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
    if (!header || header->biHeight == INT32_MIN)
        return nullptr;
    LONG height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    TGdiBitmap* b = NewBitmap(header->biWidth, height, 32, true, false);
    if (!b || !(init & CBM_INIT))
        return b;
    TBitmapBits src;
    if (usage != DIB_RGB_COLORS || !DibSurface(info, bits, src)) {
        delete b;
        return nullptr;
    }
    TBlitParams p;
    p.dst = BitsOf(*b);
    p.dstClip = {0, 0, b->width, b->height};
    p.dw = b->width;
    p.dh = b->height;
    p.src = &src;
    p.sw = src.width;
    p.sh = src.height;
    RunBlit(p);
    return b;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD offset) {
    if (bits)
        *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS || section || offset)
        return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
        return nullptr;
    if (!ValidDibBitCount(h.biBitCount) || h.biCompression != BI_RGB)
        return nullptr;
    LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    TGdiBitmap* b = NewBitmap(h.biWidth, height, h.biBitCount, h.biHeight < 0, true);
    if (!b)
        return nullptr;
    if (!TakeColorTable(info, *b)) {
        delete b;
        return nullptr;
    }
    if (bits)
        *bits = b->bits;
    return b;
}

int GetObject(HGDIOBJ obj, int size, void* out) {
    if (!obj || !out || size <= 0)
        return 0;
    if (obj->Type() == TGdiObjectType::Palette) {
        if (size < static_cast<int>(sizeof(WORD)))
            return 0;
        WORD count = static_cast<WORD>(static_cast<HPALETTE>(obj)->entries.size());
        std::memcpy(out, &count, sizeof count);
        return sizeof(WORD);
    }
    if (obj->Type() != TGdiObjectType::Bitmap)
        return 0;
    const TGdiBitmap& b = *static_cast<HBITMAP>(obj);
    BITMAP bm;
    bm.bmWidth = b.width;
    bm.bmHeight = b.height;
    bm.bmWidthBytes = b.isDib ? b.stride : ((b.width * b.bitCount + 15) / 16) * 2;
    bm.bmBitsPixel = static_cast<WORD>(b.bitCount);
    bm.bmBits = b.isDib ? b.bits : nullptr;
    if (b.isDib && size >= static_cast<int>(sizeof(DIBSECTION))) {
        DIBSECTION ds;
        ds.dsBm = bm;
        ds.dsBmih.biWidth = b.width;
        ds.dsBmih.biHeight = b.topDown ? -b.height : b.height;
        ds.dsBmih.biBitCount = static_cast<WORD>(b.bitCount);
        ds.dsBmih.biSizeImage = static_cast<DWORD>(b.stride) * static_cast<DWORD>(b.height);
        ds.dsBmih.biClrUsed = static_cast<DWORD>(b.colorCount);
        std::memcpy(out, &ds, sizeof ds);
        return sizeof(DIBSECTION);
    }
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    std::memcpy(out, &bm, sizeof bm);
    return sizeof(BITMAP);
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage) {
    (void)hdc; // reading never disturbs a context, so the bitmap may be selected anywhere
    if (!bitmap || !info || usage != DIB_RGB_COLORS)
        return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (!bits && h.biBitCount == 0) {
        h = BITMAPINFOHEADER();
        h.biWidth = bitmap->width;
        h.biHeight = bitmap->height;
        h.biBitCount = static_cast<WORD>(bitmap->bitCount);
        h.biSizeImage =
            static_cast<DWORD>(DibStride(bitmap->width, bitmap->bitCount) * bitmap->height);
        return bitmap->height > 0 ? bitmap->height : 1;
    }
    if (!ValidDibBitCount(h.biBitCount) || h.biCompression != BI_RGB || h.biWidth <= 0 ||
        h.biHeight == 0 || h.biHeight == INT32_MIN)
        return 0;
    const TBitmapBits src = BitsOf(*bitmap);
    // The colour table of the result.
    if (h.biBitCount <= 8) {
        if (bitmap->isDib && bitmap->bitCount == h.biBitCount) {
            std::copy_n(bitmap->colors, bitmap->colorCount, info->bmiColors);
            std::fill(info->bmiColors + bitmap->colorCount, info->bmiColors + (1 << h.biBitCount),
                      RGBQUAD());
            h.biClrUsed = static_cast<DWORD>(bitmap->colorCount);
        } else {
            h.biClrUsed = static_cast<DWORD>(DefaultColorTable(h.biBitCount, info->bmiColors));
        }
    }
    if (!bits)
        return static_cast<int>(bitmap->height);
    LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (start >= static_cast<UINT>(src.height))
        return 0;
    LONG count = static_cast<LONG>(std::min<UINT>(lines, static_cast<UINT>(src.height) - start));
    count = std::min<LONG>(count, height);
    TBitmapBits dst;
    if (!DibSurface(info, bits, dst))
        return 0;
    // Scan line k of a bottom-up result is the bitmap's row (height - 1 - k) from the top, and it
    // sits at row k from the bottom of the caller's buffer, which holds `count` rows.
    dst.height = count;
    TBlitParams p;
    p.dst = dst;
    p.dstClip = {0, 0, dst.width, count};
    p.dw = dst.width;
    p.dh = count;
    p.src = &src;
    p.sw = dst.width;
    p.sh = count;
    p.sy =
        h.biHeight > 0 ? src.height - static_cast<LONG>(start) - count : static_cast<LONG>(start);
    RunBlit(p);
    return count;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    POINT p;
    if (!PixelInClip(hdc, x, y, p))
        return CLR_INVALID;
    TBitmapBits s = BitsOf(*hdc->bitmap);
    return RawToColor(s, ReadRaw(s.Row(p.y), s.bitCount, p.x));
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    POINT p;
    if (!PixelInClip(hdc, x, y, p))
        return CLR_INVALID;
    TBitmapBits s = BitsOf(*hdc->bitmap);
    std::uint32_t raw = ColorToRaw(s, color & 0xFFFFFFu);
    WriteRaw(s.Row(p.y), s.bitCount, p.x, raw);
    return RawToColor(s, raw);
}

UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors) {
    if (!hdc || !hdc->bitmap || !colors || !hdc->bitmap->isDib)
        return 0;
    TGdiBitmap& b = *hdc->bitmap;
    if (b.bitCount > 8 || start >= static_cast<UINT>(b.colorCount))
        return 0;
    UINT n = std::min(count, static_cast<UINT>(b.colorCount) - start);
    std::copy_n(colors, n, b.colors + start);
    return n;
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
    if (!hdc || !hdc->bitmap || !colors || !hdc->bitmap->isDib)
        return 0;
    const TGdiBitmap& b = *hdc->bitmap;
    if (b.bitCount > 8 || start >= static_cast<UINT>(b.colorCount))
        return 0;
    UINT n = std::min(count, static_cast<UINT>(b.colorCount) - start);
    std::copy_n(b.colors + start, n, colors);
    return n;
}

} // namespace zorbalin
