#include "app/settings/ini_file.h"

#include "app/settings/atomic_file.h"
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
    return ReadIniInteger(*content, Section, Key, Fallback);
}

void TIniFile::WriteValues(const std::vector<TIniValue>& Values) {
    std::string target = WriteTarget(FFileName);
    if (target.empty())
        throw EIniWriteError(FFileName);
    std::optional<TExistingFile> existing = ReadFileToReplace(target, FFileName, FSizeLimit);
    std::string content = existing ? existing->Content : std::string();
    for (const TIniValue& value : Values)
        content = WriteIniValue(content, value.Section, value.Key, value.Value);
    // A file that could not be read back afterwards would lose every setting.
    if (content.size() > FSizeLimit)
        throw EIniWriteError(FFileName);
    std::optional<mode_t> mode;
    if (existing)
        mode = existing->Mode;
    RemoveStaleTemporaryFiles(target);
    if (!ReplaceFileContent(target, content, mode))
        throw EIniWriteError(FFileName);
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Key, int32_t Value) {
    WriteValues({IniInteger(Section, Key, Value)});
}

} // namespace zorbalin
