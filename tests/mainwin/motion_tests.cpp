// The motion of a click on the whole program on the headless screen: what it plays, how it ends,
// and the switch that turns it off.
#include "program_fixture.h"

#include "app/settings/settings.h"
#include "app/windows/Eredmeny.h"
#include "imaging/pngbutton.h"

#include <filesystem>
#include <set>
#include <tuple>

namespace zorbalin::testing {
namespace {

namespace fs = std::filesystem;

// Two colours in a checker pattern, with a group of colour 1: columns 3 to 5 whole, row 9 of
// columns 6 and 7, and rows 7 to 9 of column 7. A click on it drops column 6 one row and
// column 7 three rows, and closes three columns.
TBoard FallAndCloseBoard() {
    TBoard board;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row) {
            const bool group = (col >= 3 && col <= 5) || (row == 9 && col >= 6 && col <= 7) ||
                               (col == 7 && row >= 7);
            board.At(col, row).Colour = group ? 1 : 2 + (col + row) % 2;
        }
    // A pair of their own for a second click: it ends up at columns 7 and 8 of row 1.
    board.At(10, 1).Colour = board.At(11, 1).Colour = 4;
    return board;
}

void ClickCentre(THeadlessBackend& Screen, const TControl& Control) {
    const TPoint p = Control.ClientToScreen({Control.Width() / 2, Control.Height() / 2});
    Screen.Click(p.X, p.Y);
}

class MotionTest : public ProgramTest {
  protected:
    MotionTest() { FKeepMotion = true; }

    std::vector<std::uint32_t> WindowPixels() const {
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < MainWindow()->PixelHeight(); ++y)
            for (int x = 0; x < MainWindow()->PixelWidth(); ++x)
                pixels.push_back(MainWindow()->Pixel(x, y));
        return pixels;
    }
};

using TMoveTuple = std::tuple<int, int, int, int>;

TEST_F(MotionTest, PlanFollowsEveryPebbleThroughItsDropsAndColumnShifts) {
    Start();
    ASSERT_TRUE(frm_Main->MotionOn());
    const TBoard before = FallAndCloseBoard();
    ShowPosition(before);
    ClickAt(CellCentre(4, 5));
    ASSERT_TRUE(frm_Main->Motion().Running());

    // Worked out by hand: column 6 falls one row and column 7 three, then every column right of
    // the group comes three places left.
    std::set<TMoveTuple> expected;
    for (int col = 6; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row) {
            if (before.Colour(col, row) == 1)
                continue;
            const int fall = col == 6 ? 1 : col == 7 ? 3 : 0;
            expected.insert({col, row, col - 3, row + fall});
        }
    std::set<TMoveTuple> planned;
    const TBoard& after = frm_Main->Game().Board();
    for (const TPebbleMove& move : frm_Main->Motion().Moves()) {
        planned.insert({move.FromCol, move.FromRow, move.ToCol, move.ToRow});
        EXPECT_EQ(before.Colour(move.FromCol, move.FromRow), after.Colour(move.ToCol, move.ToRow));
    }
    EXPECT_EQ(planned, expected);
    EXPECT_EQ(frm_Main->Motion().Times().Fall, kFallTime);
    EXPECT_EQ(frm_Main->Motion().Times().Slide, kSlideTime);
}

TEST_F(MotionTest, TheLastFrameIsTheBoardDrawnWithoutMotionAtEveryScale) {
    for (int scale : {1, 4}) {
        SCOPED_TRACE(scale);
        // The user's factor: the desktop's would be lowered to fit the screen.
        const TScopedEnv chosen("ZORBALIN_SCALE", std::to_string(scale));
        Start();
        ASSERT_EQ(MainWindow()->Scale(), scale);
        frm_Main->SetMotion(false);
        ShowPosition(FallAndCloseBoard());
        ClickAt(CellCentre(4, 5));
        const std::vector<std::uint32_t> atOnce = WindowPixels();

        frm_Main->SetMotion(true);
        ShowPosition(FallAndCloseBoard());
        FScreen.AdvanceTime(1000); // not a double click
        ClickAt(CellCentre(4, 5));
        // The first frame: the pebble bound for (3, 9) is still at (6, 8).
        EXPECT_EQ(Cell(3, 9)->Left(), HomeBox(6, 8).Left);
        EXPECT_EQ(Cell(3, 9)->Top(), HomeBox(6, 8).Top);
        EXPECT_NE(WindowPixels(), atOnce);
        SettleMotion();
        Pump();
        EXPECT_EQ(WindowPixels(), atOnce);
        FApp.reset();
    }
}

