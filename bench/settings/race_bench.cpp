// bench_settings_race: two copies of the game on a slow disk (each fsync
// delayed 1.5 s by the slow_fsync library). In each round one copy records a
// finished game and, 0.3 s later, the other records one too or saves its place
// at close, as the game does. A round loses a game when the count of finished
// games afterwards is short of the games recorded.
//
//   bench_settings_race [ROUNDS]      20 rounds of each kind by default
#include "app/settings/settings.h"
#include "app/settings/stats.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace zorbalin {
namespace {

constexpr std::chrono::milliseconds kSecondCopyAfter{300};

// One copy of the game in a child process with the slow disk.
pid_t StartCopy(const char* Self, const char* What, const std::string& Path) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("LD_PRELOAD", SLOW_FSYNC_LIBRARY, 1);
        ::execl(Self, Self, What, Path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return child;
}

bool Waited(pid_t Child) {
    int status = 0;
    return ::waitpid(Child, &status, 0) == Child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Returns the games lost in one round.
long Round(const char* Self, const std::string& Path, bool BothFinish) {
    const long before = ReadStats(Path).For(4).Finished;
    const pid_t first = StartCopy(Self, "--finish", Path);
    std::this_thread::sleep_for(kSecondCopyAfter);
    const pid_t second = StartCopy(Self, BothFinish ? "--finish" : "--close", Path);
    if (!Waited(first) || !Waited(second)) {
        std::fprintf(stderr, "a copy failed\n");
        std::exit(1);
    }
    const long recorded = BothFinish ? 2 : 1;
    return before + recorded - ReadStats(Path).For(4).Finished;
}

} // namespace
} // namespace zorbalin

int main(int argc, char** argv) {
    using namespace zorbalin;
    if (argc == 3 && std::strcmp(argv[1], "--finish") == 0) {
        RecordResult(argv[2], 4, 7);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--close") == 0) {
        WriteSettings(argv[2], 100, 100, 4);
        return 0;
    }
    const int rounds = argc == 2 ? std::atoi(argv[1]) : 20;
    char folder[] = "/tmp/bench_settings_race-XXXXXX";
    if (rounds <= 0 || ::mkdtemp(folder) == nullptr)
        return 2;
    const std::string path = std::string(folder) + "/ZorbaLin.ini";
    int lostRounds = 0;
    for (bool bothFinish : {true, false}) {
        int lost = 0;
        for (int round = 0; round < rounds; ++round)
            lost += Round(argv[0], path, bothFinish) > 0 ? 1 : 0;
        lostRounds += lost;
        std::printf("%s: %d of %d rounds lost a finished game\n",
                    bothFinish ? "two games ending 0.3 s apart"
                               : "a game ending 0.3 s before a close",
                    lost, rounds);
    }
    ::unlink(path.c_str());
    ::rmdir(folder);
    return lostRounds == 0 ? 0 : 1;
}
