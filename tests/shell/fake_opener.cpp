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
const char* const kScript = R"(#!/bin/sh
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
    std::ifstream in(Path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TOpenerRun ParseRun(std::istringstream& Lines) {
    TOpenerRun run;
    std::string line;
    while (std::getline(Lines, line) && line != "end") {
        const size_t eq = line.find('=');
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "arg")
            run.Arguments.push_back(value);
        else if (key == "cwd")
            run.WorkDir = value;
        else if (key == "stdout")
            run.StandardOutput = value;
        else if (key == "pid")
            run.Pid = std::stoi(value);
        else if (key == "sid")
            run.Session = std::stoi(value);
        else if (key == "file")
            run.OpenFiles.push_back(value);
    }
    return run;
}

} // namespace

TFakeOpener::TFakeOpener() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zorbalin-opener-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    FFolder = pattern;
    FLog = FFolder + "/runs.log";
    const std::string opener = FFolder + "/xdg-open";
    std::ofstream(opener) << kScript;
    ::chmod(opener.c_str(), 0755);
    if (const char* path = std::getenv("PATH")) {
        FHadPath = true;
        FSavedPath = path;
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
    std::error_code ignored;
    std::filesystem::remove_all(FFolder, ignored);
}

void TFakeOpener::SetSleep(const std::string& Seconds) {
    ::setenv("FAKE_OPENER_SLEEP", Seconds.c_str(), 1);
}

// Not even the system folders: a real opener there would open a real browser.
void TFakeOpener::HideOpener() {
    ::setenv("PATH", (FFolder + "/no-such-folder").c_str(), 1);
}

std::vector<TOpenerRun> TFakeOpener::Runs() const {
    std::istringstream lines(ReadFile(FLog));
    std::vector<TOpenerRun> result;
    while (lines.peek() != EOF)
        result.push_back(ParseRun(lines));
    return result;
}

std::vector<TOpenerRun> TFakeOpener::WaitForRuns(size_t Count) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<TOpenerRun> result = Runs();
    while (result.size() < Count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        result = Runs();
    }
    return result;
}

void BecomeSubreaper() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

void ReapAllChildren() {
    while (::waitpid(-1, nullptr, 0) > 0) {
    }
}

} // namespace zorbalin::testing
