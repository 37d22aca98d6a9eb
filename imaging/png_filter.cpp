#include "imaging/png_filter.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace zorbalin {
namespace {

#ifdef __SSE2__
// Whole pixels of 3, 4, 6 or 8 bytes, one pixel per step in the low lanes of an
// SSE2 register: the channels of a pixel are unfiltered together. The pixels
// still depend on each other from left to right, as the filters require.
template <size_t Bpp> __m128i LoadPixel(const uint8_t* P) {
    if constexpr (Bpp == 8) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(P));
    } else if constexpr (Bpp == 6) {
        uint32_t low;
        uint16_t high;
        std::memcpy(&low, P, 4);
        std::memcpy(&high, P + 4, 2);
        return _mm_cvtsi64_si128(static_cast<long long>(uint64_t(low) | uint64_t(high) << 32));
    } else if constexpr (Bpp == 4) {
        uint32_t v;
        std::memcpy(&v, P, 4);
        return _mm_cvtsi32_si128(static_cast<int>(v));
    } else {
        // Assembled in a register: a 3-byte copy through memory would stall every
        // pixel on the store of the one before.
        const uint32_t v = uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16;
        return _mm_cvtsi32_si128(static_cast<int>(v));
    }
}

template <size_t Bpp> void StorePixel(uint8_t* P, __m128i V) {
    if constexpr (Bpp == 8) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(P), V);
    } else if constexpr (Bpp == 6) {
        const uint64_t bits = static_cast<uint64_t>(_mm_cvtsi128_si64(V));
        std::memcpy(P, &bits, 6);
    } else {
        const uint32_t bits = static_cast<uint32_t>(_mm_cvtsi128_si32(V));
        std::memcpy(P, &bits, Bpp);
    }
}

inline __m128i LoadWord(const uint8_t* P) {
    uint32_t v;
    std::memcpy(&v, P, 4);
    return _mm_cvtsi32_si128(static_cast<int>(v));
}

inline void StoreWord(uint8_t* P, __m128i V) {
    const uint32_t bits = static_cast<uint32_t>(_mm_cvtsi128_si32(V));
    std::memcpy(P, &bits, 4);
}

// Runs `step(filtered, above)` over the whole pixels of a row from left to right
// and stores what it returns in place. 3-byte pixels move through 4-byte loads
// and stores: the next pixel is loaded before the current one is stored, so the
// store's fourth byte lands on bytes already read and the next store rewrites
// them; the last pixel goes alone, 3 bytes wide. Nothing beyond the row is read
// or written.
template <size_t Bpp, class TStep>
void WalkPixels(uint8_t* Row, const uint8_t* Prior, size_t RowBytes, TStep Step) {
    const size_t pixels = RowBytes / Bpp;
    if constexpr (Bpp == 3) {
        if (pixels == 0)
            return;
        __m128i x = pixels > 1 ? LoadWord(Row) : LoadPixel<3>(Row);
        for (size_t k = 0; k + 1 < pixels; ++k) {
            uint8_t* p = Row + 3 * k;
            const __m128i next = k + 2 < pixels ? LoadWord(p + 3) : LoadPixel<3>(p + 3);
            StoreWord(p, Step(x, LoadWord(Prior + 3 * k)));
            x = next;
        }
        const size_t last = 3 * (pixels - 1);
        StorePixel<3>(Row + last, Step(x, LoadPixel<3>(Prior + last)));
    } else {
        for (size_t i = 0; i < pixels * Bpp; i += Bpp)
            StorePixel<Bpp>(Row + i, Step(LoadPixel<Bpp>(Row + i), LoadPixel<Bpp>(Prior + i)));
    }
}

template <size_t Bpp> void UnfilterSubPixels(uint8_t* Row, const uint8_t* Prior, size_t RowBytes) {
    __m128i a = _mm_setzero_si128();
    WalkPixels<Bpp>(Row, Prior, RowBytes, [&a](__m128i X, __m128i) {
        a = _mm_add_epi8(a, X);
        return a;
    });
}

// floor((a + b) / 2) is the complement of the rounding-up average of the
// complements, so the complement of each result, carried to the next pixel, is
// that average minus the filtered byte: two instructions from pixel to pixel.
template <size_t Bpp>
void UnfilterAveragePixels(uint8_t* Row, const uint8_t* Prior, size_t RowBytes) {
    const __m128i ones = _mm_set1_epi8(-1);
    __m128i notA = ones;
    WalkPixels<Bpp>(Row, Prior, RowBytes, [&notA, ones](__m128i X, __m128i B) {
        notA = _mm_sub_epi8(_mm_avg_epu8(notA, _mm_xor_si128(B, ones)), X);
        return _mm_xor_si128(notA, ones);
    });
}

inline __m128i Abs16(__m128i X) {
    return _mm_max_epi16(X, _mm_sub_epi16(_mm_setzero_si128(), X));
}
inline __m128i Select(__m128i Mask, __m128i IfSet, __m128i IfClear) {
    return _mm_or_si128(_mm_and_si128(Mask, IfSet), _mm_andnot_si128(Mask, IfClear));
}

