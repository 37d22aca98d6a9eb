#include "recording_view.h"

#include "game/result_texts.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace zorbalin::testing {
namespace {

TEST(Deal, CreateBoardMakesEveryPictureInStorageOrderAndSavesTheDeal) {
    TRecordingView view;
    auto colours = std::make_unique<TCyclingColours>();
    TCyclingColours& source = *colours;
    TGame game(view, std::move(colours));
    game.CreateBoard();

    ASSERT_EQ(view.Calls.size(), static_cast<std::size_t>(kCellCount));
    EXPECT_EQ(view.Calls[0], "CreatePebble 1 1 1");
    EXPECT_EQ(view.Calls[8], "CreatePebble 1 9 1"); // 9th colour of the cycle 1..4
    EXPECT_EQ(view.Calls[9], "CreatePebble 2 1 2");
    EXPECT_EQ(view.Calls[161], "CreatePebble 18 9 2");
    EXPECT_EQ(source.Reseeds, 1);
    for (int col = 1; col <= kColumnCount; ++col) {
        for (int row = 1; row <= kRowCount; ++row) {
            EXPECT_EQ(game.Board().At(col, row).Picture, view.PictureOf(col, row));
            EXPECT_EQ(game.SavedBoard().At(col, row).Picture, view.PictureOf(col, row));
        }
    }
    EXPECT_EQ(RowsOf(game.SavedBoard()), RowsOf(game.Board()));
}

TEST(Deal, NewGameShowsEveryCellWithTheCurrentNumberOfColours) {
    TRecordedGame g;
    g.Game.SetColourCount(3);
    g.Game.aUjExecute();
    const std::vector<std::string> shows = g.View.CallsStartingWith("ShowPebble");
    ASSERT_EQ(g.View.Calls.size(), static_cast<std::size_t>(kCellCount));
    ASSERT_EQ(shows.size(), static_cast<std::size_t>(kCellCount));
    EXPECT_EQ(shows[0], "ShowPebble 1 1 2"); // the second deal starts one colour on
    EXPECT_EQ(shows[161], "ShowPebble 18 9 1");
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            EXPECT_TRUE(g.Game.Board().Colour(col, row) >= 1 &&
                        g.Game.Board().Colour(col, row) <= 3);
    EXPECT_EQ(RowsOf(g.Game.SavedBoard()), RowsOf(g.Game.Board()));
    // Pictures are never replaced after they were created.
    EXPECT_EQ(g.Game.Board().At(7, 4).Picture, g.View.PictureOf(7, 4));

    EXPECT_THROW(g.Game.SetColourCount(2), std::invalid_argument);
    EXPECT_THROW(g.Game.SetColourCount(6), std::invalid_argument);
    EXPECT_EQ(g.Game.ColourCount(), 3);
}

TEST(Deal, ReplayAfterNewGameRestoresThatDealWithItsOldColours) {
    TRecordingView view;
    auto colours = std::make_unique<TCyclingColours>();
    TCyclingColours& source = *colours;
    TGame game(view, std::move(colours));
    game.CreateBoard();
    const auto startDeal = RowsOf(game.Board());
    game.SetColourCount(3);
    game.aUjExecute(); // cycling through 3 colours makes every row one colour
    const auto newDeal = RowsOf(game.Board());
    ASSERT_NE(newDeal, startDeal);
    ASSERT_EQ(newDeal[8], "111111111111111111");

    game.ClickPebble(1, 9);
    ASSERT_NE(RowsOf(game.Board()), newDeal);
    game.SetColourCount(5);
    for (int replay = 0; replay < 2; ++replay) {
        view.Calls.clear();
        game.PNGButton2Click();
        EXPECT_EQ(RowsOf(game.Board()), newDeal);
        EXPECT_EQ(RowsOf(game.SavedBoard()), newDeal);
        ASSERT_EQ(view.Calls.size(), static_cast<std::size_t>(kCellCount));
        EXPECT_EQ(view.Calls[0], "ShowPebble 1 1 2");
        EXPECT_EQ(view.Calls[1], "ShowPebble 1 2 3");
        EXPECT_EQ(view.Calls[9], "ShowPebble 2 1 2");
        EXPECT_EQ(view.Calls[161], "ShowPebble 18 9 1");
    }
    EXPECT_EQ(source.Reseeds, 2); // the replay leaves the generator alone
    EXPECT_EQ(game.Board().At(18, 9).Picture, view.PictureOf(18, 9));
}

TEST(Deal, ClockSeededDealsUseEveryColourInRangeAndDiffer) {
    for (int count = 3; count <= 5; ++count) {
        TRecordingView view;
        TGame game(view);
        game.SetColourCount(count);
        game.CreateBoard();
        const auto firstDeal = RowsOf(game.Board());
        game.aUjExecute();
        std::set<int> seen;
        for (int col = 1; col <= kColumnCount; ++col)
            for (int row = 1; row <= kRowCount; ++row)
                seen.insert(game.Board().Colour(col, row));
        EXPECT_EQ(static_cast<int>(seen.size()), count);
        EXPECT_EQ(*seen.begin(), 1);
        EXPECT_EQ(*seen.rbegin(), count);
        EXPECT_NE(RowsOf(game.Board()), firstDeal);
    }
}

TEST(EndOfGame, OnlySideBySideOrStackedPairsCountAsMoves) {
    TRecordedGame g;
    const auto hasMove = [&](std::array<const char*, kRowCount> Rows) {
        g.Load(BoardFromRows(Rows));
        return g.Game.HasMovesLeft();
    };
    constexpr const char* kEmpty = "000000000000000000";
    EXPECT_TRUE(hasMove(
        {kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, "001100000000000000"}));
    EXPECT_TRUE(hasMove({kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                         "001000000000000000", "001000000000000000"}));
    EXPECT_FALSE(hasMove({kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                          "000100000000000000", "001000000000000000"}));
    // An open column keeps the two pebbles apart.
    EXPECT_FALSE(hasMove(
        {kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, "001010000000000000"}));
    EXPECT_TRUE(hasMove(
        {kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, "000000000000000011"}));
    EXPECT_FALSE(hasMove({kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty}));
    g.Load(Checkerboard());
    EXPECT_FALSE(g.Game.HasMovesLeft());
}

TEST(EndOfGame, ResultTextsPraiseTenOrFewer) {
    EXPECT_EQ(ResultTexts(0).Headline, "Gratulálok!");
    EXPECT_EQ(ResultTexts(0).Message, "Ez már kész, keresni kellene egy nehezebb játékot...");
    EXPECT_EQ(ResultTexts(1).Headline, "Gratulálok!");
    EXPECT_EQ(ResultTexts(1).Message, "Már csak 1 kavics maradt.");
    EXPECT_EQ(ResultTexts(10).Headline, "Gratulálok!");
    EXPECT_EQ(ResultTexts(10).Message, "Már csak 10 kavics maradt.");
    EXPECT_EQ(ResultTexts(11).Headline, "Ezt még gyakorolni kell...");
    EXPECT_EQ(ResultTexts(11).Message, "Már csak 11 kavics maradt.");
}

TEST(EndOfGame, FinishGameCountsThePebblesLeft) {
    TRecordedGame g;
    constexpr const char* kEmpty = "000000000000000000";
    g.Load(BoardFromRows({kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty,
                          "100000000000000002", "212121210000000002"}));
    g.Game.FinishGame();
    EXPECT_EQ(g.View.Calls,
              (std::vector<std::string>{
                  "ShowResult \"Ezt még gyakorolni kell...\" \"Már csak 11 kavics maradt.\""}));

    // The last pair removed: the click settles, finds no move and reports.
    g.View.Calls.clear();
    g.Game.ClickPebble(18, 9);
    EXPECT_EQ(g.View.Calls.back(), "ShowResult \"Gratulálok!\" \"Már csak 9 kavics maradt.\"");
}

} // namespace
} // namespace zorbalin::testing
