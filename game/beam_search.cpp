#include "game/beam_search.h"
#include "game/position_score.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace zorbalin {
namespace {

// Looking at the clock costs more than a position; once every so many will do.
constexpr std::uint64_t kPositionsBetweenClockReads = 256;
// How many children of one parent may go into the next beam.
constexpr int kChildrenPerParent = 2;
// Positions remembered per layer to skip repeats: half a megabyte.
constexpr std::size_t kSeenTableSize = 1 << 16;

// A candidate's rank: its score, then most of its position's hash, so that
// equal positions rank equal and end up side by side; two different
// positions agreeing in score and in 44 bits of hash are taken for one.
constexpr int kHashBits = 64 - kScoreBits;

std::uint64_t RankOf(std::uint32_t Score, std::uint64_t Hash) {
    return static_cast<std::uint64_t>(Score) << kHashBits | Hash >> (64 - kHashBits);
}

// A full order, so that the beam never depends on how the sort breaks ties.
template <typename TCandidate> bool Ranks(const TCandidate& A, const TCandidate& B) {
    return std::tie(A.Rank, A.Parent, A.Click) < std::tie(B.Rank, B.Parent, B.Click);
}

} // namespace

TBeamSearch::TOutcome TBeamSearch::Run(const TCompactBoard& Root, std::size_t Width, int LowerBound,
                                       TBestLine& Best) {
    FLowerBound = LowerBound;
    FDropped = false;
    FBeam.assign(1, Root);
    FTrail.clear();
    while (!FBeam.empty()) {
        if (!ExpandBeam(Best))
            return TOutcome::Stopped;
        if (Best.PebblesLeft <= FLowerBound)
            return TOutcome::Proven;
        SelectNextBeam(Width);
    }
    return FDropped ? TOutcome::Finished : TOutcome::Exhaustive;
}

bool TBeamSearch::ExpandBeam(TBestLine& Best) {
    FCandidates.clear();
    // A new key for every layer, so that the table of positions met need not
    // be cleared: an entry of an earlier layer matches no hash of this one.
    FLayerKey += 0x9e3779b97f4a7c15ull;
    if (FSeen.empty())
        FSeen.assign(kSeenTableSize, 0);
    for (std::uint32_t parent = 0; parent < FBeam.size(); ++parent) {
        if (!Expand(parent, Best))
            return false;
        if (Best.PebblesLeft <= FLowerBound)
            return true;
    }
    return true;
}

bool TBeamSearch::Expand(std::uint32_t Parent, TBestLine& Best) {
    const TCompactBoard& board = FBeam[Parent];
    FGroups.Find(board);
    std::array<std::uint8_t, TCompactBoard::kMaxColours + 1> pebbles{};
    for (int group = 0; group < FGroups.Count(); ++group)
        pebbles[FGroups[group].Colour] += FGroups[group].Size;
    int stranded = 0;
    for (int colour = 1; colour <= board.ColourCount(); ++colour)
        stranded += pebbles[colour] == 1;
    // The first click also lets fall what a position handed in may hold up.
    const std::uint32_t allColumns = FTrail.empty() ? TCompactBoard::kAllColumns : 0;
    int single = -1;
    for (int group = 0; group < FGroups.Count(); ++group) {
        const TPebbleGroup& found = FGroups[group];
        if (found.Size < 2) {
            single = found.Cell;
            continue;
        }
        TCompactBoard child = board;
        child.RemoveAndSettle(FGroups.CellsOf(group), found.Size, found.Columns | allColumns);
        const int strandedNow = stranded + (pebbles[found.Colour] - found.Size == 1);
        if (!Consider(child, Parent, found.Cell, strandedNow, Best))
            return false;
    }
    // A click on a lone pebble removes nothing but settles the board: it closes
    // empty columns that a click emptying five or more left open.
    if (single >= 0 && board.IsUnsettled()) {
        TCompactBoard child = board;
        child.Settle();
        if (!Consider(child, Parent, static_cast<TCellIndex>(single), stranded, Best))
            return false;
    }
    return true;
}

