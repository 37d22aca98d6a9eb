// The main window on the headless screen: from the start of the program to its
// first painted frame, one animation step of a cell picture, and the longest
// click (a group of 50 pebbles whose removal drops fourteen columns and closes
// four), with every animation frame drawn and presented. Then the same click
// played as motion: one frame of it painted and presented, and the processor
// time of all its frames against the time it plays, at scale 1 and 4.
#include "app/program/program.h"
#include "app/windows/Main.h"
#include "backend/headless/headless_backend.h"
#include "toolkit/application.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
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

// The program at a scale (a screen large enough for its window), with the motion on or off.
struct TRunningProgram {
    THeadlessBackend Screen;
    std::unique_ptr<TApplication> App;

    explicit TRunningProgram(bool Motion = false, int Scale = 1)
        : Screen(1280 * Scale, 1024 * Scale) {
        ::unsetenv("ZORBALIN_SCALE");
        Screen.DesktopScaleFactor = Scale;
        SetProgramPaths(BenchPaths());
        App = std::make_unique<TApplication>(Screen);
        StartProgram(*App);
        frm_Main->SetMotion(Motion);
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

// The worst-case click with the motion on: the board reloaded, the click run and recorded, the
// motion started (not timed).
void StartWorstCaseMotion(TRunningProgram& Program, const TBoard& Board) {
    frm_Main->FinishMotion();
    frm_Main->Game().LoadPosition(Board);
    frm_Main->PNGButton2Click(nullptr);
    Program.App->ProcessMessages();
    frm_Main->Image1Click(frm_Main->Cells().Cell(1, 1));
    Program.App->ProcessMessages(); // the first frame
}

// One frame of the motion: the moving pictures placed, the parts they left and reached painted
// and presented. The frames go round the whole motion, fall and slide alike.
void BM_MotionFrame(benchmark::State& State) {
    TRunningProgram program(true, static_cast<int>(State.range(0)));
    StartWorstCaseMotion(program, WorstCaseBoard());
    TBoardMotion& motion = frm_Main->Motion();
    const uint32_t total = motion.Times().Total();
    uint32_t elapsed = 0;
    for (auto _ : State) {
        elapsed = (elapsed + kFrameTime) % total;
        motion.ShowFrame(elapsed);
        frm_Main->UpdateNow();
    }
    State.counters["moving_pebbles"] = static_cast<double>(motion.Moves().size());
}
BENCHMARK(BM_MotionFrame)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

double ThreadCpuMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A whole motion as the message loop plays it, a frame every 16 ms of the virtual clock: the
// processor time of its frames, and that time as a share of one core over the motion's length.
void BM_WholeMotion(benchmark::State& State) {
    TRunningProgram program(true, static_cast<int>(State.range(0)));
    const TBoard board = WorstCaseBoard();
    double cpu = 0, played = 0;
    int frames = 0;
    for (auto _ : State) {
        State.PauseTiming();
        StartWorstCaseMotion(program, board);
        played += frm_Main->Motion().Times().Total();
        State.ResumeTiming();
        const double start = ThreadCpuMilliseconds();
        while (frm_Main->Motion().Running()) {
            program.Screen.AdvanceTime(kFrameTime);
            program.App->ProcessMessages();
            ++frames;
        }
        cpu += ThreadCpuMilliseconds() - start;
    }
    State.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kAvgIterations);
    State.counters["core_percent"] = played > 0 ? 100.0 * cpu / played : 0;
}
BENCHMARK(BM_WholeMotion)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zorbalin

BENCHMARK_MAIN();
