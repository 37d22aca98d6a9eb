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

bool OpOf(DWORD rop, TRasterOp& op) {
    switch (rop) {
    case SRCCOPY:
        op = TRasterOp::Copy;
        return true;
    case NOTSRCCOPY:
        op = TRasterOp::NotCopy;
        return true;
    case SRCAND:
        op = TRasterOp::And;
        return true;
    case SRCPAINT:
        op = TRasterOp::Paint;
        return true;
    case SRCINVERT:
        op = TRasterOp::Xor;
        return true;
    case DSTINVERT:
        op = TRasterOp::DstInvert;
        return true;
    case BLACKNESS:
        op = TRasterOp::Black;
        return true;
    case WHITENESS:
        op = TRasterOp::White;
        return true;
    default:
        return false;
    }
}

bool NeedsSource(TRasterOp op) {
    return op <= TRasterOp::Xor;
}

// Which source pixel each destination pixel of a span takes: the nearest-pixel rule
// k * srcExtent / dstExtent, mirrored when asked; -1 where the source pixel lies outside.
std::vector<LONG> SampleTable(LONG first, LONG last, LONG dstStart, LONG dstExtent, LONG srcStart,
                              LONG srcExtent, bool mirror, LONG srcLimit) {
    std::vector<LONG> table(static_cast<std::size_t>(last - first));
    for (LONG d = first; d < last; ++d) {
        std::int64_t i = d - dstStart;
        if (mirror)
            i = dstExtent - 1 - i;
        std::int64_t s = srcStart + i * srcExtent / dstExtent;
        table[static_cast<std::size_t>(d - first)] =
            (s >= 0 && s < srcLimit) ? static_cast<LONG>(s) : -1;
    }
    return table;
}

inline std::uint32_t Apply(TRasterOp op, std::uint32_t s, std::uint32_t d, std::uint32_t mask) {
    switch (op) {
    case TRasterOp::Copy:
        return s;
    case TRasterOp::NotCopy:
        return ~s & mask;
    case TRasterOp::And:
        return s & d;
    case TRasterOp::Paint:
        return s | d;
    case TRasterOp::Xor:
        return s ^ d;
    default:
        return d;
    }
}

bool SameTable(const TBitmapBits& a, const TBitmapBits& b) {
    if (a.monoDevice || b.monoDevice || a.bitCount != b.bitCount || a.colorCount != b.colorCount)
        return false;
    for (int i = 0; i < a.colorCount; ++i) {
        const RGBQUAD &x = a.colors[i], &y = b.colors[i];
        if (x.rgbRed != y.rgbRed || x.rgbGreen != y.rgbGreen || x.rgbBlue != y.rgbBlue)
            return false;
    }
    return true;
}

// Turns source raw values into destination raw values under the conversion rules.
class TConverter {
  public:
    explicit TConverter(const TBlitParams& p) : FP(p) {
        const TBitmapBits& s = *p.src;
        const TBitmapBits& d = p.dst;
        if (s.Indexed()) {
            bool identity = (s.monoDevice && d.monoDevice) || SameTable(s, d);
            for (std::uint32_t k = 0; k < (1u << s.bitCount); ++k) {
                if (identity) {
                    FLut[k] = k;
                } else if (s.monoDevice) {
                    FLut[k] = FromColor(k ? p.dstBk : p.dstText, /*fromMonoDevice=*/true);
                } else {
                    FLut[k] = FromColor(RawToColor(s, k), false);
                }
            }
            FMode = TMode::Lookup;
        } else if (s.bitCount >= 24 && d.bitCount >= 24) {
            FMode = TMode::Same;
        } else {
            FMode = TMode::ByColor;
        }
    }

    std::uint32_t operator()(std::uint32_t raw) {
        switch (FMode) {
        case TMode::Lookup:
            return FLut[raw & 0xFF];
        case TMode::Same:
            return raw;
        default:
            break;
        }
        auto hit = FCache.find(raw);
        if (hit != FCache.end())
            return hit->second;
        std::uint32_t v = FromColor(RawToColor(*FP.src, raw), false);
        if (FCache.size() < 4096)
            FCache.emplace(raw, v);
        return v;
    }

  private:
    enum class TMode { Lookup, Same, ByColor };

    std::uint32_t FromColor(COLORREF c, bool fromMonoDevice) const {
        // Colour -> monochrome: the source's background colour gives 1, any other colour 0.
        if (FP.dst.monoDevice && !fromMonoDevice)
            return c == (FP.srcBk & 0xFFFFFFu) ? 1u : 0u;
        return ColorToRaw(FP.dst, c);
    }

    const TBlitParams& FP;
    TMode FMode = TMode::ByColor;
    std::uint32_t FLut[256] = {};
    std::unordered_map<std::uint32_t, std::uint32_t> FCache;
};

