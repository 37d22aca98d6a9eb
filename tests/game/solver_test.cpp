#include "recording_view.h"

#include "game/compact_board.h"
#include "game/quiet_view.h"
#include "game/solver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <random>
#include <set>

namespace zorbalin::testing {
namespace {

using namespace std::chrono_literals;

int PebblesOn(const TBoard& Board) {
    int count = 0;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            count += Board.IsFilled(col, row);
    return count;
}

// Plays the line on the real game: every click must hit a pebble, and the
// last one must end the game (unless there was no move to begin with).
void ExpectLineReplays(const TBoard& Position, const TSolution& Solution) {
    TQuietView view;
    TGame game(view);
    game.LoadPosition(Position);
    int resultsBefore = 0;
    for (const TCellPosition& click : Solution.Clicks) {
        ASSERT_TRUE(game.Board().IsFilled(click.Col, click.Row))
            << "click " << click.Col << " " << click.Row;
        resultsBefore = view.Results;
        game.ClickPebble(click.Col, click.Row);
    }
    EXPECT_EQ(PebblesOn(game.Board()), Solution.PebblesLeft);
    EXPECT_FALSE(game.HasMovesLeft());
    if (!Solution.Clicks.empty()) {
        EXPECT_EQ(view.Results, resultsBefore + 1) << "the last click must end the game";
    }
}

// The fewest pebbles any line leaves, by trying every click on every position.
int FewestLeft(const TCompactBoard& Board, std::map<std::uint64_t, int>& Known) {
    const auto known = Known.find(Board.Hash());
    if (known != Known.end())
        return known->second;
    // A line may only end where no move is left.
    int best = Board.HasMovesLeft() ? kCellCount + 1 : Board.PebbleCount();
    std::set<std::uint64_t> tried;
    for (int cell = 0; cell < kCellCount; ++cell) {
        if (Board.At(cell) == 0)
            continue;
        TCompactBoard next = Board;
        next.Click(cell);
        if (next == Board || !tried.insert(next.Hash()).second)
            continue;
        best = std::min(best, FewestLeft(next, Known));
    }
    Known.emplace(Board.Hash(), best);
    return best;
}

// A few low columns of three colours: small enough to search exhaustively,
// tangled enough that the first group that comes to hand is often wrong.
TBoard SmallPosition(std::mt19937& Random) {
    TBoard board;
    for (int col = 1; col <= 7; ++col)
        for (int row = 7; row <= kRowCount; ++row)
            board.At(col, row).Colour = 1 + static_cast<int>(Random() % 3);
    return board;
}

TEST(Solver, FindsTheFewestPebblesOfSmallPositionsAndItsLinesReplay) {
    std::mt19937 random(31);
    int greedyWrong = 0;
    for (int trial = 0; trial < 12; ++trial) {
        const TBoard position = SmallPosition(random);
        std::map<std::uint64_t, int> known;
        const int fewest = FewestLeft(TCompactBoard(position), known);
        const TSolution solution = TSolver().Solve(position, TSolverBudget{200000, 0ms});
        EXPECT_EQ(solution.PebblesLeft, fewest) << "trial " << trial;
        EXPECT_TRUE(solution.Proven);
        ExpectLineReplays(position, solution);
        greedyWrong += TSolver().Solve(position, TSolverBudget{1, 0ms}).PebblesLeft != fewest;
    }
    EXPECT_GT(greedyWrong, 0) << "the positions are too easy to tell a search from a guess";
}

TEST(Solver, ClicksALonePebbleToCloseAColumnLeftOpen) {
    // The 1s are the only group. Removing them empties five columns, and the
    // fifth stays open between the 2s: the game is over with five pebbles,
    // unless a click on a lone pebble closes that column. Then the 2s go, and
    // after them the 3s, the upper one fallen from row 6 on the first click.
    const TBoard position =
        BoardFromRows({"000000000000000000", "000000000000000000", "000000000000000000",
                       "000000000000000000", "000000000000000000", "000000300000000000",
                       "000000000000000000", "000000000000000000", "211111230000000000"});
    const TSolution solution = TSolver().Solve(position, TSolverBudget{10000, 0ms});
    EXPECT_EQ(solution.PebblesLeft, 0);
    EXPECT_TRUE(solution.Proven);
    ExpectLineReplays(position, solution);
}

TEST(Solver, PositionWithoutMovesHasNoLineAndNoHint) {
    const TSolution solution = TSolver().Solve(Checkerboard(), 100ms);
    EXPECT_TRUE(solution.Clicks.empty());
    EXPECT_EQ(solution.PebblesLeft, kCellCount);
    EXPECT_FALSE(TSolver().Hint(Checkerboard()).has_value());
    EXPECT_FALSE(TSolver().Hint(TBoard{}).has_value());
}

TBoard RandomDeal(int Colours, std::uint32_t Seed) {
    std::mt19937 random(Seed);
    TBoard board;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            board.At(col, row).Colour = 1 + static_cast<int>(random() % Colours);
    return board;
}

TEST(Solver, SameBudgetSameLineAndTheHintIsItsFirstClick) {
    const TBoard deal = RandomDeal(5, 4);
    const TSolverBudget budget{5000, 0ms};
    const TSolution first = TSolver().Solve(deal, budget);
    const TSolution second = TSolver().Solve(deal, budget);
    EXPECT_EQ(first.Clicks, second.Clicks);
    EXPECT_EQ(first.PebblesLeft, second.PebblesLeft);
    EXPECT_LE(first.PositionsSearched, budget.Positions);
    ExpectLineReplays(deal, first);

    const std::optional<TCellPosition> hint = TSolver().Hint(RandomDeal(4, 9));
    ASSERT_TRUE(hint.has_value());
    EXPECT_TRUE(RandomDeal(4, 9).IsFilled(hint->Col, hint->Row));
}

TEST(Solver, StopsAtItsDeadlineOrWhenCancelledWithALineThatStillEndsTheGame) {
    // Nine colours: no search ends early on such a board by clearing it.
    const TBoard deal = RandomDeal(9, 8);
    const auto start = std::chrono::steady_clock::now();
    const TSolution timed = TSolver().Solve(deal, TSolverBudget{0, 50ms});
    // A generous bound: the deadline is 50 ms; a loaded machine may add some.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_TRUE(timed.Interrupted);
    ExpectLineReplays(deal, timed);

    const std::atomic<bool> cancel{true};
    const TSolution cancelled = TSolver().Solve(deal, TSolverBudget{0, 0ms}, &cancel);
    EXPECT_TRUE(cancelled.Interrupted);
    EXPECT_FALSE(cancelled.Clicks.empty());
    ExpectLineReplays(deal, cancelled);
}

} // namespace
} // namespace zorbalin::testing
