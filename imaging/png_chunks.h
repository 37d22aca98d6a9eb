// The chunks of a PNG picture: the TChunk base, the ten chunk classes the reader
// knows, the process-wide chunk-class registry and the picture's chunk list.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gdi/gdi.h"
#include "gdi/zeroed_memory.h"
#include "imaging/png_header.h"
#include "toolkit/stream.h"

namespace zorbalin {

class TPNGObject;
class TChunk;
class TChunkIHDR;

// A four-byte chunk type code exactly as in the file, e.g. "IHDR".
using TChunkType = std::array<char, 4>;
TChunkType MakeChunkType(const char* FourLetters);
bool SameType(const TChunkType& Type, const char* FourLetters);

// A chunk class reference: what the registry holds and what FindByClass and
// AddChunk take. Create is the "virtual constructor"; IsInstance answers "is this
// chunk of the class or of a class derived from it".
struct TChunkClass {
    const char* Name;     // e.g. "TChunkIHDR"
    const char* TypeName; // the class name without "TChunk": "IHDR"; "" for TChunk
    TChunk* (*Create)(TPNGObject* Owner);
    bool (*IsInstance)(const TChunk* Chunk);
};

// Every chunk as read from a stream or to be written to one.
class TChunk {
  public:
    explicit TChunk(TPNGObject* Owner);
    virtual ~TChunk() = default;
    TChunk(const TChunk&) = delete;
    TChunk& operator=(const TChunk&) = delete;

    static const TChunkClass& Class();
    // The class of this object (the registry entry a copy must be built from).
    virtual const TChunkClass& ChunkClass() const { return Class(); }

    // Copies the type code and the data.
    virtual void CopyFrom(const TChunk& Source);
    // Reads the data and the CRC; the length and type code have been read already.
    virtual bool ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length);
    // Rebuilds the data from the fields (typed chunks) and writes the framed chunk.
    virtual bool WriteTo(TStream& Stream);

    // Sets BodySize to n and keeps the data, always one spare byte beyond it.
    void ResizeBody(uint32_t N);
    // Position in the owner's chunk list, or -1.
    int IndexInList() const;
    // Item 0 of the owner's chunk list as a header chunk (null if it is none).
    TChunkIHDR* OwnerHeader() const;
    // Length, type, data and CRC over type and data, all big-endian.
    bool WriteFramed(TStream& Stream);

    uint8_t* Body() { return FBody.data(); }
    const uint8_t* Body() const { return FBody.data(); }
    uint32_t BodySize() const { return FBodySize; }
    TPNGObject* Owner() const { return FOwner; }

    TChunkType ChunkType{};

  private:
    std::vector<uint8_t> FBody;
    uint32_t FBodySize = 0;
    TPNGObject* FOwner;
};

// The "virtual constructor" of a chunk class: a chunk whose class handles a type code
// starts with that code.
template <class T> TChunk* CreateChunk(TPNGObject* Owner) {
    T* chunk = new T(Owner);
    const char* typeName = T::Class().TypeName;
    if (typeName[0] != 0)
        chunk->ChunkType = MakeChunkType(typeName);
    return chunk;
}

template <class T> bool IsChunkOf(const TChunk* Chunk) {
    return dynamic_cast<const T*>(Chunk) != nullptr;
}

