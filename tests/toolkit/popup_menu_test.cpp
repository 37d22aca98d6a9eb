// The toolkit's popup menu, on the headless screen: opening by a right click, keyboard and mouse
// choice, and every way of dismissing it.
#include "toolkit/popup_menu.h"
#include "toolkit_fixture.h"

#include <functional>
#include <memory>

namespace zorbalin {
namespace {

class PopupMenuTest : public ToolkitTest {
  protected:
    PopupMenuTest() {
        box = AddBox(main, "Box", {20, 20, 120, 120}, RGB(0, 0, 255));
        menu = new TPopupMenu(main);
        for (const char* name : {"First", "Second", "-", "Third"}) {
            TMenuItem* item =
                std::string(name) == "-"
                    ? menu->AddLine()
                    : menu->Add(name, std::string("Ctrl+") + name[0], [this, name](TObject*) {
                          // The menu has gone before its command runs.
                          chosen.push_back(name);
                          EXPECT_EQ(menu->Window(), nullptr);
                      });
            items.push_back(item);
        }
        main->PopupMenu = menu;
        ShowMain();
    }

    // A right click on the main form at a client point: opens the menu and runs it.
    void RightClick(int x, int y) {
        Press(x, y, TMouseButton::mbRight);
        Release(x, y, TMouseButton::mbRight);
        app.ProcessMessages();
    }

    TLoggingBox* box;
    TPopupMenu* menu;
    std::vector<TMenuItem*> items;
    std::vector<std::string> chosen;
};

TEST_F(PopupMenuTest, KeysMoveOverEnabledCommandsAndChoose) {
    items[1]->Enabled = false;
    TRect shown;
    Script({[&] {
                // The menu opens at the pointer, a window of its own, and takes the keys.
                ASSERT_NE(menu->Window(), nullptr);
                shown = menu->Window()->BoundsRect();
                screen.KeyDown(vk::Down); // First
                screen.KeyDown(vk::Down); // Second is disabled, the line is skipped: Third
                screen.KeyDown(vk::Down); // round the end: First
                screen.KeyDown(vk::Up);   // Third
            },
            [&] { screen.KeyDown(vk::Return); }});
    RightClick(50, 60); // on the box, which has no menu of its own: the form's
    EXPECT_EQ(chosen, std::vector<std::string>{"Third"});
    TPoint corner = At(50, 60);
    EXPECT_EQ(shown.Left, corner.X);
    EXPECT_EQ(shown.Top, corner.Y);
    EXPECT_GT(shown.Width(), 60);
    EXPECT_EQ(screen.Windows().size(), 1u); // the menu's window is gone
}

TEST_F(PopupMenuTest, EscAPressElsewhereOrAnotherProgramDismissIt) {
    Script({[&] { screen.KeyDown(vk::Escape); }});
    RightClick(200, 150);
    Script({[&] { Press(30, 30); }});
    RightClick(200, 150);
    Release(30, 30);
    app.ProcessMessages();
    // The press that closed the menu reached nothing behind it.
    EXPECT_EQ(std::count(log.begin(), log.end(), "Box:downL(10,10)"), 0);
    Script({[&] { screen.FocusOtherProgram(); }});
    RightClick(200, 150);
    EXPECT_TRUE(chosen.empty());
    EXPECT_EQ(menu->Window(), nullptr);

    // A click on a command chooses it; one on a disabled command does nothing.
    items[0]->Enabled = false;
    Script({[&] {
                TRect r = menu->Window()->BoundsRect();
                screen.Click(r.Left + 20, r.Top + 8); // First, disabled
            },
            [&] {
                TRect r = menu->Window()->BoundsRect();
                screen.MouseMove(r.Left + 20, r.Top + 28);
                screen.Click(r.Left + 20, r.Top + 28); // Second
            }});
    RightClick(200, 150);
    EXPECT_EQ(chosen, std::vector<std::string>{"Second"});
}

TEST_F(PopupMenuTest, MenuStaysOnTheScreenAndARightReleaseDuringADragOpensNothing) {
    Script({[&] {
        TRect r = menu->Window()->BoundsRect();
        TRect s = screen.ScreenRect();
        EXPECT_EQ(r.Right, s.Right);
        EXPECT_EQ(r.Bottom, s.Bottom);
        screen.KeyDown(vk::Escape);
    }});
    main->SetBounds(screen.ScreenRect().Right - 310, screen.ScreenRect().Bottom - 210, 300, 200);
    RightClick(295, 195);

    screen.OnIdle = nullptr;
    Press(50, 60);
    Press(50, 60, TMouseButton::mbRight);
    Release(50, 60, TMouseButton::mbRight);
    app.ProcessMessages(); // would stall in the menu's loop if one had opened
    Release(50, 60);
    app.ProcessMessages();
    EXPECT_EQ(menu->Window(), nullptr);
}

} // namespace
} // namespace zorbalin
