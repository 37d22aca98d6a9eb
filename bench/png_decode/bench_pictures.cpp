#include "bench_pictures.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/pngpicture.h"

namespace benchpng {
namespace {

using namespace zorbalin;

void Put32(TBytes& Out, uint32_t V) {
    for (int shift = 24; shift >= 0; shift -= 8)
        Out.push_back(uint8_t(V >> shift));
}

void AppendChunk(TBytes& Out, const char* Type, const TBytes& Data) {
    Put32(Out, static_cast<uint32_t>(Data.size()));
    Out.insert(Out.end(), Type, Type + 4);
    Out.insert(Out.end(), Data.begin(), Data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(Type), 4);
    if (!Data.empty()) // zlib answers 0 for a null buffer
        crc = crc32(crc, Data.data(), static_cast<uInt>(Data.size()));
    Put32(Out, static_cast<uint32_t>(crc));
}

// Gradients, soft shapes and a little noise: content on which an encoder's
// adaptive filtering picks a mix of all five filters.
double Channel(uint32_t X, uint32_t Y, uint32_t C, uint32_t W, uint32_t H, uint32_t& Noise) {
    Noise = Noise * 1664525u + 1013904223u;
    const double fx = double(X) / W, fy = double(Y) / H;
    double v = 255 * (C == 0 ? fx : C == 1 ? fy : 1 - fx * fy);
    const double dx = fx - 0.5, dy = fy - 0.45;
    if (dx * dx + dy * dy < 0.05)
        v = 255 - v * 0.5; // a disc
    if (std::fmod(fx * 7 + fy * 3, 1.0) < 0.08)
        v = 40.0 + 30 * C; // stripes
    if (C == 3)
        v = (X / 32 + Y / 32) % 5 == 0 ? 0 : 255 - 40 * fx; // alpha holes and a ramp
    const int jitter = int(Noise >> 29) - 4;                // sensor-like noise
    return std::min(255.0, std::max(0.0, v + jitter));
}

struct TFormat {
    uint8_t ColourType;
    uint8_t BitDepth;
    bool Interlaced;
};

// The unfiltered sample rows, each behind its filter-type byte (None).
TBytes RawRows(uint32_t W, uint32_t H, const TFormat& F) {
    const uint32_t channels = F.ColourType == 6 ? 4 : F.ColourType == 2 ? 3 : 1;
    TBytes raw;
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < H; ++y) {
        raw.push_back(0);
        for (uint32_t x = 0; x < W; ++x) {
            if (F.ColourType == 3) { // a smooth index field with noise: 256 colours
                const double v =
                    Channel(x, y, 0, W, H, noise) * 0.6 + Channel(x, y, 1, W, H, noise) * 0.4;
                raw.push_back(uint8_t(v));
                continue;
            }
            for (uint32_t c = 0; c < channels; ++c) {
                const double v = Channel(x, y, c, W, H, noise);
                raw.push_back(uint8_t(v));
                if (F.BitDepth == 16) // a low byte that follows the high one, with noise
                    raw.push_back(uint8_t(std::fmod(v * 97.0, 256.0)) ^ uint8_t(noise >> 28));
            }
        }
    }
    return raw;
}

TBytes PlainPng(uint32_t W, uint32_t H, const TFormat& F) {
    TBytes raw = RawRows(W, H, F);
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    TBytes packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 1);
    packed.resize(packedSize);
    TBytes ihdr;
    Put32(ihdr, W);
    Put32(ihdr, H);
    ihdr.insert(ihdr.end(), {F.BitDepth, F.ColourType, 0, 0, 0});
    TBytes png = {137, 80, 78, 71, 13, 10, 26, 10};
    AppendChunk(png, "IHDR", ihdr);
    if (F.ColourType == 3) {
        TBytes palette, alpha;
        for (int i = 0; i < 256; ++i) {
            palette.insert(palette.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
            alpha.push_back(uint8_t(i < 16 ? i * 16 : 255)); // a few see-through entries
        }
        AppendChunk(png, "PLTE", palette);
        AppendChunk(png, "tRNS", alpha);
    }
    AppendChunk(png, "IDAT", packed);
    AppendChunk(png, "IEND", {});
    return png;
}

TBenchPicture Make(const char* Name, uint32_t W, uint32_t H, const TFormat& F) {
    TBytes plain = PlainPng(W, H, F);
    TPNGObject picture;
    TMemoryStream in(plain.data(), plain.size());
    picture.LoadFromStream(in);
    picture.HeaderChunk().InterlaceMethod = F.Interlaced ? 1 : 0;
    picture.SaveFilters = pfNone | pfSub | pfUp | pfAverage | pfPaeth;
    picture.ZlibLevel = 6;
    TMemoryStream out;
    picture.SaveToStream(out);

    TBenchPicture result;
    result.Name = Name;
    result.Width = W;
    result.Height = H;
    result.Png.assign(out.Memory(), out.Memory() + out.Size());
    for (size_t at = 8; at + 12 <= result.Png.size();) {
        const uint8_t* p = &result.Png[at];
        const uint32_t length =
            uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        if (std::memcmp(p + 4, "IDAT", 4) == 0)
            result.Compressed.insert(result.Compressed.end(), p + 8, p + 8 + length);
        at += 12 + length;
    }
    uLongf size = 0;
    TBytes inflated(size_t(W) * H * 8 + H * 2 + 1024);
    size = static_cast<uLongf>(inflated.size());
    uncompress(inflated.data(), &size, result.Compressed.data(),
               static_cast<uLong>(result.Compressed.size()));
    result.FilteredBytes = size;
    return result;
}

} // namespace

const TBenchPicture& Picture(int Which) {
    static const TBenchPicture kPictures[kPictureCount] = {
        Make("a_670x480_rgba", 670, 480, {6, 8, false}),
        Make("b_4000x3000_rgb", 4000, 3000, {2, 8, false}),
        Make("c_1024x1024_rgba_interlaced", 1024, 1024, {6, 8, true}),
        Make("d_1024x768_rgba16", 1024, 768, {6, 16, false}),
        Make("e_1024x768_palette_trns", 1024, 768, {3, 8, false}),
    };
    return kPictures[Which];
}

} // namespace benchpng
