// Work that moves on with time by itself, such as an animation. The message loop runs every
// registered ticker when it is idle (before the ordinary repaint, so that what a tick changed is
// drawn at once) and waits for input no longer than the earliest ticker asked.
#pragma once

#include <cstdint>

namespace zorbalin {

class TTicker {
  public:
    virtual ~TTicker() = default;
    // Does what is due at Now (milliseconds of the backend's clock). Returns the milliseconds
    // until it wants to run again (at least 1), or -1 when it has nothing left to do.
    virtual int Tick(uint32_t Now) = 0;
};

} // namespace zorbalin
