#include "app/windows/program_version.h"

namespace zorbalin {

const char* ProgramVersion() {
    return ZORBALIN_VERSION;
}

} // namespace zorbalin
