// The toolkit's popup menu, on the headless screen: opening by a right click, keyboard and mouse
// choice, and every way of dismissing it.
#include "toolkit/action.h"
#include "toolkit/popup_menu.h"
#include "toolkit_fixture.h"

#include <functional>
#include <memory>

namespace zorbalin {
namespace {

class PopupMenuTest : public ToolkitTest {
  protected:
    PopupMenuTest() {
        FBox = AddBox(FMain, "Box", {20, 20, 120, 120}, RGB(0, 0, 255));
        FMenu = new TPopupMenu(FMain);
        for (const char* name : {"First", "Second", "-", "Third"}) {
            TMenuItem* item =
                std::string(name) == "-"
                    ? FMenu->AddLine()
                    : FMenu->Add(name, std::string("Ctrl+") + name[0], [this, name](TObject*) {
                          // The menu has gone before its command runs.
                          FChosen.push_back(name);
                          EXPECT_EQ(FMenu->Window(), nullptr);
                      });
            FItems.push_back(item);
        }
        FMain->PopupMenu = FMenu;
        ShowMain();
    }

    // A right click on the main form at a client point: opens the menu and runs it.
    void RightClick(int X, int Y) {
        Press(X, Y, TMouseButton::mbRight);
        Release(X, Y, TMouseButton::mbRight);
        FApp.ProcessMessages();
    }

    TLoggingBox* FBox;
    TPopupMenu* FMenu;
    std::vector<TMenuItem*> FItems;
    std::vector<std::string> FChosen;
};

TEST_F(PopupMenuTest, KeysMoveOverEnabledCommandsAndChoose) {
    FItems[1]->Enabled = false;
    TRect shown;
    Script({[&] {
                // The menu opens at the pointer, a window of its own, and takes the keys.
                ASSERT_NE(FMenu->Window(), nullptr);
                shown = FMenu->Window()->BoundsRect();
                FScreen.KeyDown(vk::kDown); // First
                FScreen.KeyDown(vk::kDown); // Second is disabled, the line is skipped: Third
                FScreen.KeyDown(vk::kDown); // round the end: First
                FScreen.KeyDown(vk::kUp);   // Third
            },
            [&] { FScreen.KeyDown(vk::kReturn); }});
    RightClick(50, 60); // on the box, which has no menu of its own: the form's
    EXPECT_EQ(FChosen, std::vector<std::string>{"Third"});
    TPoint corner = At(50, 60);
    EXPECT_EQ(shown.Left, corner.X);
    EXPECT_EQ(shown.Top, corner.Y);
    EXPECT_GT(shown.Width(), 60);
    EXPECT_EQ(FScreen.Windows().size(), 1u); // the menu's window is gone
}

TEST_F(PopupMenuTest, AnActionsItemShowsItsKeyRunsItAndIsFoundByIt) {
    TAction undo(nullptr), other(nullptr);
    undo.ShortCut = ShortCut('Z', kSsCtrl);
    int runs = 0;
    undo.OnExecute = [&runs](TObject*) { ++runs; };
    TMenuItem* item = FMenu->Add("Undo", &undo);
    FMenu->Add("Fourth", "", nullptr); // after it: the item is found by its action, not its place
    EXPECT_EQ(item->ShortCutText, "Ctrl+Z");
    EXPECT_EQ(FMenu->ItemOf(&undo), item);
    EXPECT_EQ(FMenu->ItemOf(&other), nullptr);
    item->OnClick(item);
    EXPECT_EQ(runs, 1);
}

TEST_F(PopupMenuTest, EscAPressElsewhereOrAnotherProgramDismissIt) {
    Script({[&] { FScreen.KeyDown(vk::kEscape); }});
    RightClick(200, 150);
    Script({[&] { Press(30, 30); }});
    RightClick(200, 150);
    Release(30, 30);
    FApp.ProcessMessages();
    // The press that closed the menu reached nothing behind it.
    EXPECT_EQ(std::count(FLog.begin(), FLog.end(), "Box:downL(10,10)"), 0);
    Script({[&] { FScreen.FocusOtherProgram(); }});
    RightClick(200, 150);
    EXPECT_TRUE(FChosen.empty());
    EXPECT_EQ(FMenu->Window(), nullptr);

    // A click on a command chooses it; one on a disabled command does nothing.
    FItems[0]->Enabled = false;
    Script({[&] {
                TRect r = FMenu->Window()->BoundsRect();
                FScreen.Click(r.Left + 20, r.Top + 8); // First, disabled
            },
            [&] {
                TRect r = FMenu->Window()->BoundsRect();
                FScreen.MouseMove(r.Left + 20, r.Top + 28);
                FScreen.Click(r.Left + 20, r.Top + 28); // Second
            }});
    RightClick(200, 150);
    EXPECT_EQ(FChosen, std::vector<std::string>{"Second"});
}

TEST_F(PopupMenuTest, MenuStaysOnTheScreenAndARightReleaseDuringADragOpensNothing) {
    Script({[&] {
        TRect r = FMenu->Window()->BoundsRect();
        TRect s = FScreen.ScreenRect();
        EXPECT_EQ(r.Right, s.Right);
        EXPECT_EQ(r.Bottom, s.Bottom);
        FScreen.KeyDown(vk::kEscape);
    }});
    FMain->SetBounds(FScreen.ScreenRect().Right - 310, FScreen.ScreenRect().Bottom - 210, 300, 200);
    RightClick(295, 195);

    FScreen.OnIdle = nullptr;
    Press(50, 60);
    Press(50, 60, TMouseButton::mbRight);
    Release(50, 60, TMouseButton::mbRight);
    FApp.ProcessMessages(); // would stall in the menu's loop if one had opened
    Release(50, 60);
    FApp.ProcessMessages();
    EXPECT_EQ(FMenu->Window(), nullptr);
}

} // namespace
} // namespace zorbalin