// What every chunk class declares alike: its registry entry, Class(), with its name and the
// type code it handles, and the ChunkClass() that answers with that entry.
#define ZORBALIN_CHUNK_CLASS(T, TYPE)                                                              \
    static const TChunkClass& Class() {                                                            \
        static const TChunkClass entry{#T, TYPE, &CreateChunk<T>, &IsChunkOf<T>};                  \
        return entry;                                                                              \
    }                                                                                              \
    const TChunkClass& ChunkClass() const override {                                               \
        return Class();                                                                            \
    }

class TChunkIEND : public TChunk {
  public:
    using TChunk::TChunk;
    ZORBALIN_CHUNK_CLASS(TChunkIEND, "IEND")
};

// The image header: the seven fields, and the picture's storage they call for: the colour
// plane in a DIB section selected into a memory device context, the alpha and low-byte planes
// and the colour table.
class TChunkIHDR : public TChunk, public THeaderFields {
  public:
    explicit TChunkIHDR(TPNGObject* Owner);
    ~TChunkIHDR() override;
    ZORBALIN_CHUNK_CLASS(TChunkIHDR, "IHDR")

    void CopyFrom(const TChunk& Source) override;
    bool ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) override;
    bool WriteTo(TStream& Stream) override;

    // Builds zeroed storage from the seven header fields, releasing any old one.
    // Raises EPngInvalidIHDR for a colour type / bit depth pair outside the PNG
    // standard and EPNGOutMemory when the planes cannot be had or would pass 1 GiB.
    void PrepareStorage();
    void ReleaseStorage();
    // Installing a palette: the copying form puts the palette's entries into the
    // colour table first; both select and realise it in DibDC and take it over
    // (only when the storage is Paletted; otherwise nothing changes).
    void InstallPalette(HPALETTE Palette);
    void InstallPaletteKeepingTable(HPALETTE Palette);
    // The colour table rebuilt as the grey ramp of the current gamma table.
    void InstallGreyRamp();

    // Bit count of the colour plane for this header's format (1, 4, 8 or 24).
    int PlaneBitCount() const;

    THeaderFields& Fields() { return *this; }
    const THeaderFields& Fields() const { return *this; }

    HBITMAP DibHandle = nullptr;
    HDC DibDC = nullptr;
    HPALETTE PaletteHandle = nullptr;
    bool Paletted = false;
    BITMAPINFO BitmapInfo{};
    TZeroedBytes LowPlane;
    uint8_t* ColourPlane = nullptr; // owned by the DIB section
    TZeroedBytes AlphaPlane;
    int32_t RowStride = 0;

  private:
    void CreatePlanes();
    void CreateProvisionalPalette();
    void CreateColourSection();
    HBITMAP FOldBitmap = nullptr;
};

// The image data. Its reading decodes straight into the header's storage and
// keeps no data of its own; its writing compresses the storage.
class TChunkIDAT : public TChunk {
  public:
    using TChunk::TChunk;
    ZORBALIN_CHUNK_CLASS(TChunkIDAT, "IDAT")

    bool ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) override;
    bool WriteTo(TStream& Stream) override;
};

class TChunkPLTE : public TChunk {
  public:
    using TChunk::TChunk;
    ZORBALIN_CHUNK_CLASS(TChunkPLTE, "PLTE")

    void CopyFrom(const TChunk& Source) override;
    bool ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) override;
    bool WriteTo(TStream& Stream) override;

    // The image's colour-table entry at `index`; EPngError beyond EntryCount.
    RGBQUAD Item(uint32_t Index) const;

    uint32_t EntryCount = 0;
};

class TChunkgAMA : public TChunk {
  public:
    explicit TChunkgAMA(TPNGObject* Owner);
    ZORBALIN_CHUNK_CLASS(TChunkgAMA, "gAMA")

    void CopyFrom(const TChunk& Source) override;
    bool ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) override;

    // The value held in the 4-byte body, big-endian.
    uint32_t Gamma() const;
    void SetGamma(uint32_t Value);
};

class TChunktRNS : public TChunk {
  public:
    using TChunk::TChunk;
    ZORBALIN_CHUNK_CLASS(TChunktRNS, "tRNS")

    void CopyFrom(const TChunk& Source) override;
    bool ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) override;
    bool WriteTo(TStream& Stream) override;

    // The fully transparent colour as RGB (red in the low byte); 0 when none.
    COLORREF TransparentColour() const;
    // Makes `colour` the one transparent colour (grey, RGB or palette rule).
    void SetTransparentColour(COLORREF Colour);

    bool SingleColour = false;
    std::array<uint8_t, 256> AlphaTable{};
};

