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
std::unique_ptr<TPNGObject> MakePicture(int Width, int Height, COLORREF Colour, uint8_t Alpha) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TBitmapOwner bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        TDCOwner dc(CreateCompatibleDC(nullptr));
        TSelectionGuard selected(dc.Get(), bitmap.Get());
        TBrushOwner brush(CreateSolidBrush(Colour));
        RECT all{0, 0, Width, Height};
        FillRect(dc.Get(), &all, brush.Get());
    }
    auto picture = std::make_unique<TPNGObject>();
    picture->AssignFromBitmapHandle(bitmap.Get(), false, 0);
    picture->AddAlphaChannel();
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            picture->AlphaRow(y)[x] = Alpha;
    return picture;
}

TEST(PNGButtonLayout, PictureOnlyButtonsOfTheMainWindow) {
    auto big = PlacePNGButton(37, 37, 32, 32, "", 0, 0, pbsImageAbove, false);
    EXPECT_EQ(big.Ix, 2);
    EXPECT_EQ(big.Iy, 2);
    auto bigPressed = PlacePNGButton(37, 37, 32, 32, "", 0, 0, pbsImageAbove, true);
    EXPECT_EQ(bigPressed.Ix, 4);
    EXPECT_EQ(bigPressed.Iy, 4);
    auto small = PlacePNGButton(25, 25, 16, 16, "", 0, 0, pbsImageAbove, false);
    EXPECT_EQ(small.Ix, 4);
    EXPECT_EQ(small.Iy, 4);
    auto smallPressed = PlacePNGButton(25, 25, 16, 16, "", 0, 0, pbsImageAbove, true);
    EXPECT_EQ(smallPressed.Ix, 6);
    EXPECT_EQ(smallPressed.Iy, 6);
    // Three pixels wider than the button: -3 div 2 truncates toward zero.
    EXPECT_EQ(PlacePNGButton(37, 37, 40, 32, "", 0, 0, pbsImageAbove, false).Ix, -1);
}

TEST(PNGButtonLayout, CaptionAboveAndBesideThePicture) {
    auto above = PlacePNGButton(60, 60, 32, 32, "Ok", 20, 13, pbsImageAbove, false);
    EXPECT_EQ(above.Iy, 5);
    EXPECT_EQ(above.Ty, 41);
    EXPECT_EQ(above.Ix, 14);
    EXPECT_EQ(above.Tx, 20);
    auto left = PlacePNGButton(60, 60, 32, 32, "Ok", 20, 13, pbsImageLeft, false);
    EXPECT_EQ(left.Ix, 4);
    EXPECT_EQ(left.Tx, 41);
    EXPECT_EQ(left.Iy, 12);
    EXPECT_EQ(left.Ty, 23);
    // Pressed, the side layouts shift only downwards.
    auto leftPressed = PlacePNGButton(60, 60, 32, 32, "Ok", 20, 13, pbsImageLeft, true);
    EXPECT_EQ(leftPressed.Ix, 4);
    EXPECT_EQ(leftPressed.Iy, 14);
    auto below = PlacePNGButton(60, 60, 32, 32, "Ok", 20, 13, pbsImageBellow, false);
    EXPECT_EQ(below.Ty, 5);
    EXPECT_EQ(below.Iy, 18);
    auto right = PlacePNGButton(60, 60, 32, 32, "Ok", 20, 13, pbsImageRight, false);
    EXPECT_EQ(right.Tx, 4);
    EXPECT_EQ(right.Ix, 29);
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
        FApp.CreateForm(FForm);
        FForm->SetClientSize(200, 100);
        FForm->SetColor(kClBlack);
        FButton = new TPNGButton(FForm);
        FButton->SetParent(FForm);
        FButton->SetBounds(10, 10, 37, 37);
        FButton->SetButtonStyle(pbsNoFrame);
        auto red = MakePicture(32, 32, RGB(255, 0, 0), 255);
        FButton->SetImageNormal(red.get());
        FButton->OnClick = [this](TObject*) {
            FEvents.push_back(FButton->State() == TPNGButton::Normal ? "click"
                                                                     : "click-while-pressed");
        };
        FButton->OnDblClick = [this](TObject*) { FEvents.push_back("dblclick"); };
        FButton->OnMouseEnter = [this](TObject*) { FEvents.push_back("enter"); };
        FButton->OnMouseExit = [this](TObject*) { FEvents.push_back("exit"); };
        FForm->Show();
        FApp.ProcessMessages();
    }

    TPoint At(int X, int Y) const { return FButton->ClientToScreen({X, Y}); }
    void Press(int X, int Y, TMouseButton B = TMouseButton::mbLeft) {
        FScreen.MouseDown(At(X, Y).X, At(X, Y).Y, B);
        FApp.ProcessMessages();
    }
    void Release(int X, int Y, TMouseButton B = TMouseButton::mbLeft) {
        FScreen.MouseUp(At(X, Y).X, At(X, Y).Y, B);
        FApp.ProcessMessages();
    }
    void MoveTo(int X, int Y) {
        FScreen.MouseMove(At(X, Y).X, At(X, Y).Y);
        FApp.ProcessMessages();
    }
    // What the screen shows at a point of the button.
    uint32_t Shown(int X, int Y) const { return FScreen.ScreenPixel(At(X, Y).X, At(X, Y).Y); }

    THeadlessBackend FScreen;
    TApplication FApp{FScreen};
    TForm* FForm = nullptr;
    TPNGButton* FButton = nullptr;
    std::vector<std::string> FEvents;
};

