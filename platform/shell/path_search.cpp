#include "shell/path_search.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace zorbalin {
namespace {

bool IsExecutableFile(const std::string& Path) {
    struct stat Info {};
    return ::stat(Path.c_str(), &Info) == 0 && S_ISREG(Info.st_mode) &&
           ::access(Path.c_str(), X_OK) == 0;
}

std::string SearchPath() {
    if (const char* Path = std::getenv("PATH"))
        return Path;
    const size_t Size = ::confstr(_CS_PATH, nullptr, 0);
    std::string Default(Size, '\0');
    if (Size > 0)
        ::confstr(_CS_PATH, Default.data(), Size);
    Default.resize(Size > 0 ? Size - 1 : 0);
    return Default;
}

} // namespace

std::string FindProgramOnPath(const std::string& Name) {
    if (Name.empty())
        return {};
    if (Name.find('/') != std::string::npos)
        return IsExecutableFile(Name) ? Name : std::string();
    const std::string Folders = SearchPath();
    size_t Start = 0;
    while (Start <= Folders.size()) {
        size_t End = Folders.find(':', Start);
        if (End == std::string::npos)
            End = Folders.size();
        if (End > Start) {
            std::string Candidate = Folders.substr(Start, End - Start) + "/" + Name;
            if (IsExecutableFile(Candidate))
                return Candidate;
        }
        Start = End + 1;
    }
    return {};
}

} // namespace zorbalin
