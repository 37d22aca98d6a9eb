#pragma once
// A game as the clicks that made it: its deal, and every click that changed the board, those that
// redo can still take included. Small enough to keep after every move, and enough to bring the
// game back with its undo, redo and replay (TGame::Played, TGame::Resume).
#include "game/board.h"
#include "game/deal_number.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zorbalin {

struct TPlayedGame {
    TDealNumber Number = 0;   // 0 for a position loaded by hand
    std::int32_t Colours = 4; // the number of colours the deal was dealt with
    // The deal, in CellIndex order: colours 1..Colours in every cell. It is kept beside its number,
    // since the replay needs the board and a later version could deal the number differently.
    std::array<std::int32_t, kCellCount> Start{};
    // Each click changed the board; the first Played of them are on the board, the rest are the
    // steps redo can take.
    std::vector<TCellPosition> Clicks;
    std::size_t Played = 0;
};

} // namespace zorbalin
