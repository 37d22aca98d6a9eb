#pragma once
// Where the colours of a deal come from. The game reseeds its source at the
// start of every deal; tests hand in a source of their own to get known deals.
#include <cstdint>
#include <random>

namespace zorbalin {

class TColourRandom {
  public:
    virtual ~TColourRandom() = default;
    // Called once at the start of every deal, never by the replay.
    virtual void Reseed() = 0;
    // A uniformly distributed colour in 1..ColourCount.
    virtual std::int32_t NextColour(std::int32_t ColourCount) = 0;
};

// The game's own source: a Mersenne twister reseeded from the low 32 bits of a
// nanosecond clock, so every deal differs from the last.
class TClockSeededRandom : public TColourRandom {
  public:
    void Reseed() override;
    std::int32_t NextColour(std::int32_t ColourCount) override;

  private:
    std::mt19937 FGenerator;
};

} // namespace zorbalin
