#include "game/deal_number.h"

namespace zorbalin {

std::uint64_t TDealColours::Next() {
    FState += 0x9E3779B97F4A7C15u;
    std::uint64_t mixed = FState;
    mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9u;
    mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBu;
    return mixed ^ (mixed >> 31);
}

std::int32_t TDealColours::NextColour(std::int32_t ColourCount) {
    const std::uint64_t high = Next() >> 32;
    return 1 + static_cast<std::int32_t>((high * static_cast<std::uint64_t>(ColourCount)) >> 32);
}

TBoard DealtBoard(TDealNumber Number, std::int32_t ColourCount) {
    TDealColours colours(Number);
    TBoard board;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            board.At(col, row).Colour = colours.NextColour(ColourCount);
    return board;
}

} // namespace zorbalin
