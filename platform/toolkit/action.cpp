#include "toolkit/action.h"

#include <algorithm>

namespace zorbalin {

TShortCut ShortCut(uint16_t key, TShiftState shift) {
    TShortCut result = key & 0x0FFF;
    if (shift & ssShift)
        result |= scShift;
    if (shift & ssCtrl)
        result |= scCtrl;
    if (shift & ssAlt)
        result |= scAlt;
    return result;
}

namespace {

std::string KeyName(uint16_t key) {
    switch (key) {
    case vk::Back:
        return "Backspace";
    case vk::Tab:
        return "Tab";
    case vk::Return:
        return "Enter";
    case vk::Escape:
        return "Esc";
    case vk::Space:
        return "Space";
    case vk::Left:
        return "Left";
    case vk::Up:
        return "Up";
    case vk::Right:
        return "Right";
    case vk::Down:
        return "Down";
    case vk::Apps:
        return "Menu";
    default:
        break;
    }
    if (key >= vk::F1 && key <= vk::F12)
        return "F" + std::to_string(key - vk::F1 + 1);
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    return "#" + std::to_string(key);
}

} // namespace

std::string ShortCutToText(TShortCut shortCut) {
    if (shortCut == scNone)
        return "";
    std::string text;
    if (shortCut & scCtrl)
        text += "Ctrl+";
    if (shortCut & scShift)
        text += "Shift+";
    if (shortCut & scAlt)
        text += "Alt+";
    return text + KeyName(shortCut & 0x0FFF);
}

bool TAction::HasShortCut(TShortCut key) const {
    if (key == scNone)
        return false;
    return ShortCut == key || std::find(SecondaryShortCuts.begin(), SecondaryShortCuts.end(),
                                        key) != SecondaryShortCuts.end();
}

TAction::~TAction() {
    SetActionList(nullptr);
}

void TAction::SetActionList(TActionList* list) {
    if (list == FActionList)
        return;
    if (FActionList) {
        auto& actions = FActionList->FActions;
        actions.erase(std::remove(actions.begin(), actions.end(), this), actions.end());
    }
    FActionList = list;
    if (list)
        list->FActions.push_back(this);
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
