#pragma once
// The handle of a process the shell started: its process id, plus a process
// descriptor that keeps the id from being confused with a later process of the
// same number. The process is not our child (it was started detached), so its
// end is observed, never reaped, here.
#include "shell/unique_fd.h"

#include <sys/types.h>
#include <utility>

namespace zorbalin {

class TProcessHandle {
  public:
    TProcessHandle() = default;
    TProcessHandle(TProcessHandle&& Other) noexcept
        : FPid(Other.FPid), FPidFd(std::move(Other.FPidFd)) {
        Other.FPid = 0;
    }
    TProcessHandle& operator=(TProcessHandle&& Other) noexcept {
        if (this != &Other) {
            FPid = Other.FPid;
            FPidFd = std::move(Other.FPidFd);
            Other.FPid = 0;
        }
        return *this;
    }
    // Takes hold of process Pid. The caller must make sure Pid cannot have been
    // reaped and reused yet (its parent is still alive and has not waited).
    static TProcessHandle Open(pid_t Pid);

    bool IsValid() const { return FPid > 0; }
    // The process id, 0 when the handle holds no process.
    pid_t Pid() const { return FPid; }
    // True once the process has ended (a zombie counts as ended); true for an
    // empty handle too, since there is nothing left to wait for.
    bool HasExited() const;
    // Blocks until HasExited().
    void WaitForExit() const;
    // Lets go of the process; the process itself runs on.
    void Release();

  private:
    pid_t FPid = 0;
    TUniqueFd FPidFd; // empty on kernels without process descriptors
};

} // namespace zorbalin
