// TImage: a picture control. It draws its picture stretched to its box (Stretch) or at its
// natural size from the top-left corner, captures the mouse while the left button is held, and
// is clicked by the toolkit's click rule. Changing the picture repaints it at the next ordinary
// repaint.
//
//   auto* cell = new TImage(form);
//   cell->SetParent(form);
//   cell->SetBounds(20, 63, 35, 43);
//   cell->Stretch = true;
//   cell->Picture()->LoadFromFile(path);          // or ->Assign(pngObject)
//   cell->OnClick = [form](TObject* sender) { ... };
#pragma once

#include <memory>

#include "toolkit/graphic_control.h"
#include "toolkit/graphics.h"

namespace zorbalin {

class TImage : public TGraphicControl {
  public:
    explicit TImage(TComponent* Owner);
    ~TImage() override;

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);

  protected:
    void Paint() override;

  private:
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
};

} // namespace zorbalin