class TChunkpHYs : public TChunk {
  public:
    using TChunk::TChunk;
    ZORBALIN_CHUNK_CLASS(TChunkpHYs, "pHYs")

    void CopyFrom(const TChunk& Source) override;
    bool ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) override;
    bool WriteTo(TStream& Stream) override;

    uint32_t PixelsPerUnitX = 0;
    uint32_t PixelsPerUnitY = 0;
    uint8_t UnitSpecifier = 0;
};

class TChunktIME : public TChunk {
  public:
    using TChunk::TChunk;
    ZORBALIN_CHUNK_CLASS(TChunktIME, "tIME")

    void CopyFrom(const TChunk& Source) override;
    bool ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) override;
    bool WriteTo(TStream& Stream) override;

    uint16_t Year = 0;
    uint8_t Month = 0;
    uint8_t Day = 0;
    uint8_t Hour = 0;
    uint8_t Minute = 0;
    uint8_t Second = 0;
};

class TChunktEXt : public TChunk {
  public:
    using TChunk::TChunk;
    ZORBALIN_CHUNK_CLASS(TChunktEXt, "tEXt")

    void CopyFrom(const TChunk& Source) override;
    bool ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) override;
    bool WriteTo(TStream& Stream) override;

    std::string Keyword;
    std::string Text;
};

// A compressed text: the text is held uncompressed.
class TChunkzTXt : public TChunktEXt {
  public:
    using TChunktEXt::TChunktEXt;
    ZORBALIN_CHUNK_CLASS(TChunkzTXt, "zTXt")

    bool ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) override;
    bool WriteTo(TStream& Stream) override;
};

// A growable array of untyped item references whose capacity is its count.
class TPNGPointerList {
  public:
    explicit TPNGPointerList(TPNGObject* Owner) : FOwner(Owner) {}
    virtual ~TPNGPointerList() = default;
    TPNGPointerList(const TPNGPointerList&) = delete;
    TPNGPointerList& operator=(const TPNGPointerList&) = delete;

    uint32_t Count() const { return static_cast<uint32_t>(FItems.size()); }
    void SetCount(uint32_t N);
    void* ItemAt(uint32_t I) const;         // null outside 0..Count-1
    void SetItemAt(uint32_t I, void* Item); // ignored outside 0..Count-1
    void Append(void* Item);
    void InsertAt(void* Item, uint32_t Position); // see the .cpp for the accepted positions
    void* RemoveItem(void* Item);                 // null when absent
    TPNGObject* Owner() const { return FOwner; }

  private:
    TPNGObject* FOwner;
    std::vector<void*> FItems;
};

// The picture's chunks in file order; it owns them.
class TPNGList : public TPNGPointerList {
  public:
    using TPNGPointerList::TPNGPointerList;
    ~TPNGList() override;

    TChunk* Item(uint32_t I) const { return static_cast<TChunk*>(ItemAt(I)); }
    // Frees every chunk and sets the count to 0.
    void Clear();
    // The first chunk of the class or of a class derived from it; null if none.
    TChunk* FindByClass(const TChunkClass& ChunkClass) const;
    template <class T> T* Find() const { return static_cast<T*>(FindByClass(T::Class())); }
    // Creates a chunk of the class and inserts it where the format wants it.
    TChunk* AddChunk(const TChunkClass& ChunkClass);
};

// The process-wide chunk-class registry.
void RegisterChunkClass(const TChunkClass& ChunkClass);
void RegisterStandardChunkClasses();
void ReleaseChunkClasses();
// A new chunk of the first registered class handling `type` (a plain TChunk when
// none does), owned by the caller, with ChunkType set to `type`.
std::unique_ptr<TChunk> ChunkForType(TPNGObject* Owner, const TChunkType& Type);

} // namespace zorbalin
