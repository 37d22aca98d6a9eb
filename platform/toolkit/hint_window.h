// Tooltips: a control's hint shown in a small borderless window of its own once the pointer has
// rested on the control for a moment.
//
// A control shows its hint when the hint is not empty and ShowHint is on (or ParentShowHint is on
// and its parent shows hints). The pointer must rest on it for kHintPause milliseconds: moving
// within the control starts the pause again until the hint shows; once shown, the hint stays
// while the pointer stays on the control. Any press or key, the pointer leaving the control or
// its window, or the program losing the focus hides it; after a press or a key the control shows
// no hint again until the pointer has been on another control.
//
// The application runs this (see TApplication): forms report the pointer, and the message loop
// waits no longer than the pause that is running.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/form.h"

namespace zorbalin {

class TApplication;

constexpr uint32_t kHintPause = 700;

// Whether a control shows its hint as a tooltip (see above).
bool ShowsHint(const TControl* Control);

// The tooltip window: the text on the tooltip colour in a thin frame, below the pointer and kept
// on the screen (above the pointer when there is no room below). It never takes the focus.
class THintWindow : public TForm {
  public:
    explicit THintWindow(TComponent* Owner);

    // Shows the text for a pointer at this screen point.
    void ActivateHint(TPoint Pointer, const std::string& Text);
    const std::string& Text() const { return Caption(); }

  protected:
    void PaintOverlay(HDC Dc) override;
};

class THintController {
  public:
    explicit THintController(TApplication& Application) : FApplication(Application) {}

    // The pointer is on this control (null: on none) at a screen point.
    void MouseMoved(TControl* Control, TPoint Screen);
    // Hides the hint and stops the pause; with `suppress`, the control under the pointer shows
    // no hint until the pointer has been on another one.
    void Cancel(bool Suppress);
    // A control that goes (also one half destroyed: only its address is compared).
    void ControlGone(const TComponent* Control);
    void FormGone(const TForm* Form);
    // Shows the hint when its pause is over; returns the milliseconds still to wait, or -1 when
    // no pause is running.
    int Tick();
    THintWindow* Window() const { return FWindow; }
    bool Shown() const;

  private:
    void Show();

    TApplication& FApplication;
    THintWindow* FWindow = nullptr;
    TControl* FControl = nullptr;    // the control whose hint is waiting or shown
    TControl* FSuppressed = nullptr; // pressed on: no hint until the pointer leaves it
    TPoint FPointer;
    uint32_t FDue = 0;
    bool FWaiting = false;
};

} // namespace zorbalin
