#include "app/settings/ini_file.h"

#include "app/settings/atomic_file.h"
#include "app/settings/file_lock.h"
#include "app/settings/ini_text.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace zorbalin {

namespace {

// The file as it stands before a write: its content and permission bits, or
// nothing when it does not exist yet.
struct TExistingFile {
    std::string Content;
    mode_t Mode;
};

// A symbolic link is written through, so that a settings file kept elsewhere
// and linked in stays where it is. Empty when the link leads nowhere.
std::string WriteTarget(const std::string& Path) {
    struct stat info;
    if (::lstat(Path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return Path;
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(Path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

// Reads the file that a write is about to replace. The checks stand in for a
// file system where a read-only or foreign file refuses every writer: a rename
// would otherwise replace it silently, even for root. Throws when the file
// must not be replaced.
std::optional<TExistingFile> ReadFileToReplace(const std::string& Target,
                                               const std::string& ShownPath, size_t SizeLimit) {
    struct stat info;
    if (::stat(Target.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw EIniWriteError(ShownPath);
    }
    bool writable = S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & S_IWUSR);
    if (!writable)
        throw EIniWriteError(ShownPath);
    // Content that cannot be read, or is too large to read, must not be
    // replaced by a file that lacks it.
    std::optional<std::string> content = ReadWholeFile(Target, SizeLimit);
    if (!content)
        throw EIniWriteError(ShownPath);
    return TExistingFile{std::move(*content), static_cast<mode_t>(info.st_mode & 07777)};
}

// What a file held when it was read: enough to see that it changed since,
// without keeping a copy of megabytes.
struct TFileState {
    bool Exists = false;
    size_t Size = 0;
    size_t Hash = 0;

    bool operator==(const TFileState& Other) const {
        return Exists == Other.Exists && Size == Other.Size && Hash == Other.Hash;
    }
};

TFileState StateOf(const std::optional<TExistingFile>& File) {
    if (!File)
        return {};
    return {true, File->Content.size(), std::hash<std::string>()(File->Content)};
}

// Another copy keeps changing the file: after this many tries the write goes
// ahead on the last content read.
constexpr int kWriteAttempts = 5;

std::string NewContent(std::optional<TExistingFile> Existing, const TIniFile::TChange& Change,
                       const std::string& ShownPath, size_t SizeLimit) {
    const TIniText current(Existing ? std::move(Existing->Content) : std::string());
    std::string content = current.With(Change(current));
    // A file that could not be read back afterwards would lose every setting.
    if (content.size() > SizeLimit)
        throw EIniWriteError(ShownPath);
    return content;
}

// A folder that refuses new files leaves only the file itself to rewrite,
// slowly, so all of it under the lock.
void UpdateInPlace(const std::string& Target, const TIniFile::TChange& Change,
                   const std::string& ShownPath, size_t SizeLimit) {
    const TFileLock lock(Target);
    std::optional<TExistingFile> before = ReadFileToReplace(Target, ShownPath, SizeLimit);
    if (!before ||
        !RewriteFileInPlace(Target, NewContent(std::move(before), Change, ShownPath, SizeLimit)))
        throw EIniWriteError(ShownPath);
}

} // namespace

TIniValue IniInteger(std::string Section, std::string Key, int32_t Value) {
    return {std::move(Section), std::move(Key), std::to_string(Value)};
}

EIniWriteError::EIniWriteError(const std::string& Path)
    : std::runtime_error("Unable to write to " + Path) {}

TIniFile::TIniFile(std::string FileName, size_t SizeLimit)
    : FFileName(std::move(FileName)), FSizeLimit(SizeLimit) {}

int32_t TIniFile::ReadInteger(const std::string& Section, const std::string& Key,
                              int32_t Fallback) const {
    std::optional<std::string> content = ReadWholeFile(FFileName, FSizeLimit);
    if (!content)
        return Fallback;
    return TIniText(std::move(*content)).Integer(Section, Key, Fallback);
}

TIniText TIniFile::Read() const {
    return TIniText(ReadWholeFile(FFileName, FSizeLimit).value_or(std::string()));
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Key) const {
    std::optional<std::string> content = ReadWholeFile(FFileName, FSizeLimit);
    if (!content)
        return {};
    return ReadIniValue(*content, Section, Key).value_or(std::string());
}

void TIniFile::WriteValues(const std::vector<TIniValue>& Values) {
    Update([&](const TIniText&) { return Values; });
}

void TIniFile::Update(const TChange& Change) {
    const std::string target = WriteTarget(FFileName);
    if (target.empty())
        throw EIniWriteError(FFileName);
    RemoveStaleTemporaryFiles(target);
    // The new file is written and flushed without the lock, which is held
    // only to see that the file is still as it was read and to rename: on a
    // slow disk another copy then never waits long. When the file changed
    // meanwhile, the change is made again on the new content.
    for (int attempt = 1;; ++attempt) {
        std::optional<TExistingFile> before = ReadFileToReplace(target, FFileName, FSizeLimit);
        const TFileState read = StateOf(before);
        std::optional<mode_t> mode;
        if (before)
            mode = before->Mode;
        const std::string content = NewContent(std::move(before), Change, FFileName, FSizeLimit);
        TPreparedContent prepared(target, content, mode);
        if (prepared.FolderRefusesNewFiles() && read.Exists)
            return UpdateInPlace(target, Change, FFileName, FSizeLimit);
        if (!prepared.IsReady())
            throw EIniWriteError(FFileName);
        {
            // Without the lock in time the write goes ahead all the same: the
            // player's change matters more than a copy that hangs.
            const TFileLock lock(target);
            const bool unchanged =
                StateOf(ReadFileToReplace(target, FFileName, FSizeLimit)) == read;
            if (!unchanged && attempt < kWriteAttempts)
                continue;
            if (!prepared.PutInPlace())
                throw EIniWriteError(FFileName);
        }
        if (!SyncFolderOf(target))
            throw EIniWriteError(FFileName);
        return;
    }
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Key, int32_t Value) {
    WriteValues({IniInteger(Section, Key, Value)});
}

} // namespace zorbalin
