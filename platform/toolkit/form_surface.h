// The retained pixels of a form's client area: a 32-bit top-down drawing surface, so that
// everything the graphics layer draws lands in memory the backend can show.
#pragma once

#include <memory>

#include "gdi/drawing_surface.h"
#include "toolkit/backend_interface.h"

namespace zorbalin {

class TFormSurface {
  public:
    // Makes the surface width x height (contents lost when the size changes).
    void Resize(int Width, int Height);
    HDC DC() const { return FPixels ? FPixels->DC() : nullptr; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TPixelView View() const;

  private:
    std::unique_ptr<TDrawingSurface> FPixels;
    int FWidth = 0, FHeight = 0;
};

} // namespace zorbalin
