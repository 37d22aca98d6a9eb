#include "toolkit/form.h"

#include <algorithm>
#include <stdexcept>

#include "gdi/owners.h"

#include "toolkit/application.h"
#include "toolkit/screen_scale.h"

namespace zorbalin {

namespace {

// 0x00BBGGRR (the toolkit's colour layout) to the backend's 0x00RRGGBB.
uint32_t ColourToBackend(TColor colour) {
    uint32_t c = static_cast<uint32_t>(ColorToRGB(colour));
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

} // namespace

TForm::TForm(TComponent* Owner) : TWinControl(Owner) {
    FVisible = false;
    ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
}

TForm::~TForm() {
    if (FVisible && FWindow)
        FWindow->SetVisible(false);
    // Components first, while the form can still take their removal.
    DestroyComponents();
    if (Application)
        Application->FormDestroying(this);
}

void TForm::DoCreate() {
    try {
        if (OnCreate)
            OnCreate(this);
    } catch (const std::exception& e) {
        if (!Application)
            throw;
        Application->ShowException(e);
    }
}

// ---- Geometry -----------------------------------------------------------------------------------

void TForm::SetBorderStyle(TFormBorderStyle value) {
    if (value == FBorderStyle)
        return;
    FBorderStyle = value;
    UpdateOuterSize();
}

int TForm::Scale() const {
    return Application ? Application->Scale() : 1;
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
    if (FBorderStyle == TFormBorderStyle::bsDialog && Application)
        return Application->Backend().DialogFrame();
    return {};
}

void TForm::SetClientSize(int width, int height) {
    FClientWidth = std::max(width, 0);
    FClientHeight = std::max(height, 0);
    UpdateOuterSize();
    if (FWindow) {
        FWindow->SetClientSize(width, height);
        FSurface.Resize(width, height);
        Invalidate();
    }
}

void TForm::SetBounds(int left, int top, int width, int height) {
    TFrameExtents f = FrameExtents();
    int clientWidth = (width - f.Left - f.Right) / Scale();
    int clientHeight = (height - f.Top - f.Bottom) / Scale();
    if (clientWidth != FClientWidth || clientHeight != FClientHeight)
        SetClientSize(clientWidth, clientHeight);
    if (left != FLeft || top != FTop) {
        FLeft = left;
        FTop = top;
        if (FWindow)
            FWindow->SetPosition(left, top);
    }
}

TPoint TForm::ClientOrigin() const {
    TFrameExtents f = FrameExtents();
    return {FLeft + f.Left, FTop + f.Top};
}

TPoint TForm::ClientToScreen(TPoint p) const {
    TPoint o = ClientOrigin();
    return {p.X * Scale() + o.X, p.Y * Scale() + o.Y};
}

TPoint TForm::ScreenToClient(TPoint p) const {
    TPoint o = ClientOrigin();
    return ScaleDown({p.X - o.X, p.Y - o.Y}, Scale());
}

void TForm::HandleMoved(int left, int top) {
    FLeft = left;
    FTop = top;
}

// ---- Showing, hiding, closing ---------------------------------------------------------------

void TForm::CreateWindowIfNeeded() {
    if (FWindow || !Application)
        return;
    TWindowRequest request;
    request.Caption = Caption();
    request.Kind = WindowKind;
    request.Framed = FBorderStyle == TFormBorderStyle::bsDialog;
    request.TaskbarEntry = this == Application->MainForm();
    request.Left = FLeft;
    request.Top = FTop;
    request.ClientWidth = FClientWidth;
    request.ClientHeight = FClientHeight;
    request.Scale = Scale();
    FWindow = Application->Backend().CreateWindow(request);
    FSurface.Resize(FClientWidth, FClientHeight);
    if (!Application->IconPixels().empty())
        FWindow->SetIcon(Application->IconPixels(), Application->IconWidth(),
                         Application->IconHeight());
    if (TransparentColor)
        FWindow->SetColourKey(true, ColourToBackend(TransparentColorValue));
    Application->FormWindowCreated(this);
    UpdateOuterSize();
}

void TForm::PlaceOnFirstShow() {
    if (FShownOnce)
        return;
    FShownOnce = true;
    // A dialog opens with the focus on its first control in tab order.
    if (!FActiveControl)
        SelectNextControl(true);
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (Position == TPosition::poMainFormCenter && main && main != this) {
        // Division truncates toward zero, as the placement rule asks; no clamping to the screen.
        SetBounds(main->Left() + (main->Width() - Width()) / 2,
                  main->Top() + (main->Height() - Height()) / 2, Width(), Height());
    }
}

void TForm::Show() {
    SetVisible(true);
    if (FWindow && Application) {
        FWindow->Activate();
        Application->SetActiveForm(this);
    }
}

void TForm::Hide() {
    SetVisible(false);
}

void TForm::SetVisible(bool value) {
    if (value == FVisible)
        return;
    if (value) {
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
        if (Application && Application->ActiveForm() == this) {
            TForm* next = Application->ModalForm();
            if (!next || next == this)
                next = Application->MainForm();
            Application->SetActiveForm(next && next != this && next->Visible() ? next : nullptr);
            if (Application->ActiveForm() && Application->ActiveForm()->Window())
                Application->ActiveForm()->Window()->Activate();
        }
    }
    VisibleChanged();
}

bool TForm::Active() const {
    return Application && Application->ActiveForm() == this;
}

void TForm::DoClose(TCloseAction& action) {
    if (OnClose)
        OnClose(this, action);
}

void TForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    bool isMain = Application && Application->MainForm() == this;
    TCloseAction action = isMain ? TCloseAction::caFree : TCloseAction::caHide;
    DoClose(action); // an exception leaves the form as it is
    switch (action) {
    case TCloseAction::caNone:
        return;
    case TCloseAction::caMinimize:
        if (Application)
            Application->Minimize();
        return;
    case TCloseAction::caHide:
        Hide();
        break;
    case TCloseAction::caFree:
        if (!isMain)
            Release();
        break;
    }
    if (isMain && Application)
        Application->Terminate();
}

void TForm::DoCloseAtSessionEnd() {
    TCloseAction action = TCloseAction::caFree;
    DoClose(action);
}

void TForm::Release() {
    if (Application)
        Application->ReleaseForm(this);
    else
        delete this;
}

TModalResult TForm::ShowModal() {
    if (FVisible || FModal || !Application)
        throw std::logic_error("Cannot make a visible window modal");
    FModal = true;
    FModalResult = mrNone;
    TForm* previous = Application->ActiveForm();
    Application->BeginModal(this);
    struct TModalEnd {
        TForm* form;
        TForm* previous;
        ~TModalEnd() {
            form->FModal = false;
            Application->EndModal(form);
            form->Hide();
            if (previous && previous != form && previous->Visible()) {
                Application->SetActiveForm(previous);
                if (previous->Window())
                    previous->Window()->Activate();
            }
        }
    } end{this, previous};
    Show();
    if (FWindow && Application->MainForm() && Application->MainForm()->Window() &&
        Application->MainForm() != this)
        FWindow->SetModalFor(Application->MainForm()->Window());
    while (FModalResult == mrNone) {
        // A run that starts, or goes on, after the program was told to end must not wait.
        if (Application->Terminated()) {
            FModalResult = mrCancel;
            break;
        }
        Application->HandleMessage();
        if (Application->Terminated()) {
            FModalResult = mrCancel;
        } else if (FModalResult != mrNone) {
            TCloseAction action = TCloseAction::caHide;
            DoClose(action);
            if (action == TCloseAction::caNone)
                FModalResult = mrNone;
            // Freed once the event that ended the run is handled (the loop has checked us by then).
            if (action == TCloseAction::caFree)
                Application->ReleaseForm(this);
        }
    }
    return FModalResult;
}

// ---- Focus and capture -------------------------------------------------------------------------

void TForm::SetActiveControl(TControl* control) {
    if (control == FActiveControl)
        return;
    TControl* old = FActiveControl;
    FActiveControl = control;
    if (old)
        old->FocusChanged();
    if (control)
        control->FocusChanged();
}

void TForm::SetCaptureControl(TControl* control) {
    if (control == FCaptureControl)
        return;
    FCaptureControl = control;
    if (!Application || !FWindow)
        return;
    if (control)
        Application->Backend().SetCapture(FWindow.get());
    else
        Application->Backend().ReleaseCapture();
}

void TForm::ControlRemoving(TControl* control) {
    if (Application)
        Application->HintControlGone(control);
    if (FActiveControl == control)
        FActiveControl = nullptr;
    if (FCaptureControl == control)
        SetCaptureControl(nullptr);
    if (FHoverControl == control)
        FHoverControl = nullptr;
    if (FClickControl == control)
        FClickControl = nullptr;
    InvalidateRect(control->BoundsRect());
}

void TForm::ComponentRemoved(TComponent* component) {
    if (Application)
        Application->HintControlGone(component);
    // A control owned by the form but parented elsewhere still must not stay referenced.
    if (FActiveControl == component)
        FActiveControl = nullptr;
    if (FCaptureControl == component)
        SetCaptureControl(nullptr);
    if (FHoverControl == component)
        FHoverControl = nullptr;
    if (FClickControl == component)
        FClickControl = nullptr;
}

// ---- Painting
// ------------------------------------------------------------------------------------

void TForm::InvalidateRect(const TRect& r) {
    FUpdateRegion.Add(IntersectRects(r, ClientRect()));
}

void TForm::RepaintRect(const TRect& r) {
    if (!FVisible || !FWindow)
        return;
    TRect clipped = IntersectRects(r, ClientRect());
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
    explicit TDCStateGuard(HDC dc) : FDC(dc), FLevel(SaveDC(dc)) {}
    TDCStateGuard(const TDCStateGuard&) = delete;
    TDCStateGuard& operator=(const TDCStateGuard&) = delete;
    ~TDCStateGuard() { RestoreDC(FDC, FLevel); }

  private:
    HDC FDC;
    int FLevel;
};

} // namespace

void TForm::PaintRect(const TRect& r) {
    HDC dc = FSurface.DC();
    TDCStateGuard formState(dc);
    IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    {
        TBrushOwner brush(CreateSolidBrush(ColorToRGB(Color())));
        RECT area{r.Left, r.Top, r.Right, r.Bottom};
        FillRect(dc, &area, brush.Get());
    }
    for (TControl* c : FControls) {
        if (!c->Visible())
            continue;
        TRect box = IntersectRects(c->BoundsRect(), r);
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

void TForm::Present(const TRect& r) {
    if (FWindow && !r.IsEmpty())
        FWindow->Present(r, FSurface.View());
}

void TForm::HandleExpose(const TRect& area) {
    // The surface is retained: showing it again needs no painting.
    Present(IntersectRects(area.IsEmpty() ? ClientRect() : area, ClientRect()));
}

void TForm::HandleActivated(bool active) {
    if (active && OnActivate)
        OnActivate(this);
    if (!active && OnDeactivate)
        OnDeactivate(this);
}

} // namespace zorbalin