// Paeth in 16-bit lanes: pa = |b - c|, pb = |a - c|, pc = |a + b - 2c|. Two
// comparisons make the choice: upper-left over above when pb > pc, and either
// over left when pa > min(pb, pc), which keeps the tie order (left, above,
// upper-left). pa does not depend on the pixel to the left, and the left pixel
// stays in 16-bit lanes, so few instructions lie between one pixel and the next.
template <size_t Bpp>
void UnfilterPaethPixels(uint8_t* Row, const uint8_t* Prior, size_t RowBytes) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lowByte = _mm_set1_epi16(0xFF);
    __m128i a = zero, c = zero;
    WalkPixels<Bpp>(Row, Prior, RowBytes, [&a, &c, zero, lowByte](__m128i X, __m128i Above) {
        const __m128i b = _mm_unpacklo_epi8(Above, zero);
        const __m128i bc = _mm_sub_epi16(b, c);
        const __m128i pa = Abs16(bc);
        const __m128i ac = _mm_sub_epi16(a, c);
        const __m128i pb = Abs16(ac);
        const __m128i pc = Abs16(_mm_add_epi16(bc, ac));
        const __m128i aboveOrUpperLeft = Select(_mm_cmpgt_epi16(pb, pc), c, b);
        const __m128i notLeft = _mm_cmpgt_epi16(pa, _mm_min_epi16(pb, pc));
        const __m128i nearest = Select(notLeft, aboveOrUpperLeft, a);
        a = _mm_and_si128(_mm_add_epi16(_mm_unpacklo_epi8(X, zero), nearest), lowByte);
        c = b;
        return _mm_packus_epi16(a, a);
    });
}

template <size_t Bpp>
bool UnfilterPixelsOf(TFilterType FilterType, uint8_t* Row, const uint8_t* Prior, size_t RowBytes) {
    switch (FilterType) {
    case TFilterType::Sub:
        UnfilterSubPixels<Bpp>(Row, Prior, RowBytes);
        return true;
    case TFilterType::Average:
        UnfilterAveragePixels<Bpp>(Row, Prior, RowBytes);
        return true;
    case TFilterType::Paeth:
        UnfilterPaethPixels<Bpp>(Row, Prior, RowBytes);
        return true;
    default:
        return false;
    }
}

// The vector forms for whole pixels of 3, 4, 6 or 8 bytes; false when the step
// has none.
bool UnfilterPixels(TFilterType FilterType, uint8_t* Row, const uint8_t* Prior, size_t RowBytes,
                    size_t Step) {
    if (Step < 3 || RowBytes % Step != 0)
        return false;
    switch (Step) {
    case 3:
        return UnfilterPixelsOf<3>(FilterType, Row, Prior, RowBytes);
    case 4:
        return UnfilterPixelsOf<4>(FilterType, Row, Prior, RowBytes);
    case 6:
        return UnfilterPixelsOf<6>(FilterType, Row, Prior, RowBytes);
    case 8:
        return UnfilterPixelsOf<8>(FilterType, Row, Prior, RowBytes);
    default:
        return false;
    }
}
#else
bool UnfilterPixels(TFilterType, uint8_t*, const uint8_t*, size_t, size_t) {
    return false;
}
#endif

// One-byte pixels (palette, grey, packed rows): the byte to the left stays in a
// register. The general loops below read it back from the row, a store-to-load
// wait on every byte.
bool UnfilterBytes(TFilterType FilterType, uint8_t* Row, const uint8_t* Prior, size_t RowBytes) {
    unsigned a = 0, c = 0;
    switch (FilterType) {
    case TFilterType::Sub:
        for (size_t i = 0; i < RowBytes; ++i)
            Row[i] = static_cast<uint8_t>(a = (Row[i] + a) & 0xFF);
        return true;
    case TFilterType::Average:
        for (size_t i = 0; i < RowBytes; ++i)
            Row[i] = static_cast<uint8_t>(a = (Row[i] + ((a + Prior[i]) >> 1)) & 0xFF);
        return true;
    case TFilterType::Paeth:
        for (size_t i = 0; i < RowBytes; ++i) {
            const unsigned b = Prior[i];
            Row[i] =
                static_cast<uint8_t>(a = (Row[i] + PaethPredictor(int(a), int(b), int(c))) & 0xFF);
            c = b;
        }
        return true;
    default:
        return false;
    }
}

void UnfilterSub(uint8_t* Row, size_t RowBytes, size_t Step) {
    for (size_t i = Step; i < RowBytes; ++i)
        Row[i] = static_cast<uint8_t>(Row[i] + Row[i - Step]);
}

// Up has no dependency along the row: sixteen bytes a step where SSE2 is at hand
// (the compiler's -O2 does not vectorise the loop by itself).
void UnfilterUp(uint8_t* Row, const uint8_t* Prior, size_t RowBytes) {
    size_t i = 0;
#ifdef __SSE2__
    for (; i + 16 <= RowBytes; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Row + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Prior + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Row + i), _mm_add_epi8(x, b));
    }
