#include "shell/path_search.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace zorbalin {
namespace {

bool IsExecutableFile(const std::string& Path) {
    struct stat info {};
    return ::stat(Path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(Path.c_str(), X_OK) == 0;
}

std::string SearchPath() {
    if (const char* path = std::getenv("PATH"))
        return path;
    const size_t size = ::confstr(_CS_PATH, nullptr, 0);
    std::string fallback(size, '\0');
    if (size > 0)
        ::confstr(_CS_PATH, fallback.data(), size);
    fallback.resize(size > 0 ? size - 1 : 0);
    return fallback;
}

} // namespace

std::string FindProgramOnPath(const std::string& Name) {
    if (Name.empty())
        return {};
    if (Name.find('/') != std::string::npos)
        return IsExecutableFile(Name) ? Name : std::string();
    const std::string folders = SearchPath();
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        if (end > start) {
            std::string candidate = folders.substr(start, end - start) + "/" + Name;
            if (IsExecutableFile(candidate))
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

} // namespace zorbalin
