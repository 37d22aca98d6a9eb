#include "recording_view.h"

#include "game/clearable_deal.h"

#include <gtest/gtest.h>

namespace zorbalin::testing {
namespace {

int PebblesOn(const TBoard& Board) {
    int count = 0;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            count += Board.IsFilled(col, row);
    return count;
}

// Drawn from 1 on, the first clearable number is taken and every number before it was passed
// over; the solver's line for it, clicked on a real game, clears the board and ends the game.
TEST(ClearableDeal, TakesTheFirstDrawnNumberThatTheSolversLineClearsOnTheGame) {
    for (std::int32_t colours = kFewestColours; colours <= kMostColours; ++colours) {
        TCountingDeals numbers;
        const TDealNumber number = DrawClearableDeal(numbers, colours);
        ASSERT_TRUE(IsDealNumber(number));
        for (TDealNumber passed = 1; passed < number; ++passed)
            EXPECT_FALSE(ClearingLine(passed, colours)) << passed;

        const std::optional<TSolution> line = ClearingLine(number, colours);
        ASSERT_TRUE(line);
        TRecordedGame g;
        g.Game.SetColourCount(colours);
        g.Game.PlayDeal(number);
        for (const TCellPosition& click : line->Clicks) {
            ASSERT_TRUE(g.Game.Board().IsFilled(click.Col, click.Row));
            g.Game.ClickPebble(click.Col, click.Row);
        }
        EXPECT_EQ(PebblesOn(g.Game.Board()), 0) << colours << " colours, deal " << number;
        EXPECT_EQ(g.View.CallsStartingWith("ShowResult").size(), 1u);
    }
}

TEST(ClearableDeal, ACancelledSearchGivesNoNumber) {
    TCountingDeals numbers;
    const std::atomic<bool> cancelled{true};
    EXPECT_EQ(DrawClearableDeal(numbers, 5, &cancelled), 0u);
}

} // namespace
} // namespace zorbalin::testing
