// Small files that claim a lot: the pictures a careless or hostile user can put
// where the game and pngtool read theirs. Each is built in memory, a few hundred
// kilobytes at most.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorbalin::hostile {

using TBytes = std::vector<std::uint8_t>;

// An 8-bit run-length-encoded bitmap of `side` x `side` pixels: a disc of
// palette entry 1 on entry 0, in runs of at most 255 pixels. Without its end
// marker the file is damaged, and only the last byte tells.
TBytes RunLengthPebble(int Side, bool WithEndMarker);

// A 1 x 1 RGBA picture with a zTXt chunk whose text inflates to `textBytes`.
TBytes CompressedTextBomb(std::uint64_t TextBytes);

// A 1 x 1 RGBA picture with `count` tEXt chunks of three data bytes each.
TBytes ManyTextChunks(int Count);

// A header claiming `width` x `height` RGBA pixels at 16 bits, followed by a
// few bytes of image data instead of the rows.
TBytes HugeHeaderWithoutRows(std::uint32_t Width, std::uint32_t Height);

void WriteBytes(const std::string& Path, const TBytes& Bytes);

} // namespace zorbalin::hostile
