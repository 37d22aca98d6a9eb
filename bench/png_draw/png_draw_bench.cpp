// Alpha drawing of RGBA pictures next to its floor: a plain copy of the same
// number of canvas bytes three times (read back, blend, write back are three
// passes over the pixels). Plain and fast row blending side by side.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "gdi/drawing_surface.h"
#include "imaging/png_blend.h"
#include "imaging/png_draw.h"
#include "imaging/pngpicture.h"
#include "toolkit/bitmap.h"

namespace zorbalin {
namespace {

// An RGBA picture like the game's artwork: gradients and noise, mostly opaque,
// with transparent areas and soft edges between them.
std::unique_ptr<TPNGObject> MakeArtwork(int Width, int Height) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(Width, Height);
    auto picture = std::make_unique<TPNGObject>();
    picture->Assign(&bitmap);
    picture->AddAlphaChannel();
    std::mt19937 random(2024);
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* colour = picture->ColourRow(static_cast<std::uint32_t>(y));
        std::uint8_t* alpha = picture->AlphaRow(static_cast<std::uint32_t>(y));
        for (int x = 0; x < Width; ++x) {
            colour[3 * x] = static_cast<std::uint8_t>(x * 255 / Width);
            colour[3 * x + 1] = static_cast<std::uint8_t>(y * 255 / Height);
            colour[3 * x + 2] = static_cast<std::uint8_t>(random() & 0xFF);
            const int ring =
                (x - Width / 2) * (x - Width / 2) + (y - Height / 2) * (y - Height / 2);
            const int edge = ring / 64 % 8;
            alpha[x] = edge < 5 ? 255 : edge == 5 ? static_cast<std::uint8_t>(random() & 0xFF) : 0;
        }
    }
    return picture;
}

void AlphaDraw(benchmark::State& State, int PictureWidth, int PictureHeight, int DrawWidth,
               int DrawHeight, TBlendPath Path) {
    auto picture = MakeArtwork(PictureWidth, PictureHeight);
    // A mid-grey 32-bit top-down canvas like a window's surface.
    TDrawingSurface surface(DrawWidth, DrawHeight);
    std::memset(surface.Row(0), 0x80, static_cast<std::size_t>(DrawWidth) * DrawHeight * 4);
    const TRect rect = Rect(0, 0, DrawWidth, DrawHeight);
    for (auto _ : State) {
        DrawAlpha(surface.DC(), rect, *picture, picture->HeaderChunk(), Path);
        benchmark::ClobberMemory();
    }
    State.SetItemsProcessed(State.iterations() * DrawWidth * DrawHeight);
}

// The blending step alone, rows into a 32-bit buffer: what drawing costs
// beyond the two blits of the graphics layer.
void BlendOnly(benchmark::State& State, int Width, int Height, TBlendPath Path) {
    auto picture = MakeArtwork(Width, Height);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(Width) * Height * 4, 0x80);
    const auto blend = Path == TBlendPath::Fast ? BlendRowBgr24Fast : BlendRowBgr24;
    for (auto _ : State) {
        for (int y = 0; y < Height; ++y) {
            blend(buffer.data() + static_cast<std::size_t>(y) * Width * 4,
                  picture->ColourRow(static_cast<std::uint32_t>(y)),
                  picture->AlphaRow(static_cast<std::uint32_t>(y)), nullptr, Width);
        }
        benchmark::ClobberMemory();
    }
    State.SetItemsProcessed(State.iterations() * Width * Height);
}

void CopyThreeTimes(benchmark::State& State, int Width, int Height) {
    const std::size_t bytes = static_cast<std::size_t>(Width) * Height * 4;
    std::vector<std::uint8_t> a(bytes, 1), b(bytes, 2);
    for (auto _ : State) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::DoNotOptimize(b.data());
        std::memcpy(a.data(), b.data(), bytes);
        benchmark::DoNotOptimize(a.data());
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    State.SetItemsProcessed(State.iterations() * Width * Height);
}

BENCHMARK_CAPTURE(AlphaDraw, window_670x480_plain, 670, 480, 670, 480, TBlendPath::Plain);
BENCHMARK_CAPTURE(AlphaDraw, window_670x480_fast, 670, 480, 670, 480, TBlendPath::Fast);
BENCHMARK_CAPTURE(BlendOnly, window_670x480_plain, 670, 480, TBlendPath::Plain);
BENCHMARK_CAPTURE(BlendOnly, window_670x480_fast, 670, 480, TBlendPath::Fast);
BENCHMARK_CAPTURE(CopyThreeTimes, window_670x480, 670, 480);
BENCHMARK_CAPTURE(AlphaDraw, stretched_700x500_plain, 670, 480, 700, 500, TBlendPath::Plain);
BENCHMARK_CAPTURE(AlphaDraw, stretched_700x500_fast, 670, 480, 700, 500, TBlendPath::Fast);
BENCHMARK_CAPTURE(CopyThreeTimes, stretched_700x500, 700, 500);
BENCHMARK_CAPTURE(AlphaDraw, icon_32x32_plain, 32, 32, 32, 32, TBlendPath::Plain);
BENCHMARK_CAPTURE(AlphaDraw, icon_32x32_fast, 32, 32, 32, 32, TBlendPath::Fast);
BENCHMARK_CAPTURE(CopyThreeTimes, icon_32x32, 32, 32);

} // namespace
} // namespace zorbalin

BENCHMARK_MAIN();
