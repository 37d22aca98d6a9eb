#include "toolkit/form_surface.h"

#include <new>

namespace zorbalin {

void TFormSurface::Resize(int Width, int Height) {
    if (Width == FWidth && Height == FHeight && FPixels)
        return;
    FPixels.reset();
    FWidth = FHeight = 0;
    // A 0 x 0 form still gets a context so that painting code needs no special case.
    auto pixels = std::make_unique<TDrawingSurface>(Width > 0 ? Width : 1, Height > 0 ? Height : 1);
    if (!*pixels)
        throw std::bad_alloc();
    FPixels = std::move(pixels);
    FWidth = Width;
    FHeight = Height;
}

TPixelView TFormSurface::View() const {
    TPixelView view;
    view.Pixels = FPixels ? reinterpret_cast<const uint32_t*>(FPixels->Row(0)) : nullptr;
    view.Width = FWidth;
    view.Height = FHeight;
    view.Stride = FWidth > 0 ? FWidth * 4 : 4;
    return view;
}

} // namespace zorbalin
