// The main window as a whole program: start-up, its place on the screen, the
// settings file, dragging, minimising and closing.
#include "program_fixture.h"

#include "app/windows/Beallit.h"
#include "toolkit/image.h"

namespace zorbalin::testing {
namespace {

using MainWindowTest = ProgramTest;

TEST_F(MainWindowTest, FirstRunOpensAtTenTenWithFourColoursAndWritesTheSettingsAtClose) {
    Start();
    EXPECT_EQ(FScreen.AppTitle(), "ZorbaLin");
    ASSERT_NE(MainWindow(), nullptr);
    EXPECT_TRUE(MainWindow()->Visible());
    EXPECT_TRUE(MainWindow()->TaskbarEntry());
    EXPECT_FALSE(MainWindow()->Framed());
    EXPECT_EQ(MainWindow()->Position(), (TPoint{10, 10}));
    EXPECT_EQ(MainWindow()->ClientWidth(), 670);
    EXPECT_EQ(MainWindow()->ClientHeight(), 480);
    EXPECT_EQ(frm_Main->Game().ColourCount(), 4);
    EXPECT_EQ(VisibleCells(), 162);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_FALSE(FileExists(FPaths.IniPath)) << "nothing is written before the window closes";

    CloseByButton();
    EXPECT_TRUE(FApp->Terminated());
    const std::string text = SettingsText();
    const auto left = text.find("Left=10"), top = text.find("Top=10"), hard = text.find("Hard=4");
    ASSERT_NE(left, std::string::npos) << text;
    ASSERT_NE(top, std::string::npos) << text;
    ASSERT_NE(hard, std::string::npos) << text;
    EXPECT_LT(left, top);
    EXPECT_LT(top, hard);
    EXPECT_LT(text.find("[Screen]"), left);
    EXPECT_LT(top, text.find("[Game]"));
}

// The saved place is kept while a 100 x 50 part of the title strip (the top 63 rows, by which
// the window is dragged) lies on one monitor, however far from the primary one.
TEST_F(MainWindowTest, SavedPositionIsKeptWhileTheTitleStripCanBeReached) {
    FScreen.SetMonitors({{0, 0, 1280, 1024}, {-2560, 0, 0, 1440}});
    const std::vector<std::pair<TPoint, TPoint>> cases = {
        {{-2000, -2000}, {10, 10}},      // off every monitor
        {{-2000, 40}, {-2000, 40}},      // on the second monitor
        {{1180, -13}, {1180, -13}},      // exactly 100 x 50 of the strip on the screen
        {{1181, -13}, {10, 10}},         // 99 wide
        {{1180, -14}, {10, 10}},         // 49 high
        {{-670 + 50, 500}, {-620, 500}}, // across two monitors: 620 px on the left one
        {{-5000, 99999}, {10, 10}},
    };
    for (const auto& [saved, expected] : cases) {
        WriteSettingsFile(saved.X, saved.Y, 5);
        Start();
        EXPECT_EQ(MainWindow()->Position(), expected) << saved.X << "," << saved.Y;
        EXPECT_EQ(frm_Main->Game().ColourCount(), 5);
        FApp.reset();
    }
    // The default place is on the primary monitor, wherever that lies.
    FScreen.SetMonitors({{1920, 200, 3200, 1224}, {0, 0, 1920, 1080}});
    WriteSettingsFile(-5000, 10, 4);
    Start();
    EXPECT_EQ(MainWindow()->Position(), (TPoint{1930, 210}));
}

TEST_F(MainWindowTest, PortableSettingsFileBesideTheProgramIsReadAndWritten) {
    WriteFile(FTemp.Path() + "/program/ZorbaLin.ini",
              "[Screen]\nLeft=120\nTop=80\n[Game]\nHard=3\n");
    FPaths = ResolveSegedPaths(FTemp.Path() + "/program", FTemp.Path() + "/config");
    ASSERT_EQ(FPaths.IniPath, FTemp.Path() + "/program/ZorbaLin.ini");
    Start();
    EXPECT_EQ(MainWindow()->Position(), (TPoint{120, 80}));
    EXPECT_EQ(frm_Main->Game().ColourCount(), 3);
    frm_Main->SetLeft(130);
    CloseByButton();
    EXPECT_NE(ReadFile(FPaths.IniPath).find("Left=130"), std::string::npos);
    EXPECT_FALSE(FileExists(FTemp.Path() + "/config/ZorbaLin/ZorbaLin.ini"));
}

TEST_F(MainWindowTest, EmbeddedBackgroundIsDrawnBehindTheBoard) {
    Start();
    // The title strip belongs to the artwork: opaque dark red, never the form's grey.
    const std::uint32_t corner = MainWindow()->Pixel(5, 5);
    const int red = corner >> 16 & 0xFF, green = corner >> 8 & 0xFF, blue = corner & 0xFF;
    EXPECT_GT(red, green + 20) << std::hex << corner;
    EXPECT_GT(red, blue + 20) << std::hex << corner;
    // A cell shows its bitmap: the centre of a pebble differs from the background next to the
    // board.
    EXPECT_NE(MainWindow()->Pixel(37, 84), MainWindow()->Pixel(5, 84));
}

TEST_F(MainWindowTest, DragByTheLeftButtonFollowsTheCursorAndAnyReleaseEndsIt) {
    Start();
    const TPoint grip = OnMain(150, 30); // the title strip, left of the buttons
    Move({grip.X, grip.Y});
    Move({grip.X + 40, grip.Y + 25}); // no button held: nothing moves
    Pump();
    EXPECT_EQ(MainWindow()->Position(), (TPoint{10, 10}));

    Move({grip.X, grip.Y});
    Press({grip.X, grip.Y});
    Move({grip.X + 50, grip.Y + 30});
    EXPECT_TRUE(frm_Main->IsDragging());
    EXPECT_EQ(MainWindow()->Position(), (TPoint{60, 40}));
    // Far ahead of the window: the capture keeps the drag going.
    Move({grip.X + 700, grip.Y + 600});
    EXPECT_EQ(MainWindow()->Position(), (TPoint{710, 610}));

    Release({grip.X + 700, grip.Y + 600}, TMouseButton::mbRight);
    EXPECT_FALSE(frm_Main->IsDragging());
    Move({grip.X + 720, grip.Y + 620});
    EXPECT_EQ(MainWindow()->Position(), (TPoint{710, 610}));
    Release({grip.X + 720, grip.Y + 620});
}

TEST_F(MainWindowTest, DragStopsWhereTheTitleBandWouldLeaveEveryMonitor) {
    FScreen.SetMonitors({{0, 0, 1280, 1024}, {1280, 200, 2560, 1224}});
    Start();
    const TPoint grip = OnMain(150, 30);
    Move(grip);
    Press(grip);
    Move({grip.X - 201, grip.Y - 50}); // above the screen's top
    EXPECT_EQ(MainWindow()->Position(), (TPoint{-191, 0}));
    Move({grip.X + 2000, grip.Y + 100}); // above the lower right-hand monitor's top
    EXPECT_EQ(MainWindow()->Position(), (TPoint{2010, 200}));
    Move({grip.X + 1500, grip.Y + 1300}); // below it: the band stays on its last 50 rows
    EXPECT_EQ(MainWindow()->Position(), (TPoint{1510, 1174}));
    Move({grip.X - 900, grip.Y + 100}); // 100 px of the band stay on the left
    EXPECT_EQ(MainWindow()->Position(), (TPoint{-570, 110}));
    Release({grip.X - 900, grip.Y + 100});
}

TEST_F(MainWindowTest, RightButtonDoesNotStartADrag) {
    Start();
    const TPoint grip = OnMain(150, 30);
    WhenIdle({[&] { FScreen.KeyDown(vk::kEscape); }}); // the release opens the context menu
    Press({grip.X, grip.Y}, TMouseButton::mbRight);
    Move({grip.X + 30, grip.Y + 30});
    Release({grip.X + 30, grip.Y + 30}, TMouseButton::mbRight);
    EXPECT_EQ(MainWindow()->Position(), (TPoint{10, 10}));
}

TEST_F(MainWindowTest, CloseAfterADragWritesTheNewPositionAndTheNextStartUsesIt) {
    Start();
    const TPoint grip = OnMain(150, 30);
    Press({grip.X, grip.Y});
    Move({grip.X + 100, grip.Y + 50});
    Release({grip.X + 100, grip.Y + 50});
    ASSERT_EQ(MainWindow()->Position(), (TPoint{110, 60}));
    CloseByButton();
    EXPECT_NE(SettingsText().find("Left=110"), std::string::npos) << SettingsText();
    EXPECT_NE(SettingsText().find("Top=60"), std::string::npos) << SettingsText();

    FApp.reset();
    Start();
    EXPECT_EQ(MainWindow()->Position(), (TPoint{110, 60}));
}

TEST_F(MainWindowTest, WindowSystemCloseRequestWritesTheSettingsToo) {
    Start();
    frm_Main->SetLeft(33);
    FScreen.RequestClose(MainWindow());
    Pump();
    EXPECT_TRUE(FApp->Terminated());
    EXPECT_NE(SettingsText().find("Left=33"), std::string::npos);
}

TEST_F(MainWindowTest, UnwritableSettingsFileKeepsTheWindowOpenWithTheExactMessage) {
    // The settings folder's place is taken by a plain file, so no write can succeed
    // (a read-only mode would not stop a test run as root).
    WriteFile(FTemp.Path() + "/blocked", "not a folder");
    FPaths.DataDir = FTemp.Path() + "/blocked/ZorbaLin";
    FPaths.IniPath = FPaths.DataDir + "/ZorbaLin.ini";
    Start();
    CloseByButton();
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0], "Unable to write to " + FPaths.IniPath + ".");
    EXPECT_EQ(FScreen.MessageBoxes()[0].Title, "ZorbaLin");
    EXPECT_FALSE(FApp->Terminated());
    EXPECT_TRUE(MainWindow()->Visible());
    // The next request still tries, but closes whatever comes of it: the player is told
    // once and never kept in a window that cannot be closed.
    FScreen.AdvanceTime(1000); // not a double click
    CloseByButton();
    EXPECT_EQ(BoxTexts().size(), 1u);
    EXPECT_TRUE(FApp->Terminated());
}