TEST_F(MotionTest, APressDuringTheMotionEndsItAndIsHandled) {
    Start();
    ShowPosition(FallAndCloseBoard());
    ClickAt(CellCentre(4, 5));
    ASSERT_TRUE(frm_Main->Motion().Running());
    FScreen.AdvanceTime(50);
    Pump();

    ClickAt(CellCentre(7, 1)); // the pair of colour 4, where it has landed
    EXPECT_FALSE(frm_Main->Motion().Running());
    EXPECT_EQ(frm_Main->Game().Board().Colour(7, 1), 0);
    EXPECT_EQ(frm_Main->Game().Board().Colour(8, 1), 0);
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row) {
            ASSERT_EQ(Cell(col, row)->Left(), HomeBox(col, row).Left);
            ASSERT_EQ(Cell(col, row)->Top(), HomeBox(col, row).Top);
        }
}

TEST_F(MotionTest, TheResultWindowOpensOnceTheLastBoardIsShown) {
    Start();
    // A pair at the bottom of column 1 in the checker: its removal drops the column two rows
    // and leaves no move.
    TBoard board = MakeBoard([](int Col, int Row) { return 2 + (Col + Row) % 2; });
    board.At(1, 8).Colour = board.At(1, 9).Colour = 1;
    ShowPosition(board);
    ClickAt(CellCentre(1, 9));
    EXPECT_EQ(frm_Eredmeny, nullptr);
    ASSERT_TRUE(frm_Main->Motion().Running());

    // The result window's loop waits for the player.
    bool homeWhenShown = false;
    const auto closeResult = [&] {
        if (!frm_Eredmeny)
            return;
        homeWhenShown = Cell(1, 9)->Top() == HomeBox(1, 9).Top;
        ClickCentre(FScreen, *frm_Eredmeny->PNGButton8);
    };
    WhenIdle(std::vector<std::function<void()>>(100, closeResult));
    SettleMotion();
    EXPECT_TRUE(homeWhenShown);
    EXPECT_EQ(frm_Eredmeny, nullptr);
}

TEST(MotionSwitch, TheFileDecidesWhenItSaysAndTheDesktopOtherwise) {
    EXPECT_TRUE(MotionWanted(1, false));
    EXPECT_FALSE(MotionWanted(0, true));
    EXPECT_TRUE(MotionWanted(-1, true));
    EXPECT_FALSE(MotionWanted(-1, false));
}

TEST_F(MotionTest, TheMenuSwitchesTheMotionAndKeepsItInTheFile) {
    FScreen.DesktopAnimationsOn = false;
    fs::create_directories(FPaths.DataDir);
    WriteFile(FPaths.IniPath, "[Screen]\nAnimation=1\n");
    Start();
    EXPECT_TRUE(frm_Main->MotionOn());

    frm_Main->AnimationItemClick(nullptr);
    EXPECT_FALSE(frm_Main->MotionOn());
    EXPECT_EQ(ReadSettings(FPaths.IniPath).Animation, 0);
    ShowPosition(FallAndCloseBoard());
    ClickAt(CellCentre(4, 5));
    EXPECT_FALSE(frm_Main->Motion().Running());
}

TEST(MotionOffset, AFallSpeedsUpAndASlideSlowsDownEachInItsOwnPhase) {
    const TPebbleMove move{6, 1, 3, 4}; // three rows down, three columns left
    const TMotionTimes times{kFallTime, kSlideTime};
    const int fall = HomeBox(6, 4).Top - HomeBox(6, 1).Top;
    const int slide = HomeBox(6, 4).Left - HomeBox(3, 4).Left;
    const TPoint start = MotionOffset(move, times, 0);
    EXPECT_EQ(start.X, slide);
    EXPECT_EQ(start.Y, -fall);
    // Half the fall's time covers a quarter of its way; the columns wait for its end.
    const TPoint halfFall = MotionOffset(move, times, kFallTime / 2);
    EXPECT_EQ(halfFall.X, slide);
    EXPECT_EQ(halfFall.Y, -fall + fall / 4);
    const TPoint halfSlide = MotionOffset(move, times, kFallTime + kSlideTime / 2);
    EXPECT_EQ(halfSlide.Y, 0);
    EXPECT_EQ(halfSlide.X, slide / 4);
    EXPECT_EQ(MotionOffset(move, times, times.Total()).X, 0);
}

} // namespace
} // namespace zorbalin::testing
