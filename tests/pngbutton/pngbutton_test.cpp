// The image button: layout arithmetic, painting positions, state handling and the disabled
// picture, on the headless backend.
#include <gtest/gtest.h>

#include <vector>

#include "backend/headless/headless_backend.h"
#include "gdi/owners.h"
#include "imaging/pngbutton.h"
#include "toolkit/application.h"

namespace zorbalin {
namespace {

// A width x height picture of one colour, RGBA with every alpha at `alpha`.
std::unique_ptr<TPNGObject> MakePicture(int width, int height, COLORREF colour, uint8_t alpha) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TBitmapOwner bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        TDCOwner dc(CreateCompatibleDC(nullptr));
        TSelectionGuard selected(dc.Get(), bitmap.Get());
        TBrushOwner brush(CreateSolidBrush(colour));
        RECT all{0, 0, width, height};
        FillRect(dc.Get(), &all, brush.Get());
    }
    auto picture = std::make_unique<TPNGObject>();
    picture->AssignFromBitmapHandle(bitmap.Get(), false, 0);
    picture->AddAlphaChannel();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture->AlphaRow(y)[x] = alpha;
    return picture;
}

TEST(PNGButtonLayout, PictureOnlyButtonsOfTheMainWindow) {
    auto big = PlacePNGButton(37, 37, 32, 32, "", 0, 0, pbsImageAbove, false);
    EXPECT_EQ(big.ix, 2);
    EXPECT_EQ(big.iy, 2);
    auto bigPressed = PlacePNGButton(37, 37, 32, 32, "", 0, 0, pbsImageAbove, true);
    EXPECT_EQ(bigPressed.ix, 4);
    EXPECT_EQ(bigPressed.iy, 4);
    auto small = PlacePNGButton(25, 25, 16, 16, "", 0, 0, pbsImageAbove, false);
    EXPECT_EQ(small.ix, 4);
    EXPECT_EQ(small.iy, 4);
    auto smallPressed = PlacePNGButton(25, 25, 16, 16, "", 0, 0, pbsImageAbove, true);
    EXPECT_EQ(smallPressed.ix, 6);
    EXPECT_EQ(smallPressed.iy, 6);
    // Three pixels wider than the button: -3 div 2 truncates toward zero.
    EXPECT_EQ(PlacePNGButton(37, 37, 40, 32, "", 0, 0, pbsImageAbove, false).ix, -1);
}

TEST(PNGButtonLayout, CaptionAboveAndBesideThePicture) {
    auto above = PlacePNGButton(60, 60, 32, 32, "Ok", 20, 13, pbsImageAbove, false);
    EXPECT_EQ(above.iy, 5);
    EXPECT_EQ(above.ty, 41);
    EXPECT_EQ(above.ix, 14);
    EXPECT_EQ(above.tx, 20);
    auto left = PlacePNGButton(60, 60, 32, 32, "Ok", 20, 13, pbsImageLeft, false);
    EXPECT_EQ(left.ix, 4);
    EXPECT_EQ(left.tx, 41);
    EXPECT_EQ(left.iy, 12);
    EXPECT_EQ(left.ty, 23);
    // Pressed, the side layouts shift only downwards.
    auto leftPressed = PlacePNGButton(60, 60, 32, 32, "Ok", 20, 13, pbsImageLeft, true);
    EXPECT_EQ(leftPressed.ix, 4);
    EXPECT_EQ(leftPressed.iy, 14);
    auto below = PlacePNGButton(60, 60, 32, 32, "Ok", 20, 13, pbsImageBellow, false);
    EXPECT_EQ(below.ty, 5);
    EXPECT_EQ(below.iy, 18);
    auto right = PlacePNGButton(60, 60, 32, 32, "Ok", 20, 13, pbsImageRight, false);
    EXPECT_EQ(right.tx, 4);
    EXPECT_EQ(right.ix, 29);
}

