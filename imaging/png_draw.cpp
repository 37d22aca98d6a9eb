// Drawing of TPNGObject: the transparency kind, the colour key and the three
// drawing paths (opaque, colour key, per-pixel alpha).
#include "imaging/png_draw.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

#include "gdi/drawing_surface.h"
#include "gdi/owners.h"
#include "imaging/png_blend.h"
#include "imaging/pngpicture.h"
#include "toolkit/exception.h"

namespace zorbalin {
namespace {

// The 16-bit sample stored big-endian at `index` of a tRNS chunk's data.
std::uint32_t TransparencySample(const TChunktRNS& Trns, int Index) {
    return (std::uint32_t(Trns.AlphaTable[2 * Index]) << 8) | Trns.AlphaTable[2 * Index + 1];
}

// Whether a stored pixel can carry the tRNS sample at all: a grey or RGB sample
// beyond the range of the bit depth matches no pixel of the picture.
bool KeyFitsBitDepth(const TChunkIHDR& Header, const TChunktRNS& Trns) {
    if (Header.BitDepth >= 16)
        return true;
    const std::uint32_t limit = 1u << Header.BitDepth;
    switch (Header.ColourType) {
    case TColourType::Greyscale:
        return TransparencySample(Trns, 0) < limit;
    case TColourType::Truecolour:
        return TransparencySample(Trns, 0) < limit && TransparencySample(Trns, 1) < limit &&
               TransparencySample(Trns, 2) < limit;
    default:
        return true;
    }
}

TRect Normalised(const TRect& Rect) {
    return {std::min(Rect.Left, Rect.Right), std::min(Rect.Top, Rect.Bottom),
            std::max(Rect.Left, Rect.Right), std::max(Rect.Top, Rect.Bottom)};
}

// Where the source pixels of one alpha drawing come from and which part of
// the destination rectangle is worked on.
struct TAlphaJob {
    const TChunkIHDR& Header;
    int BitCount;
    std::int32_t SourceStride;
    std::int32_t VisibleWidth;
    std::vector<std::uint32_t> Rows;    // source row of each visible destination row
    std::vector<std::uint32_t> Columns; // source column of each visible destination column
    bool Identity; // natural size: column x of the span is source column First + x
    std::uint32_t FirstColumn;

