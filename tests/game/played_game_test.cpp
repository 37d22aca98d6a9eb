// A game taken as its deal and clicks and played back onto another game.
#include "recording_view.h"

#include <gtest/gtest.h>

namespace zorbalin::testing {
namespace {

// Three pairs in columns 1-3 over a full deal of alternating colours 3 and 4: three clicks clear
// the pairs without ending the game.
TBoard ThreePairsDeal() {
    TBoard board;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            board.At(col, row).Colour = 3 + (col + row) % 2;
    for (int col = 1; col <= 3; ++col)
        board.At(col, 8).Colour = board.At(col, 9).Colour = col;
    return board;
}

TEST(PlayedGame, ResumeBringsBackThePositionUndoRedoAndReplay) {
    TRecordedGame played;
    played.Game.SetColourCount(5);
    played.Load(ThreePairsDeal());
    played.Game.ClickPebble(1, 9);
    played.Game.ClickPebble(2, 9);
    played.Game.ClickPebble(3, 9);
    played.Game.Undo();
    const TPlayedGame kept = played.Game.Played();
    const auto afterTwo = RowsOf(played.Game.Board());
    EXPECT_EQ(kept.Colours, 5);
    EXPECT_EQ(kept.Clicks.size(), 3u);
    EXPECT_EQ(kept.Played, 2u);

    // Before any deal the pictures are made from the deal, and the cells the clicks changed
    // are shown as they are now.
    TRecordingView view;
    TGame resumed(view, std::make_unique<TCountingDeals>());
    ASSERT_TRUE(resumed.Resume(kept));
    EXPECT_EQ(view.CallsStartingWith("CreatePebble").size(), std::size_t{kCellCount});
    EXPECT_EQ(view.CallsStartingWith("ShowPebble 1 9").front(), "ShowPebble 1 9 3");
    EXPECT_EQ(RowsOf(resumed.Board()), RowsOf(played.Game.Board()));
    EXPECT_EQ(resumed.DealColourCount(), 5);
    EXPECT_EQ(resumed.DealNumber(), 0u);
    ASSERT_TRUE(resumed.Redo());
    played.Game.Redo();
    EXPECT_EQ(RowsOf(resumed.Board()), RowsOf(played.Game.Board()));
    while (resumed.Undo()) {
    }
    EXPECT_EQ(RowsOf(resumed.Board()), RowsOf(ThreePairsDeal()));
    resumed.Redo();
    resumed.PNGButton2Click();
    EXPECT_EQ(RowsOf(resumed.Board()), RowsOf(ThreePairsDeal()));

    // Played back over a game in progress, the whole board is shown instead.
    TRecordedGame other;
    ASSERT_TRUE(other.Game.Resume(kept));
    EXPECT_TRUE(other.View.CallsStartingWith("CreatePebble").empty());
    EXPECT_EQ(other.View.CallsStartingWith("ShowPebble").size(), std::size_t{kCellCount});
    EXPECT_EQ(RowsOf(other.Game.Board()), afterTwo);
}

TEST(PlayedGame, AGameThatDoesNotPlayBackChangesNothing) {
    TRecordedGame source;
    source.Load(ThreePairsDeal());
    source.Game.ClickPebble(2, 9);
    const TPlayedGame good = source.Game.Played();

    std::vector<TPlayedGame> bad(6, good);
    bad[0].Colours = 6;
    bad[1].Colours = 3; // the deal holds colour 4
    bad[2].Start[CellIndex(5, 5)] = 0;
    bad[3].Played = 2;
    bad[4].Clicks.push_back({1, 1});                  // a lone pebble: the board stays as it was
    bad[5].Clicks = {{2, 9}, {2, 9}, {2, 9}, {2, 9}}; // on to empty and lone cells
    for (const TPlayedGame& game : bad) {
        TRecordedGame target;
        const auto before = RowsOf(target.Game.Board());
        EXPECT_FALSE(target.Game.Resume(game));
        EXPECT_TRUE(target.View.Calls.empty());
        EXPECT_EQ(RowsOf(target.Game.Board()), before);
    }
    TRecordedGame target;
    EXPECT_TRUE(target.Game.Resume(good));
}

} // namespace
} // namespace zorbalin::testing
