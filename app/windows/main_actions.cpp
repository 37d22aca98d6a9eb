// The main window's commands: its action list, with the hint each command shows as a tooltip and
// the keys that run it. A new command gets its line in CreateActions; the about window lists every
// key of this table by itself (KeyList).
#include "app/windows/Main.h"

#include "strings/translate.h"

#include <initializer_list>

namespace zorbalin {

TAction* Tfrm_Main::NewAction(const char* Name, const char* Hint,
                              void (Tfrm_Main::*Handler)(TObject*),
                              std::initializer_list<TShortCut> Keys) {
    auto* action = new TAction(this);
    action->SetName(Name);
    action->SetHint(Tr(Hint));
    FHintSources.emplace_back(action, Hint);
    action->OnExecute = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
    if (Keys.size() > 0) {
        action->ShortCut = *Keys.begin();
        action->SecondaryShortCuts.assign(Keys.begin() + 1, Keys.end());
    }
    action->SetActionList(ActionList1);
    return action;
}

void Tfrm_Main::CreateActions() {
    ActionList1 = new TActionList(this);
    ActionList1->SetName("ActionList1");
    aBezar = NewAction("aBezar", TrMark("Bezar"), &Tfrm_Main::aBezarExecute, {});
    aUj = NewAction("aUj", TrMark("Új játék"), &Tfrm_Main::aUjExecute,
                    {ShortCut('N', kSsCtrl), ShortCut(vk::F2, 0)});
    aUjdonsag =
        NewAction("aUjdonsag", TrMark("Újdonságok honlapomon"), &Tfrm_Main::aUjdonsagExecute, {});
    aHonlap = NewAction("aHonlap", TrMark("Vendrik honlapja"), &Tfrm_Main::aHonlapExecute, {});
    aNevjegy = NewAction("aNevjegy", TrMark("Névjegy"), &Tfrm_Main::aNevjegyExecute,
                         {ShortCut(vk::F1, 0)});
    aBeallit = NewAction("aBeallit", TrMark("Beállítások"), &Tfrm_Main::aBeallitExecute,
                         {ShortCut('S', kSsCtrl)});
    aMinimize = NewAction("aMinimize", TrMark("Tálcára vele..."), &Tfrm_Main::aMinimizeExecute,
                          {ShortCut(vk::kEscape, 0)});
    aUjrajatszas = NewAction("aUjrajatszas", TrMark("Újrajátszás"), &Tfrm_Main::PNGButton2Click,
                             {ShortCut('R', kSsCtrl)});
    aVisszavon = NewAction("aVisszavon", TrMark("Visszavonás"), &Tfrm_Main::aVisszavonExecute,
                           {ShortCut('Z', kSsCtrl), ShortCut(vk::kBack, 0)});
    aMegis = NewAction("aMegis", TrMark("Mégis"), &Tfrm_Main::aMegisExecute,
                       {ShortCut('Y', kSsCtrl), ShortCut('Z', kSsCtrl | kSsShift)});
    aTipp = NewAction("aTipp", TrMark("Tipp"), &Tfrm_Main::aTippExecute,
                      {ShortCut('H', 0), ShortCut(vk::F4, 0)});
    aStatisztika = NewAction("aStatisztika", TrMark("Statisztika"), &Tfrm_Main::aStatisztikaExecute,
                             {ShortCut('T', kSsCtrl), ShortCut(vk::F3, 0)});
    aHelyiMenu = NewAction("aHelyiMenu", TrMark("Helyi menü"), &Tfrm_Main::aHelyiMenuExecute,
                           {ShortCut(vk::F10, kSsShift), ShortCut(vk::kApps, 0)});
    aLeosztas = NewAction("aLeosztas", TrMark("Leosztás száma…"), &Tfrm_Main::aLeosztasExecute, {});
}

std::vector<TKeyLine> Tfrm_Main::KeyList() const {
    std::vector<TKeyLine> lines = {{Tr("Nyilak"), Tr("Kijelölés mozgatása")},
                                   {Tr("Enter, Szóköz"), Tr("Kattintás a kijelölt kavicsra")}};
    for (const TAction* action : ActionList1->Actions()) {
        if (action->ShortCut == kScNone)
            continue;
        std::string keys = ShortCutToText(action->ShortCut);
        for (TShortCut more : action->SecondaryShortCuts)
            keys += ", " + ShortCutToText(more);
        lines.push_back({keys, action->Hint()});
    }
    return lines;
}

} // namespace zorbalin
