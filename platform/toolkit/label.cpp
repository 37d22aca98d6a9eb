#include "toolkit/label.h"

#include "toolkit/font.h"

namespace zorbalin {

TLabel::TLabel(TComponent* Owner) : TGraphicControl(Owner) {
    ControlStyle = kCsClickEvents | kCsDoubleClicks;
    SetBounds(Left(), Top(), 65, 17);
}

void TLabel::Paint() {
    TCanvas& canvas = *Canvas();
    TRect box = ClientRect();
    if (!Transparent) {
        canvas.Brush().SetColor(Color());
        canvas.Brush().SetStyle(bsSolid);
        canvas.FillRect(box);
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.DrawText(Caption(), box, Alignment, WordWrap, CentreVertically && !WordWrap);
}

} // namespace zorbalin
