// Decoding speed of three pictures: (a) a 670 x 480 RGBA window background,
// (b) a 4000 x 3000 RGB photo-sized picture, (c) a 1024 x 1024 interlaced RGBA
// picture. Each is decoded by the program's reader, by libpng's simplified API
// (to RGBA) and, as the floor, by a plain inflate of its image data.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "imaging/pngpicture.h"

namespace {

using namespace zorbalin;
using Bytes = std::vector<uint8_t>;

struct TBenchImage {
    Bytes Png;        // the file
    Bytes Compressed; // its IDAT data joined
};

Bytes Frame(const char* type, const Bytes& data) {
    Bytes out;
    out.reserve(data.size() + 12);
    auto put32 = [&out](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(uint8_t(v >> shift));
    };
    put32(static_cast<uint32_t>(data.size()));
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(type[i]));
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    if (!data.empty())
        crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
    put32(static_cast<uint32_t>(crc));
    return out;
}

// Gradients, soft shapes and a little noise: content on which an encoder's
// adaptive filtering picks a mix of all five filters.
uint8_t Channel(uint32_t x, uint32_t y, uint32_t c, uint32_t w, uint32_t h, uint32_t& noise) {
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
    return static_cast<uint8_t>(std::min(255.0, std::max(0.0, v + jitter)));
}

// A PNG of the samples with every row unfiltered; the program's writer then
// re-encodes it with adaptive filtering, as image editors do.
TBenchImage MakeImage(uint32_t w, uint32_t h, uint32_t channels, bool interlaced) {
    const uint8_t colourType = channels == 4 ? 6 : 2;
    Bytes raw;
    raw.reserve(size_t(w * channels + 1) * h);
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < h; ++y) {
        raw.push_back(0);
        for (uint32_t x = 0; x < w; ++x)
            for (uint32_t c = 0; c < channels; ++c)
                raw.push_back(Channel(x, y, c, w, h, noise));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 1);
    packed.resize(packedSize);
    Bytes ihdr = {uint8_t(w >> 24),
                  uint8_t(w >> 16),
                  uint8_t(w >> 8),
                  uint8_t(w),
                  uint8_t(h >> 24),
                  uint8_t(h >> 16),
                  uint8_t(h >> 8),
                  uint8_t(h),
                  8,
                  colourType,
                  0,
                  0,
                  0};
    Bytes plain = {137, 80, 78, 71, 13, 10, 26, 10};
    for (const Bytes& chunk : {Frame("IHDR", ihdr), Frame("IDAT", packed), Frame("IEND", {})})
        plain.insert(plain.end(), chunk.begin(), chunk.end());

    TPNGObject picture;
    TMemoryStream in(plain.data(), plain.size());
    picture.LoadFromStream(in);
    picture.HeaderChunk().InterlaceMethod = interlaced ? 1 : 0;
    picture.SaveFilters = pfNone | pfSub | pfUp | pfAverage | pfPaeth;
    picture.ZlibLevel = 6;
    TMemoryStream out;
    picture.SaveToStream(out);

    TBenchImage image;
    image.Png.assign(out.Memory(), out.Memory() + out.Size());
    for (size_t at = 8; at + 12 <= image.Png.size();) {
        const uint8_t* p = &image.Png[at];
        const uint32_t length =
            uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        if (std::memcmp(p + 4, "IDAT", 4) == 0)
            image.Compressed.insert(image.Compressed.end(), p + 8, p + 8 + length);
        at += 12 + length;
    }
    return image;
}

const TBenchImage& Image(int which) {
    static const TBenchImage images[3] = {MakeImage(670, 480, 4, false),
                                          MakeImage(4000, 3000, 3, false),
                                          MakeImage(1024, 1024, 4, true)};
    return images[which];
}

const char* const kNames[3] = {"a_670x480_rgba", "b_4000x3000_rgb", "c_1024x1024_rgba_interlaced"};

void BM_Ours(benchmark::State& state) {
    const TBenchImage& image = Image(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TPNGObject picture;
        TMemoryStream stream(image.Png.data(), image.Png.size());
        picture.LoadFromStream(stream);
        benchmark::DoNotOptimize(picture.HeaderChunk().ColourPlane);
    }
    state.SetLabel(kNames[state.range(0)]);
}

void BM_Libpng(benchmark::State& state) {
    const TBenchImage& image = Image(static_cast<int>(state.range(0)));
    std::vector<uint8_t> pixels;
    for (auto _ : state) {
        png_image png;
        std::memset(&png, 0, sizeof png);
        png.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&png, image.Png.data(), image.Png.size()))
            throw std::runtime_error(png.message);
        png.format = PNG_FORMAT_RGBA;
        pixels.resize(PNG_IMAGE_SIZE(png));
        if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr))
            throw std::runtime_error(png.message);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetLabel(kNames[state.range(0)]);
}

void BM_InflateFloor(benchmark::State& state) {
    const TBenchImage& image = Image(static_cast<int>(state.range(0)));
    std::vector<uint8_t> out(64 << 20);
    for (auto _ : state) {
        z_stream z{};
        inflateInit(&z);
        z.next_in = const_cast<Bytef*>(image.Compressed.data());
        z.avail_in = static_cast<uInt>(image.Compressed.size());
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        if (inflate(&z, Z_FINISH) != Z_STREAM_END)
            throw std::runtime_error("inflate");
        inflateEnd(&z);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(kNames[state.range(0)]);
}

} // namespace

BENCHMARK(BM_Ours)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libpng)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateFloor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
