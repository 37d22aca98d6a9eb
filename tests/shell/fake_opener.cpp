#include "fake_opener.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zorbalin::testing {
namespace {

// Every value is read before the record is written, since the write itself
// redirects descriptor 1.
const char* const Script = R"(#!/bin/sh
[ -n "$FAKE_OPENER_SLEEP" ] && sleep "$FAKE_OPENER_SLEEP"
out=$(readlink /proc/$$/fd/1)
sid=$(cut -d' ' -f6 /proc/$$/stat)
record="pid=$$
sid=$sid
cwd=$(pwd)
stdout=$out
"
for fd in /proc/$$/fd/*; do record="${record}file=$(readlink "$fd")
"; done
for a in "$@"; do record="${record}arg=$a
"; done
printf '%send\n' "$record" >> "$FAKE_OPENER_LOG"
)";

std::string ReadFile(const std::string& Path) {
    std::ifstream In(Path);
    std::stringstream Text;
    Text << In.rdbuf();
    return Text.str();
}

TOpenerRun ParseRun(std::istringstream& Lines) {
    TOpenerRun Run;
    std::string Line;
    while (std::getline(Lines, Line) && Line != "end") {
        const size_t Eq = Line.find('=');
        const std::string Key = Line.substr(0, Eq), Value = Line.substr(Eq + 1);
        if (Key == "arg")
            Run.Arguments.push_back(Value);
        else if (Key == "cwd")
            Run.WorkDir = Value;
        else if (Key == "stdout")
            Run.StandardOutput = Value;
        else if (Key == "pid")
            Run.Pid = std::stoi(Value);
        else if (Key == "sid")
            Run.Session = std::stoi(Value);
        else if (Key == "file")
            Run.OpenFiles.push_back(Value);
    }
    return Run;
}

} // namespace

TFakeOpener::TFakeOpener() {
    std::string Template =
        (std::filesystem::temp_directory_path() / "zorbalin-opener-XXXXXX").string();
    if (!::mkdtemp(Template.data()))
        throw std::runtime_error("mkdtemp failed");
    FFolder = Template;
    FLog = FFolder + "/runs.log";
    const std::string Opener = FFolder + "/xdg-open";
    std::ofstream(Opener) << Script;
    ::chmod(Opener.c_str(), 0755);
    if (const char* Path = std::getenv("PATH")) {
        FHadPath = true;
        FSavedPath = Path;
    }
    ::setenv("PATH", (FFolder + ":/usr/bin:/bin").c_str(), 1);
    ::setenv("FAKE_OPENER_LOG", FLog.c_str(), 1);
    ::unsetenv("FAKE_OPENER_SLEEP");
}

TFakeOpener::~TFakeOpener() {
    if (FHadPath)
        ::setenv("PATH", FSavedPath.c_str(), 1);
    else
        ::unsetenv("PATH");
    // Whatever a test made in the folder goes with it.
    std::error_code Ignored;
    std::filesystem::remove_all(FFolder, Ignored);
}

void TFakeOpener::SetSleep(const std::string& Seconds) {
    ::setenv("FAKE_OPENER_SLEEP", Seconds.c_str(), 1);
}

// Not even the system folders: a real opener there would open a real browser.
void TFakeOpener::HideOpener() {
    ::setenv("PATH", (FFolder + "/no-such-folder").c_str(), 1);
}

std::vector<TOpenerRun> TFakeOpener::Runs() const {
    std::istringstream Lines(ReadFile(FLog));
    std::vector<TOpenerRun> Result;
    while (Lines.peek() != EOF)
        Result.push_back(ParseRun(Lines));
    return Result;
}

std::vector<TOpenerRun> TFakeOpener::WaitForRuns(size_t Count) const {
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<TOpenerRun> Result = Runs();
    while (Result.size() < Count && std::chrono::steady_clock::now() < Deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Result = Runs();
    }
    return Result;
}

void BecomeSubreaper() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

void ReapAllChildren() {
    while (::waitpid(-1, nullptr, 0) > 0) {
    }
}

} // namespace zorbalin::testing
