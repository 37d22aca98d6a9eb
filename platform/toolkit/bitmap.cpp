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
    BitmapOwner probe(CreateBitmap(1, 1, 1, 32, nullptr));
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

TBitmap::TBitmap() : dc_(CreateCompatibleDC(nullptr)) {
    canvas_.SetHandle(dc_.Get());
}

TBitmap::~TBitmap() {
    // The bitmap must leave the context before either is freed.
    if (previousBitmap_)
        SelectObject(dc_.Get(), previousBitmap_);
}

int TBitmap::BitCount() const {
    return BitCountOf(pixelFormat_);
}

// Replaces the pixels by a new DIB section of the given size and format; the old picture is
// copied into its top-left corner (converted to the new format) and the rest is white.
void TBitmap::Rebuild(int width, int height, TPixelFormat format, const RGBQUAD* colors,
                      int colorCount) {
    if (width < 0 || height < 0)
        throw EInvalidGraphicOperation("Invalid bitmap size");
    BitmapOwner fresh;
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
        fresh.Reset(CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!fresh)
            throw EOutOfResources("Out of system resources");
        DCOwner target(CreateCompatibleDC(nullptr));
        HGDIOBJ old = SelectObject(target.Get(), fresh.Get());
        RECT all{0, 0, width, height};
        BrushOwner white(CreateSolidBrush(RGB(255, 255, 255)));
        FillRect(target.Get(), &all, white.Get());
        if (bitmap_)
            BitBlt(target.Get(), 0, 0, width_, height_, dc_.Get(), 0, 0, SRCCOPY);
        SelectObject(target.Get(), old);
    }
    if (previousBitmap_) {
        SelectObject(dc_.Get(), previousBitmap_);
        previousBitmap_ = nullptr;
    }
    bitmap_ = std::move(fresh);
    if (bitmap_)
        previousBitmap_ = SelectObject(dc_.Get(), bitmap_.Get());
    width_ = bitmap_ ? width : 0;
    height_ = bitmap_ ? height : 0;
    pixelFormat_ = format;
    palette_.Reset();
    if (bitmap_ && bitCount <= 8) {
        RGBQUAD table[256];
        int n = static_cast<int>(GetDIBColorTable(dc_.Get(), 0, 256, table));
        std::vector<std::uint8_t> buffer(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
        auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = static_cast<WORD>(n);
        PALETTEENTRY* entries = logical->palPalEntry;
        for (int i = 0; i < n; ++i)
            entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
        palette_.Reset(CreatePalette(logical));
    }
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_)
        return;
    RGBQUAD table[256];
    int n = bitmap_ ? static_cast<int>(GetDIBColorTable(dc_.Get(), 0, 256, table)) : 0;
    Rebuild(width, height, pixelFormat_, n ? table : nullptr, n);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pfCustom)
        format = pfDevice;
    if (format == pixelFormat_)
        return;
    Rebuild(width_, height_, format, nullptr, 0);
    Changed();
}

