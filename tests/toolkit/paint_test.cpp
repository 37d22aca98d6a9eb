// Painting: the ordinary repaint when idle, the immediate repaint of one control, z-order.
#include "toolkit_fixture.h"

namespace zorbalin {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class PaintTest : public ToolkitTest {
  protected:
    // What the screen shows at a client point of the main form.
    uint32_t Shown(int X, int Y) const {
        TPoint p = At(X, Y);
        return FScreen.ScreenPixel(p.X, p.Y);
    }
    THeadlessWindow* MainWindow() const { return static_cast<THeadlessWindow*>(FMain->Window()); }
};

TEST_F(PaintTest, ShowingAFormDrawsBackgroundAndControlsInCreationOrder) {
    AddBox(FMain, "back", Bounds(10, 10, 40, 40), kRed);
    AddBox(FMain, "front", Bounds(30, 30, 40, 40), kGreen);
    ShowMain();
    EXPECT_EQ(Shown(15, 15), ScreenColour(kRed));
    EXPECT_EQ(Shown(35, 35), ScreenColour(kGreen)); // the later control lies in front
    EXPECT_EQ(Shown(100, 100), 0u);                 // the form's black background
}

TEST_F(PaintTest, ImmediateRepaintDrawsOnlyTheNewBoxAndTheOrdinaryRepaintCleansTheStrip) {
    auto* cell = AddBox(FMain, "cell", Bounds(20, 63, 35, 43), kRed);
    ShowMain();
    MainWindow()->ClearPresented();

    cell->SetLeft(22); // one animation step: move by two pixels...
    cell->Repaint();   // ...and draw it at once
    ASSERT_EQ(MainWindow()->Presented().size(), 1u);
    EXPECT_EQ(MainWindow()->Presented()[0], Bounds(22, 63, 35, 43));
    EXPECT_EQ(Shown(56, 70), ScreenColour(kRed)); // the new right edge
    EXPECT_EQ(Shown(20, 70), ScreenColour(kRed)); // the strip left behind, not yet cleaned

    FApp.ProcessMessages(); // the loop is idle: the ordinary repaint
    EXPECT_EQ(Shown(20, 70), 0u);
    EXPECT_EQ(Shown(21, 70), 0u);
    EXPECT_EQ(Shown(22, 70), ScreenColour(kRed));
}

TEST_F(PaintTest, InvalidateWaitsForTheIdleLoop) {
    auto* a = AddBox(FMain, "a", Bounds(10, 10, 20, 20), kRed);
    ShowMain();
    int before = a->Paints;
    a->Invalidate();
    a->Invalidate();
    EXPECT_EQ(a->Paints, before);
    FApp.ProcessMessages();
    EXPECT_EQ(a->Paints, before + 1); // two requests, one repaint
}

TEST_F(PaintTest, RepaintOfAControlDrawsWhatLiesBehindItsTransparentParts) {
    AddBox(FMain, "back", Bounds(0, 0, 100, 100), kBlue);
    auto* front = AddBox(FMain, "front", Bounds(10, 10, 40, 40), kRed);
    front->LeftHalfOnly = true;
    ShowMain();
    front->SetTop(12);
    front->Repaint();
    EXPECT_EQ(Shown(12, 30), ScreenColour(kRed));
    EXPECT_EQ(Shown(45, 30), ScreenColour(kBlue)); // behind the unpainted half
}

TEST_F(PaintTest, HidingAControlShowsWhatIsBehindItAtTheNextRepaint) {
    AddBox(FMain, "back", Bounds(10, 10, 40, 40), kRed);
    auto* front = AddBox(FMain, "front", Bounds(10, 10, 40, 40), kGreen);
    ShowMain();
    EXPECT_EQ(Shown(20, 20), ScreenColour(kGreen));
    front->Hide();
    FApp.ProcessMessages();
    EXPECT_EQ(Shown(20, 20), ScreenColour(kRed));
}

TEST_F(PaintTest, ExposeShowsTheRetainedSurfaceWithoutPainting) {
    auto* a = AddBox(FMain, "a", Bounds(10, 10, 20, 20), kRed);
    ShowMain();
    int before = a->Paints;
    FMain->HandleExpose(FMain->ClientRect());
    EXPECT_EQ(a->Paints, before);
    EXPECT_EQ(Shown(15, 15), ScreenColour(kRed));
}

} // namespace
} // namespace zorbalin
