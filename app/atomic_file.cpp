#include "app/atomic_file.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zorbalin {

namespace {

const char kTemporaryInfix[] = ".tmp";

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

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes all of `content` from the start of the file.
bool WriteAll(int fd, const std::string& content) {
    size_t done = 0;
    while (done < content.size()) {
        ssize_t written =
            ::pwrite(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

// Flushes the folder's list of names, so that a rename in it survives a power
// cut. A folder that may be written but not opened cannot be flushed, and
// some file systems have nothing to flush; neither is a failure.
bool SyncFolder(const std::string& folder) {
    TFileHandle handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!handle.IsOpen())
        return true;
    return ::fsync(handle.Get()) == 0 || errno == EINVAL;
}

// The new file beside the target; removed again unless Commit renamed it over
// the target.
class TTemporaryFile {
  public:
    explicit TTemporaryFile(const std::string& target) : FTarget(target), FHandle(Create()) {}
    ~TTemporaryFile() {
        if (!FPath.empty() && !FCommitted)
            ::unlink(FPath.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    bool IsOpen() const { return FHandle.IsOpen(); }
    // Why the file could not be made (an errno value).
    int CreationError() const { return FCreationError; }

    bool Write(const std::string& content) { return WriteAll(FHandle.Get(), content); }
    bool SetMode(mode_t mode) { return ::fchmod(FHandle.Get(), mode) == 0; }

    bool Commit() {
        if (::fsync(FHandle.Get()) != 0 || !FHandle.Close())
            return false;
        if (::rename(FPath.c_str(), FTarget.c_str()) != 0)
            return false;
        FCommitted = true;
        return SyncFolder(FolderOf(FTarget));
    }

  private:
    // A name no other file has: the process id tells whose it is, so that the
    // files of killed processes can be told from those being written.
    int Create() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            FPath = FTarget + kTemporaryInfix + std::to_string(::getpid()) + "-" +
                    std::to_string(attempt);
            int fd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0)
                return fd;
            FCreationError = errno;
            if (errno != EEXIST)
                break;
        }
        FPath.clear();
        return -1;
    }

    std::string FTarget;
    std::string FPath;
    int FCreationError = 0;
    TFileHandle FHandle;
    bool FCommitted = false;
};

// Rewrites the file where it stands. Room for a longer content is taken
// before anything is overwritten, so that a full disk refuses the write
// while the old content is still whole.
bool RewriteInPlace(const std::string& path, const std::string& content) {
    TFileHandle handle(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW));
    struct stat info;
    if (!handle.IsOpen() || ::fstat(handle.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const auto size = static_cast<off_t>(content.size());
    if (size > info.st_size && ::posix_fallocate(handle.Get(), 0, size) != 0) {
        // A partial reservation must not leave the file longer than it was.
        (void)::ftruncate(handle.Get(), info.st_size);
        return false;
    }
    return WriteAll(handle.Get(), content) && ::ftruncate(handle.Get(), size) == 0 &&
           ::fsync(handle.Get()) == 0 && handle.Close();
}

// The process id in the name of a temporary file made for the file `name`;
// 0 when `entry` is not such a name.
pid_t TemporaryFileOwner(const std::string& entry, const std::string& name) {
    const std::string prefix = name + kTemporaryInfix;
    if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0)
        return 0;
    const char* text = entry.c_str() + prefix.size();
    char* end = nullptr;
    errno = 0;
    long pid = std::strtol(text, &end, 10);
    if (end == text || *end != '-' || errno != 0 || pid <= 0 || pid != static_cast<pid_t>(pid))
        return 0;
    const char* attempt = end + 1;
    if (*attempt == '\0')
        return 0;
    for (; *attempt; ++attempt)
        if (*attempt < '0' || *attempt > '9')
            return 0;
    return static_cast<pid_t>(pid);
}

// This process writes one file at a time on one thread, so a file of its own
// found here was left by an earlier process with the same id.
bool WriterIsGone(pid_t pid) {
    return pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH);
}

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

bool ReplaceFileContent(const std::string& path, const std::string& content,
                        std::optional<mode_t> existingMode) {
    TTemporaryFile temporary(path);
    if (!temporary.IsOpen()) {
        const int why = temporary.CreationError();
        const bool folderRefusesNewFiles = why == EACCES || why == EPERM;
        return existingMode && folderRefusesNewFiles && RewriteInPlace(path, content);
    }
    if (!temporary.Write(content))
        return false;
    if (existingMode && !temporary.SetMode(*existingMode))
        return false;
    return temporary.Commit();
}

void RemoveStaleTemporaryFiles(const std::string& path) {
    const std::string folder = FolderOf(path), name = NameOf(path);
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), &::closedir);
    if (!listing)
        return;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(listing.get())) {
        pid_t owner = TemporaryFileOwner(entry->d_name, name);
        if (owner > 0 && WriterIsGone(owner))
            stale.push_back(folder + "/" + entry->d_name);
    }
    for (const std::string& file : stale)
        ::unlink(file.c_str());
}

} // namespace zorbalin
