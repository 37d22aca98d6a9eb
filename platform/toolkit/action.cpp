#include "toolkit/action.h"

#include <algorithm>

namespace zorbalin {

TShortCut ShortCut(uint16_t Key, TShiftState Shift) {
    TShortCut result = Key & 0x0FFF;
    if (Shift & kSsShift)
        result |= kScShift;
    if (Shift & kSsCtrl)
        result |= kScCtrl;
    if (Shift & kSsAlt)
        result |= kScAlt;
    return result;
}

namespace {

std::string KeyName(uint16_t Key) {
    switch (Key) {
    case vk::kBack:
        return "Backspace";
    case vk::kTab:
        return "Tab";
    case vk::kReturn:
        return "Enter";
    case vk::kEscape:
        return "Esc";
    case vk::kSpace:
        return "Space";
    case vk::kLeft:
        return "Left";
    case vk::kUp:
        return "Up";
    case vk::kRight:
        return "Right";
    case vk::kDown:
        return "Down";
    case vk::kApps:
        return "Menu";
    default:
        break;
    }
    if (Key >= vk::F1 && Key <= vk::F12)
        return "F" + std::to_string(Key - vk::F1 + 1);
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))
        return std::string(1, static_cast<char>(Key));
    return "#" + std::to_string(Key);
}

} // namespace

std::string ShortCutToText(TShortCut ShortCut) {
    if (ShortCut == kScNone)
        return "";
    std::string text;
    if (ShortCut & kScCtrl)
        text += "Ctrl+";
    if (ShortCut & kScShift)
        text += "Shift+";
    if (ShortCut & kScAlt)
        text += "Alt+";
    return text + KeyName(ShortCut & 0x0FFF);
}

bool TAction::HasShortCut(TShortCut Key) const {
    if (Key == kScNone)
        return false;
    return ShortCut == Key || std::find(SecondaryShortCuts.begin(), SecondaryShortCuts.end(),
                                        Key) != SecondaryShortCuts.end();
}

TAction::~TAction() {
    SetActionList(nullptr);
}

void TAction::SetActionList(TActionList* List) {
    if (List == FActionList)
        return;
    if (FActionList) {
        auto& actions = FActionList->FActions;
        actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
    }
    FActionList = List;
    if (List)
        List->FActions.push_back(this);
}

bool TAction::Execute() {
    if (!FEnabled || !OnExecute)
        return false;
    OnExecute(this);
    return true;
}

TActionList::~TActionList() {
    for (TAction* a : FActions)
        a->FActionList = nullptr;
}

} // namespace zorbalin
