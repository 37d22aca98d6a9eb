// The graphics layer: memory device contexts, bitmaps, palettes, raster operations and text,
// in software, under the function names of the desktop platform the program was written for.
//
// Formats: device bitmaps are 32-bit BGRX (fourth byte written as 0) or 1-bit monochrome; DIB
// sections keep the BITMAPINFO layout they were created with (1, 4, 8 bits with a colour table,
// 16-bit 5-5-5, 24-bit BGR, 32-bit BGRX; rows padded to 4 bytes; bottom-up for a positive height,
// top-down for a negative one). The "screen" is a 32-bit colour device.
//
// Colour <-> monochrome conversion in every blit:
//   colour source -> monochrome destination: 1 where the source colour equals the SOURCE
//     context's background colour, 0 elsewhere;
//   monochrome device source -> colour destination: 1 becomes the DESTINATION context's
//     background colour, 0 its text colour (white and black in a new context).
// Stretching samples the nearest pixel in every stretch mode: destination column x takes source
// column x * srcWidth / dstWidth (rows alike); a negative extent mirrors.
#pragma once

#include <string>

#include "gdi/objects.h"
#include "gdi/types.h"

namespace zorbalin {

// ---- Device contexts --------------------------------------------------------------------------

// A new memory context compatible with `hdc` (or with the screen when null). It starts with a
// 1 x 1 monochrome bitmap selected, white background, black text, opaque background mode,
// BLACKONWHITE stretch mode, no clipping, origin (0, 0), the default palette, white brush and the
// default GUI font.
HDC CreateCompatibleDC(HDC Hdc);
// Frees the context; the objects selected into it are released (not freed) and stay valid.
BOOL DeleteDC(HDC Hdc);
// Puts a bitmap, brush or font into the context and returns the previous one of that kind
// (null on failure: a bitmap already selected into another context, or a null/invalid handle).
HGDIOBJ SelectObject(HDC Hdc, HGDIOBJ Obj);
HBITMAP SelectObject(HDC Hdc, HBITMAP Bitmap);
HBRUSH SelectObject(HDC Hdc, HBRUSH Brush);
HFONT SelectObject(HDC Hdc, HFONT Font);
// The object of the given kind (OBJ_BITMAP, OBJ_PAL, OBJ_BRUSH, OBJ_FONT) now selected.
HGDIOBJ GetCurrentObject(HDC Hdc, UINT Type);
// Frees a bitmap, palette, brush or font. Refuses (FALSE) while it is selected into a context;
// stock objects are never freed (TRUE).
BOOL DeleteObject(HGDIOBJ Obj);
// The shared stock objects (WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, DEFAULT_GUI_FONT,
// DEFAULT_PALETTE).
HGDIOBJ GetStockObject(int Which);
// Device facts: BITSPIXEL 32, PLANES 1, RASTERCAPS without RC_PALETTE, LOGPIXELSX/Y 96.
int GetDeviceCaps(HDC Hdc, int Index);

// Background colour for colour <-> monochrome conversion and opaque text; returns the previous
// one (CLR_INVALID for a null context).
COLORREF SetBkColor(HDC Hdc, COLORREF Color);
COLORREF GetBkColor(HDC Hdc);
// Text colour for text output and monochrome -> colour conversion; returns the previous one.
COLORREF SetTextColor(HDC Hdc, COLORREF Color);
COLORREF GetTextColor(HDC Hdc);
// TRANSPARENT or OPAQUE (text cells filled with the background colour); returns the previous.
int SetBkMode(HDC Hdc, int Mode);
int GetBkMode(HDC Hdc);
// Stretch mode (BLACKONWHITE, WHITEONBLACK, COLORONCOLOR, HALFTONE); returns the previous,
// 0 for an invalid mode. All sample the nearest pixel.
int SetStretchBltMode(HDC Hdc, int Mode);
int GetStretchBltMode(HDC Hdc);

// Origin: logical (0, 0) lands on device pixel `(x, y)`. The previous origin goes to `old`.
BOOL SetViewportOrgEx(HDC Hdc, int X, int Y, POINT* Old);
BOOL GetViewportOrgEx(HDC Hdc, POINT* Origin);
// Narrows the clip region to its intersection with the logical rectangle. Returns the region
// kind: 1 (NULLREGION) when nothing is left, 2 (SIMPLEREGION) otherwise, 0 on error.
int IntersectClipRect(HDC Hdc, int Left, int Top, int Right, int Bottom);
// With a null region (the only kind here): removes all clipping.
int SelectClipRgn(HDC Hdc, std::nullptr_t);
// The logical rectangle that output can reach (clip rectangle within the bitmap).
int GetClipBox(HDC Hdc, RECT* Rect);
// Saves colours, modes, origin and clipping on a stack; RestoreDC(hdc, -1) pops the last one,
// a positive level restores the state saved as that level. SaveDC returns the level (0 on error).
int SaveDC(HDC Hdc);
BOOL RestoreDC(HDC Hdc, int Level);

// ---- Bitmaps ----------------------------------------------------------------------------------

// A bitmap of the given size; 1 plane of 1 bit gives a monochrome bitmap, 32 bits a colour one
// (other formats: null). `bits`, when given, holds the rows top-down, each padded to 2 bytes
// (the platform's rule for this call). Pixels start at 0.
HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitCount, const void* Bits);
// A bitmap in the format of the bitmap now selected in `hdc` (monochrome for a new memory
// context, 32-bit colour otherwise or for the screen). Pixels start at 0 (black).
HBITMAP CreateCompatibleBitmap(HDC Hdc, int Width, int Height);
// A 32-bit colour device bitmap the size of `header`; with CBM_INIT its pixels are converted
// from `bits` described by `info` (any DIB format, colours DIB_RGB_COLORS).
HBITMAP CreateDIBitmap(HDC Hdc, const BITMAPINFOHEADER* Header, DWORD Init, const void* Bits,
                       const BITMAPINFO* Info, UINT Usage);
