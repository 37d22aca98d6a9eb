// TCanvas and TBrush: drawing with the toolkit's colours, font and brush on a device context.
#include "toolkit/canvas.h"

#include "gdi/owners.h"
#include "toolkit/graphics.h"

namespace zorbalin {

namespace {

RECT ToRect(const TRect& R) {
    return RECT{R.Left, R.Top, R.Right, R.Bottom};
}

} // namespace

std::function<void(const TDrawnText&)> gCanvasTextObserver;

void TBrush::SetColor(TColor Color) {
    if (Color == FColor)
        return;
    FColor = Color;
    if (OnChange)
        OnChange(this);
}

void TBrush::SetStyle(TBrushStyle Style) {
    if (Style == FStyle)
        return;
    FStyle = Style;
    if (OnChange)
        OnChange(this);
}

void TBrush::Assign(const TBrush& Source) {
    FColor = Source.FColor;
    FStyle = Source.FStyle;
    if (OnChange)
        OnChange(this);
}

// Text output state: the canvas font selected (and deselected again at the end, so that the
// font can be freed when it changes), the font colour, and the brush as the text background.
class TCanvas::TTextSetup {
  public:
    explicit TTextSetup(TCanvas& Canvas)
        : FDc(Canvas.FHandle), FSelection(FDc, Canvas.FFont.Handle()) {
        SetTextColor(FDc, ColorToRGB(Canvas.FFont.Color()));
        if (Canvas.FBrush.Style() == bsClear) {
            SetBkMode(FDc, TRANSPARENT);
        } else {
            SetBkMode(FDc, OPAQUE);
            SetBkColor(FDc, ColorToRGB(Canvas.FBrush.Color()));
        }
    }

  private:
    HDC FDc;
    TSelectionGuard FSelection;
};

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!FHandle || !Graphic || Graphic->Empty())
        return;
    SetBkColor(FHandle, ColorToRGB(FBrush.Color()));
    SetTextColor(FHandle, ColorToRGB(FFont.Color()));
    Graphic->Draw(*this, Rect(X, Y, X + Graphic->Width(), Y + Graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (!FHandle || !Graphic)
        return;
    Graphic->Draw(*this, Rect);
}

void TCanvas::FillRect(const TRect& Rect) {
    if (!FHandle || FBrush.Style() == bsClear)
        return;
    TBrushOwner brush(CreateSolidBrush(ColorToRGB(FBrush.Color())));
    RECT r = ToRect(Rect);
    zorbalin::FillRect(FHandle, &r, brush.Get());
}

void TCanvas::FrameRect(const TRect& Rect) {
    if (!FHandle || FBrush.Style() == bsClear)
        return;
    TBrushOwner brush(CreateSolidBrush(ColorToRGB(FBrush.Color())));
    RECT r = ToRect(Rect);
    zorbalin::FrameRect(FHandle, &r, brush.Get());
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas& Canvas, const TRect& Source) {
    if (!FHandle || !Canvas.FHandle)
        return;
    StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas.FHandle,
               Source.Left, Source.Top, Source.Width(), Source.Height(), FCopyMode);
}

TSize TCanvas::TextExtent(const std::string& Text) {
    TSize result;
    if (!FHandle)
        return result;
    TSelectionGuard selection(FHandle, FFont.Handle());
    SIZE size;
    if (GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), &size)) {
        result.cx = size.cx;
        result.cy = size.cy;
    }
    return result;
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    if (!FHandle)
        return;
    if (gCanvasTextObserver) {
        RECT visible{};
        GetClipBox(FHandle, &visible);
        const TSize extent = TextExtent(Text);
        gCanvasTextObserver(
            {Text, zorbalin::Rect(X, Y, visible.right, visible.bottom), extent, extent.cy});
    }
    TTextSetup setup(*this);
    TextOutA(FHandle, X, Y, Text.data(), static_cast<int>(Text.size()));
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const std::string& Text) {
    if (!FHandle)
        return;
    TTextSetup setup(*this);
    RECT r = ToRect(Rect);
    UINT options = ETO_CLIPPED | (FBrush.Style() == bsClear ? 0 : ETO_OPAQUE);
    ExtTextOutA(FHandle, X, Y, options, &r, Text.data(), static_cast<int>(Text.size()));
}

int TCanvas::DrawText(const std::string& Text, TRect& Rect, TAlignment Alignment, bool WordWrap,
                      bool VerticalCentre, bool CalcOnly) {
    if (!FHandle)
        return 0;
    TTextSetup setup(*this);
    UINT format = DT_NOPREFIX;
    if (Alignment == taCenter)
        format |= DT_CENTER;
    if (Alignment == taRightJustify)
        format |= DT_RIGHT;
    if (WordWrap)
        format |= DT_WORDBREAK;
    if (VerticalCentre)
        format |= DT_SINGLELINE | DT_VCENTER;
    if (CalcOnly)
        format |= DT_CALCRECT;
    RECT r = ToRect(Rect);
    int height = DrawTextA(FHandle, Text.data(), static_cast<int>(Text.size()), &r, format);
    if (gCanvasTextObserver && !CalcOnly)
        gCanvasTextObserver({Text, Rect, TextExtent(Text), height, WordWrap});
    Rect = zorbalin::Rect(r.left, r.top, r.right, r.bottom);
    return height;
}

TColor TCanvas::Pixel(int X, int Y) const {
    COLORREF c = GetPixel(FHandle, X, Y);
    return c == CLR_INVALID ? kClBlack : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
    zorbalin::SetPixel(FHandle, X, Y, ColorToRGB(Color));
}

} // namespace zorbalin
