// The paths part of Seged: where the program and its settings file live.
#include "app/settings/Seged.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace zorbalin {

const char kIniFileName[] = "ZorbaLin.ini";

namespace {

const char kDataFolderName[] = "ZorbaLin";

bool IsAbsolute(const char* Path) {
    return Path != nullptr && Path[0] == '/';
}

std::string WithoutTrailingSlashes(std::string Path) {
    while (!Path.empty() && Path.back() == '/')
        Path.pop_back();
    return Path;
}

std::string HomeFromPasswordDatabase() {
    long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 16384);
    for (;;) {
        passwd entry;
        passwd* found = nullptr;
        int error = ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || found == nullptr || !IsAbsolute(found->pw_dir))
            return {};
        return found->pw_dir;
    }
}

// The user's configuration folder; "" when there is no home to put it in.
// A relative $XDG_CONFIG_HOME or $HOME is ignored: it would move the settings
// with the working folder.
std::string UserConfigDir() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (IsAbsolute(configHome))
        return WithoutTrailingSlashes(configHome);
    const char* home = std::getenv("HOME");
    std::string homeDir = IsAbsolute(home) ? std::string(home) : HomeFromPasswordDatabase();
    if (homeDir.empty())
        return {};
    return WithoutTrailingSlashes(homeDir) + "/.config";
}

const TSegedPaths& ProcessPaths() {
    static const TSegedPaths kPaths = ResolveSegedPaths(GetAppDir(), GetCommonAppDataDir());
    return kPaths;
}

} // namespace

std::string GetAppDir() {
    std::vector<char> buffer(4096);
    for (;;) {
        ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<size_t>(length) < buffer.size()) {
            std::string executable(buffer.data(), static_cast<size_t>(length));
            size_t slash = executable.rfind('/');
            return slash == std::string::npos ? std::string() : executable.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string GetSpecialFolder(int Csidl) {
    if (Csidl == CSIDL_COMMON_APPDATA)
        return UserConfigDir();
    return {};
}

std::string GetCommonAppDataDir() {
    return GetSpecialFolder(CSIDL_COMMON_APPDATA);
}

TSegedPaths ResolveSegedPaths(const std::string& AppDir, const std::string& CommonAppDataDir) {
    TSegedPaths paths;
    paths.AppDir = AppDir;
    if (IsRegularFile(AppDir + "/" + kIniFileName))
        paths.DataDir = AppDir;
    else
        paths.DataDir = CommonAppDataDir + "/" + kDataFolderName;
    paths.IniPath = paths.DataDir + "/" + kIniFileName;
    return paths;
}

void InitSeged() {
    ProcessPaths();
}

const std::string& AppDir() {
    return ProcessPaths().AppDir;
}

const std::string& DataDir() {
    return ProcessPaths().DataDir;
}

const std::string& IniPath() {
    return ProcessPaths().IniPath;
}

bool IsRegularFile(const std::string& Path) {
    struct stat info;
    return ::stat(Path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool CreateDataDir(const std::string& DataDir) {
    std::error_code error;
    std::filesystem::create_directories(DataDir, error);
    return std::filesystem::is_directory(DataDir, error);
}

} // namespace zorbalin
