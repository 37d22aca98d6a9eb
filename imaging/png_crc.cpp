#include "imaging/png_crc.h"

#include <zlib.h>

#include <array>

namespace zorbalin {
namespace {

using TCrcTable = std::array<uint32_t, 256>;

const TCrcTable& Table() {
    static const TCrcTable table = [] {
        TCrcTable t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

// Below this size the byte-wise table loop is as quick as a call into zlib.
constexpr size_t kBulkThreshold = 64;

} // namespace

uint32_t CrcUpdate(uint32_t running, const uint8_t* data, size_t size) {
    if (size >= kBulkThreshold) {
        // zlib computes the same CRC several bytes at a time; it takes and returns the
        // complemented register. Image data runs to megabytes, so this matters.
        uLong crc = ~running & 0xFFFFFFFFu;
        while (size > 0) {
            const uInt piece = size > 0x40000000u ? 0x40000000u : static_cast<uInt>(size);
            crc = ::crc32(crc, data, piece);
            data += piece;
            size -= piece;
        }
        return ~static_cast<uint32_t>(crc);
    }
    const TCrcTable& table = Table();
    for (size_t i = 0; i < size; ++i)
        running = table[(running ^ data[i]) & 0xFF] ^ (running >> 8);
    return running;
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    return CrcFinish(CrcUpdate(CrcStart(), data, size));
}

} // namespace zorbalin
