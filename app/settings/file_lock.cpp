#include "app/settings/file_lock.h"

#include "shell/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>

namespace zorbalin {

namespace {

constexpr std::chrono::milliseconds kRetryEvery{10};

// Not blocking: the path may name a pipe, which the writer then refuses.
TUniqueFd OpenToLock(const std::string& Path) {
    TUniqueFd fd(::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.IsOpen() && errno == ENOENT)
        fd.Reset(::open(Path.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
    return fd;
}

// Whether `path` still names the file open as `fd`.
bool StillThere(const TUniqueFd& Fd, const std::string& Path) {
    struct stat opened, named;
    return ::fstat(Fd.Get(), &opened) == 0 && ::stat(Path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

TFileLock::TFileLock(const std::string& Path, std::chrono::milliseconds Patience) {
    const auto giveUpAt = std::chrono::steady_clock::now() + Patience;
    for (;;) {
        TUniqueFd fd = OpenToLock(Path);
        if (!fd.IsOpen())
            return;
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0) {
            if (StillThere(fd, Path)) {
                FFd = std::make_unique<TUniqueFd>(std::move(fd));
                return;
            }
            // Replaced while we waited: the new file is the one to lock.
        } else if (errno != EWOULDBLOCK && errno != EINTR) {
            return;
        } else {
            std::this_thread::sleep_for(kRetryEvery);
        }
        if (std::chrono::steady_clock::now() >= giveUpAt)
            return;
    }
}

TFileLock::~TFileLock() = default;

} // namespace zorbalin
