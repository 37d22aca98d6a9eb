#include "game/game.h"

#include <stdexcept>

namespace zorbalin {

TGame::TGame(TBoardView& View, std::unique_ptr<TDealRandom> Random)
    : FView(View), FRandom(std::move(Random)) {
    if (!FRandom)
        throw std::invalid_argument("TGame needs a colour source");
}

void TGame::SetColourCount(std::int32_t Count) {
    if (Count < kFewestColours || Count > kMostColours)
        throw std::invalid_argument("the number of colours must be 3, 4 or 5");
    FColourCount = Count;
}

} // namespace zorbalin
