#pragma once
// Where the number of a new deal comes from. The game reseeds its source at
// the start of every new deal; tests hand in a source of their own to get
// known deals.
#include "game/deal_number.h"

#include <random>

namespace zorbalin {

class TDealRandom {
  public:
    virtual ~TDealRandom() = default;
    // Called once at the start of every new deal, never by the replay or a
    // deal asked for by its number.
    virtual void Reseed() = 0;
    // A deal number, kFirstDealNumber..kLastDealNumber, each as likely as
    // another.
    virtual TDealNumber NextNumber() = 0;
};

// The game's own source: a Mersenne twister reseeded from the low 32 bits of a
// nanosecond clock, so every deal differs from the last. Only the number it
// draws must be reproducible, not the draw, so a library distribution serves.
class TClockSeededRandom : public TDealRandom {
  public:
    void Reseed() override;
    TDealNumber NextNumber() override;

  private:
    std::mt19937 FGenerator;
};

} // namespace zorbalin