#endif
    for (; i < RowBytes; ++i)
        Row[i] = static_cast<uint8_t>(Row[i] + Prior[i]);
}

void UnfilterAverage(uint8_t* Row, const uint8_t* Prior, size_t RowBytes, size_t Step) {
    const size_t head = Step < RowBytes ? Step : RowBytes;
    for (size_t i = 0; i < head; ++i)
        Row[i] = static_cast<uint8_t>(Row[i] + (Prior[i] >> 1));
    for (size_t i = Step; i < RowBytes; ++i)
        Row[i] = static_cast<uint8_t>(Row[i] + ((Row[i - Step] + Prior[i]) >> 1));
}

// Paeth keeps the left and upper-left bytes of each channel in registers; the
// channel count is a template argument so that the inner loop has no branch on it.
template <size_t Step>
void UnfilterPaethFixed(uint8_t* Row, const uint8_t* Prior, size_t RowBytes) {
    size_t head = Step < RowBytes ? Step : RowBytes;
    for (size_t i = 0; i < head; ++i)
        Row[i] = static_cast<uint8_t>(Row[i] + Prior[i]);
    for (size_t i = Step; i < RowBytes; i += Step) {
        for (size_t c = 0; c < Step && i + c < RowBytes; ++c) {
            const size_t k = i + c;
            Row[k] = static_cast<uint8_t>(Row[k] +
                                          PaethPredictor(Row[k - Step], Prior[k], Prior[k - Step]));
        }
    }
}

void UnfilterPaeth(uint8_t* Row, const uint8_t* Prior, size_t RowBytes, size_t Step) {
    switch (Step) {
    case 1:
        UnfilterPaethFixed<1>(Row, Prior, RowBytes);
        return;
    case 3:
        UnfilterPaethFixed<3>(Row, Prior, RowBytes);
        return;
    case 4:
        UnfilterPaethFixed<4>(Row, Prior, RowBytes);
        return;
    default:
        break;
    }
    const size_t head = Step < RowBytes ? Step : RowBytes;
    for (size_t i = 0; i < head; ++i)
        Row[i] = static_cast<uint8_t>(Row[i] + Prior[i]);
    for (size_t i = Step; i < RowBytes; ++i)
        Row[i] =
            static_cast<uint8_t>(Row[i] + PaethPredictor(Row[i - Step], Prior[i], Prior[i - Step]));
}

int Left(const uint8_t* Row, size_t I, size_t Step) {
    return I >= Step ? Row[I - Step] : 0;
}

} // namespace

void UnfilterRow(TFilterType FilterType, uint8_t* Row, const uint8_t* Prior, size_t RowBytes,
                 size_t Step) {
    if (UnfilterPixels(FilterType, Row, Prior, RowBytes, Step))
        return;
    if (Step == 1 && UnfilterBytes(FilterType, Row, Prior, RowBytes))
        return;
    switch (FilterType) {
    case TFilterType::Sub:
        UnfilterSub(Row, RowBytes, Step);
        return;
    case TFilterType::Up:
        UnfilterUp(Row, Prior, RowBytes);
        return;
    case TFilterType::Average:
        UnfilterAverage(Row, Prior, RowBytes, Step);
        return;
    case TFilterType::Paeth:
        UnfilterPaeth(Row, Prior, RowBytes, Step);
        return;
    default:
        return; // None, and unknown types: the row is used as it came
    }
}

void UnfilterRowPlain(TFilterType FilterType, uint8_t* Row, const uint8_t* Prior, size_t RowBytes,
                      size_t Step) {
    if (FilterType < TFilterType::Sub || FilterType > TFilterType::Paeth)
        return;
    for (size_t i = 0; i < RowBytes; ++i) {
        const int a = Left(Row, i, Step);
        const int b = Prior[i];
        const int c = i >= Step ? Prior[i - Step] : 0;
        int predicted = 0;
        if (FilterType == TFilterType::Sub)
            predicted = a;
        if (FilterType == TFilterType::Up)
            predicted = b;
        if (FilterType == TFilterType::Average)
            predicted = (a + b) / 2;
        if (FilterType == TFilterType::Paeth)
            predicted = PaethPredictor(a, b, c);
        Row[i] = static_cast<uint8_t>(Row[i] + predicted);
    }
}

void FilterRow(TFilterType FilterType, const uint8_t* Row, const uint8_t* Prior, size_t RowBytes,
               size_t Step, uint8_t* Out) {
    for (size_t i = 0; i < RowBytes; ++i) {
        const int a = Left(Row, i, Step);
        const int b = Prior[i];
        const int c = i >= Step ? Prior[i - Step] : 0;
        int predicted = 0;
        switch (FilterType) {
        case TFilterType::Sub:
            predicted = a;
            break;
        case TFilterType::Up:
            predicted = b;
            break;
        case TFilterType::Average:
            predicted = (a + b) / 2;
            break;
        case TFilterType::Paeth:
            predicted = PaethPredictor(a, b, c);
            break;
        default:
            break;
        }
        Out[i] = static_cast<uint8_t>(Row[i] - predicted);
    }
}

} // namespace zorbalin
