// The logic of one click must never be what makes an animation stutter: these
// measure a click with a view that does nothing, so only the rules are timed.
#include "game/game.h"
#include "game/quiet_view.h"

#include <benchmark/benchmark.h>

namespace zorbalin {
namespace {

// Colour 3 fills columns 3..6 and the two bottom rows everywhere: 64 pebbles
// in one group. The rest alternates 1 and 2, so the click ends the game.
TBoard LargeGroupBoard() {
    TBoard board;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            board.At(col, row).Colour =
                (col >= 3 && col <= 6) || row >= 8 ? 3 : 1 + (col + row) % 2;
    return board;
}

// Removes the group, drops the other columns by two rows and closes four columns.
void BM_ClickLargeGroupClosingFourColumns(benchmark::State& State) {
    TQuietView view;
    TGame game(view);
    const TBoard position = LargeGroupBoard();
    for (auto _ : State) {
        game.LoadPosition(position); // 162 colour copies, small beside the click
        game.ClickPebble(4, 9);
        benchmark::DoNotOptimize(game.Board().Colour(1, 9));
    }
}
BENCHMARK(BM_ClickLargeGroupClosingFourColumns)->Unit(benchmark::kMicrosecond);

// The largest group there is: a board of one colour, every key searched linearly.
void BM_ClickWholeBoardOfOneColour(benchmark::State& State) {
    TQuietView view;
    TGame game(view);
    TBoard position;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            position.At(col, row).Colour = 1;
    for (auto _ : State) {
        game.LoadPosition(position);
        game.ClickPebble(9, 5);
        benchmark::DoNotOptimize(game.Board().Colour(9, 5));
    }
}
BENCHMARK(BM_ClickWholeBoardOfOneColour)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace zorbalin

BENCHMARK_MAIN();
