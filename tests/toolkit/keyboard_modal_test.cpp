// Keys, actions, modal loops, closing, the error box and minimising.
#include <functional>
#include <stdexcept>

#include "toolkit/action.h"
#include "toolkit/button.h"
#include "toolkit/exception.h"
#include "toolkit/radio_group.h"
#include "toolkit_fixture.h"

namespace zorbalin {
namespace {

// A dialog with "OK" (default, mrOk) and "Mégsem" (cancel, mrCancel) and a radio group.
class TTestDialog : public TForm {
  public:
    explicit TTestDialog(TComponent* Owner) : TForm(Owner) {
        SetBorderStyle(TFormBorderStyle::bsDialog);
        SetCaption("Beállítások");
        SetClientSize(218, 112);
        Position = TPosition::poMainFormCenter;
        Ok = AddButton("OK", 28, kMrOk);
        Ok->Default = true;
        Cancel = AddButton("Mégsem", 116, kMrCancel);
        Cancel->Cancel = true;
        Group = new TRadioGroup(this);
        Group->SetParent(this);
        Group->SetBounds(16, 12, 185, 45);
        Group->SetItems({"3", "4", "5"});
        Group->SetColumns(3);
        Group->TabOrder = 2;
    }
    TButton* Ok;
    TButton* Cancel;
    TRadioGroup* Group;

  private:
    TButton* AddButton(const std::string& Caption, int Left, TModalResult Result) {
        auto* b = new TButton(this);
        b->SetParent(this);
        b->SetCaption(Caption);
        b->SetBounds(Left, 72, 75, 25);
        b->ModalResult = Result;
        b->TabOrder = Left == 28 ? 0 : 1;
        return b;
    }
};

class KeyboardModalTest : public ToolkitTest {
  protected:
    void SetUp() override {
        FBox = AddBox(FMain, "box", Bounds(10, 10, 40, 40), RGB(255, 0, 0));
        FList = new TActionList(FMain);
        FAMinimize = new TAction(FMain);
        FAMinimize->SetHint("Tálcára vele...");
        FAMinimize->ShortCut = ShortCut(vk::kEscape, 0);
        FAMinimize->OnExecute = [this](TObject*) {
            ++FMinimizeRuns;
            FApp.Minimize();
        };
        FAMinimize->SetActionList(FList);
        ShowMain();
        FLog.clear();
    }

    TModalResult RunDialog(TTestDialog** Out = nullptr) {
        auto* dialog = TForm::Create<TTestDialog>(&FApp);
        if (Out)
            *Out = dialog;
        TModalResult result = dialog->ShowModal();
        delete dialog;
        return result;
    }

