// Raster operations between bitmaps: BitBlt, StretchBlt, StretchDIBits and the colour-keyed
// TransparentBlt, all through one blit routine.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

#include "gdi/gdi.h"
#include "gdi/pixels.h"

namespace zorbalin {

using namespace gdi_detail;

namespace {

enum class TRasterOp { Copy, NotCopy, And, Paint, Xor, DstInvert, Black, White };

bool OpOf(DWORD Rop, TRasterOp& Op) {
    switch (Rop) {
    case SRCCOPY:
        Op = TRasterOp::Copy;
        return true;
    case NOTSRCCOPY:
        Op = TRasterOp::NotCopy;
        return true;
    case SRCAND:
        Op = TRasterOp::And;
        return true;
    case SRCPAINT:
        Op = TRasterOp::Paint;
        return true;
    case SRCINVERT:
        Op = TRasterOp::Xor;
        return true;
    case DSTINVERT:
        Op = TRasterOp::DstInvert;
        return true;
    case BLACKNESS:
        Op = TRasterOp::Black;
        return true;
    case WHITENESS:
        Op = TRasterOp::White;
        return true;
    default:
        return false;
    }
}

bool NeedsSource(TRasterOp Op) {
    return Op <= TRasterOp::Xor;
}

// Which source pixel each destination pixel of a span takes: the nearest-pixel rule
// k * srcExtent / dstExtent, mirrored when asked; -1 where the source pixel lies outside.
std::vector<LONG> SampleTable(LONG First, LONG Last, LONG DstStart, LONG DstExtent, LONG SrcStart,
                              LONG SrcExtent, bool Mirror, LONG SrcLimit) {
    std::vector<LONG> table(static_cast<std::size_t>(Last - First));
    for (LONG d = First; d < Last; ++d) {
        std::int64_t i = d - DstStart;
        if (Mirror)
            i = DstExtent - 1 - i;
        std::int64_t s = SrcStart + i * SrcExtent / DstExtent;
        table[static_cast<std::size_t>(d - First)] =
            (s >= 0 && s < SrcLimit) ? static_cast<LONG>(s) : -1;
    }
    return table;
}

inline std::uint32_t Apply(TRasterOp Op, std::uint32_t S, std::uint32_t D, std::uint32_t Mask) {
    switch (Op) {
    case TRasterOp::Copy:
        return S;
    case TRasterOp::NotCopy:
        return ~S & Mask;
    case TRasterOp::And:
        return S & D;
    case TRasterOp::Paint:
        return S | D;
    case TRasterOp::Xor:
        return S ^ D;
    default:
        return D;
    }
}

bool SameTable(const TBitmapBits& A, const TBitmapBits& B) {
    if (A.MonoDevice || B.MonoDevice || A.BitCount != B.BitCount || A.ColorCount != B.ColorCount)
        return false;
    for (int i = 0; i < A.ColorCount; ++i) {
        const RGBQUAD &x = A.Colors[i], &y = B.Colors[i];
        if (x.rgbRed != y.rgbRed || x.rgbGreen != y.rgbGreen || x.rgbBlue != y.rgbBlue)
            return false;
    }
    return true;
}

// Turns source raw values into destination raw values under the conversion rules.
class TConverter {
  public:
    explicit TConverter(const TBlitParams& P) : FP(P) {
        const TBitmapBits& s = *P.Src;
        const TBitmapBits& d = P.Dst;
        if (s.Indexed()) {
            bool identity = (s.MonoDevice && d.MonoDevice) || SameTable(s, d);
            for (std::uint32_t k = 0; k < (1u << s.BitCount); ++k) {
                if (identity) {
                    FLut[k] = k;
                } else if (s.MonoDevice) {
                    FLut[k] = FromColor(k ? P.DstBk : P.DstText, /*fromMonoDevice=*/true);
                } else {
                    FLut[k] = FromColor(RawToColor(s, k), false);
                }
            }
            FMode = TMode::Lookup;
        } else if (s.BitCount >= 24 && d.BitCount >= 24) {
            FMode = TMode::Same;
        } else {
            FMode = TMode::ByColor;
        }
    }

    std::uint32_t operator()(std::uint32_t Raw) {
        switch (FMode) {
        case TMode::Lookup:
            return FLut[Raw & 0xFF];
        case TMode::Same:
            return Raw;
        default:
            break;
        }
        auto hit = FCache.find(Raw);
        if (hit != FCache.end())
            return hit->second;
        std::uint32_t v = FromColor(RawToColor(*FP.Src, Raw), false);
        if (FCache.size() < 4096)
            FCache.emplace(Raw, v);
        return v;
    }

  private:
    enum class TMode { Lookup, Same, ByColor };

