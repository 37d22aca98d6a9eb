// A drawing surface whose pixels can be read back: a 32-bit top-down DIB section selected into a
// memory context of its own. Tools, tests and benchmarks draw into it through DC() and look at
// the result through Row().
#pragma once

#include <cstddef>
#include <cstdint>

#include "gdi/owners.h"

namespace zorbalin {

class DrawingSurface {
  public:
    // Width x height pixels of blue, green, red and an unused byte, rows from the top, the pixel
    // memory zeroed. Without memory for it the surface is empty: false, with no context.
    DrawingSurface(int width, int height);
    ~DrawingSurface();
    DrawingSurface(const DrawingSurface&) = delete;
    DrawingSurface& operator=(const DrawingSurface&) = delete;

    explicit operator bool() const { return bits_ != nullptr; }
    HDC DC() const { return dc_.Get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The first of the row's Width() * 4 bytes; rows follow each other without padding.
    std::uint8_t* Row(int y) const { return bits_ + static_cast<std::size_t>(y) * width_ * 4; }

  private:
    int width_;
    int height_;
    DCOwner dc_;
    BitmapOwner section_;
    HGDIOBJ previous_ = nullptr;
    std::uint8_t* bits_ = nullptr;
};

} // namespace zorbalin