void FillOp(const TBlitParams& p, const RECT& t, TRasterOp op) {
    const TBitmapBits& d = p.dst;
    std::uint32_t mask = RawMask(d.bitCount);
    std::uint32_t black = d.monoDevice ? 0u : ColorToRaw(d, RGB(0, 0, 0));
    std::uint32_t white = d.monoDevice ? 1u : ColorToRaw(d, RGB(255, 255, 255));
    for (LONG y = t.top; y < t.bottom; ++y) {
        BYTE* row = d.Row(y);
        for (LONG x = t.left; x < t.right; ++x) {
            std::uint32_t v = op == TRasterOp::Black   ? black
                              : op == TRasterOp::White ? white
                                                       : ~ReadRaw(row, d.bitCount, x) & mask;
            WriteRaw(row, d.bitCount, x, v);
        }
    }
}

// The common cases of the game: 24- or 32-bit colour copied onto 32-bit colour.
template <int SrcBytes>
void CopyToBgrx(const TBlitParams& p, const RECT& t, const std::vector<LONG>& cols,
                const std::vector<LONG>& rows) {
    for (LONG y = t.top; y < t.bottom; ++y) {
        LONG sy = rows[static_cast<std::size_t>(y - t.top)];
        if (sy < 0)
            continue;
        const BYTE* src = p.src->Row(sy);
        BYTE* dst = p.dst.Row(y) + 4 * t.left;
        for (std::size_t i = 0; i < cols.size(); ++i, dst += 4) {
            LONG sx = cols[i];
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
bool StraightRun(const std::vector<LONG>& cols, std::size_t& first, std::size_t& count) {
    std::size_t i = 0;
    while (i < cols.size() && cols[i] < 0)
        ++i;
    first = i;
    for (LONG next = i < cols.size() ? cols[i] : 0; i < cols.size() && cols[i] == next;
         ++i, ++next) {
    }
    count = i - first;
    for (; i < cols.size(); ++i)
        if (cols[i] >= 0)
            return false;
    return count > 0;
}

bool Overlap(const TBitmapBits& a, const TBitmapBits& b) {
    const BYTE* aEnd = a.bits + std::size_t(a.stride) * std::size_t(a.height);
    const BYTE* bEnd = b.bits + std::size_t(b.stride) * std::size_t(b.height);
    return a.bits < bEnd && b.bits < aEnd;
}

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
// Thirty-two bytes at a time; returns how many pixels it copied.
__attribute__((target("avx2"))) std::size_t CopyRunBgrxAvx2(BYTE* dst, const BYTE* src,
                                                            std::size_t pixels) {
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    std::size_t i = 0;
    for (; i + 8 <= pixels; i += 8) {
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 4 * i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 4 * i), _mm256_and_si256(v, colour));
    }
    return i;
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

// One run of 32-bit pixels with the fourth byte cleared, as the per-pixel copy does, but at
// memory speed: sixteen or thirty-two bytes at a time where the processor allows.
void CopyRunBgrx(BYTE* dst, const BYTE* src, std::size_t pixels) {
    std::size_t i = 0;
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
    if (HasAvx2())
        i = CopyRunBgrxAvx2(dst, src, pixels);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    for (; i + 4 <= pixels; i += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4 * i), _mm_and_si128(v, colour));
    }
#endif
    for (; i < pixels; ++i) {
        std::uint32_t v;
        std::memcpy(&v, src + 4 * i, 4);
        v &= 0x00FFFFFFu;
        std::memcpy(dst + 4 * i, &v, 4);
    }
}

// 32-bit onto 32-bit with a straight column table: each row is one run. Source and destination
// memory must not overlap, since the per-pixel copy's order would then show.
void CopyStraightBgrx(const TBlitParams& p, const RECT& t, std::size_t first, std::size_t count,
                      LONG firstSrcX, const std::vector<LONG>& rows) {
    for (LONG y = t.top; y < t.bottom; ++y) {
        LONG sy = rows[static_cast<std::size_t>(y - t.top)];
        if (sy < 0)
            continue;
        CopyRunBgrx(p.dst.Row(y) + 4 * (std::size_t(t.left) + first),
                    p.src->Row(sy) + 4 * std::size_t(firstSrcX), count);
    }
}

} // namespace

