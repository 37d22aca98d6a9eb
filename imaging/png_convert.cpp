#include "imaging/png_convert.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZORBALIN_SHUFFLED_RGB 1
#endif

namespace zorbalin {
namespace {

uint32_t Column(uint32_t k, uint32_t firstColumn, uint32_t columnStep) {
    return firstColumn + k * columnStep;
}

// Sample k of a packed row of `depth` bits per sample, most significant first.
inline uint8_t PackedSample(const uint8_t* row, uint32_t k, unsigned depth) {
    const uint32_t bit = k * depth;
    const unsigned shift = 8 - depth - (bit & 7);
    return static_cast<uint8_t>((row[bit >> 3] >> shift) & ((1u << depth) - 1));
}

inline void MergePacked(uint8_t* row, uint32_t column, unsigned depth, uint8_t value) {
    const uint32_t bit = column * depth;
    const unsigned shift = 8 - depth - (bit & 7);
    row[bit >> 3] |= static_cast<uint8_t>(value << shift);
}

// Grey or palette at 1, 4 or 8 bits: the plane has the PNG row's own layout.
template <unsigned Depth>
void PackedCopy(const uint8_t* source, uint32_t pixels, uint32_t, uint32_t,
                const TRowTarget& target, const uint8_t*) {
    std::memcpy(target.Colour, source, (static_cast<uint64_t>(pixels) * Depth + 7) / 8);
}

template <unsigned Depth>
void PackedPlace(const uint8_t* source, uint32_t pixels, uint32_t firstColumn, uint32_t columnStep,
                 const TRowTarget& target, const uint8_t*) {
    for (uint32_t k = 0; k < pixels; ++k)
        MergePacked(target.Colour, Column(k, firstColumn, columnStep), Depth,
                    PackedSample(source, k, Depth));
}

// 2-bit samples widened to 4-bit pixels; Scale is 1 for indices, 5 for greys.
template <uint8_t Scale>
void TwoBitWiden(const uint8_t* source, uint32_t pixels, uint32_t firstColumn, uint32_t columnStep,
                 const TRowTarget& target, const uint8_t*) {
    for (uint32_t k = 0; k < pixels; ++k)
        MergePacked(target.Colour, Column(k, firstColumn, columnStep), 4,
                    static_cast<uint8_t>(PackedSample(source, k, 2) * Scale));
}

void Grey16(const uint8_t* source, uint32_t pixels, uint32_t firstColumn, uint32_t columnStep,
            const TRowTarget& target, const uint8_t*) {
    for (uint32_t k = 0; k < pixels; ++k) {
        const uint32_t c = Column(k, firstColumn, columnStep);
        target.Colour[c] = source[2 * k];
        target.Low[c] = source[2 * k + 1];
    }
}

// The commonest formats of all; the non-interlaced form walks source and target
// with plain pointers so that the loop carries no index arithmetic.
template <bool Alpha, bool Gamma, bool Interlaced>
void Rgb8(const uint8_t* source, uint32_t pixels, uint32_t firstColumn, uint32_t columnStep,
          const TRowTarget& target, const uint8_t* gamma) {
    constexpr unsigned kIn = Alpha ? 4 : 3;
    uint8_t* colour = Interlaced ? target.Colour + 3 * size_t(firstColumn) : target.Colour;
    uint8_t* alpha = Alpha ? (Interlaced ? target.Alpha + firstColumn : target.Alpha) : nullptr;
    const size_t colourStep = Interlaced ? 3 * size_t(columnStep) : 3;
    const size_t alphaStep = Interlaced ? columnStep : 1;
    const uint8_t* s = source;
    for (uint32_t k = 0; k < pixels; ++k, s += kIn, colour += colourStep) {
        if constexpr (Gamma) {
            colour[0] = gamma[s[2]];
            colour[1] = gamma[s[1]];
            colour[2] = gamma[s[0]];
        } else {
            colour[0] = s[2];
            colour[1] = s[1];
            colour[2] = s[0];
        }
        if constexpr (Alpha) {
            *alpha = s[3];
            alpha += alphaStep;
        }
    }
}

// RGBA or RGB to BGR with identity gamma, a pixel per 32-bit load and store: the
// byte-reversed pixel shifted right by 8 is blue, green, red. Each store writes
// one byte into the next pixel, which that pixel's own store then overwrites;
// the last pixel is written byte by byte, so nothing lands beyond the row.
template <bool Alpha>
void Rgb8Words(const uint8_t* source, uint32_t pixels, uint32_t, uint32_t, const TRowTarget& target,
               const uint8_t*) {
    constexpr unsigned kIn = Alpha ? 4 : 3;
    if (pixels == 0)
        return;
    uint8_t* colour = target.Colour;
    uint8_t* alpha = target.Alpha;
    const uint8_t* s = source;
    for (uint32_t k = 0; k + 1 < pixels; ++k, s += kIn, colour += 3) {
        uint32_t px;
        std::memcpy(&px, s, 4); // RGB rows: the fourth byte is the next pixel's red
        const uint32_t bgr = __builtin_bswap32(px) >> 8;
        std::memcpy(colour, &bgr, 4);
        if constexpr (Alpha)
            *alpha++ = static_cast<uint8_t>(px >> 24);
    }
    colour[0] = s[2];
    colour[1] = s[1];
    colour[2] = s[0];
    if constexpr (Alpha)
        *alpha = s[3];
}

// 16-bit RGB(A): high bytes to the colour plane, low bytes to the low-byte plane,
// both through the gamma table unless it changes nothing.
template <bool Alpha, bool Gamma>
void Rgb16(const uint8_t* source, uint32_t pixels, uint32_t firstColumn, uint32_t columnStep,
           const TRowTarget& target, const uint8_t* gamma) {
    constexpr unsigned kIn = Alpha ? 8 : 6;
    uint8_t* hi = target.Colour + 3 * size_t(firstColumn);
    uint8_t* lo = target.Low + 3 * size_t(firstColumn);
    uint8_t* alpha = Alpha ? target.Alpha + firstColumn : nullptr;
    const size_t step = 3 * size_t(columnStep);
    const uint8_t* s = source;
    auto map = [gamma](uint8_t v) { return Gamma ? gamma[v] : v; };
    for (uint32_t k = 0; k < pixels; ++k, s += kIn, hi += step, lo += step) {
        hi[0] = map(s[4]);
        hi[1] = map(s[2]);
        hi[2] = map(s[0]);
        lo[0] = map(s[5]);
        lo[1] = map(s[3]);
        lo[2] = map(s[1]);
        if constexpr (Alpha) {
            *alpha = s[6];
            alpha += columnStep;
        }
    }
}

#ifdef ZORBALIN_SHUFFLED_RGB
// Four pixels a step where the processor can shuffle bytes: one 16-byte load, one
// shuffle that turns the four pixels into blue, green, red (and one that gathers
// the four alphas), one 16-byte store whose last four bytes the next step
// overwrites. The steps stop while a whole load and store still fit in the row;
// the word loop does the rest, so nothing lands beyond the row.
template <bool Alpha>
__attribute__((target("ssse3"))) void Rgb8Shuffled(const uint8_t* source, uint32_t pixels, uint32_t,
                                                   uint32_t, const TRowTarget& target,
                                                   const uint8_t* gamma) {
    constexpr unsigned kIn = Alpha ? 4 : 3;
    const __m128i toBgr =
        Alpha ? _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1)
              : _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, -1, -1, -1, -1);
    const __m128i toAlpha =
        _mm_setr_epi8(3, 7, 11, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    uint32_t k = 0;
    for (; k + 6 <= pixels; k += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + kIn * k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target.Colour + 3 * size_t(k)),
                         _mm_shuffle_epi8(v, toBgr));
        if constexpr (Alpha) {
            const uint32_t alphas =
                static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi8(v, toAlpha)));
            std::memcpy(target.Alpha + k, &alphas, 4);
        }
    }
    const TRowTarget rest{target.Colour + 3 * size_t(k), nullptr,
                          Alpha ? target.Alpha + k : nullptr};
    Rgb8Words<Alpha>(source + kIn * size_t(k), pixels - k, 0, 1, rest, gamma);
}