    const std::uint8_t* ColourRow(std::uint32_t Sy) const {
        return Header.ColourPlane +
               static_cast<std::size_t>(SourceStride) * (Header.ImageHeight - 1 - Sy);
    }
    const std::uint8_t* AlphaRow(std::uint32_t Sy) const {
        return Header.AlphaPlane
                   ? Header.AlphaPlane.get() + static_cast<std::size_t>(Header.ImageWidth) * Sy
                   : nullptr;
    }
};

void BlendBgr24(const TAlphaJob& Job, std::uint8_t* Buffer, TBlendPath Path) {
    const auto blend = Path == TBlendPath::Fast ? BlendRowBgr24Fast : BlendRowBgr24;
    for (std::size_t by = 0; by < Job.Rows.size(); ++by) {
        std::uint8_t* dest = Buffer + 4 * static_cast<std::size_t>(Job.VisibleWidth) * by;
        const std::uint8_t* colour = Job.ColourRow(Job.Rows[by]);
        const std::uint8_t* alpha = Job.AlphaRow(Job.Rows[by]);
        if (Job.Identity) {
            blend(dest, colour + 3 * static_cast<std::size_t>(Job.FirstColumn),
                  alpha ? alpha + Job.FirstColumn : nullptr, nullptr, Job.VisibleWidth);
        } else {
            blend(dest, colour, alpha, Job.Columns.data(), Job.VisibleWidth);
        }
    }
}

// Grey + alpha: the grey sample itself for all three components, not through
// the colour table. A packed plane (a grey picture of low bit depth given an
// alpha channel) is scaled to the full byte range so that it reads like an
// 8-bit one.
void BlendGreyAlpha(const TAlphaJob& Job, std::uint8_t* Buffer) {
    const std::uint32_t scale = Job.BitCount == 1 ? 255u : Job.BitCount == 4 ? 17u : 1u;
    for (std::size_t by = 0; by < Job.Rows.size(); ++by) {
        std::uint8_t* dest = Buffer + 4 * static_cast<std::size_t>(Job.VisibleWidth) * by;
        const std::uint8_t* colour = Job.ColourRow(Job.Rows[by]);
        const std::uint8_t* alpha = Job.AlphaRow(Job.Rows[by]);
        for (std::int32_t x = 0; x < Job.VisibleWidth; ++x, dest += 4) {
            const std::uint32_t sx = Job.Columns[static_cast<std::size_t>(x)];
            const std::uint32_t grey =
                PackedSample(colour, sx, static_cast<std::uint32_t>(Job.BitCount)) * scale;
            const std::uint32_t a = alpha ? alpha[sx] : 255u;
            dest[0] = BlendComponent(grey, dest[0], a);
            dest[1] = BlendComponent(grey, dest[1], a);
            dest[2] = BlendComponent(grey, dest[2], a);
        }
    }
}

// A palette picture with per-entry opacity: colours through the palette chunk,
// opacity from the tRNS table. An index the palette does not have fails the
// whole drawing before anything is written back.
void BlendPalette(const TAlphaJob& Job, const TPNGObject& Picture, std::uint8_t* Buffer) {
    const TChunkPLTE* palette = Picture.Chunks.Find<TChunkPLTE>();
    const TChunktRNS* trns = Picture.Chunks.Find<TChunktRNS>();
    const std::uint32_t entries = palette ? std::min<std::uint32_t>(palette->EntryCount, 256) : 0;
    std::array<RGBQUAD, 256> colours{};
    for (std::uint32_t i = 0; i < entries; ++i)
        colours[i] = palette->Item(i);
    for (std::size_t by = 0; by < Job.Rows.size(); ++by) {
        std::uint8_t* dest = Buffer + 4 * static_cast<std::size_t>(Job.VisibleWidth) * by;
        const std::uint8_t* row = Job.ColourRow(Job.Rows[by]);
        for (std::int32_t x = 0; x < Job.VisibleWidth; ++x, dest += 4) {
            const std::uint32_t index = PackedSample(row, Job.Columns[static_cast<std::size_t>(x)],
                                                     static_cast<std::uint32_t>(Job.BitCount));
            if (index >= entries)
                throw EPngError(kTextNoSuchPaletteEntry);
            const RGBQUAD& c = colours[index];
            const std::uint32_t a = trns ? trns->AlphaTable[index] : 255u;
            dest[0] = BlendComponent(c.rgbBlue, dest[0], a);
            dest[1] = BlendComponent(c.rgbGreen, dest[1], a);
            dest[2] = BlendComponent(c.rgbRed, dest[2], a);
        }
    }
}

// The blending step of alpha drawing, by the colour plane's bit count.
void BlendInto(const TAlphaJob& Job, const TPNGObject& Picture, std::uint8_t* Buffer,
               TBlendPath Path) {
    switch (Job.BitCount) {
    case 24:
        BlendBgr24(Job, Buffer, Path);
        break;
    case 1:
    case 4:
    case 8:
        if (Job.Header.ColourType == TColourType::GreyscaleAlpha) {
            BlendGreyAlpha(Job, Buffer);
        } else {
            BlendPalette(Job, Picture, Buffer);
        }
        break;
    default:
        break; // no other plane format carries opacity: the buffer stays as read
    }
}

// A memory context compatible with `dc` holding a bitmap of its own; the
// bitmap is taken out of the context before both are freed.
class TScratch {
  public:
    TScratch(HDC Dc, HBITMAP Bitmap) : FDc(CreateCompatibleDC(Dc)), FBitmap(Bitmap) {
        if (!FDc || !FBitmap)
            throw EPNGOutMemory();
        FPrevious = SelectObject(FDc.Get(), FBitmap.Get());
        if (!FPrevious)
            throw EPNGOutMemory();
    }
    ~TScratch() {
        if (FPrevious)
            SelectObject(FDc.Get(), FPrevious);
    }
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;
    HDC DC() const { return FDc.Get(); }