// The session ends (or a signal tells the program to end): one save attempt, no box, and the
// program ends even from inside a dialog.
TEST_F(MainWindowTest, SessionEndSavesOnceWithoutABoxEvenFromADialog) {
    WriteSettingsFile(10, 10, 5);
    Start();
    frm_Main->SetLeft(200);
    WhenIdle({[&] { FScreen.EndSession(); }});
    ClickAt(OnMain(450, 30)); // the settings dialog, which is open when the session ends
    EXPECT_TRUE(FApp->Terminated());
    EXPECT_EQ(frm_Beallit, nullptr);
    EXPECT_NE(SettingsText().find("Left=200"), std::string::npos) << SettingsText();
    FApp.reset();

    WriteFile(FTemp.Path() + "/blocked", "not a folder");
    FPaths.IniPath = FTemp.Path() + "/blocked/ZorbaLin.ini";
    Start();
    ::testing::internal::CaptureStderr();
    FScreen.EndSession();
    Pump();
    const std::string logged = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(FApp->Terminated());
    EXPECT_NE(logged.find("Unable to write to " + FPaths.IniPath + "."), std::string::npos)
        << logged;
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(MainWindowTest, EscMinimisesOnlyWhileTheMainWindowIsActive) {
    Start();
    FScreen.KeyDown(vk::kEscape);
    Pump();
    EXPECT_TRUE(FScreen.AppMinimized());
    FScreen.RestoreFromTaskbar();
    Pump();
    EXPECT_FALSE(FScreen.AppMinimized());
    EXPECT_EQ(MainWindow()->Position(), (TPoint{10, 10}));

    // Esc in the settings dialog is its cancel button, not a minimise.
    bool dialogOpen = false;
    WhenIdle({[&] {
        dialogOpen = frm_Beallit != nullptr;
        FScreen.KeyDown(vk::kEscape);
    }});
    frm_Main->aBeallitExecute(nullptr);
    EXPECT_TRUE(dialogOpen);
    EXPECT_FALSE(FScreen.AppMinimized());
}

TEST_F(MainWindowTest, MinimiseButtonMinimisesTheProgram) {
    Start();
    const TPoint button = OnMain(620, 24);
    ClickAt({button.X, button.Y});
    EXPECT_TRUE(FScreen.AppMinimized());
}

TEST_F(MainWindowTest, BrokenBackgroundFileIsReportedAndTheGameStillStarts) {
    WriteFile(FTemp.Path() + "/program/Ico/hatter.bmp", "BM this is no bitmap");
    Start();
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0], "Bitmap image is not valid.");
    EXPECT_EQ(VisibleCells(), 162);
    EXPECT_EQ(frm_Main->Image1->Picture()->Graphic()->Width(), 670); // the embedded one stays
}

TEST_F(MainWindowTest, LargeBackgroundFileIsScaledToTheWindow) {
    WriteSolidBitmap(FTemp.Path() + "/program/Ico/hatter.bmp", 800, 600, 0x204080);
    Start();
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(MainWindow()->Pixel(0, 0), 0x204080u);
    EXPECT_EQ(MainWindow()->Pixel(669, 479), 0x204080u);
    EXPECT_EQ(MainWindow()->Pixel(300, 5), 0x204080u);
}

} // namespace
} // namespace zorbalin::testing
