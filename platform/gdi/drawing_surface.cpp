#include "gdi/drawing_surface.h"

namespace zorbalin {

DrawingSurface::DrawingSurface(int width, int height)
    : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    if (!dc_)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    section_.Reset(CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section_ || !bits) {
        dc_.Reset();
        return;
    }
    previous_ = SelectObject(dc_.Get(), section_.Get());
    if (!previous_) { // a surface nothing can draw into is no surface
        section_.Reset();
        dc_.Reset();
        return;
    }
    bits_ = static_cast<std::uint8_t*>(bits);
}

DrawingSurface::~DrawingSurface() {
    if (previous_)
        SelectObject(dc_.Get(), previous_);
}

} // namespace zorbalin
