#include "imaging/png_samples.h"

#include <cstring>

#include "imaging/pngpicture.h"

namespace zorbalin {
namespace {

// 4-bit pixels back to 2-bit samples; greys were stored as 5 x s.
void NarrowTwoBit(const uint8_t* plane, uint32_t width, bool grey, uint8_t* out) {
    std::memset(out, 0, (size_t(width) * 2 + 7) / 8);
    for (uint32_t x = 0; x < width; ++x) {
        uint8_t v = (plane[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F;
        if (grey)
            v = static_cast<uint8_t>((v + 2) / 5);
        if (v > 3)
            v = 3;
        out[x / 4] |= static_cast<uint8_t>(v << (6 - 2 * (x % 4)));
    }
}

// `withAlpha` with a null alpha row writes every pixel opaque.
void RgbBack(const uint8_t* colour, const uint8_t* low, bool withAlpha, const uint8_t* alpha,
             uint32_t width, bool wide, const std::array<uint8_t, 256>& inv, uint8_t* out) {
    const unsigned samples = withAlpha ? 4 : 3;
    const unsigned bytes = wide ? 2 : 1;
    for (uint32_t x = 0; x < width; ++x) {
        uint8_t* o = out + size_t(x) * samples * bytes;
        const uint8_t* c = colour + 3 * size_t(x);
        for (unsigned s = 0; s < 3; ++s) { // plane order is blue, green, red
            o[s * bytes] = inv[c[2 - s]];
            if (wide)
                o[s * bytes + 1] = inv[low ? low[3 * size_t(x) + 2 - s] : c[2 - s]];
        }
        if (withAlpha) {
            const uint8_t a = alpha ? alpha[x] : 255;
            o[3 * bytes] = a;
            if (wide)
                o[3 * bytes + 1] = a;
        }
    }
}

void GreyBack(const uint8_t* colour, const uint8_t* low, bool withAlpha, const uint8_t* alpha,
              uint32_t width, bool wide, uint8_t* out) {
    const unsigned bytes = wide ? 2 : 1;
    const unsigned pixel = (withAlpha ? 2 : 1) * bytes;
    for (uint32_t x = 0; x < width; ++x) {
        uint8_t* o = out + size_t(x) * pixel;
        o[0] = colour[x];
        if (wide)
            o[1] = low ? low[x] : colour[x];
        if (withAlpha) {
            const uint8_t a = alpha ? alpha[x] : 255;
            o[bytes] = a;
            if (wide)
                o[bytes + 1] = a;
        }
    }
}

} // namespace

void StorageRowToSamples(const TChunkIHDR& header, uint32_t y,
                         const std::array<uint8_t, 256>& inverseGamma, uint8_t* out) {
    const uint32_t width = header.ImageWidth;
    if (width == 0 || !header.ColourPlane)
        return;
    const uint64_t planeRow = uint64_t(header.RowStride) * (header.ImageHeight - 1 - y);
    const uint8_t* colour = header.ColourPlane + planeRow;
    const uint8_t* low = header.LowPlane ? header.LowPlane.get() + planeRow : nullptr;
    const uint8_t* alpha =
        header.AlphaPlane ? header.AlphaPlane.get() + uint64_t(width) * y : nullptr;
    const bool wide = header.BitDepth == 16;
    switch (header.ColourType) {
    case 0:
    case 3:
        if (header.BitDepth == 2)
            NarrowTwoBit(colour, width, header.ColourType == 0, out);
        else if (wide)
            GreyBack(colour, low, false, nullptr, width, true, out);
        else
            std::memcpy(out, colour, (size_t(width) * header.BitDepth + 7) / 8);
        return;
    case 2:
        RgbBack(colour, low, false, nullptr, width, wide, inverseGamma, out);
        return;
    case 4:
        GreyBack(colour, low, true, alpha, width, wide, out);
        return;
    case 6:
        RgbBack(colour, low, true, alpha, width, wide, inverseGamma, out);
        return;
    default:
        return;
    }
}

} // namespace zorbalin
