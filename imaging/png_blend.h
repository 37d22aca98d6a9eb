// The pixel arithmetic of alpha drawing: the blend of one colour byte, the
// nearest-pixel mapping of a stretched rectangle and the row loops that blend
// a picture row into a 32-bit work buffer row. Nothing here knows the picture
// class or a device context, so tests call these pieces directly.
#pragma once

#include <cstdint>
#include <vector>

namespace zorbalin {

// The blend used by every drawing of a picture with per-pixel opacity.
// Exact for all inputs: alpha 0 gives d back and alpha 255 gives s, so the
// skipping of fully transparent and fully opaque pixels never changes a result.
constexpr std::uint8_t BlendComponent(std::uint32_t S, std::uint32_t D, std::uint32_t A) {
    return static_cast<std::uint8_t>((S * A + D * (255u - A) + 255u) >> 8);
}

// The scale of a stretched axis: destination extent over source extent, held
// as a double like the drawing always has.
double StretchRatio(std::int32_t DestExtent, std::uint32_t SourceExtent);

// The source index shown at a destination index of a stretched axis: the
// destination index divided by the ratio in extended precision, truncated.
std::uint32_t StretchedSourceIndex(std::int32_t DestIndex, double Ratio);

// The source index of every destination index 0 .. destExtent - 1. With
// stretched false the map is the identity. Indices are clamped to the last
// source index, so a map never points outside the source.
std::vector<std::uint32_t> SourceIndexMap(std::int32_t DestExtent, std::uint32_t SourceExtent,
                                          bool Stretched);
// The part of that map for destination indices first .. first + count - 1, so
// that a clipped drawing maps only what it shows.
std::vector<std::uint32_t> SourceIndexSpan(std::int32_t First, std::int32_t Count,
                                           std::int32_t DestExtent, std::uint32_t SourceExtent,
                                           bool Stretched);

// Contracts of the row blenders below:
//  - dest points at width pixels of 4 bytes (blue, green, red, unused); the
//    fourth byte is never written.
//  - columnMap, when not null, gives the source column of each destination
//    column; null means destination column x shows source column x.
//  - every source column named must lie inside the source row.

// A 24-bit colour row (blue, green, red) with its alpha row. A null alpha row
// counts as fully opaque.
void BlendRowBgr24(std::uint8_t* Dest, const std::uint8_t* Colour, const std::uint8_t* Alpha,
                   const std::uint32_t* ColumnMap, std::int32_t Width);

// The same contract, faster where the processor allows; results are equal
// to BlendRowBgr24 byte for byte.
void BlendRowBgr24Fast(std::uint8_t* Dest, const std::uint8_t* Colour, const std::uint8_t* Alpha,
                       const std::uint32_t* ColumnMap, std::int32_t Width);

// The packed sample at column x of a row of 1, 4 or 8 bits per pixel, most
// significant bits first.
std::uint8_t PackedSample(const std::uint8_t* Row, std::uint32_t X, std::uint32_t BitCount);

} // namespace zorbalin
