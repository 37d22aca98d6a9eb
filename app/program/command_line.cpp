#include "app/program/command_line.h"

#include "app/settings/Seged.h"
#include "app/windows/program_version.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zorbalin {

const char kUsageLine[] = "Usage: zorbalin [--help | --version | [--deal N] [--colours K]]";

namespace {

const char kAbout[] =
    "ZorbaLin is a single-player pebble puzzle. The board holds 18 columns of 9\n"
    "pebbles in 3, 4 or 5 colours. Click a pebble that touches another of its\n"
    "colour: the whole joined group disappears, the pebbles above drop and empty\n"
    "columns close up from the right. The game ends when no two neighbouring\n"
    "pebbles share a colour; the fewer are left, the better.\n";

const char kOptions[] = "Options:\n"
                        "  --help                print this help and exit\n"
                        "  --version             print the version and exit\n"
                        "  --deal N              start with deal number N (1 to 999999999): the\n"
                        "                        same number and colours give the same board\n"
                        "  --colours K           start with K colours (3, 4 or 5), kept as if\n"
                        "                        chosen in the settings\n";

// The keys of the main window, as its about window names them.
const char kKeys[] = "Keys:\n"
                     "  Arrows                move the focus ring over the pebbles\n"
                     "  Enter, Space          click the pebble under the ring\n"
                     "  Ctrl+Z, Backspace     undo the last move, or a new deal or replay\n"
                     "  Ctrl+Y, Ctrl+Shift+Z  redo the move undone\n"
                     "  H, F4                 a hint: the best group blinks, the ring goes to it\n"
                     "  Ctrl+N, F2            deal a new board\n"
                     "  Ctrl+R                play the last deal again from its start\n"
                     "  Ctrl+S                settings: the number of colours\n"
                     "  Ctrl+T, F3            the statistics window\n"
                     "  F1                    the about window\n"
                     "  Shift+F10, Menu       the context menu, beside the ring when it is shown\n"
                     "  Esc                   minimise the window\n";

const char kEnvironment[] =
    "Environment:\n"
    "  ZORBALIN_SCALE=N      show every window N times as large (1 to 4); unset,\n"
    "                        Scale=N in [Screen] of the settings file decides, else\n"
    "                        the desktop's GDK_SCALE or Xft.dpi (96 dpi is 1, 192 is 2),\n"
    "                        lowered until the window fits the screen\n"
    "  ZORBALIN_LANG=en      the windows in English for this run (hu: Hungarian); unset,\n"
    "                        Language=en in [Screen] of the settings file decides, else\n"
    "                        Hungarian, whatever the locale (also: the context menu)\n"
    "  XDG_CONFIG_HOME       the folder of the settings file (below)\n";

const char kSettingsHeading[] =
    "Settings:\n"
    "  The window position, the number of colours, the statistics and, with\n"
    "  Resume=1 in [Game] (the context menu's \"Folytatás induláskor\"), the game\n"
    "  in progress are kept in\n";

const char kSettingsRule[] =
    "  that is $XDG_CONFIG_HOME/ZorbaLin/ZorbaLin.ini (~/.config for\n"
    "  $XDG_CONFIG_HOME when it is unset), or a ZorbaLin.ini beside the program\n"
    "  when one exists there (a portable installation).\n"
    "  In its [Screen] section, Animation=0 draws every move at once; Animation=1\n"
    "  shows the pebbles falling and the columns sliding even where the desktop asks\n"
    "  for less motion (Gtk/EnableAnimations=0), which otherwise turns it off. The\n"
    "  context menu's \"Animáció\" switches it and keeps the choice there.\n";

} // namespace

