// Controls: rectangles of a form that paint themselves and receive the mouse. Every control of
// this toolkit is windowless (it paints onto its form's surface); the form is the only window.
//
// Z-order is the order in which controls got their parent: a later one lies in front. A hidden
// or disabled control lets the mouse through to what is behind it.
//
// Mouse rules (as a desktop user expects them):
//  - a left press on a control with csCaptureMouse captures the mouse: every mouse event goes to
//    that control until the left button is released, even outside the form;
//  - a left press on a control with csClickEvents arms a click; the left release then calls
//    Click() (OnClick) when the pointer is inside the control's box, before MouseUp (OnMouseUp);
//  - a second left press within 500 ms and a 4 x 4 pixel box of the first is a double click:
//    DblClick() (OnDblClick) and then MouseDown with ssDouble, and its release gives no click;
//  - MouseEnter/MouseLeave follow the pointer over the visible controls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gdi/objects.h"
#include "toolkit/backend_interface.h"
#include "toolkit/colors.h"
#include "toolkit/component.h"
#include "toolkit/geometry.h"

namespace zorbalin {

class TCanvas;
class TFont;
class TPopupMenu;
class TForm;
class TWinControl;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// Control style bits.
using TControlStyle = unsigned;
constexpr TControlStyle kCsCaptureMouse = 1u << 0;
constexpr TControlStyle kCsClickEvents = 1u << 1;
constexpr TControlStyle kCsDoubleClicks = 1u << 2;

class TControl : public TComponent {
  public:
    explicit TControl(TComponent* Owner);
    ~TControl() override;

    // The container the control lies in; null until set. Setting it puts the control in front of
    // the container's other controls and copies the container's font when ParentFont is on.
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* Parent);
    TForm* ParentForm() const;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // Moves and sizes the control in its parent's client coordinates. The old and the new box are
    // invalidated: they are drawn at the next ordinary repaint, not at once.
    virtual void SetBounds(int Left, int Top, int Width, int Height);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool ShowHint = false;
    bool ParentShowHint = true;

    TFont* Font() const { return FFont.get(); }
    bool ParentFont = true;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    TControlStyle ControlStyle = kCsCaptureMouse | kCsClickEvents | kCsDoubleClicks;

    // The menu a right click on the control opens (pressed and released on the form, with the
    // left button up); a control without one takes its parent's. Not owned.
    TPopupMenu* PopupMenu = nullptr;

    // Keyboard focus (dialogs): a control with TabStop can be the form's active control.
    bool TabStop = false;
    int TabOrder = 0;
    bool Focused() const;
    void SetFocus();

    // Marks the control's box for the next ordinary repaint (when the message loop is idle).
    virtual void Invalidate();
    // Draws the control's box at once, with what lies behind it, and shows it; nothing else of
    // the form is drawn (a strip the control left when it moved waits for the ordinary repaint).
    virtual void Repaint();
    // Draws every invalidated part of the form now.
    virtual void Update();

    // Between the control's client coordinates and the screen's (through the form's scale).
    virtual TPoint ClientToScreen(TPoint P) const;
    virtual TPoint ScreenToClient(TPoint P) const;

    bool MouseCapture() const;
    void SetMouseCapture(bool Value);
    bool MouseInControl() const { return FMouseInControl; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // The handlers the form calls; a subclass overrides them and calls the base to fire the event.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void EnabledChanged() { Invalidate(); }
    // A key pressed while the control has the focus; set key to 0 when it was used.
    virtual void KeyDown(uint16_t& /*key*/, TShiftState /*shift*/) {}
    // Whether the control takes this key before the form's dialog keys (Enter, Esc, Tab, arrows).
    virtual bool WantsKey(uint16_t /*key*/) const { return false; }
    virtual void FocusChanged() { Invalidate(); }

    // Paints the control into the form's device context, whose origin the form has moved to the
    // control's top-left corner and whose clip it has narrowed to the part being drawn.
    virtual void PaintControl(HDC /*dc*/) {}

  protected:
    virtual void VisibleChanged() {}
    virtual void TextChanged() { Invalidate(); }

  private:
    friend class TWinControl;
    friend class TForm;

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FCaption;
    std::string FHint;
    std::unique_ptr<TFont> FFont;
    TColor FColor = kClBtnFace;
    bool FMouseInControl = false;
};

// A control that holds other controls: the form.
class TWinControl : public TControl {
  public:
    explicit TWinControl(TComponent* Owner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(Index); }
    // The front-most visible and enabled control at p (client coordinates), null for none.
    TControl* ControlAtPos(TPoint P, bool AllowDisabled = false) const;
    void BringToFront(TControl* Control);
    void SendToBack(TControl* Control);

    // Invalidation and painting, in this control's client coordinates.
    virtual void InvalidateRect(const TRect& R) = 0;
    virtual void RepaintRect(const TRect& R) = 0;
    virtual void UpdateNow() = 0;
    // Screen coordinates of the client area's top-left corner.
    virtual TPoint ClientOrigin() const = 0;

  protected:
    virtual void ControlInserted(TControl*) {}
    virtual void ControlRemoving(TControl*) {}
    std::vector<TControl*> FControls;

  private:
    friend class TControl;
    void Insert(TControl* Control);
    void Remove(TControl* Control);
};

} // namespace zorbalin
