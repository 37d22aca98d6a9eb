#pragma once
// Starts a program detached from us: in a session of its own, with standard
// input and output on /dev/null, not our child (so nothing of it ever waits for
// us to reap it), yet watchable through the returned handle.
#include "shell/process_handle.h"
#include "shell/shell_result.h"

#include <string>
#include <vector>

namespace zorbalin {

struct TSpawnResult {
    TShellResult Code = SE_OK;
    TProcessHandle Process; // valid only when Code is SE_OK
};

// Runs the executable at Path with Arguments (Arguments[0] is the name the
// program sees) in folder WorkDir (empty: our own). Returns once the program
// has replaced the starting process, or with the reason it could not.
TSpawnResult SpawnDetached(const std::string& Path, const std::vector<std::string>& Arguments,
                           const std::string& WorkDir);

} // namespace zorbalin
