// CRC-32 of the PNG standard (ISO 3309 polynomial, reflected, register preset to
// all ones, final complement), as every chunk carries it over its type and data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorbalin {

// A running CRC: start with CrcStart(), feed pieces with CrcUpdate(), and compare
// CrcFinish() with the stored value.
constexpr uint32_t CrcStart() {
    return 0xFFFFFFFFu;
}
uint32_t CrcUpdate(uint32_t Running, const uint8_t* Data, size_t Size);
constexpr uint32_t CrcFinish(uint32_t Running) {
    return Running ^ 0xFFFFFFFFu;
}

// The CRC of one block, start to finish.
uint32_t Crc32(const uint8_t* Data, size_t Size);

} // namespace zorbalin
