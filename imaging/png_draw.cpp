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
std::uint32_t TransparencySample(const TChunktRNS& trns, int index) {
    return (std::uint32_t(trns.AlphaTable[2 * index]) << 8) | trns.AlphaTable[2 * index + 1];
}

// Whether a stored pixel can carry the tRNS sample at all: a grey or RGB sample
// beyond the range of the bit depth matches no pixel of the picture.
bool KeyFitsBitDepth(const TChunkIHDR& header, const TChunktRNS& trns) {
    if (header.BitDepth >= 16)
        return true;
    const std::uint32_t limit = 1u << header.BitDepth;
    switch (header.ColourType) {
    case 0:
        return TransparencySample(trns, 0) < limit;
    case 2:
        return TransparencySample(trns, 0) < limit && TransparencySample(trns, 1) < limit &&
               TransparencySample(trns, 2) < limit;
    default:
        return true;
    }
}

TRect Normalised(const TRect& rect) {
    return {std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
            std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
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

    const std::uint8_t* ColourRow(std::uint32_t sy) const {
        return Header.ColourPlane +
               static_cast<std::size_t>(SourceStride) * (Header.ImageHeight - 1 - sy);
    }
    const std::uint8_t* AlphaRow(std::uint32_t sy) const {
        return Header.AlphaPlane
                   ? Header.AlphaPlane.get() + static_cast<std::size_t>(Header.ImageWidth) * sy
                   : nullptr;
    }
};

void BlendBgr24(const TAlphaJob& job, std::uint8_t* buffer, TBlendPath path) {
    const auto blend = path == TBlendPath::Fast ? BlendRowBgr24Fast : BlendRowBgr24;
    for (std::size_t by = 0; by < job.Rows.size(); ++by) {
        std::uint8_t* dest = buffer + 4 * static_cast<std::size_t>(job.VisibleWidth) * by;
        const std::uint8_t* colour = job.ColourRow(job.Rows[by]);
        const std::uint8_t* alpha = job.AlphaRow(job.Rows[by]);
        if (job.Identity) {
            blend(dest, colour + 3 * static_cast<std::size_t>(job.FirstColumn),
                  alpha ? alpha + job.FirstColumn : nullptr, nullptr, job.VisibleWidth);
        } else {
            blend(dest, colour, alpha, job.Columns.data(), job.VisibleWidth);
        }
    }
}

// Grey + alpha: the grey sample itself for all three components, not through
// the colour table. A packed plane (a grey picture of low bit depth given an
// alpha channel) is scaled to the full byte range so that it reads like an
// 8-bit one.
void BlendGreyAlpha(const TAlphaJob& job, std::uint8_t* buffer) {
    const std::uint32_t scale = job.BitCount == 1 ? 255u : job.BitCount == 4 ? 17u : 1u;
    for (std::size_t by = 0; by < job.Rows.size(); ++by) {
        std::uint8_t* dest = buffer + 4 * static_cast<std::size_t>(job.VisibleWidth) * by;
        const std::uint8_t* colour = job.ColourRow(job.Rows[by]);
        const std::uint8_t* alpha = job.AlphaRow(job.Rows[by]);
        for (std::int32_t x = 0; x < job.VisibleWidth; ++x, dest += 4) {
            const std::uint32_t sx = job.Columns[static_cast<std::size_t>(x)];
            const std::uint32_t grey =
                PackedSample(colour, sx, static_cast<std::uint32_t>(job.BitCount)) * scale;
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
void BlendPalette(const TAlphaJob& job, const TPNGObject& picture, std::uint8_t* buffer) {
    const TChunkPLTE* palette = picture.Chunks.Find<TChunkPLTE>();
    const TChunktRNS* trns = picture.Chunks.Find<TChunktRNS>();
    const std::uint32_t entries = palette ? std::min<std::uint32_t>(palette->EntryCount, 256) : 0;
    std::array<RGBQUAD, 256> colours{};
    for (std::uint32_t i = 0; i < entries; ++i)
        colours[i] = palette->Item(i);
    for (std::size_t by = 0; by < job.Rows.size(); ++by) {
        std::uint8_t* dest = buffer + 4 * static_cast<std::size_t>(job.VisibleWidth) * by;
        const std::uint8_t* row = job.ColourRow(job.Rows[by]);
        for (std::int32_t x = 0; x < job.VisibleWidth; ++x, dest += 4) {
            const std::uint32_t index = PackedSample(row, job.Columns[static_cast<std::size_t>(x)],
                                                     static_cast<std::uint32_t>(job.BitCount));
            if (index >= entries)
                throw EPngError(TextNoSuchPaletteEntry);
            const RGBQUAD& c = colours[index];
            const std::uint32_t a = trns ? trns->AlphaTable[index] : 255u;
            dest[0] = BlendComponent(c.rgbBlue, dest[0], a);
            dest[1] = BlendComponent(c.rgbGreen, dest[1], a);
            dest[2] = BlendComponent(c.rgbRed, dest[2], a);
        }
    }
}

// The blending step of alpha drawing, by the colour plane's bit count.
void BlendInto(const TAlphaJob& job, const TPNGObject& picture, std::uint8_t* buffer,
               TBlendPath path) {
    switch (job.BitCount) {
    case 24:
        BlendBgr24(job, buffer, path);
        break;
    case 1:
    case 4:
    case 8:
        if (job.Header.ColourType == 4) {
            BlendGreyAlpha(job, buffer);
        } else {
            BlendPalette(job, picture, buffer);
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
    TScratch(HDC dc, HBITMAP bitmap) : FDc(CreateCompatibleDC(dc)), FBitmap(bitmap) {
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

bool DrawnKeyColour(const TPNGObject& picture, COLORREF& key) {
    key = 0;
    const TChunktRNS* trns = picture.Chunks.Find<TChunktRNS>();
    if (!trns)
        return false;
    const TChunkIHDR& header = picture.HeaderChunk();
    if (header.ColourType > 3 || !KeyFitsBitDepth(header, *trns))
        return false;
    // The chunk takes the key from the bytes the colour plane holds for the
    // sample, through the same colour table or gamma table as the pixels.
    key = trns->TransparentColour();
    return true;
}

TPNGTransparencyKind TPNGObject::TransparencyKind() const {
    const TChunkIHDR& header = HeaderChunk();
    const TChunktRNS* trns = Chunks.Find<TChunktRNS>();
    switch (header.ColourType) {
    case 0:
    case 2:
        return trns ? tkColourKey : tkOpaque;
    case 3: {
        if (!trns)
            return tkOpaque;
        if (!trns->SingleColour)
            return tkAlpha;
        // One entry below 255 is a colour key only when it is fully transparent;
        // a half-transparent single entry needs its own opacity.
        const auto first = std::find_if(trns->AlphaTable.begin(), trns->AlphaTable.end(),
                                        [](std::uint8_t a) { return a != 255; });
        return first != trns->AlphaTable.end() && *first == 0 ? tkColourKey : tkAlpha;
    }
    case 4:
    case 6:
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

void TPNGObject::Draw(TCanvas& canvas, const TRect& rect) {
    if (IsEmpty())
        return;
    const TChunkIHDR& header = *CheckedCast<TChunkIHDR>(Chunks.Item(0));
    const HDC dc = canvas.Handle();
    if (!dc)
        return;
    switch (TransparencyKind()) {
    case tkOpaque:
        DrawOpaque(dc, rect, header);
        break;
    case tkColourKey: {
        COLORREF key = 0;
        // A tRNS sample that no stored pixel can hold keys nothing.
        if (DrawnKeyColour(*this, key)) {
            DrawColourKey(dc, rect, header, key);
        } else {
            DrawOpaque(dc, rect, header);
        }
        break;
    }
    case tkAlpha:
        DrawAlpha(dc, rect, *this, header);
        break;
    }
}

void DrawOpaque(HDC dc, const TRect& rect, const TChunkIHDR& header) {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top, 0, 0,
                  static_cast<int>(header.ImageWidth), static_cast<int>(header.ImageHeight),
                  header.ColourPlane, &header.BitmapInfo, DIB_RGB_COLORS, SRCCOPY);
}

void DrawColourKey(HDC dc, const TRect& rect, const TChunkIHDR& header, COLORREF key) {
    const int x = rect.Left, y = rect.Top;
    const int w = std::abs(header.BitmapInfo.bmiHeader.biWidth);
    const int h = std::abs(header.BitmapInfo.bmiHeader.biHeight);
    const int W = rect.Right - rect.Left, H = rect.Bottom - rect.Top;
    // A reversed or empty rectangle gets no bitmaps on the platform this was
    // made for, so nothing is drawn.
    if (W <= 0 || H <= 0 || w == 0 || h == 0)
        return;

    // 1-2: the picture as a device bitmap, two masks and the composing bitmap.
    TScratch source(dc, CreateDIBitmap(dc, &header.BitmapInfo.bmiHeader, CBM_INIT,
                                       header.ColourPlane, &header.BitmapInfo, DIB_RGB_COLORS));
    TScratch keyMask(dc, CreateBitmap(W, H, 1, 1, nullptr));
    TScratch otherMask(dc, CreateBitmap(W, H, 1, 1, nullptr));
    TScratch composed(dc, CreateCompatibleBitmap(dc, W, H));
    // Stretched, the picture is first brought to the rectangle's size and the
    // masks are applied there. Masking the picture at its own size would sample
    // the mask back through a second rounding, which at uneven scales takes the
    // key test of a neighbouring pixel and blackens pixels that are not keyed.
    std::unique_ptr<TScratch> resized;
    HDC picture = source.DC();
    if (W != w || H != h) {
        resized = std::make_unique<TScratch>(dc, CreateCompatibleBitmap(dc, W, H));
        StretchBlt(resized->DC(), 0, 0, W, H, source.DC(), 0, 0, w, h, SRCCOPY);
        picture = resized->DC();
    }
    // 3: the key mask is 1 exactly where the source pixel is the key.
    const COLORREF previousBk = SetBkColor(picture, key);
    BitBlt(keyMask.DC(), 0, 0, W, H, picture, 0, 0, SRCCOPY);
    SetBkColor(picture, previousBk);
    // 4: the other mask is 1 where the source is not the key.
    BitBlt(otherMask.DC(), 0, 0, W, H, keyMask.DC(), 0, 0, NOTSRCCOPY);
    // 5-6: what lies under the picture, kept only where the key matched.
    BitBlt(composed.DC(), 0, 0, W, H, dc, x, y, SRCCOPY);
    BitBlt(composed.DC(), 0, 0, W, H, keyMask.DC(), 0, 0, SRCAND);
    // 7: keyed source pixels become black.
    BitBlt(picture, 0, 0, W, H, otherMask.DC(), 0, 0, SRCAND);
    // 8-9: the picture laid over the kept background, then onto the canvas.
    BitBlt(composed.DC(), 0, 0, W, H, picture, 0, 0, SRCPAINT);
    BitBlt(dc, x, y, W, H, composed.DC(), 0, 0, SRCCOPY);
    // 10: the scratch contexts give back and free their bitmaps on the way out.
}

void DrawAlpha(HDC dc, const TRect& given, const TPNGObject& picture, const TChunkIHDR& header,
               TBlendPath path) {
    if (given.Right == given.Left || given.Bottom == given.Top)
        return;
    const TRect rect = Normalised(given);
    const std::int32_t W = rect.Width(), H = rect.Height();
    if (header.ImageWidth == 0 || header.ImageHeight == 0 || !header.ColourPlane)
        return;
    const bool stretched = !(static_cast<std::uint32_t>(W) == header.ImageWidth &&
                             static_cast<std::uint32_t>(H) == header.ImageHeight);

    // Only what the context can show is read back, blended and written.
    RECT clip{};
    if (GetClipBox(dc, &clip) == 0)
        return;
    const TRect visible = IntersectRects(rect, {clip.left, clip.top, clip.right, clip.bottom});
    if (visible.IsEmpty())
        return;
    const std::int32_t firstX = visible.Left - rect.Left, firstY = visible.Top - rect.Top;

    const int bitCount = header.BitmapInfo.bmiHeader.biBitCount;
    TAlphaJob job{header,
                  bitCount,
                  DibStride(static_cast<LONG>(header.ImageWidth), bitCount),
                  visible.Width(),
                  SourceIndexSpan(firstY, visible.Height(), H, header.ImageHeight, stretched),
                  {},
                  !stretched,
                  static_cast<std::uint32_t>(firstX)};
    if (stretched || bitCount != 24) {
        job.Columns = SourceIndexSpan(firstX, visible.Width(), W, header.ImageWidth, stretched);
    }

    TDrawingSurface buffer(visible.Width(), visible.Height());
    if (!buffer)
        throw EPNGOutMemory();
    BitBlt(buffer.DC(), 0, 0, visible.Width(), visible.Height(), dc, visible.Left, visible.Top,
           SRCCOPY);
    BlendInto(job, picture, buffer.Row(0), path);
    BitBlt(dc, visible.Left, visible.Top, visible.Width(), visible.Height(), buffer.DC(), 0, 0,
           SRCCOPY);
}

} // namespace zorbalin
