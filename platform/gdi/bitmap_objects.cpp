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

bool ValidDibBitCount(int BitCount) {
    return BitCount == 1 || BitCount == 4 || BitCount == 8 || BitCount == 16 || BitCount == 24 ||
           BitCount == 32;
}

// Copies the DIB's colour table (biClrUsed entries, all 2^n when 0) into the bitmap.
bool TakeColorTable(const BITMAPINFO* Info, TGdiBitmap& B) {
    if (B.BitCount > 8)
        return true;
    DWORD max = 1u << B.BitCount;
    DWORD used = Info->bmiHeader.biClrUsed ? Info->bmiHeader.biClrUsed : max;
    if (used > max)
        return false;
    std::copy_n(Info->bmiColors, used, B.Colors);
    B.ColorCount = static_cast<int>(used);
    return true;
}

// The device position of a context's logical point, when the context holds a bitmap and the
// point lies inside its clip.
bool PixelInClip(HDC Hdc, int X, int Y, POINT& Device) {
    if (!Hdc || !Hdc->Bitmap)
        return false;
    Device = {DevX(*Hdc, X), DevY(*Hdc, Y)};
    const RECT clip = DeviceClip(*Hdc);
    return Device.x >= clip.left && Device.x < clip.right && Device.y >= clip.top &&
           Device.y < clip.bottom;
}

} // namespace

namespace gdi_detail {

TGdiBitmap* NewBitmap(LONG Width, LONG Height, int BitCount, bool TopDown, bool IsDib) {
    if (Width < 0 || Height < 0)
        return nullptr;
    std::int64_t stride = ((std::int64_t(BitCount) * Width + 31) / 32) * 4;
    std::int64_t total = stride * Height;
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
    b->Width = Width;
    b->Height = Height;
    b->BitCount = BitCount;
    b->Stride = static_cast<LONG>(stride);
    b->TopDown = TopDown;
    b->IsDib = IsDib;
    b->Bits = bits;
    return b;
}

bool DibSurface(const BITMAPINFO* Info, const void* Bits, TBitmapBits& Out) {
    if (!Info || !Bits)
        return false;
    const BITMAPINFOHEADER& h = Info->bmiHeader;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
        return false;
    if (!ValidDibBitCount(h.biBitCount) || h.biCompression != BI_RGB)
        return false;
    Out = TBitmapBits();
    Out.Bits = static_cast<BYTE*>(const_cast<void*>(Bits));
    Out.Width = h.biWidth;
    Out.Height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    Out.TopDown = h.biHeight < 0;
    Out.BitCount = h.biBitCount;
    std::int64_t stride = ((std::int64_t(h.biBitCount) * h.biWidth + 31) / 32) * 4;
    if (stride > 0x7FFFFFFF)
        return false;
    Out.Stride = static_cast<LONG>(stride);
    if (h.biBitCount <= 8) {
        DWORD max = 1u << h.biBitCount;
        DWORD used = h.biClrUsed ? h.biClrUsed : max;
        if (used > max)
            return false;
        Out.Colors = Info->bmiColors;
        Out.ColorCount = static_cast<int>(used);
    }
    return true;
}

} // namespace gdi_detail

LONG DibStride(LONG Width, int BitCount) {
    return static_cast<LONG>(((std::int64_t(BitCount) * Width + 31) / 32) * 4);
}

HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitCount, const void* Bits) {
    if (Planes != 1 || (BitCount != 1 && BitCount != 32))
        return nullptr;
    TGdiBitmap* b = NewBitmap(Width, Height, static_cast<int>(BitCount), true, false);
    if (!b || !Bits)
        return b;
    // The caller's rows are padded to 2 bytes only.
    std::size_t srcStride = ((std::size_t(BitCount) * Width + 15) / 16) * 2;
    const BYTE* src = static_cast<const BYTE*>(Bits);
    for (LONG y = 0; y < b->Height; ++y)
        std::memcpy(b->Row(y), src + srcStride * y, std::min<std::size_t>(srcStride, b->Stride));
    if (BitCount == 32)
        for (LONG y = 0; y < b->Height; ++y)
            for (LONG x = 0; x < b->Width; ++x)
                b->Row(y)[4 * x + 3] = 0;
    return b;
}

