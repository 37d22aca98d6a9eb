#pragma once
// Numbered deals: every deal is named by a number, and the number with the
// colour count alone fixes the board, so that a deal can be played again and
// shared. The board must come out the same on every machine and in every
// later version, so the colours come from the game's own generator, never
// from a library distribution whose output may change between versions.
#include "game/board.h"

#include <cstdint>

namespace zorbalin {

// The numbers a deal may have; 0 names no deal (a position loaded by hand).
using TDealNumber = std::uint32_t;
constexpr TDealNumber kFirstDealNumber = 1;
constexpr TDealNumber kLastDealNumber = 999'999'999;

constexpr bool IsDealNumber(std::int64_t Number) {
    return Number >= kFirstDealNumber && Number <= kLastDealNumber;
}

// The colours of deal Number, one after another in the order the cells are
// dealt. SplitMix64 (Steele, Lea and Flood, 2014), started at the number
// itself: the state grows by 0x9E3779B97F4A7C15 a step, and the step's
// output is the state mixed by two xor-shift-multiply rounds and a last
// xor-shift. A colour is 1 + ((output >> 32) * ColourCount >> 32): the high
// 32 bits scaled to the colour count, so every colour is as likely as the
// others to within one in a billion. Changing any of this changes every
// numbered deal.
class TDealColours {
  public:
    explicit TDealColours(TDealNumber Number) : FState(Number) {}
    // The next raw output of the generator.
    std::uint64_t Next();
    // The next colour, 1..ColourCount.
    std::int32_t NextColour(std::int32_t ColourCount);

  private:
    std::uint64_t FState;
};

// The colours of deal Number with ColourCount colours, cell by cell in the
// order they are dealt (column 1 from row 1 to 9, then column 2, ...).
TBoard DealtBoard(TDealNumber Number, std::int32_t ColourCount);

} // namespace zorbalin