// The bytes that two shuffle masks pick from two loads, merged.
__attribute__((target("ssse3"))) inline __m128i Gather(__m128i v0, __m128i v1, __m128i m0,
                                                       __m128i m1) {
    return _mm_or_si128(_mm_shuffle_epi8(v0, m0), _mm_shuffle_epi8(v1, m1));
}

// 16-bit RGB(A) with identity gamma, four pixels a step: two 16-byte loads, and
// for each plane a shuffle of each load that drops its bytes where they belong
// (the others zero), merged by OR. The colour stores run four bytes ahead, as
// in the 8-bit form; the plain loop does the last pixels.
template <bool Alpha>
__attribute__((target("ssse3"))) void Rgb16Shuffled(const uint8_t* source, uint32_t pixels,
                                                    uint32_t, uint32_t, const TRowTarget& target,
                                                    const uint8_t* gamma) {
    constexpr int kIn = Alpha ? 8 : 6;
    constexpr int kSecond = Alpha ? 16 : 8; // where the second load starts
    // Byte b of pixel p (0..3) of a step: in the first load for p < 2, else in the second.
    auto at = [](int p, int b) { return p < 2 ? p * kIn + b : p * kIn - kSecond + b; };
    alignas(16) int8_t masks[6][16];
    std::memset(masks, -1, sizeof masks);
    for (int p = 0; p < 4; ++p) {
        const int load = p < 2 ? 0 : 1;
        for (int c = 0; c < 3; ++c) { // blue, green, red: samples 2, 1, 0
            masks[load][3 * p + c] = static_cast<int8_t>(at(p, 2 * (2 - c)));
            masks[2 + load][3 * p + c] = static_cast<int8_t>(at(p, 2 * (2 - c) + 1));
        }
        masks[4 + load][p] = static_cast<int8_t>(at(p, 6));
    }
    auto mask = [&masks](int i) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(masks[i]));
    };
    const __m128i high0 = mask(0), high1 = mask(1), low0 = mask(2), low1 = mask(3);
    const __m128i alpha0 = mask(4), alpha1 = mask(5);
    uint32_t k = 0;
    for (; k + 6 <= pixels; k += 4) {
        const uint8_t* s = source + kIn * size_t(k);
        const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + kSecond));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target.Colour + 3 * size_t(k)),
                         Gather(v0, v1, high0, high1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target.Low + 3 * size_t(k)),
                         Gather(v0, v1, low0, low1));
        if constexpr (Alpha) {
            const uint32_t alphas =
                static_cast<uint32_t>(_mm_cvtsi128_si32(Gather(v0, v1, alpha0, alpha1)));
            std::memcpy(target.Alpha + k, &alphas, 4);
        }
    }
    const TRowTarget rest{target.Colour + 3 * size_t(k), target.Low + 3 * size_t(k),
                          Alpha ? target.Alpha + k : nullptr};
    Rgb16<Alpha, false>(source + kIn * size_t(k), pixels - k, 0, 1, rest, gamma);
}

