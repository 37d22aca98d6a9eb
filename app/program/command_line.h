#pragma once
// The command line: --help and --version alone, or the deal to start with
// (--deal N, --colours K); anything else is refused before a window opens, so
// a typo never starts a game.
#include "app/windows/start_options.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zorbalin {

enum class TCommandLineAction {
    Play,        // no argument, or --deal and --colours: start the game
    ShowHelp,    // --help: the usage on standard output
    ShowVersion, // --version: "ZorbaLin <version>" on standard output
    Refuse,      // anything else: what was wrong and the usage line on standard error, status 2
};

// What the arguments after the program's name ask for. --deal N (1 to
// 999999999, digits only) and --colours K (3, 4 or 5), each at most once and
// also written --deal=N, fill Options when they are given.
TCommandLineAction ReadCommandLine(int Argc, const char* const Argv[],
                                   TStartOptions* Options = nullptr);

// "Usage: zorbalin [--help | --version | [--deal N] [--colours K]]"
extern const char kUsageLine[];

// What a refused command line did wrong, naming the argument: "zorbalin: unknown option
// '--bogus'" for an option we do not have, "zorbalin: unexpected argument 'extra'" for a word
// that is no option or comes too many, a bad or missing value of --deal or --colours, or one
// of them given twice; "" for a command line that is not refused.
std::string RefusalText(int Argc, const char* const Argv[]);

// "ZorbaLin " and the program's version: "ZorbaLin 2.2.0.44"
std::string VersionText();

// The whole help: what the game is, the options, the keys and where this
// user's settings file is (`iniPath`), each line ending in "\n".
std::string HelpText(const std::string& IniPath);

// Answers --help, --version and anything refused, and returns the exit
// status: 0 once the help or version is written (1 when standard output cannot
// take it), 2 for a refused command line. Empty when there is nothing to answer
// and the game should start with Options.
std::optional<int> AnswerCommandLine(int Argc, const char* const Argv[],
                                     TStartOptions* Options = nullptr);

} // namespace zorbalin
