// Device contexts: creation, selection of objects, colours and modes, origin, clipping, saved
// states, stock objects and device facts.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "gdi/gdi.h"
#include "gdi/pixels.h"
#include "gdi/zeroed_memory.h"

namespace zorbalin {

namespace {

// Objects shared by every context; they are never freed.
struct TStockObjects {
    TGdiBrush White;
    TGdiBrush Black;
    TGdiBrush Hollow;
    TGdiFont GuiFont;

    TStockObjects() {
        for (TGdiObject* o :
             {static_cast<TGdiObject*>(&White), static_cast<TGdiObject*>(&Black),
              static_cast<TGdiObject*>(&Hollow), static_cast<TGdiObject*>(&GuiFont)})
            o->Stock = true;
        White.Color = RGB(255, 255, 255);
        Hollow.Hollow = true;
        GuiFont.LogFont.lfHeight = -11;
        std::copy_n("MS Sans Serif", 14, GuiFont.LogFont.lfFaceName);
    }
};

TStockObjects& Stock() {
    static TStockObjects objects;
    return objects;
}

TGdiBrush* WhiteBrush() {
    return &Stock().White;
}
TGdiBrush* BlackBrush() {
    return &Stock().Black;
}
TGdiBrush* NullBrush() {
    return &Stock().Hollow;
}
TGdiFont* DefaultFont() {
    return &Stock().GuiFont;
}

// The 20 colours every palette device reserves.
TGdiPalette* DefaultPalette() {
    static TGdiPalette palette;
    if (palette.Entries.empty()) {
        palette.Stock = true;
        const BYTE table[20][3] = {
            {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
            {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
            {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
            {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
        for (const auto& c : table)
            palette.Entries.push_back({c[0], c[1], c[2], 0});
    }
    return &palette;
}

template <class T> T* Swap(T*& Slot, T* Object) {
    T* previous = Slot;
    if (previous)
        --previous->Selections;
    Slot = Object;
    ++Object->Selections;
    return previous;
}

} // namespace

TGdiBitmap::~TGdiBitmap() {
    FreeZeroed(Bits);
}

TGdiDC::TGdiDC() : DefaultBitmap(std::make_unique<TGdiBitmap>()) {
    TGdiBitmap& b = *DefaultBitmap;
    b.Width = b.Height = 1;
    b.BitCount = 1;
    b.Stride = 4;
    b.Bits = static_cast<BYTE*>(AllocateZeroed(4));
    b.SelectedInto = this;
    b.Selections = 1;
    Bitmap = &b;
    Swap(Palette, DefaultPalette());
    Swap(Brush, WhiteBrush());
    Swap(Font, DefaultFont());
}

TGdiDC::~TGdiDC() {
    if (Bitmap) {
        Bitmap->SelectedInto = nullptr;
        --Bitmap->Selections;
    }
    if (Palette)
        --Palette->Selections;
    if (Brush)
        --Brush->Selections;
    if (Font)
        --Font->Selections;
}

HDC CreateCompatibleDC(HDC) {
    return new TGdiDC();
}

BOOL DeleteDC(HDC Hdc) {
    if (!Hdc)
        return FALSE;
    delete Hdc;
    return TRUE;
}

HBITMAP SelectObject(HDC Hdc, HBITMAP Bitmap) {
    if (!Hdc || !Bitmap)
        return nullptr;
    if (Bitmap->SelectedInto == Hdc)
        return Bitmap;
    if (Bitmap->SelectedInto)
        return nullptr; // a bitmap lives in one context at a time
    HBITMAP previous = Hdc->Bitmap;
    previous->SelectedInto = nullptr;
    --previous->Selections;
    Hdc->Bitmap = Bitmap;
    Bitmap->SelectedInto = Hdc;
    ++Bitmap->Selections;
    return previous;
}

HBRUSH SelectObject(HDC Hdc, HBRUSH Brush) {
    if (!Hdc || !Brush)
        return nullptr;
    return Swap(Hdc->Brush, Brush);
}

HFONT SelectObject(HDC Hdc, HFONT Font) {
    if (!Hdc || !Font)
        return nullptr;
    return Swap(Hdc->Font, Font);
}

HGDIOBJ SelectObject(HDC Hdc, HGDIOBJ Obj) {
    if (!Hdc || !Obj)
        return nullptr;
    switch (Obj->Type()) {
    case TGdiObjectType::Bitmap:
        return SelectObject(Hdc, static_cast<HBITMAP>(Obj));
    case TGdiObjectType::Brush:
        return SelectObject(Hdc, static_cast<HBRUSH>(Obj));
    case TGdiObjectType::Font:
        return SelectObject(Hdc, static_cast<HFONT>(Obj));
    case TGdiObjectType::Palette:
        return SelectPalette(Hdc, static_cast<HPALETTE>(Obj), FALSE);
    }
    return nullptr;
}

HPALETTE SelectPalette(HDC Hdc, HPALETTE Palette, BOOL) {
    if (!Hdc || !Palette)
        return nullptr;
    return Swap(Hdc->Palette, Palette);
}

UINT RealizePalette(HDC Hdc) {
    if (!Hdc || !Hdc->Palette)
        return 0;
    return static_cast<UINT>(Hdc->Palette->Entries.size());
}

HGDIOBJ GetCurrentObject(HDC Hdc, UINT Type) {
    if (!Hdc)
        return nullptr;
    switch (Type) {
    case OBJ_BITMAP:
        return Hdc->Bitmap;
    case OBJ_PAL:
        return Hdc->Palette;
    case OBJ_BRUSH:
        return Hdc->Brush;
    case OBJ_FONT:
        return Hdc->Font;
    default:
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ Obj) {
    if (!Obj)
        return FALSE;
    if (Obj->Stock)
        return TRUE;
    if (Obj->Selections > 0)
        return FALSE;
    delete Obj;
    return TRUE;
}

HGDIOBJ GetStockObject(int Which) {
    switch (Which) {
    case WHITE_BRUSH:
        return WhiteBrush();
    case BLACK_BRUSH:
        return BlackBrush();
    case NULL_BRUSH:
        return NullBrush();
    case DEFAULT_GUI_FONT:
        return DefaultFont();
    case DEFAULT_PALETTE:
        return DefaultPalette();
    default:
        return nullptr;
    }
}

int GetDeviceCaps(HDC, int Index) {
    switch (Index) {
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case RASTERCAPS:
        return 0;
    case SIZEPALETTE:
        return 0;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    default:
        return 0;
    }
}

COLORREF SetBkColor(HDC Hdc, COLORREF Color) {
    if (!Hdc)
        return CLR_INVALID;
    return std::exchange(Hdc->State.BkColor, Color & 0xFFFFFFu);
}
COLORREF GetBkColor(HDC Hdc) {
    return Hdc ? Hdc->State.BkColor : CLR_INVALID;
}

COLORREF SetTextColor(HDC Hdc, COLORREF Color) {
    if (!Hdc)
        return CLR_INVALID;
    return std::exchange(Hdc->State.TextColor, Color & 0xFFFFFFu);
}
COLORREF GetTextColor(HDC Hdc) {
    return Hdc ? Hdc->State.TextColor : CLR_INVALID;
}

int SetBkMode(HDC Hdc, int Mode) {
    if (!Hdc || (Mode != TRANSPARENT && Mode != OPAQUE))
        return 0;
    return std::exchange(Hdc->State.BkMode, Mode);
}
int GetBkMode(HDC Hdc) {
    return Hdc ? Hdc->State.BkMode : 0;
}

int SetStretchBltMode(HDC Hdc, int Mode) {
    if (!Hdc || Mode < BLACKONWHITE || Mode > HALFTONE)
        return 0;
    return std::exchange(Hdc->State.StretchMode, Mode);
}
int GetStretchBltMode(HDC Hdc) {
    return Hdc ? Hdc->State.StretchMode : 0;
}

BOOL SetViewportOrgEx(HDC Hdc, int X, int Y, POINT* Old) {
    if (!Hdc)
        return FALSE;
    if (Old)
        *Old = Hdc->State.ViewportOrg;
    Hdc->State.ViewportOrg = {X, Y};
    return TRUE;
}

BOOL GetViewportOrgEx(HDC Hdc, POINT* Origin) {
    if (!Hdc || !Origin)
        return FALSE;
    *Origin = Hdc->State.ViewportOrg;
    return TRUE;
}

int IntersectClipRect(HDC Hdc, int Left, int Top, int Right, int Bottom) {
    if (!Hdc)
        return 0;
    using namespace gdi_detail;
    RECT device{DevX(*Hdc, Left), DevY(*Hdc, Top), DevX(*Hdc, Right), DevY(*Hdc, Bottom)};
    if (device.right < device.left)
        device.right = device.left;
    if (device.bottom < device.top)
        device.bottom = device.top;
    TGdiDC::TState& s = Hdc->State;
    s.Clip = s.HasClip ? Intersect(s.Clip, device) : device;
    s.HasClip = true;
    return IsEmpty(s.Clip) ? 1 : 2;
}

int SelectClipRgn(HDC Hdc, std::nullptr_t) {
    if (!Hdc)
        return 0;
    Hdc->State.HasClip = false;
    return 2;
}

int GetClipBox(HDC Hdc, RECT* Rect) {
    if (!Hdc || !Rect)
        return 0;
    RECT device = gdi_detail::DeviceClip(*Hdc);
    const POINT& o = Hdc->State.ViewportOrg;
    *Rect = {device.left - o.x, device.top - o.y, device.right - o.x, device.bottom - o.y};
    return gdi_detail::IsEmpty(device) ? 1 : 2;
}

int SaveDC(HDC Hdc) {
    if (!Hdc)
        return 0;
    Hdc->Saved.push_back(Hdc->State);
    return static_cast<int>(Hdc->Saved.size());
}

BOOL RestoreDC(HDC Hdc, int Level) {
    if (!Hdc || Hdc->Saved.empty())
        return FALSE;
    int count = static_cast<int>(Hdc->Saved.size());
    int target = Level < 0 ? count + Level + 1 : Level;
    if (target < 1 || target > count)
        return FALSE;
    Hdc->State = Hdc->Saved[target - 1];
    Hdc->Saved.resize(target - 1);
    return TRUE;
}

COLORREF GetSysColor(int Index) {
    static const COLORREF kColors[COLOR_SYSCOLOR_COUNT] = {
        RGB(212, 208, 200), // scroll bar
        RGB(58, 110, 165),  // desktop
        RGB(10, 36, 106),   // active caption
        RGB(128, 128, 128), // inactive caption
        RGB(212, 208, 200), // menu
        RGB(255, 255, 255), // window
        RGB(0, 0, 0),       // window frame
        RGB(0, 0, 0),       // menu text
        RGB(0, 0, 0),       // window text
        RGB(255, 255, 255), // caption text
        RGB(212, 208, 200), // active border
        RGB(212, 208, 200), // inactive border
        RGB(128, 128, 128), // application workspace
        RGB(10, 36, 106),   // highlight
        RGB(255, 255, 255), // highlight text
        RGB(212, 208, 200), // button face
        RGB(128, 128, 128), // button shadow
        RGB(128, 128, 128), // grey text
        RGB(0, 0, 0),       // button text
        RGB(212, 208, 200), // inactive caption text
        RGB(255, 255, 255), // button highlight
        RGB(64, 64, 64),    // 3-D dark shadow
        RGB(212, 208, 200), // 3-D light: the button face
        RGB(0, 0, 0),       // tooltip text
        RGB(255, 255, 225), // tooltip background
    };
    if (Index < 0 || Index >= COLOR_SYSCOLOR_COUNT)
        return 0;
    return kColors[Index];
}

} // namespace zorbalin
