#include "gdi/drawing_surface.h"

namespace zorbalin {

TDrawingSurface::TDrawingSurface(int Width, int Height)
    : FWidth(Width), FHeight(Height), FDc(CreateCompatibleDC(nullptr)) {
    if (!FDc)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    FSection.Reset(CreateDIBSection(FDc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!FSection || !bits) {
        FDc.Reset();
        return;
    }
    FPrevious = SelectObject(FDc.Get(), FSection.Get());
    if (!FPrevious) { // a surface nothing can draw into is no surface
        FSection.Reset();
        FDc.Reset();
        return;
    }
    FBits = static_cast<std::uint8_t*>(bits);
}

TDrawingSurface::~TDrawingSurface() {
    if (FPrevious)
        SelectObject(FDc.Get(), FPrevious);
}

} // namespace zorbalin
