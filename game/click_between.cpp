#include "game/click_between.h"

#include "game/compact_board.h"
#include "game/pebble_groups.h"

#include <array>
#include <cstdint>

namespace zorbalin {

namespace {

// The compact board numbers the colours afresh; Colours maps its codes back to the game's.
bool SamePosition(const TCompactBoard& Played, const std::array<std::int32_t, 256>& Colours,
                  const TBoard& Position) {
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            if (Colours[Played.Colour(col, row)] != Position.Colour(col, row))
                return false;
    return true;
}

} // namespace

std::optional<TCellPosition> ClickBetween(const TBoard& Before, const TBoard& After) {
    const TCompactBoard before(Before);
    std::array<std::int32_t, 256> colours{}; // code 0 stays the empty cell
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            colours[before.Colour(col, row)] = Before.Colour(col, row);
    const TPebbleGroups groups(before);
    for (int group = 0; group < groups.Count(); ++group) {
        if (groups[group].Size < 2)
            continue;
        TCompactBoard played = before;
        played.RemoveAndSettle(groups.CellsOf(group), groups[group].Size, groups[group].Columns);
        if (SamePosition(played, colours, After)) {
            const int cell = groups[group].Cell;
            return TCellPosition{cell / kRowCount + 1, cell % kRowCount + 1};
        }
    }
    return std::nullopt;
}

} // namespace zorbalin
