// Copying TPNGObject to and from other pictures and bitmaps, installing a
// palette, resizing, single pixels, alpha promotion and row access.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gdi/owners.h"
#include "imaging/png_blend.h"
#include "imaging/pngpicture.h"
#include "toolkit/bitmap.h"
#include "toolkit/exception.h"

namespace zorbalin {
namespace {

// Resized storage may not pass what a loaded picture may hold.
constexpr std::uint64_t kMaxStorageBytes = std::uint64_t(1) << 30;

// Packed pixels: the bit count of the colour plane decides the addressing, so
// that 2-bit pictures (kept four bits wide) address the pixels they store.
struct TPackedPosition {
    std::uint32_t Byte;
    int Shift;
    std::uint8_t Mask;
};

TPackedPosition PackedPositionOf(std::uint32_t X, int BitCount) {
    const int d = std::min(BitCount, 8);
    const std::uint32_t perByte = 8u / static_cast<std::uint32_t>(d);
    return {X / perByte, 8 - d - d * static_cast<int>(X % perByte),
            static_cast<std::uint8_t>((1u << d) - 1u)};
}

// The scale that spreads a packed grey sample over 0..255.
std::uint32_t GreyScale(int BitCount) {
    return BitCount == 1 ? 255u : BitCount == 4 ? 17u : 1u;
}

// Chunks under construction are owned by a list slot as soon as they exist,
// so a failure halfway leaves only whole chunks in the list.
template <class T> T* AppendChunk(TPNGList& List, TPNGObject* Owner) {
    T* chunk = static_cast<T*>(T::Class().Create(Owner));
    List.Append(chunk);
    return chunk;
}

// The picture's pixel format as a bitmap; Exception with an empty message for a
// format the table does not know.
TPixelFormat BitmapFormatFor(const TPNGObject& Picture) {
    const TChunkIHDR& header = Picture.HeaderChunk();
    if (Picture.TransparencyKind() == tkAlpha)
        return pf24bit;
    switch (header.BitDepth) {
    case 1:
        return pf1bit;
    case 2:
    case 4:
        return pf4bit;
    case 8:
    case 16:
        if (header.ColourType == TColourType::Greyscale ||
            header.ColourType == TColourType::Truecolour)
            return pf24bit;
        if (header.ColourType == TColourType::Indexed)
            return pf8bit;
        break;
    default:
        break;
    }
    throw Exception("");
}

// A logical palette made from the first `count` entries of the colour table.
HPALETTE PaletteFromColourTable(const BITMAPINFO& Info, std::uint32_t Count) {
    MAXLOGPALETTE palette;
    palette.palVersion = 0x300;
    palette.palNumEntries = static_cast<WORD>(Count);
    for (std::uint32_t i = 0; i < Count; ++i) {
        const RGBQUAD& c = Info.bmiColors[i];
        palette.palPalEntry[i] = PALETTEENTRY{c.rgbRed, c.rgbGreen, c.rgbBlue, 0};
    }
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&palette));
}

} // namespace

// ---- Copying ------------------------------------------------------------------------------

void TPNGObject::Assign(TPersistent* Source) {
    if (!Source) {
        Clear();
    } else if (auto* png = dynamic_cast<TPNGObject*>(Source)) {
        CopyImage(*png);
    } else if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        AssignFromBitmapHandle(bitmap->Handle(), bitmap->Transparent(),
                               ColorToRGB(bitmap->TransparentColor()));
    } else {
        TGraphic::Assign(Source);
    }
}

void TPNGObject::AssignTo(TPersistent* Destination) {
    if (auto* png = dynamic_cast<TPNGObject*>(Destination)) {
        png->CopyImage(*this);
        return;
    }
    auto* bitmap = dynamic_cast<TBitmap*>(Destination);
    if (!bitmap || !dynamic_cast<TChunkIHDR*>(Chunks.Item(0)))
        RaiseAssignError(this, Destination);
    bitmap->SetPixelFormat(BitmapFormatFor(*this));
    bitmap->SetSize(GetWidth(), GetHeight());
    bitmap->Canvas().Draw(0, 0, this);
    if (TransparencyKind() == tkColourKey) {
        bitmap->SetTransparentColor(TransparentColour());
        bitmap->SetTransparent(true);
    }
}

