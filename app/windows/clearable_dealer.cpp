#include "app/windows/clearable_dealer.h"

#include "game/clearable_deal.h"

namespace zorbalin {

TClearableDealer::~TClearableDealer() {
    Cancel();
}

void TClearableDealer::Start(std::int32_t ColourCount) {
    Cancel();
    {
        std::lock_guard<std::mutex> hold(FLock);
        FWaiting = true;
    }
    FCancel = false;
    FThread = std::thread([this, ColourCount] { Run(ColourCount); });
}

void TClearableDealer::Cancel() {
    FCancel = true;
    if (FThread.joinable())
        FThread.join();
    std::lock_guard<std::mutex> hold(FLock);
    FWaiting = false;
    FFound.reset();
}

bool TClearableDealer::Waiting() const {
    std::lock_guard<std::mutex> hold(FLock);
    return FWaiting;
}

std::optional<TDealNumber> TClearableDealer::Take() {
    std::lock_guard<std::mutex> hold(FLock);
    std::optional<TDealNumber> found = FFound;
    if (found) {
        FFound.reset();
        FWaiting = false;
    }
    return found;
}

void TClearableDealer::Run(std::int32_t ColourCount) {
    // The player waits for this deal: the thread keeps its ordinary priority.
    TClockSeededRandom numbers;
    const TDealNumber number = DrawClearableDeal(numbers, ColourCount, &FCancel);
    std::lock_guard<std::mutex> hold(FLock);
    if (number != 0)
        FFound = number;
}

} // namespace zorbalin
