#include "imaging/pngbutton.h"

#include "toolkit/font.h"

namespace zorbalin {

namespace {

// Picture and caption move this far right and down while pressed with the pointer inside.
constexpr int32_t kPressedOffset[2] = {0, 2};

// One-pixel frame: left and top in `topLeft`, right and bottom in `bottomRight`.
void DrawOnePixelFrame(HDC Dc, const TRect& R, TColor TopLeft, TColor BottomRight) {
    TBrushOwner light(CreateSolidBrush(ColorToRGB(TopLeft)));
    TBrushOwner dark(CreateSolidBrush(ColorToRGB(BottomRight)));
    RECT left{R.Left, R.Top, R.Left + 1, R.Bottom};
    RECT top{R.Left, R.Top, R.Right, R.Top + 1};
    RECT right{R.Right - 1, R.Top, R.Right, R.Bottom};
    RECT bottom{R.Left, R.Bottom - 1, R.Right, R.Bottom};
    FillRect(Dc, &left, light.Get());
    FillRect(Dc, &top, light.Get());
    FillRect(Dc, &right, dark.Get());
    FillRect(Dc, &bottom, dark.Get());
}

// The standard push-button face with a bevel of 1, drawn over a copy of the rectangle.
void DrawStandardFace(HDC Dc, const TRect& Area, bool Sunken) {
    {
        TBrushOwner face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
        RECT all{Area.Left, Area.Top, Area.Right, Area.Bottom};
        FillRect(Dc, &all, face.Get());
    }
    RECT r{Area.Left, Area.Top, Area.Right, Area.Bottom};
    if (!Sunken) {
        DrawEdge(Dc, &r, BDR_RAISEDOUTER, BF_BOTTOMRIGHT);
        r.right -= 1;
        r.bottom -= 1;
        DrawEdge(Dc, &r, BDR_RAISEDINNER, BF_TOPLEFT);
        r.left += 1;
        r.top += 1;
        DrawEdge(Dc, &r, BDR_RAISEDINNER, BF_BOTTOMRIGHT | BF_MIDDLE);
    } else {
        DrawEdge(Dc, &r, BDR_SUNKENINNER, BF_TOPLEFT);
        DrawEdge(Dc, &r, BDR_SUNKENOUTER, BF_BOTTOMRIGHT);
        r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        DrawEdge(Dc, &r, BDR_SUNKENOUTER, BF_TOPLEFT | BF_MIDDLE);
    }
}

} // namespace

TPNGButtonPlacement PlacePNGButton(int W, int H, int Iw, int Ih, const std::string& Caption, int Tw,
                                   int Th, TPNGButtonLayout Layout, bool PressedInside) {
    if (Caption.empty()) {
        Tw = Th = 0;
    } else {
        Ih += 4; // the gap between picture and caption
    }
    const int off = kPressedOffset[PressedInside ? 1 : 0];
    TPNGButtonPlacement p;
    p.Ix = (W - Iw) / 2 + off;
    p.Tx = (W - Tw) / 2 + off;
    p.Ty = (H - Th) / 2;
    p.Iy = (H - Ih) / 2;
    switch (Layout) {
    case pbsImageAbove:
        p.Iy = (H - Ih - Th) / 2;
        p.Ty = p.Iy + Ih;
        break;
    case pbsImageBellow:
        p.Ty = (H - Ih - Th) / 2;
        p.Iy = p.Ty + Th;
        break;
    case pbsImageLeft:
        // Recomputed without the offset: the pressed shift is vertical only in the side layouts.
        p.Ix = (W - Iw - Tw) / 2;
        p.Tx = p.Ix + Iw + 5;
        break;
    case pbsImageRight:
        p.Tx = (W - Iw - Tw) / 2;
        p.Ix = p.Tx + Tw + 5;
        break;
    }
    p.Iy += off;
    p.Ty += off;
    return p;
}

void MakeDisabledImage(TPNGObject& Source, TPNGObject& Target) {
    Target.Assign(&Source);
    Target.AddAlphaChannel();
    if (Target.HeaderChunk().ColourType == TColourType::Indexed)
        return; // palette pictures stay opaque
    const int width = Source.Width(), height = Source.Height();
    for (int y = 0; y < height; ++y) {
        uint8_t* alpha = Target.AlphaRow(static_cast<uint32_t>(y));
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
    ControlStyle = kCsCaptureMouse | kCsClickEvents | kCsDoubleClicks;
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

void TPNGButton::SetButtonStyle(TPNGButtonStyle Value) {
    FButtonStyle = Value;
    RepaintAtOnce();
}

void TPNGButton::SetButtonLayout(TPNGButtonLayout Value) {
    FButtonLayout = Value;
    RepaintAtOnce();
}

void TPNGButton::SetCaption(const std::string& Value) {
    FCaption = Value;
    RepaintAtOnce();
}

void TPNGButton::SetImageNormal(TPNGObject* Value) {
    FImageNormal->Assign(Value);
    MakeDisabledImage(*FImageNormal, *FImageDisabled);
    RepaintAtOnce();
}

void TPNGButton::SetImageDown(TPNGObject* Value) {
    FImageDown->Assign(Value);
    RepaintAtOnce();
}

void TPNGButton::SetImageOver(TPNGObject* Value) {
    FImageOver->Assign(Value);
    RepaintAtOnce();
}

void TPNGButton::SetState(TState Value) {
    FState = Value;
    RepaintAtOnce();
}

// ---- Painting ---------------------------------------------------------------------------------

TPNGObject* TPNGButton::ChoosePicture(bool PressedInside) const {
    if (PressedInside && !FImageDown->Empty())
        return FImageDown.get();
    if (FMouseInside && !FImageOver->Empty() && Enabled())
        return FImageOver.get();
    if (FState == Disabled)
        return FImageDisabled->Empty() ? FImageNormal.get() : FImageDisabled.get();
    return FImageNormal.get();
}

void TPNGButton::DrawFrame(TRect& R, bool PressedInside) {
    HDC dc = Canvas()->Handle();
    switch (FButtonStyle) {
    case pbsFlat:
        if (FState == Disabled)
            break;
        if (PressedInside)
            DrawOnePixelFrame(dc, R, kClBtnShadow, kClBtnHighlight);
        else if (FMouseInside || FState == Pressed)
            DrawOnePixelFrame(dc, R, kClBtnHighlight, kClBtnShadow);
        else
            break;
        R = {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
        break;
    case pbsDefault:
        DrawStandardFace(dc, R, PressedInside);
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
    canvas.Draw(at.Ix, at.Iy, picture);
    if (FState == Disabled)
        canvas.Font().SetColor(kClGrayText);
    if (!FCaption.empty())
        canvas.TextRect(r, at.Tx, at.Ty, FCaption);
}

// ---- Mouse and state --------------------------------------------------------------------------

void TPNGButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FState == Normal && Button == TMouseButton::mbLeft)
        SetState(Pressed);
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TPNGButton::Click() {
    if (FState == Pressed)
        SetState(Normal);
    TGraphicControl::Click();
}

void TPNGButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FState == Pressed)
        SetState(Normal);
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TPNGButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight() && !FMouseInside &&
        FState != Pressed) {
        FMouseInside = true;
        RepaintAtOnce();
    }
    TGraphicControl::MouseMove(Shift, X, Y);
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
