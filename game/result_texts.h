#pragma once
// The texts of the result window for the number of pebbles left on the board.
#include <string>

namespace zorbalin {

struct TResultTexts {
    std::string Headline;
    std::string Message;
};

// A result of this many pebbles left or fewer is praised, in the result window and in the
// statistics.
constexpr int kPraisedAtMost = 10;

// Praise for kPraisedAtMost pebbles or fewer; the message names the count, or says the
// board is cleared when none is left.
TResultTexts ResultTexts(int Count);

} // namespace zorbalin
