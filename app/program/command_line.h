#pragma once
// The command line: the game takes no arguments but --help and --version, and
// refuses anything else before it opens a window, so a typo never starts a game.
#include <optional>
#include <string>

namespace zorbalin {

enum class TCommandLineAction {
    Play,        // no argument: start the game
    ShowHelp,    // --help: the usage on standard output
    ShowVersion, // --version: "ZorbaLin <version>" on standard output
    Refuse,      // anything else: the usage line on standard error, exit status 2
};

// What the arguments after the program's name ask for.
TCommandLineAction ReadCommandLine(int Argc, const char* const Argv[]);

// "Usage: zorbalin [--help | --version]"
extern const char kUsageLine[];

// "ZorbaLin " and the program's version: "ZorbaLin 2.2.0.44"
std::string VersionText();

// The whole help: what the game is, the options, the keys and where this
// user's settings file is (`iniPath`), each line ending in "\n".
std::string HelpText(const std::string& IniPath);

// Answers --help, --version and anything refused, and returns the exit
// status: 0 once the help or version is written (1 when standard output cannot
// take it), 2 for a refused command line. Empty when there is nothing to answer
// and the game should start.
std::optional<int> AnswerCommandLine(int Argc, const char* const Argv[]);

} // namespace zorbalin