bool TBeamSearch::Consider(const TCompactBoard& Child, std::uint32_t Parent, TCellIndex Click,
                           int Stranded, TBestLine& Best) {
    if (LimitReached())
        return false;
    ++FPositions;
    // The same position is often reached from several parents (two clicks in
    // either order): a table of the positions met lately skips most repeats
    // before they are weighed. What it misses, the ranking puts side by side.
    const std::uint64_t hash = Child.Hash();
    std::uint64_t& seen = FSeen[hash & (FSeen.size() - 1)];
    if (seen == (hash ^ FLayerKey))
        return true;
    seen = hash ^ FLayerKey;
    const TNeighbourPairs pairs = CountNeighbourPairs(Child);
    if (!pairs.HasMovesLeft()) {
        if (pairs.Pebbles < Best.PebblesLeft)
            Record(Parent, Click, pairs.Pebbles, Best);
        if (!Child.IsUnsettled())
            return true;
    }
    if (Stranded >= Best.PebblesLeft)
        return true; // cannot beat the best line any more
    FCandidates.push_back(TCandidate{RankOf(ScorePosition(pairs, Stranded), hash), Parent, Click});
    return true;
}

void TBeamSearch::Record(std::uint32_t Parent, TCellIndex Click, int PebblesLeft,
                         TBestLine& Best) const {
    Best.PebblesLeft = PebblesLeft;
    Best.Clicks.assign(1, Click);
    std::uint32_t entry = Parent;
    for (std::size_t depth = FTrail.size(); depth-- > 0;) {
        const TStep& step = FTrail[depth][entry];
        Best.Clicks.push_back(step.Click);
        entry = step.Parent;
    }
    std::reverse(Best.Clicks.begin(), Best.Clicks.end());
}

void TBeamSearch::SelectNextBeam(std::size_t Width) {
    // Twice the width is ranked fully, so that duplicates among the best do
    // not leave the beam short.
    const std::size_t ranked = std::min(FCandidates.size(), 2 * Width);
    if (ranked < FCandidates.size())
        std::nth_element(FCandidates.begin(), FCandidates.begin() + ranked, FCandidates.end(),
                         Ranks<TCandidate>);
    std::sort(FCandidates.begin(), FCandidates.begin() + ranked, Ranks<TCandidate>);
    // Only the first click may find pebbles held up outside its group.
    const std::uint32_t alsoDrop = FTrail.empty() ? TCompactBoard::kAllColumns : 0;
    FTrail.emplace_back();
    FNextBeam.clear();
    const auto take = [&](const TCandidate& Candidate) {
        FTrail.back().push_back(TStep{Candidate.Parent, Candidate.Click});
        FNextBeam.push_back(FBeam[Candidate.Parent]);
        FNextBeam.back().Click(Candidate.Click, alsoDrop);
    };
    // A beam whose positions all come from a few parents soon follows a single
    // line: unless every position fits, a parent passes on only its best
    // children, and the beam may stay narrower than its width.
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < ranked; ++i)
        distinct += i == 0 || FCandidates[i].Rank != FCandidates[i - 1].Rank;
    const bool allFit = ranked == FCandidates.size() && distinct <= Width;
    FChildren.assign(FBeam.size(), 0);
    for (std::size_t i = 0; i < ranked && FNextBeam.size() < Width; ++i) {
        const TCandidate& candidate = FCandidates[i];
        if (i > 0 && candidate.Rank == FCandidates[i - 1].Rank)
            continue; // the same position again
        if (!allFit && FChildren[candidate.Parent]++ >= kChildrenPerParent)
            continue;
        take(candidate);
    }
    FDropped = FDropped || !allFit;
    std::swap(FBeam, FNextBeam);
}

bool TBeamSearch::LimitReached() {
    if (FPositions >= FLimits.Positions)
        return true;
    if (FLimits.Cancel && FLimits.Cancel->load(std::memory_order_relaxed))
        FInterrupted = true;
    else if (FLimits.HasDeadline && FPositions % kPositionsBetweenClockReads == 0)
        FInterrupted = std::chrono::steady_clock::now() >= FLimits.Deadline;
    return FInterrupted;
}

} // namespace zorbalin
