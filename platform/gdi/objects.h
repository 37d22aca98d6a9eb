// The objects behind the graphics handles. Callers hold them through the handle types and the
// functions of gdi.h; the members are the layer's own business and may change.
#pragma once

#include <memory>
#include <vector>

#include "gdi/types.h"

namespace zorbalin {

class FontFace; // a sized face with its glyph cache (text code)
class GdiDC;

enum class GdiObjectType { Bitmap, Palette, Brush, Font };

class GdiObject {
  public:
    explicit GdiObject(GdiObjectType type) : type_(type) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    virtual ~GdiObject() = default;

    GdiObjectType Type() const { return type_; }
    bool stock = false; // stock objects are never freed
    int selections = 0; // contexts holding this object; DeleteObject refuses while above 0

  private:
    GdiObjectType type_;
};

// A device bitmap (32-bit BGRX or 1-bit monochrome) or a DIB section (1, 4, 8, 16, 24, 32 bits).
class GdiBitmap final : public GdiObject {
  public:
    GdiBitmap() : GdiObject(GdiObjectType::Bitmap) {}
    ~GdiBitmap() override;

    LONG width = 0;
    LONG height = 0; // always positive; topDown tells the row order in memory
    int bitCount = 0;
    LONG stride = 0; // bytes per row, a multiple of 4
    bool topDown = true;
    bool isDib =
        false; // a DIB section: its colour table, not the context colours, maps 1-bit pixels
    BYTE* bits = nullptr; // calloc'd, owned
    RGBQUAD colors[256];
    int colorCount = 0;
    GdiDC* selectedInto = nullptr;

    // Row y counted from the top of the picture.
    BYTE* Row(LONG y) const { return bits + stride * (topDown ? y : height - 1 - y); }
    bool IsMonochromeDevice() const { return !isDib && bitCount == 1; }
};

class GdiPalette final : public GdiObject {
  public:
    GdiPalette() : GdiObject(GdiObjectType::Palette) {}
    std::vector<PALETTEENTRY> entries;
};

class GdiBrush final : public GdiObject {
  public:
    GdiBrush() : GdiObject(GdiObjectType::Brush) {}
    COLORREF color = 0;
    bool hollow = false; // NULL_BRUSH: fills nothing
};

class GdiFont final : public GdiObject {
  public:
    GdiFont() : GdiObject(GdiObjectType::Font) {}
    ~GdiFont() override;
    LOGFONTA logFont;
    std::shared_ptr<FontFace> face; // resolved on first use
};

// A memory device context. All coordinates given to drawing calls are logical: the viewport
// origin is added to reach the selected bitmap's pixels, and output is clipped to the bitmap and
// to the clip rectangle (kept in device pixels).
class GdiDC {
  public:
    GdiDC();
    GdiDC(const GdiDC&) = delete;
    GdiDC& operator=(const GdiDC&) = delete;
    ~GdiDC();

    struct State {
        COLORREF bkColor = RGB(255, 255, 255);
        COLORREF textColor = RGB(0, 0, 0);
        int bkMode = OPAQUE;
        int stretchMode = BLACKONWHITE;
        POINT viewportOrg;
        bool hasClip = false;
        RECT clip; // device pixels, meaningful when hasClip
    };

    std::unique_ptr<GdiBitmap> defaultBitmap; // the 1 x 1 monochrome bitmap a new context holds
    GdiBitmap* bitmap = nullptr;
    GdiPalette* palette = nullptr;
    GdiBrush* brush = nullptr;
    GdiFont* font = nullptr;
    State state;
    std::vector<State> saved;
};

using HGDIOBJ = GdiObject*;
using HBITMAP = GdiBitmap*;
using HPALETTE = GdiPalette*;
using HBRUSH = GdiBrush*;
using HFONT = GdiFont*;
using HDC = GdiDC*;

} // namespace zorbalin
