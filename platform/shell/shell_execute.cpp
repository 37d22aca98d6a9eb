#include "shell/shell_execute.h"

#include "shell/path_search.h"

namespace zorbalin {

const char* const DocumentOpener = "xdg-open";

namespace {

bool VerbHasOpener(const std::string& Verb) {
    return Verb.empty() || Verb == "open" || Verb == "explore";
}

// The opener reads a leading '-' as one of its options; a document name that
// starts with one is a file in the current folder.
std::string AsOpenerArgument(const std::string& Document) {
    return Document[0] == '-' ? "./" + Document : Document;
}

} // namespace

TSpawnResult ShellExecuteEx(const TShellExecuteInfo& Info) {
    TSpawnResult Result;
    if (!VerbHasOpener(Info.Verb)) {
        Result.Code = SE_ERR_NOASSOC;
        return Result;
    }
    if (Info.File.empty()) {
        Result.Code = SE_ERR_FNF;
        return Result;
    }
    const std::string Opener = FindProgramOnPath(DocumentOpener);
    if (Opener.empty()) {
        Result.Code = SE_ERR_NOASSOC;
        return Result;
    }
    return SpawnDetached(Opener, {DocumentOpener, AsOpenerArgument(Info.File)}, Info.Directory);
}

std::string ExploreFolderOf(const std::string& Command) {
    const size_t LastSlash = Command.rfind('/');
    if (LastSlash == std::string::npos)
        return "./";
    return Command.substr(0, LastSlash + 1);
}

} // namespace zorbalin