    std::uint32_t FromColor(COLORREF C, bool FromMonoDevice) const {
        // Colour -> monochrome: the source's background colour gives 1, any other colour 0.
        if (FP.Dst.MonoDevice && !FromMonoDevice)
            return C == (FP.SrcBk & 0xFFFFFFu) ? 1u : 0u;
        return ColorToRaw(FP.Dst, C);
    }

    const TBlitParams& FP;
    TMode FMode = TMode::ByColor;
    std::uint32_t FLut[256] = {};
    std::unordered_map<std::uint32_t, std::uint32_t> FCache;
};

void FillOp(const TBlitParams& P, const RECT& T, TRasterOp Op) {
    const TBitmapBits& d = P.Dst;
    std::uint32_t mask = RawMask(d.BitCount);
    std::uint32_t black = d.MonoDevice ? 0u : ColorToRaw(d, RGB(0, 0, 0));
    std::uint32_t white = d.MonoDevice ? 1u : ColorToRaw(d, RGB(255, 255, 255));
    for (LONG y = T.top; y < T.bottom; ++y) {
        BYTE* row = d.Row(y);
        for (LONG x = T.left; x < T.right; ++x) {
            std::uint32_t v = Op == TRasterOp::Black   ? black
                              : Op == TRasterOp::White ? white
                                                       : ~ReadRaw(row, d.BitCount, x) & mask;
            WriteRaw(row, d.BitCount, x, v);
        }
    }
}

// The common cases of the game: 24- or 32-bit colour copied onto 32-bit colour.
template <int SrcBytes>
void CopyToBgrx(const TBlitParams& P, const RECT& T, const std::vector<LONG>& Cols,
                const std::vector<LONG>& Rows) {
    for (LONG y = T.top; y < T.bottom; ++y) {
        LONG sy = Rows[static_cast<std::size_t>(y - T.top)];
        if (sy < 0)
            continue;
        const BYTE* src = P.Src->Row(sy);
        BYTE* dst = P.Dst.Row(y) + 4 * T.left;
        for (std::size_t i = 0; i < Cols.size(); ++i, dst += 4) {
            LONG sx = Cols[i];
            if (sx < 0)
                continue;
            const BYTE* from = src + SrcBytes * sx;
            if constexpr (SrcBytes == 4) {
                std::uint32_t v;
                std::memcpy(&v, from, 4);
                v &= 0x00FFFFFFu; // the fourth byte of a device pixel is always 0
                std::memcpy(dst, &v, 4);
            } else {
                dst[0] = from[0];
                dst[1] = from[1];
                dst[2] = from[2];
                dst[3] = 0;
            }
        }
    }
}

// Where the column table is one unbroken run of consecutive source columns (a same-width copy,
// neither stretched nor mirrored), the destination index its first entry has and how many
// entries it holds; entries outside the run must all be -1. False for any other table.
bool StraightRun(const std::vector<LONG>& Cols, std::size_t& First, std::size_t& Count) {
    std::size_t i = 0;
    while (i < Cols.size() && Cols[i] < 0)
        ++i;
    First = i;
    for (LONG next = i < Cols.size() ? Cols[i] : 0; i < Cols.size() && Cols[i] == next;
         ++i, ++next) {
    }
    Count = i - First;
    for (; i < Cols.size(); ++i)
        if (Cols[i] >= 0)
            return false;
    return Count > 0;
}

bool Overlap(const TBitmapBits& A, const TBitmapBits& B) {
    const BYTE* aEnd = A.Bits + std::size_t(A.Stride) * std::size_t(A.Height);
    const BYTE* bEnd = B.Bits + std::size_t(B.Stride) * std::size_t(B.Height);
    return A.Bits < bEnd && B.Bits < aEnd;
}

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
// Thirty-two bytes at a time; returns how many pixels it copied.
__attribute__((target("avx2"))) std::size_t CopyRunBgrxAvx2(BYTE* Dst, const BYTE* Src,
                                                            std::size_t Pixels) {
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    std::size_t i = 0;
    for (; i + 8 <= Pixels; i += 8) {
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + 4 * i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst + 4 * i), _mm256_and_si256(v, colour));
    }
    return i;
}

bool HasAvx2() {
    static const bool kHas = __builtin_cpu_supports("avx2");
    return kHas;
}
#endif

// One run of 32-bit pixels with the fourth byte cleared, as the per-pixel copy does, but at
// memory speed: sixteen or thirty-two bytes at a time where the processor allows.
void CopyRunBgrx(BYTE* Dst, const BYTE* Src, std::size_t Pixels) {
    std::size_t i = 0;
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
    if (HasAvx2())
        i = CopyRunBgrxAvx2(Dst, Src, Pixels);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    for (; i + 4 <= Pixels; i += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + 4 * i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + 4 * i), _mm_and_si128(v, colour));
    }
