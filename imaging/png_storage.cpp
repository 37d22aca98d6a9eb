// The image storage owned by the header chunk: a DIB section in a memory device
// context for the colour plane, the alpha and low-byte planes, the colour table
// and the palette of paletted formats.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/png_convert.h"
#include "imaging/pngpicture.h"

namespace zorbalin {
namespace {

// Untrusted files may claim up to 65,535 x 65,535 pixels; planes beyond this
// together are refused rather than allocated.
constexpr uint64_t kMaxStorageBytes = uint64_t(1) << 30;

// Entry k of an n-entry grey ramp through the gamma table.
PALETTEENTRY GreyRampEntry(const std::array<uint8_t, 256>& Gamma, uint32_t K, uint32_t N) {
    const uint32_t level = static_cast<uint32_t>(std::lround(K * 255.0 / (N - 1)));
    const uint8_t v = Gamma[level];
    return PALETTEENTRY{v, v, v, 0};
}

HPALETTE CreateGreyRamp(const std::array<uint8_t, 256>& Gamma, uint32_t N) {
    MAXLOGPALETTE palette;
    palette.palNumEntries = static_cast<WORD>(N);
    for (uint32_t k = 0; k < N; ++k)
        palette.palPalEntry[k] = GreyRampEntry(Gamma, k, N);
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&palette));
}

} // namespace

TChunkIHDR::TChunkIHDR(TPNGObject* Owner) : TChunk(Owner) {}

TChunkIHDR::~TChunkIHDR() {
    ReleaseStorage();
}

int TChunkIHDR::PlaneBitCount() const {
    if (ColourType == TColourType::Truecolour || ColourType == TColourType::TruecolourAlpha)
        return 24;
    if (BitDepth == 2)
        return 4;
    if (BitDepth == 16)
        return 8;
    return BitDepth;
}

void TChunkIHDR::ReleaseStorage() {
    if (DibDC) {
        if (FOldBitmap)
            SelectObject(DibDC, FOldBitmap);
        DeleteDC(DibDC); // releases the palette selected into it
    }
    if (DibHandle)
        DeleteObject(DibHandle);
    if (PaletteHandle)
        DeleteObject(PaletteHandle);
    DibDC = nullptr;
    DibHandle = nullptr;
    PaletteHandle = nullptr;
    FOldBitmap = nullptr;
    ColourPlane = nullptr;
    AlphaPlane.reset();
    LowPlane.reset();
}

void TChunkIHDR::PrepareStorage() {
    BitmapInfo = BITMAPINFO{};
    std::fill(std::begin(BitmapInfo.bmiColors), std::end(BitmapInfo.bmiColors), RGBQUAD{});
    ReleaseStorage();
    if (!IsValidFormat(ColourType, BitDepth))
        throw EPngInvalidIHDR();
    Paletted = ColourType == TColourType::Greyscale || ColourType == TColourType::Indexed ||
               ColourType == TColourType::GreyscaleAlpha;
    const int bitCount = PlaneBitCount();
    BITMAPINFOHEADER& header = BitmapInfo.bmiHeader;
    header.biSize = 40;
    header.biWidth = static_cast<LONG>(ImageWidth);
    header.biHeight = static_cast<LONG>(ImageHeight);
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = BI_RGB;
    // Width is at most 65,535, so the stride fits 32 bits; the products below do not.
    RowStride = static_cast<int32_t>((uint64_t(bitCount) * ImageWidth + 31) / 32 * 4);
    CreatePlanes();
    DibDC = CreateCompatibleDC(nullptr);
    if (!DibDC)
        throw EPNGOutMemory();
    if (Owner() && Owner()->Canvas)
        Owner()->Canvas->SetHandle(DibDC);
    if (Paletted)
        CreateProvisionalPalette();
    CreateColourSection();
}

void TChunkIHDR::CreatePlanes() {
    const uint64_t pixels = uint64_t(ImageWidth) * ImageHeight;
    const uint64_t colourBytes = uint64_t(RowStride) * ImageHeight;
    const bool hasAlpha = HasAlphaSamples(ColourType);
    const bool wide = BitDepth == 16;
    const uint64_t total = colourBytes + (hasAlpha ? pixels : 0) + (wide ? colourBytes : 0);
    if (total > kMaxStorageBytes)
        throw EPNGOutMemory();
    // Zero-filled planes: a picture is black and fully transparent until decoded.
    // The zeros are the system's untouched pages, so a header that claims a large
    // picture costs memory only for the rows that are decoded.
    if (hasAlpha) {
        AlphaPlane = AllocateZeroedBytes(pixels);
        if (!AlphaPlane)
            throw EPNGOutMemory();
    }
    if (wide) {
        LowPlane = AllocateZeroedBytes(colourBytes);
        if (!LowPlane)
            throw EPNGOutMemory();
    }
}