void TPNGObject::CopyImage(const TPNGObject& Source) {
    if (&Source == this)
        return; // clearing first would destroy the source
    Interlacing = Source.Interlacing;
    SetMaxDataChunkSize(Source.GetMaxDataChunkSize());
    ZlibLevel = Source.ZlibLevel;
    SaveFilters = Source.SaveFilters;
    Clear();
    const std::uint32_t count = Source.Chunks.Count();
    for (std::uint32_t i = 0; i < count; ++i) {
        const TChunk* original = Source.Chunks.Item(i);
        if (!original)
            continue;
        TChunk* copy = original->ChunkClass().Create(this);
        Chunks.Append(copy);
        copy->CopyFrom(*original);
    }
}

void TPNGObject::AssignFromBitmapHandle(HBITMAP Bitmap, bool Transparent, COLORREF Key) {
    BITMAP description{};
    const bool known = GetObject(Bitmap, sizeof description, &description) != 0;
    Clear();
    // A bitmap that is no bitmap, or holds no pixel, gives an empty picture.
    if (!known || description.bmWidth <= 0 || description.bmHeight == 0)
        return;

    TChunkIHDR* header = AppendChunk<TChunkIHDR>(Chunks, this);
    header->ImageWidth = static_cast<std::uint32_t>(description.bmWidth);
    header->ImageHeight = static_cast<std::uint32_t>(std::abs(description.bmHeight));
    const bool indexed = description.bmBitsPixel < 16;
    header->BitDepth = indexed ? static_cast<std::uint8_t>(description.bmBitsPixel) : 8;
    header->ColourType = indexed ? TColourType::Indexed : TColourType::Truecolour;
    header->PrepareStorage();
    {
        TDCOwner temporary(CreateCompatibleDC(nullptr));
        GetDIBits(temporary.Get(), Bitmap, 0, header->ImageHeight, header->ColourPlane,
                  &header->BitmapInfo, DIB_RGB_COLORS);
    }

    TChunkPLTE* palette = header->Paletted ? AppendChunk<TChunkPLTE>(Chunks, this) : nullptr;
    TChunktRNS* trns = Transparent ? AppendChunk<TChunktRNS>(Chunks, this) : nullptr;
    AppendChunk<TChunkIDAT>(Chunks, this);
    AppendChunk<TChunkIEND>(Chunks, this);
    if (palette) {
        const std::uint32_t entries = 1u << header->BitDepth;
        palette->EntryCount = entries;
        HPALETTE made = PaletteFromColourTable(header->BitmapInfo, entries);
        if (!made)
            throw EPNGOutMemory();
        header->InstallPaletteKeepingTable(made);
    }
    if (trns)
        trns->SetTransparentColour(Key);
}

// ---- Palette -----------------------------------------------------------------------------

HPALETTE TPNGObject::GetPalette() const {
    return HeaderChunk().PaletteHandle;
}

void TPNGObject::SetPalette(HPALETTE Palette) {
    HeaderChunk().InstallPalette(Palette);
}

// ---- Size ----------------------------------------------------------------------------------

void TPNGObject::SetWidth(int Width) {
    SetSize(Width, GetHeight());
}

void TPNGObject::SetHeight(int Height) {
    SetSize(GetWidth(), Height);
}

