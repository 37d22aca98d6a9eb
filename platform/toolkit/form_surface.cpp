#include "toolkit/form_surface.h"

#include <new>

namespace zorbalin {

void TFormSurface::Resize(int width, int height) {
    if (width == FWidth && height == FHeight && FPixels)
        return;
    FPixels.reset();
    FWidth = FHeight = 0;
    // A 0 x 0 form still gets a context so that painting code needs no special case.
    auto pixels = std::make_unique<TDrawingSurface>(width > 0 ? width : 1, height > 0 ? height : 1);
    if (!*pixels)
        throw std::bad_alloc();
    FPixels = std::move(pixels);
    FWidth = width;
    FHeight = height;
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
