// The picture core: construction, Clear, size and emptiness, the header access,
// the row geometry, and loading a PNG stream into the chunk list.
#include "imaging/pngpicture.h"

#include <cstring>

#include "imaging/png_io.h"

namespace zorbalin {
namespace {

constexpr uint32_t kListGrowth = 10;

// The picture class joins the toolkit's picture formats when the program starts.
struct TPNGFormatRegistration {
    TPNGFormatRegistration() {
        TPicture::RegisterFileFormat("PNG", "Portable Network Graphics",
                                     [] { return std::unique_ptr<TGraphic>(new TPNGObject()); });
    }
} gPngFormatRegistration;

bool IsCriticalUnknown(const TChunk& Chunk) {
    const auto first = static_cast<uint8_t>(Chunk.ChunkType[0]);
    return &Chunk.ChunkClass() == &TChunk::Class() && (first & 32) == 0 && first != 0;
}

// During a load the list has spare slots; on every way out it is cut to the
// chunks actually created, so that no spare slot is ever seen.
class TListTrim {
  public:
    TListTrim(TPNGList& List, uint32_t& Count) : FList(List), FCount(Count) {}
    ~TListTrim() { FList.SetCount(FCount); }
    TListTrim(const TListTrim&) = delete;
    TListTrim& operator=(const TListTrim&) = delete;

  private:
    TPNGList& FList;
    uint32_t& FCount;
};

} // namespace

TPNGObject::TPNGObject() : Canvas(std::make_unique<TCanvas>()) {
    Clear();
}

TPNGObject::~TPNGObject() {
    Clear();
}

void TPNGObject::Clear() {
    for (int i = 0; i < 256; ++i) {
        GammaLut[i] = static_cast<uint8_t>(i);
        InverseGammaLut[i] = static_cast<uint8_t>(i);
    }
    Chunks.Clear();
    if (Canvas)
        Canvas->SetHandle(nullptr);
}

bool TPNGObject::GetEmpty() const {
    return Chunks.Count() == 0;
}

int TPNGObject::GetWidth() const {
    const auto* header = dynamic_cast<const TChunkIHDR*>(Chunks.Item(0));
    return header ? static_cast<int>(header->ImageWidth) : 0;
}

int TPNGObject::GetHeight() const {
    const auto* header = dynamic_cast<const TChunkIHDR*>(Chunks.Item(0));
    return header ? static_cast<int>(header->ImageHeight) : 0;
}

TChunkIHDR& TPNGObject::HeaderChunk() const {
    auto* header = dynamic_cast<TChunkIHDR*>(Chunks.Item(0));
    if (!header)
        throw EPNGHeaderNotPresent();
    return *header;
}

void TPNGObject::SetMaxDataChunkSize(int32_t Value) {
    FMaxDataChunkSize = Value >= 65535 ? Value : 65535;
}

uint32_t TPNGObject::RowBytesFor(uint32_t Width) const {
    const TChunkIHDR& header = HeaderChunk();
    const uint64_t bits = uint64_t(Width) * header.BitDepth;
    switch (header.ColourType) {
    case TColourType::Greyscale:
    case TColourType::Indexed:
        return static_cast<uint32_t>((bits + 7) / 8);
    case TColourType::Truecolour:
        return static_cast<uint32_t>(bits * 3 / 8);
    case TColourType::GreyscaleAlpha:
        return static_cast<uint32_t>(bits * 2 / 8);
    case TColourType::TruecolourAlpha:
        return static_cast<uint32_t>(bits * 4 / 8);
    default:
        return 0;
    }
}

uint32_t TPNGObject::FilterStep() const {
    const TChunkIHDR& header = HeaderChunk();
    if (header.BitDepth < 8)
        return 1;
    const uint32_t bytes = header.BitDepth / 8;
    switch (header.ColourType) {
    case TColourType::Truecolour:
        return 3 * bytes;
    case TColourType::GreyscaleAlpha:
        return 2 * bytes;
    case TColourType::TruecolourAlpha:
        return 4 * bytes;
    default:
        return bytes;
    }
}

void TPNGObject::LoadFromStream(TStream& Stream) {
    Clear();
    uint8_t signature[8] = {};
    if (StreamRead(Stream, signature, 8) != 8 || std::memcmp(signature, kPngSignature, 8) != 0)
        throw EPNGInvalidFileHeader();

    Chunks.SetCount(kListGrowth);
    uint32_t count = 0;
    bool imageDataSeen = false;
    TListTrim trim(Chunks, count);
    TChunkType type{};
    do {
        ++count;
        if (Chunks.Count() < count)
            Chunks.SetCount(Chunks.Count() + kListGrowth);
        uint8_t lengthBytes[4] = {};
        if (StreamRead(Stream, lengthBytes, 4) == 0) {
            --count;
            throw EPngUnexpectedEnd();
        }
        const uint32_t length = ReadBigEndian32(lengthBytes);
        StreamRead(Stream, type.data(), 4);
        if (count == 1 && !SameType(type, "IHDR")) {
            --count;
            throw EPNGIHDRNotFirst();
        }
        const bool isImageData = SameType(type, "IDAT");
        // A length the stream cannot hold is refused before any memory is taken for
        // it. Image data is streamed, not held, so a short last IDAT still decodes
        // its rows and then fails its CRC check.
        if (length > kMaxChunkLength ||
            (!isImageData && int64_t(length) > StreamRemaining(Stream))) {
            --count;
            throw EPngUnexpectedEnd();
        }
        if ((imageDataSeen && isImageData) || SameType(type, "cHRM")) {
            --count;
            StreamSkip(Stream, int64_t(length) + 4);
            continue;
        }
        TChunk* chunk = ChunkForType(this, type).release();
        Chunks.SetItemAt(count - 1, chunk);
        if (IsCriticalUnknown(*chunk))
            throw EPNGUnknownCriticalChunk();
        const bool more = chunk->ReadBody(Stream, type, length);
        if (isImageData)
            imageDataSeen = true;
        if (!more)
            break;
    } while (!SameType(type, "IEND"));
    Chunks.SetCount(count);
    if (!imageDataSeen)
        throw EPNGNoImageData();
}

void LoadPNGFromMemory(TPNGObject& Picture, const uint8_t* Data, size_t Size) {
    TMemoryStream stream(Data, Size);
    Picture.LoadFromStream(stream);
}

void LoadPNGFromFile(TPNGObject& Picture, const std::string& Path) {
    TFileStream stream(Path, kFmOpenRead);
    Picture.LoadFromStream(stream);
}

} // namespace zorbalin