namespace {

// The planes of a resized picture, made before anything of the old storage is
// touched, so that a failure leaves the picture as it was.
struct TResizedPlanes {
    std::uint32_t Width = 0, Height = 0;
    std::size_t Stride = 0;
    TBitmapOwner Section;
    std::uint8_t* Colour = nullptr;
    TZeroedBytes Alpha, Low;
};

TResizedPlanes MakeResizedPlanes(const TChunkIHDR& Header, int Width, int Height) {
    TResizedPlanes planes;
    planes.Width = static_cast<std::uint32_t>(Width);
    planes.Height = static_cast<std::uint32_t>(Height);
    const int bitCount = Header.BitmapInfo.bmiHeader.biBitCount;
    const std::uint64_t stride = (std::uint64_t(bitCount) * planes.Width + 31) / 32 * 4;
    const bool hasAlpha = HasAlphaSamples(Header.ColourType);
    const bool wide = Header.BitDepth == 16;
    const std::uint64_t pixels = std::uint64_t(planes.Width) * planes.Height;
    const std::uint64_t total = stride * planes.Height * (wide ? 2 : 1) + (hasAlpha ? pixels : 0);
    if (total > kMaxStorageBytes)
        throw EPNGOutMemory();
    planes.Stride = static_cast<std::size_t>(stride);

    // Described by the picture's own header and colour table.
    BITMAPINFO info = Header.BitmapInfo;
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = Height;
    void* bits = nullptr;
    planes.Section.Reset(CreateDIBSection(Header.DibDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!planes.Section || !bits)
        throw EPNGOutMemory();
    planes.Colour = static_cast<std::uint8_t*>(bits);
    if (hasAlpha) {
        planes.Alpha = AllocateZeroedBytes(pixels);
        if (!planes.Alpha)
            throw EPNGOutMemory();
        std::memset(planes.Alpha.get(), 255, pixels);
    }
    if (wide) {
        planes.Low = AllocateZeroedBytes(planes.Stride * planes.Height);
        if (!planes.Low)
            throw EPNGOutMemory();
    }
    return planes;
}

} // namespace

void TPNGObject::SetSize(int Width, int Height) {
    if (Width < 1 || Height < 1)
        throw EPNGInvalidNewSize();
    TChunkIHDR& header = HeaderChunk();
    TResizedPlanes planes = MakeResizedPlanes(header, Width, Height);

    // Overlapping rows, counted from the top; the colour and low-byte planes are
    // bottom-up, the alpha plane top-down.
    const std::uint32_t rows = std::min(planes.Height, header.ImageHeight);
    const std::size_t rowBytes =
        std::min(planes.Stride, static_cast<std::size_t>(header.RowStride));
    const std::size_t alphaBytes = std::min(planes.Width, header.ImageWidth);
    // A picture of no pixels has no rows to keep.
    for (std::uint32_t r = 0; r < rows && rowBytes > 0; ++r) {
        const std::size_t target = planes.Stride * (planes.Height - 1 - r);
        std::memcpy(planes.Colour + target, ColourRow(r), rowBytes);
        if (planes.Low && header.LowPlane)
            std::memcpy(planes.Low.get() + target, LowByteRow(r), rowBytes);
        if (planes.Alpha && header.AlphaPlane)
            std::memcpy(planes.Alpha.get() + std::size_t(planes.Width) * r, AlphaRow(r),
                        alphaBytes);
    }

    // The picture's own context takes the new section: the canvas keeps drawing
    // into the colour plane, and the context's first bitmap, which the header
    // puts back when it releases the storage, stays valid.
    HBITMAP previous = SelectObject(header.DibDC, planes.Section.Get());
    if (!previous)
        throw EPNGOutMemory();
    // A picture of no pixels had no section: then the context's own first bitmap
    // came back, which stays with the context.
    if (previous == header.DibHandle)
        DeleteObject(previous);
    header.DibHandle = planes.Section.Release();
    header.ColourPlane = planes.Colour;
    header.BitmapInfo.bmiHeader.biWidth = Width;
    header.BitmapInfo.bmiHeader.biHeight = Height;
    header.RowStride = static_cast<std::int32_t>(planes.Stride);
    header.ImageWidth = planes.Width;
    header.ImageHeight = planes.Height;
    if (planes.Alpha)
        header.AlphaPlane = std::move(planes.Alpha);
    if (planes.Low)
        header.LowPlane = std::move(planes.Low);
    if (Canvas)
        Canvas->SetHandle(header.DibDC);
}

// ---- Pixels ---------------------------------------------------------------------------------

TColor TPNGObject::GetPixel(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= GetWidth() || Y >= GetHeight())
        return 0;
    const TChunkIHDR& header = HeaderChunk();
    const std::uint8_t* row = ColourRow(static_cast<std::uint32_t>(Y));
    const std::uint32_t ux = static_cast<std::uint32_t>(X);
    const int bitCount = header.BitmapInfo.bmiHeader.biBitCount;
    if (header.ColourType == TColourType::Greyscale || header.ColourType == TColourType::Indexed ||
        header.ColourType == TColourType::GreyscaleAlpha) {
        const std::uint32_t sample =
            PackedSample(row, ux, static_cast<std::uint32_t>(std::min(bitCount, 8)));
        if (header.ColourType == TColourType::Indexed) {
            // The colour table already holds the gamma-corrected palette: this is
            // the colour the pixel is drawn with.
            const RGBQUAD& c = header.BitmapInfo.bmiColors[sample];
            return static_cast<TColor>(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue));
        }
        const std::uint32_t scaled = sample * GreyScale(bitCount);
        const std::uint8_t v = header.ColourType == TColourType::Greyscale
                                   ? GammaLut[scaled]
                                   : static_cast<std::uint8_t>(scaled);
        return static_cast<TColor>(RGB(v, v, v));
    }
    const std::uint8_t* p = row + 3 * static_cast<std::size_t>(ux);
    return static_cast<TColor>(RGB(p[2], p[1], p[0]));
}

