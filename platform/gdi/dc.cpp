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
    TGdiBrush white;
    TGdiBrush black;
    TGdiBrush hollow;
    TGdiFont guiFont;

    TStockObjects() {
        for (TGdiObject* o :
             {static_cast<TGdiObject*>(&white), static_cast<TGdiObject*>(&black),
              static_cast<TGdiObject*>(&hollow), static_cast<TGdiObject*>(&guiFont)})
            o->stock = true;
        white.color = RGB(255, 255, 255);
        hollow.hollow = true;
        guiFont.logFont.lfHeight = -11;
        std::copy_n("MS Sans Serif", 14, guiFont.logFont.lfFaceName);
    }
};

TStockObjects& Stock() {
    static TStockObjects objects;
    return objects;
}

TGdiBrush* WhiteBrush() {
    return &Stock().white;
}
TGdiBrush* BlackBrush() {
    return &Stock().black;
}
TGdiBrush* NullBrush() {
    return &Stock().hollow;
}
TGdiFont* DefaultFont() {
    return &Stock().guiFont;
}

// The 20 colours every palette device reserves.
TGdiPalette* DefaultPalette() {
    static TGdiPalette palette;
    if (palette.entries.empty()) {
        palette.stock = true;
        const BYTE table[20][3] = {
            {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
            {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
            {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
            {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
        for (const auto& c : table)
            palette.entries.push_back({c[0], c[1], c[2], 0});
    }
    return &palette;
}

template <class T> T* Swap(T*& slot, T* object) {
    T* previous = slot;
    if (previous)
        --previous->selections;
    slot = object;
    ++object->selections;
    return previous;
}

} // namespace

TGdiBitmap::~TGdiBitmap() {
    FreeZeroed(bits);
}

TGdiDC::TGdiDC() : defaultBitmap(std::make_unique<TGdiBitmap>()) {
    TGdiBitmap& b = *defaultBitmap;
    b.width = b.height = 1;
    b.bitCount = 1;
    b.stride = 4;
    b.bits = static_cast<BYTE*>(AllocateZeroed(4));
    b.selectedInto = this;
    b.selections = 1;
    bitmap = &b;
    Swap(palette, DefaultPalette());
    Swap(brush, WhiteBrush());
    Swap(font, DefaultFont());
}

TGdiDC::~TGdiDC() {
    if (bitmap) {
        bitmap->selectedInto = nullptr;
        --bitmap->selections;
    }
    if (palette)
        --palette->selections;
    if (brush)
        --brush->selections;
    if (font)
        --font->selections;
}

HDC CreateCompatibleDC(HDC) {
    return new TGdiDC();
}

BOOL DeleteDC(HDC hdc) {
    if (!hdc)
        return FALSE;
    delete hdc;
    return TRUE;
}

HBITMAP SelectObject(HDC hdc, HBITMAP bitmap) {
    if (!hdc || !bitmap)
        return nullptr;
    if (bitmap->selectedInto == hdc)
        return bitmap;
    if (bitmap->selectedInto)
        return nullptr; // a bitmap lives in one context at a time
    HBITMAP previous = hdc->bitmap;
    previous->selectedInto = nullptr;
    --previous->selections;
    hdc->bitmap = bitmap;
    bitmap->selectedInto = hdc;
    ++bitmap->selections;
    return previous;
}

HBRUSH SelectObject(HDC hdc, HBRUSH brush) {
    if (!hdc || !brush)
        return nullptr;
    return Swap(hdc->brush, brush);
}

HFONT SelectObject(HDC hdc, HFONT font) {
    if (!hdc || !font)
        return nullptr;
    return Swap(hdc->font, font);
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
    if (!hdc || !obj)
        return nullptr;
    switch (obj->Type()) {
    case TGdiObjectType::Bitmap:
        return SelectObject(hdc, static_cast<HBITMAP>(obj));
    case TGdiObjectType::Brush:
        return SelectObject(hdc, static_cast<HBRUSH>(obj));
    case TGdiObjectType::Font:
        return SelectObject(hdc, static_cast<HFONT>(obj));
    case TGdiObjectType::Palette:
        return SelectPalette(hdc, static_cast<HPALETTE>(obj), FALSE);
    }
    return nullptr;
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
    if (!hdc || !palette)
        return nullptr;
    return Swap(hdc->palette, palette);
}

UINT RealizePalette(HDC hdc) {
    if (!hdc || !hdc->palette)
        return 0;
    return static_cast<UINT>(hdc->palette->entries.size());
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    if (!hdc)
        return nullptr;
    switch (type) {
    case OBJ_BITMAP:
        return hdc->bitmap;
    case OBJ_PAL:
        return hdc->palette;
    case OBJ_BRUSH:
        return hdc->brush;
    case OBJ_FONT:
        return hdc->font;
    default:
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ obj) {
    if (!obj)
        return FALSE;
    if (obj->stock)
        return TRUE;
    if (obj->selections > 0)
        return FALSE;
    delete obj;
    return TRUE;
}

HGDIOBJ GetStockObject(int which) {
    switch (which) {
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

int GetDeviceCaps(HDC, int index) {
    switch (index) {
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

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    if (!hdc)
        return CLR_INVALID;
    return std::exchange(hdc->state.bkColor, color & 0xFFFFFFu);
}
COLORREF GetBkColor(HDC hdc) {
    return hdc ? hdc->state.bkColor : CLR_INVALID;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    if (!hdc)
        return CLR_INVALID;
    return std::exchange(hdc->state.textColor, color & 0xFFFFFFu);
}
COLORREF GetTextColor(HDC hdc) {
    return hdc ? hdc->state.textColor : CLR_INVALID;
}

int SetBkMode(HDC hdc, int mode) {
    if (!hdc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    return std::exchange(hdc->state.bkMode, mode);
}
int GetBkMode(HDC hdc) {
    return hdc ? hdc->state.bkMode : 0;
}

int SetStretchBltMode(HDC hdc, int mode) {
    if (!hdc || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return std::exchange(hdc->state.stretchMode, mode);
}
int GetStretchBltMode(HDC hdc) {
    return hdc ? hdc->state.stretchMode : 0;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) {
    if (!hdc)
        return FALSE;
    if (old)
        *old = hdc->state.viewportOrg;
    hdc->state.viewportOrg = {x, y};
    return TRUE;
}

BOOL GetViewportOrgEx(HDC hdc, POINT* origin) {
    if (!hdc || !origin)
        return FALSE;
    *origin = hdc->state.viewportOrg;
    return TRUE;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    if (!hdc)
        return 0;
    using namespace gdi_detail;
    RECT device{DevX(*hdc, left), DevY(*hdc, top), DevX(*hdc, right), DevY(*hdc, bottom)};
    if (device.right < device.left)
        device.right = device.left;
    if (device.bottom < device.top)
        device.bottom = device.top;
    TGdiDC::TState& s = hdc->state;
    s.clip = s.hasClip ? Intersect(s.clip, device) : device;
    s.hasClip = true;
    return IsEmpty(s.clip) ? 1 : 2;
}

int SelectClipRgn(HDC hdc, std::nullptr_t) {
    if (!hdc)
        return 0;
    hdc->state.hasClip = false;
    return 2;
}

int GetClipBox(HDC hdc, RECT* rect) {
    if (!hdc || !rect)
        return 0;
    RECT device = gdi_detail::DeviceClip(*hdc);
    const POINT& o = hdc->state.viewportOrg;
    *rect = {device.left - o.x, device.top - o.y, device.right - o.x, device.bottom - o.y};
    return gdi_detail::IsEmpty(device) ? 1 : 2;
}

int SaveDC(HDC hdc) {
    if (!hdc)
        return 0;
    hdc->saved.push_back(hdc->state);
    return static_cast<int>(hdc->saved.size());
}

BOOL RestoreDC(HDC hdc, int level) {
    if (!hdc || hdc->saved.empty())
        return FALSE;
    int count = static_cast<int>(hdc->saved.size());
    int target = level < 0 ? count + level + 1 : level;
    if (target < 1 || target > count)
        return FALSE;
    hdc->state = hdc->saved[target - 1];
    hdc->saved.resize(target - 1);
    return TRUE;
}

COLORREF GetSysColor(int index) {
    static const COLORREF colors[COLOR_SYSCOLOR_COUNT] = {
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
    if (index < 0 || index >= COLOR_SYSCOLOR_COUNT)
        return 0;
    return colors[index];
}

} // namespace zorbalin
