// Row conversions from unfiltered PNG samples into the picture's planes: the
// bottom-up colour plane (BGR or packed indices/greys), the low-byte plane of
// 16-bit images and the top-down alpha plane. One conversion per colour type and
// bit depth, chosen once per image.
#pragma once

#include <cstdint>

#include "imaging/png_header.h"

namespace zorbalin {

// Where one image row goes. Pointers for planes the format has not are null.
struct TRowTarget {
    uint8_t* Colour;
    uint8_t* Low;
    uint8_t* Alpha;
};

// Converts `pixels` samples of `source` (one unfiltered row or pass row) into
// `target`. Pixel k lands at image column firstColumn + k * columnStep; the
// non-interlaced forms take 0 and 1. `gamma` maps RGB samples (256 entries).
// Packed (sub-byte) targets are merged by OR, so the row must have been zero
// where the pixels land (the planes are zeroed when prepared).
using TRowConversion = void (*)(const uint8_t* Source, uint32_t Pixels, uint32_t FirstColumn,
                                uint32_t ColumnStep, const TRowTarget& Target,
                                const uint8_t* Gamma);

// True for the colour type / bit depth pairs the PNG standard allows.
bool IsValidFormat(TColourType ColourType, uint8_t BitDepth);

// The conversion for a format; null for a combination outside the PNG standard.
// `identityGamma` lets RGB conversions skip the table lookup when it would change
// nothing.
TRowConversion ChooseConversion(TColourType ColourType, uint8_t BitDepth, bool Interlaced,
                                bool IdentityGamma);

// A 2-bit grey sample s is kept in a 4-bit pixel as 5 * s, so that 0..3 show as
// 0, 85, 170, 255 through the 16-entry grey ramp.
constexpr uint8_t kGrey2Scale = 5;

} // namespace zorbalin