void TBitmap::SetPalette(HPALETTE palette) {
    if (!bitmap_ || BitCount() > 8 || !palette)
        return;
    PALETTEENTRY entries[256];
    UINT n = GetPaletteEntries(palette, 0, 256, entries);
    RGBQUAD table[256];
    for (UINT i = 0; i < n; ++i)
        table[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    SetDIBColorTable(dc_.Get(), 0, n, table);
    // Keep our own palette in step with the new table.
    std::vector<std::uint8_t> buffer(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logical->palVersion = 0x300;
    RGBQUAD current[256];
    logical->palNumEntries = static_cast<WORD>(GetDIBColorTable(dc_.Get(), 0, 256, current));
    PALETTEENTRY* out = logical->palPalEntry;
    for (int i = 0; i < logical->palNumEntries; ++i)
        out[i] = PALETTEENTRY{current[i].rgbRed, current[i].rgbGreen, current[i].rgbBlue, 0};
    palette_.Reset(CreatePalette(logical));
    Changed();
}

void* TBitmap::ScanLine(int row) {
    if (!bitmap_ || row < 0 || row >= height_)
        throw EInvalidGraphicOperation("Scan line index out of range");
    DIBSECTION ds;
    GetObject(bitmap_.Get(), sizeof ds, &ds);
    auto* bits = static_cast<std::uint8_t*>(ds.dsBm.bmBits);
    return bits + static_cast<std::size_t>(ds.dsBm.bmWidthBytes) * (height_ - 1 - row);
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed)
        return transparentColor_;
    if (!bitmap_)
        return clDefault;
    return static_cast<TColor>(GetPixel(dc_.Get(), 0, height_ - 1));
}

void TBitmap::SetTransparentColor(TColor color) {
    transparentColor_ = color;
    transparentMode_ = tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
    if (mode == transparentMode_)
        return;
    transparentMode_ = mode;
    Changed();
}

void TBitmap::Assign(TPersistent* source) {
    if (!source) {
        Rebuild(0, 0, pixelFormat_, nullptr, 0);
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
    DibImage image;
    if (other->bitmap_) {
        other->SaveDib(image);
        LoadDib(image.info, image.bits.data(), other->pixelFormat_);
    } else {
        Rebuild(0, 0, other->pixelFormat_, nullptr, 0);
    }
    transparentColor_ = other->transparentColor_;
    transparentMode_ = other->transparentMode_;
    TGraphic::SetTransparent(other->GetTransparent());
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
    HDC target = canvas.Handle();
    if (!target || !bitmap_)
        return;
    if (GetTransparent()) {
        TransparentBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), dc_.Get(), 0, 0,
                       width_, height_, ColorToRGB(TransparentColor()));
        return;
    }
    int oldMode = SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), dc_.Get(), 0, 0, width_,
               height_, SRCCOPY);
    SetStretchBltMode(target, oldMode);
}

// The pixels as a bottom-up DIB of the bitmap's own format.
void TBitmap::SaveDib(DibImage& image) {
    BITMAPINFO& info = image.info;
    info = BITMAPINFO();
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = height_;
    info.bmiHeader.biBitCount = static_cast<WORD>(BitCount());
    image.bits.assign(static_cast<std::size_t>(DibStride(width_, BitCount())) * height_, 0);
    GetDIBits(dc_.Get(), bitmap_.Get(), 0, static_cast<UINT>(height_), image.bits.data(), &info,
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
    std::memcpy(ScanLine(height_ - 1), bits, bytes);
}

void TBitmap::LoadFromStream(TStream& stream) {
    int64_t size = stream.Size() - stream.Position();
    if (size <= 0 || size > std::numeric_limits<int32_t>::max())
        throw EInvalidGraphic(kInvalidBitmap);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    data.resize(static_cast<std::size_t>(stream.Read(data.data(), size)));
    DibImage image;
    if (DecodeBmp(data.data(), data.size(), image) != BmpError::None)
        throw EInvalidGraphic(kInvalidBitmap);
    LoadDib(image.info, image.bits.data(), FormatOf(image.info.bmiHeader.biBitCount));
    Changed();
}

void TBitmap::SaveToStream(TStream& stream) {
    DibImage image;
    if (bitmap_)
        SaveDib(image);
    else
        image.info.bmiHeader.biBitCount = static_cast<WORD>(BitCount());
    std::vector<std::uint8_t> file = EncodeBmp(image);
    stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
}

void TBitmap::LoadFromClipboardFormat(unsigned short format, const TClipboardData& data, HPALETTE) {
    if (format != CF_DIB)
        throw EInvalidGraphic("Unsupported clipboard format");
    DibImage image;
    if (DecodePackedDib(data.data(), data.size(), image) != BmpError::None)
        throw EInvalidGraphic(kInvalidBitmap);
    LoadDib(image.info, image.bits.data(), FormatOf(image.info.bmiHeader.biBitCount));
    Changed();
}

void TBitmap::SaveToClipboardFormat(unsigned short& format, TClipboardData& data,
                                    HPALETTE& palette) {
    DibImage image;
    if (bitmap_)
        SaveDib(image);
    else
        image.info.bmiHeader.biBitCount = static_cast<WORD>(BitCount());
    format = CF_DIB;
    data = EncodePackedDib(image);
    palette = nullptr;
}

} // namespace zorbalin
