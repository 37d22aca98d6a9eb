// Forms: placement, OnShow before the window appears, ownership, title, the colour key.
#include "tests/toolkit/toolkit_fixture.h"

namespace zorbalin {
namespace {

using FormTest = ToolkitTest;

TEST_F(FormTest, DialogIsCentredOverTheMainFormByOuterSizesTruncatingTowardZero) {
  main->SetClientSize(670, 480);
  main->SetBounds(10, 10, 670, 480);
  ShowMain();
  auto* dialog = TForm::Create<TForm>(&app);
  dialog->SetBorderStyle(TFormBorderStyle::bsDialog);
  dialog->SetClientSize(218, 112);  // outer 224 x 137 with the headless frame
  dialog->Position = TPosition::poMainFormCenter;
  dialog->Show();
  EXPECT_EQ(dialog->Width(), 224);
  EXPECT_EQ(dialog->Height(), 137);
  EXPECT_EQ(dialog->Left(), 10 + (670 - 224) / 2);
  EXPECT_EQ(dialog->Top(), 10 + 171);  // 343 / 2 rounds toward zero
  EXPECT_EQ(dialog->Window()->Position(), (TPoint{dialog->Left(), dialog->Top()}));

  auto* wide = TForm::Create<TForm>(&app);
  wide->SetClientSize(675, 100);  // wider than the main form by an odd number
  wide->Position = TPosition::poMainFormCenter;
  wide->Show();
  EXPECT_EQ(wide->Left(), 10 - 2);  // -5 / 2 is -2, not -3
}

TEST_F(FormTest, OnShowPlacesTheWindowBeforeItIsEverSeen) {
  bool windowExistedInOnShow = true;
  main->OnShow = [&](TObject*) {
    windowExistedInOnShow = main->Window() != nullptr;
    main->SetLeft(-2000);  // off the screen is allowed
    main->SetTop(30);
  };
  ShowMain();
  EXPECT_FALSE(windowExistedInOnShow);
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
  keyed->SetColor(clGray);  // the key colour everywhere but on the box
  keyed->TransparentColor = true;
  keyed->TransparentColorValue = clGray;
  auto* solid = AddBox(keyed, "solid", Bounds(0, 0, 50, 100), RGB(255, 0, 0));
  keyed->Show();
  app.ProcessMessages();
  log.clear();
  screen.Click(160, 150);  // on the box
  screen.AdvanceTime(1000);
  screen.Click(220, 150);  // on a key pixel: through to the main form
  app.ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"solid:enter", "solid:downL(10,50)", "solid:click",
                                           "solid:upL(10,50)", "solid:leave"}));
  EXPECT_EQ(mainPresses, 1);
  (void)solid;
}

}  // namespace
}  // namespace zorbalin
