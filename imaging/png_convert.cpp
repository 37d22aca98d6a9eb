#include "imaging/png_convert.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZORBALIN_SHUFFLED_RGB 1
#endif

namespace zorbalin {
namespace {

uint32_t Column(uint32_t K, uint32_t FirstColumn, uint32_t ColumnStep) {
    return FirstColumn + K * ColumnStep;
}

// Sample k of a packed row of `depth` bits per sample, most significant first.
inline uint8_t PackedSample(const uint8_t* Row, uint32_t K, unsigned Depth) {
    const uint32_t bit = K * Depth;
    const unsigned shift = 8 - Depth - (bit & 7);
    return static_cast<uint8_t>((Row[bit >> 3] >> shift) & ((1u << Depth) - 1));
}

inline void MergePacked(uint8_t* Row, uint32_t Column, unsigned Depth, uint8_t Value) {
    const uint32_t bit = Column * Depth;
    const unsigned shift = 8 - Depth - (bit & 7);
    Row[bit >> 3] |= static_cast<uint8_t>(Value << shift);
}

// Grey or palette at 1, 4 or 8 bits: the plane has the PNG row's own layout.
template <unsigned Depth>
void PackedCopy(const uint8_t* Source, uint32_t Pixels, uint32_t, uint32_t,
                const TRowTarget& Target, const uint8_t*) {
    std::memcpy(Target.Colour, Source, (static_cast<uint64_t>(Pixels) * Depth + 7) / 8);
}

template <unsigned Depth>
void PackedPlace(const uint8_t* Source, uint32_t Pixels, uint32_t FirstColumn, uint32_t ColumnStep,
                 const TRowTarget& Target, const uint8_t*) {
    for (uint32_t k = 0; k < Pixels; ++k)
        MergePacked(Target.Colour, Column(k, FirstColumn, ColumnStep), Depth,
                    PackedSample(Source, k, Depth));
}

// 2-bit samples widened to 4-bit pixels; Scale is 1 for indices, 5 for greys.
template <uint8_t Scale>
void TwoBitWiden(const uint8_t* Source, uint32_t Pixels, uint32_t FirstColumn, uint32_t ColumnStep,
                 const TRowTarget& Target, const uint8_t*) {
    for (uint32_t k = 0; k < Pixels; ++k)
        MergePacked(Target.Colour, Column(k, FirstColumn, ColumnStep), 4,
                    static_cast<uint8_t>(PackedSample(Source, k, 2) * Scale));
}

void Grey16(const uint8_t* Source, uint32_t Pixels, uint32_t FirstColumn, uint32_t ColumnStep,
            const TRowTarget& Target, const uint8_t*) {
    for (uint32_t k = 0; k < Pixels; ++k) {
        const uint32_t c = Column(k, FirstColumn, ColumnStep);
        Target.Colour[c] = Source[2 * k];
        Target.Low[c] = Source[2 * k + 1];
    }
}

// The commonest formats of all; the non-interlaced form walks source and target
// with plain pointers so that the loop carries no index arithmetic.
template <bool Alpha, bool WithGamma, bool Interlaced>
void Rgb8(const uint8_t* Source, uint32_t Pixels, uint32_t FirstColumn, uint32_t ColumnStep,
          const TRowTarget& Target, const uint8_t* Gamma) {
    constexpr unsigned kIn = Alpha ? 4 : 3;
    uint8_t* colour = Interlaced ? Target.Colour + 3 * size_t(FirstColumn) : Target.Colour;
    uint8_t* alpha = Alpha ? (Interlaced ? Target.Alpha + FirstColumn : Target.Alpha) : nullptr;
    const size_t colourStep = Interlaced ? 3 * size_t(ColumnStep) : 3;
    const size_t alphaStep = Interlaced ? ColumnStep : 1;
    const uint8_t* s = Source;
    for (uint32_t k = 0; k < Pixels; ++k, s += kIn, colour += colourStep) {
        if constexpr (WithGamma) {
            colour[0] = Gamma[s[2]];
            colour[1] = Gamma[s[1]];
            colour[2] = Gamma[s[0]];
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
void Rgb8Words(const uint8_t* Source, uint32_t Pixels, uint32_t, uint32_t, const TRowTarget& Target,
               const uint8_t*) {
    constexpr unsigned kIn = Alpha ? 4 : 3;
    if (Pixels == 0)
        return;
    uint8_t* colour = Target.Colour;
    uint8_t* alpha = Target.Alpha;
    const uint8_t* s = Source;
    for (uint32_t k = 0; k + 1 < Pixels; ++k, s += kIn, colour += 3) {
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
template <bool Alpha, bool WithGamma>
void Rgb16(const uint8_t* Source, uint32_t Pixels, uint32_t FirstColumn, uint32_t ColumnStep,
           const TRowTarget& Target, const uint8_t* Gamma) {
    constexpr unsigned kIn = Alpha ? 8 : 6;
    uint8_t* hi = Target.Colour + 3 * size_t(FirstColumn);
    uint8_t* lo = Target.Low + 3 * size_t(FirstColumn);
    uint8_t* alpha = Alpha ? Target.Alpha + FirstColumn : nullptr;
    const size_t step = 3 * size_t(ColumnStep);
    const uint8_t* s = Source;
    auto map = [Gamma](uint8_t V) { return WithGamma ? Gamma[V] : V; };
    for (uint32_t k = 0; k < Pixels; ++k, s += kIn, hi += step, lo += step) {
        hi[0] = map(s[4]);
        hi[1] = map(s[2]);
        hi[2] = map(s[0]);
        lo[0] = map(s[5]);
        lo[1] = map(s[3]);
        lo[2] = map(s[1]);
        if constexpr (Alpha) {
            *alpha = s[6];
            alpha += ColumnStep;
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
__attribute__((target("ssse3"))) void Rgb8Shuffled(const uint8_t* Source, uint32_t Pixels, uint32_t,
                                                   uint32_t, const TRowTarget& Target,
                                                   const uint8_t* Gamma) {
    constexpr unsigned kIn = Alpha ? 4 : 3;
    const __m128i toBgr =
        Alpha ? _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1)
              : _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, -1, -1, -1, -1);
    const __m128i toAlpha =
        _mm_setr_epi8(3, 7, 11, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    uint32_t k = 0;
    for (; k + 6 <= Pixels; k += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Source + kIn * k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Target.Colour + 3 * size_t(k)),
                         _mm_shuffle_epi8(v, toBgr));
        if constexpr (Alpha) {
            const uint32_t alphas =
                static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi8(v, toAlpha)));
            std::memcpy(Target.Alpha + k, &alphas, 4);
        }
    }
    const TRowTarget rest{Target.Colour + 3 * size_t(k), nullptr,
                          Alpha ? Target.Alpha + k : nullptr};
    Rgb8Words<Alpha>(Source + kIn * size_t(k), Pixels - k, 0, 1, rest, Gamma);
}

// The bytes that two shuffle masks pick from two loads, merged.
__attribute__((target("ssse3"))) inline __m128i Gather(__m128i V0, __m128i V1, __m128i M0,
                                                       __m128i M1) {
    return _mm_or_si128(_mm_shuffle_epi8(V0, M0), _mm_shuffle_epi8(V1, M1));
}

// 16-bit RGB(A) with identity gamma, four pixels a step: two 16-byte loads, and
// for each plane a shuffle of each load that drops its bytes where they belong
// (the others zero), merged by OR. The colour stores run four bytes ahead, as
// in the 8-bit form; the plain loop does the last pixels.
template <bool Alpha>
__attribute__((target("ssse3"))) void Rgb16Shuffled(const uint8_t* Source, uint32_t Pixels,
                                                    uint32_t, uint32_t, const TRowTarget& Target,
                                                    const uint8_t* Gamma) {
    constexpr int kIn = Alpha ? 8 : 6;
    constexpr int kSecond = Alpha ? 16 : 8; // where the second load starts
    // Byte b of pixel p (0..3) of a step: in the first load for p < 2, else in the second.
    auto at = [](int P, int B) { return P < 2 ? P * kIn + B : P * kIn - kSecond + B; };
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
    auto mask = [&masks](int I) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(masks[I]));
    };
    const __m128i high0 = mask(0), high1 = mask(1), low0 = mask(2), low1 = mask(3);
    const __m128i alpha0 = mask(4), alpha1 = mask(5);
    uint32_t k = 0;
    for (; k + 6 <= Pixels; k += 4) {
        const uint8_t* s = Source + kIn * size_t(k);
        const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + kSecond));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Target.Colour + 3 * size_t(k)),
                         Gather(v0, v1, high0, high1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Target.Low + 3 * size_t(k)),
                         Gather(v0, v1, low0, low1));
        if constexpr (Alpha) {
            const uint32_t alphas =
                static_cast<uint32_t>(_mm_cvtsi128_si32(Gather(v0, v1, alpha0, alpha1)));
            std::memcpy(Target.Alpha + k, &alphas, 4);
        }
    }
    const TRowTarget rest{Target.Colour + 3 * size_t(k), Target.Low + 3 * size_t(k),
                          Alpha ? Target.Alpha + k : nullptr};
    Rgb16<Alpha, false>(Source + kIn * size_t(k), Pixels - k, 0, 1, rest, Gamma);
}

