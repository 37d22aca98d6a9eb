#include "recording_view.h"

#include "game/result_texts.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace zorbalin::testing {
namespace {

// These boards must never change: players share deals by their numbers.
TEST(Deal, NumberedDealsGiveTheSameBoardsInEveryVersion) {
    // The reference outputs of the generator's published algorithm.
    TDealColours generator(1234567);
    EXPECT_EQ(generator.Next(), 6457827717110365317u);
    EXPECT_EQ(generator.Next(), 3203168211198807973u);
    EXPECT_EQ(generator.Next(), 9817491932198370423u);

    TRecordingView view;
    TGame game(view);
    const auto dealt = [&](TDealNumber Number, std::int32_t Colours) {
        game.SetColourCount(Colours);
        game.PlayDeal(Number);
        EXPECT_EQ(game.DealNumber(), Number);
        EXPECT_EQ(game.DealColourCount(), Colours);
        return RowsOf(game.Board());
    };
    game.CreateBoard(1);
    EXPECT_EQ(dealt(1, 3), (std::array<std::string, kRowCount>{
                               "233323223131321133", "323131133223322211", "321331212312221131",
                               "221233112332131123", "222233312322231231", "321231323312232211",
                               "311211213133122313", "221121111132111221", "132233332311312211"}));
    EXPECT_EQ(dealt(2024, 4),
              (std::array<std::string, kRowCount>{
                  "324433441223121341", "122124124221412414", "243122423411344241",
                  "143333142343324444", "432243323312414134", "312231331422332132",
                  "133111432242214124", "344123214142441233", "122421224114441121"}));
    EXPECT_EQ(dealt(999999999, 5),
              (std::array<std::string, kRowCount>{
                  "214435334511342245", "215114354531114553", "554315213324215423",
                  "335425243212321321", "244424355223133335", "454554553323132434",
                  "144252144115524114", "543313222444244225", "354233451331313143"}));

    EXPECT_THROW(game.PlayDeal(0), std::out_of_range);
    EXPECT_THROW(game.PlayDeal(kLastDealNumber + 1), std::out_of_range);
    EXPECT_EQ(game.DealNumber(), 999999999u); // a refused number leaves the deal alone
}

TEST(Deal, CreateBoardMakesEveryPictureInStorageOrderAndSavesTheDeal) {
    TRecordingView view;
    auto numbers = std::make_unique<TCountingDeals>();
    TCountingDeals& source = *numbers;
    TGame game(view, std::move(numbers));
    game.CreateBoard();

    const TBoard deal = DealtBoard(1, 4);
    ASSERT_EQ(view.Calls.size(), static_cast<std::size_t>(kCellCount));
    EXPECT_EQ(view.Calls[0], "CreatePebble 1 1 " + std::to_string(deal.Colour(1, 1)));
    EXPECT_EQ(view.Calls[9], "CreatePebble 2 1 " + std::to_string(deal.Colour(2, 1)));
    EXPECT_EQ(view.Calls[161], "CreatePebble 18 9 " + std::to_string(deal.Colour(18, 9)));
    EXPECT_EQ(source.Reseeds, 1);
    EXPECT_EQ(game.DealNumber(), 1u);
    EXPECT_EQ(RowsOf(game.Board()), RowsOf(deal));
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
    const TBoard deal = DealtBoard(2, 3);
    const std::vector<std::string> shows = g.View.CallsStartingWith("ShowPebble");
    ASSERT_EQ(g.View.Calls.size(), static_cast<std::size_t>(kCellCount));
    ASSERT_EQ(shows.size(), static_cast<std::size_t>(kCellCount));
    EXPECT_EQ(shows[0], "ShowPebble 1 1 " + std::to_string(deal.Colour(1, 1)));
    EXPECT_EQ(shows[161], "ShowPebble 18 9 " + std::to_string(deal.Colour(18, 9)));
    EXPECT_EQ(RowsOf(g.Game.Board()), RowsOf(deal));
    EXPECT_EQ(g.Game.DealNumber(), 2u);
    EXPECT_EQ(RowsOf(g.Game.SavedBoard()), RowsOf(g.Game.Board()));
    // Pictures are never replaced after they were created.
    EXPECT_EQ(g.Game.Board().At(7, 4).Picture, g.View.PictureOf(7, 4));

    EXPECT_THROW(g.Game.SetColourCount(2), std::invalid_argument);
    EXPECT_THROW(g.Game.SetColourCount(6), std::invalid_argument);
    EXPECT_EQ(g.Game.ColourCount(), 3);
}

TEST(Deal, ReplayAfterNewGameRestoresThatDealWithItsOldColours) {
    TRecordingView view;
    auto numbers = std::make_unique<TCountingDeals>();
    TCountingDeals& source = *numbers;
    TGame game(view, std::move(numbers));
    game.CreateBoard();
    const auto startDeal = RowsOf(game.Board());
    game.SetColourCount(3);
    game.aUjExecute();
    const auto newDeal = RowsOf(game.Board());
    ASSERT_NE(newDeal, startDeal);

    game.ClickPebble(1, 7); // deal 2 with 3 colours has a pair there
    ASSERT_NE(RowsOf(game.Board()), newDeal);
    game.SetColourCount(5);
    for (int replay = 0; replay < 2; ++replay) {
        view.Calls.clear();
        game.PNGButton2Click();
        EXPECT_EQ(RowsOf(game.Board()), newDeal);
        EXPECT_EQ(RowsOf(game.SavedBoard()), newDeal);
        EXPECT_EQ(game.DealNumber(), 2u);
        EXPECT_EQ(game.DealColourCount(), 3);
        ASSERT_EQ(view.Calls.size(), static_cast<std::size_t>(kCellCount));
        EXPECT_EQ(view.Calls[1], "ShowPebble 1 2 " + newDeal[1].substr(0, 1));
        EXPECT_EQ(view.Calls[9], "ShowPebble 2 1 " + newDeal[0].substr(1, 1));
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
        EXPECT_TRUE(IsDealNumber(game.DealNumber()));
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
