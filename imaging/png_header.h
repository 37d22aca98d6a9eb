// The seven fields of an image header, their 13 bytes in a file, and their checks as a pure
// function that tests call directly.
#pragma once

#include <cstdint>

namespace zorbalin {

struct THeaderFields {
    uint32_t ImageWidth = 0;
    uint32_t ImageHeight = 0;
    uint8_t BitDepth = 0;
    uint8_t ColourType = 0;
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
