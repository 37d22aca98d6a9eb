// The settings, result and about windows, run modally over the main window.
#include "program_fixture.h"

#include "app/windows/Beallit.h"
#include "app/windows/Eredmeny.h"
#include "app/windows/Nevjegy.h"
#include "app/windows/program_version.h"
#include "imaging/pngbutton.h"

#include <algorithm>

namespace zorbalin::testing {
namespace {

using DialogTest = ProgramTest;

THeadlessWindow* WindowOf(const TForm* Form) {
    return static_cast<THeadlessWindow*>(Form->Window());
}

// The placement rule: centred over the main window by outer sizes, halves
// rounded toward zero, never pulled onto the screen.
TPoint Centred(const TForm& Form) {
    return {frm_Main->Left() + (frm_Main->Width() - Form.Width()) / 2,
            frm_Main->Top() + (frm_Main->Height() - Form.Height()) / 2};
}

TPoint ScreenPointOf(const TControl& Control, int X, int Y) {
    return Control.ClientToScreen({X, Y});
}

TPoint CentreOf(const TControl& Control) {
    return ScreenPointOf(Control, Control.Width() / 2, Control.Height() / 2);
}

// Steps run inside the modal loops inject one piece of input each and let the
// loop handle it before the next step.
void InjectClick(THeadlessBackend& Screen, TPoint P) {
    Screen.Click(P.X, P.Y);
}

TPoint FirstRadioItem() {
    const TRect item = frm_Beallit->RadioGroup1->ItemRect(0);
    return ScreenPointOf(*frm_Beallit->RadioGroup1, item.Left + 6, (item.Top + item.Bottom) / 2);
}

// ---- Settings ----------------------------------------------------------------------------------

TEST_F(DialogTest, SettingsFiveToThreeWithOkAppliesFromTheNextDealOnly) {
    WriteSettingsFile(10, 10, 5);
    Start();
    TPoint expected, actual;
    int selectedAtOpen = -1;
    std::string caption;
    bool framed = false;
    WhenIdle({[&] {
                  selectedAtOpen = frm_Beallit->RadioGroup1->ItemIndex();
                  caption = frm_Beallit->Caption();
                  framed = WindowOf(frm_Beallit)->Framed();
                  expected = Centred(*frm_Beallit);
                  actual = WindowOf(frm_Beallit)->Position();
                  InjectClick(FScreen, FirstRadioItem());
              },
              [&] { InjectClick(FScreen, CentreOf(*frm_Beallit->Button1)); }});
    const TBoard before = frm_Main->Game().Board();
    ClickAt(OnMain(450, 30)); // the settings button
    EXPECT_EQ(selectedAtOpen, 2);
    EXPECT_EQ(caption, "Beállítások");
    EXPECT_TRUE(framed);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(frm_Beallit, nullptr) << "destroyed after its run";
    EXPECT_EQ(frm_Main->Game().ColourCount(), 3);
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            ASSERT_EQ(frm_Main->Game().Board().Colour(col, row), before.Colour(col, row));

    frm_Main->aUjExecute(nullptr);
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            ASSERT_LE(frm_Main->Game().Board().Colour(col, row), 3);
    CloseByButton();
    EXPECT_NE(SettingsText().find("Hard=3"), std::string::npos);
}

TEST_F(DialogTest, SettingsEndedOtherwiseThanOkKeepTheCount) {
    Start();
    struct TEnding {
        const char* Name;
        std::function<void()> Step;
    };
    const std::vector<TEnding> endings = {
        {"Esc", [&] { FScreen.KeyDown(vk::kEscape); }},
        {"Mégsem", [&] { InjectClick(FScreen, CentreOf(*frm_Beallit->Button2)); }},
        {"close box", [&] { FScreen.RequestClose(frm_Beallit->Window()); }},
    };
    for (const TEnding& ending : endings) {
        WhenIdle({[&] { InjectClick(FScreen, FirstRadioItem()); },
                  [&] {
                      EXPECT_EQ(frm_Beallit->RadioGroup1->ItemIndex(), 0) << ending.Name;
                      ending.Step();
                  }});
        frm_Main->aBeallitExecute(nullptr);
        EXPECT_EQ(frm_Main->Game().ColourCount(), 4) << ending.Name;
        EXPECT_EQ(frm_Beallit, nullptr) << ending.Name;
    }
}

TEST_F(DialogTest, SettingsEnterAtOnceKeepsTheCountAndCloses) {
    Start();
    bool open = false;
    WhenIdle({[&] {
        open = frm_Beallit != nullptr;
        FScreen.KeyDown(vk::kReturn);
    }});
    frm_Main->aBeallitExecute(nullptr);
    EXPECT_TRUE(open);
    EXPECT_EQ(frm_Main->Game().ColourCount(), 4);
    EXPECT_EQ(frm_Beallit, nullptr);
}

// ---- Result ------------------------------------------------------------------------------------

// The rows of a label's box that hold yellow text, split into runs of rows.
struct TTextLine {
    int Top = 0, Bottom = 0;        // rows of the label's box
    int Left = 1 << 30, Right = -1; // columns of its leftmost and rightmost yellow pixels
};

bool IsYellow(std::uint32_t Rgb) {
    return (Rgb >> 16 & 0xFF) > 200 && (Rgb >> 8 & 0xFF) > 200 && (Rgb & 0xFF) < 90;
}

std::vector<TTextLine> YellowLines(const THeadlessWindow& Window, const TControl& Label) {
    std::vector<TTextLine> lines;
    bool inLine = false;
    for (int y = 0; y < Label.Height(); ++y) {
        int left = -1, right = -1;
        for (int x = 0; x < Label.Width(); ++x)
            if (IsYellow(Window.Pixel(Label.Left() + x, Label.Top() + y))) {
                if (left < 0)
                    left = x;
                right = x;
            }
        if (left < 0) {
            inLine = false;
            continue;
        }
        if (!inLine)
            lines.push_back({y, y});
        inLine = true;
        TTextLine& line = lines.back();
        line.Bottom = y;
        line.Left = std::min(line.Left, left);
        line.Right = std::max(line.Right, right);
    }
    return lines;
}

TEST_F(DialogTest, ResultWrapsTheLongestMessageOnTwoCentredLinesAndEscClosesIt) {
    Start();
    std::vector<TTextLine> headline, message;
    TPoint expected, actual;
    bool keyed = false, colourKey = false;
    WhenIdle({[&] {
        THeadlessWindow* window = WindowOf(frm_Eredmeny);
        expected = Centred(*frm_Eredmeny);
        actual = window->Position();
        colourKey = window->ColourKeyEnabled() && window->ColourKey() == 0x808080;
        headline = YellowLines(*window, *frm_Eredmeny->s1);
        message = YellowLines(*window, *frm_Eredmeny->i1);
        FScreen.KeyDown(vk::kEscape);
        keyed = true;
    }});
    frm_Main->ShowResult("Gratulálok:", "Ez már kész, keresni kellene egy nehezebb játékot...");
    EXPECT_TRUE(keyed);
    EXPECT_EQ(frm_Eredmeny, nullptr);
    EXPECT_FALSE(FScreen.AppMinimized()) << "Esc went to the result window only";
    EXPECT_EQ(actual, expected);
    EXPECT_TRUE(colourKey);
    ASSERT_EQ(headline.size(), 1u) << "the headline stays on one line";
    ASSERT_GE(message.size(), 2u);
    // Lines of a glyph may split at accents: the text fills two line heights at most.
    EXPECT_LE(message.back().Bottom - message.front().Top, 2 * 20) << "two lines";
    EXPECT_GT(message.back().Bottom - message.front().Top, 12) << "more than one line";
    // Centred by the glyphs' advances: the ink of a line may sit a few pixels
    // off-centre (side bearings, the trailing dots), but never near an edge.
    for (const TTextLine& line : message) {
        const double inkCentre = (line.Left + line.Right) / 2.0;
        EXPECT_NEAR(inkCentre, 90.0, 3.0) << "rows " << line.Top << "-" << line.Bottom;
        EXPECT_GT(line.Left, 4) << "not left-aligned";
    }
}

TEST_F(DialogTest, LastPairOfTheGameOpensTheResultWindowWithTheCount) {
    Start();
    // A pair at the bottom left and one lone pebble in the next column.
    TBoard board;
    board.At(1, 9).Colour = 2;
    board.At(1, 8).Colour = 2;
    board.At(2, 9).Colour = 3;
    ShowPosition(board);
    ASSERT_EQ(VisibleCells(), 3);
    std::string headline, message;
    int visibleWhileShown = -1;
    WhenIdle({[&] {
        headline = frm_Eredmeny->s1->Caption();
        message = frm_Eredmeny->i1->Caption();
        visibleWhileShown = VisibleCells();
        InjectClick(FScreen, CentreOf(*frm_Eredmeny->PNGButton8));
    }});
    ClickAt(CellCentre(1, 9));
    EXPECT_EQ(headline, "Gratulálok!");
    EXPECT_EQ(message, "Már csak 1 kavics maradt.");
    EXPECT_EQ(visibleWhileShown, 1) << "the settled board is shown behind the result";
    EXPECT_EQ(frm_Eredmeny, nullptr);
    // The lone pebble was moved into the closed column 1.
    EXPECT_EQ(frm_Main->Game().Board().Colour(1, 9), 3);
    EXPECT_TRUE(Cell(1, 9)->Visible());
    EXPECT_FALSE(Cell(2, 9)->Visible());
}

TEST_F(DialogTest, ResultWindowIsDraggedByItsPictureAndClosedByItsCrossWithoutADrag) {
    Start();
    TPoint before, afterDrag, afterCross, grip, cross;
    bool draggingAfterCross = true;
    WhenIdle({[&] {
                  before = WindowOf(frm_Eredmeny)->Position();
                  grip = ScreenPointOf(*frm_Eredmeny, 20, 130);
                  FScreen.MouseDown(grip.X, grip.Y);
              },
              [&] { FScreen.MouseMove(grip.X - 70, grip.Y + 15); },
              [&] { FScreen.MouseUp(grip.X - 70, grip.Y + 15); },
              [&] {
                  afterDrag = WindowOf(frm_Eredmeny)->Position();
                  cross = CentreOf(*frm_Eredmeny->PNGButton8);
                  FScreen.MouseDown(cross.X, cross.Y);
              },
              [&] { FScreen.MouseMove(cross.X + 1, cross.Y + 1); },
              [&] {
                  afterCross = WindowOf(frm_Eredmeny)->Position();
                  draggingAfterCross = frm_Eredmeny->IsDragging();
                  FScreen.MouseUp(cross.X + 1, cross.Y + 1);
              }});
    frm_Main->ShowResult("Ügyes!", "5 kavics maradt.");
    EXPECT_EQ(afterDrag, (TPoint{before.X - 70, before.Y + 15}));
    EXPECT_EQ(afterCross, afterDrag);
    EXPECT_FALSE(draggingAfterCross);
    EXPECT_EQ(frm_Eredmeny, nullptr);
}

// ---- About -------------------------------------------------------------------------------------

TEST_F(DialogTest, AboutWindowOpenedTwiceIsANewWindowEachTimeThatFreesItselfAtEscOrEnter) {
    Start();
    for (const std::uint16_t key : {vk::kEscape, vk::kReturn}) {
        std::string text;
        TPoint expected, actual;
        std::size_t formsOpen = 0;
        WhenIdle({[&] {
            text = frm_Nevjegy->ProductName->Caption();
            expected = Centred(*frm_Nevjegy);
            actual = WindowOf(frm_Nevjegy)->Position();
            formsOpen = FApp->Forms().size();
            FScreen.KeyDown(key);
        }});
        FScreen.AdvanceTime(1000); // no double click
        ClickAt(OnMain(498, 30));  // the about button
        EXPECT_EQ(text, std::string("ZorbaLin\r\nV") + ProgramVersion());
        EXPECT_FALSE(FScreen.AppMinimized()) << "the key went to the about window only";
        EXPECT_EQ(actual, expected);
        EXPECT_EQ(formsOpen, 2u);
        EXPECT_EQ(FApp->Forms().size(), 1u) << "the about window freed itself";
        EXPECT_TRUE(BoxTexts().empty());
    }
}

} // namespace
} // namespace zorbalin::testing
