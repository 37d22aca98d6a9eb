#include "script_runner.h"

#include "game/clearable_deal.h"
#include "game/solver.h"

#include <charconv>
#include <sstream>
#include <string>
#include <vector>

namespace zorbalin {
namespace {

// A script line is a few words: anything longer is refused before it can
// take the memory.
constexpr std::size_t kMaxLineBytes = 4096;

std::vector<std::string> SplitWords(const std::string& Line) {
    std::istringstream words(Line);
    std::vector<std::string> result;
    for (std::string word; words >> word;)
        result.push_back(word);
    return result;
}

// Whole-word decimal number, sign allowed, so "-1" is reported as off the board.
bool ParseNumber(const std::string& Text, long& Value) {
    const char* first = Text.data();
    const char* last = first + Text.size();
    const auto [end, error] = std::from_chars(first, last, Value);
    return error == std::errc() && end == last;
}

std::string TrimSpace(const std::string& Text) {
    const auto first = Text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    const auto last = Text.find_last_not_of(" \t\r");
    return Text.substr(first, last - first + 1);
}

class TScript {
  public:
    TScript(std::istream& In, std::ostream& Out, TGame& Game) : FIn(In), FOut(Out), FGame(Game) {}

    void Run() {
        std::string line;
        while (NextLine(line)) {
            const std::vector<std::string> words = SplitWords(line);
            if (words.empty())
                continue;
            RunCommand(words);
            FOut.flush();
        }
    }

  private:
    bool NextLine(std::string& Line) {
        Line.clear();
        std::streambuf* in = FIn.rdbuf();
        int c = in ? in->sbumpc() : std::char_traits<char>::eof();
        if (c == std::char_traits<char>::eof())
            return false;
        ++FLineNumber;
        for (; c != std::char_traits<char>::eof() && c != '\n'; c = in->sbumpc()) {
            if (Line.size() == kMaxLineBytes)
                Fail("the line is longer than " + std::to_string(kMaxLineBytes) + " bytes");
            Line.push_back(static_cast<char>(c));
        }
        return true;
    }

    [[noreturn]] void Fail(const std::string& What) const { throw EScriptError(FLineNumber, What); }

    void ExpectArguments(const std::vector<std::string>& Words, std::size_t Count,
                         const char* Usage) const {
        if (Words.size() != Count + 1)
            Fail(std::string("usage: ") + Usage);
    }

    void RunCommand(const std::vector<std::string>& Words) {
        const std::string& command = Words[0];
        if (command == "board") {
            ExpectArguments(Words, 0, "board, then 9 lines of 18 digits 0-5");
            ReadBoard();
        } else if (command == "click") {
            ExpectArguments(Words, 2, "click COLUMN ROW");
            Click(Words[1], Words[2]);
        } else if (command == "replay") {
            ExpectArguments(Words, 0, "replay");
            FGame.PNGButton2Click();
        } else if (command == "new") {
            ExpectArguments(Words, 1, "new 3|4|5");
            NewGame(Words[1]);
        } else if (command == "deal") {
            ExpectArguments(Words, 2, "deal NUMBER 3|4|5");
            Deal(Words[1], Words[2]);
        } else if (command == "number") {
            ExpectArguments(Words, 0, "number");
            FOut << "Deal " << FGame.DealNumber() << ' ' << FGame.DealColourCount() << '\n';
        } else if (command == "clearable") {
            ExpectArguments(Words, 1, "clearable on|off");
            SetClearable(Words[1]);
        } else if (command == "undo") {
            ExpectArguments(Words, 0, "undo");
            FGame.Undo();
        } else if (command == "redo") {
            ExpectArguments(Words, 0, "redo");
            FGame.Redo();
        } else if (command == "dump") {
            ExpectArguments(Words, 0, "dump");
            Dump();
        } else if (command == "hint") {
            ExpectArguments(Words, 0, "hint");
            Hint();
        } else if (command == "solve") {
            ExpectArguments(Words, 1, "solve MILLISECONDS");
            Solve(Words[1]);
        } else {
            Fail("unknown command \"" + command +
                 "\" (board, click, replay, new, deal, number, clearable, undo, redo, dump, "
                 "hint, solve)");
        }
    }

