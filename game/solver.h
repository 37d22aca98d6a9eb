#pragma once
// The solver: looks for the line of clicks that leaves the fewest pebbles on a
// position, under exactly the rules of TGame, for the hint and the par.
//
// It runs beam searches of growing width (TBeamSearch): click by click, each
// keeps the most promising distinct positions, ranked by how many pebbles
// have no neighbour of their colour (ScorePosition). A search ends early when
// the board is cleared, or when no line can do better than the one found.
//
// It is deterministic: the same position and the same budget give the same
// line on the same machine. A budget of time is turned into a number of
// positions to search (PositionsPerMillisecond, measured on a development
// machine); the search stops when it has searched that many. The time itself
// is only a deadline that cuts the search short when the machine runs slower
// than that (a loaded machine, a low-priority thread): the solver never
// overruns its time, but a search cut short that way may differ from run to run.
//
// TSolver runs on the calling thread and starts none of its own; it keeps no
// state between searches, so threads may search side by side. Another thread
// may ask a search to stop through the cancellation flag; it then returns
// within a few milliseconds with the best line found so far.
#include "game/board.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace zorbalin {

struct TSolution {
    // The cells to click in turn, each a pebble of the board as it is at that
    // click. Playing them leaves PebblesLeft pebbles and no move. Empty when
    // the position has no move to begin with.
    std::vector<TCellPosition> Clicks;
    int PebblesLeft = 0;
    // Positions the search looked at (the measure of its budget).
    std::uint64_t PositionsSearched = 0;
    // True when no line can leave fewer pebbles (none left, or as few as the
    // colours with a single pebble force): the search stopped early.
    bool Proven = false;
    // True when the deadline or the cancellation flag stopped the search
    // before it had searched its budget of positions: the result may then
    // differ from one run to the next.
    bool Interrupted = false;
};

// How much a search may do. Positions makes it deterministic; Time is the
// deadline it never passes. Either may be left unlimited (zero).
struct TSolverBudget {
    std::uint64_t Positions = 0;
    std::chrono::milliseconds Time{0};

    // The positions this machine searches in Time, with Time as the deadline.
    static TSolverBudget ForTime(std::chrono::milliseconds Time);
};

class TSolver {
  public:
    // Positions searched per millisecond of one core of the development
    // machine: what a time budget buys.
    static constexpr std::uint64_t kPositionsPerMillisecond = 3000;
    // How long the hint may think.
    static constexpr std::chrono::milliseconds kHintTime{300};

    // The best line found within Budget. Cancel, when given, may be set by
    // another thread: the search then stops soon with what it has.
    TSolution Solve(const TBoard& Position, const TSolverBudget& Budget,
                    const std::atomic<bool>* Cancel = nullptr) const;
    TSolution Solve(const TBoard& Position, std::chrono::milliseconds Time,
                    const std::atomic<bool>* Cancel = nullptr) const {
        return Solve(Position, TSolverBudget::ForTime(Time), Cancel);
    }

    // The first click of the best line found within HintTime; none when the
    // position has no move.
    std::optional<TCellPosition> Hint(const TBoard& Position,
                                      const std::atomic<bool>* Cancel = nullptr) const;
};

} // namespace zorbalin
