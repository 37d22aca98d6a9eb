#include "toolkit/surface.h"

#include <new>

namespace zorbalin {

TFormSurface::~TFormSurface() { Free(); }

void TFormSurface::Free() {
  if (FDC && FPrevious) SelectObject(FDC.Get(), FPrevious);
  FPrevious = nullptr;
  FBitmap.Reset();
  FDC.Reset();
  FBits = nullptr;
  FWidth = FHeight = 0;
}

void TFormSurface::Resize(int width, int height) {
  if (width == FWidth && height == FHeight && FDC) return;
  Free();
  // A 0 x 0 form still gets a context so that painting code needs no special case.
  int w = width > 0 ? width : 1, h = height > 0 ? height : 1;
  BITMAPINFO info{};
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down: row 0 is the top of the form
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  FDC.Reset(CreateCompatibleDC(nullptr));
  FBitmap.Reset(CreateDIBSection(FDC.Get(), &info, DIB_RGB_COLORS, &FBits, nullptr, 0));
  if (!FDC || !FBitmap) {
    Free();
    throw std::bad_alloc();
  }
  FPrevious = SelectObject(FDC.Get(), FBitmap.Get());
  FWidth = width;
  FHeight = height;
}

TPixelView TFormSurface::View() const {
  TPixelView view;
  view.Pixels = static_cast<const uint32_t*>(FBits);
  view.Width = FWidth;
  view.Height = FHeight;
  view.Stride = FWidth > 0 ? FWidth * 4 : 4;
  return view;
}

}  // namespace zorbalin
