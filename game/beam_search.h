#pragma once
// One beam of the solver: from a position, click by click, it keeps the Width
// most promising distinct positions and remembers the best finished line.
#include "game/compact_board.h"
#include "game/pebble_groups.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

namespace zorbalin {

// The best line found so far, as cells to click on the compact board.
struct TBestLine {
    std::vector<TCellIndex> Clicks;
    int PebblesLeft = kCellCount + 1; // more than any line leaves: nothing found yet
};

// When a search must stop: a number of positions, a deadline, a flag.
struct TSearchLimits {
    std::uint64_t Positions = UINT64_MAX;
    bool HasDeadline = false;
    std::chrono::steady_clock::time_point Deadline;
    const std::atomic<bool>* Cancel = nullptr;
};

class TBeamSearch {
  public:
    enum class TOutcome {
        Stopped,    // a limit was reached: Best holds what was found until then
        Finished,   // every line of the beam was followed to its end
        Exhaustive, // ... and the beam never had to drop a position: Best is optimal
        Proven      // Best reached LowerBound: nothing can do better
    };

    void SetLimits(const TSearchLimits& Limits) { FLimits = Limits; }

    // Runs a beam of Width positions from Root, improving Best where it can.
    // No line leaves fewer than LowerBound pebbles.
    TOutcome Run(const TCompactBoard& Root, std::size_t Width, int LowerBound, TBestLine& Best);
    std::uint64_t PositionsSearched() const { return FPositions; }
    // Whether the deadline or the cancellation flag stopped a search.
    bool Interrupted() const { return FInterrupted; }

  private:
    struct TStep {
        std::uint32_t Parent; // index in the beam one click earlier
        TCellIndex Click;
    };
    struct TCandidate {
        std::uint64_t Rank; // the score above, the position's hash below
        std::uint32_t Parent;
        TCellIndex Click;
    };

    bool ExpandBeam(TBestLine& Best);
    bool Expand(std::uint32_t Parent, TBestLine& Best);
    bool Consider(const TCompactBoard& Child, std::uint32_t Parent, TCellIndex Click, int Stranded,
                  TBestLine& Best);
    void Record(std::uint32_t Parent, TCellIndex Click, int PebblesLeft, TBestLine& Best) const;
    void SelectNextBeam(std::size_t Width);
    bool LimitReached();

    TSearchLimits FLimits;
    std::uint64_t FPositions = 0;
    int FLowerBound = 0;
    bool FDropped = false;
    bool FInterrupted = false;
    std::vector<TCompactBoard> FBeam;
    std::vector<TCompactBoard> FNextBeam;
    std::vector<std::vector<TStep>>
        FTrail; // FTrail[d][i]: how beam entry i after d + 1 clicks came
    std::vector<TCandidate> FCandidates;
    std::vector<int> FChildren;           // per parent, children taken so far
    std::vector<std::uint32_t> FDeferred; // candidates held back for the second round
    std::vector<std::uint64_t> FSeen;     // hashes of positions met in this layer, keyed
    std::uint64_t FLayerKey = 0;
    TPebbleGroups FGroups;
};

} // namespace zorbalin
