#pragma once
// Seged ("helper"): the text-field splitter GetField and the paths of the program and its
// settings. GetField lives in its own small library, which the game uses without the rest.
#include "strings/fields.h"

#include <string>

namespace zorbalin {

// The shell's number for the machine-wide application-data folder.
constexpr int CSIDL_COMMON_APPDATA = 35;

// Name of the settings file, without its folder.
extern const char kIniFileName[];

// The folder of the running executable in its own letter case, without a
// trailing "/": "" for an executable in the root folder, so that AppDir + "/"
// + name still names a file beside it. Empty too when the kernel cannot say.
std::string GetAppDir();

// The folder of a well-known kind, or "" when there is none. Only the
// application-data folder (CSIDL_COMMON_APPDATA) is known here: the user's
// configuration folder, since no machine-wide folder is writable by every user.
std::string GetSpecialFolder(int Csidl);

// $XDG_CONFIG_HOME when it holds an absolute path, else $HOME + "/.config",
// else the home folder of the password database + "/.config"; "" when none
// can be found. Never ends with "/".
std::string GetCommonAppDataDir();

// Where the program and its settings live.
struct TSegedPaths {
    std::string AppDir;  // folder of the executable and its "Ico" pictures
    std::string DataDir; // folder of the settings file
    std::string IniPath; // DataDir + "/ZorbaLin.ini"
};

// A regular file "ZorbaLin.ini" beside the executable (even an empty one)
// makes the installation portable: the settings stay beside it. Otherwise they
// go to the folder "ZorbaLin" of `commonAppDataDir`, which is not created here.
TSegedPaths ResolveSegedPaths(const std::string& AppDir, const std::string& CommonAppDataDir);

// Fixes the paths of this process from GetAppDir and GetCommonAppDataDir.
// Call it first thing in main, before any window exists; the paths never
// change afterwards (a later call, or the first use of AppDir, DataDir or
// IniPath before it, fixes them just the same).
void InitSeged();
const std::string& AppDir();
const std::string& DataDir();
const std::string& IniPath();

// True when `path` names a regular file (through symbolic links).
bool IsRegularFile(const std::string& Path);

// Creates `dataDir` with every missing parent, the outermost first, unless it
// is already a folder. True when the folder exists afterwards; callers may
// ignore the result, since a missing folder only means default settings.
bool CreateDataDir(const std::string& DataDir);

} // namespace zorbalin
