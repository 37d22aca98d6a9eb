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
    explicit TTestDialog(TComponent* owner) : TForm(owner) {
        SetBorderStyle(TFormBorderStyle::bsDialog);
        SetCaption("Beállítások");
        SetClientSize(218, 112);
        Position = TPosition::poMainFormCenter;
        Ok = AddButton("OK", 28, mrOk);
        Ok->Default = true;
        Cancel = AddButton("Mégsem", 116, mrCancel);
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
    TButton* AddButton(const std::string& caption, int left, TModalResult result) {
        auto* b = new TButton(this);
        b->SetParent(this);
        b->SetCaption(caption);
        b->SetBounds(left, 72, 75, 25);
        b->ModalResult = result;
        b->TabOrder = left == 28 ? 0 : 1;
        return b;
    }
};

class KeyboardModalTest : public ToolkitTest {
  protected:
    void SetUp() override {
        box = AddBox(main, "box", Bounds(10, 10, 40, 40), RGB(255, 0, 0));
        list = new TActionList(main);
        aMinimize = new TAction(main);
        aMinimize->SetHint("Tálcára vele...");
        aMinimize->ShortCut = ShortCut(vk::Escape, 0);
        aMinimize->OnExecute = [this](TObject*) {
            ++minimizeRuns;
            app.Minimize();
        };
        aMinimize->SetActionList(list);
        ShowMain();
        log.clear();
    }

    TModalResult RunDialog(TTestDialog** out = nullptr) {
        auto* dialog = TForm::Create<TTestDialog>(&app);
        if (out)
            *out = dialog;
        TModalResult result = dialog->ShowModal();
        delete dialog;
        return result;
    }

    TLoggingBox* box = nullptr;
    TActionList* list = nullptr;
    TAction* aMinimize = nullptr;
    int minimizeRuns = 0;
};

TEST_F(KeyboardModalTest, EscRunsTheActionOfTheActiveFormOnlyAndRestoringBringsItBack) {
    screen.KeyDown(vk::Escape);
    app.ProcessMessages();
    EXPECT_EQ(minimizeRuns, 1);
    EXPECT_TRUE(screen.AppMinimized());
    EXPECT_TRUE(app.Minimized());
    // Minimised: no window takes the mouse or the keys.
    ClickAt(20, 20);
    screen.KeyDown(vk::Escape);
    app.ProcessMessages();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(minimizeRuns, 1);

    screen.RestoreFromTaskbar();
    app.ProcessMessages();
    EXPECT_FALSE(app.Minimized());
    EXPECT_FALSE(screen.AppMinimized());
    EXPECT_EQ(main->Left(), 100);
    EXPECT_TRUE(main->Active());
}

TEST_F(KeyboardModalTest, EveryShortcutOfAnActionRunsItAndOtherKeysReachTheFormsKeyDown) {
    struct TKeyForm : TForm {
        using TForm::TForm;
        void KeyDown(uint16_t& key, TShiftState) override {
            Keys.push_back(key);
            key = 0;
        }
        std::vector<uint16_t> Keys;
    };
    auto* form = TForm::Create<TKeyForm>(&app);
    form->SetClientSize(50, 50);
    auto* deal = new TAction(form);
    int deals = 0;
    deal->ShortCut = ShortCut('N', ssCtrl);
    deal->SecondaryShortCuts = {ShortCut(vk::F2, 0)};
    deal->OnExecute = [&](TObject*) { ++deals; };
    deal->SetActionList(new TActionList(form));
    form->Show();
    for (uint16_t key : {uint16_t('N'), vk::F2, vk::Left})
        screen.KeyDown(key, key == 'N' ? ssCtrl : 0);
    screen.KeyDown('N', ssCtrl | ssShift); // not the same shortcut
    app.ProcessMessages();
    deal->SetEnabled(false);
    screen.KeyDown(vk::F2);
    app.ProcessMessages();
    EXPECT_EQ(deals, 2);
    EXPECT_EQ(form->Keys, (std::vector<uint16_t>{vk::Left, 'N', vk::F2}));
    EXPECT_EQ(ShortCutToText(ShortCut('Z', ssCtrl | ssShift)), "Ctrl+Shift+Z");
    EXPECT_EQ(ShortCutToText(ShortCut(vk::F10, ssShift)), "Shift+F10");
    EXPECT_EQ(ShortCutToText(ShortCut(vk::Escape, 0)), "Esc");
    delete form;
}

