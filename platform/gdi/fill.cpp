// Brushes, fills, frames, the focus rectangle and the 3-D edges of buttons.
#include "gdi/gdi.h"
#include "gdi/pixels.h"

namespace zorbalin {

using namespace gdi_detail;

namespace {

void Line(HDC hdc, LONG left, LONG top, LONG right, LONG bottom, COLORREF color) {
    FillLogicalRect(*hdc, RECT{left, top, right, bottom}, color);
}

// One ring of an edge: `lightSides` colour on the left and top, `darkSides` on the right and
// bottom. With all four sides the dark colour owns the top-right and bottom-left corners.
void EdgeRing(HDC hdc, const RECT& r, UINT flags, COLORREF topLeft, COLORREF bottomRight) {
    if (IsEmpty(r))
        return;
    bool all = (flags & BF_RECT) == BF_RECT;
    LONG shortBottom = all ? r.bottom - 1 : r.bottom;
    LONG shortRight = all ? r.right - 1 : r.right;
    if (flags & BF_LEFT)
        Line(hdc, r.left, r.top, r.left + 1, shortBottom, topLeft);
    if (flags & BF_TOP)
        Line(hdc, r.left, r.top, shortRight, r.top + 1, topLeft);
    if (flags & BF_RIGHT)
        Line(hdc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
    if (flags & BF_BOTTOM)
        Line(hdc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
}

RECT Shrink(const RECT& r, UINT flags) {
    RECT s = r;
    if (flags & BF_LEFT)
        ++s.left;
    if (flags & BF_TOP)
        ++s.top;
    if (flags & BF_RIGHT)
        --s.right;
    if (flags & BF_BOTTOM)
        --s.bottom;
    return s;
}

} // namespace

HBRUSH CreateSolidBrush(COLORREF color) {
    auto* brush = new TGdiBrush();
    brush->color = color & 0xFFFFFFu;
    return brush;
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    if (!hdc || !rect || !brush)
        return 0;
    if (!brush->hollow)
        FillLogicalRect(*hdc, *rect, brush->color);
    return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    if (!hdc || !rect || !brush)
        return 0;
    if (brush->hollow || IsEmpty(*rect))
        return 1;
    const RECT& r = *rect;
    Line(hdc, r.left, r.top, r.right, r.top + 1, brush->color);
    Line(hdc, r.left, r.bottom - 1, r.right, r.bottom, brush->color);
    Line(hdc, r.left, r.top, r.left + 1, r.bottom, brush->color);
    Line(hdc, r.right - 1, r.top, r.right, r.bottom, brush->color);
    return 1;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
    if (!hdc || !rect || !hdc->bitmap)
        return FALSE;
    const RECT& r = *rect;
    if (IsEmpty(r))
        return TRUE;
    RECT clip = DeviceClip(*hdc);
    TBitmapBits s = BitsOf(*hdc->bitmap);
    std::uint32_t mask = RawMask(s.bitCount);
    auto invert = [&](LONG x, LONG y) {
        LONG dx = DevX(*hdc, x), dy = DevY(*hdc, y);
        if (dx < clip.left || dx >= clip.right || dy < clip.top || dy >= clip.bottom)
            return;
        BYTE* row = s.Row(dy);
        WriteRaw(row, s.bitCount, dx, ~ReadRaw(row, s.bitCount, dx) & mask);
    };
    // Every other pixel along the outline, walked once around from the top-left corner.
    long step = 0;
    auto visit = [&](LONG x, LONG y) {
        if ((step++ & 1) == 0)
            invert(x, y);
    };
    for (LONG x = r.left; x < r.right; ++x)
        visit(x, r.top);
    for (LONG y = r.top + 1; y < r.bottom; ++y)
        visit(r.right - 1, y);
    if (r.bottom - 1 > r.top)
        for (LONG x = r.right - 2; x >= r.left; --x)
            visit(x, r.bottom - 1);
    if (r.right - 1 > r.left)
        for (LONG y = r.bottom - 2; y > r.top; --y)
            visit(r.left, y);
    return TRUE;
}

BOOL DrawEdge(HDC hdc, RECT* rect, UINT edge, UINT flags) {
    if (!hdc || !rect)
        return FALSE;
    const COLORREF light = GetSysColor(COLOR_3DLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT),
                   shadow = GetSysColor(COLOR_BTNSHADOW);
    RECT r = *rect;
    // Outer edge on the outermost pixels, then the inner edge inside it.
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        if (edge & BDR_RAISEDOUTER)
            EdgeRing(hdc, r, flags, light, dark);
        else
            EdgeRing(hdc, r, flags, shadow, highlight);
        r = Shrink(r, flags);
    }
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        if (edge & BDR_RAISEDINNER)
            EdgeRing(hdc, r, flags, highlight, shadow);
        else
            EdgeRing(hdc, r, flags, dark, light);
        r = Shrink(r, flags);
    }
    if (flags & BF_MIDDLE)
        FillLogicalRect(*hdc, r, GetSysColor(COLOR_BTNFACE));
    if (flags & BF_ADJUST)
        *rect = r;
    return TRUE;
}

} // namespace zorbalin
