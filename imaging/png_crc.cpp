#include "imaging/png_crc.h"

#include <zlib.h>

#include <array>

namespace zorbalin {
namespace {

using TCrcTable = std::array<uint32_t, 256>;

const TCrcTable& Table() {
    static const TCrcTable kTable = [] {
        TCrcTable t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return kTable;
}

// Below this size the byte-wise table loop is as quick as a call into zlib.
constexpr size_t kBulkThreshold = 64;

} // namespace

uint32_t CrcUpdate(uint32_t Running, const uint8_t* Data, size_t Size) {
    if (Size >= kBulkThreshold) {
        // zlib computes the same CRC several bytes at a time; it takes and returns the
        // complemented register. Image data runs to megabytes, so this matters.
        uLong crc = ~Running & 0xFFFFFFFFu;
        while (Size > 0) {
            const uInt piece = Size > 0x40000000u ? 0x40000000u : static_cast<uInt>(Size);
            crc = ::crc32(crc, Data, piece);
            Data += piece;
            Size -= piece;
        }
        return ~static_cast<uint32_t>(crc);
    }
    const TCrcTable& table = Table();
    for (size_t i = 0; i < Size; ++i)
        Running = table[(Running ^ Data[i]) & 0xFF] ^ (Running >> 8);
    return Running;
}

uint32_t Crc32(const uint8_t* Data, size_t Size) {
    return CrcFinish(CrcUpdate(CrcStart(), Data, Size));
}

} // namespace zorbalin
