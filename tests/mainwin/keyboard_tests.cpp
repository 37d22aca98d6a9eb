// The main window's keys: the commands of the buttons, and the keyboard staying with an open
// dialog.
#include "program_fixture.h"

#include "app/windows/Beallit.h"
#include "app/windows/Eredmeny.h"
#include "app/windows/Nevjegy.h"
#include "app/windows/Statisztika.h"
#include "imaging/pngbutton.h"

namespace zorbalin::testing {
namespace {

using KeyboardTest = ProgramTest;

bool SameBoard(const TBoard& A, const TBoard& B) {
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            if (A.Colour(col, row) != B.Colour(col, row))
                return false;
    return true;
}

TEST_F(KeyboardTest, ButtonKeysDealReplayAndOpenTheDialogsWhichKeepTheKeysWhileOpen) {
    Start();
    ShowPosition(MakeBoard([](int Col, int) { return 1 + Col % 3; }));
    ClickAt(CellCentre(1, 9)); // removes column 1
    ASSERT_EQ(frm_Main->Game().Board().Colour(1, 9), 1 + 2 % 3);
    FScreen.KeyDown('R', kSsCtrl);
    Pump();
    EXPECT_TRUE(SameBoard(frm_Main->Game().Board(), frm_Main->Game().SavedBoard()));
    EXPECT_EQ(frm_Main->Game().Board().Colour(1, 9), 1 + 1 % 3) << "Ctrl+R replays";

    const TBoard replayed = frm_Main->Game().SavedBoard();
    FScreen.KeyDown(vk::F2);
    Pump();
    EXPECT_FALSE(SameBoard(frm_Main->Game().SavedBoard(), replayed)) << "F2 deals anew";
    const TBoard dealt = frm_Main->Game().SavedBoard();
    FScreen.KeyDown('N', kSsCtrl);
    Pump();
    EXPECT_FALSE(SameBoard(frm_Main->Game().SavedBoard(), dealt)) << "Ctrl+N deals anew";

    // F1: the about window, listing the keys; the main window's keys do nothing meanwhile.
    std::vector<TKeyLine> lines;
    TBoard whileOpen;
    std::size_t formsOpen = 0;
    WhenIdle({[&] {
                  lines = frm_Nevjegy->KeyList->Lines();
                  whileOpen = frm_Main->Game().Board();
                  for (uint16_t key : {uint16_t('N'), uint16_t('R'), uint16_t('S')})
                      FScreen.KeyDown(key, kSsCtrl);
                  FScreen.KeyDown(vk::F1);
                  FScreen.KeyDown(vk::F2);
              },
              [&] {
                  formsOpen = FApp->Forms().size();
                  const TPoint cross = frm_Nevjegy->PNGButton8->ClientToScreen({12, 12});
                  FScreen.Click(cross.X, cross.Y);
              }});
    FScreen.KeyDown(vk::F1);
    Pump();
    EXPECT_EQ(formsOpen, 2u) << "no settings dialog or second about window";
    EXPECT_TRUE(SameBoard(frm_Main->Game().Board(), whileOpen));
    EXPECT_EQ(frm_Nevjegy, nullptr);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Nyilak", "Kijelölés mozgatása"}, {"Enter, Szóköz", "Kattintás a kijelölt kavicsra"},
        {"Ctrl+N, F2", "Új játék"},        {"F1", "Névjegy"},
        {"Ctrl+S", "Beállítások"},         {"Esc", "Tálcára vele..."},
        {"Ctrl+R", "Újrajátszás"}};
    ASSERT_GE(lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[i].Keys, expected[i].first);
        EXPECT_EQ(lines[i].Text, expected[i].second);
    }

    // Ctrl+S: the settings dialog, whose own keys work (Esc is its cancel button).
    bool settingsOpen = false;
    WhenIdle({[&] {
        settingsOpen = frm_Beallit != nullptr;
        FScreen.KeyDown(vk::kEscape);
    }});
    FScreen.KeyDown('S', kSsCtrl);
    Pump();
    EXPECT_TRUE(settingsOpen);
    EXPECT_EQ(frm_Beallit, nullptr);
    EXPECT_FALSE(FScreen.AppMinimized()) << "Esc went to the dialog, not to the main window";
    EXPECT_TRUE(BoxTexts().empty());
}

// The windows that a game leads to close with keys, and the main window has the keys again after
// each: a keyboard player is never stuck.
TEST_F(KeyboardTest, StatisticsAndResultWindowsCloseByKeysAndGiveTheKeysBackToTheGame) {
    Start();
    int statisticsShown = 0;
    bool dialogOfMain = false;
    const auto closeByEsc = [&] {
        ++statisticsShown;
        const auto* window = static_cast<THeadlessWindow*>(frm_Statisztika->Window());
        dialogOfMain = window->Kind() == TWindowKind::Dialog && window->Owner() == MainWindow();
        FScreen.KeyDown(vk::kEscape);
    };
    WhenIdle({closeByEsc, closeByEsc});
    FScreen.KeyDown(vk::F3);
    Pump();
    EXPECT_EQ(frm_Statisztika, nullptr);
    FScreen.KeyDown(vk::F3); // the main window has the keys again
    Pump();
    EXPECT_EQ(statisticsShown, 2);
    EXPECT_TRUE(dialogOfMain);

    bool resultShown = false;
    WhenIdle({[&] {
        resultShown = frm_Eredmeny != nullptr;
        FScreen.KeyDown(vk::kReturn);
    }});
    frm_Main->ShowResult("Gratulálok!", "Már csak 1 kavics maradt.");
    EXPECT_TRUE(resultShown);
    EXPECT_EQ(frm_Eredmeny, nullptr);
    EXPECT_EQ(FApp->ActiveForm(), frm_Main);
    EXPECT_FALSE(FScreen.AppMinimized());
    EXPECT_TRUE(BoxTexts().empty());
}

