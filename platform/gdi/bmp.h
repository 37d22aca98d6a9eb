// Windows bitmap files: decoding any BITMAPINFOHEADER (or its V4/V5 successors, or the old
// 12-byte core header) file into a DIB, and encoding a DIB back into a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gdi/types.h"

namespace zorbalin {

// A decoded bitmap: a BITMAPINFO with BI_RGB and a positive height (rows bottom-up, padded to
// 4 bytes) and its pixels. Bit counts: 1, 4 and 8 keep their indices and colour table
// (biClrUsed entries); 16-bit 5-5-5 stays 16; 24 stays 24; 32 stays 32 (the fourth byte kept);
// 16-bit files with other masks become 24; RLE files become 8 or 4 bits.
struct TDibImage {
    BITMAPINFO Info{};
    std::vector<std::uint8_t> Bits;
};

enum class TBmpError {
    None,
    Truncated,       // the file ends before the headers, the colour table or the pixels do
    BadSignature,    // not "BM"
    BadHeader,       // unknown header size, planes other than 1, bad bit count or compression
    BadSize,         // width or height 0 or negative where not allowed, or above 16,384
    SizeOverflow,    // the decoded rows would pass 256 MiB, or the file cannot hold them
    BadColorTable,   // more colours than the bit count allows
    BadPaletteIndex, // a pixel names an entry beyond the colour table
    BadRle,          // compressed data running past a row or the picture
};

// Decodes a whole BMP file. On failure `out` is left empty. A picture may be at most 16,384
// pixels a side and 256 MiB of decoded rows. Memory is allocated only after the sizes have been
// checked against the bytes the file holds (RLE pictures: at most 256 bytes of decoded rows per
// compressed byte, and only once the codes have been walked to their end marker).
TBmpError DecodeBmp(const std::uint8_t* Data, std::size_t Size, TDibImage& Out);

// Decodes a packed DIB (info header, colour table, pixels; no file header), as on a clipboard.
TBmpError DecodePackedDib(const std::uint8_t* Data, std::size_t Size, TDibImage& Out);

// A BMP file (14-byte file header, 40-byte BITMAPINFOHEADER, colour table of biClrUsed (or all)
// entries for 1/4/8 bits, uncompressed rows bottom-up) of a DIB in the layout of TDibImage.
std::vector<std::uint8_t> EncodeBmp(const TDibImage& Image);

// The same without the file header (a packed DIB).
std::vector<std::uint8_t> EncodePackedDib(const TDibImage& Image);

} // namespace zorbalin
