// The mouse rules: click, capture, double clicks, enter and leave, hit testing by z-order.
#include "toolkit_fixture.h"

namespace zorbalin {
namespace {

using Log = std::vector<std::string>;

class MouseTest : public ToolkitTest {
  protected:
    void SetUp() override {
        a = AddBox(main, "a", Bounds(10, 10, 40, 40), RGB(255, 0, 0));
        ShowMain();
        log.clear();
    }
    TLoggingBox* a = nullptr;
};

TEST_F(MouseTest, LeftReleaseInsideClicksBeforeTheReleaseIsReported) {
    Press(20, 20);
    Release(25, 30);
    app.ProcessMessages();
    EXPECT_EQ(log, (Log{"a:enter", "a:downL(10,10)", "a:click", "a:upL(15,20)"}));
}

TEST_F(MouseTest, ReleaseOutsideGivesNoClickAndTheCaptureFollowsTheMouseOutOfTheWindow) {
    Press(20, 20);
    Move(-30, 400); // beyond the form's left and bottom edges, on the desktop
    Release(-30, 400);
    app.ProcessMessages();
    EXPECT_EQ(log,
              (Log{"a:enter", "a:downL(10,10)", "a:leave", "a:move(-40,390)", "a:upL(-40,390)"}));
    // The capture has ended: a later move outside the control reaches the form, not the control.
    log.clear();
    Move(200, 150);
    app.ProcessMessages();
    EXPECT_TRUE(log.empty());
}

TEST_F(MouseTest, RightButtonNeitherCapturesNorClicks) {
    Press(20, 20, TMouseButton::mbRight);
    Release(20, 20, TMouseButton::mbRight);
    app.ProcessMessages();
    EXPECT_EQ(log, (Log{"a:enter", "a:downR(10,10)", "a:upR(10,10)"}));
    EXPECT_EQ(main->CaptureControl(), nullptr);
}

TEST_F(MouseTest, ReleasingTheRightButtonDuringALeftPressReachesTheCapturingControl) {
    auto* b = AddBox(main, "b", Bounds(100, 100, 20, 20), RGB(0, 255, 0));
    (void)b;
    Press(20, 20);
    Press(110, 110, TMouseButton::mbRight);
    Release(110, 110, TMouseButton::mbRight);
    Release(110, 110);
    app.ProcessMessages();
    EXPECT_EQ(log, (Log{"a:enter", "a:downL(10,10)", "a:leave", "b:enter", "a:downR(100,100)",
                        "a:upR(100,100)", "a:upL(100,100)"}));
}

TEST_F(MouseTest, SecondPressWithinTimeAndBoxIsADoubleClickWithoutASecondClick) {
    ClickAt(20, 20);
    screen.AdvanceTime(500);
    Press(22, 18); // 2 pixels away each way: still inside the 4 x 4 box
    Release(22, 18);
    app.ProcessMessages();
    EXPECT_EQ(log, (Log{"a:enter", "a:downL(10,10)", "a:click", "a:upL(10,10)", "a:dblclick",
                        "a:downL(12,8)", "a:upL(12,8)"}));
}

TEST_F(MouseTest, DoubleClickLandingOnAnotherControlStillGivesItNoClick) {
    auto* b = AddBox(main, "b", Bounds(50, 10, 40, 40), RGB(0, 255, 0));
    (void)b;
    ClickAt(49, 20);
    ClickAt(51, 20);
    app.ProcessMessages();
    EXPECT_EQ(log, (Log{"a:enter", "a:downL(39,10)", "a:click", "a:upL(39,10)", "a:leave",
                        "b:enter", "b:dblclick", "b:downL(1,10)", "b:upL(1,10)"}));
}

TEST_F(MouseTest, PressesTooLateTooFarOrAfterADoubleClickAreSinglePresses) {
    ClickAt(20, 20);
    screen.AdvanceTime(501);
    ClickAt(20, 20); // too late
    screen.AdvanceTime(100);
    ClickAt(23, 20); // 3 pixels away: outside the box
    screen.AdvanceTime(100);
    ClickAt(23, 20); // double click with the previous press
    ClickAt(23, 20); // a third quick press starts afresh
    app.ProcessMessages();
    int clicks = 0, doubles = 0;
    for (const std::string& e : log) {
        clicks += e == "a:click";
        doubles += e == "a:dblclick";
    }
    EXPECT_EQ(clicks, 4);
    EXPECT_EQ(doubles, 1);
}

TEST_F(MouseTest, FrontControlTakesThePressAndHiddenOrDisabledOnesLetItThrough) {
    auto* front = AddBox(main, "front", Bounds(20, 20, 40, 40), RGB(0, 0, 255));
    ClickAt(30, 30);
    app.ProcessMessages();
    front->Hide();
    ClickAt(31, 30);
    app.ProcessMessages();
    front->Show();
    front->SetEnabled(false);
    screen.AdvanceTime(1000);
    ClickAt(30, 30);
    app.ProcessMessages();
    Log clicks;
    for (const std::string& e : log)
        if (e.find(":click") != std::string::npos || e.find(":dbl") != std::string::npos)
            clicks.push_back(e);
    EXPECT_EQ(clicks, (Log{"front:click", "a:dblclick", "a:click"}));
}

TEST_F(MouseTest, PressOnTheBackgroundReachesTheForm) {
    std::vector<std::string> formLog;
    main->OnMouseDown = [&](TObject* s, TMouseButton, TShiftState, int x, int y) {
        formLog.push_back((s == main ? "form(" : "?(") + std::to_string(x) + "," +
                          std::to_string(y) + ")");
    };
    main->OnClick = [&](TObject*) { formLog.push_back("form:click"); };
    ClickAt(200, 150);
    app.ProcessMessages();
    EXPECT_EQ(formLog, (Log{"form(200,150)", "form:click"}));
    EXPECT_TRUE(log.empty());
}

TEST_F(MouseTest, PointerLeavingTheWindowLeavesTheControl) {
    Move(20, 20);
    Move(30, 30);
    Move(500, 500); // off the window
    app.ProcessMessages();
    EXPECT_EQ(log, (Log{"a:enter", "a:move(10,10)", "a:move(20,20)", "a:leave"}));
}

TEST_F(MouseTest, CursorPositionIsInScreenCoordinates) {
    Move(5, 7);
    EXPECT_EQ(GetCursorPos(), (TPoint{105, 57}));
}

} // namespace
} // namespace zorbalin