  private:
    TDCOwner FDc;
    TBitmapOwner FBitmap;
    HGDIOBJ FPrevious = nullptr;
};

} // namespace

bool DrawnKeyColour(const TPNGObject& Picture, COLORREF& Key) {
    Key = 0;
    const TChunktRNS* trns = Picture.Chunks.Find<TChunktRNS>();
    if (!trns)
        return false;
    const TChunkIHDR& header = Picture.HeaderChunk();
    if (HasAlphaSamples(header.ColourType) || !KeyFitsBitDepth(header, *trns))
        return false;
    // The chunk takes the key from the bytes the colour plane holds for the
    // sample, through the same colour table or gamma table as the pixels.
    Key = trns->TransparentColour();
    return true;
}

TPNGTransparencyKind TPNGObject::TransparencyKind() const {
    const TChunkIHDR& header = HeaderChunk();
    const TChunktRNS* trns = Chunks.Find<TChunktRNS>();
    switch (header.ColourType) {
    case TColourType::Greyscale:
    case TColourType::Truecolour:
        return trns ? tkColourKey : tkOpaque;
    case TColourType::Indexed: {
        if (!trns)
            return tkOpaque;
        if (!trns->SingleColour)
            return tkAlpha;
        // One entry below 255 is a colour key only when it is fully transparent;
        // a half-transparent single entry needs its own opacity.
        const auto first = std::find_if(trns->AlphaTable.begin(), trns->AlphaTable.end(),
                                        [](std::uint8_t A) { return A != 255; });
        return first != trns->AlphaTable.end() && *first == 0 ? tkColourKey : tkAlpha;
    }
    case TColourType::GreyscaleAlpha:
    case TColourType::TruecolourAlpha:
        return tkAlpha;
    default:
        return tkOpaque;
    }
}

TColor TPNGObject::TransparentColour() const {
    COLORREF key = 0;
    DrawnKeyColour(*this, key); // leaves 0 when there is no key
    return static_cast<TColor>(key);
}

bool TPNGObject::GetTransparent() const {
    return TransparencyKind() != tkOpaque;
}

void TPNGObject::Draw(TCanvas& Canvas, const TRect& Rect) {
    if (IsEmpty())
        return;
    const TChunkIHDR& header = *CheckedCast<TChunkIHDR>(Chunks.Item(0));
    const HDC dc = Canvas.Handle();
    if (!dc)
        return;
    switch (TransparencyKind()) {
    case tkOpaque:
        DrawOpaque(dc, Rect, header);
        break;
    case tkColourKey: {
        COLORREF key = 0;
        // A tRNS sample that no stored pixel can hold keys nothing.
        if (DrawnKeyColour(*this, key)) {
            DrawColourKey(dc, Rect, header, key);
        } else {
            DrawOpaque(dc, Rect, header);
        }
        break;
    }
    case tkAlpha:
        DrawAlpha(dc, Rect, *this, header);
        break;
    }
}

void DrawOpaque(HDC Dc, const TRect& Rect, const TChunkIHDR& Header) {
    SetStretchBltMode(Dc, COLORONCOLOR);
    StretchDIBits(Dc, Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top, 0, 0,
                  static_cast<int>(Header.ImageWidth), static_cast<int>(Header.ImageHeight),
                  Header.ColourPlane, &Header.BitmapInfo, DIB_RGB_COLORS, SRCCOPY);
}

void DrawColourKey(HDC Dc, const TRect& Rect, const TChunkIHDR& Header, COLORREF Key) {
    const int x = Rect.Left, y = Rect.Top;
    const int w = std::abs(Header.BitmapInfo.bmiHeader.biWidth);
    const int h = std::abs(Header.BitmapInfo.bmiHeader.biHeight);
    const int width = Rect.Right - Rect.Left, height = Rect.Bottom - Rect.Top;
    // A reversed or empty rectangle gets no bitmaps on the platform this was
    // made for, so nothing is drawn.
    if (width <= 0 || height <= 0 || w == 0 || h == 0)
        return;

    // 1-2: the picture as a device bitmap, two masks and the composing bitmap.
    TScratch source(Dc, CreateDIBitmap(Dc, &Header.BitmapInfo.bmiHeader, CBM_INIT,
                                       Header.ColourPlane, &Header.BitmapInfo, DIB_RGB_COLORS));
    TScratch keyMask(Dc, CreateBitmap(width, height, 1, 1, nullptr));
    TScratch otherMask(Dc, CreateBitmap(width, height, 1, 1, nullptr));
    TScratch composed(Dc, CreateCompatibleBitmap(Dc, width, height));
    // Stretched, the picture is first brought to the rectangle's size and the
    // masks are applied there. Masking the picture at its own size would sample
    // the mask back through a second rounding, which at uneven scales takes the
    // key test of a neighbouring pixel and blackens pixels that are not keyed.
    std::unique_ptr<TScratch> resized;
    HDC picture = source.DC();
    if (width != w || height != h) {
        resized = std::make_unique<TScratch>(Dc, CreateCompatibleBitmap(Dc, width, height));
        StretchBlt(resized->DC(), 0, 0, width, height, source.DC(), 0, 0, w, h, SRCCOPY);
        picture = resized->DC();
    }
    // 3: the key mask is 1 exactly where the source pixel is the key.
    const COLORREF previousBk = SetBkColor(picture, Key);
    BitBlt(keyMask.DC(), 0, 0, width, height, picture, 0, 0, SRCCOPY);
    SetBkColor(picture, previousBk);
    // 4: the other mask is 1 where the source is not the key.
    BitBlt(otherMask.DC(), 0, 0, width, height, keyMask.DC(), 0, 0, NOTSRCCOPY);
    // 5-6: what lies under the picture, kept only where the key matched.
    BitBlt(composed.DC(), 0, 0, width, height, Dc, x, y, SRCCOPY);
    BitBlt(composed.DC(), 0, 0, width, height, keyMask.DC(), 0, 0, SRCAND);
    // 7: keyed source pixels become black.
    BitBlt(picture, 0, 0, width, height, otherMask.DC(), 0, 0, SRCAND);
    // 8-9: the picture laid over the kept background, then onto the canvas.
    BitBlt(composed.DC(), 0, 0, width, height, picture, 0, 0, SRCPAINT);
    BitBlt(Dc, x, y, width, height, composed.DC(), 0, 0, SRCCOPY);
    // 10: the scratch contexts give back and free their bitmaps on the way out.
}

void DrawAlpha(HDC Dc, const TRect& Given, const TPNGObject& Picture, const TChunkIHDR& Header,
               TBlendPath Path) {
    if (Given.Right == Given.Left || Given.Bottom == Given.Top)
        return;
    const TRect rect = Normalised(Given);
    const std::int32_t width = rect.Width(), height = rect.Height();
    if (Header.ImageWidth == 0 || Header.ImageHeight == 0 || !Header.ColourPlane)
        return;
    const bool stretched = !(static_cast<std::uint32_t>(width) == Header.ImageWidth &&
                             static_cast<std::uint32_t>(height) == Header.ImageHeight);

    // Only what the context can show is read back, blended and written.
    RECT clip{};
    if (GetClipBox(Dc, &clip) == 0)
        return;
    const TRect visible = IntersectRects(rect, {clip.left, clip.top, clip.right, clip.bottom});
    if (visible.IsEmpty())
        return;
    const std::int32_t firstX = visible.Left - rect.Left, firstY = visible.Top - rect.Top;

    const int bitCount = Header.BitmapInfo.bmiHeader.biBitCount;
    TAlphaJob job{Header,
                  bitCount,
                  DibStride(static_cast<LONG>(Header.ImageWidth), bitCount),
                  visible.Width(),
                  SourceIndexSpan(firstY, visible.Height(), height, Header.ImageHeight, stretched),
                  {},
                  !stretched,
                  static_cast<std::uint32_t>(firstX)};
    if (stretched || bitCount != 24) {
        job.Columns = SourceIndexSpan(firstX, visible.Width(), width, Header.ImageWidth, stretched);
    }

    TDrawingSurface buffer(visible.Width(), visible.Height());
    if (!buffer)
        throw EPNGOutMemory();
    BitBlt(buffer.DC(), 0, 0, visible.Width(), visible.Height(), Dc, visible.Left, visible.Top,
           SRCCOPY);
    BlendInto(job, Picture, buffer.Row(0), Path);
    BitBlt(Dc, visible.Left, visible.Top, visible.Width(), visible.Height(), buffer.DC(), 0, 0,
           SRCCOPY);
}

} // namespace zorbalin
