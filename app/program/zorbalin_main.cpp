// zorbalin: the game in real windows.
#include "app/program/command_line.h"
#include "app/program/program.h"
#include "backend/sdl/sdl_backend.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    // Answered before any window or display is touched.
    zorbalin::TStartOptions options;
    if (std::optional<int> status = zorbalin::AnswerCommandLine(argc, argv, &options))
        return *status;
    zorbalin::SetProgramStartOptions(options);
    try {
        zorbalin::InitSeged(); // before any window exists
        // The window class ties the windows to the desktop entry.
        zorbalin::TSdlBackend backend(ZORBALIN_APP_ID);
        return zorbalin::RunProgram(backend);
    } catch (const std::exception& e) {
        // Only a failure to reach the display ("cannot open the display: ...")
        // ends up here; every later error is shown in the program's own error box.
        std::fprintf(stderr, "zorbalin: %s\n", e.what());
        return 1;
    }
}
