// Any byte string given to the PNG reader must end in a picture or in one of the
// reader's own exceptions: no crash, no leak, no allocation beyond the reader's
// bounds. A picture that loads must also survive being saved and read again.
//
// Random mutations almost never keep a chunk's CRC right, which would stop most
// inputs at the first chunk; every input is therefore tried twice, as it is and
// with the CRC of every whole chunk recomputed, so that the chunk readers and the
// decoder see the mutated contents.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/pngpicture.h"

namespace {

uint32_t BigEndian(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

std::vector<uint8_t> WithFixedCrcs(const uint8_t* data, size_t size) {
    std::vector<uint8_t> copy(data, data + size);
    size_t at = 8;
    while (at + 12 <= copy.size()) {
        const uint64_t length = BigEndian(&copy[at]);
        if (at + 12 + length > copy.size())
            break;
        const uint32_t crc =
            static_cast<uint32_t>(crc32(0, &copy[at + 4], static_cast<uInt>(length + 4)));
        uint8_t* stored = &copy[at + 8 + length];
        stored[0] = uint8_t(crc >> 24);
        stored[1] = uint8_t(crc >> 16);
        stored[2] = uint8_t(crc >> 8);
        stored[3] = uint8_t(crc);
        at += 12 + length;
    }
    return copy;
}

void LoadSaveReload(const uint8_t* data, size_t size) {
    using namespace zorbalin;
    TPNGObject picture;
    try {
        TMemoryStream input(data, size);
        picture.LoadFromStream(input);
    } catch (const Exception&) {
        return; // refused in an orderly way
    }
    // Writing compresses every pixel; large pictures (a few bytes may claim
    // millions of pixels) would only slow the search down, and the writer meets
    // every code path with small ones.
    if (uint64_t(picture.Width()) * uint64_t(picture.Height()) > (1u << 18))
        return;
    TMemoryStream saved;
    picture.SaveToStream(saved);
    saved.SetPosition(0);
    TPNGObject again;
    again.LoadFromStream(saved); // what we wrote must read back: an exception here is a finding
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LoadSaveReload(data, size);
    const std::vector<uint8_t> fixed = WithFixedCrcs(data, size);
    LoadSaveReload(fixed.data(), fixed.size());
    return 0;
}
