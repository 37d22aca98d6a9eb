// Numbered and clearable deals in the whole program: the number dialog, the command line's
// choice at start, and the context menu's switch for clearable deals.
#include "program_fixture.h"

#include "app/windows/Leosztas.h"
#include "app/windows/start_options.h"
#include "game/clearable_deal.h"

#include <chrono>
#include <thread>

namespace zorbalin::testing {
namespace {

using DealTest = ProgramTest;

void Type(THeadlessBackend& Screen, const std::string& Keys) {
    for (char key : Keys)
        Screen.KeyDown(static_cast<uint16_t>(key));
}

bool SameColours(const TBoard& A, const TBoard& B) {
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            if (A.Colour(col, row) != B.Colour(col, row))
                return false;
    return true;
}

// Every refusal leaves the dialog open and the deal unchanged; a number in range is played
// with the current colours.
TEST_F(DealTest, NumberDialogRefusesEmptyZeroAndOutOfRangeThenPlaysTheNumberTyped) {
    Start();
    const TDealNumber first = frm_Main->Game().DealNumber();
    std::string shown;
    bool selected = false;
    std::vector<std::size_t> boxesWhileOpen;
    WhenIdle({[&] {
                  shown = frm_Leosztas->Edit1->Text();
                  selected = frm_Leosztas->Edit1->AllSelected();
                  FScreen.KeyDown(vk::kBack); // empties the selected number
                  FScreen.KeyDown(vk::kReturn);
              },
              [&] {
                  boxesWhileOpen.push_back(BoxTexts().size());
                  Type(FScreen, "0");
                  FScreen.KeyDown(vk::kReturn);
              },
              [&] {
                  boxesWhileOpen.push_back(BoxTexts().size());
                  FScreen.KeyDown(vk::kBack);
                  Type(FScreen, "1000000000");
                  FScreen.KeyDown(vk::kReturn);
              },
              [&] {
                  boxesWhileOpen.push_back(BoxTexts().size());
                  for (int i = 0; i < 10; ++i)
                      FScreen.KeyDown(vk::kBack);
                  Type(FScreen, "2x0+24"); // only the digits get in
                  FScreen.KeyDown(vk::kReturn);
              }});
    frm_Main->aLeosztas->Execute();
    EXPECT_EQ(shown, std::to_string(first));
    EXPECT_TRUE(selected);
    EXPECT_EQ(boxesWhileOpen, (std::vector<std::size_t>{1, 2, 3}));
    ASSERT_EQ(BoxTexts().size(), 3u);
    EXPECT_EQ(BoxTexts()[0], "Írd be a leosztás számát!");
    EXPECT_EQ(BoxTexts()[1], "A leosztás száma 1 és 999999999 közötti egész szám lehet.");
    EXPECT_EQ(BoxTexts()[2], BoxTexts()[1]);
    EXPECT_EQ(frm_Leosztas, nullptr);
    EXPECT_EQ(frm_Main->Game().DealNumber(), 2024u);
    EXPECT_TRUE(SameColours(frm_Main->Game().Board(), DealtBoard(2024, 4)));

    // Cancelled, nothing changes.
    WhenIdle({[&] {
        Type(FScreen, "5");
        FScreen.KeyDown(vk::kEscape);
    }});
    frm_Main->aLeosztas->Execute();
    EXPECT_EQ(frm_Main->Game().DealNumber(), 2024u);
}

struct TStartOptionsGuard {
    explicit TStartOptionsGuard(const TStartOptions& Options) { SetProgramStartOptions(Options); }
    ~TStartOptionsGuard() { SetProgramStartOptions({}); }
};

TEST_F(DealTest, CommandLineDealAndColoursStartTheGameAndTheColoursAreKept) {
    const TStartOptionsGuard asked({999999999, 5});
    WriteSettingsFile(10, 10, 3);
    Start();
    EXPECT_EQ(frm_Main->Game().DealNumber(), 999999999u);
    EXPECT_EQ(frm_Main->Game().DealColourCount(), 5);
    EXPECT_TRUE(SameColours(frm_Main->Game().Board(), DealtBoard(999999999, 5)));
    CloseByButton();
    EXPECT_NE(SettingsText().find("Hard=5"), std::string::npos) << SettingsText();
}

// The switch is saved at once; with it on, a new deal comes from the search beside the
// window, and the solver clears it.
TEST_F(DealTest, ClearableSwitchIsSavedAtOnceAndNewDealsAreClearable) {
    Start();
    TMenuItem* item = frm_Main->CsakMegoldhatoItem;
    item->OnClick(item);
    EXPECT_TRUE(frm_Main->Clearable());
    EXPECT_NE(SettingsText().find("Clearable=1"), std::string::npos) << SettingsText();

    for (int deal = 0; deal < 3; ++deal) {
        const TDealNumber before = frm_Main->Game().DealNumber();
        frm_Main->aUjExecute(nullptr);
        for (int wait = 0; wait < 1000 && frm_Main->DealPending(); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            Pump();
        }
        ASSERT_FALSE(frm_Main->DealPending());
        const TDealNumber number = frm_Main->Game().DealNumber();
        EXPECT_NE(number, before);
        EXPECT_TRUE(ClearingLine(number, 4)) << number;
    }

    item->OnClick(item);
    EXPECT_FALSE(frm_Main->Clearable());
    EXPECT_NE(SettingsText().find("Clearable=0"), std::string::npos) << SettingsText();
}

} // namespace
} // namespace zorbalin::testing
