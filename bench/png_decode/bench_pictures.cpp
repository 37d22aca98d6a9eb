#include "bench_pictures.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/pngpicture.h"

namespace benchpng {
namespace {

using namespace zorbalin;

void Put32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

void AppendChunk(Bytes& out, const char* type, const Bytes& data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    if (!data.empty()) // zlib answers 0 for a null buffer
        crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
    Put32(out, static_cast<uint32_t>(crc));
}

// Gradients, soft shapes and a little noise: content on which an encoder's
// adaptive filtering picks a mix of all five filters.
double Channel(uint32_t x, uint32_t y, uint32_t c, uint32_t w, uint32_t h, uint32_t& noise) {
    noise = noise * 1664525u + 1013904223u;
    const double fx = double(x) / w, fy = double(y) / h;
    double v = 255 * (c == 0 ? fx : c == 1 ? fy : 1 - fx * fy);
    const double dx = fx - 0.5, dy = fy - 0.45;
    if (dx * dx + dy * dy < 0.05)
        v = 255 - v * 0.5; // a disc
    if (std::fmod(fx * 7 + fy * 3, 1.0) < 0.08)
        v = 40.0 + 30 * c; // stripes
    if (c == 3)
        v = (x / 32 + y / 32) % 5 == 0 ? 0 : 255 - 40 * fx; // alpha holes and a ramp
    const int jitter = int(noise >> 29) - 4;                // sensor-like noise
    return std::min(255.0, std::max(0.0, v + jitter));
}

struct TFormat {
    uint8_t ColourType;
    uint8_t BitDepth;
    bool Interlaced;
};

// The unfiltered sample rows, each behind its filter-type byte (None).
Bytes RawRows(uint32_t w, uint32_t h, const TFormat& f) {
    const uint32_t channels = f.ColourType == 6 ? 4 : f.ColourType == 2 ? 3 : 1;
    Bytes raw;
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < h; ++y) {
        raw.push_back(0);
        for (uint32_t x = 0; x < w; ++x) {
            if (f.ColourType == 3) { // a smooth index field with noise: 256 colours
                const double v =
                    Channel(x, y, 0, w, h, noise) * 0.6 + Channel(x, y, 1, w, h, noise) * 0.4;
                raw.push_back(uint8_t(v));
                continue;
            }
            for (uint32_t c = 0; c < channels; ++c) {
                const double v = Channel(x, y, c, w, h, noise);
                raw.push_back(uint8_t(v));
                if (f.BitDepth == 16) // a low byte that follows the high one, with noise
                    raw.push_back(uint8_t(std::fmod(v * 97.0, 256.0)) ^ uint8_t(noise >> 28));
            }
        }
    }
    return raw;
}

Bytes PlainPng(uint32_t w, uint32_t h, const TFormat& f) {
    const Bytes raw = RawRows(w, h, f);
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 1);
    packed.resize(packedSize);
    Bytes ihdr;
    Put32(ihdr, w);
    Put32(ihdr, h);
    ihdr.insert(ihdr.end(), {f.BitDepth, f.ColourType, 0, 0, 0});
    Bytes png = {137, 80, 78, 71, 13, 10, 26, 10};
    AppendChunk(png, "IHDR", ihdr);
    if (f.ColourType == 3) {
        Bytes palette, alpha;
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

TBenchPicture Make(const char* name, uint32_t w, uint32_t h, const TFormat& f) {
    const Bytes plain = PlainPng(w, h, f);
    TPNGObject picture;
    TMemoryStream in(plain.data(), plain.size());
    picture.LoadFromStream(in);
    picture.HeaderChunk().InterlaceMethod = f.Interlaced ? 1 : 0;
    picture.SaveFilters = pfNone | pfSub | pfUp | pfAverage | pfPaeth;
    picture.ZlibLevel = 6;
    TMemoryStream out;
    picture.SaveToStream(out);

    TBenchPicture result;
    result.Name = name;
    result.Width = w;
    result.Height = h;
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
    Bytes inflated(size_t(w) * h * 8 + h * 2 + 1024);
    size = static_cast<uLongf>(inflated.size());
    uncompress(inflated.data(), &size, result.Compressed.data(),
               static_cast<uLong>(result.Compressed.size()));
    result.FilteredBytes = size;
    return result;
}

} // namespace

const TBenchPicture& Picture(int which) {
    static const TBenchPicture pictures[kPictureCount] = {
        Make("a_670x480_rgba", 670, 480, {6, 8, false}),
        Make("b_4000x3000_rgb", 4000, 3000, {2, 8, false}),
        Make("c_1024x1024_rgba_interlaced", 1024, 1024, {6, 8, true}),
        Make("d_1024x768_rgba16", 1024, 768, {6, 16, false}),
        Make("e_1024x768_palette_trns", 1024, 768, {3, 8, false}),
    };
    return pictures[which];
}

} // namespace benchpng