void TPNGObject::SetPixel(int X, int Y, TColor Colour) {
    if (X < 0 || Y < 0 || X >= GetWidth() || Y >= GetHeight())
        return;
    const TChunkIHDR& header = HeaderChunk();
    std::uint8_t* row = ColourRow(static_cast<std::uint32_t>(Y));
    const std::uint32_t ux = static_cast<std::uint32_t>(X);
    const int bitCount = header.BitmapInfo.bmiHeader.biBitCount;
    const COLORREF rgb = ColorToRGB(Colour);
    if (header.ColourType == TColourType::Greyscale || header.ColourType == TColourType::Indexed) {
        const UINT index = GetNearestPaletteIndex(header.PaletteHandle, rgb);
        if (index == CLR_INVALID)
            return;
        const TPackedPosition at = PackedPositionOf(ux, bitCount);
        row[at.Byte] = static_cast<std::uint8_t>((row[at.Byte] & ~(at.Mask << at.Shift)) |
                                                 ((index & at.Mask) << at.Shift));
    } else if (header.ColourType == TColourType::GreyscaleAlpha) {
        const TPackedPosition at = PackedPositionOf(ux, bitCount);
        const std::uint32_t scale = GreyScale(bitCount);
        const std::uint32_t value = (GetRValue(rgb) + scale / 2) / scale;
        row[at.Byte] = static_cast<std::uint8_t>((row[at.Byte] & ~(at.Mask << at.Shift)) |
                                                 ((value & at.Mask) << at.Shift));
    } else {
        std::uint8_t* p = row + 3 * static_cast<std::size_t>(ux);
        p[0] = GetBValue(rgb);
        p[1] = GetGValue(rgb);
        p[2] = GetRValue(rgb);
    }
}

// ---- Alpha and rows --------------------------------------------------------------------------

void TPNGObject::AddAlphaChannel() {
    TChunkIHDR& header = HeaderChunk();
    switch (header.ColourType) {
    case TColourType::Greyscale:
    case TColourType::Truecolour: {
        const std::uint64_t bytes = std::uint64_t(header.ImageWidth) * header.ImageHeight;
        TZeroedBytes alpha = AllocateZeroedBytes(bytes);
        if (!alpha)
            throw EPNGOutMemory();
        std::memset(alpha.get(), 255, bytes);
        header.AlphaPlane = std::move(alpha);
        header.ColourType = header.ColourType == TColourType::Greyscale
                                ? TColourType::GreyscaleAlpha
                                : TColourType::TruecolourAlpha;
        break;
    }
    case TColourType::Indexed: {
        auto* trns = Chunks.Find<TChunktRNS>();
        if (!trns)
            trns = static_cast<TChunktRNS*>(Chunks.AddChunk(TChunktRNS::Class()));
        trns->ResizeBody(256);
        trns->AlphaTable.fill(255);
        std::fill(trns->Body(), trns->Body() + 256, 255);
        trns->ResizeBody(1u << header.BitDepth);
        trns->SingleColour = false;
        break;
    }
    default:
        break;
    }
}

std::uint8_t* TPNGObject::ColourRow(std::uint32_t Y) const {
    const TChunkIHDR& header = HeaderChunk();
    if (!header.ColourPlane || Y >= header.ImageHeight)
        return nullptr;
    return header.ColourPlane + std::size_t(header.RowStride) * (header.ImageHeight - 1 - Y);
}

std::uint8_t* TPNGObject::LowByteRow(std::uint32_t Y) const {
    const TChunkIHDR& header = HeaderChunk();
    if (!header.LowPlane || Y >= header.ImageHeight)
        return nullptr;
    return header.LowPlane.get() + std::size_t(header.RowStride) * (header.ImageHeight - 1 - Y);
}

std::uint8_t* TPNGObject::AlphaRow(std::uint32_t Y) const {
    const TChunkIHDR& header = HeaderChunk();
    if (!HasAlphaSamples(header.ColourType) || !header.AlphaPlane || Y >= header.ImageHeight)
        return nullptr;
    return header.AlphaPlane.get() + std::size_t(header.ImageWidth) * Y;
}

} // namespace zorbalin
