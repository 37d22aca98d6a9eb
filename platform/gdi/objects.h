// The objects behind the graphics handles. Callers hold them through the handle types and the
// functions of gdi.h; the members are the layer's own business and may change.
#pragma once

#include <memory>
#include <vector>

#include "gdi/types.h"

namespace zorbalin {

class TFontFace; // a sized face with its glyph cache (text code)
class TGdiDC;

enum class TGdiObjectType { Bitmap, Palette, Brush, Font };

class TGdiObject {
  public:
    explicit TGdiObject(TGdiObjectType type) : FType(type) {}
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    virtual ~TGdiObject() = default;

    TGdiObjectType Type() const { return FType; }
    bool stock = false; // stock objects are never freed
    int selections = 0; // contexts holding this object; DeleteObject refuses while above 0

  private:
    TGdiObjectType FType;
};

// A device bitmap (32-bit BGRX or 1-bit monochrome) or a DIB section (1, 4, 8, 16, 24, 32 bits).
class TGdiBitmap final : public TGdiObject {
  public:
    TGdiBitmap() : TGdiObject(TGdiObjectType::Bitmap) {}
    ~TGdiBitmap() override;

    LONG width = 0;
    LONG height = 0; // always positive; topDown tells the row order in memory
    int bitCount = 0;
    LONG stride = 0; // bytes per row, a multiple of 4
    bool topDown = true;
    bool isDib =
        false; // a DIB section: its colour table, not the context colours, maps 1-bit pixels
    BYTE* bits = nullptr; // AllocateZeroed, owned
    RGBQUAD colors[256];
    int colorCount = 0;
    TGdiDC* selectedInto = nullptr;

    // Row y counted from the top of the picture.
    BYTE* Row(LONG y) const { return bits + stride * (topDown ? y : height - 1 - y); }
    bool IsMonochromeDevice() const { return !isDib && bitCount == 1; }
};

class TGdiPalette final : public TGdiObject {
  public:
    TGdiPalette() : TGdiObject(TGdiObjectType::Palette) {}
    std::vector<PALETTEENTRY> entries;
};

class TGdiBrush final : public TGdiObject {
  public:
    TGdiBrush() : TGdiObject(TGdiObjectType::Brush) {}
    COLORREF color = 0;
    bool hollow = false; // NULL_BRUSH: fills nothing
};

class TGdiFont final : public TGdiObject {
  public:
    TGdiFont() : TGdiObject(TGdiObjectType::Font) {}
    ~TGdiFont() override;
    LOGFONTA logFont;
    std::shared_ptr<TFontFace> face; // resolved on first use
};

// A memory device context. All coordinates given to drawing calls are logical: the viewport
// origin is added to reach the selected bitmap's pixels, and output is clipped to the bitmap and
// to the clip rectangle (kept in device pixels).
class TGdiDC {
  public:
    TGdiDC();
    TGdiDC(const TGdiDC&) = delete;
    TGdiDC& operator=(const TGdiDC&) = delete;
    ~TGdiDC();

    struct TState {
        COLORREF bkColor = RGB(255, 255, 255);
        COLORREF textColor = RGB(0, 0, 0);
        int bkMode = OPAQUE;
        int stretchMode = BLACKONWHITE;
        POINT viewportOrg;
        bool hasClip = false;
        RECT clip; // device pixels, meaningful when hasClip
    };

    std::unique_ptr<TGdiBitmap> defaultBitmap; // the 1 x 1 monochrome bitmap a new context holds
    TGdiBitmap* bitmap = nullptr;
    TGdiPalette* palette = nullptr;
    TGdiBrush* brush = nullptr;
    TGdiFont* font = nullptr;
    TState state;
    std::vector<TState> saved;
};

using HGDIOBJ = TGdiObject*;
using HBITMAP = TGdiBitmap*;
using HPALETTE = TGdiPalette*;
using HBRUSH = TGdiBrush*;
using HFONT = TGdiFont*;
using HDC = TGdiDC*;

} // namespace zorbalin
