// The player's language: chosen by ZORBALIN_LANG, then the settings file, never by the locale;
// every text the windows show comes from the catalogue, and fits its box in both languages.
#include "program_fixture.h"

#include "app/settings/language.h"
#include "app/settings/stats.h"
#include "app/windows/Beallit.h"
#include "app/windows/Eredmeny.h"
#include "app/windows/Leosztas.h"
#include "app/windows/Nevjegy.h"
#include "app/windows/Statisztika.h"
#include "app/windows/background_text.h"
#include "game/result_texts.h"
#include "imaging/pngbutton.h"
#include "strings/catalogue.h"
#include "strings/translate.h"
#include "toolkit/canvas.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>

namespace zorbalin::testing {
namespace {

constexpr char kOpen[] = "\u2039"; // the pseudo-language's marks around a translated text
constexpr char kClose[] = "\u203a";

// Key names, numbers and the program's name are the same in every language.
bool IsLanguageFree(std::string Text) {
    for (char& c : Text)
        if (c == '\r' || c == '\n')
            c = ' ';
    static const std::set<std::string> kNames = {
        "Ctrl", "Shift", "Alt",   "Backspace", "Tab",  "Enter",    "Esc",      "Space",
        "Left", "Up",    "Right", "Down",      "Menu", "ZorbaLin", "V2.2.0.44"};
    std::istringstream words(Text);
    std::string word;
    while (std::getline(words, word, ' ')) {
        std::istringstream parts(word);
        std::string part;
        while (std::getline(parts, part, '+')) {
            while (!part.empty() && part.back() == ',')
                part.pop_back();
            const bool letterOrKey = part.size() == 1 || (part[0] == 'F' && part.size() <= 3);
            if (!part.empty() && std::isalpha(static_cast<unsigned char>(part[0])) &&
                !letterOrKey && kNames.count(part) == 0)
                return false;
        }
    }
    return true;
}

class LanguageTest : public ProgramTest {
  protected:
    ~LanguageTest() override {
        gCanvasTextObserver = nullptr;
        for (const char* name : {"LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE", "ZORBALIN_LANG"})
            unsetenv(name);
    }

    void WriteLanguage(const char* Code) {
        std::filesystem::create_directories(FPaths.DataDir);
        WriteFile(FPaths.IniPath, std::string("[Screen]\nLanguage=") + Code + "\n");
    }

