#include "app/windows/start_options.h"

namespace zorbalin {

namespace {

TStartOptions& StartOptionsInUse() {
    static TStartOptions options;
    return options;
}

} // namespace

const TStartOptions& ProgramStartOptions() {
    return StartOptionsInUse();
}

void SetProgramStartOptions(const TStartOptions& Options) {
    StartOptionsInUse() = Options;
}

} // namespace zorbalin
