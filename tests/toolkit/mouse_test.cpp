// The mouse rules: click, capture, double clicks, enter and leave, hit testing by z-order.
#include "toolkit_fixture.h"

namespace zorbalin {
namespace {

using TLog = std::vector<std::string>;

class MouseTest : public ToolkitTest {
  protected:
    void SetUp() override {
        FA = AddBox(FMain, "a", Bounds(10, 10, 40, 40), RGB(255, 0, 0));
        ShowMain();
        FLog.clear();
    }
    TLoggingBox* FA = nullptr;
};

TEST_F(MouseTest, LeftReleaseInsideClicksBeforeTheReleaseIsReported) {
    Press(20, 20);
    Release(25, 30);
    FApp.ProcessMessages();
    EXPECT_EQ(FLog, (TLog{"a:enter", "a:downL(10,10)", "a:click", "a:upL(15,20)"}));
}

TEST_F(MouseTest, ReleaseOutsideGivesNoClickAndTheCaptureFollowsTheMouseOutOfTheWindow) {
    Press(20, 20);
    Move(-30, 400); // beyond the form's left and bottom edges, on the desktop
    Release(-30, 400);
    FApp.ProcessMessages();
    EXPECT_EQ(FLog,
              (TLog{"a:enter", "a:downL(10,10)", "a:leave", "a:move(-40,390)", "a:upL(-40,390)"}));
    // The capture has ended: a later move outside the control reaches the form, not the control.
    FLog.clear();
    Move(200, 150);
    FApp.ProcessMessages();
    EXPECT_TRUE(FLog.empty());
}

TEST_F(MouseTest, RightButtonNeitherCapturesNorClicks) {
    Press(20, 20, TMouseButton::mbRight);
    Release(20, 20, TMouseButton::mbRight);
    FApp.ProcessMessages();
    EXPECT_EQ(FLog, (TLog{"a:enter", "a:downR(10,10)", "a:upR(10,10)"}));
    EXPECT_EQ(FMain->CaptureControl(), nullptr);
}

TEST_F(MouseTest, ReleasingTheRightButtonDuringALeftPressReachesTheCapturingControl) {
    auto* b = AddBox(FMain, "b", Bounds(100, 100, 20, 20), RGB(0, 255, 0));
    (void)b;
    Press(20, 20);
    Press(110, 110, TMouseButton::mbRight);
    Release(110, 110, TMouseButton::mbRight);
    Release(110, 110);
    FApp.ProcessMessages();
    EXPECT_EQ(FLog, (TLog{"a:enter", "a:downL(10,10)", "a:leave", "b:enter", "a:downR(100,100)",
                          "a:upR(100,100)", "a:upL(100,100)"}));
}

TEST_F(MouseTest, SecondPressWithinTimeAndBoxIsADoubleClickWithoutASecondClick) {
    ClickAt(20, 20);
    FScreen.AdvanceTime(500);
    Press(22, 18); // 2 pixels away each way: still inside the 4 x 4 box
    Release(22, 18);
    FApp.ProcessMessages();
    EXPECT_EQ(FLog, (TLog{"a:enter", "a:downL(10,10)", "a:click", "a:upL(10,10)", "a:dblclick",
                          "a:downL(12,8)", "a:upL(12,8)"}));
}

TEST_F(MouseTest, DoubleClickLandingOnAnotherControlStillGivesItNoClick) {
    auto* b = AddBox(FMain, "b", Bounds(50, 10, 40, 40), RGB(0, 255, 0));
    (void)b;
    ClickAt(49, 20);
    ClickAt(51, 20);
    FApp.ProcessMessages();
    EXPECT_EQ(FLog, (TLog{"a:enter", "a:downL(39,10)", "a:click", "a:upL(39,10)", "a:leave",
                          "b:enter", "b:dblclick", "b:downL(1,10)", "b:upL(1,10)"}));
}

TEST_F(MouseTest, PressesTooLateTooFarOrAfterADoubleClickAreSinglePresses) {
    ClickAt(20, 20);
    FScreen.AdvanceTime(501);
    ClickAt(20, 20); // too late
    FScreen.AdvanceTime(100);
    ClickAt(23, 20); // 3 pixels away: outside the box
    FScreen.AdvanceTime(100);
    ClickAt(23, 20); // double click with the previous press
    ClickAt(23, 20); // a third quick press starts afresh
    FApp.ProcessMessages();
    int clicks = 0, doubles = 0;
    for (const std::string& e : FLog) {
        clicks += e == "a:click";
        doubles += e == "a:dblclick";
    }
    EXPECT_EQ(clicks, 4);
    EXPECT_EQ(doubles, 1);
}

TEST_F(MouseTest, FrontControlTakesThePressAndHiddenOrDisabledOnesLetItThrough) {
    auto* front = AddBox(FMain, "front", Bounds(20, 20, 40, 40), RGB(0, 0, 255));
    ClickAt(30, 30);
    FApp.ProcessMessages();
    front->Hide();
    ClickAt(31, 30);
    FApp.ProcessMessages();
    front->Show();
    front->SetEnabled(false);
    FScreen.AdvanceTime(1000);
    ClickAt(30, 30);
    FApp.ProcessMessages();
    TLog clicks;
    for (const std::string& e : FLog)
        if (e.find(":click") != std::string::npos || e.find(":dbl") != std::string::npos)
            clicks.push_back(e);
    EXPECT_EQ(clicks, (TLog{"front:click", "a:dblclick", "a:click"}));
}

TEST_F(MouseTest, PressOnTheBackgroundReachesTheForm) {
    std::vector<std::string> formLog;
    FMain->OnMouseDown = [&](TObject* S, TMouseButton, TShiftState, int X, int Y) {
        formLog.push_back((S == FMain ? "form(" : "?(") + std::to_string(X) + "," +
                          std::to_string(Y) + ")");
    };
    FMain->OnClick = [&](TObject*) { formLog.push_back("form:click"); };
    ClickAt(200, 150);
    FApp.ProcessMessages();
    EXPECT_EQ(formLog, (TLog{"form(200,150)", "form:click"}));
    EXPECT_TRUE(FLog.empty());
}

TEST_F(MouseTest, PointerLeavingTheWindowLeavesTheControl) {
    Move(20, 20);
    Move(30, 30);
    Move(500, 500); // off the window
    FApp.ProcessMessages();
    EXPECT_EQ(FLog, (TLog{"a:enter", "a:move(10,10)", "a:move(20,20)", "a:leave"}));
}

TEST_F(MouseTest, CursorPositionIsInScreenCoordinates) {
    Move(5, 7);
    EXPECT_EQ(GetCursorPos(), (TPoint{105, 57}));
}

} // namespace
} // namespace zorbalin
