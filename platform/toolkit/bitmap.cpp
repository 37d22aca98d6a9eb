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

int BitCountOf(TPixelFormat format) {
    switch (format) {
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

TPixelFormat FormatOf(int bitCount) {
    switch (bitCount) {
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
int DefaultTable(int bitCount, RGBQUAD* table) {
    if (bitCount > 8)
        return 0;
    HDC dc = CreateCompatibleDC(nullptr);
    TBitmapOwner probe(CreateBitmap(1, 1, 1, 32, nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    GetDIBits(dc, probe.Get(), 0, 1, nullptr, &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    std::copy_n(info.bmiColors, info.bmiHeader.biClrUsed, table);
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
void TBitmap::Rebuild(int width, int height, TPixelFormat format, const RGBQUAD* colors,
                      int colorCount) {
    if (width < 0 || height < 0)
        throw EInvalidGraphicOperation("Invalid bitmap size");
    TBitmapOwner fresh;
    int bitCount = BitCountOf(format);
    if (width > 0 && height > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
        if (bitCount <= 8) {
            RGBQUAD table[256];
            if (!colors) {
                colorCount = DefaultTable(bitCount, table);
                colors = table;
            }
            std::copy_n(colors, colorCount, info.bmiColors);
            info.bmiHeader.biClrUsed = static_cast<DWORD>(colorCount);
        }
        void* bits = nullptr;
        fresh.Reset(CreateDIBSection(FDc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!fresh)
            throw EOutOfResources("Out of system resources");
        TDCOwner target(CreateCompatibleDC(nullptr));
        HGDIOBJ old = SelectObject(target.Get(), fresh.Get());
        RECT all{0, 0, width, height};
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
    FWidth = FBitmap ? width : 0;
    FHeight = FBitmap ? height : 0;
    FPixelFormat = format;
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

void TBitmap::SetSize(int width, int height) {
    if (width == FWidth && height == FHeight)
        return;
    RGBQUAD table[256];
    int n = FBitmap ? static_cast<int>(GetDIBColorTable(FDc.Get(), 0, 256, table)) : 0;
    Rebuild(width, height, FPixelFormat, n ? table : nullptr, n);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pfCustom)
        format = pfDevice;
    if (format == FPixelFormat)
        return;
    Rebuild(FWidth, FHeight, format, nullptr, 0);
    Changed();
}

void TBitmap::SetPalette(HPALETTE palette) {
    if (!FBitmap || BitCount() > 8 || !palette)
        return;
    PALETTEENTRY entries[256];
    UINT n = GetPaletteEntries(palette, 0, 256, entries);
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

void* TBitmap::ScanLine(int row) {
    if (!FBitmap || row < 0 || row >= FHeight)
        throw EInvalidGraphicOperation("Scan line index out of range");
    DIBSECTION ds;
    GetObject(FBitmap.Get(), sizeof ds, &ds);
    auto* bits = static_cast<std::uint8_t*>(ds.dsBm.bmBits);
    return bits + static_cast<std::size_t>(ds.dsBm.bmWidthBytes) * (FHeight - 1 - row);
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed)
        return FTransparentColor;
    if (!FBitmap)
        return clDefault;
    return static_cast<TColor>(GetPixel(FDc.Get(), 0, FHeight - 1));
}

void TBitmap::SetTransparentColor(TColor color) {
    FTransparentColor = color;
    FTransparentMode = tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
    if (mode == FTransparentMode)
        return;
    FTransparentMode = mode;
    Changed();
}

void TBitmap::Assign(TPersistent* source) {
    if (!source) {
        Rebuild(0, 0, FPixelFormat, nullptr, 0);
        Changed();
        return;
    }
    auto* other = dynamic_cast<TBitmap*>(source);
    if (!other) {
        TGraphic::Assign(source);
        return;
    }
    if (other == this)
        return;
    TDibImage image;
    if (other->FBitmap) {
        other->SaveDib(image);
        LoadDib(image.info, image.bits.data(), other->FPixelFormat);
    } else {
        Rebuild(0, 0, other->FPixelFormat, nullptr, 0);
    }
    FTransparentColor = other->FTransparentColor;
    FTransparentMode = other->FTransparentMode;
    TGraphic::SetTransparent(other->GetTransparent());
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
    HDC target = canvas.Handle();
    if (!target || !FBitmap)
        return;
    if (GetTransparent()) {
        TransparentBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), FDc.Get(), 0, 0,
                       FWidth, FHeight, ColorToRGB(TransparentColor()));
        return;
    }
    int oldMode = SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), FDc.Get(), 0, 0, FWidth,
               FHeight, SRCCOPY);
    SetStretchBltMode(target, oldMode);
}

// The pixels as a bottom-up DIB of the bitmap's own format.
void TBitmap::SaveDib(TDibImage& image) {
    BITMAPINFO& info = image.info;
    info = BITMAPINFO();
    info.bmiHeader.biWidth = FWidth;
    info.bmiHeader.biHeight = FHeight;
    info.bmiHeader.biBitCount = static_cast<WORD>(BitCount());
    image.bits.assign(static_cast<std::size_t>(DibStride(FWidth, BitCount())) * FHeight, 0);
    GetDIBits(FDc.Get(), FBitmap.Get(), 0, static_cast<UINT>(FHeight), image.bits.data(), &info,
              DIB_RGB_COLORS);
    info.bmiHeader.biSizeImage = static_cast<DWORD>(image.bits.size());
}

void TBitmap::LoadDib(const BITMAPINFO& info, const std::uint8_t* bits, TPixelFormat format) {
    const BITMAPINFOHEADER& h = info.bmiHeader;
    int colorCount =
        h.biBitCount <= 8 ? static_cast<int>(h.biClrUsed ? h.biClrUsed : 1u << h.biBitCount) : 0;
    Rebuild(0, 0, format, nullptr, 0); // nothing of the old picture survives
    Rebuild(h.biWidth, h.biHeight, format, info.bmiColors, colorCount);
    std::size_t bytes = static_cast<std::size_t>(DibStride(h.biWidth, h.biBitCount)) * h.biHeight;
    std::memcpy(ScanLine(FHeight - 1), bits, bytes);
}

void TBitmap::LoadFromStream(TStream& stream) {
    int64_t size = stream.Size() - stream.Position();
    if (size <= 0 || size > std::numeric_limits<int32_t>::max())
        throw EInvalidGraphic(kInvalidBitmap);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    data.resize(static_cast<std::size_t>(stream.Read(data.data(), size)));
    TDibImage image;
    if (DecodeBmp(data.data(), data.size(), image) != TBmpError::None)
        throw EInvalidGraphic(kInvalidBitmap);
    LoadDib(image.info, image.bits.data(), FormatOf(image.info.bmiHeader.biBitCount));
    Changed();
}

void TBitmap::SaveToStream(TStream& stream) {
    TDibImage image;
    if (FBitmap)
        SaveDib(image);
    else
        image.info.bmiHeader.biBitCount = static_cast<WORD>(BitCount());
    std::vector<std::uint8_t> file = EncodeBmp(image);
    stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
}

void TBitmap::LoadFromClipboardFormat(unsigned short format, const TClipboardData& data, HPALETTE) {
    if (format != CF_DIB)
        throw EInvalidGraphic("Unsupported clipboard format");
    TDibImage image;
    if (DecodePackedDib(data.data(), data.size(), image) != TBmpError::None)
        throw EInvalidGraphic(kInvalidBitmap);
    LoadDib(image.info, image.bits.data(), FormatOf(image.info.bmiHeader.biBitCount));
    Changed();
}

void TBitmap::SaveToClipboardFormat(unsigned short& format, TClipboardData& data,
                                    HPALETTE& palette) {
    TDibImage image;
    if (FBitmap)
        SaveDib(image);
    else
        image.info.bmiHeader.biBitCount = static_cast<WORD>(BitCount());
    format = CF_DIB;
    data = EncodePackedDib(image);
    palette = nullptr;
}

} // namespace zorbalin
