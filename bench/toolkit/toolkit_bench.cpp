// The two drawing paths of the main window on the headless backend: one animation step (a
// 35 x 43 picture control moved by two pixels and drawn at once) and a full ordinary repaint of
// a 670 x 480 form with its background picture and 162 picture controls in front of it.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "backend/headless/headless_backend.h"
#include "gdi/owners.h"
#include "imaging/pngpicture.h"
#include "toolkit/application.h"
#include "toolkit/bitmap.h"
#include "toolkit/image.h"

namespace zorbalin {
namespace {

// An opaque RGBA picture with a gradient, like the window's artwork.
std::unique_ptr<TPNGObject> MakeBackground(int Width, int Height) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TBitmapOwner bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            pixels[y * Width + x] = 0x00600000u | ((x & 0xFF) << 8) | (y & 0xFF);
    auto picture = std::make_unique<TPNGObject>();
    picture->AssignFromBitmapHandle(bitmap.Get(), false, 0);
    picture->AddAlphaChannel();
    return picture;
}

// A 24-bit 35 x 43 pebble bitmap, as read from the Ico folder.
std::unique_ptr<TBitmap> MakePebble(TColor Colour) {
    auto pebble = std::make_unique<TBitmap>();
    pebble->SetPixelFormat(pf24bit);
    pebble->SetSize(35, 43);
    pebble->Canvas().Brush().SetColor(Colour);
    pebble->Canvas().FillRect(Bounds(0, 0, 35, 43));
    return pebble;
}

// The main window's drawing load: background, then 18 x 9 cells of 35 x 43 from (20, 63).
struct TBoardWindow {
    THeadlessBackend Screen;
    TApplication App{Screen};
    TForm* Form = nullptr;
    std::vector<TImage*> Cells;

    TBoardWindow() {
        App.CreateForm(Form);
        Form->SetClientSize(670, 480);
        auto* background = new TImage(Form);
        background->SetParent(Form);
        background->SetBounds(0, 0, 670, 480);
        background->SetStretch(true);
        background->Picture()->Assign(MakeBackground(670, 480).get());
        const TColor colours[] = {kClRed, kClLime, kClBlue, kClYellow, kClFuchsia};
        std::vector<std::unique_ptr<TBitmap>> pebbles;
        for (TColor c : colours)
            pebbles.push_back(MakePebble(c));
        for (int column = 0; column < 18; ++column)
            for (int row = 0; row < 9; ++row) {
                auto* cell = new TImage(Form);
                cell->SetParent(Form);
                cell->SetBounds(20 + column * 35, 63 + row * 43, 35, 43);
                cell->SetStretch(true);
                cell->Picture()->Assign(pebbles[(column + row) % 5].get());
                Cells.push_back(cell);
            }
        Form->Show();
        App.ProcessMessages();
    }
};

void BM_AnimationStep(benchmark::State& State) {
    TBoardWindow window;
    TImage* cell = window.Cells[4]; // a cell in the middle of a column
    const int home = cell->Top();
    int step = 0;
    for (auto _ : State) {
        // Down 42 pixels in steps of two, then back home, as a drop does.
        step = (step + 1) % 22;
        cell->SetTop(home + 2 * step);
        cell->Repaint();
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_AnimationStep);

void BM_FullOrdinaryRepaint(benchmark::State& State) {
    TBoardWindow window;
    for (auto _ : State) {
        window.Form->Invalidate();
        window.App.ProcessMessages();
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_FullOrdinaryRepaint)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zorbalin

BENCHMARK_MAIN();
