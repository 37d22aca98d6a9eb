// Playing the main window with the keyboard: the arrows move the focus ring over the pebbles,
// Enter or Space clicks the pebble under it, and the mouse puts the ring away.
#include "app/windows/Main.h"

#include "toolkit/canvas.h"
#include "toolkit/image.h"

namespace zorbalin {

namespace {

// Black, two pixels of white, black: seen on every pebble colour and on the tray.
void DrawFocusRing(HDC Dc, TRect Box) {
    TCanvas canvas(Dc);
    const TColor layers[] = {kClBlack, kClWhite, kClWhite, kClBlack};
    for (TColor colour : layers) {
        canvas.Brush().SetColor(colour);
        canvas.FrameRect(Box);
        Box = {Box.Left + 1, Box.Top + 1, Box.Right - 1, Box.Bottom - 1};
    }
}

} // namespace

void Tfrm_Main::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Shift & (kSsCtrl | kSsAlt))
        return;
    switch (Key) {
    case vk::kLeft:
    case vk::kRight:
    case vk::kUp:
    case vk::kDown:
        FFocus.Arrow(Key, FGame.Board());
        UpdateFocusRing();
        Key = 0;
        return;
    case vk::kReturn:
    case vk::kSpace:
        if (!FFocus.Visible())
            return;
        Key = 0;
        ClickFocusedPebble();
        return;
    default:
        return;
    }
}

void Tfrm_Main::ClickFocusedPebble() {
    TImage* picture = FCells.Cell(FFocus.Col(), FFocus.Row());
    // The same way as a click of the mouse: the picture's click handler.
    if (picture && picture->Visible() && FGame.Board().IsFilled(FFocus.Col(), FFocus.Row()))
        picture->Click();
}

void Tfrm_Main::BoardChanged() {
    FFocus.Follow(FGame.Board());
    UpdateFocusRing();
}

void Tfrm_Main::UpdateFocusRing() {
    TRect box;
    if (FFocus.Visible()) {
        const TCellBox home = HomeBox(FFocus.Col(), FFocus.Row());
        box = Bounds(home.Left, home.Top, home.Width, home.Height);
    }
    if (box == FRingBox)
        return;
    InvalidateRect(FRingBox);
    FRingBox = box;
    InvalidateRect(FRingBox);
}

void Tfrm_Main::MouseUsed(TPoint P, bool Pressed) {
    // A window appearing or going away may report the pointer again where it was: only a real
    // move or a press takes the ring away.
    const bool moved = !FMouseSeen || P.X != FLastMouse.X || P.Y != FLastMouse.Y;
    FMouseSeen = true;
    FLastMouse = P;
    if (!Pressed && !moved)
        return;
    FFocus.Hide();
    UpdateFocusRing();
}

void Tfrm_Main::PaintOverlay(HDC Dc) {
    if (!FRingBox.IsEmpty())
        DrawFocusRing(Dc, FRingBox);
}

} // namespace zorbalin
