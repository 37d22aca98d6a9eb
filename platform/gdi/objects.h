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
    explicit TGdiObject(TGdiObjectType Type) : FType(Type) {}
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    virtual ~TGdiObject() = default;

    TGdiObjectType Type() const { return FType; }
    bool Stock = false; // stock objects are never freed
    int Selections = 0; // contexts holding this object; DeleteObject refuses while above 0

  private:
    TGdiObjectType FType;
};

// A device bitmap (32-bit BGRX or 1-bit monochrome) or a DIB section (1, 4, 8, 16, 24, 32 bits).
class TGdiBitmap final : public TGdiObject {
  public:
    TGdiBitmap() : TGdiObject(TGdiObjectType::Bitmap) {}
    ~TGdiBitmap() override;

    LONG Width = 0;
    LONG Height = 0; // always positive; topDown tells the row order in memory
    int BitCount = 0;
    LONG Stride = 0; // bytes per row, a multiple of 4
    bool TopDown = true;
    bool IsDib =
        false; // a DIB section: its colour table, not the context colours, maps 1-bit pixels
    BYTE* Bits = nullptr; // AllocateZeroed, owned
    RGBQUAD Colors[256];
    int ColorCount = 0;
    TGdiDC* SelectedInto = nullptr;

    // Row y counted from the top of the picture.
    BYTE* Row(LONG Y) const { return Bits + Stride * (TopDown ? Y : Height - 1 - Y); }
    bool IsMonochromeDevice() const { return !IsDib && BitCount == 1; }
};

class TGdiPalette final : public TGdiObject {
  public:
    TGdiPalette() : TGdiObject(TGdiObjectType::Palette) {}
    std::vector<PALETTEENTRY> Entries;
};

class TGdiBrush final : public TGdiObject {
  public:
    TGdiBrush() : TGdiObject(TGdiObjectType::Brush) {}
    COLORREF Color = 0;
    bool Hollow = false; // NULL_BRUSH: fills nothing
};

class TGdiFont final : public TGdiObject {
  public:
    TGdiFont() : TGdiObject(TGdiObjectType::Font) {}
    ~TGdiFont() override;
    LOGFONTA LogFont;
    std::shared_ptr<TFontFace> Face; // resolved on first use
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
        COLORREF BkColor = RGB(255, 255, 255);
        COLORREF TextColor = RGB(0, 0, 0);
        int BkMode = OPAQUE;
        int StretchMode = BLACKONWHITE;
        POINT ViewportOrg;
        bool HasClip = false;
        RECT Clip; // device pixels, meaningful when hasClip
    };

    std::unique_ptr<TGdiBitmap> DefaultBitmap; // the 1 x 1 monochrome bitmap a new context holds
    TGdiBitmap* Bitmap = nullptr;
    TGdiPalette* Palette = nullptr;
    TGdiBrush* Brush = nullptr;
    TGdiFont* Font = nullptr;
    TState State;
    std::vector<TState> Saved;
};

using HGDIOBJ = TGdiObject*;
using HBITMAP = TGdiBitmap*;
using HPALETTE = TGdiPalette*;
using HBRUSH = TGdiBrush*;
using HFONT = TGdiFont*;
using HDC = TGdiDC*;

} // namespace zorbalin
