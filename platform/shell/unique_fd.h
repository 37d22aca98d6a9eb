#pragma once
// A file descriptor that closes itself: every pipe end and process descriptor of
// the shell layer is held in one, so that no early return leaks a descriptor
// into the next program we start.
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
    void Reset(int Fd = -1) {
        if (FFd >= 0)
            ::close(FFd);
        FFd = Fd;
    }

  private:
    int FFd = -1;
};

} // namespace zorbalin