// A DIB section described by `info` (BI_RGB, 1/4/8/16/24/32 bits; BI_BITFIELDS is refused). Its
// pixel memory is a block from AllocateZeroed (gdi/zeroed_memory.h: untouched pages cost nothing,
// ExpectWholeWrite applies) and goes to `*bits`. For
// 1, 4 and 8 bits the colour table holds biClrUsed entries (all 2^n when 0). Returns null (and
// sets `*bits` to null) on a bad description, DIB_PAL_COLORS, pixel memory above 2 GiB, or when
// memory is not available.
// `section` must be null and `offset` 0.
HBITMAP CreateDIBSection(HDC Hdc, const BITMAPINFO* Info, UINT Usage, void** Bits, void* Section,
                         DWORD Offset);
// Reads the bitmap's description: with room for a DIBSECTION and a DIB section, the whole
// DIBSECTION; with room for a BITMAP, the BITMAP (bmBits null for device bitmaps). For a palette
// with room for a WORD, its number of entries. Returns the bytes written, 0 on failure.
int GetObject(HGDIOBJ Obj, int Size, void* Out);
// Copies `lines` scan lines from scan line `start` of the bitmap into `bits` in the format of
// `info` (1/4/8/16/24/32 bits, BI_RGB; bottom-up scan-line numbering for a positive height,
// top-down for a negative one), filling the colour table for 1/4/8 bits: the bitmap's own table
// when the bit count matches, black/white for 1 bit, otherwise the halftone palette (nearest
// entry per pixel). With `bits` null and biBitCount 0, fills the header only. Returns the number
// of lines copied, 0 on failure. The bitmap may be selected into any context meanwhile.
int GetDIBits(HDC Hdc, HBITMAP Bitmap, UINT Start, UINT Lines, void* Bits, BITMAPINFO* Info,
              UINT Usage);
// The colour table of the DIB section selected in `hdc` (1/4/8 bits): entries
// [start, start + count) within its biClrUsed entries; returns how many were copied.
UINT SetDIBColorTable(HDC Hdc, UINT Start, UINT Count, const RGBQUAD* Colors);
UINT GetDIBColorTable(HDC Hdc, UINT Start, UINT Count, RGBQUAD* Colors);
// Size of one DIB row in bytes, ((bitCount * width + 31) / 32) * 4.
LONG DibStride(LONG Width, int BitCount);
// Colour of one pixel (CLR_INVALID outside the clip); monochrome pixels read as black or white.
COLORREF GetPixel(HDC Hdc, int X, int Y);
// Sets one pixel to the colour in the bitmap's format; returns the colour set.
COLORREF SetPixel(HDC Hdc, int X, int Y, COLORREF Color);

// ---- Raster operations ------------------------------------------------------------------------

// Copies a width x height rectangle of `src` at (xSrc, ySrc) to `dst` at (x, y) with SRCCOPY,
// NOTSRCCOPY, SRCAND, SRCPAINT, SRCINVERT (which need a source), or BLACKNESS, WHITENESS,
// DSTINVERT (which do not). The operation works on the destination's pixel format after the
// source has been converted to it. Source pixels outside the source bitmap leave the
// destination unchanged. Returns FALSE for a bad context or operation.
BOOL BitBlt(HDC Dst, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, DWORD Rop);
// Like BitBlt, scaling the source rectangle to the destination rectangle by nearest-pixel
// sampling (see the top of this file).
BOOL StretchBlt(HDC Dst, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc,
                int SrcWidth, int SrcHeight, DWORD Rop);
// Draws a rectangle of the DIB `bits` described by `info` (1/4/8/16/24/32 bits, BI_RGB) scaled
// into the destination rectangle, colours through its colour table. The source rectangle of a
// bottom-up DIB is measured from its bottom row. Returns the number of scan lines drawn, 0 on
// failure.
int StretchDIBits(HDC Dst, int X, int Y, int Width, int Height, int XSrc, int YSrc, int SrcWidth,
                  int SrcHeight, const void* Bits, const BITMAPINFO* Info, UINT Usage, DWORD Rop);

