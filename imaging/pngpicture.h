// TPNGObject: the in-memory PNG picture behind every window background and image
// button. A picture class of the toolkit; its chunk list holds the file's chunks in
// order, and the header chunk (item 0) owns the decoded storage.
//
// Where the members live: loading, saving settings, Clear and the storage lifecycle
// in pngpicture.cpp; chunks in png_chunks.cpp; decoding in png_decode.cpp; writing
// in png_write.cpp; drawing in png_draw.cpp; copying and editing in png_edit.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "gdi/gdi.h"
#include "imaging/png_chunks.h"
#include "imaging/pngtexts.h"
#include "toolkit/canvas.h"
#include "toolkit/colors.h"
#include "toolkit/graphics.h"
#include "toolkit/stream.h"

namespace zorbalin {

enum TPNGTransparencyKind { tkOpaque, tkColourKey, tkAlpha };

// The row filters the writer may choose from, as bits of SaveFilters.
enum TPNGFilterBit : uint8_t {
    pfNone = 1 << 0,
    pfSub = 1 << 1,
    pfUp = 1 << 2,
    pfAverage = 1 << 3,
    pfPaeth = 1 << 4,
};

class TPNGObject : public TGraphic {
  public:
    TPNGObject();
    ~TPNGObject() override;
    TPNGObject(const TPNGObject&) = delete;
    TPNGObject& operator=(const TPNGObject&) = delete;

    // --- The toolkit's picture operations --------------------------------------
    void Assign(TPersistent* Source) override;              // png_edit.cpp
    void AssignTo(TPersistent* Destination) override;       // png_edit.cpp
    void Draw(TCanvas& Canvas, const TRect& Rect) override; // png_draw.cpp
    bool GetEmpty() const override;                         // no chunk at all
    int GetWidth() const override;                          // 0 without a header
    int GetHeight() const override;
    HPALETTE GetPalette() const override;       // png_edit.cpp; needs the header
    bool GetTransparent() const override;       // png_draw.cpp; kind is not tkOpaque
    void SetWidth(int Width) override;          // png_edit.cpp
    void SetHeight(int Height) override;        // png_edit.cpp
    void SetPalette(HPALETTE Palette) override; // png_edit.cpp, copying form
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override; // png_write.cpp
    void LoadFromClipboardFormat(unsigned short Format, const TClipboardData& Data,
                                 HPALETTE Palette) override; // png_edit.cpp
    void SaveToClipboardFormat(unsigned short& Format, TClipboardData& Data,
                               HPALETTE& Palette) override; // png_edit.cpp

    // --- New virtual operations (png_edit.cpp) ---------------------------------
    virtual TColor GetPixel(int X, int Y) const;
    virtual void SetPixel(int X, int Y, TColor Colour);

    // --- The picture ------------------------------------------------------------
    // Item 0 of Chunks when it is a header chunk; EPNGHeaderNotPresent otherwise.
    TChunkIHDR& HeaderChunk() const;
    // Identity gamma tables, every chunk freed, an empty list.
    void Clear();
    bool IsEmpty() const { return GetEmpty(); }
    TPNGTransparencyKind TransparencyKind() const; // png_draw.cpp; needs the header
    TColor TransparentColour() const;              // png_draw.cpp; 0 without tRNS
    bool IsTransparent() const { return GetTransparent(); }

    // --- Copying and editing (png_edit.cpp) ---------------------------------------
    void CopyImage(const TPNGObject& Source);
    void AssignFromBitmapHandle(HBITMAP Bitmap, bool Transparent, COLORREF Key);
    void SetSize(int Width, int Height);
    void AddAlphaChannel();
    // Rows counted from the top; AlphaRow is null for colour types without alpha.
    uint8_t* ColourRow(uint32_t Y) const;
    uint8_t* LowByteRow(uint32_t Y) const;
    uint8_t* AlphaRow(uint32_t Y) const;

    // --- Row geometry shared by the decoder, the writer and the drawing -----------
    // Bytes of one unfiltered row of `width` pixels in the PNG stream (0 for a
    // colour type outside the standard), and bytes per complete pixel (at least 1).
    uint32_t RowBytesFor(uint32_t Width) const;
    uint32_t FullRowBytes() const { return RowBytesFor(HeaderChunk().ImageWidth); }
    uint32_t FilterStep() const;

    // --- Saving settings ------------------------------------------------------------
    uint8_t SaveFilters = pfSub;
    uint8_t ZlibLevel = 7;
    int32_t GetMaxDataChunkSize() const { return FMaxDataChunkSize; }
    void SetMaxDataChunkSize(int32_t Value); // values below 65,535 become 65,535

    // --- State --------------------------------------------------------------------------
    uint8_t Interlacing = 0; // the header's interlace method, for the image-data reader
    std::array<uint8_t, 256> GammaLut{};
    std::array<uint8_t, 256> InverseGammaLut{};
    TPNGList Chunks{this};
    std::unique_ptr<TCanvas> Canvas;

  private:
    int32_t FMaxDataChunkSize = 65535;
};

// Loading from a memory block or a file goes through the same stream reader.
void LoadPNGFromMemory(TPNGObject& Picture, const uint8_t* Data, size_t Size);
void LoadPNGFromFile(TPNGObject& Picture, const std::string& Path);

} // namespace zorbalin