    TLoggingBox* FBox = nullptr;
    TActionList* FList = nullptr;
    TAction* FAMinimize = nullptr;
    int FMinimizeRuns = 0;
};

TEST_F(KeyboardModalTest, EscRunsTheActionOfTheActiveFormOnlyAndRestoringBringsItBack) {
    FScreen.KeyDown(vk::kEscape);
    FApp.ProcessMessages();
    EXPECT_EQ(FMinimizeRuns, 1);
    EXPECT_TRUE(FScreen.AppMinimized());
    EXPECT_TRUE(FApp.Minimized());
    // Minimised: no window takes the mouse or the keys.
    ClickAt(20, 20);
    FScreen.KeyDown(vk::kEscape);
    FApp.ProcessMessages();
    EXPECT_TRUE(FLog.empty());
    EXPECT_EQ(FMinimizeRuns, 1);

    FScreen.RestoreFromTaskbar();
    FApp.ProcessMessages();
    EXPECT_FALSE(FApp.Minimized());
    EXPECT_FALSE(FScreen.AppMinimized());
    EXPECT_EQ(FMain->Left(), 100);
    EXPECT_TRUE(FMain->Active());
}

TEST_F(KeyboardModalTest, EveryShortcutOfAnActionRunsItAndOtherKeysReachTheFormsKeyDown) {
    struct TKeyForm : TForm {
        using TForm::TForm;
        void KeyDown(uint16_t& Key, TShiftState) override {
            Keys.push_back(Key);
            Key = 0;
        }
        std::vector<uint16_t> Keys;
    };
    auto* form = TForm::Create<TKeyForm>(&FApp);
    form->SetClientSize(50, 50);
    auto* deal = new TAction(form);
    int deals = 0;
    deal->ShortCut = ShortCut('N', kSsCtrl);
    deal->SecondaryShortCuts = {ShortCut(vk::F2, 0)};
    deal->OnExecute = [&](TObject*) { ++deals; };
    deal->SetActionList(new TActionList(form));
    form->Show();
    for (uint16_t key : {uint16_t('N'), vk::F2, vk::kLeft})
        FScreen.KeyDown(key, key == 'N' ? kSsCtrl : 0);
    FScreen.KeyDown('N', kSsCtrl | kSsShift); // not the same shortcut
    FApp.ProcessMessages();
    deal->SetEnabled(false);
    FScreen.KeyDown(vk::F2);
    FApp.ProcessMessages();
    EXPECT_EQ(deals, 2);
    EXPECT_EQ(form->Keys, (std::vector<uint16_t>{vk::kLeft, 'N', vk::F2}));
    EXPECT_EQ(ShortCutToText(ShortCut('Z', kSsCtrl | kSsShift)), "Ctrl+Shift+Z");
    EXPECT_EQ(ShortCutToText(ShortCut(vk::F10, kSsShift)), "Shift+F10");
    EXPECT_EQ(ShortCutToText(ShortCut(vk::kEscape, 0)), "Esc");
    delete form;
}

TEST_F(KeyboardModalTest, EscInADialogIsItsCancelButtonAndNeverTheMainFormsShortcut) {
    Script({[&] { FScreen.KeyDown(vk::kEscape); }});
    EXPECT_EQ(RunDialog(), kMrCancel);
    EXPECT_EQ(FMinimizeRuns, 0);
    EXPECT_FALSE(FApp.Minimized());
    EXPECT_TRUE(FMain->Active());
}

TEST_F(KeyboardModalTest, EscInADialogWithoutCancelButtonDoesNothing) {
    TTestDialog* dialog = nullptr;
    bool openAfterEsc = false;
    Script({[&] {
                dialog->Cancel->Cancel = false;
                FScreen.KeyDown(vk::kEscape);
            },
            [&] {
                openAfterEsc = dialog->Visible() && dialog->ModalResult() == kMrNone;
                FScreen.RequestClose(dialog->Window());
            }});
    EXPECT_EQ(RunDialog(&dialog), kMrCancel);
    EXPECT_TRUE(openAfterEsc);
    EXPECT_EQ(FMinimizeRuns, 0);
}

TEST_F(KeyboardModalTest, EnterPressesTheDefaultButtonAndTheCloseBoxCancels) {
    Script({[&] { FScreen.KeyDown(vk::kReturn); }});
    EXPECT_EQ(RunDialog(), kMrOk);
    TTestDialog* dialog = nullptr;
    Script({[&] { FScreen.RequestClose(dialog->Window()); }});
    EXPECT_EQ(RunDialog(&dialog), kMrCancel);
}

TEST_F(KeyboardModalTest, ClickingTheDialogButtonsEndsTheRunWithTheirResult) {
    TTestDialog* dialog = nullptr;
    auto clickButton = [&](TButton* B) {
        TPoint p = B->ClientToScreen({10, 10});
        FScreen.Click(p.X, p.Y);
    };
    Script({[&] { clickButton(dialog->Cancel); }});
    EXPECT_EQ(RunDialog(&dialog), kMrCancel);
    Script({[&] { clickButton(dialog->Ok); }});
    EXPECT_EQ(RunDialog(&dialog), kMrOk);
}

TEST_F(KeyboardModalTest, ArrowKeysMoveTheRadioSelectionAndTabWalksTheFocus) {
    TTestDialog* dialog = nullptr;
    int selected = -1;
    Script({[&] {
                dialog->Group->SetItemIndex(2);
                dialog->Group->SetFocus();
                FScreen.KeyDown(vk::kLeft);
                FScreen.KeyDown(vk::kLeft);
                FScreen.KeyDown(vk::kLeft); // wraps round to the last item
            },
            [&] {
                selected = dialog->Group->ItemIndex();
                FScreen.KeyDown(vk::kTab); // from the group (tab order 2) to OK (0)
                FScreen.KeyDown(vk::kTab); // to Mégsem
                FScreen.KeyDown(vk::kSpace);
            }});
    EXPECT_EQ(RunDialog(&dialog), kMrCancel);
    EXPECT_EQ(selected, 2);
}

TEST_F(KeyboardModalTest, ClickingARadioItemSelectsItAndFiresOnClickOnce) {
    TTestDialog* dialog = nullptr;
    int clicks = 0, selected = -1;
    Script({[&] {
                dialog->Group->OnClick = [&](TObject*) { ++clicks; };
                TRect item = dialog->Group->ItemRect(2);
                TPoint p = dialog->Group->ClientToScreen({item.Left + 3, item.Top + 3});
                FScreen.Click(p.X, p.Y);
                FScreen.AdvanceTime(1000);
                FScreen.Click(p.X, p.Y); // the same item again: no change, no event
            },
            [&] {
                selected = dialog->Group->ItemIndex();
                FScreen.KeyDown(vk::kReturn);
            }});
    EXPECT_EQ(RunDialog(&dialog), kMrOk);
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(clicks, 1);
}

TEST_F(KeyboardModalTest, AModalFormBlocksTheMainFormButKeepsItPainted) {
    TTestDialog* dialog = nullptr;
    bool mainClosed = false;
    FMain->OnClose = [&](TObject*, TCloseAction&) { mainClosed = true; };
    Script({[&] {
                ClickAt(20, 20); // on the main form, outside the dialog
                FScreen.RequestClose(FMain->Window());
                FBox->SetColor(kClBlue); // something the main form must repaint
                FBox->Invalidate();
            },
            [&] { FScreen.KeyDown(vk::kReturn); }});
    // The dialog is centred over the main form; its box lies elsewhere.
    EXPECT_EQ(RunDialog(&dialog), kMrOk);
    EXPECT_TRUE(FLog.empty());
    EXPECT_FALSE(mainClosed);
    EXPECT_FALSE(FApp.Terminated());
    EXPECT_GT(FBox->Paints, 1);
}

TEST_F(KeyboardModalTest, ErrorBoxAddsAFullStopOnlyWhenMissing) {
    EXPECT_EQ(ErrorBoxText("Bitmap image is not valid"), "Bitmap image is not valid.");
    EXPECT_EQ(ErrorBoxText("Unable to write to /x/ZorbaLin.ini."),
              "Unable to write to /x/ZorbaLin.ini.");
    EXPECT_EQ(ErrorBoxText("Cannot open file \"/a/1.bmp\". No such file or directory"),
              "Cannot open file \"/a/1.bmp\". No such file or directory.");
}

TEST_F(KeyboardModalTest, ExceptionFromAHandlerIsShownAndTheLoopGoesOn) {
    int clicks = 0;
    FBox->OnClick = [&](TObject*) {
        ++clicks;
        if (clicks == 1)
            throw Exception("Cannot open file \"/a/1.bmp\". No such file or directory");
        throw std::runtime_error("Second.");
    };
    ClickAt(20, 20);
    FApp.ProcessMessages();
    FScreen.AdvanceTime(1000);
    ClickAt(20, 20);
    FApp.ProcessMessages();
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(FScreen.MessageBoxes().size(), 2u);
    EXPECT_EQ(FScreen.MessageBoxes()[0].Title, "ZorbaLin");
    EXPECT_EQ(FScreen.MessageBoxes()[0].Text,
              "Cannot open file \"/a/1.bmp\". No such file or directory.");
    EXPECT_EQ(FScreen.MessageBoxes()[1].Text, "Second.");
    // The box is gone and the main form has the keys again.
    EXPECT_TRUE(FMain->Active());
    EXPECT_EQ(FApp.ModalForm(), nullptr);
}

TEST_F(KeyboardModalTest, ErrorBoxOfAWindowDraggedOffTheScreenStaysOnTheScreen) {
    FMain->SetLeft(-2000);
    FScreen.AutoAnswerMessageBoxes = false;
    TRect shownAt;
    Script({[&] {
        auto* box = static_cast<THeadlessWindow*>(FScreen.MessageBoxes().at(0).Window);
        shownAt = box->OuterRect();
        FScreen.KeyDown(vk::kEscape); // an OK-only box takes Esc as OK
    }});
    EXPECT_EQ(FApp.MessageBox("Bitmap image is not valid.", "ZorbaLin", MB_OK | MB_ICONSTOP), IDOK);
    EXPECT_EQ(shownAt.Left, 0);
    EXPECT_GE(shownAt.Top, 0);
    EXPECT_LE(shownAt.Right, 1280);
}

TEST_F(KeyboardModalTest, BoxOfALongPathIsWrappedWithinTwoThirdsOfTheScreen) {
    FScreen.AutoAnswerMessageBoxes = false;
    for (std::size_t length : {300u, 3000u, 200000u}) {
        FScreen.MessageBoxes().clear();
        const std::string text =
            "Unable to write to /" + std::string(length, 'x') + "/ZorbaLin.ini";
        TRect shownAt;
        Script({[&] {
            auto* box = static_cast<THeadlessWindow*>(FScreen.MessageBoxes().at(0).Window);
            shownAt = box->OuterRect();
            FScreen.KeyDown(vk::kReturn);
        }});
        EXPECT_EQ(FApp.MessageBox(text, "ZorbaLin", MB_OK | MB_ICONSTOP), IDOK) << length;
        EXPECT_LE(shownAt.Width(), 1280 * 2 / 3) << length;
        EXPECT_GE(shownAt.Left, 0) << length;
        EXPECT_GE(shownAt.Top, 0) << length;
        EXPECT_LE(shownAt.Bottom, 1024) << length;
    }
}

TEST_F(KeyboardModalTest, CloseRefusedByAnErrorKeepsTheMainFormOpenUntilTheNextTry) {
    int tries = 0;
    FMain->OnClose = [&](TObject*, TCloseAction&) {
        if (++tries == 1)
            throw Exception("Unable to write to /nowhere/ZorbaLin.ini");
    };
    FScreen.RequestClose(FMain->Window());
    FApp.ProcessMessages();
    ASSERT_EQ(FScreen.MessageBoxes().size(), 1u);
    EXPECT_EQ(FScreen.MessageBoxes()[0].Text, "Unable to write to /nowhere/ZorbaLin.ini.");
    EXPECT_FALSE(FApp.Terminated());
    EXPECT_TRUE(FMain->Visible());
    FMain->Close();
    EXPECT_EQ(tries, 2);
    EXPECT_TRUE(FApp.Terminated());
}

TEST_F(KeyboardModalTest, AFormThatFreesItselfIsGoneAfterItsModalRun) {
    bool destroyed = false;
    struct TSelfFreeing : TForm {
        TSelfFreeing(TComponent* Owner, bool& Flag) : TForm(Owner), Flag(Flag) {
            OnClose = [](TObject*, TCloseAction& Action) { Action = TCloseAction::caFree; };
        }
        ~TSelfFreeing() override { Flag = true; }
        bool& Flag;
    };
    auto* about = TForm::Create<TSelfFreeing>(&FApp, destroyed);
    about->SetClientSize(50, 50);
    Script({[&] { FScreen.RequestClose(about->Window()); }});
    about->ShowModal();
    EXPECT_FALSE(destroyed); // not while the handler that ran it is still going
    FApp.ProcessMessages();
    EXPECT_TRUE(destroyed);
}

} // namespace
} // namespace zorbalin
