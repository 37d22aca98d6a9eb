// Reading and copying the chunks besides the header and the image data: PLTE,
// gAMA, tRNS, pHYs, tIME, tEXt and zTXt, and the tRNS transparent colour.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/png_io.h"
#include "imaging/png_zlib.h"
#include "imaging/pngpicture.h"

namespace zorbalin {
namespace {

constexpr uint32_t kMaxPaletteEntries = 256;
// A compressed text keeps at most this much: a few hundred kilobytes of zlib data
// may otherwise stand for gigabytes of text.
constexpr size_t kMaxInflatedText = size_t(1) << 20;

// Identity tables mean no gAMA has acted; the value 0 leaves them so.
void BuildGammaTables(TPNGObject& Picture, uint32_t Value) {
    const double g = Value / 100000.0;
    const double exponent = 1.0 / (g * 2.2);
    for (int i = 0; i < 256; ++i) {
        const uint8_t v =
            i == 0 ? 0 : static_cast<uint8_t>(std::lround(std::pow(i / 255.0, exponent) * 255.0));
        Picture.GammaLut[i] = v;
        Picture.InverseGammaLut[v] = static_cast<uint8_t>(i);
    }
}

// Length of the keyword: the bytes before the first zero byte, or all of them.
uint32_t KeywordLength(const uint8_t* Body, uint32_t Size) {
    const void* zero = std::memchr(Body, 0, Size);
    return zero ? static_cast<uint32_t>(static_cast<const uint8_t*>(zero) - Body) : Size;
}

} // namespace

// ---- PLTE -----------------------------------------------------------------------

bool TChunkPLTE::ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) {
    TChunk::ReadBody(Stream, Type, Length);
    if (BodySize() % 3 != 0 || BodySize() / 3 > kMaxPaletteEntries)
        throw EPNGInvalidPalette();
    EntryCount = BodySize() / 3;
    if (EntryCount == 0)
        return true; // nothing to install; the platform has no empty palette
    MAXLOGPALETTE palette;
    palette.palNumEntries = static_cast<WORD>(EntryCount);
    const auto& gamma = Owner()->GammaLut;
    for (uint32_t i = 0; i < EntryCount; ++i) {
        const uint8_t* rgb = Body() + 3 * i;
        palette.palPalEntry[i] = PALETTEENTRY{gamma[rgb[0]], gamma[rgb[1]], gamma[rgb[2]], 0};
    }
    HPALETTE handle = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&palette));
    if (!handle)
        throw EPNGOutMemory();
    TChunkIHDR* header = OwnerHeader();
    if (header && header->Paletted)
        header->InstallPalette(handle);
    else
        DeleteObject(handle); // a palette for a format without colour table has no effect
    return true;
}

void TChunkPLTE::CopyFrom(const TChunk& Source) {
    const auto* palette = dynamic_cast<const TChunkPLTE*>(&Source);
    if (!palette)
        throw EPngError(kTextChunksNotCompatible);
    EntryCount = palette->EntryCount;
}

RGBQUAD TChunkPLTE::Item(uint32_t Index) const {
    if (Index >= EntryCount)
        throw EPngError(kTextNoSuchPaletteEntry);
    const TChunkIHDR* header = OwnerHeader();
    if (!header)
        throw EPNGHeaderNotPresent();
    return header->BitmapInfo.bmiColors[Index];
}

// ---- gAMA -----------------------------------------------------------------------

TChunkgAMA::TChunkgAMA(TPNGObject* Owner) : TChunk(Owner) {
    SetGamma(1);
}

uint32_t TChunkgAMA::Gamma() const {
    return BodySize() == 4 ? ReadBigEndian32(Body()) : 1;
}

void TChunkgAMA::SetGamma(uint32_t Value) {
    ResizeBody(4);
    WriteBigEndian32(Body(), Value);
}

bool TChunkgAMA::ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) {
    TChunk::ReadBody(Stream, Type, Length);
    if (BodySize() != 4)
        SetGamma(1);
    const uint32_t value = Gamma();
    if (value != 0 && Owner())
        BuildGammaTables(*Owner(), value);
    return true;
}

