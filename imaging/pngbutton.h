// TPNGButton: a windowless push button that shows a PNG picture and an optional caption. It
// paints onto its form after the form's background, so the picture's alpha blends into it;
// it picks one of four pictures by its state, shifts picture and caption by two pixels while
// pressed with the pointer inside, draws one of three frame styles and places the caption
// above, below, left or right of the picture.
//
//   auto* b = new TPNGButton(form);
//   b->SetParent(form);
//   b->SetBounds(632, 12, 25, 25);
//   b->SetButtonStyle(pbsNoFrame);
//   b->SetImageNormal(&crossIcon);     // copied; the caller keeps its picture
//   b->OnClick = [form](TObject* s) { ... };
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "imaging/pngpicture.h"
#include "toolkit/graphic_control.h"

namespace zorbalin {

enum TPNGButtonStyle : uint8_t { pbsDefault, pbsFlat, pbsNoFrame };
enum TPNGButtonLayout : uint8_t { pbsImageAbove, pbsImageBellow, pbsImageLeft, pbsImageRight };

// Where painting puts the picture's and the caption's top-left corners.
struct TPNGButtonPlacement {
    int Ix = 0, Iy = 0, Tx = 0, Ty = 0;
};

// The layout arithmetic of the button: a W x H button, a picture of iw x ih (0 x 0 when empty),
// a caption of tw x th (0 x 0 when there is none); division truncates toward zero.
TPNGButtonPlacement PlacePNGButton(int W, int H, int Iw, int Ih, const std::string& Caption, int Tw,
                                   int Th, TPNGButtonLayout Layout, bool PressedInside);

// Makes `target` a copy of `source` one third as opaque: every alpha value divided by 3
// (palette pictures keep their full opacity). Needs a header in `source`.
void MakeDisabledImage(TPNGObject& Source, TPNGObject& Target);

class TPNGButton : public TGraphicControl {
  public:
    enum TState : uint8_t { Normal = 0, Pressed = 1, Disabled = 2 };

    explicit TPNGButton(TComponent* Owner);
    ~TPNGButton() override;

    TPNGButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TPNGButtonStyle Value);
    TPNGButtonLayout ButtonLayout() const { return FButtonLayout; }
    void SetButtonLayout(TPNGButtonLayout Value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);

    // The owned pictures. Setting one copies the given picture into it; setting ImageNormal also
    // rebuilds ImageDisabled. Each repaints the button at once.
    TPNGObject* ImageNormal() const { return FImageNormal.get(); }
    TPNGObject* ImageDown() const { return FImageDown.get(); }
    TPNGObject* ImageOver() const { return FImageOver.get(); }
    TPNGObject* ImageDisabled() const { return FImageDisabled.get(); }
    void SetImageNormal(TPNGObject* Value);
    void SetImageDown(TPNGObject* Value);
    void SetImageOver(TPNGObject* Value);

    TState State() const { return FState; }
    bool MouseInside() const { return FMouseInside; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;

    // The toolkit's handlers, replaced.
    void Click() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;

  protected:
    void Paint() override;

  private:
    void SetState(TState Value);
    void RepaintAtOnce();
    TPNGObject* ChoosePicture(bool PressedInside) const;
    void DrawFrame(TRect& R, bool PressedInside);

    TPNGButtonStyle FButtonStyle = pbsDefault;
    bool FMouseInside = false;
    std::string FCaption;
    TPNGButtonLayout FButtonLayout = pbsImageAbove;
    TState FState = Normal;
    std::unique_ptr<TPNGObject> FImageDown;
    std::unique_ptr<TPNGObject> FImageNormal;
    std::unique_ptr<TPNGObject> FImageDisabled;
    std::unique_ptr<TPNGObject> FImageOver;
};

} // namespace zorbalin