bool CanShuffleBytes() {
    static const bool kSupported = __builtin_cpu_supports("ssse3");
    return kSupported;
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

void GreyAlpha8(const uint8_t* Source, uint32_t Pixels, uint32_t FirstColumn, uint32_t ColumnStep,
                const TRowTarget& Target, const uint8_t*) {
    for (uint32_t k = 0; k < Pixels; ++k) {
        const uint32_t c = Column(k, FirstColumn, ColumnStep);
        Target.Colour[c] = Source[2 * k];
        Target.Alpha[c] = Source[2 * k + 1];
    }
}

void GreyAlpha16(const uint8_t* Source, uint32_t Pixels, uint32_t FirstColumn, uint32_t ColumnStep,
                 const TRowTarget& Target, const uint8_t*) {
    for (uint32_t k = 0; k < Pixels; ++k) {
        const uint32_t c = Column(k, FirstColumn, ColumnStep);
        Target.Colour[c] = Source[4 * k];
        Target.Low[c] = Source[4 * k + 1];
        Target.Alpha[c] = Source[4 * k + 2];
    }
}

TRowConversion GreyOrPalette(TColourType ColourType, uint8_t BitDepth, bool Interlaced) {
    switch (BitDepth) {
    case 1:
        return Interlaced ? PackedPlace<1> : PackedCopy<1>;
    case 2:
        return ColourType == TColourType::Greyscale ? TwoBitWiden<kGrey2Scale> : TwoBitWiden<1>;
    case 4:
        return Interlaced ? PackedPlace<4> : PackedCopy<4>;
    case 8:
        return Interlaced ? PackedPlace<8> : PackedCopy<8>;
    case 16:
        return ColourType == TColourType::Greyscale ? Grey16 : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

bool IsValidFormat(TColourType ColourType, uint8_t BitDepth) {
    switch (ColourType) {
    case TColourType::Greyscale:
        return BitDepth == 1 || BitDepth == 2 || BitDepth == 4 || BitDepth == 8 || BitDepth == 16;
    case TColourType::Indexed:
        return BitDepth == 1 || BitDepth == 2 || BitDepth == 4 || BitDepth == 8;
    case TColourType::Truecolour:
    case TColourType::GreyscaleAlpha:
    case TColourType::TruecolourAlpha:
        return BitDepth == 8 || BitDepth == 16;
    default:
        return false;
    }
}

TRowConversion ChooseConversion(TColourType ColourType, uint8_t BitDepth, bool Interlaced,
                                bool IdentityGamma) {
    if (!IsValidFormat(ColourType, BitDepth))
        return nullptr;
    const bool wide = BitDepth == 16;
    switch (ColourType) {
    case TColourType::Greyscale:
    case TColourType::Indexed:
        return GreyOrPalette(ColourType, BitDepth, Interlaced);
    case TColourType::Truecolour:
        if (wide && !IdentityGamma)
            return Rgb16<false, true>;
        if (wide)
            return Interlaced ? Rgb16<false, false> : Rgb16Identity<false>();
        if (Interlaced)
            return IdentityGamma ? Rgb8<false, false, true> : Rgb8<false, true, true>;
        return IdentityGamma ? Rgb8Identity<false>() : Rgb8<false, true, false>;
    case TColourType::GreyscaleAlpha:
        return wide ? GreyAlpha16 : GreyAlpha8;
    case TColourType::TruecolourAlpha:
        if (wide && !IdentityGamma)
            return Rgb16<true, true>;
        if (wide)
            return Interlaced ? Rgb16<true, false> : Rgb16Identity<true>();
        if (Interlaced)
            return IdentityGamma ? Rgb8<true, false, true> : Rgb8<true, true, true>;
        return IdentityGamma ? Rgb8Identity<true>() : Rgb8<true, true, false>;
    default:
        return nullptr;
    }
}

} // namespace zorbalin
