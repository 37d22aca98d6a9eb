// The main window's tooltips: each button shows the hint of its action; the pebbles show none.
#include "program_fixture.h"

#include "imaging/pngbutton.h"

namespace zorbalin::testing {
namespace {

using TooltipTest = ProgramTest;

TEST_F(TooltipTest, EveryButtonShowsTheHintOfItsActionAndThePebblesShowNone) {
    Start();
    // The pointer rests on a control; the tooltip's text, or "" when none shows.
    auto tooltipOn = [&](const TControl& Control) {
        Move(Control.ClientToScreen({Control.Width() / 2, Control.Height() / 2}));
        FScreen.AdvanceTime(700);
        Pump();
        const THintController& hints = FApp->Hints();
        std::string text = hints.Shown() ? hints.Window()->Text() : "";
        Move(OnMain(300, 30)); // off the buttons, onto the background
        return text;
    };
    const std::pair<const TControl*, std::string> expected[] = {
        {frm_Main->PNGButton2, "Újrajátszás"},
        {frm_Main->PNGButton4, "Új játék"},
        {frm_Main->PNGButton1, "Beállítások"},
        {frm_Main->PNGButton3, "Névjegy"},
        {frm_Main->PNGButton5, "Újdonságok honlapomon"},
        {frm_Main->PNGButton6, "Vendrik honlapja"},
        {frm_Main->PNGButton7, "Tálcára vele..."},
        {frm_Main->PNGButton8, "Bezar"},
        {Cell(5, 5), ""}};
    for (const auto& [control, text] : expected)
        EXPECT_EQ(tooltipOn(*control), text) << control->Name();
    EXPECT_TRUE(frm_Main->Active()) << "a tooltip never takes the keys";
}

} // namespace
} // namespace zorbalin::testing
