#pragma once
// How promising a position is for clearing the board, for the solver's beam:
// lower is better. A position is only ever compared with others reached by
// as many clicks.
#include "game/compact_board.h"
#include "game/neighbour_pairs.h"

#include <cstdint>

namespace zorbalin {

// Stranded: the colours down to a single pebble (StrandedPebbles). The score
// is below 2 to the power of ScoreBits.
std::uint32_t ScorePosition(const TNeighbourPairs& Pairs, int Stranded);
constexpr int kScoreBits = 20;

// The pebbles that stay whatever is played: one for every colour that has a
// single pebble, since a pebble alone of its colour can never go.
int StrandedPebbles(const TCompactBoard& Board);

} // namespace zorbalin
