// Tooltips: the pause before one shows, where it shows, and what puts it away.
#include "toolkit/hint_window.h"
#include "toolkit_fixture.h"

namespace zorbalin {
namespace {

class HintTest : public ToolkitTest {
  protected:
    void SetUp() override {
        FWithHint = AddBox(FMain, "withHint", Bounds(10, 10, 40, 40), RGB(255, 0, 0));
        FWithHint->SetHint("Újrajátszás");
        FWithHint->ShowHint = true;
        FOther = AddBox(FMain, "other", Bounds(60, 10, 40, 40), RGB(0, 255, 0));
        FOther->SetHint("i1i1"); // follows the form, which shows no hints
        ShowMain();
    }
    // The pointer moves to a client point of the main form, handled at once.
    void Hover(int X, int Y) {
        Move(X, Y);
        FApp.ProcessMessages();
    }
    // After this many milliseconds of rest, whether a tooltip shows (and handles what is queued).
    bool ShownAfter(uint32_t Ms) {
        FScreen.AdvanceTime(Ms);
        FApp.ProcessMessages();
        return FApp.Hints().Shown();
    }
    THeadlessWindow* HintWindow() const {
        return static_cast<THeadlessWindow*>(FApp.Hints().Window()->Window());
    }

    TLoggingBox* FWithHint = nullptr;
    TLoggingBox* FOther = nullptr;
};

TEST_F(HintTest, ShowsAfterTheRestBelowThePointerWithoutTakingTheFocusAndGoesOnPressOrLeave) {
    Hover(20, 20);
    EXPECT_FALSE(ShownAfter(600));
    Hover(21, 20); // a move starts the pause again
    EXPECT_FALSE(ShownAfter(600));
    ASSERT_TRUE(ShownAfter(100));
    EXPECT_EQ(FApp.Hints().Window()->Text(), "Újrajátszás");
    const TPoint pointer = At(21, 20);
    EXPECT_EQ(HintWindow()->Position(), (TPoint{pointer.X, pointer.Y + 20}));
    EXPECT_EQ(HintWindow()->Kind(), TWindowKind::Tooltip);
    EXPECT_TRUE(FMain->Active());
    Hover(30, 30); // moving on the control keeps it
    EXPECT_TRUE(ShownAfter(10));

    // A press hides it, and the pressed control shows none again while the pointer stays.
    Press(30, 30);
    Release(30, 30);
    EXPECT_FALSE(ShownAfter(0));
    Hover(31, 30);
    EXPECT_FALSE(ShownAfter(1000));

    // Another control without a hint of its own, then back: the pause runs again.
    Hover(70, 20);
    EXPECT_FALSE(ShownAfter(1000)) << "the form's hints are off";
    Hover(20, 20);
    EXPECT_TRUE(ShownAfter(700));
    // Leaving the window puts it away.
    FScreen.MouseMove(5, 5);
    EXPECT_FALSE(ShownAfter(1000));
}

TEST_F(HintTest, KeptOnTheScreenAndShownByAModalLoopThatWaits) {
    // Near the bottom right corner of the screen: above the pointer, inside the right edge.
    FMain->SetBounds(1280 - 60, 1024 - 60, FMain->Width(), FMain->Height());
    Hover(20, 40);
    ASSERT_TRUE(ShownAfter(700));
    const TRect box = HintWindow()->OuterRect();
    EXPECT_LE(box.Right, 1280);
    EXPECT_EQ(box.Bottom, At(20, 40).Y - 4);

    // A loop waiting for input stops waiting when the pause is over.
    Hover(5, 5); // off the control: no tooltip
    Hover(21, 40);
    EXPECT_FALSE(FApp.Hints().Shown());
    bool shownWhileWaiting = false;
    FScreen.OnIdle = [&] {
        shownWhileWaiting = FApp.Hints().Shown();
        if (shownWhileWaiting)
            FScreen.KeyDown(vk::kEscape);
    };
    const uint32_t before = FScreen.Ticks();
    FApp.HandleMessage(); // waits out the pause
    FApp.HandleMessage(); // shows the tooltip, then takes the key
    EXPECT_TRUE(shownWhileWaiting);
    EXPECT_EQ(FScreen.Ticks() - before, 700u);
    EXPECT_FALSE(FApp.Hints().Shown()) << "a key puts it away";
}

} // namespace
} // namespace zorbalin
