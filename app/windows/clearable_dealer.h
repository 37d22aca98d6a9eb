#pragma once
// The search for a clearable deal (game/clearable_deal.h) on a thread of its
// own, so that the window keeps answering while numbers are tried. The main
// window starts it for a new deal and takes the number when it is found.
#include "game/deal_number.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace zorbalin {

class TClearableDealer {
  public:
    TClearableDealer() = default;
    ~TClearableDealer();
    TClearableDealer(const TClearableDealer&) = delete;
    TClearableDealer& operator=(const TClearableDealer&) = delete;

    // Looks for a clearable deal of ColourCount colours, ending the search
    // under way first (the solver stops within a millisecond or so when asked).
    void Start(std::int32_t ColourCount);
    // Ends the search under way, if any, and forgets what it found.
    void Cancel();

    // A search was started and its number has not been taken yet.
    bool Waiting() const;
    // The number found, once: later calls give nothing until the next Start.
    std::optional<TDealNumber> Take();

  private:
    void Run(std::int32_t ColourCount);

    std::thread FThread;
    std::atomic<bool> FCancel{false};
    mutable std::mutex FLock;
    bool FWaiting = false;
    std::optional<TDealNumber> FFound;
};

} // namespace zorbalin
