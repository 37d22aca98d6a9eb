// The chunk base class, the chunk-class registry and the picture's chunk list.
#include "imaging/png_chunks.h"

#include <algorithm>
#include <cstring>

#include "imaging/png_crc.h"
#include "imaging/png_io.h"
#include "imaging/pngpicture.h"

namespace zorbalin {
namespace {

std::vector<const TChunkClass*>*& Registry() {
    static std::vector<const TChunkClass*>* registry = nullptr;
    return registry;
}

// The unit's start-up and shutdown: the standard classes are registered before
// any picture can be loaded and released when the program ends.
struct TChunkRegistryLifetime {
    TChunkRegistryLifetime() { RegisterStandardChunkClasses(); }
    ~TChunkRegistryLifetime() { ReleaseChunkClasses(); }
} chunkRegistryLifetime;

} // namespace

const TChunkClass& TChunk::Class() {
    static const TChunkClass entry{"TChunk", "", &CreateChunk<TChunk>, &IsChunkOf<TChunk>};
    return entry;
}

TChunkType MakeChunkType(const char* fourLetters) {
    TChunkType type{};
    std::memcpy(type.data(), fourLetters, 4);
    return type;
}

bool SameType(const TChunkType& type, const char* fourLetters) {
    return std::memcmp(type.data(), fourLetters, 4) == 0;
}

// ---- TChunk --------------------------------------------------------------------

TChunk::TChunk(TPNGObject* owner) : FBody(1, 0), FOwner(owner) {}

void TChunk::CopyFrom(const TChunk& source) {
    ChunkType = source.ChunkType;
    ResizeBody(source.BodySize());
    std::memcpy(Body(), source.Body(), source.BodySize());
}

void TChunk::ResizeBody(uint32_t n) {
    FBody.resize(size_t(n) + 1);
    FBodySize = n;
}

bool TChunk::ReadBody(TStream& stream, const TChunkType& type, uint32_t length) {
    // The loader has checked the length against the stream; a direct caller gets
    // the same refusal before anything is allocated.
    if (length > kMaxChunkLength || int64_t(length) > StreamRemaining(stream))
        throw EPngUnexpectedEnd();
    ResizeBody(length);
    if (length > 0)
        StreamRead(stream, Body(), length);
    uint32_t stored = 0;
    StreamReadBigEndian32(stream, stored); // a short read shows as a CRC mismatch
    uint32_t crc = CrcUpdate(CrcStart(), reinterpret_cast<const uint8_t*>(type.data()), 4);
    crc = CrcFinish(CrcUpdate(crc, Body(), length));
    if (crc != stored)
        throw EPngInvalidCRC();
    return true;
}

int TChunk::IndexInList() const {
    if (!FOwner)
        return -1;
    const TPNGList& list = FOwner->Chunks;
    for (uint32_t i = 0; i < list.Count(); ++i)
        if (list.Item(i) == this)
            return static_cast<int>(i);
    return -1;
}

TChunkIHDR* TChunk::OwnerHeader() const {
    if (!FOwner || FOwner->Chunks.Count() == 0)
        return nullptr;
    return dynamic_cast<TChunkIHDR*>(FOwner->Chunks.Item(0));
}

// ---- TPNGPointerList ------------------------------------------------------------

void TPNGPointerList::SetCount(uint32_t n) {
    // The storage grows geometrically, so that a list of many chunks is built in
    // linear time; only an empty list gives its storage back.
    FItems.resize(n, nullptr);
    if (n == 0)
        FItems.shrink_to_fit();
}

void* TPNGPointerList::ItemAt(uint32_t i) const {
    return i < FItems.size() ? FItems[i] : nullptr;
}

void TPNGPointerList::SetItemAt(uint32_t i, void* item) {
    if (i < FItems.size())
        FItems[i] = item;
}

void TPNGPointerList::Append(void* item) {
    FItems.push_back(item);
}

// A position inside the list moves the items from there up by one; position 0
// of an empty list stores the first item; any other position is ignored.
void TPNGPointerList::InsertAt(void* item, uint32_t position) {
    if (position < FItems.size() || (FItems.empty() && position == 0))
        FItems.insert(FItems.begin() + position, item);
}

void* TPNGPointerList::RemoveItem(void* item) {
    auto last = std::find(FItems.rbegin(), FItems.rend(), item);
    if (last == FItems.rend())
        return nullptr;
    FItems.erase(std::next(last).base());
    return item;
}

// ---- TPNGList -------------------------------------------------------------------

TPNGList::~TPNGList() {
    Clear();
}

void TPNGList::Clear() {
    // Freed from the end, so the header chunk, which others may consult while
    // they go, is the last to go.
    for (uint32_t i = Count(); i-- > 0;) {
        delete Item(i);
        SetItemAt(i, nullptr);
    }
    SetCount(0);
}

TChunk* TPNGList::FindByClass(const TChunkClass& chunkClass) const {
    for (uint32_t i = 0; i < Count(); ++i) {
        TChunk* chunk = Item(i);
        if (chunk && chunkClass.IsInstance(chunk))
            return chunk;
    }
    return nullptr;
}

TChunk* TPNGList::AddChunk(const TChunkClass& chunkClass) {
    const bool critical =
        &chunkClass == &TChunkIHDR::Class() || &chunkClass == &TChunkIDAT::Class() ||
        &chunkClass == &TChunkPLTE::Class() || &chunkClass == &TChunkIEND::Class();
    const bool single = &chunkClass == &TChunkgAMA::Class() ||
                        &chunkClass == &TChunktRNS::Class() || &chunkClass == &TChunkpHYs::Class();
    if (critical || (single && FindByClass(chunkClass)))
        throw EPngError(TextExistentCriticalChunk);
    TChunk* end = FindByClass(TChunkIEND::Class());
    TChunk* header = FindByClass(TChunkIHDR::Class());
    if (!end || !header)
        throw EPngError(TextInvalidImageForNewChunk);

    std::unique_ptr<TChunk> chunk(chunkClass.Create(Owner()));
    uint32_t position = static_cast<uint32_t>(end->IndexInList());
    if (&chunkClass == &TChunkgAMA::Class() || &chunkClass == &TChunkpHYs::Class()) {
        position = static_cast<uint32_t>(header->IndexInList()) + 1;
    } else if (&chunkClass == &TChunktRNS::Class()) {
        TChunk* palette = FindByClass(TChunkPLTE::Class());
        TChunk* data = FindByClass(TChunkIDAT::Class());
        if (palette)
            position = static_cast<uint32_t>(palette->IndexInList()) + 1;
        else if (data)
            position = static_cast<uint32_t>(data->IndexInList());
        else
            position = static_cast<uint32_t>(header->IndexInList()) + 1;
    }
    InsertAt(chunk.get(), position);
    return chunk.release();
}

// ---- Registry -------------------------------------------------------------------

void RegisterChunkClass(const TChunkClass& chunkClass) {
    if (!Registry())
        Registry() = new std::vector<const TChunkClass*>();
    Registry()->push_back(&chunkClass);
}

void RegisterStandardChunkClasses() {
    for (const TChunkClass* c :
         {&TChunkIEND::Class(), &TChunkIHDR::Class(), &TChunkIDAT::Class(), &TChunkPLTE::Class(),
          &TChunkgAMA::Class(), &TChunktRNS::Class(), &TChunkpHYs::Class(), &TChunktIME::Class(),
          &TChunktEXt::Class(), &TChunkzTXt::Class()})
        RegisterChunkClass(*c);
}

void ReleaseChunkClasses() {
    delete Registry();
    Registry() = nullptr;
}

std::unique_ptr<TChunk> ChunkForType(TPNGObject* owner, const TChunkType& type) {
    const TChunkClass* chosen = &TChunk::Class();
    if (Registry()) {
        for (const TChunkClass* c : *Registry()) {
            if (std::strlen(c->TypeName) == 4 && SameType(type, c->TypeName)) {
                chosen = c;
                break;
            }
        }
    }
    std::unique_ptr<TChunk> chunk(chosen->Create(owner));
    chunk->ChunkType = type;
    return chunk;
}

} // namespace zorbalin
