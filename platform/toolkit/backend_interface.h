// The toolkit's only view of the screen: an abstract window system that a backend implements
// (backend/sdl for real windows, backend/headless for tests and scripted runs). The toolkit
// keeps the pixels of every form in a retained 32-bit surface of its own and hands rectangles of
// it to the backend to show; the backend reports input as events in client coordinates.
//
// Sizes, client coordinates and presented rectangles are logical pixels; a window enlarges them by
// its Scale on the screen (see toolkit/screen_scale.h). Window positions and frames are screen
// pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/geometry.h"

namespace zorbalin {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and held mouse buttons, as bits.
using TShiftState = unsigned;
constexpr TShiftState kSsShift = 1u << 0;
constexpr TShiftState kSsAlt = 1u << 1;
constexpr TShiftState kSsCtrl = 1u << 2;
constexpr TShiftState kSsLeft = 1u << 3;
constexpr TShiftState kSsRight = 1u << 4;
constexpr TShiftState kSsMiddle = 1u << 5;
constexpr TShiftState kSsDouble = 1u << 6;

// Key codes of the keys the toolkit understands (the classic virtual-key numbering, so that a
// shortcut "Esc" is key code 27 with no modifier). Letters and digits are their upper-case ASCII.
namespace vk {
constexpr uint16_t kBack = 8, kTab = 9, kReturn = 13, kEscape = 27, kSpace = 32;
constexpr uint16_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr uint16_t kApps = 93; // the context-menu key
constexpr uint16_t F1 = 112, F2 = 113, F3 = 114, F4 = 115, F5 = 116, F6 = 117;
constexpr uint16_t F7 = 118, F8 = 119, F9 = 120, F10 = 121, F11 = 122, F12 = 123;
} // namespace vk

// What a window is to the window system: an ordinary one, a dialog of its owner (kept above it,
// of a fixed size: never offered to be maximised), or a tooltip (no frame, no task bar entry,
// never the keyboard focus, not placed by a window manager).
enum class TWindowKind { Normal, Dialog, Tooltip };

class TBackendWindow;

// How a form's window looks to the window system.
struct TWindowRequest {
    std::string Caption;
    TWindowKind Kind = TWindowKind::Normal;
    bool Framed = false;       // dialog frame: title bar and close box, not resizable
    bool TaskbarEntry = false; // the main form: carries the application title
    int Left = 0, Top = 0;     // outer top-left corner in screen coordinates
    int ClientWidth = 0, ClientHeight = 0;
    int Scale = 1; // screen pixels per logical pixel, 1..4
    // The window a dialog belongs to (the main form's); null for the others.
    TBackendWindow* Owner = nullptr;
};

// Width of the frame a window system adds around the client area.
struct TFrameExtents {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// A 32-bit top-down image in memory: 0x00RRGGBB per pixel (BGRX bytes), Stride bytes per row.
struct TPixelView {
    const uint32_t* Pixels = nullptr;
    int Width = 0, Height = 0, Stride = 0;
    uint32_t At(int X, int Y) const {
        return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(Pixels) +
                                                 static_cast<std::ptrdiff_t>(Y) * Stride)[X];
    }
};

class TBackendWindow {
  public:
    virtual ~TBackendWindow() = default;
    // Outer top-left corner in screen coordinates; any value, also off the screen.
    virtual void SetPosition(int Left, int Top) = 0;
    virtual TPoint Position() const = 0;
    // The client size in logical pixels.
    virtual void SetClientSize(int Width, int Height) = 0;
    virtual TFrameExtents Frame() const = 0;
    virtual void SetCaption(const std::string& Caption) = 0;
    virtual void SetVisible(bool Visible) = 0;
    // Copies the rectangle r (client coordinates) of the form's surface to the screen, enlarged by
    // the window's scale.
    virtual void Present(const TRect& R, const TPixelView& Surface) = 0;
    // Pixels of colour key (0x00RRGGBB) become transparent and let the mouse through.
    virtual void SetColourKey(bool Enabled, uint32_t Key) = 0;
    // Icon pixels: 0xAARRGGBB, top-down, width × height.
    virtual void SetIcon(const std::vector<uint32_t>& Argb, int Width, int Height) = 0;
    // A dialog stays above its owner's window.
    virtual void SetModalFor(TBackendWindow* Owner) = 0;
    // Bring to the front and give the keyboard focus (also when no window manager runs that
    // would hand it over).
    virtual void Activate() = 0;
};

enum class TEventKind {
    MouseDown,    // Button, X/Y client coordinates, Shift, Time
    MouseUp,      // Button, X/Y, Shift, Time
    MouseMove,    // X/Y, Shift
    MouseLeave,   // the pointer left the window (no capture)
    KeyDown,      // Key, Shift
    CloseRequest, // the window system asks the window to close
    Expose,       // Area of the window must be shown again (the surface is unchanged)
    Activated,    // the window got the keyboard focus
    Deactivated,  // the window lost it
    Moved,        // the window system moved the window: X/Y is its new outer position
    Minimized,    // the application went to the task bar (Window: the window that reported it)
    Restored,     // the application came back from the task bar
    Quit,         // the session ends
};

struct TBackendEvent {
    TEventKind Kind = TEventKind::MouseMove;
    TBackendWindow* Window = nullptr;
    int X = 0, Y = 0;
    TMouseButton Button = TMouseButton::mbLeft;
    uint16_t Key = 0;
    TShiftState Shift = 0;
    uint32_t Time = 0; // milliseconds, for double clicks
    TRect Area;
};

// What the error box and other message boxes tell the backend, so that a headless run can
// record and answer them. The box itself is a form of the toolkit.
struct TMessageBoxInfo {
    std::string Title;
    std::string Text;
    TBackendWindow* Window = nullptr;
};

class TBackend {
  public:
    virtual ~TBackend() = default;
    virtual std::unique_ptr<TBackendWindow> CreateWindow(const TWindowRequest& Request) = 0;
    // Takes the next event without waiting; false when none is queued.
    virtual bool PollEvent(TBackendEvent& Event) = 0;
    // Waits for the next event; a backend with nothing left to deliver may throw.
    virtual void WaitEvent(TBackendEvent& Event) = 0;
    // Waits at most this many milliseconds; false when none came in that time.
    virtual bool WaitEventTimeout(TBackendEvent& Event, uint32_t Milliseconds) = 0;
    // The mouse cursor in screen coordinates.
    virtual TPoint CursorPos() const = 0;
    // From a press to its release, every mouse event goes to this window, even outside it.
    virtual void SetCapture(TBackendWindow* Window) = 0;
    virtual void ReleaseCapture() = 0;
    // Minimising the application hides all its windows behind its task bar entry.
    virtual void MinimizeApp() = 0;
    virtual void RestoreApp() = 0;
    virtual uint32_t Ticks() const = 0;
    virtual TRect ScreenRect() const = 0;
    // Every monitor's box in screen coordinates, the primary one first.
    virtual std::vector<TRect> Monitors() const { return {ScreenRect()}; }
    // The primary monitor less the desktop's panels: where a window can be seen whole.
    virtual TRect WorkArea() const { return ScreenRect(); }
    // The frame a dialog window will get, known before the window exists (for centring).
    virtual TFrameExtents DialogFrame() const = 0;
    virtual void SetAppTitle(const std::string& Title) = 0;
    // The scale the desktop asks for (1..4), read when the program starts.
    virtual int DesktopScale() const { return 1; }
    // Whether the desktop allows animations (a desktop set to reduce motion does not), read when
    // asked.
    virtual bool DesktopAnimations() const { return true; }
    virtual void MessageBoxShown(const TMessageBoxInfo&) {}
};

} // namespace zorbalin
