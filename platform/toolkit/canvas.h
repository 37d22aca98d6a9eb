// TCanvas: drawing on a device context with a font and a brush. A canvas never owns the
// context it draws on; pictures and forms give it theirs.
#pragma once

#include <string>

#include "gdi/gdi.h"
#include "toolkit/classes.h"
#include "toolkit/colors.h"
#include "toolkit/font.h"
#include "toolkit/geometry.h"

namespace zorbalin {

class TGraphic;

struct TSize {
    int cx = 0;
    int cy = 0;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TPersistent {
  public:
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle style);
    void Assign(const TBrush& source);

    TNotifyEvent OnChange;

  private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

// Alignment of text in a rectangle (DrawText).
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TCanvas : public TPersistent {
  public:
    TCanvas() = default;
    explicit TCanvas(HDC handle) : FHandle(handle) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The device context drawn on (not owned; null: every drawing call does nothing).
    HDC Handle() const { return FHandle; }
    void SetHandle(HDC handle) { FHandle = handle; }
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont& Font() { return FFont; }
    TBrush& Brush() { return FBrush; }
    // Raster operation of CopyRect, SRCCOPY at first.
    DWORD CopyMode() const { return FCopyMode; }
    void SetCopyMode(DWORD mode) { FCopyMode = mode; }

    // Draws the picture at its natural size with its top-left corner at (x, y). A null or empty
    // picture is skipped; otherwise the context's background colour becomes the brush colour and
    // its text colour the font colour first.
    void Draw(int x, int y, TGraphic* graphic);
    // Draws the picture into the rectangle (the picture decides what it does when empty).
    void StretchDraw(const TRect& rect, TGraphic* graphic);
    // Fills the rectangle with the brush colour (nothing with bsClear).
    void FillRect(const TRect& rect);
    // A one-pixel frame in the brush colour.
    void FrameRect(const TRect& rect);
    // Copies `source` of another canvas onto `dest` of this one with CopyMode, stretching.
    void CopyRect(const TRect& dest, TCanvas& canvas, const TRect& source);

    // Width and height of the text in the canvas font.
    TSize TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    // Text with its top-left at (x, y) in the font colour; with bsSolid on a brush-coloured
    // background, with bsClear over what is there.
    void TextOut(int x, int y, const std::string& text);
    // Like TextOut, but nothing is drawn outside `rect` (filled first with a solid brush).
    void TextRect(const TRect& rect, int x, int y, const std::string& text);
    // Text laid out in the rectangle: aligned, optionally word-wrapped, optionally centred
    // vertically (single line); returns the height of the text. With `calcOnly`, nothing is drawn
    // and `rect` gets the size the text needs (its right and bottom change).
    int DrawText(const std::string& text, TRect& rect, TAlignment alignment, bool wordWrap,
                 bool verticalCentre = false, bool calcOnly = false);

    // One pixel as a toolkit colour (black outside the bitmap or the clip).
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

  private:
    // Selects the font, sets the text colour and the background mode for text output; undoes
    // the font selection when it goes out of scope.
    class TTextSetup;

    HDC FHandle = nullptr;
    TFont FFont;
    TBrush FBrush;
    DWORD FCopyMode = SRCCOPY;
};

} // namespace zorbalin
