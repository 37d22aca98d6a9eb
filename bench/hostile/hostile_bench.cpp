// bench_hostile: what a hostile picture file costs the program. Each case runs
// in a fresh process (this program again, with --case), so that its peak
// resident memory (getrusage of the child) belongs to that case alone; the time
// is the case's own work, without the process start.
//
//   bench_hostile                 every case, one line each
//   bench_hostile --keep DIR      the same, leaving the files in DIR
//
// The pngtool cases load the file as `pngtool info` does; the game cases run
// the program's start-up on the headless screen up to its first frame (and a
// new deal), with the file in the program's Ico folder.
#include "app/program/program.h"
#include "app/windows/Main.h"
#include "backend/headless/headless_backend.h"
#include "hostile_files.h"
#include "imaging/pngpicture.h"
#include "shell/unique_fd.h"
#include "toolkit/application.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zorbalin {
namespace {

namespace fs = std::filesystem;
using hostile::TBytes;

// The goal for every hostile file: answered within this time and memory.
constexpr double kGoalSeconds = 0.2;
constexpr long kGoalKilobytes = 64 * 1024;
constexpr int kCaseTimeoutSeconds = 60;

struct TCase {
    std::string Name;
    bool Hostile; // held to the goal; the others are shown for comparison
    // Builds the case's files in the folder (in this process).
    std::function<std::string(const std::string& Folder)> Prepare;
    // Does the case's work in the child; returns what the user would be told.
    std::function<std::string(const std::string& Folder)> Run;
};

std::string ProgramFolder(const std::string& Folder) {
    return Folder + "/program";
}

// A program folder with the shipped pebbles, one of its files replaced.
std::string PrepareProgram(const std::string& Folder, const std::string& Name,
                           const std::function<void(const std::string&)>& Make) {
    const std::string ico = ProgramFolder(Folder) + "/Ico";
    fs::remove_all(ProgramFolder(Folder));
    fs::create_directories(ico);
    for (int colour = 1; colour <= 5; ++colour) {
        const std::string file = "/" + std::to_string(colour) + ".bmp";
        fs::copy_file(GetAppDir() + "/Ico" + file, ico + file);
    }
    if (Name.empty())
        return "";
    fs::remove(ico + "/" + Name);
    Make(ico + "/" + Name);
    struct stat info;
    return ::stat((ico + "/" + Name).c_str(), &info) == 0 && S_ISREG(info.st_mode)
               ? std::to_string(info.st_size) + " B"
               : "fifo";
}

std::string WriteFile(const std::string& Path, const TBytes& Bytes) {
    hostile::WriteBytes(Path, Bytes);
    return std::to_string(Bytes.size()) + " B";
}

void MakeFifo(const std::string& Path) {
    if (::mkfifo(Path.c_str(), 0600) != 0)
        throw std::runtime_error("mkfifo " + Path + ": " + std::strerror(errno));
}

std::string LoadPng(const std::string& Path) {
    TPNGObject picture;
    try {
        LoadPNGFromFile(picture, Path);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "loaded, " + std::to_string(picture.Chunks.Count()) + " chunks";
}

std::string Boxes(THeadlessBackend& Screen) {
    std::string text;
    for (const TMessageBoxInfo& box : Screen.MessageBoxes())
        text += (text.empty() ? "" : " | ") + box.Text;
    return text.empty() ? "no error box" : text;
}

// The program's start-up on the headless screen, up to its first frame; with
// `newDeals`, that many new deals after it.
std::string StartGame(const std::string& Folder, int NewDeals = 0) {
    fs::create_directories(Folder + "/config");
    SetProgramPaths(ResolveSegedPaths(ProgramFolder(Folder), Folder + "/config"));
    THeadlessBackend screen;
    auto app = std::make_unique<TApplication>(screen);
    StartProgram(*app);
    frm_Main->Show();
    app->ProcessMessages();
    for (int i = 0; i < NewDeals; ++i) {
        frm_Main->aUjExecute(nullptr);
        app->ProcessMessages();
    }
    std::string result = Boxes(screen);
    app.reset();
    return result;
}

std::vector<TCase> Cases() {
    using hostile::CompressedTextBomb;
    using hostile::HugeHeaderWithoutRows;
    using hostile::ManyTextChunks;
    using hostile::RunLengthPebble;
    auto png = [](std::string Name, std::function<TBytes()> Make) {
        return TCase{"pngtool info: " + Name, true,
                     [Make](const std::string& F) { return WriteFile(F + "/case.png", Make()); },
                     [](const std::string& F) { return LoadPng(F + "/case.png"); }};
    };
    auto game = [](std::string Name, bool IsHostile, std::string File,
                   std::function<void(const std::string&)> Make, int NewDeals = 0) {
        return TCase{"game: " + Name, IsHostile,
                     [File, Make](const std::string& F) { return PrepareProgram(F, File, Make); },
                     [NewDeals](const std::string& F) { return StartGame(F, NewDeals); }};
    };
    auto rle = [](int Side, bool End) {
        return [Side, End](const std::string& P) {
            hostile::WriteBytes(P, RunLengthPebble(Side, End));
        };
    };
    return {
        {"pngtool info: FIFO", true,
         [](const std::string& F) {
             MakeFifo(F + "/case.png");
             return std::string("fifo");
         },
         [](const std::string& F) { return LoadPng(F + "/case.png"); }},
        png("zTXt inflating to 256 MiB", [] { return CompressedTextBomb(uint64_t(256) << 20); }),
        png("80,000 tEXt chunks", [] { return ManyTextChunks(80000); }),
        png("100,000 tEXt chunks", [] { return ManyTextChunks(100000); }),
        png("11000 x 11000 RGBA-16 header, no rows",
            [] { return HugeHeaderWithoutRows(11000, 11000); }),
        game("start, FIFO pebble Ico/1.bmp", true, "1.bmp", MakeFifo),
        game("start, FIFO background Ico/hatter.bmp", true, "hatter.bmp", MakeFifo),
        game("start, damaged RLE8 8192 x 8192 pebble", true, "1.bmp", rle(8192, false)),
        game("start, shipped pebbles", false, "", nullptr),
        game("start, valid RLE8 4096 x 4096 pebble", false, "1.bmp", rle(4096, true)),
        game("start + 10 new deals, RLE8 4096 pebble", false, "1.bmp", rle(4096, true), 10),
        game("start, valid RLE8 8192 x 8192 pebble", false, "1.bmp", rle(8192, true)),
    };
}

// ---- The child: one case ----------------------------------------------------------------

int RunCase(const TCase& C, const std::string& Folder) {
    const auto start = std::chrono::steady_clock::now();
    std::string message = C.Run(Folder);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (char& ch : message)
        if (ch == '\n' || ch == '\r' || ch == '\t')
            ch = ' ';
    std::printf("%.3f\t%s\n", seconds, message.c_str());
    return 0;
}

// ---- The parent: every case in its own process ---------------------------------------------

struct TOutcome {
    bool Finished = false;
    double Seconds = 0;
    double CpuSeconds = 0; // of the whole child, start-up included
    long PeakKilobytes = 0;
    std::string Message;
};

TOutcome Measure(size_t Index, const std::string& Folder) {
    int pipeEnds[2];
    // Close-on-exec: the case's program keeps only the write end that dup2 makes its output.
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    TUniqueFd readEnd(pipeEnds[0]), writeEnd(pipeEnds[1]);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(writeEnd.Get(), STDOUT_FILENO);
        const std::string arg = std::to_string(Index);
        ::execl("/proc/self/exe", "bench_hostile", "--case", arg.c_str(), Folder.c_str(),
                static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    writeEnd.Reset();
    std::string output;
    pollfd watch{readEnd.Get(), POLLIN, 0};
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(kCaseTimeoutSeconds);
    while (std::chrono::steady_clock::now() < deadline && ::poll(&watch, 1, 100) >= 0) {
        if (!(watch.revents & (POLLIN | POLLHUP)))
            continue;
        char buffer[4096];
        const ssize_t got = ::read(readEnd.Get(), buffer, sizeof buffer);
        if (got <= 0)
            break;
        output.append(buffer, static_cast<size_t>(got));
    }
    readEnd.Reset();
    ::kill(child, SIGKILL); // harmless when it has ended; ends it when it hangs
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    TOutcome outcome;
    outcome.PeakKilobytes = usage.ru_maxrss;
    outcome.CpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const size_t tab = output.find('\t');
    if (tab != std::string::npos) {
        outcome.Finished = true;
        outcome.Seconds = std::atof(output.substr(0, tab).c_str());
        outcome.Message = output.substr(tab + 1);
        while (!outcome.Message.empty() && outcome.Message.back() == '\n')
            outcome.Message.pop_back();
    }
    return outcome;
}

int RunAll(const std::string& Keep) {
    std::string folder = Keep;
    if (folder.empty()) {
        char pattern[] = "/tmp/zorbalin-hostile-XXXXXX";
        if (!::mkdtemp(pattern))
            throw std::runtime_error("mkdtemp failed");
        folder = pattern;
    }
    const std::vector<TCase> cases = Cases();
    int overGoal = 0;
    std::printf("%-46s %10s %9s %9s %9s  %s\n", "case", "file", "seconds", "cpu s", "peak MB",
                "message");
    for (size_t i = 0; i < cases.size(); ++i) {
        const std::string caseFolder = folder + "/case" + std::to_string(i);
        fs::remove_all(caseFolder);
        fs::create_directories(caseFolder);
        const std::string size = cases[i].Prepare(caseFolder);
        const TOutcome o = Measure(i, caseFolder);
        const bool over = cases[i].Hostile && (!o.Finished || o.Seconds > kGoalSeconds ||
                                               o.PeakKilobytes > kGoalKilobytes);
        overGoal += over ? 1 : 0;
        const std::string seconds = o.Finished ? std::to_string(o.Seconds).substr(0, 5)
                                               : "> " + std::to_string(kCaseTimeoutSeconds);
        std::printf("%-46s %10s %9s %9.3f %9.1f  %s%s\n", cases[i].Name.c_str(), size.c_str(),
                    seconds.c_str(), o.CpuSeconds, o.PeakKilobytes / 1024.0,
                    o.Finished ? o.Message.substr(0, 110).c_str() : "did not finish",
                    over ? "  [over the goal]" : "");
        std::fflush(stdout);
    }
    if (Keep.empty())
        fs::remove_all(folder);
    std::printf("goal for the hostile cases: under %.1f s and %ld MB resident; %d over it\n",
                kGoalSeconds, kGoalKilobytes / 1024, overGoal);
    return overGoal == 0 ? 0 : 1;
}

} // namespace
} // namespace zorbalin

int main(int argc, char** argv) {
    try {
        if (argc == 4 && std::strcmp(argv[1], "--case") == 0) {
            const auto cases = zorbalin::Cases();
            const size_t index = std::strtoul(argv[2], nullptr, 10);
            return index < cases.size() ? zorbalin::RunCase(cases[index], argv[3]) : 2;
        }
        if (argc == 3 && std::strcmp(argv[1], "--keep") == 0)
            return zorbalin::RunAll(argv[2]);
        if (argc == 1)
            return zorbalin::RunAll("");
        std::fprintf(stderr, "usage: bench_hostile [--keep FOLDER]\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_hostile: %s\n", e.what());
        return 1;
    }
}
