// Big-endian fields and the few stream operations the PNG code needs, in one
// place so that the reader and the writer agree on them.
#pragma once

#include <cstdint>

#include "toolkit/stream.h"

namespace zorbalin {

inline uint32_t ReadBigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline uint16_t ReadBigEndian16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline void WriteBigEndian32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

inline void WriteBigEndian16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

// Reads up to `count` bytes; returns how many arrived (a short read is no error).
int64_t StreamRead(TStream& stream, void* buffer, int64_t count);
// Bytes between the current position and the end of the stream (0 past the end).
int64_t StreamRemaining(TStream& stream);
int64_t StreamPosition(TStream& stream);
// Moves forward by `count` bytes from the current position.
void StreamSkip(TStream& stream, int64_t count);
void StreamWrite(TStream& stream, const void* data, int64_t count);

// The 32-bit stored value at the stream, or false when fewer than 4 bytes arrive.
bool StreamReadBigEndian32(TStream& stream, uint32_t& value);

// The eight bytes every PNG file starts with.
inline constexpr uint8_t kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// Chunk data lengths may not pass 2^31 - 1 (the PNG standard's limit).
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFFu;

} // namespace zorbalin
