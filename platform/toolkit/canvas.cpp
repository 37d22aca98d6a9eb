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
    if (color == color_)
        return;
    color_ = color;
    if (OnChange)
        OnChange(this);
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_)
        return;
    style_ = style;
    if (OnChange)
        OnChange(this);
}

void TBrush::Assign(const TBrush& source) {
    color_ = source.color_;
    style_ = source.style_;
    if (OnChange)
        OnChange(this);
}

// Text output state: the canvas font selected (and deselected again at the end, so that the
// font can be freed when it changes), the font colour, and the brush as the text background.
class TCanvas::TextSetup {
  public:
    explicit TextSetup(TCanvas& canvas)
        : dc_(canvas.handle_), selection_(dc_, canvas.font_.Handle()) {
        SetTextColor(dc_, ColorToRGB(canvas.font_.Color()));
        if (canvas.brush_.Style() == bsClear) {
            SetBkMode(dc_, TRANSPARENT);
        } else {
            SetBkMode(dc_, OPAQUE);
            SetBkColor(dc_, ColorToRGB(canvas.brush_.Color()));
        }
    }

  private:
    HDC dc_;
    SelectionGuard selection_;
};

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!handle_ || !graphic || graphic->Empty())
        return;
    SetBkColor(handle_, ColorToRGB(brush_.Color()));
    SetTextColor(handle_, ColorToRGB(font_.Color()));
    graphic->Draw(*this, Rect(x, y, x + graphic->Width(), y + graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
    if (!handle_ || !graphic)
        return;
    graphic->Draw(*this, rect);
}

void TCanvas::FillRect(const TRect& rect) {
    if (!handle_ || brush_.Style() == bsClear)
        return;
    BrushOwner brush(CreateSolidBrush(ColorToRGB(brush_.Color())));
    RECT r = ToRect(rect);
    zorbalin::FillRect(handle_, &r, brush.Get());
}

void TCanvas::FrameRect(const TRect& rect) {
    if (!handle_ || brush_.Style() == bsClear)
        return;
    BrushOwner brush(CreateSolidBrush(ColorToRGB(brush_.Color())));
    RECT r = ToRect(rect);
    zorbalin::FrameRect(handle_, &r, brush.Get());
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& canvas, const TRect& source) {
    if (!handle_ || !canvas.handle_)
        return;
    StretchBlt(handle_, dest.Left, dest.Top, dest.Width(), dest.Height(), canvas.handle_,
               source.Left, source.Top, source.Width(), source.Height(), copyMode_);
}

TSize TCanvas::TextExtent(const std::string& text) {
    TSize result;
    if (!handle_)
        return result;
    SelectionGuard selection(handle_, font_.Handle());
    SIZE size;
    if (GetTextExtentPoint32A(handle_, text.data(), static_cast<int>(text.size()), &size)) {
        result.cx = size.cx;
        result.cy = size.cy;
    }
    return result;
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    if (!handle_)
        return;
    TextSetup setup(*this);
    TextOutA(handle_, x, y, text.data(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
    if (!handle_)
        return;
    TextSetup setup(*this);
    RECT r = ToRect(rect);
    UINT options = ETO_CLIPPED | (brush_.Style() == bsClear ? 0 : ETO_OPAQUE);
    ExtTextOutA(handle_, x, y, options, &r, text.data(), static_cast<int>(text.size()));
}

int TCanvas::DrawText(const std::string& text, TRect& rect, TAlignment alignment, bool wordWrap,
                      bool verticalCentre, bool calcOnly) {
    if (!handle_)
        return 0;
    TextSetup setup(*this);
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
    int height = DrawTextA(handle_, text.data(), static_cast<int>(text.size()), &r, format);
    rect = Rect(r.left, r.top, r.right, r.bottom);
    return height;
}

TColor TCanvas::Pixel(int x, int y) const {
    COLORREF c = GetPixel(handle_, x, y);
    return c == CLR_INVALID ? clBlack : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    zorbalin::SetPixel(handle_, x, y, ColorToRGB(color));
}

} // namespace zorbalin
