#include "imaging/png_samples.h"

#include <cstring>

#include "imaging/pngpicture.h"

namespace zorbalin {
namespace {

// 4-bit pixels back to 2-bit samples; greys were stored as 5 x s.
void NarrowTwoBit(const uint8_t* Plane, uint32_t Width, bool Grey, uint8_t* Out) {
    std::memset(Out, 0, (size_t(Width) * 2 + 7) / 8);
    for (uint32_t x = 0; x < Width; ++x) {
        uint8_t v = (Plane[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F;
        if (Grey)
            v = static_cast<uint8_t>((v + 2) / 5);
        if (v > 3)
            v = 3;
        Out[x / 4] |= static_cast<uint8_t>(v << (6 - 2 * (x % 4)));
    }
}

// `withAlpha` with a null alpha row writes every pixel opaque.
void RgbBack(const uint8_t* Colour, const uint8_t* Low, bool WithAlpha, const uint8_t* Alpha,
             uint32_t Width, bool Wide, const std::array<uint8_t, 256>& Inv, uint8_t* Out) {
    const unsigned samples = WithAlpha ? 4 : 3;
    const unsigned bytes = Wide ? 2 : 1;
    for (uint32_t x = 0; x < Width; ++x) {
        uint8_t* o = Out + size_t(x) * samples * bytes;
        const uint8_t* c = Colour + 3 * size_t(x);
        for (unsigned s = 0; s < 3; ++s) { // plane order is blue, green, red
            o[s * bytes] = Inv[c[2 - s]];
            if (Wide)
                o[s * bytes + 1] = Inv[Low ? Low[3 * size_t(x) + 2 - s] : c[2 - s]];
        }
        if (WithAlpha) {
            const uint8_t a = Alpha ? Alpha[x] : 255;
            o[3 * bytes] = a;
            if (Wide)
                o[3 * bytes + 1] = a;
        }
    }
}

void GreyBack(const uint8_t* Colour, const uint8_t* Low, bool WithAlpha, const uint8_t* Alpha,
              uint32_t Width, bool Wide, uint8_t* Out) {
    const unsigned bytes = Wide ? 2 : 1;
    const unsigned pixel = (WithAlpha ? 2 : 1) * bytes;
    for (uint32_t x = 0; x < Width; ++x) {
        uint8_t* o = Out + size_t(x) * pixel;
        o[0] = Colour[x];
        if (Wide)
            o[1] = Low ? Low[x] : Colour[x];
        if (WithAlpha) {
            const uint8_t a = Alpha ? Alpha[x] : 255;
            o[bytes] = a;
            if (Wide)
                o[bytes + 1] = a;
        }
    }
}

} // namespace

void StorageRowToSamples(const TChunkIHDR& Header, uint32_t Y,
                         const std::array<uint8_t, 256>& InverseGamma, uint8_t* Out) {
    const uint32_t width = Header.ImageWidth;
    if (width == 0 || !Header.ColourPlane)
        return;
    const uint64_t planeRow = uint64_t(Header.RowStride) * (Header.ImageHeight - 1 - Y);
    const uint8_t* colour = Header.ColourPlane + planeRow;
    const uint8_t* low = Header.LowPlane ? Header.LowPlane.get() + planeRow : nullptr;
    const uint8_t* alpha =
        Header.AlphaPlane ? Header.AlphaPlane.get() + uint64_t(width) * Y : nullptr;
    const bool wide = Header.BitDepth == 16;
    switch (Header.ColourType) {
    case TColourType::Greyscale:
    case TColourType::Indexed:
        if (Header.BitDepth == 2)
            NarrowTwoBit(colour, width, Header.ColourType == TColourType::Greyscale, Out);
        else if (wide)
            GreyBack(colour, low, false, nullptr, width, true, Out);
        else
            std::memcpy(Out, colour, (size_t(width) * Header.BitDepth + 7) / 8);
        return;
    case TColourType::Truecolour:
        RgbBack(colour, low, false, nullptr, width, wide, InverseGamma, Out);
        return;
    case TColourType::GreyscaleAlpha:
        GreyBack(colour, low, true, alpha, width, wide, Out);
        return;
    case TColourType::TruecolourAlpha:
        RgbBack(colour, low, true, alpha, width, wide, InverseGamma, Out);
        return;
    default:
        return;
    }
}

} // namespace zorbalin
