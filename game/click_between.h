#pragma once
// Which click led from one position to the next: an undo takes a click back,
// and the player's place on the board goes back to the group it removed.
#include "game/board.h"
#include "game/solver.h"

#include <optional>

namespace zorbalin {

// A cell of the group whose click turns the settled position Before into
// After (its first cell, column by column); none when no single click does.
std::optional<TCellPosition> ClickBetween(const TBoard& Before, const TBoard& After);

} // namespace zorbalin
