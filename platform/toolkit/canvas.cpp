// TCanvas and TBrush: drawing with the toolkit's colours, font and brush on a device context.
#include "toolkit/canvas.h"

#include "gdi/owners.h"
#include "toolkit/graphics.h"

namespace zorbalin {

namespace {

RECT ToRect(const TRect& r) {
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

} // namespace

void TBrush::SetColor(TColor color) {
    if (color == FColor)
        return;
    FColor = color;
    if (OnChange)
        OnChange(this);
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == FStyle)
        return;
    FStyle = style;
    if (OnChange)
        OnChange(this);
}

void TBrush::Assign(const TBrush& source) {
    FColor = source.FColor;
    FStyle = source.FStyle;
    if (OnChange)
        OnChange(this);
}

// Text output state: the canvas font selected (and deselected again at the end, so that the
// font can be freed when it changes), the font colour, and the brush as the text background.
class TCanvas::TTextSetup {
  public:
    explicit TTextSetup(TCanvas& canvas)
        : FDc(canvas.FHandle), FSelection(FDc, canvas.FFont.Handle()) {
        SetTextColor(FDc, ColorToRGB(canvas.FFont.Color()));
        if (canvas.FBrush.Style() == bsClear) {
            SetBkMode(FDc, TRANSPARENT);
        } else {
            SetBkMode(FDc, OPAQUE);
            SetBkColor(FDc, ColorToRGB(canvas.FBrush.Color()));
        }
    }

  private:
    HDC FDc;
    TSelectionGuard FSelection;
};

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!FHandle || !graphic || graphic->Empty())
        return;
    SetBkColor(FHandle, ColorToRGB(FBrush.Color()));
    SetTextColor(FHandle, ColorToRGB(FFont.Color()));
    graphic->Draw(*this, Rect(x, y, x + graphic->Width(), y + graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
    if (!FHandle || !graphic)
        return;
    graphic->Draw(*this, rect);
}

void TCanvas::FillRect(const TRect& rect) {
    if (!FHandle || FBrush.Style() == bsClear)
        return;
    TBrushOwner brush(CreateSolidBrush(ColorToRGB(FBrush.Color())));
    RECT r = ToRect(rect);
    zorbalin::FillRect(FHandle, &r, brush.Get());
}

void TCanvas::FrameRect(const TRect& rect) {
    if (!FHandle || FBrush.Style() == bsClear)
        return;
    TBrushOwner brush(CreateSolidBrush(ColorToRGB(FBrush.Color())));
    RECT r = ToRect(rect);
    zorbalin::FrameRect(FHandle, &r, brush.Get());
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& canvas, const TRect& source) {
    if (!FHandle || !canvas.FHandle)
        return;
    StretchBlt(FHandle, dest.Left, dest.Top, dest.Width(), dest.Height(), canvas.FHandle,
               source.Left, source.Top, source.Width(), source.Height(), FCopyMode);
}

TSize TCanvas::TextExtent(const std::string& text) {
    TSize result;
    if (!FHandle)
        return result;
    TSelectionGuard selection(FHandle, FFont.Handle());
    SIZE size;
    if (GetTextExtentPoint32A(FHandle, text.data(), static_cast<int>(text.size()), &size)) {
        result.cx = size.cx;
        result.cy = size.cy;
    }
    return result;
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    if (!FHandle)
        return;
    TTextSetup setup(*this);
    TextOutA(FHandle, x, y, text.data(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
    if (!FHandle)
        return;
    TTextSetup setup(*this);
    RECT r = ToRect(rect);
    UINT options = ETO_CLIPPED | (FBrush.Style() == bsClear ? 0 : ETO_OPAQUE);
    ExtTextOutA(FHandle, x, y, options, &r, text.data(), static_cast<int>(text.size()));
}

int TCanvas::DrawText(const std::string& text, TRect& rect, TAlignment alignment, bool wordWrap,
                      bool verticalCentre, bool calcOnly) {
    if (!FHandle)
        return 0;
    TTextSetup setup(*this);
    UINT format = DT_NOPREFIX;
    if (alignment == taCenter)
        format |= DT_CENTER;
    if (alignment == taRightJustify)
        format |= DT_RIGHT;
    if (wordWrap)
        format |= DT_WORDBREAK;
    if (verticalCentre)
        format |= DT_SINGLELINE | DT_VCENTER;
    if (calcOnly)
        format |= DT_CALCRECT;
    RECT r = ToRect(rect);
    int height = DrawTextA(FHandle, text.data(), static_cast<int>(text.size()), &r, format);
    rect = Rect(r.left, r.top, r.right, r.bottom);
    return height;
}

TColor TCanvas::Pixel(int x, int y) const {
    COLORREF c = GetPixel(FHandle, x, y);
    return c == CLR_INVALID ? clBlack : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    zorbalin::SetPixel(FHandle, x, y, ColorToRGB(color));
}

} // namespace zorbalin
