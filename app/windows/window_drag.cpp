#include "app/windows/window_drag.h"

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
    // Left edge first, then the top edge.
    Window.SetLeft(DragLeft + (p.X - DragCursor.X));
    Window.SetTop(DragTop + (p.Y - DragCursor.Y));
}

} // namespace zorbalin