TEST(PNGButtonDisabledImage, EveryAlphaIsDividedByThree) {
    auto normal = MakePicture(3, 1, RGB(10, 20, 30), 255);
    normal->AlphaRow(0)[1] = 128;
    normal->AlphaRow(0)[2] = 2;
    TPNGObject disabled;
    MakeDisabledImage(*normal, disabled);
    EXPECT_EQ(disabled.AlphaRow(0)[0], 85);
    EXPECT_EQ(disabled.AlphaRow(0)[1], 42);
    EXPECT_EQ(disabled.AlphaRow(0)[2], 0);
    EXPECT_EQ(normal->AlphaRow(0)[0], 255); // the source keeps its opacity
}

TEST(PNGButtonDisabledImage, NeedsAHeader) {
    TPNGObject empty, target;
    EXPECT_ANY_THROW(MakeDisabledImage(empty, target));
}

class PNGButtonTest : public ::testing::Test {
  protected:
    PNGButtonTest() {
        app.CreateForm(form);
        form->SetClientSize(200, 100);
        form->SetColor(clBlack);
        button = new TPNGButton(form);
        button->SetParent(form);
        button->SetBounds(10, 10, 37, 37);
        button->SetButtonStyle(pbsNoFrame);
        auto red = MakePicture(32, 32, RGB(255, 0, 0), 255);
        button->SetImageNormal(red.get());
        button->OnClick = [this](TObject*) {
            events.push_back(button->State() == TPNGButton::Normal ? "click"
                                                                   : "click-while-pressed");
        };
        button->OnDblClick = [this](TObject*) { events.push_back("dblclick"); };
        button->OnMouseEnter = [this](TObject*) { events.push_back("enter"); };
        button->OnMouseExit = [this](TObject*) { events.push_back("exit"); };
        form->Show();
        app.ProcessMessages();
    }

    TPoint At(int x, int y) const { return button->ClientToScreen({x, y}); }
    void Press(int x, int y, TMouseButton b = TMouseButton::mbLeft) {
        screen.MouseDown(At(x, y).X, At(x, y).Y, b);
        app.ProcessMessages();
    }
    void Release(int x, int y, TMouseButton b = TMouseButton::mbLeft) {
        screen.MouseUp(At(x, y).X, At(x, y).Y, b);
        app.ProcessMessages();
    }
    void MoveTo(int x, int y) {
        screen.MouseMove(At(x, y).X, At(x, y).Y);
        app.ProcessMessages();
    }
    // What the screen shows at a point of the button.
    uint32_t Shown(int x, int y) const { return screen.ScreenPixel(At(x, y).X, At(x, y).Y); }

    THeadlessBackend screen;
    TApplication app{screen};
    TForm* form = nullptr;
    TPNGButton* button = nullptr;
    std::vector<std::string> events;
};

constexpr uint32_t kRed = 0xFF0000;

TEST_F(PNGButtonTest, PictureIsDrawnAtTwoTwoAndAtFourFourWhilePressedInside) {
    EXPECT_EQ(Shown(2, 2), kRed);
    EXPECT_EQ(Shown(33, 33), kRed);
    EXPECT_EQ(Shown(1, 1), 0u);
    EXPECT_EQ(Shown(34, 34), 0u);
    Press(20, 20);
    EXPECT_EQ(button->State(), TPNGButton::Pressed);
    EXPECT_EQ(Shown(3, 3), 0u); // drawn at once, without waiting for the idle loop
    EXPECT_EQ(Shown(4, 4), kRed);
    EXPECT_EQ(Shown(35, 35), kRed);
    // Moving out while pressed shows the normal, unshifted picture.
    MoveTo(60, 20);
    EXPECT_FALSE(button->MouseInside());
    EXPECT_EQ(Shown(2, 2), kRed);
    EXPECT_EQ(Shown(35, 35), 0u);
}

TEST_F(PNGButtonTest, ClickComesOnceTheStateIsNormalAgain) {
    Press(20, 20);
    Release(20, 20);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "click"}));
    EXPECT_EQ(button->State(), TPNGButton::Normal);
}

TEST_F(PNGButtonTest, RightPressDoesNotPressTheButton) {
    Press(20, 20, TMouseButton::mbRight);
    EXPECT_EQ(button->State(), TPNGButton::Normal);
    Release(20, 20, TMouseButton::mbRight);
    EXPECT_EQ(events, (std::vector<std::string>{"enter"}));
}

