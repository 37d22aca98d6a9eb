#include "game/colour_random.h"

#include <chrono>

namespace zorbalin {

void TClockSeededRandom::Reseed() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    FGenerator.seed(static_cast<std::uint32_t>(ticks));
}

std::int32_t TClockSeededRandom::NextColour(std::int32_t ColourCount) {
    std::uniform_int_distribution<std::int32_t> colour(1, ColourCount);
    return colour(FGenerator);
}

} // namespace zorbalin
