#include "toolkit/form.h"

#include <algorithm>
#include <stdexcept>

#include "gdi/owners.h"

#include "toolkit/application.h"
#include "toolkit/screen_scale.h"

namespace zorbalin {

namespace {

// 0x00BBGGRR (the toolkit's colour layout) to the backend's 0x00RRGGBB.
uint32_t ColourToBackend(TColor Colour) {
    uint32_t c = static_cast<uint32_t>(ColorToRGB(Colour));
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

} // namespace

TForm::TForm(TComponent* Owner) : TWinControl(Owner) {
    FVisible = false;
    ControlStyle = kCsCaptureMouse | kCsClickEvents | kCsDoubleClicks;
}

TForm::~TForm() {
    if (FVisible && FWindow)
        FWindow->SetVisible(false);
    // Components first, while the form can still take their removal.
    DestroyComponents();
    if (gApplication)
        gApplication->FormDestroying(this);
}

void TForm::DoCreate() {
    try {
        if (OnCreate)
            OnCreate(this);
    } catch (const std::exception& e) {
        if (!gApplication)
            throw;
        gApplication->ShowException(e);
    }
}

// ---- Geometry -----------------------------------------------------------------------------------

void TForm::SetBorderStyle(TFormBorderStyle Value) {
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    UpdateOuterSize();
}

int TForm::Scale() const {
    return gApplication ? gApplication->Scale() : 1;
}

// The outer size from the client size, the scale and the frame.
void TForm::UpdateOuterSize() {
    TFrameExtents f = FrameExtents();
    FWidth = FClientWidth * Scale() + f.Left + f.Right;
    FHeight = FClientHeight * Scale() + f.Top + f.Bottom;
}

TFrameExtents TForm::FrameExtents() const {
    if (FWindow)
        return FWindow->Frame();
    if (FBorderStyle == TFormBorderStyle::bsDialog && gApplication)
        return gApplication->Backend().DialogFrame();
    return {};
}

void TForm::SetClientSize(int Width, int Height) {
    FClientWidth = std::max(Width, 0);
    FClientHeight = std::max(Height, 0);
    UpdateOuterSize();
    if (FWindow) {
        FWindow->SetClientSize(Width, Height);
        FSurface.Resize(Width, Height);
        Invalidate();
    }
}

void TForm::SetBounds(int Left, int Top, int Width, int Height) {
    TFrameExtents f = FrameExtents();
    int clientWidth = (Width - f.Left - f.Right) / Scale();
    int clientHeight = (Height - f.Top - f.Bottom) / Scale();
    if (clientWidth != FClientWidth || clientHeight != FClientHeight)
        SetClientSize(clientWidth, clientHeight);
    if (Left != FLeft || Top != FTop) {
        FLeft = Left;
        FTop = Top;
        if (FWindow)
            FWindow->SetPosition(Left, Top);
    }
}

TPoint TForm::ClientOrigin() const {
    TFrameExtents f = FrameExtents();
    return {FLeft + f.Left, FTop + f.Top};
}

TPoint TForm::ClientToScreen(TPoint P) const {
    TPoint o = ClientOrigin();
    return {P.X * Scale() + o.X, P.Y * Scale() + o.Y};
}

TPoint TForm::ScreenToClient(TPoint P) const {
    TPoint o = ClientOrigin();
    return ScaleDown({P.X - o.X, P.Y - o.Y}, Scale());
}

void TForm::HandleMoved(int Left, int Top) {
    FLeft = Left;
    FTop = Top;
}

// ---- Showing, hiding, closing ---------------------------------------------------------------

void TForm::CreateWindowIfNeeded() {
    if (FWindow || !gApplication)
        return;
    TWindowRequest request;
    request.Caption = Caption();
    request.Kind = WindowKind;
    request.Framed = FBorderStyle == TFormBorderStyle::bsDialog;
    request.TaskbarEntry = this == gApplication->MainForm();
    request.Left = FLeft;
    request.Top = FTop;
    request.ClientWidth = FClientWidth;
    request.ClientHeight = FClientHeight;
    request.Scale = Scale();
    TForm* main = gApplication->MainForm();
    if (WindowKind == TWindowKind::Dialog && main && main != this)
        request.Owner = main->Window();
    FWindow = gApplication->Backend().CreateWindow(request);
    FSurface.Resize(FClientWidth, FClientHeight);
    if (!gApplication->IconPixels().empty())
        FWindow->SetIcon(gApplication->IconPixels(), gApplication->IconWidth(),
                         gApplication->IconHeight());
    if (TransparentColor)
        FWindow->SetColourKey(true, ColourToBackend(TransparentColorValue));
    gApplication->FormWindowCreated(this);
    UpdateOuterSize();
}

void TForm::PlaceOnFirstShow() {
    if (FShownOnce)
        return;
    FShownOnce = true;
    // A dialog opens with the focus on its first control in tab order.
    if (!FActiveControl)
        SelectNextControl(true);
    TForm* main = gApplication ? gApplication->MainForm() : nullptr;
    if (Position == TPosition::poMainFormCenter && main && main != this) {
        // Division truncates toward zero, as the placement rule asks; no clamping to the screen.
        SetBounds(main->Left() + (main->Width() - Width()) / 2,
                  main->Top() + (main->Height() - Height()) / 2, Width(), Height());
    }
}

void TForm::Show() {
    SetVisible(true);
    if (FWindow && gApplication) {
        FWindow->Activate();
        gApplication->SetActiveForm(this);
    }
}

void TForm::Hide() {
    SetVisible(false);
}

void TForm::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    if (Value) {
        // The window exists (hidden) before the first placement, so that a dialog is centred by
        // the frame the window system really gives it.
        CreateWindowIfNeeded();
        PlaceOnFirstShow();
        // OnShow runs before the window appears, so a form it moves is never seen elsewhere.
        if (OnShow)
            OnShow(this);
        FVisible = true;
        if (!FWindow)
            return;
        FWindow->SetCaption(Caption());
        FWindow->SetPosition(FLeft, FTop);
        FUpdateRegion.Clear();
        PaintRect(ClientRect());
        FWindow->SetVisible(true);
        Present(ClientRect());
    } else {
        FVisible = false;
        SetCaptureControl(nullptr);
        if (FWindow)
            FWindow->SetVisible(false);
        if (OnHide)
            OnHide(this);
        if (gApplication && gApplication->ActiveForm() == this) {
            TForm* next = gApplication->ModalForm();
            if (!next || next == this)
                next = gApplication->MainForm();
            gApplication->SetActiveForm(next && next != this && next->Visible() ? next : nullptr);
            if (gApplication->ActiveForm() && gApplication->ActiveForm()->Window())
                gApplication->ActiveForm()->Window()->Activate();
        }
    }
    VisibleChanged();
}

bool TForm::Active() const {
    return gApplication && gApplication->ActiveForm() == this;
}

void TForm::DoClose(TCloseAction& Action) {
    if (OnClose)
        OnClose(this, Action);
}

void TForm::Close() {
    if (FModal) {
        FModalResult = kMrCancel;
        return;
    }
    bool isMain = gApplication && gApplication->MainForm() == this;
    TCloseAction action = isMain ? TCloseAction::caFree : TCloseAction::caHide;
    DoClose(action); // an exception leaves the form as it is
    switch (action) {
    case TCloseAction::caNone:
        return;
    case TCloseAction::caMinimize:
        if (gApplication)
            gApplication->Minimize();
        return;
    case TCloseAction::caHide:
        Hide();
        break;
    case TCloseAction::caFree:
        if (!isMain)
            Release();
        break;
    }
    if (isMain && gApplication)
        gApplication->Terminate();
}

void TForm::DoCloseAtSessionEnd() {
    TCloseAction action = TCloseAction::caFree;
    DoClose(action);
}

void TForm::Release() {
    if (gApplication)
        gApplication->ReleaseForm(this);
    else
        delete this;
}

TModalResult TForm::ShowModal() {
    if (FVisible || FModal || !gApplication)
        throw std::logic_error("Cannot make a visible window modal");
    FModal = true;
    FModalResult = kMrNone;
    TForm* previous = gApplication->ActiveForm();
    gApplication->BeginModal(this);
    struct TModalEnd {
        TForm* Form;
        TForm* Previous;
        ~TModalEnd() {
            Form->FModal = false;
            gApplication->EndModal(Form);
            Form->Hide();
            if (Previous && Previous != Form && Previous->Visible()) {
                gApplication->SetActiveForm(Previous);
                if (Previous->Window())
                    Previous->Window()->Activate();
            }
        }
    } end{this, previous};
    Show();
    if (FWindow && gApplication->MainForm() && gApplication->MainForm()->Window() &&
        gApplication->MainForm() != this)
        FWindow->SetModalFor(gApplication->MainForm()->Window());
    while (FModalResult == kMrNone) {
        // A run that starts, or goes on, after the program was told to end must not wait.
        if (gApplication->Terminated()) {
            FModalResult = kMrCancel;
            break;
        }
        gApplication->HandleMessage();
        if (gApplication->Terminated()) {
            FModalResult = kMrCancel;
        } else if (FModalResult != kMrNone) {
            TCloseAction action = TCloseAction::caHide;
            DoClose(action);
            if (action == TCloseAction::caNone)
                FModalResult = kMrNone;
            // Freed once the event that ended the run is handled (the loop has checked us by then).
            if (action == TCloseAction::caFree)
                gApplication->ReleaseForm(this);
        }
    }
    return FModalResult;
}

// ---- Focus and capture -------------------------------------------------------------------------

void TForm::SetActiveControl(TControl* Control) {
    if (Control == FActiveControl)
        return;
    TControl* old = FActiveControl;
    FActiveControl = Control;
    if (old)
        old->FocusChanged();
    if (Control)
        Control->FocusChanged();
}

void TForm::SetCaptureControl(TControl* Control) {
    if (Control == FCaptureControl)
        return;
    FCaptureControl = Control;
    if (!gApplication || !FWindow)
        return;
    if (Control)
        gApplication->Backend().SetCapture(FWindow.get());
    else
        gApplication->Backend().ReleaseCapture();
}

void TForm::ControlRemoving(TControl* Control) {
    if (gApplication)
        gApplication->HintControlGone(Control);
    if (FActiveControl == Control)
        FActiveControl = nullptr;
    if (FCaptureControl == Control)
        SetCaptureControl(nullptr);
    if (FHoverControl == Control)
        FHoverControl = nullptr;
    if (FClickControl == Control)
        FClickControl = nullptr;
    InvalidateRect(Control->BoundsRect());
}

void TForm::ComponentRemoved(TComponent* Component) {
    if (gApplication)
        gApplication->HintControlGone(Component);
    // A control owned by the form but parented elsewhere still must not stay referenced.
    if (FActiveControl == Component)
        FActiveControl = nullptr;
    if (FCaptureControl == Component)
        SetCaptureControl(nullptr);
    if (FHoverControl == Component)
        FHoverControl = nullptr;
    if (FClickControl == Component)
        FClickControl = nullptr;
}

// ---- Painting
// ------------------------------------------------------------------------------------

void TForm::InvalidateRect(const TRect& R) {
    FUpdateRegion.Add(IntersectRects(R, ClientRect()));
}

void TForm::RepaintRect(const TRect& R) {
    if (!FVisible || !FWindow)
        return;
    TRect clipped = IntersectRects(R, ClientRect());
    if (clipped.IsEmpty())
        return;
    PaintRect(clipped);
    Present(clipped);
}

void TForm::UpdateNow() {
    if (!FVisible || !FWindow) {
        return;
    }
    for (const TRect& r : FUpdateRegion.Take()) {
        PaintRect(r);
        Present(r);
    }
}

namespace {

// Puts the context's origin and clip back however the painting in between ends.
class TDCStateGuard {
  public:
    explicit TDCStateGuard(HDC Dc) : FDC(Dc), FLevel(SaveDC(Dc)) {}
    TDCStateGuard(const TDCStateGuard&) = delete;
    TDCStateGuard& operator=(const TDCStateGuard&) = delete;
    ~TDCStateGuard() { RestoreDC(FDC, FLevel); }