TEST_F(PNGButtonTest, PressReleasedOutsideGivesNoClickAndEndsThePressedState) {
    Press(20, 20);
    Release(100, 20);
    EXPECT_EQ(button->State(), TPNGButton::Normal);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "exit"}));
}

TEST_F(PNGButtonTest, DoubleClickGivesOneClickAndOneDoubleClick) {
    Press(20, 20);
    Release(20, 20);
    screen.AdvanceTime(200);
    Press(20, 20);
    EXPECT_EQ(button->State(), TPNGButton::Pressed); // the second press shows pressed again
    Release(20, 20);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "click", "dblclick"}));
    EXPECT_EQ(button->State(), TPNGButton::Normal);
}

TEST_F(PNGButtonTest, DisabledButtonShowsTheThirdOpacityPictureAndIgnoresThePointer) {
    button->SetEnabled(false);
    EXPECT_EQ(button->State(), TPNGButton::Disabled);
    // Red at alpha 85 over black: (255 * 85 + 0 * 170 + 255) >> 8 = 85.
    EXPECT_EQ(Shown(2, 2), 0x550000u);
    MoveTo(20, 20);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(button->MouseInside());
    Press(20, 20);
    EXPECT_EQ(button->State(), TPNGButton::Disabled);
    Release(20, 20);
    button->SetEnabled(true);
    EXPECT_EQ(button->State(), TPNGButton::Normal);
    EXPECT_EQ(Shown(2, 2), kRed);
}

TEST_F(PNGButtonTest, OverPictureShowsOnlyWhileEnabledAndHovered) {
    auto green = MakePicture(32, 32, RGB(0, 255, 0), 255);
    button->SetImageOver(green.get());
    EXPECT_EQ(Shown(2, 2), kRed);
    MoveTo(20, 20);
    EXPECT_EQ(Shown(2, 2), 0x00FF00u);
    MoveTo(100, 20);
    EXPECT_EQ(Shown(2, 2), kRed);
    button->SetEnabled(false);
    MoveTo(20, 20);
    EXPECT_NE(Shown(2, 2), 0x00FF00u);
}

uint32_t Sys(int index) {
    COLORREF c = GetSysColor(index);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

TEST_F(PNGButtonTest, FlatFrameIsRaisedUnderThePointerAndSunkenWhilePressed) {
    button->SetButtonStyle(pbsFlat);
    EXPECT_EQ(Shown(0, 18), 0u); // no frame while the pointer is elsewhere
    MoveTo(20, 20);
    EXPECT_EQ(Shown(0, 18), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Shown(36, 18), Sys(COLOR_BTNSHADOW));
    Press(20, 20);
    EXPECT_EQ(Shown(0, 18), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Shown(36, 18), Sys(COLOR_BTNHIGHLIGHT));
    MoveTo(80, 20); // pressed but outside: raised again
    EXPECT_EQ(Shown(0, 18), Sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(PNGButtonTest, DefaultStyleDrawsTheStandardFaceRaisedAndSunken) {
    button->SetButtonStyle(pbsDefault);
    EXPECT_EQ(Shown(0, 18), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Shown(36, 18), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(Shown(35, 18), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Shown(1, 18), Sys(COLOR_BTNFACE));
    Press(20, 20);
    EXPECT_EQ(Shown(0, 18), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(Shown(1, 18), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Shown(36, 18), Sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(PNGButtonTest, SettingAnEmptyNormalPictureRaisesAndKeepsTheNewPicture) {
    TPNGObject empty;
    EXPECT_ANY_THROW(button->SetImageNormal(&empty));
    EXPECT_TRUE(button->ImageNormal()->Empty());
}

TEST_F(PNGButtonTest, PicturesAreCopiedNotShared) {
    auto blue = MakePicture(16, 16, RGB(0, 0, 255), 255);
    button->SetImageDown(blue.get());
    blue.reset();
    EXPECT_EQ(button->ImageDown()->Width(), 16);
    Press(20, 20);
    // 37 x 37 with a 16 x 16 picture pressed: (37 - 16) div 2 + 2 = 12.
    EXPECT_EQ(Shown(12, 12), 0x0000FFu);
}

} // namespace
} // namespace zorbalin
