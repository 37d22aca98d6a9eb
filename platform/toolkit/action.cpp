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
