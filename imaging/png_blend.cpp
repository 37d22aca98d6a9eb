#include "imaging/png_blend.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

namespace zorbalin {

double StretchRatio(std::int32_t DestExtent, std::uint32_t SourceExtent) {
    return static_cast<double>(DestExtent) / static_cast<double>(SourceExtent);
}

std::uint32_t StretchedSourceIndex(std::int32_t DestIndex, double Ratio) {
    // The quotient is taken in extended precision from the double-held ratio;
    // a ratio just below an exact fraction must truncate the same way every time.
    const long double quotient =
        static_cast<long double>(DestIndex) / static_cast<long double>(Ratio);
    if (!(quotient > 0.0L))
        return 0;
    if (quotient >= 4294967295.0L)
        return 4294967295u;
    return static_cast<std::uint32_t>(quotient);
}

std::vector<std::uint32_t> SourceIndexSpan(std::int32_t First, std::int32_t Count,
                                           std::int32_t DestExtent, std::uint32_t SourceExtent,
                                           bool Stretched) {
    std::vector<std::uint32_t> map(Count > 0 ? static_cast<std::size_t>(Count) : 0u);
    if (map.empty() || SourceExtent == 0)
        return map;
    const std::uint32_t last = SourceExtent - 1;
    const double ratio = Stretched ? StretchRatio(DestExtent, SourceExtent) : 1.0;
    for (std::int32_t i = 0; i < Count; ++i) {
        const std::int32_t x = First + i;
        const std::uint32_t source =
            Stretched ? StretchedSourceIndex(x, ratio) : static_cast<std::uint32_t>(x);
        map[static_cast<std::size_t>(i)] = std::min(source, last);
    }
    return map;
}

std::vector<std::uint32_t> SourceIndexMap(std::int32_t DestExtent, std::uint32_t SourceExtent,
                                          bool Stretched) {
    return SourceIndexSpan(0, DestExtent, DestExtent, SourceExtent, Stretched);
}

void BlendRowBgr24(std::uint8_t* Dest, const std::uint8_t* Colour, const std::uint8_t* Alpha,
                   const std::uint32_t* ColumnMap, std::int32_t Width) {
    for (std::int32_t x = 0; x < Width; ++x, Dest += 4) {
        const std::uint32_t sx = ColumnMap ? ColumnMap[x] : static_cast<std::uint32_t>(x);
        const std::uint32_t a = Alpha ? Alpha[sx] : 255u;
        if (a == 0)
            continue;
        const std::uint8_t* s = Colour + 3u * sx;
        if (a == 255) {
            Dest[0] = s[0];
            Dest[1] = s[1];
            Dest[2] = s[2];
            continue;
        }
        Dest[0] = BlendComponent(s[0], Dest[0], a);
        Dest[1] = BlendComponent(s[1], Dest[1], a);
        Dest[2] = BlendComponent(s[2], Dest[2], a);
    }
}

#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
namespace {

// Blends two pixels held as 16-bit lanes with their opacities given apart.
// s * a + d * (255 - a) + 255 never passes 65,280, so 16-bit lanes are exact.
__attribute__((target("ssse3"))) inline __m128i BlendWordsWith(__m128i Source, __m128i Dest,
                                                               __m128i A) {
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), A);
    __m128i sum = _mm_add_epi16(_mm_mullo_epi16(Source, A), _mm_mullo_epi16(Dest, inverse));
    sum = _mm_add_epi16(sum, _mm_set1_epi16(255));
    return _mm_srli_epi16(sum, 8);
}

// Natural-size rows: four 24-bit pixels are widened by one byte shuffle and
// blended together; groups that are wholly transparent are skipped and wholly
// opaque ones copied. Returns how many pixels it did; it stops early enough
// never to read past the colour row (each load takes 16 bytes).
__attribute__((target("ssse3"))) std::int32_t BlendContiguousSsse3(std::uint8_t* Dest,
                                                                   const std::uint8_t* Colour,
                                                                   const std::uint8_t* Alpha,
                                                                   std::int32_t Width) {
    const __m128i widen = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i firstTwo = _mm_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 1, -1, 1, -1, 1, -1, 1, -1);
    const __m128i lastTwo = _mm_setr_epi8(2, -1, 2, -1, 2, -1, 2, -1, 3, -1, 3, -1, 3, -1, 3, -1);
    const __m128i keep = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    std::int32_t x = 0;
    for (; x + 6 <= Width; x += 4) {
        std::uint32_t opacity = 0xFFFFFFFFu;
        if (Alpha)
            std::memcpy(&opacity, Alpha + x, 4);
        if (opacity == 0)
            continue;
        std::uint8_t* out = Dest + 4 * x;
        const __m128i target = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
        const __m128i source = _mm_shuffle_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(Colour + 3 * x)), widen);
        __m128i result = source;
        if (opacity != 0xFFFFFFFFu) {
            const __m128i a = _mm_cvtsi32_si128(static_cast<int>(opacity));
            const __m128i low =
                BlendWordsWith(_mm_unpacklo_epi8(source, zero), _mm_unpacklo_epi8(target, zero),
                               _mm_shuffle_epi8(a, firstTwo));
            const __m128i high =
                BlendWordsWith(_mm_unpackhi_epi8(source, zero), _mm_unpackhi_epi8(target, zero),
                               _mm_shuffle_epi8(a, lastTwo));
            result = _mm_packus_epi16(low, high);
        }
        result = _mm_or_si128(_mm_andnot_si128(keep, result), _mm_and_si128(keep, target));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), result);
    }
    return x;
}

