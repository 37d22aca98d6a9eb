#include "game/deal_random.h"

#include <chrono>

namespace zorbalin {

void TClockSeededRandom::Reseed() {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    FGenerator.seed(static_cast<std::uint32_t>(ticks));
}

TDealNumber TClockSeededRandom::NextNumber() {
    std::uniform_int_distribution<TDealNumber> number(kFirstDealNumber, kLastDealNumber);
    return number(FGenerator);
}

} // namespace zorbalin
