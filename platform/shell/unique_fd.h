#pragma once
// A file descriptor that closes itself: every descriptor the program opens is held in one (pipe
// ends and process descriptors of the shell layer, the settings file being written), so that no
// early return leaks a descriptor into the next program we start.
#include <cerrno>
#include <unistd.h>

namespace zorbalin {

class TUniqueFd {
  public:
    TUniqueFd() = default;
    explicit TUniqueFd(int Fd) : FFd(Fd) {}
    TUniqueFd(TUniqueFd&& Other) noexcept : FFd(Other.Release()) {}
    TUniqueFd& operator=(TUniqueFd&& Other) noexcept {
        if (this != &Other)
            Reset(Other.Release());
        return *this;
    }
    TUniqueFd(const TUniqueFd&) = delete;
    TUniqueFd& operator=(const TUniqueFd&) = delete;
    ~TUniqueFd() { Reset(); }

    int Get() const { return FFd; }
    bool IsOpen() const { return FFd >= 0; }
    int Release() {
        int fd = FFd;
        FFd = -1;
        return fd;
    }
    // Closes now and says whether the close succeeded: for a file just written, a failed close
    // (a full disk on some file systems) is a failed write. False when nothing was open.
    bool Close() {
        const int fd = Release();
        return fd >= 0 && ::close(fd) == 0;
    }
    // Closes what is held, leaving errno as it was: an error path closes on its way out and
    // still reports why it failed.
    void Reset(int Fd = -1) {
        if (FFd >= 0) {
            const int error = errno;
            ::close(FFd);
            errno = error;
        }
        FFd = Fd;
    }

  private:
    int FFd = -1;
};

} // namespace zorbalin
