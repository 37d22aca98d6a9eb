// The main window on the headless screen: from the start of the program to its
// first painted frame, one animation step of a cell picture, and the longest
// click (a group of 50 pebbles whose removal drops fourteen columns and closes
// four), with every animation frame drawn and presented.
#include "app/program/program.h"
#include "app/windows/Main.h"
#include "backend/headless/headless_backend.h"
#include "toolkit/application.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace zorbalin {
namespace {

// A throw-away configuration folder, removed when the benchmarks end.
struct TScratchFolder {
    std::string Path;
    TScratchFolder() {
        char pattern[] = "/tmp/zorbalin-bench-XXXXXX";
        if (::mkdtemp(pattern))
            Path = pattern;
    }
    ~TScratchFolder() {
        std::error_code ignored;
        if (!Path.empty())
            std::filesystem::remove_all(Path, ignored);
    }
};

// The program's own folder (with Ico/) and the scratch configuration folder.
TSegedPaths BenchPaths() {
    static const TScratchFolder kConfig;
    return ResolveSegedPaths(GetAppDir(), kConfig.Path);
}

struct TRunningProgram {
    THeadlessBackend Screen;
    std::unique_ptr<TApplication> App;

    TRunningProgram() {
        SetProgramPaths(BenchPaths());
        App = std::make_unique<TApplication>(Screen);
        StartProgram(*App);
        frm_Main->Show();
        App->ProcessMessages();
    }
};

void BM_StartToFirstFrame(benchmark::State& State) {
    for (auto _ : State) {
        TRunningProgram program;
        benchmark::DoNotOptimize(program.Screen.ScreenPixel(20, 20));
        State.PauseTiming();
        program.App.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond);

void BM_AnimationStep(benchmark::State& State) {
    TRunningProgram program;
    int step = 0;
    for (auto _ : State) {
        step = step % 21 + 1;
        frm_Main->OffsetPebble(9, 5, 0, 2 * step);
    }
    frm_Main->ResetPebble(9, 5);
}
BENCHMARK(BM_AnimationStep)->Unit(benchmark::kMicrosecond);

// Columns 1-4 and the bottom row in colour 1 (one group of 50), a pair of 5s at
// the top right so the game goes on, and no other pair.
TBoard WorstCaseBoard() {
    TBoard board;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            board.At(col, row).Colour = col <= 4 || row == kRowCount ? 1 : 2 + (col + 2 * row) % 3;
    board.At(18, 1).Colour = 5;
    board.At(18, 2).Colour = 5;
    return board;
}

void BM_WorstCaseClick(benchmark::State& State) {
    TRunningProgram program;
    const TBoard board = WorstCaseBoard();
    for (auto _ : State) {
        State.PauseTiming();
        frm_Main->Game().LoadPosition(board);
        frm_Main->PNGButton2Click(nullptr);
        program.App->ProcessMessages();
        State.ResumeTiming();
        frm_Main->Image1Click(frm_Main->Cells().Cell(1, 1));
        program.App->ProcessMessages(); // the ordinary repaint of the final board
    }
}
BENCHMARK(BM_WorstCaseClick)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zorbalin

BENCHMARK_MAIN();
