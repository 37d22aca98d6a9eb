// bench_settings: what a large settings file costs the program. Each file is
// read in a fresh process (this program again, with --case), so that the peak
// resident memory (getrusage of the child) belongs to that file alone; the
// times are the three steps a player meets: the start (the settings read), the
// statistics window (the statistics read) and the end of a game (a result
// recorded).
//
//   bench_settings            every case, one line each
#include "app/settings/settings.h"
#include "app/settings/stats.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

namespace zorbalin {
namespace {

// The goals for any file up to the size limit, beyond the empty file's cost.
constexpr double kGoalStartSeconds = 0.5;
constexpr long kGoalExtraKilobytes = 64 * 1024;
constexpr size_t kFileSize = 15u << 20;

struct TCase {
    const char* Name;
    const char* Line; // repeated to kFileSize; empty for an empty file
};

const TCase kCases[] = {
    {"empty", ""},
    {"blank lines", "\n"},
    {"CRLF blank lines", "\r\n"},
    {"keys in [Stats]", "a=\n"},
    {"sections", "[a]\n"},
};

double SecondsOf(const std::function<void()>& Step) {
    const auto start = std::chrono::steady_clock::now();
    Step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// In the child: the three steps, printed as "start stats record" seconds.
int RunCase(const std::string& Path) {
    const double start = SecondsOf([&] { (void)ReadSettings(Path); });
    const double stats = SecondsOf([&] { (void)ReadStats(Path); });
    const double record = SecondsOf([&] { RecordResult(Path, 4, 7); });
    std::printf("%.3f %.3f %.3f\n", start, stats, record);
    return 0;
}

void WriteCase(const std::string& Path, const TCase& Case) {
    std::string text = "[Stats]\nFinished4=3\n";
    const size_t lineLength = std::strlen(Case.Line);
    if (lineLength > 0)
        while (text.size() + lineLength <= kFileSize)
            text += Case.Line;
    std::ofstream(Path, std::ios::binary | std::ios::trunc) << text;
}

struct TResult {
    std::string Times;
    long PeakKilobytes = 0;
};

TResult Measure(const char* Self, const std::string& Path) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        std::exit(1);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::execl(Self, Self, "--case", Path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    TResult result;
    char buffer[256];
    ssize_t got;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        result.Times.append(buffer, static_cast<size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    result.PeakKilobytes = usage.ru_maxrss;
    if (!result.Times.empty() && result.Times.back() == '\n')
        result.Times.pop_back();
    return result;
}

} // namespace
} // namespace zorbalin

int main(int argc, char** argv) {
    using namespace zorbalin;
    if (argc == 3 && std::strcmp(argv[1], "--case") == 0)
        return RunCase(argv[2]);
    char folder[] = "/tmp/bench_settings-XXXXXX";
    if (::mkdtemp(folder) == nullptr)
        return 1;
    const std::string path = std::string(folder) + "/ZorbaLin.ini";
    std::printf("%-18s %8s %8s %8s %10s %10s\n", "file (15 MiB)", "start s", "stats s", "record s",
                "peak KiB", "extra KiB");
    long emptyKilobytes = 0;
    bool allMet = true;
    for (const TCase& c : kCases) {
        WriteCase(path, c);
        const TResult result = Measure(argv[0], path);
        if (c.Line[0] == '\0')
            emptyKilobytes = result.PeakKilobytes;
        double start = 0, stats = 0, record = 0;
        if (std::sscanf(result.Times.c_str(), "%lf %lf %lf", &start, &stats, &record) != 3)
            return 1;
        const long extra = result.PeakKilobytes - emptyKilobytes;
        const bool met = start <= kGoalStartSeconds && extra <= kGoalExtraKilobytes;
        allMet = allMet && met;
        std::printf("%-18s %8.3f %8.3f %8.3f %10ld %10ld%s\n", c.Name, start, stats, record,
                    result.PeakKilobytes, extra, met ? "" : "  over the goal");
    }
    ::unlink(path.c_str());
    ::rmdir(folder);
    std::printf("goal: start within %.1f s and %ld KiB more than the empty file: %s\n",
                kGoalStartSeconds, kGoalExtraKilobytes, allMet ? "met" : "NOT met");
    return allMet ? 0 : 1;
}
