// Scaled windows: choosing the factor, pixel replication and the pointer mapped back to logical
// pixels.
#include <cstdlib>

#include "toolkit/screen_scale.h"
#include "toolkit_fixture.h"

namespace zorbalin {
namespace {

TEST(ScreenScale, TheFactorComesFromTheOverrideTheSettingsOrTheDesktopInThatOrder) {
    EXPECT_EQ(ScaleFromDpi(96), 1);
    EXPECT_EQ(ScaleFromDpi(120), 1);
    EXPECT_EQ(ScaleFromDpi(144), 2); // half way rounds up
    EXPECT_EQ(ScaleFromDpi(192), 2);
    EXPECT_EQ(ScaleFromDpi(1000), 4);
    EXPECT_EQ(ScaleFromDpi(0), 0);
    EXPECT_EQ(ScaleFromDpi(40), 1);
    for (const char* bad : {"", "0", "-2", "2x", "1.5", "99999999999999999999"})
        EXPECT_EQ(ParseScale(bad), 0) << bad;
    EXPECT_EQ(ParseScale(nullptr), 0);
    EXPECT_EQ(ParseScale("3"), 3);
    EXPECT_EQ(ParseScale("9"), 4);
    EXPECT_EQ(XftDpiOf("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192);
    EXPECT_EQ(XftDpiOf("*dpi:\t192\nXft.dpi:"), 0);
    EXPECT_EQ(DesktopScaleFrom("2", 96), 2);
    EXPECT_EQ(DesktopScaleFrom("no", 192), 2);
    EXPECT_EQ(DesktopScaleFrom(nullptr, 0), 1);
    EXPECT_EQ(ChooseScale(3, 2, 4), 3);
    EXPECT_EQ(ChooseScale(0, 2, 4), 2);
    EXPECT_EQ(ChooseScale(0, 0, 4), 4);
    EXPECT_EQ(ChooseScale(0, 0, 0), 1);
    // The desktop's factor is lowered until the window fits the work area.
    EXPECT_EQ(FittingScale(4, 670, 480, Bounds(0, 0, 1920, 1050)), 2);
    EXPECT_EQ(FittingScale(2, 670, 480, Bounds(0, 30, 1340, 960)), 2);
    EXPECT_EQ(FittingScale(3, 670, 480, Bounds(0, 0, 640, 400)), 1);
}

class ScaledFormTest : public ToolkitTest {
  protected:
    ScaledFormTest() {
        // The scale comes before the forms; the fixture's main form is made again at scale 2.
        delete FMain;
        FApp.SetScale(2);
        FApp.CreateForm(FMain);
        FMain->SetBounds(100, 50, 0, 0);
        FMain->SetClientSize(300, 200);
        FMain->SetColor(kClBlack);
    }
    THeadlessWindow* Window() const { return static_cast<THeadlessWindow*>(FMain->Window()); }
};

TEST_F(ScaledFormTest, TheWindowShowsEveryLogicalPixelTwiceAsLargeAtItsScreenPosition) {
    TLoggingBox* box = AddBox(FMain, "box", Bounds(10, 20, 30, 40), RGB(255, 0, 0));
    ShowMain();
    EXPECT_EQ(FMain->Width(), 600);
    EXPECT_EQ(FMain->Height(), 400);
    EXPECT_EQ(Window()->OuterRect(), Bounds(100, 50, 600, 400));
    EXPECT_EQ(Window()->ClientWidth(), 300);
    EXPECT_EQ(Window()->PixelWidth(), 600);
    // The box covers screen pixels 120..179 x 90..169, nothing around it.
    const uint32_t red = ScreenColour(RGB(255, 0, 0));
    EXPECT_EQ(FScreen.ScreenPixel(120, 90), red);
    EXPECT_EQ(FScreen.ScreenPixel(179, 169), red);
    EXPECT_EQ(FScreen.ScreenPixel(119, 90), 0u);
    EXPECT_EQ(FScreen.ScreenPixel(180, 169), 0u);
    EXPECT_EQ(FScreen.ScreenPixel(179, 170), 0u);
    EXPECT_EQ(box->ClientToScreen({0, 0}), (TPoint{120, 90}));
    EXPECT_EQ(box->ScreenToClient({121, 91}), (TPoint{0, 0}));
    EXPECT_EQ(box->ScreenToClient({119, 89}), (TPoint{-1, -1}));

    // The pointer in logical pixels: a press on the box's last screen pixel, a drag out to the
    // left of the window, a release there.
    FScreen.MouseDown(179, 169);
    FScreen.MouseMove(99, 49);
    FScreen.MouseUp(99, 49);
    FApp.ProcessMessages();
    EXPECT_EQ(FLog, (std::vector<std::string>{"box:enter", "box:downL(29,39)", "box:leave",
                                              "box:move(-11,-21)", "box:upL(-11,-21)"}));

    // Resizing keeps the scale; a dialog is centred by the sizes on the screen.
    FMain->SetClientSize(100, 50);
    EXPECT_EQ(Window()->PixelHeight(), 100);
    auto* dialog = TForm::Create<TForm>(&FApp);
    dialog->SetBorderStyle(TFormBorderStyle::bsDialog);
    dialog->SetClientSize(40, 20);
    dialog->Position = TPosition::poMainFormCenter;
    EXPECT_EQ(dialog->Width(), 80 + 3 + 3) << "the frame stays in screen pixels";
    dialog->Show();
    EXPECT_EQ(dialog->Left(), 100 + (200 - 86) / 2);
    delete dialog;
}

} // namespace
} // namespace zorbalin