HBITMAP CreateCompatibleBitmap(HDC Hdc, int Width, int Height) {
    bool mono = Hdc && Hdc->Bitmap && Hdc->Bitmap->IsMonochromeDevice();
    return NewBitmap(Width, Height, mono ? 1 : 32, true, false);
}

HBITMAP CreateDIBitmap(HDC, const BITMAPINFOHEADER* Header, DWORD Init, const void* Bits,
                       const BITMAPINFO* Info, UINT Usage) {
    if (!Header || Header->biHeight == INT32_MIN)
        return nullptr;
    LONG height = Header->biHeight < 0 ? -Header->biHeight : Header->biHeight;
    TGdiBitmap* b = NewBitmap(Header->biWidth, height, 32, true, false);
    if (!b || !(Init & CBM_INIT))
        return b;
    TBitmapBits src;
    if (Usage != DIB_RGB_COLORS || !DibSurface(Info, Bits, src)) {
        delete b;
        return nullptr;
    }
    TBlitParams p;
    p.Dst = BitsOf(*b);
    p.DstClip = {0, 0, b->Width, b->Height};
    p.Dw = b->Width;
    p.Dh = b->Height;
    p.Src = &src;
    p.Sw = src.Width;
    p.Sh = src.Height;
    RunBlit(p);
    return b;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* Info, UINT Usage, void** Bits, void* Section,
                         DWORD Offset) {
    if (Bits)
        *Bits = nullptr;
    if (!Info || Usage != DIB_RGB_COLORS || Section || Offset)
        return nullptr;
    const BITMAPINFOHEADER& h = Info->bmiHeader;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
        return nullptr;
    if (!ValidDibBitCount(h.biBitCount) || h.biCompression != BI_RGB)
        return nullptr;
    LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    TGdiBitmap* b = NewBitmap(h.biWidth, height, h.biBitCount, h.biHeight < 0, true);
    if (!b)
        return nullptr;
    if (!TakeColorTable(Info, *b)) {
        delete b;
        return nullptr;
    }
    if (Bits)
        *Bits = b->Bits;
    return b;
}

