#include "app/windows/window_drag.h"

#include "app/windows/window_place.h"
#include "toolkit/application.h"
#include "toolkit/form.h"

namespace zorbalin {

void TWindowDrag::MouseDown(const TForm& Window, TMouseButton Button) {
    if (Button != TMouseButton::mbLeft)
        return;
    Dragging = true;
    DragCursor = GetCursorPos();
    DragLeft = Window.Left();
    DragTop = Window.Top();
}

void TWindowDrag::MouseMove(TForm& Window) const {
    if (!Dragging)
        return;
    const TPoint p = GetCursorPos();
    // The band with the window's buttons stays within reach: without a title bar of the window
    // system's, it is the only way to move or close the window.
    const int scale = Window.Scale();
    const TPoint place =
        KeepBandOnScreen({DragLeft + (p.X - DragCursor.X), DragTop + (p.Y - DragCursor.Y)},
                         Window.Width(), kGripWidth * scale, kGripHeight * scale,
                         gApplication ? gApplication->Backend().Monitors() : std::vector<TRect>{});
    // Left edge first, then the top edge.
    Window.SetLeft(place.X);
    Window.SetTop(place.Y);
}

} // namespace zorbalin
