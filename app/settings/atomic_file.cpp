#include "app/settings/atomic_file.h"

#include "shell/unique_fd.h"

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

std::string FolderOf(const std::string& Path) {
    size_t slash = Path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

std::string NameOf(const std::string& Path) {
    size_t slash = Path.rfind('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

// Writes all of `content` from the start of the file.
bool WriteAll(int Fd, const std::string& Content) {
    size_t done = 0;
    while (done < Content.size()) {
        ssize_t written =
            ::pwrite(Fd, Content.data() + done, Content.size() - done, static_cast<off_t>(done));
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
bool SyncFolder(const std::string& Folder) {
    TUniqueFd handle(::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!handle.IsOpen())
        return true;
    return ::fsync(handle.Get()) == 0 || errno == EINVAL;
}

// Rewrites the file where it stands. Room for a longer content is taken
// before anything is overwritten, so that a full disk refuses the write
// while the old content is still whole.
bool RewriteInPlace(const std::string& Path, const std::string& Content) {
    TUniqueFd handle(::open(Path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW));
    struct stat info;
    if (!handle.IsOpen() || ::fstat(handle.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const auto size = static_cast<off_t>(Content.size());
    if (size > info.st_size && ::posix_fallocate(handle.Get(), 0, size) != 0) {
        // A partial reservation must not leave the file longer than it was.
        (void)::ftruncate(handle.Get(), info.st_size);
        return false;
    }
    return WriteAll(handle.Get(), Content) && ::ftruncate(handle.Get(), size) == 0 &&
           ::fsync(handle.Get()) == 0 && handle.Close();
}

// The process id in the name of a temporary file made for the file `name`;
// 0 when `entry` is not such a name.
pid_t TemporaryFileOwner(const std::string& Entry, const std::string& Name) {
    const std::string prefix = Name + kTemporaryInfix;
    if (Entry.size() <= prefix.size() || Entry.compare(0, prefix.size(), prefix) != 0)
        return 0;
    const char* text = Entry.c_str() + prefix.size();
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
bool WriterIsGone(pid_t Pid) {
    return Pid == ::getpid() || (::kill(Pid, 0) != 0 && errno == ESRCH);
}

} // namespace

// The new file beside the target; removed again unless it was renamed over
// the target.
class TTemporaryFile {
  public:
    explicit TTemporaryFile(const std::string& Target) : FTarget(Target), FHandle(Create()) {}
    ~TTemporaryFile() {
        if (!FPath.empty() && !FCommitted)
            ::unlink(FPath.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    bool IsOpen() const { return FHandle.IsOpen(); }
    // Why the file could not be made (an errno value).
    int CreationError() const { return FCreationError; }

    bool Write(const std::string& Content) { return WriteAll(FHandle.Get(), Content); }
    bool SetMode(mode_t Mode) { return ::fchmod(FHandle.Get(), Mode) == 0; }
    // The owner and group of the file it replaces, where this process may
    // give them (root may; an ordinary user may give a group it belongs to).
    // Done before the mode, which a change of owner may clear bits of.
    void KeepOwner(const std::string& Target) {
        struct stat info;
        if (::stat(Target.c_str(), &info) != 0)
            return;
        if (::fchown(FHandle.Get(), info.st_uid, info.st_gid) != 0)
            (void)::fchown(FHandle.Get(), static_cast<uid_t>(-1), info.st_gid);
    }

    // The content to the disk, before the name: a crash must never leave the
    // target renamed to a file whose bytes were not written yet.
    bool Flush() { return ::fsync(FHandle.Get()) == 0 && FHandle.Close(); }

    bool Rename() {
        if (::rename(FPath.c_str(), FTarget.c_str()) != 0)
            return false;
        FCommitted = true;
        return true;
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
    TUniqueFd FHandle;
    bool FCommitted = false;
};

std::optional<std::string> ReadWholeFile(const std::string& Path, size_t Limit) {
    TUniqueFd handle(::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info;
    if (!handle.IsOpen() || ::fstat(handle.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    if (static_cast<unsigned long long>(info.st_size) > Limit)
        return std::nullopt;
    std::string content;
    // The size known now is taken at once; a file that grows meanwhile
    // still grows the string, up to the limit.
    content.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(handle.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return content;
        if (static_cast<size_t>(got) > Limit - content.size())
            return std::nullopt;
        content.append(buffer, static_cast<size_t>(got));
    }
}

TPreparedContent::TPreparedContent(const std::string& Path, const std::string& Content,
                                   std::optional<mode_t> ExistingMode)
    : FFile(std::make_unique<TTemporaryFile>(Path)) {
    if (!FFile->IsOpen() || !FFile->Write(Content))
        return;
    FFile->KeepOwner(Path);
    if (ExistingMode && !FFile->SetMode(*ExistingMode))
        return;
    FReady = FFile->Flush();
}

TPreparedContent::~TPreparedContent() = default;

bool TPreparedContent::FolderRefusesNewFiles() const {
    const int why = FFile->CreationError();
    return !FFile->IsOpen() && (why == EACCES || why == EPERM);
}

bool TPreparedContent::PutInPlace() {
    return FReady && FFile->Rename();
}

bool SyncFolderOf(const std::string& Path) {
    return SyncFolder(FolderOf(Path));
}

bool ReplaceFileContent(const std::string& Path, const std::string& Content,
                        std::optional<mode_t> ExistingMode) {
    TPreparedContent prepared(Path, Content, ExistingMode);
    if (prepared.FolderRefusesNewFiles())
        return ExistingMode && RewriteInPlace(Path, Content);
    return prepared.PutInPlace() && SyncFolderOf(Path);
}

bool RewriteFileInPlace(const std::string& Path, const std::string& Content) {
    return RewriteInPlace(Path, Content);
}

void RemoveStaleTemporaryFiles(const std::string& Path) {
    const std::string folder = FolderOf(Path), name = NameOf(Path);
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
