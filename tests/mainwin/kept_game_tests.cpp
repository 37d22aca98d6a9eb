// The game kept across a restart (Resume=1) and the undone new deal, on the whole program on the
// headless screen. A restart here drops the program without closing it, as a kill would: the game
// must already be on the disk.
#include "program_fixture.h"

#include "app/settings/kept_game.h"
#include "app/settings/stats.h"
#include "app/windows/Eredmeny.h"
#include "imaging/pngbutton.h"

namespace zorbalin::testing {
namespace {

class KeptGameTest : public ProgramTest {
  protected:
    void WriteSettings(const std::string& Text) {
        std::filesystem::create_directories(FPaths.DataDir);
        WriteFile(FPaths.IniPath, Text);
    }
    void Restart() {
        FApp.reset();
        Start();
    }
    // The next result window is closed as soon as it shows.
    void CloseNextResult() {
        WhenIdle({[&] {
            TPoint p = frm_Eredmeny->PNGButton8->ClientToScreen({5, 5});
            FScreen.Click(p.X, p.Y);
        }});
    }
    std::array<std::string, kRowCount> Rows() const {
        std::array<std::string, kRowCount> rows;
        for (int row = 1; row <= kRowCount; ++row)
            for (int col = 1; col <= kColumnCount; ++col)
                rows[row - 1] += static_cast<char>('0' + frm_Main->Game().Board().Colour(col, row));
        return rows;
    }
    int Finished() const { return ReadStats(FPaths.IniPath).For(3).Finished; }
};

// A full deal of colours 1 and 2 in a checker pattern with three pairs of colour 3 at the bottom
// of columns 1, 3 and 5: three clicks, and the game ends with no pair left.
TBoard ThreePairs() {
    TBoard board;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            board.At(col, row).Colour = 1 + (col + row) % 2;
    for (int col : {1, 3, 5})
        board.At(col, 9).Colour = board.At(col, 8).Colour = 3;
    return board;
}

TEST_F(KeptGameTest, ComesBackWithUndoRedoAndReplayAfterTheMenuTurnedItOn) {
    WriteSettings("[Screen]\nLeft=30\n[Game]\nHard=3\n");
    Start();
    ShowPosition(ThreePairs());
    ClickAt(CellCentre(1, 9));
    ClickAt(CellCentre(3, 9));
    frm_Main->aVisszavon->Execute();
    EXPECT_FALSE(ReadKeptGame(FPaths.IniPath)); // not asked for yet

    frm_Main->PopupMenu1Popup(nullptr);
    EXPECT_FALSE(frm_Main->FolytatasItem->Checked);
    frm_Main->FolytatasItem->OnClick(nullptr);
    frm_Main->PopupMenu1Popup(nullptr);
    EXPECT_TRUE(frm_Main->FolytatasItem->Checked);
    EXPECT_NE(SettingsText().find("Resume=1"), std::string::npos);
    const auto rows = Rows();

    Restart();
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(VisibleCells(), kCellCount - 2);
    EXPECT_EQ(frm_Main->Game().DealColourCount(), 3);
    frm_Main->aMegis->Execute();
    EXPECT_EQ(VisibleCells(), kCellCount - 4);
    frm_Main->aVisszavon->Execute();
    frm_Main->aVisszavon->Execute();
    EXPECT_FALSE(frm_Main->Game().CanUndo());
    EXPECT_EQ(VisibleCells(), kCellCount);
    ClickAt(CellCentre(5, 9)); // another line of play, kept over the redo steps
    frm_Main->PNGButton2Click(nullptr);
    const TPlayedGame kept = ReadKeptGame(FPaths.IniPath)->Game;
    EXPECT_EQ(kept.Played, 0u);
    EXPECT_TRUE(kept.Clicks.empty());

    // Turned off, a start deals anew and nothing of the game is left in the file.
    frm_Main->FolytatasItem->OnClick(nullptr);
    EXPECT_FALSE(ReadKeptGame(FPaths.IniPath));
    Restart();
    EXPECT_NE(Rows(), rows);
    EXPECT_NE(SettingsText().find("Left=30"), std::string::npos);
}

TEST_F(KeptGameTest, AGameCountsOnceWhetherItEndsBeforeOrAfterARestart) {
    WriteSettings("[Game]\nHard=3\nResume=1\n");
    Start();
    ShowPosition(ThreePairs());
    ClickAt(CellCentre(1, 9));
    ClickAt(CellCentre(3, 9));
    Restart();
    CloseNextResult();
    ClickAt(CellCentre(5, 9));
    EXPECT_EQ(Finished(), 1);
    EXPECT_TRUE(ReadKeptGame(FPaths.IniPath)->Counted);

    // The finished game comes back finished; ending it again counts nothing.
    Restart();
    EXPECT_FALSE(frm_Main->Game().HasMovesLeft());
    CloseNextResult();
    ClickAt(CellCentre(2, 9));
    frm_Main->aVisszavon->Execute();
    CloseNextResult();
    ClickAt(CellCentre(5, 9));
    EXPECT_EQ(Finished(), 1);

    // A new deal undone brings back the counted game with its history, still counted.
    frm_Main->aUj->Execute();
    EXPECT_EQ(VisibleCells(), kCellCount);
    frm_Main->aVisszavon->Execute();
    EXPECT_FALSE(frm_Main->Game().HasMovesLeft());
    EXPECT_TRUE(ReadKeptGame(FPaths.IniPath)->Counted);
    frm_Main->aVisszavon->Execute();
    CloseNextResult();
    ClickAt(CellCentre(5, 9));
    EXPECT_EQ(Finished(), 1);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(KeptGameTest, AnUnusableKeptGameIsDroppedSilentlyForANewDeal) {
    const std::string start(kCellCount, '1');
    const auto kept = [&](const std::string& Lines) {
        return "[Screen]\nLeft=40\n[Game]\nHard=3\nResume=1\n[KeptGame]\n" + Lines +
               "\n[Stats]\nFinished3=7\n";
    };
    std::string tooMany = "1.1";
    for (std::size_t click = 0; click < kMostKeptClicks; ++click)
        tooMany += ",1.1";
    const std::string good = "Format=1\nDeal=5\nColours=3\nPlayed=0\nCounted=0\n";
    const std::vector<std::string> unusable = {
        good + "Start=" + start.substr(1) + "\nClicks=", // damaged: a cell short
        good + "Start=" + start + "\nClicks=1.1,1.1",    // clicks that do not replay
        "Format=2\nDeal=5\nColours=3\nPlayed=0\nCounted=0\nStart=" + start + "\nClicks=",
        "Format=1\nDeal=5\nColours=6\nPlayed=0\nCounted=0\nStart=" + start + "\nClicks=",
        good + "Start=" + start + "\nClicks=" + tooMany,
        good + "Start=" + start + "\nClicks=19.1"};
    // One game that does play back, to show the others fail for their fault alone.
    WriteSettings(
        kept("Format=1\nDeal=5\nColours=3\nPlayed=1\nCounted=0\nStart=" + start + "\nClicks=1.1"));
    Start();
    EXPECT_EQ(VisibleCells(), 0); // a board of one colour: the click took every pebble
    for (const std::string& lines : unusable) {
        WriteSettings(kept(lines));
        Restart();
        EXPECT_EQ(VisibleCells(), kCellCount) << lines;
        EXPECT_TRUE(BoxTexts().empty());
        const std::string text = SettingsText();
        EXPECT_NE(text.find("Left=40"), std::string::npos);
        EXPECT_NE(text.find("Finished3=7"), std::string::npos);
        // The new deal is kept in its place.
        std::optional<TKeptGame> now = ReadKeptGame(FPaths.IniPath);
        ASSERT_TRUE(now) << text;
        EXPECT_EQ(now->Game.Number, frm_Main->Game().DealNumber());
    }
}

} // namespace
} // namespace zorbalin::testing
