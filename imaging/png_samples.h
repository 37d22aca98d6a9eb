// The inverse of the row conversions: one image row of the storage turned back
// into the samples of a PNG row, as the writer filters and compresses them.
#pragma once

#include <array>
#include <cstdint>

namespace zorbalin {

class TChunkIHDR;

// Writes the unfiltered PNG bytes of image row `y` (counted from the top) to `out`
// (RowBytesFor(width) bytes). RGB samples go back through `inverseGamma`; 16-bit
// alpha, whose low byte is not kept, is written as high byte twice.
void StorageRowToSamples(const TChunkIHDR& Header, uint32_t Y,
                         const std::array<uint8_t, 256>& InverseGamma, uint8_t* Out);

} // namespace zorbalin
