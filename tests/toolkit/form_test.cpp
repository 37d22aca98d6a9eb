// Forms: placement, OnShow before the window appears, ownership, title, the colour key.
#include "toolkit/font.h"
#include "toolkit/label.h"
#include "toolkit_fixture.h"

namespace zorbalin {
namespace {

using FormTest = ToolkitTest;

TEST_F(FormTest, DialogIsCentredOverTheMainFormByOuterSizesTruncatingTowardZero) {
    FMain->SetClientSize(670, 480);
    FMain->SetBounds(10, 10, 670, 480);
    ShowMain();
    auto* dialog = TForm::Create<TForm>(&FApp);
    dialog->SetBorderStyle(TFormBorderStyle::bsDialog);
    dialog->SetClientSize(218, 112); // outer 224 x 137 with the headless frame
    dialog->Position = TPosition::poMainFormCenter;
    dialog->Show();
    EXPECT_EQ(dialog->Width(), 224);
    EXPECT_EQ(dialog->Height(), 137);
    EXPECT_EQ(dialog->Left(), 10 + (670 - 224) / 2);
    EXPECT_EQ(dialog->Top(), 10 + 171); // 343 / 2 rounds toward zero
    EXPECT_EQ(dialog->Window()->Position(), (TPoint{dialog->Left(), dialog->Top()}));

    auto* wide = TForm::Create<TForm>(&FApp);
    wide->SetClientSize(675, 100); // wider than the main form by an odd number
    wide->Position = TPosition::poMainFormCenter;
    wide->Show();
    EXPECT_EQ(wide->Left(), 10 - 2); // -5 / 2 is -2, not -3
}

TEST_F(FormTest, OnShowPlacesTheWindowBeforeItIsEverSeen) {
    bool windowShownInOnShow = true;
    FMain->OnShow = [&](TObject*) {
        auto* window = static_cast<THeadlessWindow*>(FMain->Window());
        windowShownInOnShow = window && window->Visible();
        FMain->SetLeft(-2000); // off the screen is allowed
        FMain->SetTop(30);
    };
    ShowMain();
    EXPECT_FALSE(windowShownInOnShow);
    EXPECT_EQ(FMain->Window()->Position(), (TPoint{-2000, 30}));
    EXPECT_EQ(FMain->ClientToScreen({0, 0}), (TPoint{-2000, 30}));
}

TEST_F(FormTest, TheMainWindowCarriesTheApplicationTitle) {
    ShowMain();
    auto* window = static_cast<THeadlessWindow*>(FMain->Window());
    EXPECT_TRUE(window->TaskbarEntry());
    EXPECT_EQ(FScreen.AppTitle(), "ZorbaLin");
}

TEST_F(FormTest, OwnerDestroysItsComponentsAndFindsThemByName) {
    std::vector<std::string> destroyed;
    struct TTracked : TControl {
        TTracked(TComponent* Owner, std::vector<std::string>& Log) : TControl(Owner), Log(Log) {}
        ~TTracked() override { Log.push_back(Name()); }
        std::vector<std::string>& Log;
    };
    auto* form = TForm::Create<TForm>(&FApp);
    for (const char* name : {"i1i1", "i1i2", "i2i1"}) {
        auto* c = new TTracked(form, destroyed);
        c->SetName(name);
        c->SetParent(form);
    }
    EXPECT_EQ(form->FindComponent("I1I2"), form->Components(1));
    EXPECT_EQ(form->FindComponent("i9i9"), nullptr);
    delete form->Components(1);
    EXPECT_EQ(form->ControlCount(), 2);
    delete form;
    EXPECT_EQ(destroyed, (std::vector<std::string>{"i1i2", "i2i1", "i1i1"}));
}

TEST_F(FormTest, ColourKeyPixelsLetTheMouseThroughToTheWindowBehind) {
    FMain->SetClientSize(300, 200);
    ShowMain();
    int mainPresses = 0;
    FMain->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++mainPresses; };
    auto* keyed = TForm::Create<TForm>(&FApp);
    keyed->SetClientSize(100, 100);
    keyed->SetBounds(150, 100, 100, 100);
    keyed->SetColor(kClGray); // the key colour everywhere but on the box
    keyed->TransparentColor = true;
    keyed->TransparentColorValue = kClGray;
    auto* solid = AddBox(keyed, "solid", Bounds(0, 0, 50, 100), RGB(255, 0, 0));
    keyed->Show();
    FApp.ProcessMessages();
    FLog.clear();
    FScreen.Click(160, 150); // on the box
    FScreen.AdvanceTime(1000);
    FScreen.Click(220, 150); // on a key pixel: through to the main form
    FApp.ProcessMessages();
    EXPECT_EQ(FLog, (std::vector<std::string>{"solid:enter", "solid:downL(10,50)", "solid:click",
                                              "solid:upL(10,50)", "solid:leave"}));
    EXPECT_EQ(mainPresses, 1);
    (void)solid;
}

TEST_F(FormTest, DraggingByAControlFollowsTheCursorUntilAnyButtonIsReleased) {
    auto* background = AddBox(FMain, "background", Bounds(0, 0, 300, 200), RGB(90, 0, 0));
    bool dragging = false;
    TPoint start;
    int startLeft = 0, startTop = 0;
    background->OnMouseDown = [&](TObject*, TMouseButton B, TShiftState, int, int) {
        if (B != TMouseButton::mbLeft)
            return;
        dragging = true;
        start = GetCursorPos();
        startLeft = FMain->Left();
        startTop = FMain->Top();
    };
    background->OnMouseMove = [&](TObject*, TShiftState, int, int) {
        if (!dragging)
            return;
        TPoint p = GetCursorPos();
        FMain->SetLeft(startLeft + p.X - start.X);
        FMain->SetTop(startTop + p.Y - start.Y);
    };
    background->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
        dragging = false;
    };
    ShowMain();
    auto step = [&](auto Inject) {
        Inject();
        FApp.ProcessMessages();
    };
    step([&] { FScreen.MouseDown(110, 60); });
    step([&] { FScreen.MouseMove(160, 90); });
    EXPECT_EQ((TPoint{FMain->Left(), FMain->Top()}), (TPoint{150, 80}));
    // Far beyond the screen's left edge, faster than the window could follow.
    step([&] { FScreen.MouseMove(-3000, 95); });
    EXPECT_EQ((TPoint{FMain->Left(), FMain->Top()}), (TPoint{-3010, 85}));
    EXPECT_EQ(FMain->Window()->Position(), (TPoint{-3010, 85}));
    // Releasing the right button ends the drag while the left one is still down.
    step([&] { FScreen.MouseDown(-3000, 95, TMouseButton::mbRight); });
    step([&] { FScreen.MouseUp(-3000, 95, TMouseButton::mbRight); });
    step([&] { FScreen.MouseMove(-2900, 95); });
    EXPECT_EQ(FMain->Left(), -3010);
    step([&] { FScreen.MouseUp(-2900, 95); });
    EXPECT_EQ(FMain->CaptureControl(), nullptr);
}