TEST_F(KeyboardModalTest, EscInADialogIsItsCancelButtonAndNeverTheMainFormsShortcut) {
    Script({[&] { screen.KeyDown(vk::Escape); }});
    EXPECT_EQ(RunDialog(), mrCancel);
    EXPECT_EQ(minimizeRuns, 0);
    EXPECT_FALSE(app.Minimized());
    EXPECT_TRUE(main->Active());
}

TEST_F(KeyboardModalTest, EscInADialogWithoutCancelButtonDoesNothing) {
    TTestDialog* dialog = nullptr;
    bool openAfterEsc = false;
    Script({[&] {
                dialog->Cancel->Cancel = false;
                screen.KeyDown(vk::Escape);
            },
            [&] {
                openAfterEsc = dialog->Visible() && dialog->ModalResult() == mrNone;
                screen.RequestClose(dialog->Window());
            }});
    EXPECT_EQ(RunDialog(&dialog), mrCancel);
    EXPECT_TRUE(openAfterEsc);
    EXPECT_EQ(minimizeRuns, 0);
}

TEST_F(KeyboardModalTest, EnterPressesTheDefaultButtonAndTheCloseBoxCancels) {
    Script({[&] { screen.KeyDown(vk::Return); }});
    EXPECT_EQ(RunDialog(), mrOk);
    TTestDialog* dialog = nullptr;
    Script({[&] { screen.RequestClose(dialog->Window()); }});
    EXPECT_EQ(RunDialog(&dialog), mrCancel);
}

TEST_F(KeyboardModalTest, ClickingTheDialogButtonsEndsTheRunWithTheirResult) {
    TTestDialog* dialog = nullptr;
    auto clickButton = [&](TButton* b) {
        TPoint p = b->ClientToScreen({10, 10});
        screen.Click(p.X, p.Y);
    };
    Script({[&] { clickButton(dialog->Cancel); }});
    EXPECT_EQ(RunDialog(&dialog), mrCancel);
    Script({[&] { clickButton(dialog->Ok); }});
    EXPECT_EQ(RunDialog(&dialog), mrOk);
}

TEST_F(KeyboardModalTest, ArrowKeysMoveTheRadioSelectionAndTabWalksTheFocus) {
    TTestDialog* dialog = nullptr;
    int selected = -1;
    Script({[&] {
                dialog->Group->SetItemIndex(2);
                dialog->Group->SetFocus();
                screen.KeyDown(vk::Left);
                screen.KeyDown(vk::Left);
                screen.KeyDown(vk::Left); // wraps round to the last item
            },
            [&] {
                selected = dialog->Group->ItemIndex();
                screen.KeyDown(vk::Tab); // from the group (tab order 2) to OK (0)
                screen.KeyDown(vk::Tab); // to Mégsem
                screen.KeyDown(vk::Space);
            }});
    EXPECT_EQ(RunDialog(&dialog), mrCancel);
    EXPECT_EQ(selected, 2);
}

TEST_F(KeyboardModalTest, ClickingARadioItemSelectsItAndFiresOnClickOnce) {
    TTestDialog* dialog = nullptr;
    int clicks = 0, selected = -1;
    Script({[&] {
                dialog->Group->OnClick = [&](TObject*) { ++clicks; };
                TRect item = dialog->Group->ItemRect(2);
                TPoint p = dialog->Group->ClientToScreen({item.Left + 3, item.Top + 3});
                screen.Click(p.X, p.Y);
                screen.AdvanceTime(1000);
                screen.Click(p.X, p.Y); // the same item again: no change, no event
            },
            [&] {
                selected = dialog->Group->ItemIndex();
                screen.KeyDown(vk::Return);
            }});
    EXPECT_EQ(RunDialog(&dialog), mrOk);
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(clicks, 1);
}