    // Every text the program shows: drawn in the main window, both menus, every dialog and the
    // result window in its three kinds, and the texts that are not drawn (the tooltips, the
    // windows' titles).
    std::vector<TDrawnText> ShownTexts() {
        std::vector<TDrawnText> texts;
        gCanvasTextObserver = [&](const TDrawnText& Text) { texts.push_back(Text); };
        frm_Main->Repaint();
        const std::unique_ptr<TImage> background = std::make_unique<TImage>(nullptr);
        ShowMainBackground(*background); // the foot line of the main window's picture
        // Each window is drawn before the program first waits in it; then it is closed.
        auto closeWith = [&](std::function<void()> Close) { WhenIdle({std::move(Close)}); };
        closeWith([&] { FScreen.KeyDown(vk::kEscape); });
        frm_Main->aHelyiMenuExecute(nullptr);
        closeWith([&] { FScreen.KeyDown(vk::kEscape); });
        frm_Main->aNyelvExecute();
        closeWith([&] { FScreen.RequestClose(frm_Beallit->Window()); });
        frm_Main->aBeallitExecute(nullptr);
        closeWith([&] { FScreen.RequestClose(frm_Leosztas->Window()); });
        frm_Main->aLeosztasExecute(nullptr);
        closeWith([&] { FScreen.RequestClose(frm_Nevjegy->Window()); });
        frm_Main->aNevjegyExecute(nullptr);
        closeWith([&] { FScreen.RequestClose(frm_Statisztika->Window()); });
        frm_Main->aStatisztikaExecute(nullptr); // no game finished yet
        for (int left : {0, 1, 9, 50}) {
            RecordResult(FPaths.IniPath, 4, left);
            const TResultTexts result = ResultTexts(left);
            closeWith([&] { FScreen.RequestClose(frm_Eredmeny->Window()); });
            frm_Main->ShowResult(result.Headline, result.Message);
        }
        closeWith([&] { FScreen.RequestClose(frm_Statisztika->Window()); });
        ShowStatisticsWindow(ReadStats(FPaths.IniPath), 4, TParInfo{false, 162});
        gCanvasTextObserver = nullptr;

        for (int i = 0; i < frm_Main->ComponentCount(); ++i)
            if (auto* button = dynamic_cast<TPNGButton*>(frm_Main->Components(i)))
                texts.push_back({button->Hint(), {}, {}, 0, false});
        for (TForm* form : {static_cast<TForm*>(TForm::Create<Tfrm_Beallit>(FApp.get())),
                            static_cast<TForm*>(TForm::Create<Tfrm_Statisztika>(FApp.get())),
                            static_cast<TForm*>(TForm::Create<Tfrm_Nevjegy>(FApp.get())),
                            static_cast<TForm*>(TForm::Create<Tfrm_Leosztas>(FApp.get()))}) {
            texts.push_back({form->Caption(), {}, {}, 0, false});
            delete form;
        }
        return texts;
    }
};

std::string FileContent(const std::string& Path) {
    std::ifstream file(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void ExpectEveryTextFits(const std::vector<TDrawnText>& Texts, const char* Language) {
    ASSERT_GT(Texts.size(), 40u) << "every window drew its texts";
    // The key list leaves out the lines below its bottom: every one must be there.
    for (const TKeyLine& line : frm_Main->KeyList()) {
        const bool drawn = std::any_of(Texts.begin(), Texts.end(), [&](const TDrawnText& Text) {
            return Text.Text == line.Text;
        });
        EXPECT_TRUE(drawn) << Language << ": the key list has no room for " << line.Text;
    }
    for (const TDrawnText& text : Texts) {
        // A tooltip or a title takes the text's size; numbers are no language's.
        if (text.Box.Width() <= 0 || IsLanguageFree(text.Text))
            continue;
        if (text.WordWrap)
            EXPECT_LE(text.Height, text.Box.Height()) << Language << ": " << text.Text;
        else
            EXPECT_LE(text.Extent.cx, text.Box.Width()) << Language << ": " << text.Text;
    }
}

TEST(LanguageChoice, EnvironmentThenSettingThenHungarian) {
    EXPECT_EQ(ChooseLanguage(nullptr, ""), TLanguage::Hungarian);
    EXPECT_EQ(ChooseLanguage(nullptr, "en"), TLanguage::English);
    EXPECT_EQ(ChooseLanguage("", "en"), TLanguage::English);
    EXPECT_EQ(ChooseLanguage("hu", "en"), TLanguage::Hungarian);
    EXPECT_EQ(ChooseLanguage("en", "hu"), TLanguage::English);
    EXPECT_EQ(ChooseLanguage("en_GB.UTF-8", "en"), TLanguage::Hungarian) << "unknown: Hungarian";
    EXPECT_EQ(ChooseLanguage(nullptr, "English"), TLanguage::Hungarian);
}

TEST_F(LanguageTest, TheLocaleLeavesHungarianAndTheMenuSwitchesAndSavesAtOnce) {
    setenv("LANG", "en_GB.UTF-8", 1);
    setenv("LC_ALL", "en_GB.UTF-8", 1);
    setenv("LANGUAGE", "en", 1);
    Start();
    EXPECT_EQ(frm_Main->PNGButton4->Hint(), "Új játék");

    frm_Main->LanguageMenu->Items()[1]->OnClick(nullptr);
    EXPECT_EQ(frm_Main->PNGButton4->Hint(), "New game");
    EXPECT_EQ(frm_Main->PopupMenu1->Items()[5]->Caption, "New game");
    EXPECT_NE(SettingsText().find("Language=en"), std::string::npos);
    frm_Main->LanguageMenu->Items()[0]->OnClick(nullptr);
    EXPECT_EQ(frm_Main->PNGButton4->Hint(), "Új játék");
    EXPECT_NE(SettingsText().find("Language=hu"), std::string::npos);
}

TEST_F(LanguageTest, TheEnvironmentGoesAheadOfTheSettingsFile) {
    WriteLanguage("en");
    setenv("ZORBALIN_LANG", "hu", 1);
    Start();
    EXPECT_EQ(frm_Main->PNGButton4->Hint(), "Új játék");
}

TEST_F(LanguageTest, EveryTextFitsItsBoxInHungarian) {
    Start();
    ExpectEveryTextFits(ShownTexts(), "hu");
}

TEST_F(LanguageTest, EveryTextFitsItsBoxInEnglish) {
    WriteLanguage("en");
    Start();
    EXPECT_EQ(frm_Main->PNGButton4->Hint(), "New game");
    ExpectEveryTextFits(ShownTexts(), "en");
}

// A pseudo-language with every entry of the English catalogue marked: a shown text without the
// marks was not passed through Tr, or has no English entry (none, or an untranslated or fuzzy
// one, which msgfmt leaves out).
TEST_F(LanguageTest, EveryShownTextHasAnEnglishEntry) {
    Start();
    const std::optional<TCatalogue> english =
        TCatalogue::Parse(FileContent(CatalogueFile(FPaths.AppDir, TLanguage::English)));
    ASSERT_TRUE(english);
    auto pseudo = std::make_shared<TCatalogue>();
    for (const std::string& id : english->Ids()) {
        std::string marked;
        std::istringstream forms(id);
        for (std::string form; std::getline(forms, form, '\0');)
            marked += (marked.empty() ? "" : std::string(1, '\0')) + kOpen + form + kClose;
        pseudo->Add(id, marked);
    }
    UseCatalogue(pseudo);
    frm_Main->ShowTexts();
    for (const TDrawnText& text : ShownTexts()) {
        const bool marked = text.Text.find(kOpen) != std::string::npos;
        EXPECT_TRUE(marked || IsLanguageFree(text.Text)) << "no entry for: " << text.Text;
    }
}

} // namespace
} // namespace zorbalin::testing
