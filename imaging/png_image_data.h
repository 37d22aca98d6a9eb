// The two readers of a picture's image data, and what they share. The streaming
// reader inflates the data chunk by chunk, a window at a time; it is the exact
// reference for every outcome. The whole-image reader takes the common case (one
// run of intact IDAT chunks holding one well-formed zlib stream of exactly the
// image's size) in one inflate and one pass over the rows; whatever it cannot
// take it leaves untouched to the streaming reader.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/png_chunks.h"
#include "imaging/png_convert.h"
#include "toolkit/stream.h"

namespace zorbalin {

class TPNGObject;
class TChunkIHDR;

// Where image row `y` (counted from the top) goes in the header's planes.
TRowTarget RowTargetFor(const TChunkIHDR& Header, uint32_t Y);
bool IsIdentityTable(const std::array<uint8_t, 256>& Table);
// The bytes of the filtered image: every row (every pass row when interlaced)
// with its filter-type byte.
uint64_t FilteredImageBytes(const TPNGObject& Picture);

// Decodes the whole image when the data allows; `stream` stands at the data of
// the first IDAT chunk, `length` bytes long. On success the stream stands after
// the last IDAT chunk of the run and true is returned. Otherwise (and whenever a
// test has turned the whole-image reader off: png_test_switches.h) nothing has
// changed, the stream stands where it stood, and false is returned for the
// streaming reader to take the data.
bool DecodeWholeImage(TPNGObject& Picture, TStream& Stream, const TChunkType& Type,
                      uint32_t Length);

} // namespace zorbalin
