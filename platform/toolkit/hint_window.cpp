#include "toolkit/hint_window.h"

#include <algorithm>

#include "gdi/owners.h"
#include "toolkit/application.h"
#include "toolkit/canvas.h"
#include "toolkit/font.h"

namespace zorbalin {

namespace {

constexpr int kPaddingX = 4, kPaddingY = 2; // between the frame and the text
constexpr int kBelowPointer = 20;           // logical pixels from the pointer's tip to the box
constexpr int kAbovePointer = 4;

} // namespace

bool ShowsHint(const TControl* Control) {
    if (!Control || Control->Hint().empty() || !Control->Visible())
        return false;
    for (const TControl* c = Control; c; c = c->Parent()) {
        if (c->ShowHint)
            return true;
        if (!c->ParentShowHint)
            return false;
    }
    return false;
}

// ---- THintWindow ------------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* Owner) : TForm(Owner) {
    SetName("HintWindow");
    WindowKind = TWindowKind::Tooltip;
    SetColor(kClInfoBk);
    Font()->SetName("Tahoma");
    Font()->SetHeight(-12);
    Font()->SetColor(kClInfoText);
}

void THintWindow::ActivateHint(TPoint Pointer, const std::string& Text) {
    SetCaption(Text);
    TDCOwner dc(CreateCompatibleDC(nullptr));
    TCanvas canvas(dc.Get());
    canvas.Font().Assign(*Font());
    const TSize size = canvas.TextExtent(Text);
    SetClientSize(size.cx + 2 * (kPaddingX + 1), size.cy + 2 * (kPaddingY + 1));
    // Below the pointer's tip, or above it where the screen ends; never off the screen's sides.
    const TRect screen = gApplication ? gApplication->Backend().ScreenRect() : TRect{};
    int left = std::max(screen.Left, std::min(Pointer.X, screen.Right - Width()));
    int top = Pointer.Y + kBelowPointer * Scale();
    if (top + Height() > screen.Bottom)
        top = Pointer.Y - kAbovePointer * Scale() - Height();
    SetBounds(left, std::max(top, screen.Top), Width(), Height());
    Invalidate();
    SetVisible(true);
}

void THintWindow::PaintOverlay(HDC Dc) {
    TCanvas canvas(Dc);
    TRect box = ClientRect();
    canvas.Brush().SetColor(kClInfoText);
    canvas.FrameRect(box);
    canvas.Font().Assign(*Font());
    canvas.Brush().SetStyle(bsClear);
    canvas.TextOut(kPaddingX + 1, kPaddingY + 1, Caption());
}

// ---- THintController --------------------------------------------------------------------------

bool THintController::Shown() const {
    return FWindow && FWindow->Visible();
}

void THintController::MouseMoved(TControl* Control, TPoint Screen) {
    if (Control != FSuppressed)
        FSuppressed = nullptr;
    if (!ShowsHint(Control) || Control == FSuppressed) {
        Cancel(false);
        return;
    }
    if (Control == FControl && Shown())
        return;
    if (Control != FControl && Shown())
        FWindow->Hide();
    // The pause starts again with every move until the hint shows.
    FControl = Control;
    FPointer = Screen;
    FDue = FApplication.Backend().Ticks() + kHintPause;
    FWaiting = true;
}

void THintController::Cancel(bool Suppress) {
    if (Suppress && FControl)
        FSuppressed = FControl;
    FControl = nullptr;
    FWaiting = false;
    if (Shown())
        FWindow->Hide();
}

void THintController::ControlGone(const TComponent* Control) {
    if (Control == static_cast<const TComponent*>(FSuppressed))
        FSuppressed = nullptr;
    if (Control == static_cast<const TComponent*>(FControl))
        Cancel(false);
}

void THintController::FormGone(const TForm* Form) {
    if (Form == FWindow) {
        FWindow = nullptr;
        FWaiting = false;
        FControl = nullptr;
    }
}

int THintController::Tick() {
    if (!FWaiting)
        return -1;
    const int32_t left = static_cast<int32_t>(FDue - FApplication.Backend().Ticks());
    if (left > 0)
        return left;
    FWaiting = false;
    Show();
    return -1;
}

void THintController::Show() {
    // The pointer must still be on the control, in a window that takes input now.
    if (!FControl || !FControl->MouseInControl() || FApplication.Minimized())
        return;
    TForm* form = FControl->ParentForm();
    if (!form || !form->Visible() || (FApplication.ModalForm() && FApplication.ModalForm() != form))
        return;
    if (!FWindow)
        FWindow = new THintWindow(&FApplication);
    FWindow->ActivateHint(FPointer, FControl->Hint());
}

} // namespace zorbalin
