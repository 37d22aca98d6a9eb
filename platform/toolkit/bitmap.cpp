// TBitmap: pixels in a DIB section, BMP files in and out, drawing with or without a colour key.
#include "toolkit/bitmap.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "gdi/bmp.h"
#include "toolkit/exception.h"
#include "toolkit/stream.h"

namespace zorbalin {

namespace {

const char kInvalidBitmap[] = "Bitmap image is not valid";

int BitCountOf(TPixelFormat Format) {
    switch (Format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
    case pf16bit:
        return 16;
    case pf24bit:
        return 24;
    default:
        return 32;
    }
}

TPixelFormat FormatOf(int BitCount) {
    switch (BitCount) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        return pf15bit;
    case 24:
        return pf24bit;
    default:
        return pf32bit;
    }
}

// The standard table of a bit count (black/white, VGA, halftone), as GetDIBits hands it out.
int DefaultTable(int BitCount, RGBQUAD* Table) {
    if (BitCount > 8)
        return 0;
    HDC dc = CreateCompatibleDC(nullptr);
    TBitmapOwner probe(CreateBitmap(1, 1, 1, 32, nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(BitCount);
    GetDIBits(dc, probe.Get(), 0, 1, nullptr, &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    std::copy_n(info.bmiColors, info.bmiHeader.biClrUsed, Table);
    return static_cast<int>(info.bmiHeader.biClrUsed);
}

} // namespace

TBitmap::TBitmap() : FDc(CreateCompatibleDC(nullptr)) {
    FCanvas.SetHandle(FDc.Get());
}

TBitmap::~TBitmap() {
    // The bitmap must leave the context before either is freed.
    if (FPreviousBitmap)
        SelectObject(FDc.Get(), FPreviousBitmap);
}

int TBitmap::BitCount() const {
    return BitCountOf(FPixelFormat);
}

// Replaces the pixels by a new DIB section of the given size and format; the old picture is
// copied into its top-left corner (converted to the new format) and the rest is white.
void TBitmap::Rebuild(int Width, int Height, TPixelFormat Format, const RGBQUAD* Colors,
                      int ColorCount) {
    if (Width < 0 || Height < 0)
        throw EInvalidGraphicOperation("Invalid bitmap size");
    TBitmapOwner fresh;
    int bitCount = BitCountOf(Format);
    if (Width > 0 && Height > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biWidth = Width;
        info.bmiHeader.biHeight = Height;
        info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
        if (bitCount <= 8) {
            RGBQUAD table[256];
            if (!Colors) {
                ColorCount = DefaultTable(bitCount, table);
                Colors = table;
            }
            std::copy_n(Colors, ColorCount, info.bmiColors);
            info.bmiHeader.biClrUsed = static_cast<DWORD>(ColorCount);
        }
        void* bits = nullptr;
        fresh.Reset(CreateDIBSection(FDc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!fresh)
            throw EOutOfResources("Out of system resources");
        TDCOwner target(CreateCompatibleDC(nullptr));
        HGDIOBJ old = SelectObject(target.Get(), fresh.Get());
        RECT all{0, 0, Width, Height};
        TBrushOwner white(CreateSolidBrush(RGB(255, 255, 255)));
        FillRect(target.Get(), &all, white.Get());
        if (FBitmap)
            BitBlt(target.Get(), 0, 0, FWidth, FHeight, FDc.Get(), 0, 0, SRCCOPY);
        SelectObject(target.Get(), old);
    }
    if (FPreviousBitmap) {
        SelectObject(FDc.Get(), FPreviousBitmap);
        FPreviousBitmap = nullptr;
    }
    FBitmap = std::move(fresh);
    if (FBitmap)
        FPreviousBitmap = SelectObject(FDc.Get(), FBitmap.Get());
    FWidth = FBitmap ? Width : 0;
    FHeight = FBitmap ? Height : 0;
    FPixelFormat = Format;
    FPalette.Reset();
    if (FBitmap && bitCount <= 8) {
        RGBQUAD table[256];
        int n = static_cast<int>(GetDIBColorTable(FDc.Get(), 0, 256, table));
        std::vector<std::uint8_t> buffer(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
        auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(n);
        PALETTEENTRY* entries = logical->palPalEntry;
        for (int i = 0; i < n; ++i)
            entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
        FPalette.Reset(CreatePalette(logical));
    }
}

void TBitmap::SetSize(int Width, int Height) {
    if (Width == FWidth && Height == FHeight)
        return;
    RGBQUAD table[256];
    int n = FBitmap ? static_cast<int>(GetDIBColorTable(FDc.Get(), 0, 256, table)) : 0;
    Rebuild(Width, Height, FPixelFormat, n ? table : nullptr, n);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Format) {
    if (Format == pfCustom)
        Format = pfDevice;
    if (Format == FPixelFormat)
        return;
    Rebuild(FWidth, FHeight, Format, nullptr, 0);
    Changed();
}

void TBitmap::SetPalette(HPALETTE Palette) {
    if (!FBitmap || BitCount() > 8 || !Palette)
        return;
    PALETTEENTRY entries[256];
    UINT n = GetPaletteEntries(Palette, 0, 256, entries);
    RGBQUAD table[256];
    for (UINT i = 0; i < n; ++i)
        table[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    SetDIBColorTable(FDc.Get(), 0, n, table);
    // Keep our own palette in step with the new table.
    std::vector<std::uint8_t> buffer(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logical->palVersion = 0x300;
    RGBQUAD current[256];
    logical->palNumEntries = static_cast<WORD>(GetDIBColorTable(FDc.Get(), 0, 256, current));
    PALETTEENTRY* out = logical->palPalEntry;
    for (int i = 0; i < logical->palNumEntries; ++i)
        out[i] = PALETTEENTRY{current[i].rgbRed, current[i].rgbGreen, current[i].rgbBlue, 0};
    FPalette.Reset(CreatePalette(logical));
    Changed();
}

void* TBitmap::ScanLine(int Row) {
    if (!FBitmap || Row < 0 || Row >= FHeight)
        throw EInvalidGraphicOperation("Scan line index out of range");
    DIBSECTION ds;
    GetObject(FBitmap.Get(), sizeof ds, &ds);
    auto* bits = static_cast<std::uint8_t*>(ds.dsBm.bmBits);
    return bits + static_cast<std::size_t>(ds.dsBm.bmWidthBytes) * (FHeight - 1 - Row);
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed)
        return FTransparentColor;
    if (!FBitmap)
        return kClDefault;
    return static_cast<TColor>(GetPixel(FDc.Get(), 0, FHeight - 1));
}

void TBitmap::SetTransparentColor(TColor Color) {
    FTransparentColor = Color;
    FTransparentMode = tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Mode) {
    if (Mode == FTransparentMode)
        return;
    FTransparentMode = Mode;
    Changed();
}

void TBitmap::Assign(TPersistent* Source) {
    if (!Source) {
        Rebuild(0, 0, FPixelFormat, nullptr, 0);
        Changed();
        return;
    }
    auto* other = dynamic_cast<TBitmap*>(Source);
    if (!other) {
        TGraphic::Assign(Source);
        return;
    }
    if (other == this)
        return;
    TDibImage image;
    if (other->FBitmap) {
        other->SaveDib(image);
        LoadDib(image.Info, image.Bits.data(), other->FPixelFormat);
    } else {
        Rebuild(0, 0, other->FPixelFormat, nullptr, 0);
    }
    FTransparentColor = other->FTransparentColor;
    FTransparentMode = other->FTransparentMode;
    TGraphic::SetTransparent(other->GetTransparent());
    Changed();
}

void TBitmap::Draw(TCanvas& Canvas, const TRect& Rect) {
    HDC target = Canvas.Handle();
    if (!target || !FBitmap)
        return;
    if (GetTransparent()) {
        TransparentBlt(target, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), FDc.Get(), 0, 0,
                       FWidth, FHeight, ColorToRGB(TransparentColor()));
        return;
    }
    int oldMode = SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), FDc.Get(), 0, 0, FWidth,
               FHeight, SRCCOPY);
    SetStretchBltMode(target, oldMode);
}

// The pixels as a bottom-up DIB of the bitmap's own format.
void TBitmap::SaveDib(TDibImage& Image) {
    BITMAPINFO& info = Image.Info;
    info = BITMAPINFO();
    info.bmiHeader.biWidth = FWidth;
    info.bmiHeader.biHeight = FHeight;
    info.bmiHeader.biBitCount = static_cast<WORD>(BitCount());
    Image.Bits.assign(static_cast<std::size_t>(DibStride(FWidth, BitCount())) * FHeight, 0);
    GetDIBits(FDc.Get(), FBitmap.Get(), 0, static_cast<UINT>(FHeight), Image.Bits.data(), &info,
              DIB_RGB_COLORS);
    info.bmiHeader.biSizeImage = static_cast<DWORD>(Image.Bits.size());
}

void TBitmap::LoadDib(const BITMAPINFO& Info, const std::uint8_t* Bits, TPixelFormat Format) {
    const BITMAPINFOHEADER& h = Info.bmiHeader;
    int colorCount =
        h.biBitCount <= 8 ? static_cast<int>(h.biClrUsed ? h.biClrUsed : 1u << h.biBitCount) : 0;
    Rebuild(0, 0, Format, nullptr, 0); // nothing of the old picture survives
    Rebuild(h.biWidth, h.biHeight, Format, Info.bmiColors, colorCount);
    std::size_t bytes = static_cast<std::size_t>(DibStride(h.biWidth, h.biBitCount)) * h.biHeight;
    std::memcpy(ScanLine(FHeight - 1), Bits, bytes);
}

void TBitmap::LoadFromStream(TStream& Stream) {
    int64_t size = Stream.Size() - Stream.Position();
    if (size <= 0 || size > std::numeric_limits<int32_t>::max())
        throw EInvalidGraphic(kInvalidBitmap);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    data.resize(static_cast<std::size_t>(Stream.Read(data.data(), size)));
    TDibImage image;
    if (DecodeBmp(data.data(), data.size(), image) != TBmpError::None)
        throw EInvalidGraphic(kInvalidBitmap);
    LoadDib(image.Info, image.Bits.data(), FormatOf(image.Info.bmiHeader.biBitCount));
    Changed();
}

void TBitmap::SaveToStream(TStream& Stream) {
    TDibImage image;
    if (FBitmap)
        SaveDib(image);
    else
        image.Info.bmiHeader.biBitCount = static_cast<WORD>(BitCount());
    std::vector<std::uint8_t> file = EncodeBmp(image);
    Stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
}

void TBitmap::LoadFromClipboardFormat(unsigned short Format, const TClipboardData& Data, HPALETTE) {
    if (Format != CF_DIB)
        throw EInvalidGraphic("Unsupported clipboard format");
    TDibImage image;
    if (DecodePackedDib(Data.data(), Data.size(), image) != TBmpError::None)
        throw EInvalidGraphic(kInvalidBitmap);
    LoadDib(image.Info, image.Bits.data(), FormatOf(image.Info.bmiHeader.biBitCount));
    Changed();
}

void TBitmap::SaveToClipboardFormat(unsigned short& Format, TClipboardData& Data,
                                    HPALETTE& Palette) {
    TDibImage image;
    if (FBitmap)
        SaveDib(image);
    else
        image.Info.bmiHeader.biBitCount = static_cast<WORD>(BitCount());
    Format = CF_DIB;
    Data = EncodePackedDib(image);
    Palette = nullptr;
}

} // namespace zorbalin
