#pragma once
// How the player asked the game to start, from the command line: the main
// window reads it when it deals the first board.
#include "game/deal_number.h"

#include <cstdint>

namespace zorbalin {

// 0 where nothing was asked.
struct TStartOptions {
    TDealNumber Deal = 0;         // --deal N: this deal instead of a random one
    std::int32_t ColourCount = 0; // --colours K: as if K had been chosen in the settings
};

// Nothing asked unless the executable or a test puts options in.
const TStartOptions& ProgramStartOptions();
void SetProgramStartOptions(const TStartOptions& Options);

} // namespace zorbalin
