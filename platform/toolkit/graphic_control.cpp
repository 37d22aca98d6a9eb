#include "toolkit/graphic_control.h"

namespace zorbalin {

void TGraphicControl::PaintControl(HDC Dc) {
    struct TUnbind {
        TCanvas& Canvas;
        ~TUnbind() { Canvas.SetHandle(nullptr); }
    } unbind{FCanvas};
    FCanvas.SetHandle(Dc);
    FCanvas.Font().Assign(*Font());
    Paint();
}

} // namespace zorbalin
