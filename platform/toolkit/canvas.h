// TCanvas: drawing on a device context with a font and a brush. A canvas never owns the
// context it draws on; pictures and forms give it theirs.
#pragma once

#include <functional>
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
    void SetColor(TColor Color);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Style);
    void Assign(const TBrush& Source);

    TNotifyEvent OnChange;

  private:
    TColor FColor = kClWhite;
    TBrushStyle FStyle = bsSolid;
};

// A text as a canvas drew it, for the tests that check every text the windows show.
struct TDrawnText {
    std::string Text;
    // Where it had to fit: DrawText's rectangle; for TextOut, from its origin to the edges of
    // the context's visible part.
    TRect Box;
    TSize Extent;   // its size on one line in the canvas font
    int Height = 0; // the height it took, word-wrapped or not
    bool WordWrap = false;
};

// Called with every text drawn (not measured) on any canvas while set; for tests.
extern std::function<void(const TDrawnText&)> gCanvasTextObserver;

// Alignment of text in a rectangle (DrawText).
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TCanvas : public TPersistent {
  public:
    TCanvas() = default;
    explicit TCanvas(HDC Handle) : FHandle(Handle) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The device context drawn on (not owned; null: every drawing call does nothing).
    HDC Handle() const { return FHandle; }
    void SetHandle(HDC Handle) { FHandle = Handle; }
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont& Font() { return FFont; }
    TBrush& Brush() { return FBrush; }
    // Raster operation of CopyRect, SRCCOPY at first.
    DWORD CopyMode() const { return FCopyMode; }
    void SetCopyMode(DWORD Mode) { FCopyMode = Mode; }

    // Draws the picture at its natural size with its top-left corner at (x, y). A null or empty
    // picture is skipped; otherwise the context's background colour becomes the brush colour and
    // its text colour the font colour first.
    void Draw(int X, int Y, TGraphic* Graphic);
    // Draws the picture into the rectangle (the picture decides what it does when empty).
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    // Fills the rectangle with the brush colour (nothing with bsClear).
    void FillRect(const TRect& Rect);
    // A one-pixel frame in the brush colour.
    void FrameRect(const TRect& Rect);
    // Copies `source` of another canvas onto `dest` of this one with CopyMode, stretching.
    void CopyRect(const TRect& Dest, TCanvas& Canvas, const TRect& Source);

    // Width and height of the text in the canvas font.
    TSize TextExtent(const std::string& Text);
    int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }
    // Text with its top-left at (x, y) in the font colour; with bsSolid on a brush-coloured
    // background, with bsClear over what is there.
    void TextOut(int X, int Y, const std::string& Text);
    // Like TextOut, but nothing is drawn outside `rect` (filled first with a solid brush).
    void TextRect(const TRect& Rect, int X, int Y, const std::string& Text);
    // Text laid out in the rectangle: aligned, optionally word-wrapped, optionally centred
    // vertically (single line); returns the height of the text. With `calcOnly`, nothing is drawn
    // and `rect` gets the size the text needs (its right and bottom change).
    int DrawText(const std::string& Text, TRect& Rect, TAlignment Alignment, bool WordWrap,
                 bool VerticalCentre = false, bool CalcOnly = false);

    // One pixel as a toolkit colour (black outside the bitmap or the clip).
    TColor Pixel(int X, int Y) const;
    void SetPixel(int X, int Y, TColor Color);

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