TEST_F(FormTest, CentredWordWrappedLabelPutsEachLineInTheMiddleOverTheBackground) {
    auto* label = new TLabel(FMain);
    label->SetParent(FMain);
    label->SetBounds(24, 76, 181, 57);
    label->Alignment = taCenter;
    label->WordWrap = true;
    label->Transparent = true;
    label->Font()->SetName("Comic Sans MS");
    label->Font()->SetHeight(-12);
    label->Font()->SetStyle(fsBold);
    label->Font()->SetColor(kClYellow);
    label->SetCaption("Ez már kész, keresni kellene egy nehezebb játékot...");
    ShowMain();
    TPixelView pixels = FMain->SurfacePixels();
    // Rows with ink, grouped into lines; each line's ink spans a range centred in the label.
    std::vector<std::pair<int, int>> lines; // ink's left and right of each line
    bool inLine = false;
    for (int y = 0; y < 200; ++y) {
        int left = 1000, right = -1;
        for (int x = 0; x < 300; ++x)
            if (pixels.At(x, y) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                EXPECT_TRUE(label->BoundsRect().Contains({x, y})) << x << "," << y;
            }
        if (right < 0) {
            inLine = false;
            continue;
        }
        if (!inLine)
            lines.push_back({left, right});
        lines.back().first = std::min(lines.back().first, left);
        lines.back().second = std::max(lines.back().second, right);
        inLine = true;
    }
    ASSERT_EQ(lines.size(), 2u);
    for (auto [left, right] : lines) {
        int leftMargin = left - 24, rightMargin = (24 + 181 - 1) - right;
        EXPECT_NEAR(leftMargin, rightMargin, 3);
    }
}

} // namespace
} // namespace zorbalin