    void ReadBoard() {
        TBoard position;
        for (int row = 1; row <= kRowCount; ++row) {
            std::string line;
            if (!NextLine(line)) {
                ++FLineNumber; // the line that should have been there
                Fail("board row " + std::to_string(row) + " is missing (9 lines of 18 digits)");
            }
            line = TrimSpace(line);
            if (line.size() != static_cast<std::size_t>(kColumnCount))
                Fail("board row " + std::to_string(row) + " must be 18 digits, got \"" + line +
                     "\"");
            for (int col = 1; col <= kColumnCount; ++col) {
                const char digit = line[col - 1];
                if (digit < '0' || digit > '9')
                    Fail("board row " + std::to_string(row) + " has \"" + digit +
                         "\", not a digit");
                if (digit - '0' > kMostColours)
                    Fail("board row " + std::to_string(row) + " has colour " + digit +
                         ", out of range 0-5");
                position.At(col, row).Colour = digit - '0';
            }
        }
        FGame.LoadPosition(position);
    }

    void Click(const std::string& ColText, const std::string& RowText) {
        long col = 0;
        long row = 0;
        if (!ParseNumber(ColText, col) || !ParseNumber(RowText, row))
            Fail("click needs two numbers, got \"" + ColText + "\" \"" + RowText + "\"");
        if (col < 1 || col > kColumnCount || row < 1 || row > kRowCount)
            Fail("click " + ColText + " " + RowText + " is outside the board (1-18, 1-9)");
        if (!FGame.Board().IsFilled(col, row))
            Fail("click " + ColText + " " + RowText + " is on an empty cell");
        // The same road as a click on the window's picture: through its name.
        FGame.ClickNamedCell(CellName(col, row));
    }

    void SetColours(const char* Command, const std::string& CountText) {
        const int count = CountText.size() == 1 ? CountText[0] - '0' : -1;
        if (count < kFewestColours || count > kMostColours)
            Fail(std::string(Command) + " needs 3, 4 or 5 colours, got \"" + CountText + "\"");
        FGame.SetColourCount(count);
    }

    void NewGame(const std::string& CountText) {
        SetColours("new", CountText);
        if (FClearable)
            FGame.PlayDeal(DrawClearableDeal(FRandom, FGame.ColourCount()));
        else
            FGame.aUjExecute();
    }

    void Deal(const std::string& NumberText, const std::string& CountText) {
        long number = 0;
        if (NumberText.size() > 9 || !ParseNumber(NumberText, number) || !IsDealNumber(number))
            Fail("deal needs a number from 1 to 999999999, got \"" + NumberText + "\"");
        SetColours("deal", CountText);
        FGame.PlayDeal(static_cast<TDealNumber>(number));
    }

    void SetClearable(const std::string& Switch) {
        if (Switch != "on" && Switch != "off")
            Fail("clearable needs on or off, got \"" + Switch + "\"");
        FClearable = Switch == "on";
    }

    void Hint() {
        const std::optional<TCellPosition> hint = TSolver().Hint(FGame.Board());
        if (hint)
            FOut << "Hint " << hint->Col << ' ' << hint->Row << '\n';
        else
            FOut << "Hint none\n";
    }

    void Solve(const std::string& TimeText) {
        constexpr long kLongestSearch = 60000;
        long milliseconds = 0;
        if (!ParseNumber(TimeText, milliseconds) || milliseconds < 1 ||
            milliseconds > kLongestSearch)
            Fail("solve needs a time of 1 to 60000 milliseconds, got \"" + TimeText + "\"");
        const TSolution solution =
            TSolver().Solve(FGame.Board(), std::chrono::milliseconds(milliseconds));
        FOut << "Solve " << solution.PebblesLeft;
        for (const TCellPosition& click : solution.Clicks)
            FOut << ' ' << click.Col << ' ' << click.Row;
        FOut << '\n';
    }

    void Dump() {
        for (int row = 1; row <= kRowCount; ++row) {
            std::string line;
            for (int col = 1; col <= kColumnCount; ++col)
                line += static_cast<char>('0' + FGame.Board().Colour(col, row));
            FOut << line << '\n';
        }
    }

    std::istream& FIn;
    std::ostream& FOut;
    TGame& FGame;
    int FLineNumber = 0;
    bool FClearable = false;
    TClockSeededRandom FRandom; // the numbers of clearable deals
};

} // namespace

// The script's own bytes are echoed in messages: those that a terminal would
// not show as they are (control bytes, NUL, bytes beyond ASCII) as \xNN.
std::string EscapeForMessage(const std::string& Text) {
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    for (unsigned char c : Text) {
        if (c >= 0x20 && c < 0x7f) {
            shown += static_cast<char>(c);
        } else {
            shown += "\\x";
            shown += kHex[c >> 4];
            shown += kHex[c & 15];
        }
    }
    return shown;
}

EScriptError::EScriptError(int Line, const std::string& What)
    : std::runtime_error("line " + std::to_string(Line) + ": " + EscapeForMessage(What)),
      FLine(Line) {}

void RunScript(std::istream& In, std::ostream& Out, TGame& Game) {
    TScript(In, Out, Game).Run();
}

} // namespace zorbalin
