#pragma once
// The start-up of the process, shared by the executable and the tests that run
// the whole program on the headless backend:
//   1. Seged fixes AppDir, DataDir and IniPath (no window exists yet);
//   2. the application gets its title "ZorbaLin", the windows' scale (ZORBALIN_SCALE, else
//      Scale of [Screen] in the settings file, else what the desktop asks for) and the icon;
//   3. the main window is created (its FormCreate reads the settings and deals);
//   4. the message loop shows it at its saved place and runs until it closes.
#include "app/settings/program_paths.h"

namespace zorbalin {

class TApplication;
class TBackend;

extern const char kApplicationTitle[];

// Steps 2 and 3 on an application the caller made; frm_Main exists afterwards.
void StartProgram(TApplication& App);

// All four steps on the given backend; returns the process's exit status.
int RunProgram(TBackend& Backend);

} // namespace zorbalin
