// One animation step of the game (a 35 x 43 pebble bitmap read from a BMP file, drawn into a
// window-sized 670 x 480 surface) and a full-window copy.
#include <benchmark/benchmark.h>

#include <vector>

#include "gdi/bmp.h"
#include "gdi/owners.h"
#include "toolkit/bitmap.h"
#include "toolkit/stream.h"

namespace zorbalin {
namespace {

constexpr int kWindowWidth = 670, kWindowHeight = 480;

// A window's retained surface: a top-down 32-bit DIB section in a memory context.
class Surface {
 public:
  Surface() : dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = kWindowWidth;
    info.bmiHeader.biHeight = -kWindowHeight;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    old_ = SelectObject(dc_.Get(), bitmap_.Get());
  }
  ~Surface() { SelectObject(dc_.Get(), old_); }
  HDC Dc() const { return dc_.Get(); }

 private:
  DCOwner dc_;
  BitmapOwner bitmap_;
  HGDIOBJ old_ = nullptr;
};

// A pebble as the game's Ico folder holds it: 35 x 43, 24 bits.
void LoadPebble(TBitmap& pebble) {
  DibImage image;
  image.info.bmiHeader.biWidth = 35;
  image.info.bmiHeader.biHeight = 43;
  image.info.bmiHeader.biBitCount = 24;
  image.bits.resize(static_cast<std::size_t>(DibStride(35, 24)) * 43);
  for (std::size_t i = 0; i < image.bits.size(); ++i) image.bits[i] = static_cast<std::uint8_t>(i * 7);
  std::vector<std::uint8_t> file = EncodeBmp(image);
  TMemoryStream stream(file.data(), file.size());
  pebble.LoadFromStream(stream);
}

void BM_PebbleStep(benchmark::State& state) {
  TBitmap pebble;
  LoadPebble(pebble);
  Surface window;
  SetStretchBltMode(window.Dc(), COLORONCOLOR);
  int x = 0;
  for (auto _ : state) {
    StretchBlt(window.Dc(), 100 + (x & 1) * 2, 200, 35, 43, pebble.Canvas().Handle(), 0, 0, 35, 43,
               SRCCOPY);
    ++x;
  }
  state.SetItemsProcessed(state.iterations() * 35 * 43);
}
BENCHMARK(BM_PebbleStep);

void BM_PebbleStretchedDoubleSize(benchmark::State& state) {
  TBitmap pebble;
  LoadPebble(pebble);
  Surface window;
  for (auto _ : state)
    StretchBlt(window.Dc(), 100, 200, 70, 86, pebble.Canvas().Handle(), 0, 0, 35, 43, SRCCOPY);
  state.SetItemsProcessed(state.iterations() * 70 * 86);
}
BENCHMARK(BM_PebbleStretchedDoubleSize);

void BM_FullWindowCopy(benchmark::State& state) {
  Surface from, to;
  for (auto _ : state)
    BitBlt(to.Dc(), 0, 0, kWindowWidth, kWindowHeight, from.Dc(), 0, 0, SRCCOPY);
  state.SetItemsProcessed(state.iterations() * kWindowWidth * kWindowHeight);
}
BENCHMARK(BM_FullWindowCopy);

void BM_FullWindowStretch367To366(benchmark::State& state) {
  Surface from, to;
  for (auto _ : state) StretchBlt(to.Dc(), 0, 0, 366, 300, from.Dc(), 0, 0, 367, 300, SRCCOPY);
  state.SetItemsProcessed(state.iterations() * 366 * 300);
}
BENCHMARK(BM_FullWindowStretch367To366);

}  // namespace
}  // namespace zorbalin

BENCHMARK_MAIN();
