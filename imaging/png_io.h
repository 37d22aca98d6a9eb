// Big-endian fields and the few stream operations the PNG code needs, in one
// place so that the reader and the writer agree on them.
#pragma once

#include <cstdint>

#include "toolkit/stream.h"

namespace zorbalin {

inline uint32_t ReadBigEndian32(const uint8_t* P) {
    return (uint32_t(P[0]) << 24) | (uint32_t(P[1]) << 16) | (uint32_t(P[2]) << 8) | uint32_t(P[3]);
}

inline uint16_t ReadBigEndian16(const uint8_t* P) {
    return static_cast<uint16_t>((P[0] << 8) | P[1]);
}

inline void WriteBigEndian32(uint8_t* P, uint32_t V) {
    P[0] = static_cast<uint8_t>(V >> 24);
    P[1] = static_cast<uint8_t>(V >> 16);
    P[2] = static_cast<uint8_t>(V >> 8);
    P[3] = static_cast<uint8_t>(V);
}

inline void WriteBigEndian16(uint8_t* P, uint16_t V) {
    P[0] = static_cast<uint8_t>(V >> 8);
    P[1] = static_cast<uint8_t>(V);
}

// Reads up to `count` bytes; returns how many arrived (a short read is no error).
int64_t StreamRead(TStream& Stream, void* Buffer, int64_t Count);
// Bytes between the current position and the end of the stream (0 past the end).
int64_t StreamRemaining(TStream& Stream);
int64_t StreamPosition(TStream& Stream);
// Moves forward by `count` bytes from the current position.
void StreamSkip(TStream& Stream, int64_t Count);
void StreamWrite(TStream& Stream, const void* Data, int64_t Count);

// The 32-bit stored value at the stream, or false when fewer than 4 bytes arrive.
bool StreamReadBigEndian32(TStream& Stream, uint32_t& Value);

// The eight bytes every PNG file starts with.
inline constexpr uint8_t kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// Chunk data lengths may not pass 2^31 - 1 (the PNG standard's limit).
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFFu;

} // namespace zorbalin
