#include "toolkit/graphic_control.h"

namespace zorbalin {

void TGraphicControl::PaintControl(HDC dc) {
    struct TUnbind {
        TCanvas& canvas;
        ~TUnbind() { canvas.SetHandle(nullptr); }
    } unbind{FCanvas};
    FCanvas.SetHandle(dc);
    FCanvas.Font().Assign(*Font());
    Paint();
}

} // namespace zorbalin
