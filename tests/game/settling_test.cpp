#include "recording_view.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace zorbalin::testing {
namespace {

TEST(Settling, OneDropSlidesTwentyOneStepsThenHidesAndResets) {
    TRecordedGame g;
    g.Game.DropPebble(4, 6);
    const std::vector<std::string>& calls = g.View.Calls;
    ASSERT_EQ(calls.size(), 23u);
    for (int i = 1; i <= 21; ++i)
        EXPECT_EQ(calls[i - 1], "OffsetPebble 4 6 0 " + std::to_string(2 * i));
    EXPECT_EQ(calls[21], "HidePebble 4 6");
    EXPECT_EQ(calls[22], "ResetPebble 4 6");
}

TEST(Settling, OneColumnShiftMovesRowByRowAndAnimatesOnlyFilledRows) {
    TRecordedGame g;
    g.Load(BoardFromRows({"111110000000000000", "111110000000000000", "111110000000000000",
                          "111110000000000000", "111110000000000000", "111110000000000000",
                          "111110100000000000", "111110200000000000", "111110300000000000"}));
    g.Game.ShiftColumnLeft(6);
    const std::vector<std::string>& calls = g.View.Calls;
    ASSERT_EQ(calls.size(), 6u * 2 + 3u * 20);
    EXPECT_EQ(calls[0], "HidePebble 7 1");
    EXPECT_EQ(calls[1], "ResetPebble 7 1");
    EXPECT_EQ(calls[11], "ResetPebble 7 6");
    for (int row = 7; row <= 9; ++row) {
        const std::size_t first = 12 + (row - 7) * 20;
        EXPECT_EQ(calls[first], "OffsetPebble 7 " + std::to_string(row) + " -2 0");
        EXPECT_EQ(calls[first + 16], "OffsetPebble 7 " + std::to_string(row) + " -34 0");
        EXPECT_EQ(calls[first + 17], "HidePebble 7 " + std::to_string(row));
        EXPECT_EQ(calls[first + 18], "ResetPebble 7 " + std::to_string(row));
        EXPECT_EQ(calls[first + 19],
                  "ShowPebble 6 " + std::to_string(row) + " " + std::to_string(row - 6));
    }
    const auto rows = RowsOf(g.Game.Board());
    EXPECT_EQ(rows[0], "111110000000000000");
    EXPECT_EQ(rows[8], "111113000000000000");
}

TEST(Settling, EmptiedBottomCellBringsTheColumnDownLowestPebbleFirst) {
    TRecordedGame g;
    TBoard board = Checkerboard();
    board.At(3, 9).Colour = 0;
    g.Load(board);
    g.Game.SettleBoard();
    std::vector<std::string> expectedHides, expectedShows;
    for (int row = 8; row >= 1; --row) {
        expectedHides.push_back("HidePebble 3 " + std::to_string(row));
        expectedShows.push_back("ShowPebble 3 " + std::to_string(row + 1) + " " +
                                std::to_string(Checkerboard().Colour(3, row)));
    }
    EXPECT_EQ(g.View.CallsStartingWith("HidePebble"), expectedHides);
    EXPECT_EQ(g.View.CallsStartingWith("ShowPebble"), expectedShows);
    EXPECT_EQ(g.View.Calls.size(), 8u * 24);
    EXPECT_EQ(g.View.Calls[23], "ShowPebble 3 9 2"); // each show follows its own drop
    EXPECT_FALSE(g.Game.Board().IsFilled(3, 1));
}

TEST(Settling, DeepGapsTakeOnePassPerRowWithColumnsLeftToRightInEachPass) {
    TRecordedGame g;
    g.Load(BoardFromRows({"000000000000000000", "000000000000000000", "000000000000000000",
                          "000000000000000000", "000000000000000000", "000400000000000000",
                          "030000000000000000", "000000000000000000", "101010000000000000"}));
    g.Game.SettleBoard();
    // The closing passes that follow hide the empty columns 6..18 again.
    const std::vector<std::string> hides = g.View.CallsStartingWith("HidePebble");
    ASSERT_GE(hides.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(hides.begin(), hides.begin() + 5),
              (std::vector<std::string>{"HidePebble 2 7", "HidePebble 4 6", "HidePebble 2 8",
                                        "HidePebble 4 7", "HidePebble 4 8"}));
    EXPECT_EQ(hides[5], "HidePebble 7 1"); // closing starts after gravity
    EXPECT_EQ(g.View.CallsStartingWith("ShowPebble"),
              (std::vector<std::string>{"ShowPebble 2 8 3", "ShowPebble 4 7 4", "ShowPebble 2 9 3",
                                        "ShowPebble 4 8 4", "ShowPebble 4 9 4"}));
    EXPECT_EQ(RowsOf(g.Game.Board())[8], "131410000000000000");
}

TEST(Settling, FiveEmptyColumnsCloseFourNowAndTheLastAtTheNextClick) {
    TRecordedGame g;
    TBoard board = Checkerboard();
    for (int col = 3; col <= 7; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            board.At(col, row).Colour = 3;
    g.Load(board);
    g.Game.ClickPebble(5, 5);

    // Columns 8..18 now stand at 4..14; column 3 stays open and keeps
    // columns 2 and 4 apart, so no move is left.
    const auto rows = RowsOf(g.Game.Board());
    for (int row = 1; row <= kRowCount; row += 2)
        EXPECT_EQ(rows[row - 1], "120212121212120000") << row;
    for (int row = 2; row <= kRowCount; row += 2)
        EXPECT_EQ(rows[row - 1], "210121212121210000") << row;
    EXPECT_EQ(g.View.Calls.back(),
              "ShowResult \"Ezt még gyakorolni kell...\" \"Már csak 117 kavics maradt.\"");

    // A click that removes nothing closes the last column, which brings equal
    // colours side by side: the game goes on.
    g.View.Calls.clear();
    g.Game.ClickPebble(1, 1);
    EXPECT_EQ(RowsOf(g.Game.Board())[0], "122121212121200000");
    EXPECT_TRUE(g.View.CallsStartingWith("ShowResult").empty());
    EXPECT_TRUE(g.Game.HasMovesLeft());
}

TEST(Settling, ColumnEighteenIsNeverShiftedButFillsAnEmptyColumnSeventeen) {
    TRecordedGame g;
    TBoard board = Checkerboard();
    for (int row = 1; row <= kRowCount; ++row)
        board.At(18, row).Colour = 0;
    g.Load(board);
    g.Game.SettleBoard();
    EXPECT_TRUE(g.View.Calls.empty());

    board = Checkerboard();
    for (int row = 1; row <= kRowCount; ++row)
        board.At(17, row).Colour = 0;
    g.Load(board);
    g.Game.SettleBoard();
    // Only the first pass finds column 17 empty; later passes never test 18.
    EXPECT_EQ(g.View.Calls.size(), 9u * 20);
    EXPECT_EQ(g.View.Calls.front(), "OffsetPebble 18 1 -2 0");
    EXPECT_EQ(g.View.Calls.back(),
              "ShowPebble 17 9 " + std::to_string(Checkerboard().Colour(18, 9)));
    EXPECT_EQ(RowsOf(g.Game.Board())[0], "121212121212121220");

    g.View.Calls.clear();
    EXPECT_THROW(g.Game.ShiftColumnLeft(18), std::out_of_range);
    EXPECT_THROW(g.Game.ShiftColumnLeft(0), std::out_of_range);
    EXPECT_TRUE(g.View.Calls.empty());
}

} // namespace
} // namespace zorbalin::testing