void TChunkIHDR::CreateProvisionalPalette() {
    const uint32_t entries = 1u << PlaneBitCount();
    HPALETTE palette = ColourType == TColourType::Indexed
                           ? CreateHalftonePalette(DibDC)
                           : CreateGreyRamp(Owner()->GammaLut, 1u << std::min<int>(BitDepth, 8));
    if (!palette)
        throw EPNGOutMemory();
    ResizePalette(palette, entries);
    BitmapInfo.bmiHeader.biClrUsed = entries;
    PaletteHandle = palette;
    SelectPalette(DibDC, palette, FALSE);
    RealizePalette(DibDC);
    PALETTEENTRY colours[256];
    GetPaletteEntries(palette, 0, entries, colours);
    for (uint32_t i = 0; i < entries; ++i)
        BitmapInfo.bmiColors[i] =
            RGBQUAD{colours[i].peBlue, colours[i].peGreen, colours[i].peRed, 0};
}

void TChunkIHDR::CreateColourSection() {
    void* bits = nullptr;
    DibHandle = CreateDIBSection(DibDC, &BitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    // A zero-sized picture has no pixel memory at all; that is not a failure.
    const bool empty = ImageWidth == 0 || ImageHeight == 0;
    if (!DibHandle && !empty)
        throw EPNGOutMemory();
    ColourPlane = static_cast<uint8_t*>(bits);
    if (DibHandle)
        FOldBitmap = SelectObject(DibDC, DibHandle);
    // The section's memory comes zero-filled from the graphics layer; zeroing it
    // again would touch every page of a picture that may never be decoded.
}

void TChunkIHDR::InstallPalette(HPALETTE Palette) {
    if (!Paletted)
        return;
    PALETTEENTRY colours[256];
    const UINT count = GetPaletteEntries(Palette, 0, 256, colours);
    for (UINT i = 0; i < count; ++i)
        BitmapInfo.bmiColors[i] =
            RGBQUAD{colours[i].peBlue, colours[i].peGreen, colours[i].peRed, 0};
    BitmapInfo.bmiHeader.biClrUsed = count;
    InstallPaletteKeepingTable(Palette);
}

void TChunkIHDR::InstallPaletteKeepingTable(HPALETTE Palette) {
    if (!Paletted)
        return;
    if (DibDC) {
        SelectPalette(DibDC, Palette, FALSE);
        RealizePalette(DibDC);
    }
    if (PaletteHandle && PaletteHandle != Palette)
        DeleteObject(PaletteHandle);
    PaletteHandle = Palette;
}

void TChunkIHDR::InstallGreyRamp() {
    const uint32_t n = 1u << PlaneBitCount();
    HPALETTE ramp = CreateGreyRamp(Owner()->GammaLut, n);
    if (!ramp)
        throw EPNGOutMemory();
    InstallPalette(ramp);
}

void TChunkIHDR::CopyFrom(const TChunk& Source) {
    const auto* header = dynamic_cast<const TChunkIHDR*>(&Source);
    if (!header)
        throw EPngError(kTextChunksNotCompatible);
    Fields() = header->Fields();
    PrepareStorage();
    const uint64_t colourBytes = uint64_t(RowStride) * ImageHeight;
    if (ColourPlane && header->ColourPlane)
        std::memcpy(ColourPlane, header->ColourPlane, colourBytes);
    if (AlphaPlane && header->AlphaPlane)
        std::memcpy(AlphaPlane.get(), header->AlphaPlane.get(), uint64_t(ImageWidth) * ImageHeight);
    std::memcpy(BitmapInfo.bmiColors, header->BitmapInfo.bmiColors, sizeof BitmapInfo.bmiColors);
    if (PaletteHandle && header->PaletteHandle) {
        PALETTEENTRY colours[256];
        const UINT count = GetPaletteEntries(header->PaletteHandle, 0, 256, colours);
        // The copy keeps the size its storage was prepared with (2^bit count entries),
        // so that Palette and SetPixel see the same table as a freshly read header.
        SetPaletteEntries(PaletteHandle, 0, count, colours);
    }
}

} // namespace zorbalin
