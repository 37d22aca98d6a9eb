#include "recording_view.h"

#include "game/click_between.h"

#include <gtest/gtest.h>

namespace zorbalin::testing {
namespace {

constexpr const char* kEmpty = "000000000000000000";

// Two pairs stacked in columns 1-2 and two lone pebbles: clicking the top pair,
// then the bottom one, ends the game with 2 pebbles left.
TBoard TwoPairs() {
    return BoardFromRows({kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                          "110000000000000000", "221300000000000000"});
}

// What showing the whole of Position sends: every cell, column by column.
std::vector<std::string> WholeBoardShows(const TBoard& Position) {
    std::vector<std::string> calls;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            calls.push_back("ShowPebble " + std::to_string(col) + " " + std::to_string(row) + " " +
                            std::to_string(Position.Colour(col, row)));
    return calls;
}

TEST(History, UndoAndRedoShowTheWholePositionAtOnce) {
    TRecordedGame g;
    g.Load(TwoPairs());
    EXPECT_FALSE(g.Game.Undo());
    EXPECT_FALSE(g.Game.Redo());
    EXPECT_TRUE(g.View.Calls.empty());

    g.Game.ClickPebble(1, 8);
    const TBoard afterFirst = g.Game.Board();
    g.Game.ClickPebble(1, 9);
    const TBoard afterSecond = g.Game.Board();
    ASSERT_EQ(g.View.Calls.back(), "ShowResult \"Gratulálok!\" \"Már csak 2 kavics maradt.\"");

    // Undo works after the end of the game, one step at a time, with no animation.
    g.View.Calls.clear();
    EXPECT_TRUE(g.Game.Undo());
    EXPECT_EQ(g.View.Calls, WholeBoardShows(afterFirst));
    EXPECT_EQ(RowsOf(g.Game.Board()), RowsOf(afterFirst));
    g.View.Calls.clear();
    EXPECT_TRUE(g.Game.Undo());
    EXPECT_EQ(g.View.Calls, WholeBoardShows(TwoPairs()));
    EXPECT_FALSE(g.Game.CanUndo());
    EXPECT_TRUE(g.Game.CanRedo());

    g.View.Calls.clear();
    EXPECT_TRUE(g.Game.Redo());
    EXPECT_TRUE(g.Game.Redo());
    EXPECT_FALSE(g.Game.Redo());
    std::vector<std::string> expected = WholeBoardShows(afterFirst);
    for (const std::string& call : WholeBoardShows(afterSecond))
        expected.push_back(call);
    EXPECT_EQ(g.View.Calls, expected);
    EXPECT_EQ(RowsOf(g.Game.Board()), RowsOf(afterSecond));
    // The saved deal is untouched: the replay still brings back the start.
    EXPECT_EQ(RowsOf(g.Game.SavedBoard()), RowsOf(TwoPairs()));
}

TEST(History, StepsAheadGoOnlyWhenAClickChangesTheBoard) {
    TRecordedGame g;
    g.Load(TwoPairs());
    g.Game.ClickPebble(1, 8);
    g.Game.ClickPebble(1, 9);
    g.Game.Undo();
    g.Game.Undo();

    g.Game.ClickPebble(4, 9); // a lone pebble changes nothing
    EXPECT_TRUE(g.Game.CanRedo());
    g.Game.ClickPebble(1, 9); // the bottom pair first: another line of play
    EXPECT_FALSE(g.Game.CanRedo());
    EXPECT_TRUE(g.Game.Undo());
    EXPECT_EQ(RowsOf(g.Game.Board()), RowsOf(TwoPairs()));
    EXPECT_FALSE(g.Game.CanUndo());

    // A replay and a new deal each start an empty history.
    g.Game.Redo();
    g.Game.PNGButton2Click();
    EXPECT_FALSE(g.Game.CanUndo());
    EXPECT_FALSE(g.Game.CanRedo());
    g.Game.ClickPebble(1, 8);
    g.Game.aUjExecute();
    EXPECT_FALSE(g.Game.CanUndo());
    EXPECT_FALSE(g.Game.CanRedo());
}

TEST(History, UndoDealBringsBackTheGameLeftUntilTheNewDealsFirstMove) {
    TRecordedGame g;
    g.Load(TwoPairs());
    g.Game.ClickPebble(1, 8);
    g.Game.ClickPebble(1, 9);
    g.Game.Undo(); // one step back, one ahead
    const TBoard left = g.Game.Board();
    EXPECT_FALSE(g.Game.CanUndoDeal()); // a loaded position leaves nothing behind

    g.Game.SetColourCount(5);
    g.Game.aUjExecute();
    g.Game.aUjExecute(); // a second deal straight away keeps the game played before the first
    EXPECT_FALSE(g.Game.CanUndo());
    ASSERT_TRUE(g.Game.CanUndoDeal());
    g.View.Calls.clear();
    EXPECT_TRUE(g.Game.UndoDeal());
    EXPECT_EQ(g.View.Calls, WholeBoardShows(left));
    EXPECT_EQ(g.Game.DealColourCount(), 4);
    EXPECT_EQ(g.Game.DealNumber(), 0u);
    EXPECT_FALSE(g.Game.CanUndoDeal()); // only the game just left, not a chain
    EXPECT_TRUE(g.Game.Redo());
    EXPECT_TRUE(g.Game.Undo());
    EXPECT_TRUE(g.Game.Undo());
    EXPECT_EQ(RowsOf(g.Game.Board()), RowsOf(TwoPairs()));
    g.Game.PNGButton2Click();
    EXPECT_EQ(RowsOf(g.Game.SavedBoard()), RowsOf(TwoPairs()));

    // A move in the new game makes it the game in progress: the one left is gone.
    g.Game.ClickPebble(1, 8);
    g.Game.Undo();
    g.Game.PNGButton2Click();
    g.Game.ClickPebble(1, 9);
    EXPECT_FALSE(g.Game.CanUndoDeal());
    g.View.Calls.clear();
    EXPECT_FALSE(g.Game.UndoDeal());
    EXPECT_TRUE(g.View.Calls.empty());
}

// The second click takes the last 2s off the board: the position's colours are numbered afresh.
TEST(History, ClickBetweenTwoPositionsNamesTheGroupThatWentOrNoneWhenNoOneClickLeadsThere) {
    TRecordedGame g;
    g.Load(TwoPairs());
    g.Game.ClickPebble(2, 8);
    const TBoard afterFirst = g.Game.Board();
    g.Game.ClickPebble(2, 9);
    const TBoard afterSecond = g.Game.Board();
    EXPECT_EQ(ClickBetween(TwoPairs(), afterFirst), (TCellPosition{1, 8}));
    EXPECT_EQ(ClickBetween(afterFirst, afterSecond), (TCellPosition{1, 9}));
    EXPECT_FALSE(ClickBetween(TwoPairs(), afterSecond));
    EXPECT_FALSE(ClickBetween(afterFirst, afterFirst));
}

} // namespace
} // namespace zorbalin::testing
