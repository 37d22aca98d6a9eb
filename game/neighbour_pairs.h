#pragma once
// Counts that tell how well the pebbles of a position hang together, read in
// one sweep over the board without walking any group: what the solver needs
// to rank the many positions it does not go on from.
#include "game/compact_board.h"

namespace zorbalin {

struct TNeighbourPairs {
    int Pebbles = 0;
    int Pairs = 0; // same-coloured neighbours, side by side or one above the other
    int Lone = 0;  // pebbles without a same-coloured neighbour
    int Far = 0;   // ... nor one diagonally or two cells away in a line

    // Whether the game goes on: some pair can be clicked.
    bool HasMovesLeft() const { return Pairs > 0; }
};

TNeighbourPairs CountNeighbourPairs(const TCompactBoard& Board);

} // namespace zorbalin