namespace gdi_detail {

bool RunBlit(const TBlitParams& p) {
    TRasterOp op;
    if (!OpOf(p.rop, op))
        return false;
    bool withSource = NeedsSource(op);
    if (withSource && !p.src)
        return false;
    if (!p.dst.bits)
        return true;
    LONG dx = p.dx, dy = p.dy, dw = p.dw, dh = p.dh;
    LONG sx = p.sx, sy = p.sy, sw = p.sw, sh = p.sh;
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
    RECT t = Intersect(RECT{dx, dy, dx + dw, dy + dh}, p.dstClip);
    t = Intersect(t, RECT{0, 0, p.dst.width, p.dst.height});
    if (IsEmpty(t))
        return true;
    if (!withSource) {
        FillOp(p, t, op);
        return true;
    }
    if (!p.src->bits)
        return true;
    std::vector<LONG> cols = SampleTable(t.left, t.right, dx, dw, sx, sw, mirrorX, p.src->width);
    std::vector<LONG> rows = SampleTable(t.top, t.bottom, dy, dh, sy, sh, mirrorY, p.src->height);
    if (op == TRasterOp::Copy && p.dst.bitCount == 32 && p.src->bitCount == 32) {
        std::size_t first = 0, count = 0;
        if (!p.plainOnly && StraightRun(cols, first, count) && !Overlap(p.dst, *p.src)) {
            CopyStraightBgrx(p, t, first, count, cols[first], rows);
            return true;
        }
        CopyToBgrx<4>(p, t, cols, rows);
        return true;
    }
    if (op == TRasterOp::Copy && p.dst.bitCount == 32 && p.src->bitCount == 24) {
        CopyToBgrx<3>(p, t, cols, rows);
        return true;
    }
    TConverter convert(p);
    const int sb = p.src->bitCount, db = p.dst.bitCount;
    const std::uint32_t mask = RawMask(db);
    const bool readsDest = op == TRasterOp::And || op == TRasterOp::Paint || op == TRasterOp::Xor;
    for (LONG y = t.top; y < t.bottom; ++y) {
        LONG srcY = rows[static_cast<std::size_t>(y - t.top)];
        if (srcY < 0)
            continue;
        const BYTE* srcRow = p.src->Row(srcY);
        BYTE* dstRow = p.dst.Row(y);
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

TBlitParams DestinationParams(HDC dst, int x, int y, int width, int height, DWORD rop) {
    TBlitParams p;
    p.dst = BitsOf(*dst->bitmap);
    p.dstClip = DeviceClip(*dst);
    p.dx = DevX(*dst, x);
    p.dy = DevY(*dst, y);
    p.dw = width;
    p.dh = height;
    p.dstBk = dst->state.bkColor;
    p.dstText = dst->state.textColor;
    p.rop = rop;
    return p;
}

} // namespace

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
                int srcWidth, int srcHeight, DWORD rop) {
    if (!dst || !dst->bitmap)
        return FALSE;
    TBlitParams p = DestinationParams(dst, x, y, width, height, rop);
    TBitmapBits source;
    if (src && src->bitmap) {
        source = BitsOf(*src->bitmap);
        p.src = &source;
        p.sx = DevX(*src, xSrc);
        p.sy = DevY(*src, ySrc);
        p.sw = srcWidth;
        p.sh = srcHeight;
        p.srcBk = src->state.bkColor;
    }
    return RunBlit(p) ? TRUE : FALSE;
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
    return StretchBlt(dst, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

int StretchDIBits(HDC dst, int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
    if (!dst || !dst->bitmap || usage != DIB_RGB_COLORS)
        return 0;
    TBitmapBits source;
    if (!DibSurface(info, bits, source))
        return 0;
    TBlitParams p = DestinationParams(dst, x, y, width, height, rop);
    // A negative source extent mirrors, like a negative destination extent.
    if (srcWidth < 0) {
        srcWidth = -srcWidth;
        p.dw = -p.dw;
    }
    if (srcHeight < 0) {
        srcHeight = -srcHeight;
        p.dh = -p.dh;
    }
    p.src = &source;
    p.sx = xSrc;
    p.sw = srcWidth;
    p.sh = srcHeight;
    // The source rectangle of a bottom-up DIB is measured from its bottom row.
    p.sy = source.topDown ? ySrc : source.height - ySrc - srcHeight;
    if (!RunBlit(p))
        return 0;
    return srcHeight;
}

BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
                    int srcWidth, int srcHeight, COLORREF key) {
    if (!dst || !dst->bitmap || !src || !src->bitmap || width <= 0 || height <= 0 ||
        srcWidth <= 0 || srcHeight <= 0)
        return FALSE;
    const TBitmapBits s = BitsOf(*src->bitmap);
    const TBitmapBits d = BitsOf(*dst->bitmap);
    LONG dx = DevX(*dst, x), dy = DevY(*dst, y);
    RECT t = Intersect(RECT{dx, dy, dx + width, dy + height}, DeviceClip(*dst));
    if (IsEmpty(t))
        return TRUE;
    std::vector<LONG> cols =
        SampleTable(t.left, t.right, dx, width, DevX(*src, xSrc), srcWidth, false, s.width);
    std::vector<LONG> rows =
        SampleTable(t.top, t.bottom, dy, height, DevY(*src, ySrc), srcHeight, false, s.height);
    key &= 0xFFFFFFu;
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
            std::uint32_t raw = ReadRaw(srcRow, s.bitCount, sx);
            COLORREF c = s.monoDevice ? (raw ? dst->state.bkColor : dst->state.textColor)
                                      : RawToColor(s, raw);
            if (c != key)
                WriteRaw(dstRow, d.bitCount, col, ColorToRaw(d, c));
        }
    }
    return TRUE;
}

} // namespace zorbalin
