// The context menu's choice of language: "Nyelv / Language" opens a second menu with the two
// languages, the one in use ticked. The choice shows at once in the main window's own texts and
// in every window opened afterwards, and goes into the settings file at once.
#include "app/settings/program_paths.h"
#include "app/windows/Main.h"
#include "strings/translate.h"
#include "toolkit/application.h"
#include "toolkit/exception.h"

namespace zorbalin {

void Tfrm_Main::CreateLanguageMenu() {
    // Both names in both languages: whoever cannot read one finds the other.
    FCaptionSources.emplace_back(
        PopupMenu1->Add(Tr("Nyelv / Language"), "", [this](TObject*) { aNyelvExecute(); }),
        TrMark("Nyelv / Language"));
    LanguageMenu = new TPopupMenu(this);
    LanguageMenu->SetName("LanguageMenu");
    for (TLanguage language : {TLanguage::Hungarian, TLanguage::English}) {
        const char* name = language == TLanguage::English ? TrMark("English") : TrMark("Magyar");
        TMenuItem* item = LanguageMenu->Add(
            Tr(name), "", [this, language](TObject*) { ChooseLanguage(language); });
        FCaptionSources.emplace_back(item, name);
    }
    LanguageMenu->OnPopup = [this](TObject*) {
        const std::vector<TMenuItem*>& items = LanguageMenu->Items();
        items[0]->Checked = FLanguage == TLanguage::Hungarian;
        items[1]->Checked = FLanguage == TLanguage::English;
    };
}

void Tfrm_Main::aNyelvExecute() {
    const TPoint at = ClientToScreen(ContextMenuPlace());
    LanguageMenu->Popup(at.X, at.Y);
}

void Tfrm_Main::ChooseLanguage(TLanguage Language) {
    const std::string problem = UseLanguage(Language, ProgramPaths().AppDir);
    if (!problem.empty()) {
        UseLanguage(FLanguage, ProgramPaths().AppDir);
        throw Exception(problem);
    }
    FLanguage = Language;
    ShowTexts();
    SaveLanguage(ProgramPaths().IniPath, Language);
}

} // namespace zorbalin
