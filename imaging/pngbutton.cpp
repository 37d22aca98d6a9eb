#include "imaging/pngbutton.h"

#include "toolkit/font.h"

namespace zorbalin {

namespace {

// Picture and caption move this far right and down while pressed with the pointer inside.
constexpr int32_t PressedOffset[2] = {0, 2};

// One-pixel frame: left and top in `topLeft`, right and bottom in `bottomRight`.
void DrawOnePixelFrame(HDC dc, const TRect& r, TColor topLeft, TColor bottomRight) {
    TBrushOwner light(CreateSolidBrush(ColorToRGB(topLeft)));
    TBrushOwner dark(CreateSolidBrush(ColorToRGB(bottomRight)));
    RECT left{r.Left, r.Top, r.Left + 1, r.Bottom};
    RECT top{r.Left, r.Top, r.Right, r.Top + 1};
    RECT right{r.Right - 1, r.Top, r.Right, r.Bottom};
    RECT bottom{r.Left, r.Bottom - 1, r.Right, r.Bottom};
    FillRect(dc, &left, light.Get());
    FillRect(dc, &top, light.Get());
    FillRect(dc, &right, dark.Get());
    FillRect(dc, &bottom, dark.Get());
}

// The standard push-button face with a bevel of 1, drawn over a copy of the rectangle.
void DrawStandardFace(HDC dc, const TRect& area, bool sunken) {
    {
        TBrushOwner face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
        RECT all{area.Left, area.Top, area.Right, area.Bottom};
        FillRect(dc, &all, face.Get());
    }
    RECT r{area.Left, area.Top, area.Right, area.Bottom};
    if (!sunken) {
        DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_BOTTOMRIGHT);
        r.right -= 1;
        r.bottom -= 1;
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_TOPLEFT);
        r.left += 1;
        r.top += 1;
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_BOTTOMRIGHT | BF_MIDDLE);
    } else {
        DrawEdge(dc, &r, BDR_SUNKENINNER, BF_TOPLEFT);
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_BOTTOMRIGHT);
        r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_TOPLEFT | BF_MIDDLE);
    }
}

} // namespace

TPNGButtonPlacement PlacePNGButton(int W, int H, int iw, int ih, const std::string& caption, int tw,
                                   int th, TPNGButtonLayout layout, bool pressedInside) {
    if (caption.empty()) {
        tw = th = 0;
    } else {
        ih += 4; // the gap between picture and caption
    }
    const int off = PressedOffset[pressedInside ? 1 : 0];
    TPNGButtonPlacement p;
    p.ix = (W - iw) / 2 + off;
    p.tx = (W - tw) / 2 + off;
    p.ty = (H - th) / 2;
    p.iy = (H - ih) / 2;
    switch (layout) {
    case pbsImageAbove:
        p.iy = (H - ih - th) / 2;
        p.ty = p.iy + ih;
        break;
    case pbsImageBellow:
        p.ty = (H - ih - th) / 2;
        p.iy = p.ty + th;
        break;
    case pbsImageLeft:
        // Recomputed without the offset: the pressed shift is vertical only in the side layouts.
        p.ix = (W - iw - tw) / 2;
        p.tx = p.ix + iw + 5;
        break;
    case pbsImageRight:
        p.tx = (W - iw - tw) / 2;
        p.ix = p.tx + tw + 5;
        break;
    }
    p.iy += off;
    p.ty += off;
    return p;
}

void MakeDisabledImage(TPNGObject& source, TPNGObject& target) {
    target.Assign(&source);
    target.AddAlphaChannel();
    if (target.HeaderChunk().ColourType == 3)
        return; // palette pictures stay opaque
    const int width = source.Width(), height = source.Height();
    for (int y = 0; y < height; ++y) {
        uint8_t* alpha = target.AlphaRow(static_cast<uint32_t>(y));
        for (int x = 0; x < width; ++x)
            alpha[x] = static_cast<uint8_t>(alpha[x] / 3);
    }
}

// ---- TPNGButton -------------------------------------------------------------------------------

TPNGButton::TPNGButton(TComponent* Owner) : TGraphicControl(Owner) {
    FImageNormal = std::make_unique<TPNGObject>();
    FImageDown = std::make_unique<TPNGObject>();
    FImageDisabled = std::make_unique<TPNGObject>();
    FImageOver = std::make_unique<TPNGObject>();
    ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
    SetBounds(Left(), Top(), 23, 23);
}

TPNGButton::~TPNGButton() {
    FImageNormal.reset();
    FImageDown.reset();
    FImageDisabled.reset();
    FImageOver.reset();
}