#endif
    for (; i < Pixels; ++i) {
        std::uint32_t v;
        std::memcpy(&v, Src + 4 * i, 4);
        v &= 0x00FFFFFFu;
        std::memcpy(Dst + 4 * i, &v, 4);
    }
}

// 32-bit onto 32-bit with a straight column table: each row is one run. Source and destination
// memory must not overlap, since the per-pixel copy's order would then show.
void CopyStraightBgrx(const TBlitParams& P, const RECT& T, std::size_t First, std::size_t Count,
                      LONG FirstSrcX, const std::vector<LONG>& Rows) {
    for (LONG y = T.top; y < T.bottom; ++y) {
        LONG sy = Rows[static_cast<std::size_t>(y - T.top)];
        if (sy < 0)
            continue;
        CopyRunBgrx(P.Dst.Row(y) + 4 * (std::size_t(T.left) + First),
                    P.Src->Row(sy) + 4 * std::size_t(FirstSrcX), Count);
    }
}

} // namespace

namespace gdi_detail {

bool RunBlit(const TBlitParams& P) {
    TRasterOp op;
    if (!OpOf(P.Rop, op))
        return false;
    bool withSource = NeedsSource(op);
    if (withSource && !P.Src)
        return false;
    if (!P.Dst.Bits)
        return true;
    LONG dx = P.Dx, dy = P.Dy, dw = P.Dw, dh = P.Dh;
    LONG sx = P.Sx, sy = P.Sy, sw = P.Sw, sh = P.Sh;
    bool mirrorX = false, mirrorY = false;
    if (dw < 0) {
        dx += dw;
        dw = -dw;
        mirrorX = !mirrorX;
    }
    if (dh < 0) {
        dy += dh;
        dh = -dh;
        mirrorY = !mirrorY;
    }
    if (sw < 0) {
        sx += sw;
        sw = -sw;
        mirrorX = !mirrorX;
    }
    if (sh < 0) {
        sy += sh;
        sh = -sh;
        mirrorY = !mirrorY;
    }
    if (dw == 0 || dh == 0 || (withSource && (sw == 0 || sh == 0)))
        return true;
    RECT t = Intersect(RECT{dx, dy, dx + dw, dy + dh}, P.DstClip);
    t = Intersect(t, RECT{0, 0, P.Dst.Width, P.Dst.Height});
    if (IsEmpty(t))
        return true;
    if (!withSource) {
        FillOp(P, t, op);
        return true;
    }
    if (!P.Src->Bits)
        return true;
    std::vector<LONG> cols = SampleTable(t.left, t.right, dx, dw, sx, sw, mirrorX, P.Src->Width);
    std::vector<LONG> rows = SampleTable(t.top, t.bottom, dy, dh, sy, sh, mirrorY, P.Src->Height);
    if (op == TRasterOp::Copy && P.Dst.BitCount == 32 && P.Src->BitCount == 32) {
        std::size_t first = 0, count = 0;
        if (!P.PlainOnly && StraightRun(cols, first, count) && !Overlap(P.Dst, *P.Src)) {
            CopyStraightBgrx(P, t, first, count, cols[first], rows);
            return true;
        }
        CopyToBgrx<4>(P, t, cols, rows);
        return true;
    }
    if (op == TRasterOp::Copy && P.Dst.BitCount == 32 && P.Src->BitCount == 24) {
        CopyToBgrx<3>(P, t, cols, rows);
        return true;
    }
    TConverter convert(P);
    const int sb = P.Src->BitCount, db = P.Dst.BitCount;
    const std::uint32_t mask = RawMask(db);
    const bool readsDest = op == TRasterOp::And || op == TRasterOp::Paint || op == TRasterOp::Xor;
    for (LONG y = t.top; y < t.bottom; ++y) {
        LONG srcY = rows[static_cast<std::size_t>(y - t.top)];
        if (srcY < 0)
            continue;
        const BYTE* srcRow = P.Src->Row(srcY);
        BYTE* dstRow = P.Dst.Row(y);
        for (LONG x = t.left; x < t.right; ++x) {
            LONG srcX = cols[static_cast<std::size_t>(x - t.left)];
            if (srcX < 0)
                continue;
            std::uint32_t s = convert(ReadRaw(srcRow, sb, srcX));
            std::uint32_t d = readsDest ? ReadRaw(dstRow, db, x) : 0;
            WriteRaw(dstRow, db, x, Apply(op, s, d, mask));
        }
    }
    return true;
}

} // namespace gdi_detail

