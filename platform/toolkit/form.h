// Forms: the top-level windows. A form owns its components, holds its controls, paints them into
// a retained surface and shows that surface through a backend window.
//
// Building a form: derive from TForm, create the components in the constructor (each with the
// form as owner and parent, in z-order: later ones in front), assign handlers, and construct the
// form with TForm::Create<T>(owner) (or Application->CreateForm<T>) so that OnCreate runs after
// the constructor. An exception from OnCreate is shown in the error box and creation goes on.
//
//   class Tfrm_Demo : public TForm {
//    public:
//     explicit Tfrm_Demo(TComponent* Owner) : TForm(Owner) {
//       SetClientSize(200, 100);
//       Button1 = new TButton(this); Button1->SetParent(this); ...
//       OnCreate = [this](TObject*) { ... };
//     }
//     TButton* Button1;
//   };
//   auto* f = TForm::Create<Tfrm_Demo>(Application);   // OnCreate has run
//   int result = f->ShowModal();
//   delete f;
//
// Coordinates: Left/Top/Width/Height are the outer window in screen coordinates (any value, also
// off the screen); ClientWidth/ClientHeight the client area, which controls use, in logical
// pixels: the outer width is ClientWidth * Scale() plus the frame.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "toolkit/control.h"
#include "toolkit/form_surface.h"
#include "toolkit/update_region.h"

namespace zorbalin {

class TActionList;
class TBackendWindow;
class TButton;

enum class TFormBorderStyle { bsNone, bsDialog };
// Where a form is placed when first shown: where Left/Top say, or centred over the main form
// (half the difference of the outer sizes, rounded toward zero; not moved onto the screen).
enum class TPosition { poDesigned, poMainFormCenter };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

using TModalResult = int;
constexpr TModalResult kMrNone = 0;
constexpr TModalResult kMrOk = 1;
constexpr TModalResult kMrCancel = 2;
constexpr TModalResult kMrAbort = 3;
constexpr TModalResult kMrRetry = 4;
constexpr TModalResult kMrIgnore = 5;
constexpr TModalResult kMrYes = 6;
constexpr TModalResult kMrNo = 7;

class TForm : public TWinControl {
  public:
    explicit TForm(TComponent* Owner);
    ~TForm() override;

    // Constructs a form and runs its OnCreate (see the top of this file).
    template <class F, class... TArgs> static F* Create(TComponent* Owner, TArgs&&... Args) {
        F* form = new F(Owner, std::forward<TArgs>(Args)...);
        form->DoCreate();
        return form;
    }

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TPosition Position = TPosition::poDesigned;
    // What the window is to the window system; set before the form is first shown.
    TWindowKind WindowKind = TWindowKind::Normal;

    void SetClientSize(int Width, int Height);
    void SetClientWidth(int Value) { SetClientSize(Value, FClientHeight); }
    void SetClientHeight(int Value) { SetClientSize(FClientWidth, Value); }
    int ClientWidth() const override { return FClientWidth; }
    int ClientHeight() const override { return FClientHeight; }
    TRect ClientRect() const override { return Rect(0, 0, FClientWidth, FClientHeight); }
    // Left/Top move the window at once; Width/Height are the outer size (client + frame).
    void SetBounds(int Left, int Top, int Width, int Height) override;
    TFrameExtents FrameExtents() const;
    // Screen pixels per logical pixel: the application's scale.
    int Scale() const;

    // A popup (a menu): while it runs modally, a press on another window of the program ends
    // the run with mrCancel, and keys that reach another window of the program go to it (the
    // window system may have left the keyboard focus where it was).
    bool PopupWindow = false;

    // Pixels of this colour let the mouse through and show what is behind the window.
    bool TransparentColor = false;
    TColor TransparentColorValue = 0;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    void Show();
    void Hide();
    void SetVisible(bool Value) override;
    // Runs the form in a nested message loop until ModalResult becomes non-zero; other forms get
    // no input meanwhile but stay painted. Returns the modal result; the form is hidden after.
    TModalResult ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool Modal() const { return FModal; }
    // Asks the form to close: OnClose decides what happens (an exception from it keeps the form
    // open). Closing the main form ends the application's message loop; a modal form ends its
    // modal run with mrCancel.
    void Close();
    // Runs OnClose as the program ends without asking (see TApplication::EndSession); an
    // exception from it goes to the caller.
    void DoCloseAtSessionEnd();
    // Frees the form once the event being handled is finished.
    void Release();
    // Whether the form is the application's active form (the one that gets the keys).
    bool Active() const;

    TControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TControl* Control);
    TControl* CaptureControl() const { return FCaptureControl; }
    void SetCaptureControl(TControl* Control);

    // Painting: invalidated parts wait for the next ordinary repaint (when the loop is idle);
    // RepaintRect draws at once and shows only that rectangle.
    void Invalidate() override { InvalidateRect(ClientRect()); }
    void Repaint() override { RepaintRect(ClientRect()); }
    void Update() override { UpdateNow(); }
    void InvalidateRect(const TRect& R) override;
    void RepaintRect(const TRect& R) override;
    void UpdateNow() override;
    bool NeedsPaint() const { return !FUpdateRegion.Empty(); }
    TPoint ClientOrigin() const override;
    TPoint ClientToScreen(TPoint P) const override;
    TPoint ScreenToClient(TPoint P) const override;
    // The surface the form paints into (client area, 0x00RRGGBB pixels).
    TPixelView SurfacePixels() const { return FSurface.View(); }
    HDC SurfaceDC() const { return FSurface.DC(); }

    // The backend window, null until first shown.
    TBackendWindow* Window() const { return FWindow.get(); }

    // ---- Called by the application's message loop ----
    void DoCreate();
    void HandleMouseDown(TMouseButton Button, TShiftState Shift, TPoint P, bool DoubleClick);
    void HandleMouseUp(TMouseButton Button, TShiftState Shift, TPoint P);
    void HandleMouseMove(TShiftState Shift, TPoint P);
    void HandleMouseLeave();
    // A key goes to the first taker of: the shortcuts of the form's action lists, the focused
    // control (when it wants the key), the form's own KeyDown (a subclass overrides it and sets
    // the key to 0 when used), the dialog keys (Enter, Esc, Tab).
    void HandleKeyDown(uint16_t Key, TShiftState Shift);
    void HandleMoved(int Left, int Top);
    void HandleExpose(const TRect& Area);
    void HandleActivated(bool Active);

  protected:
    // Drawn over the controls, clipped to the part being painted: marks such as a focus ring that
    // belong to no control and take no mouse input.
    virtual void PaintOverlay(HDC /*dc*/) {}
    // The mouse is used on the form (client coordinates): it moved or a button went down.
    virtual void MouseUsed(TPoint /*p*/, bool /*pressed*/) {}
    // Runs first for every press of a mouse button and every key on the form, before any control
    // or shortcut sees it; true takes the press, so that nothing else handles it (nor its release).
    virtual bool InterceptPress() { return false; }
    void ControlRemoving(TControl* Control) override;
    void ComponentRemoved(TComponent* Component) override;

  private:
    void DoClose(TCloseAction& Action);
    void CreateWindowIfNeeded();
    void UpdateOuterSize();
    void PlaceOnFirstShow();
    void PaintRect(const TRect& R);
    void Present(const TRect& R);
    TControl* MouseTarget(TPoint P) const;
    void UpdateHover(TPoint P);
    TPoint ToControl(const TControl* Control, TPoint P) const;
    bool ExecuteShortCut(uint16_t Key, TShiftState Shift);
    void ContextPopup(TControl* Target, TPoint P);
    bool HandleDialogKey(uint16_t Key, TShiftState Shift);
    TButton* FindButton(bool WantDefault) const;
    void SelectNextControl(bool Forward);

    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsNone;
    int FClientWidth = 0, FClientHeight = 0;
    bool FShownOnce = false;
    bool FModal = false;
    TModalResult FModalResult = kMrNone;
    TControl* FActiveControl = nullptr;
    TControl* FCaptureControl = nullptr;
    TControl* FHoverControl = nullptr;
    TControl* FClickControl = nullptr; // a left press on it armed a click
    bool FContextPress = false;        // a right press on the form may open a popup menu
    TFormSurface FSurface;
    TUpdateRegion FUpdateRegion;
    std::unique_ptr<TBackendWindow> FWindow;
};

} // namespace zorbalin