constexpr uint32_t kRed = 0xFF0000;

TEST_F(PNGButtonTest, PictureIsDrawnAtTwoTwoAndAtFourFourWhilePressedInside) {
    EXPECT_EQ(Shown(2, 2), kRed);
    EXPECT_EQ(Shown(33, 33), kRed);
    EXPECT_EQ(Shown(1, 1), 0u);
    EXPECT_EQ(Shown(34, 34), 0u);
    Press(20, 20);
    EXPECT_EQ(FButton->State(), TPNGButton::Pressed);
    EXPECT_EQ(Shown(3, 3), 0u); // drawn at once, without waiting for the idle loop
    EXPECT_EQ(Shown(4, 4), kRed);
    EXPECT_EQ(Shown(35, 35), kRed);
    // Moving out while pressed shows the normal, unshifted picture.
    MoveTo(60, 20);
    EXPECT_FALSE(FButton->MouseInside());
    EXPECT_EQ(Shown(2, 2), kRed);
    EXPECT_EQ(Shown(35, 35), 0u);
}

TEST_F(PNGButtonTest, ClickComesOnceTheStateIsNormalAgain) {
    Press(20, 20);
    Release(20, 20);
    EXPECT_EQ(FEvents, (std::vector<std::string>{"enter", "click"}));
    EXPECT_EQ(FButton->State(), TPNGButton::Normal);
}

TEST_F(PNGButtonTest, RightPressDoesNotPressTheButton) {
    Press(20, 20, TMouseButton::mbRight);
    EXPECT_EQ(FButton->State(), TPNGButton::Normal);
    Release(20, 20, TMouseButton::mbRight);
    EXPECT_EQ(FEvents, (std::vector<std::string>{"enter"}));
}

TEST_F(PNGButtonTest, PressReleasedOutsideGivesNoClickAndEndsThePressedState) {
    Press(20, 20);
    Release(100, 20);
    EXPECT_EQ(FButton->State(), TPNGButton::Normal);
    EXPECT_EQ(FEvents, (std::vector<std::string>{"enter", "exit"}));
}

TEST_F(PNGButtonTest, DoubleClickGivesOneClickAndOneDoubleClick) {
    Press(20, 20);
    Release(20, 20);
    FScreen.AdvanceTime(200);
    Press(20, 20);
    EXPECT_EQ(FButton->State(), TPNGButton::Pressed); // the second press shows pressed again
    Release(20, 20);
    EXPECT_EQ(FEvents, (std::vector<std::string>{"enter", "click", "dblclick"}));
    EXPECT_EQ(FButton->State(), TPNGButton::Normal);
}

TEST_F(PNGButtonTest, DisabledButtonShowsTheThirdOpacityPictureAndIgnoresThePointer) {
    FButton->SetEnabled(false);
    EXPECT_EQ(FButton->State(), TPNGButton::Disabled);
    // Red at alpha 85 over black: (255 * 85 + 0 * 170 + 255) >> 8 = 85.
    EXPECT_EQ(Shown(2, 2), 0x550000u);
    MoveTo(20, 20);
    EXPECT_TRUE(FEvents.empty());
    EXPECT_FALSE(FButton->MouseInside());
    Press(20, 20);
    EXPECT_EQ(FButton->State(), TPNGButton::Disabled);
    Release(20, 20);
    FButton->SetEnabled(true);
    EXPECT_EQ(FButton->State(), TPNGButton::Normal);
    EXPECT_EQ(Shown(2, 2), kRed);
}

TEST_F(PNGButtonTest, OverPictureShowsOnlyWhileEnabledAndHovered) {
    auto green = MakePicture(32, 32, RGB(0, 255, 0), 255);
    FButton->SetImageOver(green.get());
    EXPECT_EQ(Shown(2, 2), kRed);
    MoveTo(20, 20);
    EXPECT_EQ(Shown(2, 2), 0x00FF00u);
    MoveTo(100, 20);
    EXPECT_EQ(Shown(2, 2), kRed);
    FButton->SetEnabled(false);
    MoveTo(20, 20);
    EXPECT_NE(Shown(2, 2), 0x00FF00u);
}

uint32_t Sys(int Index) {
    COLORREF c = GetSysColor(Index);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

TEST_F(PNGButtonTest, FlatFrameIsRaisedUnderThePointerAndSunkenWhilePressed) {
    FButton->SetButtonStyle(pbsFlat);
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
    FButton->SetButtonStyle(pbsDefault);
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
    EXPECT_ANY_THROW(FButton->SetImageNormal(&empty));
    EXPECT_TRUE(FButton->ImageNormal()->Empty());
}

TEST_F(PNGButtonTest, PicturesAreCopiedNotShared) {
    auto blue = MakePicture(16, 16, RGB(0, 0, 255), 255);
    FButton->SetImageDown(blue.get());
    blue.reset();
    EXPECT_EQ(FButton->ImageDown()->Width(), 16);
    Press(20, 20);
    // 37 x 37 with a 16 x 16 picture pressed: (37 - 16) div 2 + 2 = 12.
    EXPECT_EQ(Shown(12, 12), 0x0000FFu);
}

} // namespace
} // namespace zorbalin