bool CanShuffleBytes() {
    static const bool supported = __builtin_cpu_supports("ssse3");
    return supported;
}
#endif

// RGB(A) to BGR with identity gamma: the shuffled form where the processor has
// it, the word loop otherwise.
template <bool Alpha> TRowConversion Rgb8Identity() {
#ifdef ZORBALIN_SHUFFLED_RGB
    if (CanShuffleBytes())
        return Rgb8Shuffled<Alpha>;
#endif
    return Rgb8Words<Alpha>;
}

template <bool Alpha> TRowConversion Rgb16Identity() {
#ifdef ZORBALIN_SHUFFLED_RGB
    if (CanShuffleBytes())
        return Rgb16Shuffled<Alpha>;
#endif
    return Rgb16<Alpha, false>;
}

void GreyAlpha8(const uint8_t* source, uint32_t pixels, uint32_t firstColumn, uint32_t columnStep,
                const TRowTarget& target, const uint8_t*) {
    for (uint32_t k = 0; k < pixels; ++k) {
        const uint32_t c = Column(k, firstColumn, columnStep);
        target.Colour[c] = source[2 * k];
        target.Alpha[c] = source[2 * k + 1];
    }
}

void GreyAlpha16(const uint8_t* source, uint32_t pixels, uint32_t firstColumn, uint32_t columnStep,
                 const TRowTarget& target, const uint8_t*) {
    for (uint32_t k = 0; k < pixels; ++k) {
        const uint32_t c = Column(k, firstColumn, columnStep);
        target.Colour[c] = source[4 * k];
        target.Low[c] = source[4 * k + 1];
        target.Alpha[c] = source[4 * k + 2];
    }
}

TRowConversion GreyOrPalette(uint8_t colourType, uint8_t bitDepth, bool interlaced) {
    switch (bitDepth) {
    case 1:
        return interlaced ? PackedPlace<1> : PackedCopy<1>;
    case 2:
        return colourType == 0 ? TwoBitWiden<kGrey2Scale> : TwoBitWiden<1>;
    case 4:
        return interlaced ? PackedPlace<4> : PackedCopy<4>;
    case 8:
        return interlaced ? PackedPlace<8> : PackedCopy<8>;
    case 16:
        return colourType == 0 ? Grey16 : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

bool IsValidFormat(uint8_t colourType, uint8_t bitDepth) {
    switch (colourType) {
    case 0:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
    case 3:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
    case 2:
    case 4:
    case 6:
        return bitDepth == 8 || bitDepth == 16;
    default:
        return false;
    }
}

TRowConversion ChooseConversion(uint8_t colourType, uint8_t bitDepth, bool interlaced,
                                bool identityGamma) {
    if (!IsValidFormat(colourType, bitDepth))
        return nullptr;
    const bool wide = bitDepth == 16;
    switch (colourType) {
    case 0:
    case 3:
        return GreyOrPalette(colourType, bitDepth, interlaced);
    case 2:
        if (wide && !identityGamma)
            return Rgb16<false, true>;
        if (wide)
            return interlaced ? Rgb16<false, false> : Rgb16Identity<false>();
        if (interlaced)
            return identityGamma ? Rgb8<false, false, true> : Rgb8<false, true, true>;
        return identityGamma ? Rgb8Identity<false>() : Rgb8<false, true, false>;
    case 4:
        return wide ? GreyAlpha16 : GreyAlpha8;
    case 6:
        if (wide && !identityGamma)
            return Rgb16<true, true>;
        if (wide)
            return interlaced ? Rgb16<true, false> : Rgb16Identity<true>();
        if (interlaced)
            return identityGamma ? Rgb8<true, false, true> : Rgb8<true, true, true>;
        return identityGamma ? Rgb8Identity<true>() : Rgb8<true, true, false>;
    default:
        return nullptr;
    }
}

} // namespace zorbalin
