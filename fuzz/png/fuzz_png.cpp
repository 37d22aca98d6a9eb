// Any byte string given to the PNG reader must end in a picture or in one of the
// reader's own exceptions: no crash, no leak, no allocation beyond the reader's
// bounds. A picture that loads must also survive being saved and read again.
//
// The reader has two ways through the image data: the whole-image reader and the
// streaming reader it leaves every unusual case to. Every input goes through
// both, and their outcomes (exception, chunk list, storage) must be the same.
// The one difference allowed: zlib refuses a few deflate streams that libdeflate
// reads without doubt (a length code 286 or 287, more than 286 length or 30
// distance codes), so there the whole-image reader shows a picture where the
// streaming reader stops with a zlib error.
//
// Random mutations almost never keep a chunk's CRC right, which would stop most
// inputs at the first chunk; every input is therefore tried twice, as it is and
// with the CRC of every whole chunk recomputed, so that the chunk readers and the
// decoder see the mutated contents.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <typeinfo>
#include <vector>

#include "imaging/png_test_switches.h"
#include "imaging/pngpicture.h"

namespace {

uint32_t BigEndian(const uint8_t* P) {
    return uint32_t(P[0]) << 24 | uint32_t(P[1]) << 16 | uint32_t(P[2]) << 8 | P[3];
}

std::vector<uint8_t> WithFixedCrcs(const uint8_t* Data, size_t Size) {
    std::vector<uint8_t> copy(Data, Data + Size);
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

struct TOutcome {
    std::string Error;
    std::string ZlibError; // the error when it is the streaming reader's zlib error
    std::vector<std::string> Chunks;
    // The storage as a checksum, not a copy: a header of a few bytes may claim a gigabyte of
    // planes that the reader leaves untouched, and a copy would make the run's peak memory
    // that of the harness, not of the reader.
    uLong StorageCrc = crc32_z(0, nullptr, 0);
    size_t StorageSize = 0;

    void AddToStorage(const uint8_t* Bytes, size_t Size) {
        StorageCrc = crc32_z(StorageCrc, Bytes, Size);
        StorageSize += Size;
    }
    bool SameAs(const TOutcome& Other) const {
        return Error == Other.Error && Chunks == Other.Chunks && StorageCrc == Other.StorageCrc &&
               StorageSize == Other.StorageSize;
    }
};

TOutcome Load(zorbalin::TPNGObject& Picture, const uint8_t* Data, size_t Size, bool WholeImage) {
    using namespace zorbalin;
    TOutcome outcome;
    SetWholeImageReaderEnabled(WholeImage);
    try {
        TMemoryStream input(Data, Size);
        Picture.LoadFromStream(input);
    } catch (const EPNGZLIBError& e) {
        outcome.Error = outcome.ZlibError = e.Message();
    } catch (const Exception& e) {
        outcome.Error = std::string(typeid(e).name()) + ": " + e.Message(); // refused in order
    }
    SetWholeImageReaderEnabled(true);
    for (uint32_t i = 0; i < Picture.Chunks.Count(); ++i) {
        const TChunk* chunk = Picture.Chunks.Item(i);
        outcome.Chunks.push_back(std::string(chunk->ChunkType.begin(), chunk->ChunkType.end()) +
                                 std::to_string(chunk->BodySize()));
    }
    const auto* h = dynamic_cast<const TChunkIHDR*>(Picture.Chunks.Item(0));
    if (h && h->ColourPlane) {
        const size_t colour = size_t(h->RowStride) * h->ImageHeight;
        const size_t pixels = size_t(h->ImageWidth) * h->ImageHeight;
        outcome.AddToStorage(h->ColourPlane, colour);
        if (h->LowPlane)
            outcome.AddToStorage(h->LowPlane.get(), colour);
        if (h->AlphaPlane)
            outcome.AddToStorage(h->AlphaPlane.get(), pixels);
    }
    return outcome;
}

void LoadSaveReload(const uint8_t* Data, size_t Size) {
    using namespace zorbalin;
    TPNGObject streamed;
    const TOutcome streaming = Load(streamed, Data, Size, false);
    TPNGObject picture;
    const TOutcome both = Load(picture, Data, Size, true);
    const bool lenientInflate = !streaming.ZlibError.empty() && both.Error.empty() &&
                                LastImageDataPath() == TImageDataPath::WholeImage;
    if (!lenientInflate && !streaming.SameAs(both))
        __builtin_trap(); // the two readers disagree
    if (!both.Error.empty())
        return; // refused in an orderly way
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    LoadSaveReload(Data, Size);
    const std::vector<uint8_t> fixed = WithFixedCrcs(Data, Size);
    LoadSaveReload(fixed.data(), fixed.size());
    return 0;
}
