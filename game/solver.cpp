#include "game/solver.h"
#include "game/beam_search.h"
#include "game/position_score.h"

#include <algorithm>

namespace zorbalin {
namespace {

TCellPosition PositionOf(TCellIndex Index) {
    return TCellPosition{Index / kRowCount + 1, Index % kRowCount + 1};
}

TSearchLimits LimitsOf(const TSolverBudget& Budget, const std::atomic<bool>* Cancel) {
    TSearchLimits limits;
    if (Budget.Positions > 0)
        limits.Positions = Budget.Positions;
    if (Budget.Time.count() > 0) {
        limits.HasDeadline = true;
        limits.Deadline = std::chrono::steady_clock::now() + Budget.Time;
    }
    limits.Cancel = Cancel;
    return limits;
}

// The widest beam tried: its working memory stays within some tens of
// megabytes, and no budget the game gives reaches it.
constexpr std::size_t kMaxWidth = 1 << 15;

// The beam widths to try: doubling while the budget is large beside what the
// last beam cost, so that an easy position is done with cheaply; then one beam
// as wide as the rest of the budget allows, since a wide beam finds more than
// several narrow ones. The cost of a beam grows about as its width. Zero when
// no beam is worth running any more.
std::size_t NextWidth(std::size_t Width, std::uint64_t Used, std::uint64_t Left) {
    constexpr double kFill = 0.8; // leaves room for a beam costing more than foreseen
    constexpr std::size_t kLadder = 8;
    if (Width >= kMaxWidth)
        return 0;
    if (Used == 0)
        return 2 * Width;
    const double affordable =
        kFill * static_cast<double>(Width) * static_cast<double>(Left) / static_cast<double>(Used);
    if (affordable >= static_cast<double>(kLadder * Width))
        return 2 * Width;
    return static_cast<std::size_t>(std::min(affordable, static_cast<double>(kMaxWidth)));
}

// Beams of growing width, each a fresh search: a narrow beam finds a good line
// at once, the wider ones improve on it while the budget lasts. Returns true
// when the best line is known to be optimal.
bool WidenBeams(const TCompactBoard& Root, int LowerBound, std::uint64_t Budget,
                TBeamSearch& Search, TBestLine& Best) {
    std::size_t width = 2;
    while (width >= 1) {
        const std::uint64_t before = Search.PositionsSearched();
        switch (Search.Run(Root, width, LowerBound, Best)) {
        case TBeamSearch::TOutcome::Stopped:
            return false;
        case TBeamSearch::TOutcome::Proven:
        case TBeamSearch::TOutcome::Exhaustive:
            return true;
        case TBeamSearch::TOutcome::Finished:
            break;
        }
        const std::uint64_t used = Search.PositionsSearched() - before;
        const std::uint64_t left =
            Budget > Search.PositionsSearched() ? Budget - Search.PositionsSearched() : 0;
        width = NextWidth(width, used, left);
    }
    return false;
}

} // namespace

TSolverBudget TSolverBudget::ForTime(std::chrono::milliseconds Time) {
    TSolverBudget budget;
    budget.Time = Time;
    budget.Positions = static_cast<std::uint64_t>(std::max<std::int64_t>(Time.count(), 1)) *
                       TSolver::kPositionsPerMillisecond;
    return budget;
}

TSolution TSolver::Solve(const TBoard& Position, const TSolverBudget& Budget,
                         const std::atomic<bool>* Cancel) const {
    const TSearchLimits limits = LimitsOf(Budget, Cancel);
    const TCompactBoard root(Position);
    const int lowerBound = StrandedPebbles(root);
    TBestLine best;
    if (!root.HasMovesLeft()) {
        best.PebblesLeft = root.PebbleCount();
        if (!root.IsUnsettled())
            return TSolution{{}, best.PebblesLeft, 0, true};
    }
    // The narrowest beam always runs to its end, however short the budget:
    // it costs about a millisecond and gives a line that really ends the game.
    TBeamSearch search;
    const TBeamSearch::TOutcome first = search.Run(root, 1, lowerBound, best);
    bool proven =
        first == TBeamSearch::TOutcome::Proven || first == TBeamSearch::TOutcome::Exhaustive;
    if (!proven) {
        search.SetLimits(limits);
        proven = WidenBeams(root, lowerBound, limits.Positions, search, best);
    }
    TSolution solution;
    for (const TCellIndex click : best.Clicks)
        solution.Clicks.push_back(PositionOf(click));
    solution.PebblesLeft = best.PebblesLeft;
    solution.PositionsSearched = search.PositionsSearched();
    solution.Proven = proven || best.PebblesLeft <= lowerBound;
    solution.Interrupted = search.Interrupted();
    return solution;
}

std::optional<TCellPosition> TSolver::Hint(const TBoard& Position,
                                           const std::atomic<bool>* Cancel) const {
    const TSolution solution = Solve(Position, kHintTime, Cancel);
    if (solution.Clicks.empty())
        return std::nullopt;
    return solution.Clicks.front();
}

} // namespace zorbalin
