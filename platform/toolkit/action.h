// Actions: named commands with a hint and a keyboard shortcut. The shortcut of an action works
// while the form that owns its action list is the active form.
//
//   ActionList1 = new TActionList(this);
//   aMinimize = new TAction(this);
//   aMinimize->SetName("aMinimize");
//   aMinimize->SetHint("Tálcára vele...");
//   aMinimize->ShortCut = ShortCut(vk::Escape, 0);
//   aMinimize->SecondaryShortCuts = {ShortCut('M', ssCtrl)};   // more keys for the same command
//   aMinimize->OnExecute = [this](TObject* s) { aMinimizeExecute(s); };
//   aMinimize->SetActionList(ActionList1);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/backend_interface.h"
#include "toolkit/component.h"

namespace zorbalin {

// A key code with modifier bits, as shortcuts are stored.
using TShortCut = uint16_t;
constexpr TShortCut kScShift = 0x2000;
constexpr TShortCut kScCtrl = 0x4000;
constexpr TShortCut kScAlt = 0x8000;
constexpr TShortCut kScNone = 0;

TShortCut ShortCut(uint16_t Key, TShiftState Shift);
// The shortcut as a player reads it on the keyboard: "Ctrl+Shift+Z", "F2", "Esc".
std::string ShortCutToText(TShortCut ShortCut);

class TActionList;

class TAction : public TComponent {
  public:
    explicit TAction(TComponent* Owner) : TComponent(Owner) {}
    ~TAction() override;

    TActionList* ActionList() const { return FActionList; }
    void SetActionList(TActionList* List);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    TShortCut ShortCut = kScNone;
    // Further keys that run the action, after ShortCut in the order a key list shows them.
    std::vector<TShortCut> SecondaryShortCuts;
    // Whether the key runs this action (scNone never does).
    bool HasShortCut(TShortCut Key) const;
    TNotifyEvent OnExecute;

    // Runs OnExecute with the action as sender; false when disabled or without a handler.
    bool Execute();

  private:
    friend class TActionList;
    TActionList* FActionList = nullptr;
    std::string FCaption;
    std::string FHint;
    bool FEnabled = true;
};

class TActionList : public TComponent {
  public:
    explicit TActionList(TComponent* Owner) : TComponent(Owner) {}
    ~TActionList() override;
    const std::vector<TAction*>& Actions() const { return FActions; }

  private:
    friend class TAction;
    std::vector<TAction*> FActions;
};

} // namespace zorbalin
