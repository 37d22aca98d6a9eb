#include "shell/detached_spawn.h"

#include "shell/unique_fd.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zorbalin {
namespace {

// The program is started by a short-lived intermediate process: the program
// becomes the intermediate's child, the intermediate ends and we reap it at
// once, so the program is handed to the system's reaper and never becomes a
// zombie of ours. Both forked processes talk back through one pipe in fixed
// records; the pipe closes on the program's exec, so its end of file tells us
// the program runs.
enum TReportKind : std::int32_t {
    rkProgramPid = 1, // from the intermediate: the program's process id
    rkForkFailed,     // from the intermediate: errno of its fork
    rkChdirFailed,    // from the program: errno of entering its working folder
    rkExecFailed,     // from the program: errno of its exec
};

struct TReport {
    std::int32_t Kind;
    std::int32_t Value;
};

// Everything the forked processes use, prepared before forking: after a fork of
// a process with several threads only async-signal-safe calls are allowed.
struct TLaunchPlan {
    const char* Path;
    char* const* Argv;
    const char* WorkDir; // null: keep ours
    int DevNull;
    int ReportRead, ReportWrite; // the records above
    int GoRead, GoWrite;         // closed by us once we hold the program's handle
};

void WriteReport(int Fd, std::int32_t Kind, std::int32_t Value) {
    const TReport report{Kind, Value};
    while (::write(Fd, &report, sizeof report) < 0 && errno == EINTR) {
    }
}

void ResetSignals() {
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    sigemptyset(&defaults.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal)
        if (signal != SIGKILL && signal != SIGSTOP)
            ::sigaction(signal, &defaults, nullptr); // reserved numbers just fail
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// The program should not inherit the game's window-system connection or files.
void CloseInheritedDescriptorsOnExec() {
#ifdef SYS_close_range
    const unsigned closeRangeCloexec = 1U << 2;
    ::syscall(SYS_close_range, 3U, ~0U, closeRangeCloexec); // older kernels: left as they are
#endif
}

[[noreturn]] void RunProgram(const TLaunchPlan& Plan) {
    ::setsid(); // no terminal signals of ours reach it
    for (int target = 0; target <= 2; ++target)
        ::dup2(Plan.DevNull, target);
    ResetSignals();
    if (Plan.WorkDir && ::chdir(Plan.WorkDir) < 0) {
        WriteReport(Plan.ReportWrite, rkChdirFailed, errno);
        ::_exit(127);
    }
    CloseInheritedDescriptorsOnExec();
    ::execve(Plan.Path, Plan.Argv, environ);
    WriteReport(Plan.ReportWrite, rkExecFailed, errno);
    ::_exit(127);
}

pid_t ForkSafely() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    return ::_Fork(); // the async-signal-safe fork, right for a child of a threaded process
#else
    return ::fork();
#endif
}

// The child's copies of the parent's TUniqueFds are never destroyed (it leaves by _exit, and
// only async-signal-safe calls may run here), so the ends it must not keep are closed by hand.
[[noreturn]] void RunIntermediate(const TLaunchPlan& Plan) {
    ::close(Plan.ReportRead);
    ::close(Plan.GoWrite);
    const pid_t program = ForkSafely();
    if (program == 0) {
        ::close(Plan.GoRead);
        RunProgram(Plan);
    }
    if (program < 0) {
        WriteReport(Plan.ReportWrite, rkForkFailed, errno);
        ::_exit(1);
    }
    WriteReport(Plan.ReportWrite, rkProgramPid, program);
    ::close(Plan.ReportWrite);
    // Stay the program's parent until the starter holds a process descriptor for
    // it: while we live and do not wait, its id cannot be reaped and reused.
    char byte;
    while (::read(Plan.GoRead, &byte, 1) < 0 && errno == EINTR) {
    }
    ::_exit(0);
}

TShellResult ResultOfErrno(std::int32_t Kind, int Error) {
    switch (Error) {
    case ENOMEM:
    case EAGAIN:
    case EMFILE:
    case ENFILE:
    case E2BIG:
        return SE_ERR_OOM;
    case EACCES:
    case EPERM:
        return SE_ERR_ACCESSDENIED;
    case ENOENT:
    case ENOTDIR:
        return Kind == rkChdirFailed ? SE_ERR_PNF : SE_ERR_FNF;
    default:
        // The folder cannot be entered, or the file is no program we can run.
        return Kind == rkChdirFailed ? SE_ERR_PNF : SE_ERR_NOASSOC;
    }
}

// Keeps our descriptors off 0..2, which the program's /dev/null takes over, in
// case the game runs with its standard descriptors closed.
TUniqueFd AboveStdio(int Fd) {
    if (Fd < 0 || Fd > 2)
        return TUniqueFd(Fd);
    TUniqueFd original(Fd);
    return TUniqueFd(::fcntl(Fd, F_DUPFD_CLOEXEC, 3));
}

bool OpenPipe(TUniqueFd& Read, TUniqueFd& Write) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) < 0)
        return false;
    Read = AboveStdio(ends[0]);
    Write = AboveStdio(ends[1]);
    return Read.IsOpen() && Write.IsOpen();
}

// Reads the records until every writer has closed the pipe.
std::vector<TReport> ReadReports(int Fd) {
    std::vector<char> bytes;
    char buffer[256];
    for (;;) {
        const ssize_t count = ::read(Fd, buffer, sizeof buffer);
        if (count > 0)
            bytes.insert(bytes.end(), buffer, buffer + count);
        else if (count == 0 || errno != EINTR)
            break;
    }
    std::vector<TReport> reports(bytes.size() / sizeof(TReport));
    if (!reports.empty())
        std::memcpy(reports.data(), bytes.data(), reports.size() * sizeof(TReport));
    return reports;
}

void Reap(pid_t Child) {
    while (::waitpid(Child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

TSpawnResult SpawnDetached(const std::string& Path, const std::vector<std::string>& Arguments,
                           const std::string& WorkDir) {
    TSpawnResult result;
    TUniqueFd devNull = AboveStdio(::open("/dev/null", O_RDWR | O_CLOEXEC));
    TUniqueFd reportRead, reportWrite, goRead, goWrite;
    if (!devNull.IsOpen() || !OpenPipe(reportRead, reportWrite) || !OpenPipe(goRead, goWrite)) {
        result.Code = ResultOfErrno(0, errno);
        return result;
    }
    std::vector<std::string> argCopies = Arguments;
    std::vector<char*> argv;
    for (std::string& argument : argCopies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const TLaunchPlan plan{
        Path.c_str(),  argv.data(),      WorkDir.empty() ? nullptr : WorkDir.c_str(),
        devNull.Get(), reportRead.Get(), reportWrite.Get(),
        goRead.Get(),  goWrite.Get()};

    const pid_t intermediate = ::fork();
    if (intermediate == 0)
        RunIntermediate(plan);
    if (intermediate < 0) {
        result.Code = ResultOfErrno(rkForkFailed, errno);
        return result;
    }
    reportWrite.Reset();
    goRead.Reset();

    pid_t program = 0;
    result.Code = SE_OK;
    for (const TReport& report : ReadReports(reportRead.Get())) {
        if (report.Kind == rkProgramPid)
            program = report.Value;
        else
            result.Code = ResultOfErrno(report.Kind, report.Value);
    }
    if (program <= 0 && result.Code == SE_OK)
        result.Code = SE_ERR_OOM; // the intermediate died before it could report
    if (result.Code == SE_OK)
        result.Process = TProcessHandle::Open(program);
    goWrite.Reset(); // lets the intermediate end
    Reap(intermediate);
    return result;
}

} // namespace zorbalin
