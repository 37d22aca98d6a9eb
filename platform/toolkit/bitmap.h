// TBitmap: a picture held as a DIB section in a memory device context, read from and written to
// Windows bitmap files.
#pragma once

#include <memory>
#include <string>

#include "gdi/bmp.h"
#include "gdi/owners.h"
#include "toolkit/canvas.h"
#include "toolkit/graphics.h"

namespace zorbalin {

// pf15bit and pf16bit are both kept as 16-bit 5-5-5 pixels; pfDevice as 32-bit BGRX.
enum TPixelFormat {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};
// tmAuto: the transparent colour is the bottom-left pixel's; tmFixed: the one set.
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
  public:
    TBitmap();
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    // From a TBitmap: a deep copy (pixels, format, colour table, transparency). From null: empty.
    // Anything else: source->AssignTo(this).
    void Assign(TPersistent* Source) override;
    // Drawn stretched into the rectangle: COLORONCOLOR copy, or with Transparent on the colour-key
    // sequence that keeps the destination wherever the pixel equals TransparentColor.
    void Draw(TCanvas& Canvas, const TRect& Rect) override;

    bool GetEmpty() const override { return FWidth == 0 || FHeight == 0; }
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }
    void SetWidth(int Width) override { SetSize(Width, FHeight); }
    void SetHeight(int Height) override { SetSize(FWidth, Height); }
    // Keeps the overlapping pixels; new pixels are white. 0 in either direction empties.
    void SetSize(int Width, int Height);
    HPALETTE GetPalette() const override { return FPalette.Get(); }
    // Copies the palette's entries into the colour table of a 1/4/8-bit bitmap (up to its size).
    void SetPalette(HPALETTE Palette) override;

    // Reads a Windows bitmap from the stream's position to its end. Errors: EInvalidGraphic
    // "Bitmap image is not valid" for anything that is not a valid bitmap.
    void LoadFromStream(TStream& Stream) override;
    // Writes a Windows bitmap (BITMAPINFOHEADER, uncompressed, bottom-up) of the pixel format.
    void SaveToStream(TStream& Stream) override;
    // CF_DIB: a packed DIB (header, colour table, pixels). Others: "Unsupported clipboard format".
    void LoadFromClipboardFormat(unsigned short Format, const TClipboardData& Data,
                                 HPALETTE Palette) override;
    void SaveToClipboardFormat(unsigned short& Format, TClipboardData& Data,
                               HPALETTE& Palette) override;

    // The DIB section (null while empty). Stays owned by the bitmap.
    HBITMAP Handle() const { return FBitmap.Get(); }
    // A canvas on the bitmap's memory context: drawing on it changes the pixels.
    TCanvas& Canvas() { return FCanvas; }

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // Converts the pixels to the new format (nearest colour of the default table for 1/4/8 bits).
    void SetPixelFormat(TPixelFormat Format);
    // Start of pixel row `row` counted from the top, in the DIB layout of the pixel format.
    void* ScanLine(int Row);
    int BitCount() const;

    TColor TransparentColor() const;
    // Sets the colour and the mode tmFixed.
    void SetTransparentColor(TColor Color);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Mode);

  private:
    void Rebuild(int Width, int Height, TPixelFormat Format, const RGBQUAD* Colors, int ColorCount);
    void LoadDib(const BITMAPINFO& Info, const std::uint8_t* Bits, TPixelFormat Format);
    void SaveDib(TDibImage& Image);

    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    TColor FTransparentColor = kClDefault;
    TTransparentMode FTransparentMode = tmAuto;
    TDCOwner FDc;
    TBitmapOwner FBitmap;
    HGDIOBJ FPreviousBitmap = nullptr;
    TPaletteOwner FPalette;
    TCanvas FCanvas;
};

} // namespace zorbalin
