#pragma once
// Moving a borderless window by dragging its background picture. The window
// follows the mouse cursor's screen position, not the event's coordinates,
// which move with the window itself. Only the left button starts a drag; a
// release of any button ends it. The window stops where its top band (the
// buttons) would leave every monitor.
#include "toolkit/backend_interface.h"
#include "toolkit/geometry.h"
#include "toolkit/image.h"

#include <cstdint>

namespace zorbalin {

class TForm;

struct TWindowDrag {
    bool Dragging = false;
    TPoint DragCursor;         // cursor in screen coordinates when the drag began
    std::int32_t DragLeft = 0; // the window's edges when the drag began
    std::int32_t DragTop = 0;

    void MouseDown(const TForm& Window, TMouseButton Button);
    void MouseMove(TForm& Window) const;
    void MouseUp() { Dragging = false; }
};

// Hands the background picture's press, move and release to the window's
// Image1MouseDown, Image1MouseMove and Image1MouseUp handlers.
template <class Window> void ConnectDragHandlers(TImage* Picture, Window* Form) {
    Picture->OnMouseDown = [Form](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        Form->Image1MouseDown(S, B, Sh, X, Y);
    };
    Picture->OnMouseMove = [Form](TObject* S, TShiftState Sh, int X, int Y) {
        Form->Image1MouseMove(S, Sh, X, Y);
    };
    Picture->OnMouseUp = [Form](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        Form->Image1MouseUp(S, B, Sh, X, Y);
    };
}

} // namespace zorbalin
