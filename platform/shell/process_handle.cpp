#include "shell/process_handle.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <sys/syscall.h>

namespace zorbalin {
namespace {

int OpenPidFd(pid_t Pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, Pid, 0));
#else
    (void)Pid;
    errno = ENOSYS;
    return -1;
#endif
}

// Waits up to TimeoutMs (-1: for ever) for the process descriptor to report the
// end of its process.
bool PidFdSignalsExit(int PidFd, int TimeoutMs) {
    pollfd entry{PidFd, POLLIN, 0};
    for (;;) {
        int ready = ::poll(&entry, 1, TimeoutMs);
        if (ready >= 0)
            return ready > 0;
        if (errno != EINTR)
            return true; // a descriptor that cannot be polled watches nothing any more
    }
}

// Without a process descriptor: the id no longer names a process. A zombie still
// counts as alive here, which is why the descriptor is preferred.
bool PidIsGone(pid_t Pid) {
    return ::kill(Pid, 0) < 0 && errno == ESRCH;
}

} // namespace

TProcessHandle TProcessHandle::Open(pid_t Pid) {
    TProcessHandle handle;
    if (Pid <= 0)
        return handle;
    handle.FPid = Pid;
    handle.FPidFd.Reset(OpenPidFd(Pid));
    return handle;
}

bool TProcessHandle::HasExited() const {
    if (!IsValid())
        return true;
    if (FPidFd.IsOpen())
        return PidFdSignalsExit(FPidFd.Get(), 0);
    return PidIsGone(FPid);
}

void TProcessHandle::WaitForExit() const {
    if (!IsValid())
        return;
    if (FPidFd.IsOpen()) {
        PidFdSignalsExit(FPidFd.Get(), -1);
        return;
    }
    const timespec pause{0, 10 * 1000 * 1000};
    while (!PidIsGone(FPid))
        ::nanosleep(&pause, nullptr);
}

void TProcessHandle::Release() {
    FPidFd.Reset();
    FPid = 0;
}

} // namespace zorbalin
