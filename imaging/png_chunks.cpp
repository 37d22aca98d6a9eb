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
} gChunkRegistryLifetime;

} // namespace

const TChunkClass& TChunk::Class() {
    static const TChunkClass kEntry{"TChunk", "", &CreateChunk<TChunk>, &IsChunkOf<TChunk>};
    return kEntry;
}

TChunkType MakeChunkType(const char* FourLetters) {
    TChunkType type{};
    std::memcpy(type.data(), FourLetters, 4);
    return type;
}

bool SameType(const TChunkType& Type, const char* FourLetters) {
    return std::memcmp(Type.data(), FourLetters, 4) == 0;
}

// ---- TChunk --------------------------------------------------------------------

TChunk::TChunk(TPNGObject* Owner) : FBody(1, 0), FOwner(Owner) {}

void TChunk::CopyFrom(const TChunk& Source) {
    ChunkType = Source.ChunkType;
    ResizeBody(Source.BodySize());
    std::memcpy(Body(), Source.Body(), Source.BodySize());
}

void TChunk::ResizeBody(uint32_t N) {
    FBody.resize(size_t(N) + 1);
    FBodySize = N;
}

bool TChunk::ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) {
    // The loader has checked the length against the stream; a direct caller gets
    // the same refusal before anything is allocated.
    if (Length > kMaxChunkLength || int64_t(Length) > StreamRemaining(Stream))
        throw EPngUnexpectedEnd();
    ResizeBody(Length);
    if (Length > 0)
        StreamRead(Stream, Body(), Length);
    uint32_t stored = 0;
    StreamReadBigEndian32(Stream, stored); // a short read shows as a CRC mismatch
    uint32_t crc = CrcUpdate(CrcStart(), reinterpret_cast<const uint8_t*>(Type.data()), 4);
    crc = CrcFinish(CrcUpdate(crc, Body(), Length));
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

void TPNGPointerList::SetCount(uint32_t N) {
    // The storage grows geometrically, so that a list of many chunks is built in
    // linear time; only an empty list gives its storage back.
    FItems.resize(N, nullptr);
    if (N == 0)
        FItems.shrink_to_fit();
}

void* TPNGPointerList::ItemAt(uint32_t I) const {
    return I < FItems.size() ? FItems[I] : nullptr;
}

void TPNGPointerList::SetItemAt(uint32_t I, void* Item) {
    if (I < FItems.size())
        FItems[I] = Item;
}

void TPNGPointerList::Append(void* Item) {
    FItems.push_back(Item);
}

// A position inside the list moves the items from there up by one; position 0
// of an empty list stores the first item; any other position is ignored.
void TPNGPointerList::InsertAt(void* Item, uint32_t Position) {
    if (Position < FItems.size() || (FItems.empty() && Position == 0))
        FItems.insert(FItems.begin() + Position, Item);
}

void* TPNGPointerList::RemoveItem(void* Item) {
    auto last = std::find(FItems.rbegin(), FItems.rend(), Item);
    if (last == FItems.rend())
        return nullptr;
    FItems.erase(std::next(last).base());
    return Item;
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

TChunk* TPNGList::FindByClass(const TChunkClass& ChunkClass) const {
    for (uint32_t i = 0; i < Count(); ++i) {
        TChunk* chunk = Item(i);
        if (chunk && ChunkClass.IsInstance(chunk))
            return chunk;
    }
    return nullptr;
}

TChunk* TPNGList::AddChunk(const TChunkClass& ChunkClass) {
    const bool critical =
        &ChunkClass == &TChunkIHDR::Class() || &ChunkClass == &TChunkIDAT::Class() ||
        &ChunkClass == &TChunkPLTE::Class() || &ChunkClass == &TChunkIEND::Class();
    const bool single = &ChunkClass == &TChunkgAMA::Class() ||
                        &ChunkClass == &TChunktRNS::Class() || &ChunkClass == &TChunkpHYs::Class();
    if (critical || (single && FindByClass(ChunkClass)))
        throw EPngError(kTextExistentCriticalChunk);
    TChunk* end = FindByClass(TChunkIEND::Class());
    TChunk* header = FindByClass(TChunkIHDR::Class());
    if (!end || !header)
        throw EPngError(kTextInvalidImageForNewChunk);

    std::unique_ptr<TChunk> chunk(ChunkClass.Create(Owner()));
    uint32_t position = static_cast<uint32_t>(end->IndexInList());
    if (&ChunkClass == &TChunkgAMA::Class() || &ChunkClass == &TChunkpHYs::Class()) {
        position = static_cast<uint32_t>(header->IndexInList()) + 1;
    } else if (&ChunkClass == &TChunktRNS::Class()) {
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

void RegisterChunkClass(const TChunkClass& ChunkClass) {
    if (!Registry())
        Registry() = new std::vector<const TChunkClass*>();
    Registry()->push_back(&ChunkClass);
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

std::unique_ptr<TChunk> ChunkForType(TPNGObject* Owner, const TChunkType& Type) {
    const TChunkClass* chosen = &TChunk::Class();
    if (Registry()) {
        for (const TChunkClass* c : *Registry()) {
            if (std::strlen(c->TypeName) == 4 && SameType(Type, c->TypeName)) {
                chosen = c;
                break;
            }
        }
    }
    std::unique_ptr<TChunk> chunk(chosen->Create(Owner));
    chunk->ChunkType = Type;
    return chunk;
}

} // namespace zorbalin
