#include "imaging/png_blend.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zorbalin {

double StretchRatio(std::int32_t destExtent, std::uint32_t sourceExtent) {
  return static_cast<double>(destExtent) / static_cast<double>(sourceExtent);
}

std::uint32_t StretchedSourceIndex(std::int32_t destIndex, double ratio) {
  // The quotient is taken in extended precision from the double-held ratio;
  // a ratio just below an exact fraction must truncate the same way every time.
  const long double quotient =
      static_cast<long double>(destIndex) / static_cast<long double>(ratio);
  if (!(quotient > 0.0L)) return 0;
  if (quotient >= 4294967295.0L) return 4294967295u;
  return static_cast<std::uint32_t>(quotient);
}

std::vector<std::uint32_t> SourceIndexSpan(std::int32_t first, std::int32_t count,
                                           std::int32_t destExtent, std::uint32_t sourceExtent,
                                           bool stretched) {
  std::vector<std::uint32_t> map(count > 0 ? static_cast<std::size_t>(count) : 0u);
  if (map.empty() || sourceExtent == 0) return map;
  const std::uint32_t last = sourceExtent - 1;
  const double ratio = stretched ? StretchRatio(destExtent, sourceExtent) : 1.0;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t x = first + i;
    const std::uint32_t source =
        stretched ? StretchedSourceIndex(x, ratio) : static_cast<std::uint32_t>(x);
    map[static_cast<std::size_t>(i)] = std::min(source, last);
  }
  return map;
}

std::vector<std::uint32_t> SourceIndexMap(std::int32_t destExtent, std::uint32_t sourceExtent,
                                          bool stretched) {
  return SourceIndexSpan(0, destExtent, destExtent, sourceExtent, stretched);
}

void BlendRowBgr24(std::uint8_t* dest, const std::uint8_t* colour, const std::uint8_t* alpha,
                   const std::uint32_t* columnMap, std::int32_t width) {
  for (std::int32_t x = 0; x < width; ++x, dest += 4) {
    const std::uint32_t sx = columnMap ? columnMap[x] : static_cast<std::uint32_t>(x);
    const std::uint32_t a = alpha ? alpha[sx] : 255u;
    if (a == 0) continue;
    const std::uint8_t* s = colour + 3u * sx;
    if (a == 255) {
      dest[0] = s[0];
      dest[1] = s[1];
      dest[2] = s[2];
      continue;
    }
    dest[0] = BlendComponent(s[0], dest[0], a);
    dest[1] = BlendComponent(s[1], dest[1], a);
    dest[2] = BlendComponent(s[2], dest[2], a);
  }
}

#if defined(__SSE2__)
namespace {

// Gathers up to count source pixels as blue, green, red, alpha words.
void GatherBgra(std::uint32_t* out, const std::uint8_t* colour, const std::uint8_t* alpha,
                const std::uint32_t* columnMap, std::int32_t first, std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t x = first + i;
    const std::uint32_t sx = columnMap ? columnMap[x] : static_cast<std::uint32_t>(x);
    const std::uint8_t* s = colour + 3u * sx;
    const std::uint32_t a = alpha ? alpha[sx] : 255u;
    out[i] = s[0] | (static_cast<std::uint32_t>(s[1]) << 8) |
             (static_cast<std::uint32_t>(s[2]) << 16) | (a << 24);
  }
}

// Blends two pixels held as eight 16-bit lanes (b, g, r, a, b, g, r, a).
// Every product and sum stays below 65,536, so 16-bit lanes are exact.
inline __m128i BlendWords(__m128i source, __m128i dest) {
  __m128i a = _mm_shufflelo_epi16(source, _MM_SHUFFLE(3, 3, 3, 3));
  a = _mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
  const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), a);
  __m128i sum = _mm_add_epi16(_mm_mullo_epi16(source, a), _mm_mullo_epi16(dest, inverse));
  sum = _mm_add_epi16(sum, _mm_set1_epi16(255));
  return _mm_srli_epi16(sum, 8);
}

// Blends four gathered pixels into four destination pixels, keeping the
// destination's fourth bytes.
inline void BlendFour(std::uint8_t* dest, const std::uint32_t* gathered) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(gathered));
  const __m128i target = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest));
  const __m128i low = BlendWords(_mm_unpacklo_epi8(source, zero), _mm_unpacklo_epi8(target, zero));
  const __m128i high =
      BlendWords(_mm_unpackhi_epi8(source, zero), _mm_unpackhi_epi8(target, zero));
  const __m128i keep = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i blended = _mm_packus_epi16(low, high);
  const __m128i result =
      _mm_or_si128(_mm_andnot_si128(keep, blended), _mm_and_si128(keep, target));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), result);
}

}  // namespace

void BlendRowBgr24Fast(std::uint8_t* dest, const std::uint8_t* colour,
                       const std::uint8_t* alpha, const std::uint32_t* columnMap,
                       std::int32_t width) {
  constexpr std::int32_t kChunk = 64;
  alignas(16) std::uint32_t gathered[kChunk];
  std::int32_t x = 0;
  while (width - x >= 4) {
    const std::int32_t count = std::min(kChunk, (width - x) & ~3);
    GatherBgra(gathered, colour, alpha, columnMap, x, count);
    for (std::int32_t i = 0; i < count; i += 4) BlendFour(dest + 4 * (x + i), gathered + i);
    x += count;
  }
  if (x < width) {
    // The last one to three pixels: the plain loop with a shifted column map.
    if (columnMap) {
      BlendRowBgr24(dest + 4 * x, colour, alpha, columnMap + x, width - x);
    } else {
      BlendRowBgr24(dest + 4 * x, colour + 3 * x, alpha ? alpha + x : nullptr, nullptr, width - x);
    }
  }
}
#else
void BlendRowBgr24Fast(std::uint8_t* dest, const std::uint8_t* colour,
                       const std::uint8_t* alpha, const std::uint32_t* columnMap,
                       std::int32_t width) {
  BlendRowBgr24(dest, colour, alpha, columnMap, width);
}
#endif

std::uint8_t PackedSample(const std::uint8_t* row, std::uint32_t x, std::uint32_t bitCount) {
  switch (bitCount) {
    case 1:
      return (row[x / 8] >> (7 - x % 8)) & 1u;
    case 4:
      return (x % 2 == 0) ? static_cast<std::uint8_t>(row[x / 2] >> 4)
                          : static_cast<std::uint8_t>(row[x / 2] & 0x0Fu);
    default:
      return row[x];
  }
}

}  // namespace zorbalin