void Key(THeadlessBackend& Screen, std::uint16_t K) {
    Screen.KeyDown(K);
}

TEST_F(KeyboardTest, FocusRingMovesOverThePebblesClicksWithEnterAndGoesAwayWithTheMouse) {
    Start();
    // Column 1: a blue pebble on two reds; column 2 only in rows 8 and 9; column 3 empty;
    // column 4 a yellow pair; column 5 four pebbles of no group. The rest stays empty.
    ShowPosition(MakeBoard([](int Col, int Row) -> std::int32_t {
        if (Col == 1)
            return Row >= 8 ? 1 : Row == 7 ? 3 : 0;
        if (Col == 2)
            return Row >= 8 ? 2 + Row % 2 : 0;
        if (Col == 5)
            return Row >= 6 ? 2 + Row % 2 : 0;
        return Col == 4 && Row >= 8 ? 4 : 0;
    }));
    const TBoardFocus& ring = frm_Main->Focus();
    auto at = [&] { return std::to_string(ring.Col()) + "," + std::to_string(ring.Row()); };
    EXPECT_FALSE(ring.Visible());
    Key(FScreen, vk::kReturn); // no ring yet: nothing is clicked
    Key(FScreen, vk::kRight);  // the first arrow only shows the ring
    Pump();
    ASSERT_TRUE(ring.Visible());
    EXPECT_EQ(at(), "1,9");
    EXPECT_EQ(VisibleCells(), 11);
    const TPoint corner = OnMain(HomeBox(1, 9).Left + 1, HomeBox(1, 9).Top + 1);
    EXPECT_EQ(FScreen.ScreenPixel(corner.X, corner.Y), 0xFFFFFFu) << "the ring is drawn";

    std::vector<std::string> path;
    for (std::uint16_t k : {vk::kUp, vk::kUp, vk::kUp, vk::kRight, vk::kRight, vk::kRight,
                            vk::kRight, vk::kDown, vk::kLeft, vk::kLeft, vk::kLeft}) {
        Key(FScreen, k);
        Pump();
        path.push_back(at());
    }
    // Up stops at the top pebble; right shows column 2's nearest pebble, skips column 3, and
    // comes back to the aimed row 7 in the taller column 5.
    EXPECT_EQ(path, (std::vector<std::string>{"1,8", "1,7", "1,7", "2,8", "4,8", "5,7", "5,7",
                                              "5,8", "4,8", "2,8", "1,8"}));
    Key(FScreen, vk::kDown);

    // Enter on the red pair: the blue pebble falls into row 9 and the ring, on the emptied
    // row 8, goes to the nearest pebble.
    Key(FScreen, vk::kUp);
    Key(FScreen, vk::kReturn);
    Pump();
    EXPECT_EQ(frm_Main->Game().Board().Colour(1, 9), 3);
    EXPECT_FALSE(frm_Main->Game().Board().IsFilled(1, 8));
    EXPECT_EQ(at(), "1,9");
    EXPECT_TRUE(ring.Visible());

    // Space clicks too: the yellow pair (in column 3 since the empty column closed) goes, and
    // the tall column closes up into its place.
    for (std::uint16_t k : {vk::kRight, vk::kRight, vk::kSpace})
        Key(FScreen, k);
    Pump();
    EXPECT_EQ(frm_Main->Game().Board().Colour(3, 9), 3);
    // An undo aims the ring back at the pair that the click removed.
    for (std::uint16_t k : {vk::kLeft, vk::kBack})
        Key(FScreen, k);
    Pump();
    EXPECT_EQ(frm_Main->Game().Board().Colour(3, 9), 4);
    EXPECT_EQ(at(), "3,8");

    // The context menu opens beside the ring.
    TPoint menuAt;
    WhenIdle({[&] {
        menuAt = {frm_Main->PopupMenu1->Window()->Left(), frm_Main->PopupMenu1->Window()->Top()};
        FScreen.KeyDown(vk::kEscape);
    }});
    FScreen.KeyDown(vk::F10, kSsShift);
    Pump();
    const TCellBox ringBox = HomeBox(3, 8);
    EXPECT_EQ(menuAt, OnMain(ringBox.Left + ringBox.Width, ringBox.Top));

    // The mouse puts the ring away, and a click on a pebble aims it there (even one that
    // removes nothing); the next arrow brings it back on that pebble.
    Move(OnMain(300, 470));
    EXPECT_FALSE(ring.Visible());
    EXPECT_NE(FScreen.ScreenPixel(corner.X, corner.Y), 0xFFFFFFu);
    ClickAt(CellCentre(4, 6));
    EXPECT_FALSE(ring.Visible());
    Key(FScreen, vk::kDown);
    Pump();
    EXPECT_TRUE(ring.Visible());
    EXPECT_EQ(at(), "4,6");
    EXPECT_TRUE(BoxTexts().empty());
}

} // namespace
} // namespace zorbalin::testing
