#include "app/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorbalin {

namespace {

// A file descriptor that is closed when it goes out of scope.
class TFileHandle {
  public:
    explicit TFileHandle(int fd) : FFd(fd) {}
    ~TFileHandle() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    int Get() const { return FFd; }
    bool IsOpen() const { return FFd >= 0; }
    // Closes now, so that a failed close (a full disk on some file systems)
    // is seen as a failed write.
    bool Close() {
        int fd = FFd;
        FFd = -1;
        return ::close(fd) == 0;
    }

  private:
    int FFd;
};

// Creates a new file beside `target` under a name no other file has; its
// descriptor, or -1 with `path` empty.
int CreateBeside(const std::string& target, std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    path.clear();
    return -1;
}

// The temporary file beside the target; removed again unless Commit renamed
// it over the target.
class TTemporaryFile {
  public:
    explicit TTemporaryFile(const std::string& target)
        : FTarget(target), FHandle(CreateBeside(target, FPath)) {}
    ~TTemporaryFile() {
        if (!FPath.empty() && !FCommitted)
            ::unlink(FPath.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    bool IsOpen() const { return FHandle.IsOpen(); }

    bool Write(const std::string& content) {
        size_t done = 0;
        while (done < content.size()) {
            ssize_t written = ::write(FHandle.Get(), content.data() + done, content.size() - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            done += static_cast<size_t>(written);
        }
        return true;
    }

    bool SetMode(mode_t mode) { return ::fchmod(FHandle.Get(), mode) == 0; }

    bool Commit() {
        if (::fsync(FHandle.Get()) != 0 || !FHandle.Close())
            return false;
        if (::rename(FPath.c_str(), FTarget.c_str()) != 0)
            return false;
        FCommitted = true;
        return true;
    }

  private:
    std::string FTarget;
    std::string FPath;
    TFileHandle FHandle;
    bool FCommitted = false;
};

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, size_t limit) {
    TFileHandle handle(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info;
    if (!handle.IsOpen() || ::fstat(handle.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    if (static_cast<unsigned long long>(info.st_size) > limit)
        return std::nullopt;
    std::string content;
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(handle.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return content;
        if (static_cast<size_t>(got) > limit - content.size())
            return std::nullopt;
        content.append(buffer, static_cast<size_t>(got));
    }
}

bool ReplaceFileAtomically(const std::string& path, const std::string& content,
                           std::optional<mode_t> mode) {
    TTemporaryFile temporary(path);
    if (!temporary.IsOpen() || !temporary.Write(content))
        return false;
    if (mode && !temporary.SetMode(*mode))
        return false;
    return temporary.Commit();
}

} // namespace zorbalin
