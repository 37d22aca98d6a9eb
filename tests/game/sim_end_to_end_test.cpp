// Runs the zorbalin-sim executable on scripts, as a user or a checker would.
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct TRun {
    std::vector<std::string> Lines;
    std::string Errors;
    int ExitStatus = -1;
};

std::vector<std::string> ReadLines(std::istream& In) {
    std::vector<std::string> lines;
    for (std::string line; std::getline(In, line);)
        lines.push_back(line);
    return lines;
}

// The scripts and the error output live in a folder of this run's own, so that
// runs of several users on one machine never meet; it goes when the tests end.
const zorbalin::testing::TTempFolder& Scratch() {
    static const zorbalin::testing::TTempFolder kFolder;
    return kFolder;
}

TRun RunSimulator(const std::string& ScriptPath) {
    const std::string errorPath = Scratch() / "stderr.txt";
    const std::string command =
        std::string("'") + ZORBALIN_SIM_PATH + "' < '" + ScriptPath + "' 2> '" + errorPath + "'";
    TRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pclose(pipe);
    run.ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(output);
    run.Lines = ReadLines(lines);
    std::ifstream errors(errorPath);
    run.Errors.assign(std::istreambuf_iterator<char>(errors), std::istreambuf_iterator<char>());
    return run;
}

std::string WriteScript(const std::string& Name, const std::string& Text) {
    const std::string path = Scratch() / Name;
    std::ofstream(path) << Text;
    return path;
}

// The program starts by creating the 162 pictures with random colours 1..4.
void ExpectStartUp(const std::vector<std::string>& Lines) {
    ASSERT_GE(Lines.size(), 162u);
    for (int col = 1, i = 0; col <= 18; ++col)
        for (int row = 1; row <= 9; ++row, ++i)
            EXPECT_TRUE(
                std::regex_match(Lines[i], std::regex("CreatePebble " + std::to_string(col) + " " +
                                                      std::to_string(row) + " [1-4]")))
                << Lines[i];
}

TEST(Simulator, PlaysAScriptLineForLine) {
    const TRun run = RunSimulator(ZORBALIN_GAME_DATA "/sim_script.txt");
    ASSERT_EQ(run.ExitStatus, 0) << run.Errors;
    EXPECT_EQ(run.Errors, "");
    ExpectStartUp(run.Lines);

    std::ifstream expectedFile(ZORBALIN_GAME_DATA "/sim_expected.txt");
    const std::vector<std::string> expected = ReadLines(expectedFile);
    ASSERT_EQ(expected.size(), 231u);
    ASSERT_EQ(run.Lines.size(), 162 + expected.size() + 162 + 9);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(run.Lines[162 + i], expected[i]) << "output line " << 163 + i;

    // "new 3" deals at random: every cell shown in storage order, and the dump
    // that follows agrees with what was shown.
    const std::size_t deal = 162 + expected.size();
    for (int col = 1, i = 0; col <= 18; ++col) {
        for (int row = 1; row <= 9; ++row, ++i) {
            const std::string& line = run.Lines[deal + i];
            const std::string prefix =
                "ShowPebble " + std::to_string(col) + " " + std::to_string(row) + " ";
            ASSERT_EQ(line.substr(0, prefix.size()), prefix);
            const char colour = line.back();
            EXPECT_TRUE(colour >= '1' && colour <= '3') << line;
            EXPECT_EQ(run.Lines[deal + 162 + row - 1][col - 1], colour) << line;
        }
    }
}

TEST(Simulator, BadInputStopsWithTheLineNumberAndStatusTwo) {
    const std::string good = "121212121212121212\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"dump\n\njump\n", "line 3"},
        {"board\n" + good + good + "12121212121212121\n", "line 4"},
        {"board\n" + good + good + good + "121212121212121262\n", "line 5"},
        {"board\n" + good, "line 3"},
        {"click 19 1\n", "line 1"},
        {"click 1 0\n", "line 1"},
        {"board\n" + std::string(19, '0') + "\n", "line 2"},
        {"new 4\nnew 6\n", "line 2"},
        {"new\n", "line 1"},
        {"dump now\n", "line 1"},
        {"solve 0\n", "line 1"},
        {"dump\nsolve 2s\n", "line 2"},
        {"hint 1\n", "line 1"},
        {"deal 0 4\n", "line 1"},
        {"deal 1000000000 4\n", "line 1"},
        {"deal 12 6\n", "line 1"},
        {"clearable yes\n", "line 1"},
    };
    for (const auto& [script, where] : cases) {
        const TRun run = RunSimulator(WriteScript("bad.txt", script));
        EXPECT_EQ(run.ExitStatus, 2) << script;
        EXPECT_NE(run.Errors.find(where + ":"), std::string::npos) << script << run.Errors;
        EXPECT_EQ(std::count(run.Errors.begin(), run.Errors.end(), '\n'), 1) << run.Errors;
    }

    // A click on an emptied cell is refused too.
    std::string board = "board\n";
    for (int row = 1; row <= 8; ++row)
        board += "000000000000000000\n";
    board += "110000000000000000\nclick 1 9\nclick 2 9\n";
    const TRun run = RunSimulator(WriteScript("empty.txt", board));
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_NE(run.Errors.find("line 12:"), std::string::npos) << run.Errors;
    EXPECT_EQ(run.Lines.back(), "ShowResult \"Gratulálok!\" \"Ez már kész, keresni kellene egy "
                                "nehezebb játékot...\"");
}

