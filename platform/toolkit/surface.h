// The retained pixels of a form's client area: a 32-bit top-down DIB section selected into a
// memory device context, so that everything the graphics layer draws lands in memory the
// backend can show.
#pragma once

#include "gdi/owners.h"
#include "toolkit/backend.h"

namespace zorbalin {

class TFormSurface {
 public:
  TFormSurface() = default;
  TFormSurface(const TFormSurface&) = delete;
  TFormSurface& operator=(const TFormSurface&) = delete;
  ~TFormSurface();

  // Makes the surface width x height (contents lost when the size changes).
  void Resize(int width, int height);
  HDC DC() const { return FDC.Get(); }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TPixelView View() const;

 private:
  void Free();

  DCOwner FDC;
  BitmapOwner FBitmap;
  HBITMAP FPrevious = nullptr;
  void* FBits = nullptr;
  int FWidth = 0, FHeight = 0;
};

}  // namespace zorbalin