void TChunkgAMA::CopyFrom(const TChunk& Source) {
    const auto* gamma = dynamic_cast<const TChunkgAMA*>(&Source);
    if (!gamma)
        throw EPngError(kTextChunksNotCompatible);
    SetGamma(gamma->Gamma());
}

// ---- tRNS -----------------------------------------------------------------------

bool TChunktRNS::ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) {
    TChunk::ReadBody(Stream, Type, Length);
    if (BodySize() > 256)
        throw EPNGInvalidPalette();
    AlphaTable.fill(255);
    std::memcpy(AlphaTable.data(), Body(), BodySize());
    const TChunkIHDR* header = OwnerHeader();
    if (!header)
        return true; // nothing to judge the table by
    if (header->ColourType == TColourType::Greyscale ||
        header->ColourType == TColourType::Truecolour) {
        SingleColour = true;
    } else if (header->ColourType == TColourType::Indexed) {
        // A palette picture has a single transparent colour only when exactly one entry is not
        // opaque and that entry is fully transparent; one half-transparent entry keeps its opacity.
        const auto end = AlphaTable.begin() + BodySize();
        const auto notOpaque = [](uint8_t A) { return A != 255; };
        const auto translucent = std::count_if(AlphaTable.begin(), end, notOpaque);
        const auto first = std::find_if(AlphaTable.begin(), end, notOpaque);
        SingleColour = translucent == 1 && *first == 0;
    }
    return true;
}

void TChunktRNS::CopyFrom(const TChunk& Source) {
    TChunk::CopyFrom(Source);
    if (const auto* trns = dynamic_cast<const TChunktRNS*>(&Source)) {
        AlphaTable = trns->AlphaTable;
        SingleColour = trns->SingleColour;
    }
}

// The key is the colour the stored pixels show. For 16-bit images the planes hold
// the high byte of every sample, so the key is taken from the high bytes too; 2-bit
// grey samples are stored as 5 x s, so the key is ramp entry 5 x s.
COLORREF TChunktRNS::TransparentColour() const {
    const TChunkIHDR* header = OwnerHeader();
    if (!header)
        return 0;
    const bool wide = header->BitDepth == 16;
    switch (header->ColourType) {
    case TColourType::Greyscale: {
        unsigned index = wide ? AlphaTable[0] : AlphaTable[1];
        if (header->BitDepth == 2)
            index = std::min(index * 5u, 255u);
        const RGBQUAD& grey = header->BitmapInfo.bmiColors[index];
        return RGB(grey.rgbRed, grey.rgbGreen, grey.rgbBlue);
    }
    case TColourType::Truecolour: {
        const auto& gamma = Owner()->GammaLut;
        const int low = wide ? 0 : 1;
        return RGB(gamma[AlphaTable[low]], gamma[AlphaTable[low + 2]], gamma[AlphaTable[low + 4]]);
    }
    case TColourType::Indexed: {
        const auto key = std::find(AlphaTable.begin(), AlphaTable.end(), 0);
        if (key == AlphaTable.end())
            return 0;
        // Through the palette chunk, so that an entry the file never gave raises
        // instead of keying a colour left over in the table.
        const TChunkPLTE* palette = Owner()->Chunks.Find<TChunkPLTE>();
        if (!palette)
            throw EPngError(kTextNoSuchPaletteEntry);
        const RGBQUAD c = palette->Item(static_cast<uint32_t>(key - AlphaTable.begin()));
        return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
    default:
        return 0;
    }
}

void TChunktRNS::SetTransparentColour(COLORREF Colour) {
    AlphaTable.fill(0);
    SingleColour = true;
    const TChunkIHDR* header = OwnerHeader();
    if (!header)
        return;
    switch (header->ColourType) {
    case TColourType::Greyscale:
        ResizeBody(2);
        AlphaTable[1] = GetRValue(Colour);
        break;
    case TColourType::Truecolour:
        ResizeBody(6);
        AlphaTable[1] = GetRValue(Colour);
        AlphaTable[3] = GetGValue(Colour);
        AlphaTable[5] = GetBValue(Colour);
        break;
    case TColourType::Indexed: {
        const uint32_t used = std::min<uint32_t>(header->BitmapInfo.bmiHeader.biClrUsed, 256);
        uint32_t c = 0;
        while (c < used) {
            const RGBQUAD& e = header->BitmapInfo.bmiColors[c];
            if (e.rgbRed == GetRValue(Colour) && e.rgbGreen == GetGValue(Colour) &&
                e.rgbBlue == GetBValue(Colour))
                break;
            AlphaTable[c++] = 255;
        }
        // Without a match in a full table there is no entry left to make transparent;
        // a tRNS never holds more than 256 entries.
        ResizeBody(std::min<uint32_t>(c + 1, 256));
        break;
    }
    default:
        break;
    }
}

// ---- pHYs, tIME -----------------------------------------------------------------

bool TChunkpHYs::ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) {
    TChunk::ReadBody(Stream, Type, Length);
    if (BodySize() == 9) {
        PixelsPerUnitX = ReadBigEndian32(Body());
        PixelsPerUnitY = ReadBigEndian32(Body() + 4);
        UnitSpecifier = Body()[8];
    }
    return true;
}

