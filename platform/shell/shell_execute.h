#pragma once
// The shell request: a verb and a document (a file, a folder or an address),
// carried out by the desktop's standard opener, `xdg-open`, which starts the
// user's default application for the document.
#include "shell/detached_spawn.h"

#include <string>

namespace zorbalin {

// The name of the desktop's document opener, looked up on $PATH at each request.
extern const char* const kDocumentOpener;

struct TShellExecuteInfo {
    std::string Verb;       // "open" (also when empty) or "explore"; others have no opener
    std::string File;       // the document, folder or address
    std::string Parameters; // not passed on: the opener takes the document alone
    std::string Directory;  // working folder of the started opener; empty: ours
    int Show = 5;           // window-show code; the opened application picks its own window
};

// Starts the opener detached for "open" and "explore" and returns at once,
// without waiting for the document to open and without a message of its own.
// Code is SE_OK with the opener's process, or the reason it could not start:
// SE_ERR_NOASSOC for other verbs and when there is no opener, SE_ERR_FNF for an
// empty document, SE_ERR_PNF for a working folder that cannot be entered.
TSpawnResult ShellExecuteEx(const TShellExecuteInfo& Info);

// The folder that "explore" opens for Command: its text up to and including its
// last '/'; "./" (the current folder) when it names no folder.
std::string ExploreFolderOf(const std::string& Command);

} // namespace zorbalin
