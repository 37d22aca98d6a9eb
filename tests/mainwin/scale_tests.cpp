// The main window on a dense screen: every window enlarged by the scale, the pointer mapped back,
// the window's place kept in screen pixels.
#include "program_fixture.h"

#include <cstdlib>

namespace zorbalin::testing {
namespace {

class ScaleTest : public ProgramTest {
  protected:
    ~ScaleTest() override { unsetenv("ZORBALIN_SCALE"); }
    void WriteSettings(const std::string& Screen) {
        std::filesystem::create_directories(FPaths.DataDir);
        WriteFile(FPaths.IniPath, "[Screen]\n" + Screen + "\n[Game]\nHard=4\n");
    }
};

TEST_F(ScaleTest, ScaleTwoFromTheSettingsDoublesTheWindowAtItsSavedPlaceAndClicksHitThePebbles) {
    WriteSettings("Left=30\nTop=20\nScale=2");
    Start();
    EXPECT_EQ(MainWindow()->OuterRect(), Bounds(30, 20, 1340, 960));
    EXPECT_EQ(MainWindow()->ClientWidth(), 670);
    ShowPosition(MakeBoard([](int Col, int) { return 1 + Col % 3; }));
    // The middle of cell (4, 5) on the screen: twice its logical position from the window's corner.
    const TCellBox box = HomeBox(4, 5);
    FScreen.Click(30 + 2 * (box.Left + box.Width / 2), 20 + 2 * (box.Top + box.Height / 2));
    Pump();
    for (int row = 1; row <= kRowCount; ++row)
        ASSERT_EQ(frm_Main->Game().Board().Colour(4, row), 1 + 5 % 3) << "column 4 is gone";
    EXPECT_EQ(VisibleCells(), (kColumnCount - 1) * kRowCount);

    // Dragging by the background moves the window by the pointer's screen distance.
    Press({30 + 2 * 150, 20 + 2 * 30});
    Move({30 + 2 * 150 + 7, 20 + 2 * 30 + 5});
    Release({30 + 2 * 150 + 7, 20 + 2 * 30 + 5});
    EXPECT_EQ(MainWindow()->Position(), (TPoint{37, 25}));
    CloseByButton();
    ASSERT_TRUE(FApp->Terminated()) << "the close button, found at its scaled place";
    const std::string text = SettingsText();
    EXPECT_NE(text.find("Left=37"), std::string::npos) << text;
    EXPECT_NE(text.find("Scale=2"), std::string::npos) << "the user's key stays: " << text;
}

TEST_F(ScaleTest, TheEnvironmentBeatsTheSettingsFileWhichBeatsTheDesktop) {
    WriteSettings("Scale=2");
    FScreen.DesktopScaleFactor = 4;
    setenv("ZORBALIN_SCALE", "3", 1);
    Start();
    EXPECT_EQ(MainWindow()->PixelWidth(), 3 * 670);
    EXPECT_NE(SettingsText().find("Scale=2"), std::string::npos);
}

TEST_F(ScaleTest, TheDesktopsFactorIsLoweredUntilTheWindowFitsTheScreen) {
    FScreen.DesktopScaleFactor = 4;
    Start();
    EXPECT_EQ(MainWindow()->PixelWidth(), 670) << "twice 670 is wider than the 1280 of the screen";
}

} // namespace
} // namespace zorbalin::testing
