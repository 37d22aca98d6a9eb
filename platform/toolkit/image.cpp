#include "toolkit/image.h"

namespace zorbalin {

TImage::TImage(TComponent* Owner) : TGraphicControl(Owner), FPicture(std::make_unique<TPicture>()) {
    SetBounds(Left(), Top(), 105, 105);
    FPicture->OnChange = [this](TObject*) { Invalidate(); };
}

TImage::~TImage() {
    FPicture->OnChange = nullptr;
}

void TImage::SetStretch(bool Value) {
    if (Value == FStretch)
        return;
    FStretch = Value;
    Invalidate();
}

void TImage::Paint() {
    TGraphic* graphic = FPicture->Graphic();
    if (!graphic || graphic->Empty())
        return;
    if (FStretch)
        Canvas()->StretchDraw(ClientRect(), graphic);
    else
        Canvas()->Draw(0, 0, graphic);
}

} // namespace zorbalin