void TChunkpHYs::CopyFrom(const TChunk& Source) {
    TChunk::CopyFrom(Source);
    if (const auto* p = dynamic_cast<const TChunkpHYs*>(&Source)) {
        PixelsPerUnitX = p->PixelsPerUnitX;
        PixelsPerUnitY = p->PixelsPerUnitY;
        UnitSpecifier = p->UnitSpecifier;
    }
}

bool TChunktIME::ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) {
    TChunk::ReadBody(Stream, Type, Length);
    if (BodySize() == 7) {
        const uint8_t* b = Body();
        Year = ReadBigEndian16(b);
        Month = b[2];
        Day = b[3];
        Hour = b[4];
        Minute = b[5];
        Second = b[6];
    }
    return true;
}

void TChunktIME::CopyFrom(const TChunk& Source) {
    TChunk::CopyFrom(Source);
    if (const auto* t = dynamic_cast<const TChunktIME*>(&Source)) {
        Year = t->Year;
        Month = t->Month;
        Day = t->Day;
        Hour = t->Hour;
        Minute = t->Minute;
        Second = t->Second;
    }
}

// ---- tEXt, zTXt -----------------------------------------------------------------

bool TChunktEXt::ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) {
    TChunk::ReadBody(Stream, Type, Length);
    if (BodySize() > 2) {
        const char* body = reinterpret_cast<const char*>(Body());
        const uint32_t keywordLength = KeywordLength(Body(), BodySize());
        Keyword.assign(body, keywordLength);
        if (keywordLength < BodySize())
            Text.assign(body + keywordLength + 1, BodySize() - keywordLength - 1);
        else
            Text.clear();
    }
    return true;
}

void TChunktEXt::CopyFrom(const TChunk& Source) {
    TChunk::CopyFrom(Source);
    if (const auto* t = dynamic_cast<const TChunktEXt*>(&Source)) {
        Keyword = t->Keyword;
        Text = t->Text;
    }
}

bool TChunkzTXt::ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) {
    TChunktEXt::ReadBody(Stream, Type, Length);
    if (BodySize() <= 3)
        return true;
    const uint32_t keywordLength = KeywordLength(Body(), BodySize());
    Keyword.assign(reinterpret_cast<const char*>(Body()), keywordLength);
    Text.clear();
    // The method byte follows the keyword's zero byte; without room for both there
    // is nothing to inflate.
    if (keywordLength + 2 > BodySize())
        return true;
    if (Body()[keywordLength + 1] != 0)
        return true;
    const uint32_t start = keywordLength + 2;
    std::vector<uint8_t> text;
    if (InflateBlock(Body() + start, BodySize() - start, text, kMaxInflatedText))
        Text.assign(text.begin(), text.end()); // failures leave the text empty, silently
    return true;
}

} // namespace zorbalin
