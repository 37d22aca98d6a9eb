// Popup menus: a column of commands shown at a screen point in a small borderless window of its
// own, each line with its caption on the left and the text of its key on the right; a line can
// be disabled or carry a tick (a setting that is on), and a separator line groups the commands.
//
// The menu runs modally until the player chooses a command (a click, or Enter or Space on the
// highlighted line) or dismisses it (Esc, a press on another window of the program, or the
// program losing the keyboard focus); the arrows move the highlight over the enabled lines. The
// chosen command runs after the menu has gone.
//
//   PopupMenu1 = new TPopupMenu(this);
//   PopupMenu1->Add("Visszavonás", aVisszavon);   // shows the action's key, runs the action
//   PopupMenu1->AddLine();
//   PopupMenu1->OnPopup = [this](TObject*) { PopupMenu1->ItemOf(aVisszavon)->Enabled = ...; };
//   Image1->PopupMenu = PopupMenu1;   // a right click on Image1 (or its children) opens it
#pragma once

#include <string>
#include <vector>

#include "toolkit/component.h"

namespace zorbalin {

class TAction;
class TForm;

class TMenuItem : public TComponent {
  public:
    explicit TMenuItem(TComponent* Owner) : TComponent(Owner) {}

    std::string Caption;      // "-" makes the line a separator
    std::string ShortCutText; // shown at the right, e.g. "Ctrl+Z"
    bool Enabled = true;
    bool Checked = false; // a tick before the caption: a setting that is on
    TNotifyEvent OnClick;
    // The action the item runs, when it was added for one; the menu's owner finds the item by it.
    TAction* Action = nullptr;

    bool IsLine() const { return Caption == "-"; }
};

class TPopupMenu : public TComponent {
  public:
    explicit TPopupMenu(TComponent* Owner) : TComponent(Owner) {}

    // A command at the end of the menu; the menu owns it.
    TMenuItem* Add(const std::string& Caption, const std::string& ShortCutText,
                   TNotifyEvent OnClick);
    // A command that runs Action, with the text of the action's main key at the right.
    TMenuItem* Add(const std::string& Caption, TAction* Action);
    TMenuItem* AddLine();
    const std::vector<TMenuItem*>& Items() const { return FItems; }
    // The item added for Action; null when there is none. Where an item stands in the menu is
    // nobody's business: new commands may come anywhere.
    TMenuItem* ItemOf(const TAction* Action) const;

    // Runs before the menu shows: the place to enable and disable its commands.
    TNotifyEvent OnPopup;

    // Shows the menu with its top-left corner at the screen point (moved so that the whole menu
    // lies on the screen) and returns once it is gone: the chosen command, whose OnClick has
    // then run, or null when the menu was dismissed.
    TMenuItem* Popup(int X, int Y);
    // The menu's window while it is shown; null otherwise.
    TForm* Window() const { return FWindow; }

  protected:
    void ComponentRemoved(TComponent* Component) override;

  private:
    std::vector<TMenuItem*> FItems;
    TForm* FWindow = nullptr;
};

} // namespace zorbalin
