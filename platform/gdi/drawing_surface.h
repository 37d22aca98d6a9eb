// A drawing surface whose pixels can be read back: a 32-bit top-down DIB section selected into a
// memory context of its own. Tools, tests and benchmarks draw into it through DC() and look at
// the result through Row().
#pragma once

#include <cstddef>
#include <cstdint>

#include "gdi/owners.h"

namespace zorbalin {

class TDrawingSurface {
  public:
    // Width x height pixels of blue, green, red and an unused byte, rows from the top, the pixel
    // memory zeroed. Without memory for it the surface is empty: false, with no context.
    TDrawingSurface(int Width, int Height);
    ~TDrawingSurface();
    TDrawingSurface(const TDrawingSurface&) = delete;
    TDrawingSurface& operator=(const TDrawingSurface&) = delete;

    explicit operator bool() const { return FBits != nullptr; }
    HDC DC() const { return FDc.Get(); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // The first of the row's Width() * 4 bytes; rows follow each other without padding.
    std::uint8_t* Row(int Y) const { return FBits + static_cast<std::size_t>(Y) * FWidth * 4; }

  private:
    int FWidth;
    int FHeight;
    TDCOwner FDc;
    TBitmapOwner FSection;
    HGDIOBJ FPrevious = nullptr;
    std::uint8_t* FBits = nullptr;
};

} // namespace zorbalin
