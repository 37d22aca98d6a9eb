#include "game/position_score.h"

#include <array>

namespace zorbalin {
namespace {

// Weights found on random deals of five colours, the hard ones (three and four
// colours are cleared by nearly any sensible weighting). Lone pebbles are what
// keeps a board from being cleared; those with no pebble of their colour
// nearby a little more. A colour down to one pebble is a pebble lost for good.
constexpr int kWeightLone = 5;
constexpr int kWeightFar = 1;
constexpr int kWeightStranded = 40;
static_assert((kWeightLone + kWeightFar + kWeightStranded) * kCellCount < 1 << kScoreBits,
              "every score fits its bits");

} // namespace

std::uint32_t ScorePosition(const TNeighbourPairs& Pairs, int Stranded) {
    return static_cast<std::uint32_t>(kWeightLone * Pairs.Lone + kWeightFar * Pairs.Far +
                                      kWeightStranded * Stranded);
}

int StrandedPebbles(const TCompactBoard& Board) {
    std::array<std::uint8_t, TCompactBoard::kMaxColours + 1> pebbles{};
    for (int index = 0; index < kCellCount; ++index)
        pebbles[Board.At(index)] += Board.At(index) != 0;
    int stranded = 0;
    for (int colour = 1; colour <= Board.ColourCount(); ++colour)
        stranded += pebbles[colour] == 1;
    return stranded;
}

} // namespace zorbalin
