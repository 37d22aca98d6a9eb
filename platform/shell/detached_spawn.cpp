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
    const TReport Report{Kind, Value};
    while (::write(Fd, &Report, sizeof Report) < 0 && errno == EINTR) {
    }
}

void ResetSignals() {
    struct sigaction Default {};
    Default.sa_handler = SIG_DFL;
    sigemptyset(&Default.sa_mask);
    for (int Signal = 1; Signal < NSIG; ++Signal)
        if (Signal != SIGKILL && Signal != SIGSTOP)
            ::sigaction(Signal, &Default, nullptr); // reserved numbers just fail
    sigset_t None;
    sigemptyset(&None);
    ::sigprocmask(SIG_SETMASK, &None, nullptr);
}

// The program should not inherit the game's window-system connection or files.
void CloseInheritedDescriptorsOnExec() {
#ifdef SYS_close_range
    const unsigned CloseRangeCloexec = 1U << 2;
    ::syscall(SYS_close_range, 3U, ~0U, CloseRangeCloexec); // older kernels: left as they are
#endif
}

[[noreturn]] void RunProgram(const TLaunchPlan& Plan) {
    ::setsid(); // no terminal signals of ours reach it
    for (int Target = 0; Target <= 2; ++Target)
        ::dup2(Plan.DevNull, Target);
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

[[noreturn]] void RunIntermediate(const TLaunchPlan& Plan) {
    ::close(Plan.ReportRead);
    ::close(Plan.GoWrite);
    const pid_t Program = ForkSafely();
    if (Program == 0) {
        ::close(Plan.GoRead);
        RunProgram(Plan);
    }
    if (Program < 0) {
        WriteReport(Plan.ReportWrite, rkForkFailed, errno);
        ::_exit(1);
    }
    WriteReport(Plan.ReportWrite, rkProgramPid, Program);
    ::close(Plan.ReportWrite);
    // Stay the program's parent until the starter holds a process descriptor for
    // it: while we live and do not wait, its id cannot be reaped and reused.
    char Byte;
    while (::read(Plan.GoRead, &Byte, 1) < 0 && errno == EINTR) {
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
    TUniqueFd Original(Fd);
    return TUniqueFd(::fcntl(Fd, F_DUPFD_CLOEXEC, 3));
}

bool OpenPipe(TUniqueFd& Read, TUniqueFd& Write) {
    int Ends[2];
    if (::pipe2(Ends, O_CLOEXEC) < 0)
        return false;
    Read = AboveStdio(Ends[0]);
    Write = AboveStdio(Ends[1]);
    return Read.IsOpen() && Write.IsOpen();
}

// Reads the records until every writer has closed the pipe.
std::vector<TReport> ReadReports(int Fd) {
    std::vector<char> Bytes;
    char Buffer[256];
    for (;;) {
        const ssize_t Count = ::read(Fd, Buffer, sizeof Buffer);
        if (Count > 0)
            Bytes.insert(Bytes.end(), Buffer, Buffer + Count);
        else if (Count == 0 || errno != EINTR)
            break;
    }
    std::vector<TReport> Reports(Bytes.size() / sizeof(TReport));
    if (!Reports.empty())
        std::memcpy(Reports.data(), Bytes.data(), Reports.size() * sizeof(TReport));
    return Reports;
}

void Reap(pid_t Child) {
    while (::waitpid(Child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

TSpawnResult SpawnDetached(const std::string& Path, const std::vector<std::string>& Arguments,
                           const std::string& WorkDir) {
    TSpawnResult Result;
    TUniqueFd DevNull = AboveStdio(::open("/dev/null", O_RDWR | O_CLOEXEC));
    TUniqueFd ReportRead, ReportWrite, GoRead, GoWrite;
    if (!DevNull.IsOpen() || !OpenPipe(ReportRead, ReportWrite) || !OpenPipe(GoRead, GoWrite)) {
        Result.Code = ResultOfErrno(0, errno);
        return Result;
    }
    std::vector<std::string> ArgCopies = Arguments;
    std::vector<char*> Argv;
    for (std::string& Argument : ArgCopies)
        Argv.push_back(Argument.data());
    Argv.push_back(nullptr);
    const TLaunchPlan Plan{
        Path.c_str(),  Argv.data(),      WorkDir.empty() ? nullptr : WorkDir.c_str(),
        DevNull.Get(), ReportRead.Get(), ReportWrite.Get(),
        GoRead.Get(),  GoWrite.Get()};

    const pid_t Intermediate = ::fork();
    if (Intermediate == 0)
        RunIntermediate(Plan);
    if (Intermediate < 0) {
        Result.Code = ResultOfErrno(rkForkFailed, errno);
        return Result;
    }
    ReportWrite.Reset();
    GoRead.Reset();

    pid_t Program = 0;
    Result.Code = SE_OK;
    for (const TReport& Report : ReadReports(ReportRead.Get())) {
        if (Report.Kind == rkProgramPid)
            Program = Report.Value;
        else
            Result.Code = ResultOfErrno(Report.Kind, Report.Value);
    }
    if (Program <= 0 && Result.Code == SE_OK)
        Result.Code = SE_ERR_OOM; // the intermediate died before it could report
    if (Result.Code == SE_OK)
        Result.Process = TProcessHandle::Open(Program);
    GoWrite.Reset(); // lets the intermediate end
    Reap(Intermediate);
    return Result;
}

} // namespace zorbalin
