// zorbalin --help lists every key of the main window, spelt as the about window spells it, so
// that a key added to a command is not missing from the help.
#include "program_fixture.h"

#include "app/program/command_line.h"

#include <set>
#include <sstream>

namespace zorbalin::testing {
namespace {

// The keys of the help's "Keys:" lines ("  Ctrl+N, F2   deal a new board").
std::set<std::string> KeysOfHelp() {
    std::istringstream help(HelpText("/settings.ini"));
    std::set<std::string> keys;
    std::string line;
    while (std::getline(help, line) && line != "Keys:") {
    }
    while (std::getline(help, line) && line.rfind("  ", 0) == 0) {
        std::string column = line.substr(2, line.find("  ", 2) - 2);
        for (std::size_t start = 0, comma; start != std::string::npos; start = comma) {
            comma = column.find(", ", start);
            keys.insert(column.substr(start, comma - start));
            if (comma != std::string::npos)
                comma += 2;
        }
    }
    return keys;
}

TEST_F(ProgramTest, CommandLineHelpListsEveryKeyOfTheMainWindow) {
    Start();
    const std::set<std::string> listed = KeysOfHelp();
    int keys = 0;
    for (const TAction* action : frm_Main->ActionList1->Actions()) {
        std::vector<TShortCut> shortCuts = action->SecondaryShortCuts;
        shortCuts.push_back(action->ShortCut);
        for (TShortCut shortCut : shortCuts) {
            if (shortCut == kScNone)
                continue;
            ++keys;
            EXPECT_EQ(listed.count(ShortCutToText(shortCut)), 1u)
                << ShortCutToText(shortCut) << " (" << action->Hint() << ") is not in --help";
        }
    }
    EXPECT_GT(keys, 0);
}

} // namespace
} // namespace zorbalin::testing