TEST_F(KeyboardModalTest, AModalFormBlocksTheMainFormButKeepsItPainted) {
    TTestDialog* dialog = nullptr;
    bool mainClosed = false;
    main->OnClose = [&](TObject*, TCloseAction&) { mainClosed = true; };
    Script({[&] {
                ClickAt(20, 20); // on the main form, outside the dialog
                screen.RequestClose(main->Window());
                box->SetColor(clBlue); // something the main form must repaint
                box->Invalidate();
            },
            [&] { screen.KeyDown(vk::Return); }});
    // The dialog is centred over the main form; its box lies elsewhere.
    EXPECT_EQ(RunDialog(&dialog), mrOk);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(mainClosed);
    EXPECT_FALSE(app.Terminated());
    EXPECT_GT(box->Paints, 1);
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
    box->OnClick = [&](TObject*) {
        ++clicks;
        if (clicks == 1)
            throw Exception("Cannot open file \"/a/1.bmp\". No such file or directory");
        throw std::runtime_error("Second.");
    };
    ClickAt(20, 20);
    app.ProcessMessages();
    screen.AdvanceTime(1000);
    ClickAt(20, 20);
    app.ProcessMessages();
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(screen.MessageBoxes().size(), 2u);
    EXPECT_EQ(screen.MessageBoxes()[0].Title, "ZorbaLin");
    EXPECT_EQ(screen.MessageBoxes()[0].Text,
              "Cannot open file \"/a/1.bmp\". No such file or directory.");
    EXPECT_EQ(screen.MessageBoxes()[1].Text, "Second.");
    // The box is gone and the main form has the keys again.
    EXPECT_TRUE(main->Active());
    EXPECT_EQ(app.ModalForm(), nullptr);
}

TEST_F(KeyboardModalTest, ErrorBoxOfAWindowDraggedOffTheScreenStaysOnTheScreen) {
    main->SetLeft(-2000);
    screen.AutoAnswerMessageBoxes = false;
    TRect shownAt;
    Script({[&] {
        auto* box = static_cast<THeadlessWindow*>(screen.MessageBoxes().at(0).Window);
        shownAt = box->OuterRect();
        screen.KeyDown(vk::Escape); // an OK-only box takes Esc as OK
    }});
    EXPECT_EQ(app.MessageBox("Bitmap image is not valid.", "ZorbaLin", MB_OK | MB_ICONSTOP), IDOK);
    EXPECT_EQ(shownAt.Left, 0);
    EXPECT_GE(shownAt.Top, 0);
    EXPECT_LE(shownAt.Right, 1280);
}

TEST_F(KeyboardModalTest, CloseRefusedByAnErrorKeepsTheMainFormOpenUntilTheNextTry) {
    int tries = 0;
    main->OnClose = [&](TObject*, TCloseAction&) {
        if (++tries == 1)
            throw Exception("Unable to write to /nowhere/ZorbaLin.ini");
    };
    screen.RequestClose(main->Window());
    app.ProcessMessages();
    ASSERT_EQ(screen.MessageBoxes().size(), 1u);
    EXPECT_EQ(screen.MessageBoxes()[0].Text, "Unable to write to /nowhere/ZorbaLin.ini.");
    EXPECT_FALSE(app.Terminated());
    EXPECT_TRUE(main->Visible());
    main->Close();
    EXPECT_EQ(tries, 2);
    EXPECT_TRUE(app.Terminated());
}

TEST_F(KeyboardModalTest, AFormThatFreesItselfIsGoneAfterItsModalRun) {
    bool destroyed = false;
    struct TSelfFreeing : TForm {
        TSelfFreeing(TComponent* owner, bool& flag) : TForm(owner), Flag(flag) {
            OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caFree; };
        }
        ~TSelfFreeing() override { Flag = true; }
        bool& Flag;
    };
    auto* about = TForm::Create<TSelfFreeing>(&app, destroyed);
    about->SetClientSize(50, 50);
    Script({[&] { screen.RequestClose(about->Window()); }});
    about->ShowModal();
    EXPECT_FALSE(destroyed); // not while the handler that ran it is still going
    app.ProcessMessages();
    EXPECT_TRUE(destroyed);
}

} // namespace
} // namespace zorbalin