namespace {

// A whole number of at most MaxDigits decimal digits and nothing else.
std::optional<std::int64_t> ReadDigits(const std::string& Text, std::size_t MaxDigits) {
    if (Text.empty() || Text.size() > MaxDigits)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : Text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// One option with its value, "--name V" (taking the next argument) or "--name=V": true when
// Argv[At] is that option. A missing value leaves Value empty and says so in Refusal.
bool ReadOption(int Argc, const char* const Argv[], int& At, const std::string& Name,
                std::string& Value, std::string& Refusal) {
    const std::string word = Argv[At];
    if (word == Name) {
        if (At + 1 >= Argc) {
            Refusal = "zorbalin: option '" + Name + "' needs a value";
            return true;
        }
        Value = Argv[++At];
        return true;
    }
    if (word.rfind(Name + "=", 0) != 0)
        return false;
    Value = word.substr(Name.size() + 1);
    return true;
}

// A word that is none of the starting options, named as the player typed it.
std::string StrayWord(const std::string& Word) {
    const bool anOption = Word.size() > 1 && Word[0] == '-';
    if (anOption && Word != "--help" && Word != "--version")
        return "zorbalin: unknown option '" + Word + "'";
    // --help and --version come alone, and a bare word is nothing we take.
    return "zorbalin: unexpected argument '" + Word + "'";
}

// The starting options, or nothing when any argument is not one of them; Refusal then says which
// argument and why.
std::optional<TStartOptions> ReadStartOptions(int Argc, const char* const Argv[],
                                              std::string& Refusal) {
    TStartOptions options;
    for (int at = 1; at < Argc; ++at) {
        std::string value;
        if (ReadOption(Argc, Argv, at, "--deal", value, Refusal)) {
            const std::optional<std::int64_t> number = ReadDigits(value, 9);
            if (Refusal.empty() && options.Deal != 0)
                Refusal = "zorbalin: option '--deal' given twice";
            if (Refusal.empty() && (!number || !IsDealNumber(*number)))
                Refusal = "zorbalin: bad deal number '" + value + "' (1 to 999999999)";
            if (!Refusal.empty())
                return std::nullopt;
            options.Deal = static_cast<TDealNumber>(*number);
        } else if (ReadOption(Argc, Argv, at, "--colours", value, Refusal)) {
            const std::optional<std::int64_t> count = ReadDigits(value, 1);
            if (Refusal.empty() && options.ColourCount != 0)
                Refusal = "zorbalin: option '--colours' given twice";
            if (Refusal.empty() && (!count || *count < kFewestColours || *count > kMostColours))
                Refusal = "zorbalin: bad number of colours '" + value + "' (3, 4 or 5)";
            if (!Refusal.empty())
                return std::nullopt;
            options.ColourCount = static_cast<std::int32_t>(*count);
        } else {
            // After a leading --help or --version, the word that follows is the one too many.
            const bool helpFirst =
                at == 1 && Argc > 2 &&
                (std::strcmp(Argv[1], "--help") == 0 || std::strcmp(Argv[1], "--version") == 0);
            Refusal = StrayWord(Argv[helpFirst ? 2 : at]);
            return std::nullopt;
        }
    }
    return options;
}

} // namespace

TCommandLineAction ReadCommandLine(int Argc, const char* const Argv[], TStartOptions* Options) {
    if (Argc == 2 && std::strcmp(Argv[1], "--help") == 0)
        return TCommandLineAction::ShowHelp;
    if (Argc == 2 && std::strcmp(Argv[1], "--version") == 0)
        return TCommandLineAction::ShowVersion;
    std::string refusal;
    const std::optional<TStartOptions> options = ReadStartOptions(Argc, Argv, refusal);
    if (!options)
        return TCommandLineAction::Refuse;
    if (Options)
        *Options = *options;
    return TCommandLineAction::Play;
}

std::string RefusalText(int Argc, const char* const Argv[]) {
    if (ReadCommandLine(Argc, Argv) != TCommandLineAction::Refuse)
        return "";
    std::string refusal;
    ReadStartOptions(Argc, Argv, refusal);
    return refusal;
}

std::string VersionText() {
    return std::string("ZorbaLin ") + ProgramVersion();
}

std::string HelpText(const std::string& IniPath) {
    return std::string(kUsageLine) + "\n\n" + kAbout + "\n" + kOptions + "\n" + kKeys + "\n" +
           kEnvironment + "\n" + kSettingsHeading + "    " + IniPath + "\n" + kSettingsRule;
}

std::optional<int> AnswerCommandLine(int Argc, const char* const Argv[], TStartOptions* Options) {
    std::string answer;
    switch (ReadCommandLine(Argc, Argv, Options)) {
    case TCommandLineAction::Play:
        return std::nullopt;
    case TCommandLineAction::Refuse:
        std::fprintf(stderr, "%s\n%s\n", RefusalText(Argc, Argv).c_str(), kUsageLine);
        return 2;
    case TCommandLineAction::ShowHelp:
        answer = HelpText(IniPath());
        break;
    case TCommandLineAction::ShowVersion:
        answer = VersionText() + "\n";
        break;
    }
    // A full disk or a closed pipe is no success.
    if (std::fputs(answer.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "zorbalin: cannot write to standard output: %s\n",
                     std::strerror(errno));
        return 1;
    }
    return 0;
}

} // namespace zorbalin
