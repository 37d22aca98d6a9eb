// Forms: placement, OnShow before the window appears, ownership, title, the colour key.
#include "toolkit/font.h"
#include "toolkit/label.h"
#include "toolkit_fixture.h"

namespace zorbalin {
namespace {

using FormTest = ToolkitTest;

TEST_F(FormTest, DialogIsCentredOverTheMainFormByOuterSizesTruncatingTowardZero) {
    main->SetClientSize(670, 480);
    main->SetBounds(10, 10, 670, 480);
    ShowMain();
    auto* dialog = TForm::Create<TForm>(&app);
    dialog->SetBorderStyle(TFormBorderStyle::bsDialog);
    dialog->SetClientSize(218, 112); // outer 224 x 137 with the headless frame
    dialog->Position = TPosition::poMainFormCenter;
    dialog->Show();
    EXPECT_EQ(dialog->Width(), 224);
    EXPECT_EQ(dialog->Height(), 137);
    EXPECT_EQ(dialog->Left(), 10 + (670 - 224) / 2);
    EXPECT_EQ(dialog->Top(), 10 + 171); // 343 / 2 rounds toward zero
    EXPECT_EQ(dialog->Window()->Position(), (TPoint{dialog->Left(), dialog->Top()}));

    auto* wide = TForm::Create<TForm>(&app);
    wide->SetClientSize(675, 100); // wider than the main form by an odd number
    wide->Position = TPosition::poMainFormCenter;
    wide->Show();
    EXPECT_EQ(wide->Left(), 10 - 2); // -5 / 2 is -2, not -3
}

TEST_F(FormTest, OnShowPlacesTheWindowBeforeItIsEverSeen) {
    bool windowShownInOnShow = true;
    main->OnShow = [&](TObject*) {
        auto* window = static_cast<THeadlessWindow*>(main->Window());
        windowShownInOnShow = window && window->Visible();
        main->SetLeft(-2000); // off the screen is allowed
        main->SetTop(30);
    };
    ShowMain();
    EXPECT_FALSE(windowShownInOnShow);
    EXPECT_EQ(main->Window()->Position(), (TPoint{-2000, 30}));
    EXPECT_EQ(main->ClientToScreen({0, 0}), (TPoint{-2000, 30}));
}

TEST_F(FormTest, TheMainWindowCarriesTheApplicationTitle) {
    ShowMain();
    auto* window = static_cast<THeadlessWindow*>(main->Window());
    EXPECT_TRUE(window->TaskbarEntry());
    EXPECT_EQ(screen.AppTitle(), "ZorbaLin");
}

TEST_F(FormTest, OwnerDestroysItsComponentsAndFindsThemByName) {
    std::vector<std::string> destroyed;
    struct TTracked : TControl {
        TTracked(TComponent* owner, std::vector<std::string>& log) : TControl(owner), Log(log) {}
        ~TTracked() override { Log.push_back(Name()); }
        std::vector<std::string>& Log;
    };
    auto* form = TForm::Create<TForm>(&app);
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
    main->SetClientSize(300, 200);
    ShowMain();
    int mainPresses = 0;
    main->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++mainPresses; };
    auto* keyed = TForm::Create<TForm>(&app);
    keyed->SetClientSize(100, 100);
    keyed->SetBounds(150, 100, 100, 100);
    keyed->SetColor(clGray); // the key colour everywhere but on the box
    keyed->TransparentColor = true;
    keyed->TransparentColorValue = clGray;
    auto* solid = AddBox(keyed, "solid", Bounds(0, 0, 50, 100), RGB(255, 0, 0));
    keyed->Show();
    app.ProcessMessages();
    log.clear();
    screen.Click(160, 150); // on the box
    screen.AdvanceTime(1000);
    screen.Click(220, 150); // on a key pixel: through to the main form
    app.ProcessMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"solid:enter", "solid:downL(10,50)", "solid:click",
                                             "solid:upL(10,50)", "solid:leave"}));
    EXPECT_EQ(mainPresses, 1);
    (void)solid;
}

TEST_F(FormTest, DraggingByAControlFollowsTheCursorUntilAnyButtonIsReleased) {
    auto* background = AddBox(main, "background", Bounds(0, 0, 300, 200), RGB(90, 0, 0));
    bool dragging = false;
    TPoint start;
    int startLeft = 0, startTop = 0;
    background->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) {
        if (b != TMouseButton::mbLeft)
            return;
        dragging = true;
        start = GetCursorPos();
        startLeft = main->Left();
        startTop = main->Top();
    };
    background->OnMouseMove = [&](TObject*, TShiftState, int, int) {
        if (!dragging)
            return;
        TPoint p = GetCursorPos();
        main->SetLeft(startLeft + p.X - start.X);
        main->SetTop(startTop + p.Y - start.Y);
    };
    background->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
        dragging = false;
    };
    ShowMain();
    auto step = [&](auto inject) {
        inject();
        app.ProcessMessages();
    };
    step([&] { screen.MouseDown(110, 60); });
    step([&] { screen.MouseMove(160, 90); });
    EXPECT_EQ((TPoint{main->Left(), main->Top()}), (TPoint{150, 80}));
    // Far beyond the screen's left edge, faster than the window could follow.
    step([&] { screen.MouseMove(-3000, 95); });
    EXPECT_EQ((TPoint{main->Left(), main->Top()}), (TPoint{-3010, 85}));
    EXPECT_EQ(main->Window()->Position(), (TPoint{-3010, 85}));
    // Releasing the right button ends the drag while the left one is still down.
    step([&] { screen.MouseDown(-3000, 95, TMouseButton::mbRight); });
    step([&] { screen.MouseUp(-3000, 95, TMouseButton::mbRight); });
    step([&] { screen.MouseMove(-2900, 95); });
    EXPECT_EQ(main->Left(), -3010);
    step([&] { screen.MouseUp(-2900, 95); });
    EXPECT_EQ(main->CaptureControl(), nullptr);
}

TEST_F(FormTest, CentredWordWrappedLabelPutsEachLineInTheMiddleOverTheBackground) {
    auto* label = new TLabel(main);
    label->SetParent(main);
    label->SetBounds(24, 76, 181, 57);
    label->Alignment = taCenter;
    label->WordWrap = true;
    label->Transparent = true;
    label->Font()->SetName("Comic Sans MS");
    label->Font()->SetHeight(-12);
    label->Font()->SetStyle(fsBold);
    label->Font()->SetColor(clYellow);
    label->SetCaption("Ez már kész, keresni kellene egy nehezebb játékot...");
    ShowMain();
    TPixelView pixels = main->SurfacePixels();
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