namespace {

TBlitParams DestinationParams(HDC Dst, int X, int Y, int Width, int Height, DWORD Rop) {
    TBlitParams p;
    p.Dst = BitsOf(*Dst->Bitmap);
    p.DstClip = DeviceClip(*Dst);
    p.Dx = DevX(*Dst, X);
    p.Dy = DevY(*Dst, Y);
    p.Dw = Width;
    p.Dh = Height;
    p.DstBk = Dst->State.BkColor;
    p.DstText = Dst->State.TextColor;
    p.Rop = Rop;
    return p;
}

} // namespace

BOOL StretchBlt(HDC Dst, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc,
                int SrcWidth, int SrcHeight, DWORD Rop) {
    if (!Dst || !Dst->Bitmap)
        return FALSE;
    TBlitParams p = DestinationParams(Dst, X, Y, Width, Height, Rop);
    TBitmapBits source;
    if (Src && Src->Bitmap) {
        source = BitsOf(*Src->Bitmap);
        p.Src = &source;
        p.Sx = DevX(*Src, XSrc);
        p.Sy = DevY(*Src, YSrc);
        p.Sw = SrcWidth;
        p.Sh = SrcHeight;
        p.SrcBk = Src->State.BkColor;
    }
    return RunBlit(p) ? TRUE : FALSE;
}

BOOL BitBlt(HDC Dst, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, DWORD Rop) {
    return StretchBlt(Dst, X, Y, Width, Height, Src, XSrc, YSrc, Width, Height, Rop);
}

int StretchDIBits(HDC Dst, int X, int Y, int Width, int Height, int XSrc, int YSrc, int SrcWidth,
                  int SrcHeight, const void* Bits, const BITMAPINFO* Info, UINT Usage, DWORD Rop) {
    if (!Dst || !Dst->Bitmap || Usage != DIB_RGB_COLORS)
        return 0;
    TBitmapBits source;
    if (!DibSurface(Info, Bits, source))
        return 0;
    TBlitParams p = DestinationParams(Dst, X, Y, Width, Height, Rop);
    // A negative source extent mirrors, like a negative destination extent.
    if (SrcWidth < 0) {
        SrcWidth = -SrcWidth;
        p.Dw = -p.Dw;
    }
    if (SrcHeight < 0) {
        SrcHeight = -SrcHeight;
        p.Dh = -p.Dh;
    }
    p.Src = &source;
    p.Sx = XSrc;
    p.Sw = SrcWidth;
    p.Sh = SrcHeight;
    // The source rectangle of a bottom-up DIB is measured from its bottom row.
    p.Sy = source.TopDown ? YSrc : source.Height - YSrc - SrcHeight;
    if (!RunBlit(p))
        return 0;
    return SrcHeight;
}

BOOL TransparentBlt(HDC Dst, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc,
                    int SrcWidth, int SrcHeight, COLORREF Key) {
    if (!Dst || !Dst->Bitmap || !Src || !Src->Bitmap || Width <= 0 || Height <= 0 ||
        SrcWidth <= 0 || SrcHeight <= 0)
        return FALSE;
    const TBitmapBits s = BitsOf(*Src->Bitmap);
    const TBitmapBits d = BitsOf(*Dst->Bitmap);
    LONG dx = DevX(*Dst, X), dy = DevY(*Dst, Y);
    RECT t = Intersect(RECT{dx, dy, dx + Width, dy + Height}, DeviceClip(*Dst));
    if (IsEmpty(t))
        return TRUE;
    std::vector<LONG> cols =
        SampleTable(t.left, t.right, dx, Width, DevX(*Src, XSrc), SrcWidth, false, s.Width);
    std::vector<LONG> rows =
        SampleTable(t.top, t.bottom, dy, Height, DevY(*Src, YSrc), SrcHeight, false, s.Height);
    Key &= 0xFFFFFFu;
    for (LONG row = t.top; row < t.bottom; ++row) {
        LONG sy = rows[static_cast<std::size_t>(row - t.top)];
        if (sy < 0)
            continue;
        const BYTE* srcRow = s.Row(sy);
        BYTE* dstRow = d.Row(row);
        for (LONG col = t.left; col < t.right; ++col) {
            LONG sx = cols[static_cast<std::size_t>(col - t.left)];
            if (sx < 0)
                continue;
            std::uint32_t raw = ReadRaw(srcRow, s.BitCount, sx);
            COLORREF c = s.MonoDevice ? (raw ? Dst->State.BkColor : Dst->State.TextColor)
                                      : RawToColor(s, raw);
            if (c != Key)
                WriteRaw(dstRow, d.BitCount, col, ColorToRaw(d, c));
        }
    }
    return TRUE;
}

} // namespace zorbalin