// The same with eight pixels at a time; stops early enough never to read past
// the colour row.
__attribute__((target("avx2"))) std::int32_t BlendContiguousAvx2(std::uint8_t* Dest,
                                                                 const std::uint8_t* Colour,
                                                                 const std::uint8_t* Alpha,
                                                                 std::int32_t Width) {
    const __m256i widen = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0,
                                           1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    // After the byte-to-word unpacking, lane 0 holds pixels 0, 1 (low) or 2, 3
    // (high) and lane 1 pixels 4, 5 or 6, 7: their opacities, widened.
    const __m256i lowOpacity =
        _mm256_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 1, -1, 1, -1, 1, -1, 1, -1, 4, -1, 4, -1, 4,
                         -1, 4, -1, 5, -1, 5, -1, 5, -1, 5, -1);
    const __m256i highOpacity =
        _mm256_setr_epi8(2, -1, 2, -1, 2, -1, 2, -1, 3, -1, 3, -1, 3, -1, 3, -1, 6, -1, 6, -1, 6,
                         -1, 6, -1, 7, -1, 7, -1, 7, -1, 7, -1);
    const __m256i keep = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i full = _mm256_set1_epi16(255);
    std::int32_t x = 0;
    for (; x + 10 <= Width; x += 8) {
        std::uint64_t opacity = ~std::uint64_t(0);
        if (Alpha)
            std::memcpy(&opacity, Alpha + x, 8);
        if (opacity == 0)
            continue;
        std::uint8_t* out = Dest + 4 * x;
        const __m256i target = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out));
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Colour + 3 * x));
        const __m128i second =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(Colour + 3 * x + 12));
        const __m256i source = _mm256_shuffle_epi8(_mm256_set_m128i(second, first), widen);
        __m256i result = source;
        if (opacity != ~std::uint64_t(0)) {
            const __m256i a =
                _mm256_broadcastsi128_si256(_mm_cvtsi64_si128(static_cast<long long>(opacity)));
            const __m256i aLow = _mm256_shuffle_epi8(a, lowOpacity);
            const __m256i aHigh = _mm256_shuffle_epi8(a, highOpacity);
            __m256i low =
                _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(source, zero), aLow),
                                 _mm256_mullo_epi16(_mm256_unpacklo_epi8(target, zero),
                                                    _mm256_sub_epi16(full, aLow)));
            __m256i high =
                _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(source, zero), aHigh),
                                 _mm256_mullo_epi16(_mm256_unpackhi_epi8(target, zero),
                                                    _mm256_sub_epi16(full, aHigh)));
            low = _mm256_srli_epi16(_mm256_add_epi16(low, full), 8);
            high = _mm256_srli_epi16(_mm256_add_epi16(high, full), 8);
            result = _mm256_packus_epi16(low, high);
        }
        result = _mm256_or_si256(_mm256_andnot_si256(keep, result), _mm256_and_si256(keep, target));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), result);
    }
    return x;
}

bool HasAvx2() {
    static const bool kHas = __builtin_cpu_supports("avx2");
    return kHas;
}

bool HasSsse3() {
    static const bool kHas = __builtin_cpu_supports("ssse3");
    return kHas;
}

} // namespace
#endif

void BlendRowBgr24Fast(std::uint8_t* Dest, const std::uint8_t* Colour, const std::uint8_t* Alpha,
                       const std::uint32_t* ColumnMap, std::int32_t Width) {
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
    if (HasSsse3()) {
        const auto contiguous = HasAvx2() ? BlendContiguousAvx2 : BlendContiguousSsse3;
        auto blendRun = [contiguous](std::uint8_t* Out, const std::uint8_t* Bgr,
                                     const std::uint8_t* Opacity, std::int32_t Count) {
            const std::int32_t done = contiguous(Out, Bgr, Opacity, Count);
            BlendRowBgr24(Out + 4 * done, Bgr + 3 * done, Opacity ? Opacity + done : nullptr,
                          nullptr, Count - done);
        };
        if (!ColumnMap) {
            blendRun(Dest, Colour, Alpha, Width);
            return;
        }
        // Stretched rows: each run of source pixels is gathered into a contiguous
        // one first, so that the blending itself stays wide.
        constexpr std::int32_t kRun = 256;
        std::uint8_t bgr[3 * kRun + 16];
        std::uint8_t opacity[kRun];
        for (std::int32_t x = 0; x < Width; x += kRun) {
            const std::int32_t count = std::min(kRun, Width - x);
            for (std::int32_t i = 0; i < count; ++i) {
                const std::uint32_t sx = ColumnMap[x + i];
                std::memcpy(bgr + 3 * i, Colour + 3u * sx, 3);
                opacity[i] = Alpha ? Alpha[sx] : 255;
            }
            blendRun(Dest + 4 * x, bgr, opacity, count);
        }
        return;
    }
#endif
    BlendRowBgr24(Dest, Colour, Alpha, ColumnMap, Width);
}

std::uint8_t PackedSample(const std::uint8_t* Row, std::uint32_t X, std::uint32_t BitCount) {
    switch (BitCount) {
    case 1:
        return (Row[X / 8] >> (7 - X % 8)) & 1u;
    case 4:
        return (X % 2 == 0) ? static_cast<std::uint8_t>(Row[X / 2] >> 4)
                            : static_cast<std::uint8_t>(Row[X / 2] & 0x0Fu);
    default:
        return Row[X];
    }
}

} // namespace zorbalin
