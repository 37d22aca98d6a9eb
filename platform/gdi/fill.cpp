// Brushes, fills, frames, the focus rectangle and the 3-D edges of buttons.
#include "gdi/gdi.h"
#include "gdi/pixels.h"

namespace zorbalin {

using namespace gdi_detail;

namespace {

void Line(HDC Hdc, LONG Left, LONG Top, LONG Right, LONG Bottom, COLORREF Color) {
    FillLogicalRect(*Hdc, RECT{Left, Top, Right, Bottom}, Color);
}

// One ring of an edge: `lightSides` colour on the left and top, `darkSides` on the right and
// bottom. With all four sides the dark colour owns the top-right and bottom-left corners.
void EdgeRing(HDC Hdc, const RECT& R, UINT Flags, COLORREF TopLeft, COLORREF BottomRight) {
    if (IsEmpty(R))
        return;
    bool all = (Flags & BF_RECT) == BF_RECT;
    LONG shortBottom = all ? R.bottom - 1 : R.bottom;
    LONG shortRight = all ? R.right - 1 : R.right;
    if (Flags & BF_LEFT)
        Line(Hdc, R.left, R.top, R.left + 1, shortBottom, TopLeft);
    if (Flags & BF_TOP)
        Line(Hdc, R.left, R.top, shortRight, R.top + 1, TopLeft);
    if (Flags & BF_RIGHT)
        Line(Hdc, R.right - 1, R.top, R.right, R.bottom, BottomRight);
    if (Flags & BF_BOTTOM)
        Line(Hdc, R.left, R.bottom - 1, R.right, R.bottom, BottomRight);
}

RECT Shrink(const RECT& R, UINT Flags) {
    RECT s = R;
    if (Flags & BF_LEFT)
        ++s.left;
    if (Flags & BF_TOP)
        ++s.top;
    if (Flags & BF_RIGHT)
        --s.right;
    if (Flags & BF_BOTTOM)
        --s.bottom;
    return s;
}

} // namespace

HBRUSH CreateSolidBrush(COLORREF Color) {
    auto* brush = new TGdiBrush();
    brush->Color = Color & 0xFFFFFFu;
    return brush;
}

int FillRect(HDC Hdc, const RECT* Rect, HBRUSH Brush) {
    if (!Hdc || !Rect || !Brush)
        return 0;
    if (!Brush->Hollow)
        FillLogicalRect(*Hdc, *Rect, Brush->Color);
    return 1;
}

int FrameRect(HDC Hdc, const RECT* Rect, HBRUSH Brush) {
    if (!Hdc || !Rect || !Brush)
        return 0;
    if (Brush->Hollow || IsEmpty(*Rect))
        return 1;
    const RECT& r = *Rect;
    Line(Hdc, r.left, r.top, r.right, r.top + 1, Brush->Color);
    Line(Hdc, r.left, r.bottom - 1, r.right, r.bottom, Brush->Color);
    Line(Hdc, r.left, r.top, r.left + 1, r.bottom, Brush->Color);
    Line(Hdc, r.right - 1, r.top, r.right, r.bottom, Brush->Color);
    return 1;
}

BOOL DrawFocusRect(HDC Hdc, const RECT* Rect) {
    if (!Hdc || !Rect || !Hdc->Bitmap)
        return FALSE;
    const RECT& r = *Rect;
    if (IsEmpty(r))
        return TRUE;
    RECT clip = DeviceClip(*Hdc);
    TBitmapBits s = BitsOf(*Hdc->Bitmap);
    std::uint32_t mask = RawMask(s.BitCount);
    auto invert = [&](LONG X, LONG Y) {
        LONG dx = DevX(*Hdc, X), dy = DevY(*Hdc, Y);
        if (dx < clip.left || dx >= clip.right || dy < clip.top || dy >= clip.bottom)
            return;
        BYTE* row = s.Row(dy);
        WriteRaw(row, s.BitCount, dx, ~ReadRaw(row, s.BitCount, dx) & mask);
    };
    // Every other pixel along the outline, walked once around from the top-left corner.
    long step = 0;
    auto visit = [&](LONG X, LONG Y) {
        if ((step++ & 1) == 0)
            invert(X, Y);
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

BOOL DrawEdge(HDC Hdc, RECT* Rect, UINT Edge, UINT Flags) {
    if (!Hdc || !Rect)
        return FALSE;
    const COLORREF light = GetSysColor(COLOR_3DLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT),
                   shadow = GetSysColor(COLOR_BTNSHADOW);
    RECT r = *Rect;
    // Outer edge on the outermost pixels, then the inner edge inside it.
    if (Edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        if (Edge & BDR_RAISEDOUTER)
            EdgeRing(Hdc, r, Flags, light, dark);
        else
            EdgeRing(Hdc, r, Flags, shadow, highlight);
        r = Shrink(r, Flags);
    }
    if (Edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        if (Edge & BDR_RAISEDINNER)
            EdgeRing(Hdc, r, Flags, highlight, shadow);
        else
            EdgeRing(Hdc, r, Flags, dark, light);
        r = Shrink(r, Flags);
    }
    if (Flags & BF_MIDDLE)
        FillLogicalRect(*Hdc, r, GetSysColor(COLOR_BTNFACE));
    if (Flags & BF_ADJUST)
        *Rect = r;
    return TRUE;
}

} // namespace zorbalin
