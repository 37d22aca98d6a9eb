#pragma once
// The par of a deal: the fewest pebbles the solver leaves on it, searched for
// on a thread of its own at the lowest priority, so that the window's first
// frame, a click and its animation never wait for it.
#include "game/board.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace zorbalin {

class TParSearch {
  public:
    // How long a deal is searched.
    static constexpr std::chrono::milliseconds kSearchTime{2000};

    TParSearch() = default;
    ~TParSearch();
    TParSearch(const TParSearch&) = delete;
    TParSearch& operator=(const TParSearch&) = delete;

    // Searches this deal, ending the search of the last one first (at once:
    // the solver stops within a millisecond or so when asked).
    void Start(const TBoard& Deal, std::chrono::milliseconds Time = kSearchTime);
    // Ends the running search, if any, and forgets its deal.
    void Cancel();

    bool Searching() const;
    // The fewest pebbles found on the deal, once the search has ended.
    std::optional<std::int32_t> Par() const;

  private:
    void Run(TBoard Deal, std::chrono::milliseconds Time);

    std::thread FThread;
    std::atomic<bool> FCancel{false};
    mutable std::mutex FLock;
    bool FSearching = false;
    std::optional<std::int32_t> FPar;
};

} // namespace zorbalin
