// The first decode in a fresh process, as the game's start and pngtool meet it:
// writes the five benchmark pictures to files, then times whole processes that
// decode one of them once (fork to exit, wall clock, and the child's CPU time):
// `pngtool info FILE`, our reader alone (bench_png_once_ours) and a minimal libpng
// program (bench_png_once_libpng). The same programs started on a file that does
// not exist show what start-up alone costs. Medians of the repetitions (default
// 9, or the first argument), the runs of the three programs interleaved.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench_pictures.h"

extern char** environ;

namespace {

struct TRunTime {
    double WallMs = 0;
    double CpuMs = 0;
};

std::string BuildFolder() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string self(path, size_t(n));
    return self.substr(0, self.rfind('/'));
}

TRunTime RunOnce(const std::vector<std::string>& Args) {
    std::vector<char*> argv;
    for (const std::string& a : Args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror(argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    TRunTime t;
    t.WallMs = std::chrono::duration<double, std::milli>(end - start).count();
    t.CpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return t;
}

double Median(std::vector<double> V) {
    std::sort(V.begin(), V.end());
    return V.empty()      ? 0
           : V.size() % 2 ? V[V.size() / 2]
                          : (V[V.size() / 2 - 1] + V[V.size() / 2]) / 2;
}

struct TProgram {
    const char* Name;
    std::vector<std::string> Args; // the file is appended
    std::vector<double> Wall, Cpu;
};

void Measure(const std::string& Label, const std::string& File, int Repetitions) {
    const std::string bin = BuildFolder();
    std::vector<TProgram> programs = {
        {"pngtool info", {bin + "/pngtool", "info"}, {}, {}},
        {"ours alone", {bin + "/bench_png_once_ours"}, {}, {}},
        {"libpng", {bin + "/bench_png_once_libpng"}, {}, {}},
    };
    RunOnce({bin + "/bench_png_once_ours", File}); // the file into the page cache
    for (int r = 0; r < Repetitions; ++r)
        for (TProgram& p : programs) {
            std::vector<std::string> args = p.Args;
            args.push_back(File);
            const TRunTime t = RunOnce(args);
            p.Wall.push_back(t.WallMs);
            p.Cpu.push_back(t.CpuMs);
        }
    std::printf("%-30s", Label.c_str());
    for (const TProgram& p : programs)
        std::printf(" %9.2f %9.2f", Median(p.Wall), Median(p.Cpu));
    const double libpng = Median(programs[2].Wall);
    std::printf("   %5.2fx %5.2fx\n", libpng / Median(programs[0].Wall),
                libpng / Median(programs[1].Wall));
}

} // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    char folderTemplate[] = "/tmp/bench_png_fresh.XXXXXX";
    const char* folder = mkdtemp(folderTemplate);
    if (!folder) {
        std::perror("mkdtemp");
        return 1;
    }
    std::printf("Whole processes, medians of %d runs, milliseconds (wall, CPU); the last two\n"
                "columns: libpng's wall time over pngtool's and over our reader's alone.\n",
                repetitions);
    std::printf("%-30s %19s %19s %19s\n", "", "pngtool info", "ours alone", "libpng");
    std::vector<std::string> files;
    for (int i = 0; i < benchpng::kPictureCount; ++i) {
        const benchpng::TBenchPicture& picture = benchpng::Picture(i);
        files.push_back(std::string(folder) + "/" + picture.Name + ".png");
        std::ofstream(files.back(), std::ios::binary)
            .write(reinterpret_cast<const char*>(picture.Png.data()),
                   static_cast<std::streamsize>(picture.Png.size()));
    }
    Measure("start-up only (no such file)", std::string(folder) + "/missing.png", repetitions);
    for (int i = 0; i < benchpng::kPictureCount; ++i)
        Measure(benchpng::Picture(i).Name, files[i], repetitions);
    if (!getenv("BENCH_PNG_KEEP"))
        for (const std::string& f : files)
            std::remove(f.c_str());
    else
        std::printf("pictures kept in %s\n", folder);
    if (!getenv("BENCH_PNG_KEEP"))
        rmdir(folder);
    return 0;
}
