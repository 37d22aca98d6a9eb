// One animation step of the game (a 35 x 43 pebble bitmap read from a BMP file, drawn into a
// window-sized 670 x 480 surface) and a full-window copy.
#include <benchmark/benchmark.h>

#include <vector>

#include "gdi/bmp.h"
#include "gdi/drawing_surface.h"
#include "gdi/owners.h"
#include "toolkit/bitmap.h"
#include "toolkit/stream.h"

namespace zorbalin {
namespace {

constexpr int kWindowWidth = 670, kWindowHeight = 480;

// A pebble as the game's Ico folder holds it: 35 x 43, 24 bits.
void LoadPebble(TBitmap& Pebble) {
    TDibImage image;
    image.Info.bmiHeader.biWidth = 35;
    image.Info.bmiHeader.biHeight = 43;
    image.Info.bmiHeader.biBitCount = 24;
    image.Bits.resize(static_cast<std::size_t>(DibStride(35, 24)) * 43);
    for (std::size_t i = 0; i < image.Bits.size(); ++i)
        image.Bits[i] = static_cast<std::uint8_t>(i * 7);
    std::vector<std::uint8_t> file = EncodeBmp(image);
    TMemoryStream stream(file.data(), file.size());
    Pebble.LoadFromStream(stream);
}

void BM_PebbleStep(benchmark::State& State) {
    TBitmap pebble;
    LoadPebble(pebble);
    TDrawingSurface window(kWindowWidth, kWindowHeight);
    SetStretchBltMode(window.DC(), COLORONCOLOR);
    int x = 0;
    for (auto _ : State) {
        StretchBlt(window.DC(), 100 + (x & 1) * 2, 200, 35, 43, pebble.Canvas().Handle(), 0, 0, 35,
                   43, SRCCOPY);
        ++x;
    }
    State.SetItemsProcessed(State.iterations() * 35 * 43);
}
BENCHMARK(BM_PebbleStep);

void BM_PebbleStretchedDoubleSize(benchmark::State& State) {
    TBitmap pebble;
    LoadPebble(pebble);
    TDrawingSurface window(kWindowWidth, kWindowHeight);
    for (auto _ : State)
        StretchBlt(window.DC(), 100, 200, 70, 86, pebble.Canvas().Handle(), 0, 0, 35, 43, SRCCOPY);
    State.SetItemsProcessed(State.iterations() * 70 * 86);
}
BENCHMARK(BM_PebbleStretchedDoubleSize);

void BM_FullWindowCopy(benchmark::State& State) {
    TDrawingSurface from(kWindowWidth, kWindowHeight), to(kWindowWidth, kWindowHeight);
    for (auto _ : State)
        BitBlt(to.DC(), 0, 0, kWindowWidth, kWindowHeight, from.DC(), 0, 0, SRCCOPY);
    State.SetItemsProcessed(State.iterations() * kWindowWidth * kWindowHeight);
}
BENCHMARK(BM_FullWindowCopy);

void BM_FullWindowStretch367To366(benchmark::State& State) {
    TDrawingSurface from(kWindowWidth, kWindowHeight), to(kWindowWidth, kWindowHeight);
    for (auto _ : State)
        StretchBlt(to.DC(), 0, 0, 366, 300, from.DC(), 0, 0, 367, 300, SRCCOPY);
    State.SetItemsProcessed(State.iterations() * 366 * 300);
}
BENCHMARK(BM_FullWindowStretch367To366);

} // namespace
} // namespace zorbalin

BENCHMARK_MAIN();
