// Decoding speed of the five benchmark pictures, side by side on the same bytes:
// the program's reader, libpng's simplified API (to RGBA), libspng (to RGBA) and
// stb_image (to RGBA), next to two floors: zlib's and libdeflate's inflate of the
// same image data into a ready buffer. Every decoder gets fresh output memory for
// each decode, as a program does; the floors write into a buffer kept warm, and
// libdeflate's once more into fresh memory for each decode. The other decoders
// are yardsticks only: the game never links them.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <png.h>
#include <spng.h>
#include <stb_image.h>
#include <sys/mman.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "bench_pictures.h"
#include "imaging/png_test_switches.h"
#include "imaging/pngpicture.h"

namespace {

using benchpng::Picture;
using benchpng::TBenchPicture;

const TBenchPicture& Chosen(benchmark::State& State) {
    const TBenchPicture& picture = Picture(static_cast<int>(State.range(0)));
    State.SetLabel(picture.Name);
    return picture;
}

void BM_Ours(benchmark::State& State) {
    using namespace zorbalin;
    const TBenchPicture& picture = Chosen(State);
    TMemoryStream stream(picture.Png.data(), picture.Png.size());
    for (auto _ : State) {
        TPNGObject png;
        stream.SetPosition(0);
        png.LoadFromStream(stream);
        benchmark::DoNotOptimize(png.HeaderChunk().ColourPlane);
    }
    if (LastImageDataPath() != TImageDataPath::WholeImage)
        State.SkipWithError("the whole-image reader declined");
}

void BM_Libpng(benchmark::State& State) {
    const TBenchPicture& picture = Chosen(State);
    for (auto _ : State) {
        png_image png;
        std::memset(&png, 0, sizeof png);
        png.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&png, picture.Png.data(), picture.Png.size()))
            throw std::runtime_error(png.message);
        png.format = PNG_FORMAT_RGBA;
        std::unique_ptr<uint8_t[]> pixels(new uint8_t[PNG_IMAGE_SIZE(png)]);
        if (!png_image_finish_read(&png, nullptr, pixels.get(), 0, nullptr))
            throw std::runtime_error(png.message);
        benchmark::DoNotOptimize(pixels.get());
    }
}

void BM_Libspng(benchmark::State& State) {
    const TBenchPicture& picture = Chosen(State);
    for (auto _ : State) {
        spng_ctx* ctx = spng_ctx_new(0);
        spng_set_png_buffer(ctx, picture.Png.data(), picture.Png.size());
        size_t size = 0;
        if (spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size) != 0)
            throw std::runtime_error("spng size");
        std::unique_ptr<uint8_t[]> pixels(new uint8_t[size]);
        if (spng_decode_image(ctx, pixels.get(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0)
            throw std::runtime_error("spng decode");
        spng_ctx_free(ctx);
        benchmark::DoNotOptimize(pixels.get());
    }
}

void BM_StbImage(benchmark::State& State) {
    const TBenchPicture& picture = Chosen(State);
    for (auto _ : State) {
        int w = 0, h = 0, n = 0;
        stbi_uc* pixels =
            stbi_load_from_memory(picture.Png.data(), int(picture.Png.size()), &w, &h, &n, 4);
        if (!pixels)
            throw std::runtime_error("stb_image");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
}

void BM_ZlibFloor(benchmark::State& State) {
    const TBenchPicture& picture = Chosen(State);
    std::vector<uint8_t> out(picture.FilteredBytes);
    for (auto _ : State) {
        z_stream z{};
        inflateInit(&z);
        z.next_in = const_cast<Bytef*>(picture.Compressed.data());
        z.avail_in = static_cast<uInt>(picture.Compressed.size());
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        if (inflate(&z, Z_FINISH) != Z_STREAM_END)
            throw std::runtime_error("inflate");
        inflateEnd(&z);
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_LibdeflateFloor(benchmark::State& State) {
    const TBenchPicture& picture = Chosen(State);
    std::vector<uint8_t> out(picture.FilteredBytes);
    for (auto _ : State) {
        libdeflate_decompressor* d = libdeflate_alloc_decompressor();
        if (libdeflate_zlib_decompress(d, picture.Compressed.data(), picture.Compressed.size(),
                                       out.data(), out.size(), nullptr) != LIBDEFLATE_SUCCESS)
            throw std::runtime_error("libdeflate");
        libdeflate_free_decompressor(d);
        benchmark::DoNotOptimize(out.data());
    }
}

// The libdeflate floor as a decoder meets it: the output is fresh memory each
// time, had in the cheapest way the system offers (a new mapping, 2 MiB
// aligned, advised as huge pages) and given back after the decode.
void BM_LibdeflateFreshFloor(benchmark::State& State) {
    const TBenchPicture& picture = Chosen(State);
    constexpr size_t kHuge = size_t(2) << 20;
    const size_t span = (picture.FilteredBytes + kHuge - 1) / kHuge * kHuge;
    for (auto _ : State) {
        void* mapped =
            mmap(nullptr, span + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            throw std::runtime_error("mmap");
        auto* out = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(mapped) + kHuge - 1) &
                                               ~uintptr_t(kHuge - 1));
        madvise(out, span, MADV_HUGEPAGE);
        libdeflate_decompressor* d = libdeflate_alloc_decompressor();
        if (libdeflate_zlib_decompress(d, picture.Compressed.data(), picture.Compressed.size(), out,
                                       picture.FilteredBytes, nullptr) != LIBDEFLATE_SUCCESS)
            throw std::runtime_error("libdeflate");
        libdeflate_free_decompressor(d);
        benchmark::DoNotOptimize(out);
        munmap(mapped, span + kHuge);
    }
}

} // namespace

#define ZORBALIN_PNG_BENCH(name)                                                                   \
    BENCHMARK(name)->DenseRange(0, benchpng::kPictureCount - 1)->Unit(benchmark::kMillisecond)
ZORBALIN_PNG_BENCH(BM_Ours);
ZORBALIN_PNG_BENCH(BM_Libpng);
ZORBALIN_PNG_BENCH(BM_Libspng);
ZORBALIN_PNG_BENCH(BM_StbImage);
ZORBALIN_PNG_BENCH(BM_ZlibFloor);
ZORBALIN_PNG_BENCH(BM_LibdeflateFloor);
ZORBALIN_PNG_BENCH(BM_LibdeflateFreshFloor);
BENCHMARK_MAIN();