  private:
    HDC FDC;
    int FLevel;
};

} // namespace

void TForm::PaintRect(const TRect& R) {
    HDC dc = FSurface.DC();
    TDCStateGuard formState(dc);
    IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
    {
        TBrushOwner brush(CreateSolidBrush(ColorToRGB(Color())));
        RECT area{R.Left, R.Top, R.Right, R.Bottom};
        FillRect(dc, &area, brush.Get());
    }
    for (TControl* c : FControls) {
        if (!c->Visible())
            continue;
        TRect box = IntersectRects(c->BoundsRect(), R);
        if (box.IsEmpty())
            continue;
        TDCStateGuard controlState(dc);
        SetViewportOrgEx(dc, c->Left(), c->Top(), nullptr);
        IntersectClipRect(dc, box.Left - c->Left(), box.Top - c->Top(), box.Right - c->Left(),
                          box.Bottom - c->Top());
        c->PaintControl(dc);
    }
    PaintOverlay(dc);
}

void TForm::Present(const TRect& R) {
    if (FWindow && !R.IsEmpty())
        FWindow->Present(R, FSurface.View());
}

void TForm::HandleExpose(const TRect& Area) {
    // The surface is retained: showing it again needs no painting.
    Present(IntersectRects(Area.IsEmpty() ? ClientRect() : Area, ClientRect()));
}

void TForm::HandleActivated(bool Active) {
    if (Active && OnActivate)
        OnActivate(this);
    if (!Active && OnDeactivate)
        OnDeactivate(this);
}

} // namespace zorbalin
