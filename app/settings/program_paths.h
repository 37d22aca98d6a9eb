#pragma once
// The folders the windows use: Seged's paths of this process, unless a test has put others in
// their place (Seged fixes its own once per process, before any test can choose).
#include "app/settings/Seged.h"

namespace zorbalin {

const TSegedPaths& ProgramPaths();
void SetProgramPaths(const TSegedPaths& Paths);

} // namespace zorbalin