int GetObject(HGDIOBJ Obj, int Size, void* Out) {
    if (!Obj || !Out || Size <= 0)
        return 0;
    if (Obj->Type() == TGdiObjectType::Palette) {
        if (Size < static_cast<int>(sizeof(WORD)))
            return 0;
        WORD count = static_cast<WORD>(static_cast<HPALETTE>(Obj)->Entries.size());
        std::memcpy(Out, &count, sizeof count);
        return sizeof(WORD);
    }
    if (Obj->Type() != TGdiObjectType::Bitmap)
        return 0;
    const TGdiBitmap& b = *static_cast<HBITMAP>(Obj);
    BITMAP bm;
    bm.bmWidth = b.Width;
    bm.bmHeight = b.Height;
    bm.bmWidthBytes = b.IsDib ? b.Stride : ((b.Width * b.BitCount + 15) / 16) * 2;
    bm.bmBitsPixel = static_cast<WORD>(b.BitCount);
    bm.bmBits = b.IsDib ? b.Bits : nullptr;
    if (b.IsDib && Size >= static_cast<int>(sizeof(DIBSECTION))) {
        DIBSECTION ds;
        ds.dsBm = bm;
        ds.dsBmih.biWidth = b.Width;
        ds.dsBmih.biHeight = b.TopDown ? -b.Height : b.Height;
        ds.dsBmih.biBitCount = static_cast<WORD>(b.BitCount);
        ds.dsBmih.biSizeImage = static_cast<DWORD>(b.Stride) * static_cast<DWORD>(b.Height);
        ds.dsBmih.biClrUsed = static_cast<DWORD>(b.ColorCount);
        std::memcpy(Out, &ds, sizeof ds);
        return sizeof(DIBSECTION);
    }
    if (Size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    std::memcpy(Out, &bm, sizeof bm);
    return sizeof(BITMAP);
}

int GetDIBits(HDC Hdc, HBITMAP Bitmap, UINT Start, UINT Lines, void* Bits, BITMAPINFO* Info,
              UINT Usage) {
    (void)Hdc; // reading never disturbs a context, so the bitmap may be selected anywhere
    if (!Bitmap || !Info || Usage != DIB_RGB_COLORS)
        return 0;
    BITMAPINFOHEADER& h = Info->bmiHeader;
    if (!Bits && h.biBitCount == 0) {
        h = BITMAPINFOHEADER();
        h.biWidth = Bitmap->Width;
        h.biHeight = Bitmap->Height;
        h.biBitCount = static_cast<WORD>(Bitmap->BitCount);
        h.biSizeImage =
            static_cast<DWORD>(DibStride(Bitmap->Width, Bitmap->BitCount) * Bitmap->Height);
        return Bitmap->Height > 0 ? Bitmap->Height : 1;
    }
    if (!ValidDibBitCount(h.biBitCount) || h.biCompression != BI_RGB || h.biWidth <= 0 ||
        h.biHeight == 0 || h.biHeight == INT32_MIN)
        return 0;
    const TBitmapBits src = BitsOf(*Bitmap);
    // The colour table of the result.
    if (h.biBitCount <= 8) {
        if (Bitmap->IsDib && Bitmap->BitCount == h.biBitCount) {
            std::copy_n(Bitmap->Colors, Bitmap->ColorCount, Info->bmiColors);
            std::fill(Info->bmiColors + Bitmap->ColorCount, Info->bmiColors + (1 << h.biBitCount),
                      RGBQUAD());
            h.biClrUsed = static_cast<DWORD>(Bitmap->ColorCount);
        } else {
            h.biClrUsed = static_cast<DWORD>(DefaultColorTable(h.biBitCount, Info->bmiColors));
        }
    }
    if (!Bits)
        return static_cast<int>(Bitmap->Height);
    LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (Start >= static_cast<UINT>(src.Height))
        return 0;
    LONG count = static_cast<LONG>(std::min<UINT>(Lines, static_cast<UINT>(src.Height) - Start));
    count = std::min<LONG>(count, height);
    TBitmapBits dst;
    if (!DibSurface(Info, Bits, dst))
        return 0;
    // Scan line k of a bottom-up result is the bitmap's row (height - 1 - k) from the top, and it
    // sits at row k from the bottom of the caller's buffer, which holds `count` rows.
    dst.Height = count;
    TBlitParams p;
    p.Dst = dst;
    p.DstClip = {0, 0, dst.Width, count};
    p.Dw = dst.Width;
    p.Dh = count;
    p.Src = &src;
    p.Sw = dst.Width;
    p.Sh = count;
    p.Sy =
        h.biHeight > 0 ? src.Height - static_cast<LONG>(Start) - count : static_cast<LONG>(Start);
    RunBlit(p);
    return count;
}

COLORREF GetPixel(HDC Hdc, int X, int Y) {
    POINT p;
    if (!PixelInClip(Hdc, X, Y, p))
        return CLR_INVALID;
    TBitmapBits s = BitsOf(*Hdc->Bitmap);
    return RawToColor(s, ReadRaw(s.Row(p.y), s.BitCount, p.x));
}

COLORREF SetPixel(HDC Hdc, int X, int Y, COLORREF Color) {
    POINT p;
    if (!PixelInClip(Hdc, X, Y, p))
        return CLR_INVALID;
    TBitmapBits s = BitsOf(*Hdc->Bitmap);
    std::uint32_t raw = ColorToRaw(s, Color & 0xFFFFFFu);
    WriteRaw(s.Row(p.y), s.BitCount, p.x, raw);
    return RawToColor(s, raw);
}

UINT SetDIBColorTable(HDC Hdc, UINT Start, UINT Count, const RGBQUAD* Colors) {
    if (!Hdc || !Hdc->Bitmap || !Colors || !Hdc->Bitmap->IsDib)
        return 0;
    TGdiBitmap& b = *Hdc->Bitmap;
    if (b.BitCount > 8 || Start >= static_cast<UINT>(b.ColorCount))
        return 0;
    UINT n = std::min(Count, static_cast<UINT>(b.ColorCount) - Start);
    std::copy_n(Colors, n, b.Colors + Start);
    return n;
}

UINT GetDIBColorTable(HDC Hdc, UINT Start, UINT Count, RGBQUAD* Colors) {
    if (!Hdc || !Hdc->Bitmap || !Colors || !Hdc->Bitmap->IsDib)
        return 0;
    const TGdiBitmap& b = *Hdc->Bitmap;
    if (b.BitCount > 8 || Start >= static_cast<UINT>(b.ColorCount))
        return 0;
    UINT n = std::min(Count, static_cast<UINT>(b.ColorCount) - Start);
    std::copy_n(b.Colors + Start, n, Colors);
    return n;
}

} // namespace zorbalin
