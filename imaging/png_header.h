// The seven fields of an image header, their 13 bytes in a file, and their checks as a pure
// function that tests call directly.
#pragma once

#include <cstdint>

namespace zorbalin {

// The colour types of the PNG standard, each the byte a header stores. A header read from a
// file may hold any other byte until CheckHeader has refused it.
enum class TColourType : uint8_t {
    Greyscale = 0,
    Truecolour = 2,
    Indexed = 3,
    GreyscaleAlpha = 4,
    TruecolourAlpha = 6,
};

// Whether every pixel carries an alpha sample of its own.
constexpr bool HasAlphaSamples(TColourType Type) {
    return Type == TColourType::GreyscaleAlpha || Type == TColourType::TruecolourAlpha;
}

// Samples per pixel: 1 for a grey or palette index, 2 with alpha, 3 for red, green and blue, 4
// with alpha; 0 for a byte that names no colour type.
constexpr uint32_t SamplesPerPixel(TColourType Type) {
    switch (Type) {
    case TColourType::Greyscale:
    case TColourType::Indexed:
        return 1;
    case TColourType::GreyscaleAlpha:
        return 2;
    case TColourType::Truecolour:
        return 3;
    case TColourType::TruecolourAlpha:
        return 4;
    }
    return 0;
}

struct THeaderFields {
    uint32_t ImageWidth = 0;
    uint32_t ImageHeight = 0;
    uint8_t BitDepth = 0;
    TColourType ColourType = TColourType::Greyscale;
    uint8_t CompressionMethod = 0;
    uint8_t FilterMethod = 0;
    uint8_t InterlaceMethod = 0;
};

constexpr uint32_t kHeaderFieldsSize = 13;

// Takes the fields from the first 13 bytes of an IHDR body (big-endian sizes).
THeaderFields ParseHeaderFields(const uint8_t* Body);
// Writes the fields as the 13 bytes of an IHDR body.
void WriteHeaderFields(const THeaderFields& Fields, uint8_t* Body);

// Raises, in this order: EPNGSizeExceeds (width or height above 65,535),
// EPNGUnknownCompression, EPNGUnknownInterlace, and EPngInvalidIHDR for a colour
// type / bit depth pair outside the PNG standard. The filter method is not checked.
void CheckHeader(const THeaderFields& Fields);

constexpr uint32_t kMaxImageSide = 65535;

} // namespace zorbalin
