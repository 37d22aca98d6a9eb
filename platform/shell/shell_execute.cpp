#include "shell/shell_execute.h"

#include "shell/path_search.h"

namespace zorbalin {

const char* const kDocumentOpener = "xdg-open";

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
    TSpawnResult result;
    if (!VerbHasOpener(Info.Verb)) {
        result.Code = SE_ERR_NOASSOC;
        return result;
    }
    if (Info.File.empty()) {
        result.Code = SE_ERR_FNF;
        return result;
    }
    const std::string opener = FindProgramOnPath(kDocumentOpener);
    if (opener.empty()) {
        result.Code = SE_ERR_NOASSOC;
        return result;
    }
    return SpawnDetached(opener, {kDocumentOpener, AsOpenerArgument(Info.File)}, Info.Directory);
}

std::string ExploreFolderOf(const std::string& Command) {
    const size_t lastSlash = Command.rfind('/');
    if (lastSlash == std::string::npos)
        return "./";
    return Command.substr(0, lastSlash + 1);
}

} // namespace zorbalin