// A numbered deal is the same board as the game deals, and is named by "number".
TEST(Simulator, DealsByNumberAndTellsTheDeal) {
    const TRun run = RunSimulator(WriteScript(
        "deal.txt", "number\ndeal 2024 4\nnumber\ndump\nclearable on\nnew 5\nnumber\n"));
    ASSERT_EQ(run.ExitStatus, 0) << run.Errors;
    ASSERT_EQ(run.Lines.size(), 162u + 1 + 162 + 1 + 9 + 162 + 1);
    EXPECT_EQ(std::regex_match(run.Lines[162], std::regex("Deal [1-9][0-9]* 4")), true)
        << run.Lines[162];
    EXPECT_EQ(run.Lines[162 + 1 + 162], "Deal 2024 4");
    const std::vector<std::string> dump(run.Lines.begin() + 162 + 1 + 162 + 1,
                                        run.Lines.begin() + 162 + 1 + 162 + 1 + 9);
    EXPECT_EQ(dump, (std::vector<std::string>{
                        "324433441223121341", "122124124221412414", "243122423411344241",
                        "143333142343324444", "432243323312414134", "312231331422332132",
                        "133111432242214124", "344123214142441233", "122421224114441121"}));
    EXPECT_EQ(std::regex_match(run.Lines.back(), std::regex("Deal [1-9][0-9]* 5")), true)
        << run.Lines.back();
}

std::vector<std::string> WordsOf(const std::string& Line) {
    std::istringstream in(Line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

TEST(Simulator, LongLinesAndRawBytesGiveOneShortEscapedMessage) {
    const TRun longLine = RunSimulator(WriteScript("long.txt", "dump\n" + std::string(5000, 'x')));
    EXPECT_EQ(longLine.ExitStatus, 2);
    EXPECT_EQ(longLine.Errors, "zorbalin-sim: line 2: the line is longer than 4096 bytes\n");
    const TRun raw = RunSimulator(WriteScript("raw.txt", std::string("click 1\0\x1b\xff 2\n", 13)));
    EXPECT_EQ(raw.ExitStatus, 2);
    EXPECT_EQ(raw.Errors,
              "zorbalin-sim: line 1: click needs two numbers, got \"1\\x00\\x1b\\xff\" \"2\"\n");
}

TEST(Simulator, HintAndSolveChangeNothingAndTheLineReplays) {
    std::vector<std::string> rows(6, std::string(18, '0'));
    rows.insert(rows.end(), {"121300000000000000", "212310000000000000", "112233300000000000"});
    std::string board = "board\n";
    for (const std::string& row : rows)
        board += row + "\n";
    const TRun run =
        RunSimulator(WriteScript("zorbalin_sim_solve.txt", board + "hint\nsolve 100\ndump\n"));
    ASSERT_EQ(run.ExitStatus, 0) << run.Errors;
    ASSERT_EQ(run.Lines.size(), 162u + 2 + 9);
    const std::vector<std::string> hint = WordsOf(run.Lines[162]);
    ASSERT_EQ(hint.size(), 3u);
    EXPECT_EQ(hint[0], "Hint");
    const std::vector<std::string> solve = WordsOf(run.Lines[163]);
    ASSERT_GE(solve.size(), 4u);
    ASSERT_EQ(solve[0], "Solve");
    // The board is as it was.
    EXPECT_EQ(std::vector<std::string>(run.Lines.begin() + 164, run.Lines.end()), rows);

    // The line on the same board: every click a pebble, the game over after
    // the last, with the pebbles it announced.
    std::string replay = board;
    for (std::size_t i = 2; i + 1 < solve.size(); i += 2)
        replay += "click " + solve[i] + " " + solve[i + 1] + "\n";
    const TRun played = RunSimulator(WriteScript("zorbalin_sim_replay.txt", replay + "dump\n"));
    ASSERT_EQ(played.ExitStatus, 0) << played.Errors;
    ASSERT_GE(played.Lines.size(), 10u);
    EXPECT_EQ(played.Lines[played.Lines.size() - 10].rfind("ShowResult", 0), 0u);
    int left = 0;
    for (std::size_t i = played.Lines.size() - 9; i < played.Lines.size(); ++i)
        left += 162 / 9 -
                static_cast<int>(std::count(played.Lines[i].begin(), played.Lines[i].end(), '0'));
    EXPECT_EQ(std::to_string(left), solve[1]);

    std::string stuck = "board\n";
    for (int row = 1; row <= 9; ++row)
        stuck += row % 2 ? "121212121212121212\n" : "212121212121212121\n";
    const TRun none = RunSimulator(WriteScript("zorbalin_sim_none.txt", stuck + "hint\n"));
    ASSERT_EQ(none.ExitStatus, 0) << none.Errors;
    EXPECT_EQ(none.Lines.back(), "Hint none");
}

} // namespace