void TPNGButton::RepaintAtOnce() {
    Invalidate();
    Update();
}

void TPNGButton::SetButtonStyle(TPNGButtonStyle value) {
    FButtonStyle = value;
    RepaintAtOnce();
}

void TPNGButton::SetButtonLayout(TPNGButtonLayout value) {
    FButtonLayout = value;
    RepaintAtOnce();
}

void TPNGButton::SetCaption(const std::string& value) {
    FCaption = value;
    RepaintAtOnce();
}

void TPNGButton::SetImageNormal(TPNGObject* value) {
    FImageNormal->Assign(value);
    MakeDisabledImage(*FImageNormal, *FImageDisabled);
    RepaintAtOnce();
}

void TPNGButton::SetImageDown(TPNGObject* value) {
    FImageDown->Assign(value);
    RepaintAtOnce();
}

void TPNGButton::SetImageOver(TPNGObject* value) {
    FImageOver->Assign(value);
    RepaintAtOnce();
}

void TPNGButton::SetState(TState value) {
    FState = value;
    RepaintAtOnce();
}

// ---- Painting ---------------------------------------------------------------------------------

TPNGObject* TPNGButton::ChoosePicture(bool pressedInside) const {
    if (pressedInside && !FImageDown->Empty())
        return FImageDown.get();
    if (FMouseInside && !FImageOver->Empty() && Enabled())
        return FImageOver.get();
    if (FState == Disabled)
        return FImageDisabled->Empty() ? FImageNormal.get() : FImageDisabled.get();
    return FImageNormal.get();
}

void TPNGButton::DrawFrame(TRect& r, bool pressedInside) {
    HDC dc = Canvas()->Handle();
    switch (FButtonStyle) {
    case pbsFlat:
        if (FState == Disabled)
            break;
        if (pressedInside)
            DrawOnePixelFrame(dc, r, clBtnShadow, clBtnHighlight);
        else if (FMouseInside || FState == Pressed)
            DrawOnePixelFrame(dc, r, clBtnHighlight, clBtnShadow);
        else
            break;
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
        break;
    case pbsDefault:
        DrawStandardFace(dc, r, pressedInside);
        break;
    case pbsNoFrame:
        break;
    }
}

void TPNGButton::Paint() {
    TCanvas& canvas = *Canvas();
    canvas.Font().Assign(*Font());
    const bool pressedInside = FState == Pressed && FMouseInside;
    TPNGObject* picture = ChoosePicture(pressedInside);
    const int iw = picture->Width(), ih = picture->Height();
    TRect r = ClientRect();
    TSize text;
    if (!FCaption.empty())
        text = canvas.TextExtent(FCaption);
    TPNGButtonPlacement at = PlacePNGButton(Width(), Height(), iw, ih, FCaption, text.cx, text.cy,
                                            FButtonLayout, pressedInside);
    DrawFrame(r, pressedInside);
    canvas.Brush().SetStyle(bsClear);
    canvas.Draw(at.ix, at.iy, picture);
    if (FState == Disabled)
        canvas.Font().SetColor(clGrayText);
    if (!FCaption.empty())
        canvas.TextRect(r, at.tx, at.ty, FCaption);
}

// ---- Mouse and state --------------------------------------------------------------------------

void TPNGButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (FState == Normal && button == TMouseButton::mbLeft)
        SetState(Pressed);
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TPNGButton::Click() {
    if (FState == Pressed)
        SetState(Normal);
    TGraphicControl::Click();
}

void TPNGButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (FState == Pressed)
        SetState(Normal);
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TPNGButton::MouseMove(TShiftState shift, int x, int y) {
    if (x >= 0 && x < ClientWidth() && y >= 0 && y < ClientHeight() && !FMouseInside &&
        FState != Pressed) {
        FMouseInside = true;
        RepaintAtOnce();
    }
    TGraphicControl::MouseMove(shift, x, y);
}

void TPNGButton::MouseEnter() {
    if (!Enabled())
        return;
    if (OnMouseEnter)
        OnMouseEnter(this);
    FMouseInside = true;
    RepaintAtOnce();
}

void TPNGButton::MouseLeave() {
    if (!Enabled())
        return;
    if (OnMouseExit)
        OnMouseExit(this);
    FMouseInside = false;
    RepaintAtOnce();
}

void TPNGButton::EnabledChanged() {
    if (!Enabled())
        MakeDisabledImage(*FImageNormal, *FImageDisabled);
    SetState(Enabled() ? Normal : Disabled);
}

} // namespace zorbalin
