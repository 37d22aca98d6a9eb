// Undo, the context menu, the statistics of finished games and their window, on the whole
// program on the headless screen.
#include "program_fixture.h"

#include "app/settings/stats.h"
#include "app/windows/Eredmeny.h"
#include "app/windows/Statisztika.h"
#include "app/windows/par_search.h"
#include "imaging/pngbutton.h"

#include <thread>

namespace zorbalin::testing {
namespace {

using PlayAidsTest = ProgramTest;

// A pair at the bottom left beside one lone pebble: one click ends the game with one left.
TBoard OnePairBoard() {
    TBoard board;
    board.At(1, 9).Colour = 2;
    board.At(1, 8).Colour = 2;
    board.At(2, 9).Colour = 3;
    return board;
}

// A click on the middle of a control, as a step of a modal loop.
void ClickCentre(THeadlessBackend& Screen, const TControl& Control) {
    TPoint p = Control.ClientToScreen({Control.Width() / 2, Control.Height() / 2});
    Screen.Click(p.X, p.Y);
}

std::vector<std::string> MenuLines() {
    std::vector<std::string> lines;
    for (const TMenuItem* item : frm_Main->PopupMenu1->Items())
        lines.push_back(item->Caption + " " + item->ShortCutText + (item->Enabled ? "" : " (off)") +
                        (item->Checked ? " (ticked)" : ""));
    return lines;
}

TEST_F(PlayAidsTest, RightClickMenuUndoesTheClickAndShowsTheBoardAsItWas) {
    Start();
    TBoard board = CheckerBoard();
    board.At(5, 9).Colour = board.At(6, 9).Colour = 3;
    board.At(6, 8).Colour = 1; // keeps the game going after the pair
    ShowPosition(board);

    std::vector<std::string> before;
    WhenIdle({[&] {
        before = MenuLines();
        FScreen.KeyDown(vk::kEscape);
    }});
    const TPoint cell = CellCentre(3, 3);
    Press(cell, TMouseButton::mbRight);
    Release(cell, TMouseButton::mbRight);
    // The replay that showed the position can be undone.
    EXPECT_EQ(before,
              (std::vector<std::string>{
                  "Visszavonás Ctrl+Z", "Mégis Ctrl+Y (off)", "Tipp H", "Statisztika Ctrl+T", "- ",
                  "Új játék Ctrl+N", "Újrajátszás Ctrl+R", "Leosztás száma… ",
                  "Csak megoldható leosztás ", "Beállítások Ctrl+S", "Folytatás induláskor ",
                  "Animáció ", "Névjegy F1", "- ", "Nyelv / Language "}));
    EXPECT_EQ(frm_Main->PopupMenu1->Window(), nullptr);

    ClickAt(CellCentre(5, 9));
    ASSERT_NE(frm_Main->Game().Board().Colour(6, 9), 3);
    // The first enabled line is "Visszavonás" now.
    WhenIdle({[&] {
        FScreen.KeyDown(vk::kDown);
        FScreen.KeyDown(vk::kReturn);
    }});
    Press(cell, TMouseButton::mbRight);
    Release(cell, TMouseButton::mbRight);
    Pump();
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row) {
            ASSERT_EQ(frm_Main->Game().Board().Colour(col, row), board.Colour(col, row));
            ASSERT_TRUE(Cell(col, row)->Visible());
            ASSERT_EQ(Cell(col, row)->Left(), HomeBox(col, row).Left);
        }
    EXPECT_TRUE(frm_Main->Game().CanRedo());
}

TEST_F(PlayAidsTest, AGameCountsOnceAtItsFirstEndAndTheWindowShowsIt) {
    Start();
    ShowPosition(OnePairBoard());
    WhenIdle({[&] { ClickCentre(FScreen, *frm_Eredmeny->PNGButton8); }});
    ClickAt(CellCentre(1, 9));
    // The lone pebble left over shows the result again: the same game, not counted again.
    WhenIdle({[&] { ClickCentre(FScreen, *frm_Eredmeny->PNGButton8); }});
    ClickAt(CellCentre(1, 9));
    TStats stats = ReadStats(FPaths.IniPath);
    EXPECT_EQ(stats.For(4).Finished, 1);
    EXPECT_EQ(stats.For(4).Recent, std::vector<std::int32_t>{1});

    // A replay is a new game.
    frm_Main->PNGButton2Click(nullptr);
    WhenIdle({[&] { ClickCentre(FScreen, *frm_Eredmeny->PNGButton8); }});
    ClickAt(CellCentre(1, 9));
    EXPECT_EQ(ReadStats(FPaths.IniPath).For(4).Finished, 2);

    TRect window;
    std::string chart;
    WhenIdle({[&] {
        window = frm_Statisztika->BoundsRect();
        chart = frm_Statisztika->ChartLabel->Caption();
        ClickCentre(FScreen, *frm_Statisztika->PNGButton8);
    }});
    frm_Main->aStatisztika->Execute();
    EXPECT_EQ(frm_Statisztika, nullptr);
    EXPECT_EQ(window.Left, frm_Main->Left() + (frm_Main->Width() - kStatsClientWidth) / 2);
    EXPECT_EQ(window.Top, frm_Main->Top() + (frm_Main->Height() - kStatsClientHeight) / 2);
    EXPECT_EQ(chart, "Az utolsó 2 eredmény, 4 szín:");
}

TEST(ParSearch, KeepsTheFewestPebblesFoundAndANewDealEndsTheOldSearch) {
    TParSearch search;
    search.Start(OnePairBoard());
    for (int wait = 0; wait < 400 && search.Searching(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(search.Searching());
    EXPECT_EQ(search.Par(), std::optional<std::int32_t>(1));

    // A full board searched for a minute is ended at once by the next deal.
    TBoard full;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            full.At(col, row).Colour = 1 + (col * 7 + row * 3 + col * row) % 5;
    search.Start(full, std::chrono::minutes(1));
    EXPECT_TRUE(search.Searching());
    const auto before = std::chrono::steady_clock::now();
    search.Start(OnePairBoard());
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
    search.Cancel();
    EXPECT_FALSE(search.Par());
}

TEST(StatsTexts, FiguresParAndMeanWithADecimalComma) {
    TColourStats none;
    EXPECT_EQ(StatsFigureText(none, 0), "0");
    EXPECT_EQ(StatsFigureText(none, 2), "–");
    TColourStats bestLost;
    bestLost.Finished = 2147483648;
    EXPECT_EQ(StatsFigureText(bestLost, 0), "2147483648");
    EXPECT_EQ(StatsFigureText(bestLost, 1), "–");
    TColourStats some;
    for (int result : {0, 7, 12})
        some.Record(result);
    EXPECT_EQ(StatsFigureText(some, 0), "3");
    EXPECT_EQ(StatsFigureText(some, 1), "0");
    EXPECT_EQ(StatsFigureText(some, 2), "6,3");
    EXPECT_EQ(StatsFigureText(some, 3), "2");
    EXPECT_EQ(StatsFigureText(some, 4), "1");
    EXPECT_EQ(ParText({true, std::nullopt}), "A gép még keresi a leosztás legjobb megoldását...");
    EXPECT_EQ(ParText({false, 3}), "A gép legjobbja ennél a leosztásnál: 3 kavics.");
    EXPECT_EQ(ParText({false, std::nullopt}), "");
    EXPECT_EQ(DealText(123456789, 5), "Leosztás száma: 123456789 (5 szín)");
    EXPECT_EQ(DealText(0, 4), ""); // a position not dealt by number
}

// A whole game with the keyboard: H aims the ring at the best group while it blinks, Enter plays
// it; a key ends the blink at once and does what it does; Enter closes the result.
TEST_F(PlayAidsTest, HintBlinksTheBestGroupThreeTimesAndAimsTheRingThereForEnter) {
    Start();
    // Row 9 reads 1 1 2 2 1: the pair of 2s first clears the board, the 1s first leave one.
    TBoard board;
    for (int col = 1; col <= 5; ++col)
        board.At(col, 9).Colour = col == 3 || col == 4 ? 2 : 1;
    ShowPosition(board);
    std::vector<std::string> states;
    const auto record = [&] {
        std::string state;
        for (int col = 1; col <= 5; ++col)
            state += Cell(col, 9)->Visible() ? 'o' : '-';
        states.push_back(state);
    };
    WhenIdle({record, record, record, record, record});
    std::uint32_t start = FScreen.Ticks();
    FScreen.KeyDown('H');
    Pump();
    EXPECT_EQ(states, (std::vector<std::string>{"oo--o", "ooooo", "oo--o", "ooooo", "oo--o"}));
    EXPECT_EQ(FScreen.Ticks() - start, 1000u) << "each state held 200 ms";
    record();
    EXPECT_EQ(states.back(), "ooooo");
    EXPECT_FALSE(frm_Main->Game().CanUndo());
    const TBoardFocus& ring = frm_Main->Focus();
    EXPECT_TRUE(ring.Visible());
    EXPECT_EQ(ring.Col() * 10 + ring.Row(), 39) << "the cell the hint names";

    FScreen.KeyDown(vk::kReturn);
    Pump();
    ASSERT_EQ(frm_Main->Game().Board().Colour(3, 9), 1) << "Enter played the hinted pair";

    // Enter during the next blink ends it at once and plays the group; Enter closes the result.
    states.clear();
    bool resultShown = false;
    WhenIdle({[&] {
                  record();
                  FScreen.KeyDown(vk::kReturn);
              },
              [&] {
                  resultShown = frm_Eredmeny != nullptr;
                  FScreen.KeyDown(vk::kReturn);
              }});
    start = FScreen.Ticks();
    FScreen.KeyDown(vk::F4);
    Pump();
    EXPECT_EQ(states, (std::vector<std::string>{"-----"})) << "the three 1s hidden, once";
    EXPECT_LT(FScreen.Ticks() - start, 200u);
    EXPECT_TRUE(resultShown);
    EXPECT_EQ(frm_Eredmeny, nullptr);
    EXPECT_FALSE(frm_Main->Game().Board().IsFilled(1, 9));

    // With no move left, nothing blinks.
    states.clear();
    ShowPosition(CheckerBoard());
    WhenIdle({record});
    FScreen.KeyDown('H');
    Pump();
    EXPECT_TRUE(states.empty());
}

} // namespace
} // namespace zorbalin::testing
