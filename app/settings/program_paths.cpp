#include "app/settings/program_paths.h"

#include <optional>

namespace zorbalin {
namespace {

std::optional<TSegedPaths>& PathsInUse() {
    static std::optional<TSegedPaths> paths;
    return paths;
}

} // namespace

const TSegedPaths& ProgramPaths() {
    auto& paths = PathsInUse();
    if (!paths)
        paths = TSegedPaths{AppDir(), DataDir(), IniPath()};
    return *paths;
}

void SetProgramPaths(const TSegedPaths& Paths) {
    PathsInUse() = Paths;
}

} // namespace zorbalin
