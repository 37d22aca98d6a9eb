#include "recording_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace zorbalin::testing {
namespace {

// The hides sent by the removal: every HidePebble before the first movement.
std::vector<std::string> RemovalHides(const TRecordingView& View) {
    std::vector<std::string> hides;
    for (const std::string& call : View.Calls) {
        if (call.rfind("HidePebble", 0) != 0)
            break;
        hides.push_back(call);
    }
    return hides;
}

TEST(GroupRemoval, GroupIsListedBreadthFirstLeftRightUpperLower) {
    TRecordedGame g;
    TBoard board = Checkerboard();
    for (auto [col, row] : {std::pair{5, 3}, {4, 3}, {5, 4}, {4, 4}})
        board.At(col, row).Colour = 3;
    g.Load(board);
    g.Game.ClickPebble(5, 3);
    EXPECT_EQ(RemovalHides(g.View), (std::vector<std::string>{"HidePebble 5 3", "HidePebble 4 3",
                                                              "HidePebble 5 4", "HidePebble 4 4"}));

    // On a board of one colour the order of neighbours decides the whole list.
    TRecordedGame whole;
    TBoard oneColour;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            oneColour.At(col, row).Colour = 2;
    whole.Load(oneColour);
    whole.Game.ClickPebble(1, 1);
    const std::vector<std::string> hides = RemovalHides(whole.View);
    ASSERT_GE(hides.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(hides.begin(), hides.begin() + 6),
              (std::vector<std::string>{"HidePebble 1 1", "HidePebble 2 1", "HidePebble 1 2",
                                        "HidePebble 3 1", "HidePebble 2 2", "HidePebble 1 3"}));
}

TEST(GroupRemoval, NeighbourSearchAppendsEachKeyOnceButReportsEveryMatch) {
    TRecordedGame g;
    TBoard board = Checkerboard();
    for (auto [col, row] : {std::pair{5, 5}, {4, 5}, {6, 5}, {5, 4}, {5, 6}})
        board.At(col, row).Colour = 3;
    g.Load(board);
    TGroupKeys keys{"5i5"};
    EXPECT_TRUE(g.Game.AddSameColourNeighbours(5, 5, keys));
    EXPECT_EQ(keys, (TGroupKeys{"5i5", "4i5", "6i5", "5i4", "5i6"}));
    EXPECT_TRUE(g.Game.AddSameColourNeighbours(5, 5, keys)); // all listed already
    EXPECT_EQ(keys.size(), 5u);
    TGroupKeys lone{"1i1"};
    EXPECT_FALSE(g.Game.AddSameColourNeighbours(1, 1, lone));
    EXPECT_EQ(lone, TGroupKeys{"1i1"});
    EXPECT_TRUE(g.View.Calls.empty());
}

TEST(GroupRemoval, CornersTryOnlyTheirNeighboursInsideTheBoard) {
    TRecordedGame g;
    TBoard oneColour;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            oneColour.At(col, row).Colour = 1;
    g.Load(oneColour);
    TGroupKeys topLeft;
    EXPECT_TRUE(g.Game.AddSameColourNeighbours(1, 1, topLeft));
    EXPECT_EQ(topLeft, (TGroupKeys{"2i1", "1i2"}));
    TGroupKeys bottomRight;
    EXPECT_TRUE(g.Game.AddSameColourNeighbours(18, 9, bottomRight));
    EXPECT_EQ(bottomRight, (TGroupKeys{"17i9", "18i8"}));

    // Pairs in the bottom corners go whole, the clicked pebble listed first.
    TBoard board = Checkerboard();
    board.At(1, 9).Colour = board.At(2, 9).Colour = 3;
    board.At(18, 9).Colour = board.At(18, 8).Colour = 4;
    g.Load(board);
    g.Game.ClickPebble(2, 9);
    EXPECT_EQ(RemovalHides(g.View), (std::vector<std::string>{"HidePebble 2 9", "HidePebble 1 9"}));
    g.View.Calls.clear();
    g.Game.ClickPebble(18, 9);
    EXPECT_EQ(RemovalHides(g.View),
              (std::vector<std::string>{"HidePebble 18 9", "HidePebble 18 8"}));
}

TEST(GroupRemoval, OneColourBoardIsRemovedWholeAndPraised) {
    TRecordedGame g;
    TBoard oneColour;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            oneColour.At(col, row).Colour = 5;
    g.Load(oneColour);
    g.Game.ClickPebble(9, 5);

    const std::vector<std::string> hides = RemovalHides(g.View);
    // The closing passes hide the empty columns again, so only the first 162
    // hides belong to the removal: every cell exactly once.
    ASSERT_GE(hides.size(), static_cast<std::size_t>(kCellCount));
    EXPECT_EQ(hides.front(), "HidePebble 9 5");
    std::set<std::string> removed(hides.begin(), hides.begin() + kCellCount);
    EXPECT_EQ(removed.size(), static_cast<std::size_t>(kCellCount));
    EXPECT_EQ(RowsOf(g.Game.Board())[8], "000000000000000000");
    EXPECT_TRUE(g.View.CallsStartingWith("OffsetPebble").empty());
    EXPECT_TRUE(g.View.CallsStartingWith("ShowPebble").empty());
    EXPECT_EQ(
        g.View.Calls.back(),
        "ShowResult \"Gratulálok!\" \"Ez már kész, keresni kellene egy nehezebb játékot...\"");
}

TEST(GroupRemoval, GroupNeverTakesInEmptyCells) {
    TRecordedGame g;
    g.Load(BoardFromRows({"000000000000000000", "000000000000000000", "000000000000000000",
                          "000000000000000000", "000000000000000000", "454000000000000000",
                          "333000000000000000", "303000000000000000", "333000000000000000"}));
    g.Game.ClickPebble(1, 9);
    const std::vector<std::string> hides = RemovalHides(g.View);
    EXPECT_EQ(hides.size(), 8u);
    EXPECT_EQ(std::count(hides.begin(), hides.end(), "HidePebble 2 8"), 0);
    EXPECT_EQ(RowsOf(g.Game.Board())[8], "454000000000000000");
}

TEST(GroupRemoval, LonePebbleStaysWhileSettlingAndEndTestStillRun) {
    TRecordedGame g;
    g.Load(Checkerboard());
    g.Game.ClickPebble(5, 5);
    EXPECT_EQ(g.View.Calls,
              (std::vector<std::string>{
                  "ShowResult \"Ezt még gyakorolni kell...\" \"Már csak 162 kavics maradt.\""}));
    EXPECT_EQ(RowsOf(g.Game.Board()), RowsOf(Checkerboard()));

    // An unsettled position: the click removes nothing, yet column 7 drops by
    // a row, beside pebbles of its own colours, so the game goes on.
    TBoard board = Checkerboard();
    board.At(7, 9).Colour = 0;
    g.Load(board);
    g.Game.ClickPebble(1, 1);
    EXPECT_EQ(g.View.CallsStartingWith("HidePebble").front(), "HidePebble 7 8");
    EXPECT_TRUE(g.View.CallsStartingWith("ShowResult").empty());
    EXPECT_TRUE(g.Game.Board().IsFilled(7, 9));
}

TEST(GroupRemoval, ClickByPictureNameReachesOnlyFilledCells) {
    TRecordedGame g;
    TBoard board = Checkerboard();
    board.At(5, 3).Colour = board.At(5, 2).Colour = 3;
    g.Load(board);
    for (const char* name : {"", "i5", "5i3", "i05i3", "i5i3x", "i19i1", "i5i0", "i5i10", "x5i3"})
        EXPECT_FALSE(g.Game.ClickNamedCell(name)) << name;
    EXPECT_TRUE(g.View.Calls.empty());

    EXPECT_TRUE(g.Game.ClickNamedCell("i5i3"));
    EXPECT_EQ(RemovalHides(g.View), (std::vector<std::string>{"HidePebble 5 3", "HidePebble 5 2"}));
    g.View.Calls.clear();
    EXPECT_FALSE(g.Game.ClickNamedCell("i5i1")); // emptied by the drop
    EXPECT_TRUE(g.View.Calls.empty());
}

} // namespace
} // namespace zorbalin::testing