// Copies the source rectangle scaled into the destination rectangle, leaving the destination
// unchanged wherever the source pixel's colour equals `key`: the effect of the classic
// mask-and-paint sequence in one pass. Positive extents only.
BOOL TransparentBlt(HDC Dst, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc,
                    int SrcWidth, int SrcHeight, COLORREF Key);

// ---- Palettes ---------------------------------------------------------------------------------

// A logical palette of `palette->palNumEntries` entries (1..1024) read from palPalEntry.
HPALETTE CreatePalette(const LOGPALETTE* Palette);
// A 256-entry palette spread evenly over the colour space: the 6 x 6 x 6 colour cube (levels
// 0, 51, ..., 255, blue varying fastest) followed by 40 greys.
HPALETTE CreateHalftonePalette(HDC Hdc);
// Changes the number of entries; new entries are black. FALSE for 0 or more than 1024.
BOOL ResizePalette(HPALETTE Palette, UINT Entries);
// Copies entries [start, start + count) out of / into the palette; returns how many.
UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries);
UINT SetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, const PALETTEENTRY* Entries);
// Selects a palette into a context and returns the previous one. The screen is a true-colour
// device, so a palette never changes how colours are drawn.
HPALETTE SelectPalette(HDC Hdc, HPALETTE Palette, BOOL ForceBackground);
// Maps the selected palette to the device: returns the number of entries it holds.
UINT RealizePalette(HDC Hdc);
// The entry at the least squared RGB distance from `color`, the lowest index on ties;
// CLR_INVALID for a null or empty palette.
UINT GetNearestPaletteIndex(HPALETTE Palette, COLORREF Color);

// ---- Fills, frames and edges ------------------------------------------------------------------

HBRUSH CreateSolidBrush(COLORREF Color);
// Fills the rectangle (right and bottom exclusive) with the brush colour; a hollow brush fills
// nothing.
int FillRect(HDC Hdc, const RECT* Rect, HBRUSH Brush);
// A one-pixel frame on the outermost pixels of the rectangle, in the brush colour.
int FrameRect(HDC Hdc, const RECT* Rect, HBRUSH Brush);
// A dotted one-pixel frame (every other pixel inverted) marking the focused control.
BOOL DrawFocusRect(HDC Hdc, const RECT* Rect);
// The classic 3-D edge. Each edge is one pixel wide, the outer one on the outermost pixels:
//   raised outer: left/top COLOR_3DLIGHT (the button face), right/bottom COLOR_3DDKSHADOW;
//   raised inner: left/top COLOR_BTNHIGHLIGHT, right/bottom COLOR_BTNSHADOW;
//   sunken outer: left/top COLOR_BTNSHADOW, right/bottom COLOR_BTNHIGHLIGHT;
//   sunken inner: left/top COLOR_3DDKSHADOW, right/bottom COLOR_3DLIGHT.
// Lines span the whole side; when all four sides are drawn, the right and bottom colours own the
// top-right and bottom-left corner pixels. BF_MIDDLE fills what is inside with COLOR_BTNFACE;
// BF_ADJUST shrinks `rect` by the edges drawn.
BOOL DrawEdge(HDC Hdc, RECT* Rect, UINT Edge, UINT Flags);
// The fixed system colours of this platform.
COLORREF GetSysColor(int Index);

// ---- Text (UTF-8) -----------------------------------------------------------------------------

// A font by family name, height and weight; fontconfig finds the installed face closest to the
// family, FreeType renders anti-aliased glyphs, cached per face and size.
HFONT CreateFontIndirectA(const LOGFONTA* LogFont);
// Draws `count` bytes of UTF-8 text (count < 0: up to the terminating zero) with the top-left
// of the text cell at (x, y) in the text colour; in OPAQUE mode the cells are first filled with
// the background colour.
BOOL TextOutA(HDC Hdc, int X, int Y, const char* Text, int Count);
// TextOutA limited to `rect` with ETO_CLIPPED, and `rect` filled with the background colour
// first with ETO_OPAQUE.
BOOL ExtTextOutA(HDC Hdc, int X, int Y, UINT Options, const RECT* Rect, const char* Text,
                 int Count);
// Width (sum of advances) and height (ascent + descent) of the text in the selected font.
BOOL GetTextExtentPoint32A(HDC Hdc, const char* Text, int Count, SIZE* Size);
BOOL GetTextMetricsA(HDC Hdc, TEXTMETRICA* Metrics);
// Lays text out in `rect`: DT_LEFT/DT_CENTER/DT_RIGHT, DT_TOP/DT_VCENTER/DT_BOTTOM (vertical
// placement with DT_SINGLELINE), DT_WORDBREAK (breaks between words, a word wider than the
// rectangle goes on a line of its own), explicit line breaks, DT_NOCLIP, DT_CALCRECT (only
// measures: sets rect's right and bottom). Returns the height of the text drawn.
int DrawTextA(HDC Hdc, const char* Text, int Count, RECT* Rect, UINT Format);

} // namespace zorbalin
