// Reading Windows bitmap files. Every size is checked against the bytes the file holds before
// anything is allocated, so a damaged or hostile file costs no more memory than it justifies.
#include <algorithm>
#include <cstring>

#include "gdi/bmp.h"

namespace zorbalin {

namespace {

// No bitmap the program can sensibly show is larger; beyond these a file is not
// a valid bitmap here, whatever the bytes that follow.
constexpr std::int64_t kMaxSide = 16384;
constexpr std::int64_t kMaxPixelBytes = std::int64_t(256) << 20;

std::uint16_t U16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// What the headers say, in one place.
struct TLayout {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // absolute
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t colorsUsed = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    bool core = false;                     // 12-byte header: 3-byte colour entries
};

TBmpError ReadInfoHeader(const std::uint8_t* p, std::size_t size, TLayout& l) {
    if (size < 4)
        return TBmpError::Truncated;
    l.headerSize = U32(p);
    const std::uint32_t known[] = {12, 40, 52, 56, 108, 124};
    if (std::find(std::begin(known), std::end(known), l.headerSize) == std::end(known))
        return TBmpError::BadHeader;
    if (size < l.headerSize)
        return TBmpError::Truncated;
    int planes;
    if (l.headerSize == 12) {
        l.core = true;
        l.width = U16(p + 4);
        l.height = U16(p + 6);
        planes = U16(p + 8);
        l.bitCount = U16(p + 10);
    } else {
        l.width = static_cast<std::int32_t>(U32(p + 4));
        std::int32_t h = static_cast<std::int32_t>(U32(p + 8));
        if (h == INT32_MIN)
            return TBmpError::BadSize;
        l.topDown = h < 0;
        l.height = h < 0 ? -std::int64_t(h) : h;
        planes = U16(p + 12);
        l.bitCount = U16(p + 14);
        l.compression = U32(p + 16);
        l.colorsUsed = U32(p + 32);
        if (l.headerSize >= 52)
            for (int i = 0; i < (l.headerSize >= 56 ? 4 : 3); ++i)
                l.masks[i] = U32(p + 40 + 4 * i);
    }
    if (planes != 1)
        return TBmpError::BadHeader;
    const int bits[] = {1, 4, 8, 16, 24, 32};
    if (std::find(std::begin(bits), std::end(bits), l.bitCount) == std::end(bits))
        return TBmpError::BadHeader;
    switch (l.compression) {
    case BI_RGB:
        break;
    case BI_RLE8:
        if (l.bitCount != 8 || l.topDown)
            return TBmpError::BadHeader;
        break;
    case BI_RLE4:
        if (l.bitCount != 4 || l.topDown)
            return TBmpError::BadHeader;
        break;
    case BI_BITFIELDS:
        if (l.bitCount != 16 && l.bitCount != 32)
            return TBmpError::BadHeader;
        break;
    default:
        return TBmpError::BadHeader;
    }
    if (l.width <= 0 || l.height <= 0 || l.width > kMaxSide || l.height > kMaxSide)
        return TBmpError::BadSize;
    return TBmpError::None;
}

struct TChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0; // the mask shifted down
};

TChannel ChannelOf(std::uint32_t mask) {
    TChannel c;
    c.mask = mask;
    if (!mask)
        return c;
    while (!((mask >> c.shift) & 1))
        ++c.shift;
    c.max = mask >> c.shift;
    return c;
}

std::uint8_t Scale(const TChannel& c, std::uint32_t pixel) {
    if (!c.mask)
        return 0;
    std::uint64_t v = (pixel & c.mask) >> c.shift;
    return static_cast<std::uint8_t>((v * 255 + c.max / 2) / c.max);
}

// Output format for a layout: 16-bit 5-5-5 and 32-bit B, G, R, X stay; other masks convert.
struct TTarget {
    int bitCount = 0;
    bool viaMasks = false;
    TChannel r, g, b, a;
};

TTarget TargetOf(const TLayout& l) {
    TTarget t;
    t.bitCount = l.bitCount;
    if (l.compression != BI_BITFIELDS)
        return t;
    if (l.bitCount == 16 && l.masks[0] == 0x7C00 && l.masks[1] == 0x03E0 && l.masks[2] == 0x001F)
        return t;
    if (l.bitCount == 32 && l.masks[0] == 0xFF0000 && l.masks[1] == 0xFF00 && l.masks[2] == 0xFF)
        return t;
    t.viaMasks = true;
    t.bitCount = l.bitCount == 16 ? 24 : 32;
    t.r = ChannelOf(l.masks[0]);
    t.g = ChannelOf(l.masks[1]);
    t.b = ChannelOf(l.masks[2]);
    t.a = ChannelOf(l.masks[3]);
    return t;
}

std::int64_t StrideOf(std::int64_t width, int bitCount) {
    return ((bitCount * width + 31) / 32) * 4;
}

TBmpError CheckIndices(const TDibImage& image, int colorCount) {
    const BITMAPINFOHEADER& h = image.info.bmiHeader;
    if (h.biBitCount > 8 || colorCount >= (1 << h.biBitCount))
        return TBmpError::None;
    std::int64_t stride = StrideOf(h.biWidth, h.biBitCount);
    for (std::int64_t y = 0; y < h.biHeight; ++y) {
        const std::uint8_t* row = image.bits.data() + stride * y;
        for (std::int64_t x = 0; x < h.biWidth; ++x) {
            int index;
            if (h.biBitCount == 8)
                index = row[x];
            else if (h.biBitCount == 4)
                index = (x & 1) ? (row[x >> 1] & 15) : (row[x >> 1] >> 4);
            else
                index = (row[x >> 3] >> (7 - (x & 7))) & 1;
            if (index >= colorCount)
                return TBmpError::BadPaletteIndex;
        }
    }
    return TBmpError::None;
}

void PutIndex(std::uint8_t* row, int bitCount, std::int64_t x, int value) {
    if (bitCount == 8) {
        row[x] = static_cast<std::uint8_t>(value);
    } else if (x & 1) {
        row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0xF0) | (value & 15));
    } else {
        row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0x0F) | ((value & 15) << 4));
    }
}

// Walks the run-length codes and hands every run and literal to `put` with its
// place (row 0 is the bottom row), checking that each stays inside the picture.
// The walk itself costs only the file's bytes; what it puts costs the pixels.
template <class TPut>
TBmpError WalkRle(const std::uint8_t* p, std::size_t size, const TLayout& l, TPut& put) {
    const int bits = l.bitCount;
    std::int64_t x = 0, y = 0;
    std::size_t i = 0;
    while (true) {
        if (i + 2 > size)
            return TBmpError::Truncated;
        const int count = p[i], value = p[i + 1];
        i += 2;
        if (count > 0) { // a run of one value (RLE4: two alternating nibbles)
            if (y >= l.height || x + count > l.width)
                return TBmpError::BadRle;
            put.Run(y, x, count, value);
            x += count;
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return TBmpError::None;
        } else if (value == 2) { // move right and up
            if (i + 2 > size)
                return TBmpError::Truncated;
            x += p[i];
            y += p[i + 1];
            i += 2;
            if (x > l.width || y > l.height)
                return TBmpError::BadRle;
        } else { // literal pixels, padded to a 16-bit boundary
            const std::size_t bytes = bits == 8 ? value : (value + 1) / 2;
            const std::size_t padded = (bytes + 1) & ~std::size_t(1);
            if (i + padded > size)
                return TBmpError::Truncated;
            if (y >= l.height || x + value > l.width)
                return TBmpError::BadRle;
            put.Literal(y, x, p + i, value);
            x += value;
            i += padded;
        }
    }
}

// A walk that only checks: a damaged file is refused before any pixel memory
// is taken or written.
struct TRleCheck {
    void Run(std::int64_t, std::int64_t, int, int) {}
    void Literal(std::int64_t, std::int64_t, const std::uint8_t*, int) {}
};

// A walk that writes the pixels into bottom-up rows of 8 or 4 bits; what the
// codes skip stays 0.
struct TRleWriter {
    std::uint8_t* Bits;
    std::int64_t Stride;
    int BitCount;

    std::uint8_t* Row(std::int64_t y) const { return Bits + Stride * y; }
    void Run(std::int64_t y, std::int64_t x, int count, int value) {
        if (BitCount == 8) {
            std::memset(Row(y) + x, value, static_cast<std::size_t>(count));
            return;
        }
        for (int k = 0; k < count; ++k)
            PutIndex(Row(y), 4, x + k, (k & 1) ? (value & 15) : (value >> 4));
    }
    void Literal(std::int64_t y, std::int64_t x, const std::uint8_t* data, int count) {
        if (BitCount == 8) {
            std::memcpy(Row(y) + x, data, static_cast<std::size_t>(count));
            return;
        }
        for (int k = 0; k < count; ++k)
            PutIndex(Row(y), 4, x + k, (k & 1) ? (data[k / 2] & 15) : (data[k / 2] >> 4));
    }
};

void ConvertRow(const std::uint8_t* src, std::uint8_t* dst, const TLayout& l, const TTarget& t) {
    if (!t.viaMasks) {
        std::memcpy(dst, src, static_cast<std::size_t>(StrideOf(l.width, l.bitCount)));
        return;
    }
    for (std::int64_t x = 0; x < l.width; ++x) {
        std::uint32_t v = l.bitCount == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
        std::uint8_t* o = dst + x * (t.bitCount / 8);
        o[0] = Scale(t.b, v);
        o[1] = Scale(t.g, v);
        o[2] = Scale(t.r, v);
        if (t.bitCount == 32)
            o[3] = Scale(t.a, v);
    }
}

// The pixels start at `pixelOffset` within `p`; the colour table follows the info header.
TBmpError DecodeBody(const std::uint8_t* p, std::size_t size, std::size_t infoOffset,
                     std::size_t pixelOffset, bool pixelOffsetGiven, TDibImage& out) {
    TLayout l;
    TBmpError e = ReadInfoHeader(p + infoOffset, size - infoOffset, l);
    if (e != TBmpError::None)
        return e;
    std::size_t tableOffset = infoOffset + l.headerSize;
    if (l.compression == BI_BITFIELDS && l.headerSize == 40) { // masks follow the header
        if (size < tableOffset + 12)
            return TBmpError::Truncated;
        for (int i = 0; i < 3; ++i)
            l.masks[i] = U32(p + tableOffset + 4 * i);
        tableOffset += 12;
    }
    std::uint32_t colors = 0;
    if (l.bitCount <= 8) {
        std::uint32_t max = 1u << l.bitCount;
        colors = l.colorsUsed ? l.colorsUsed : max;
        if (colors > max)
            return TBmpError::BadColorTable;
        std::size_t entry = l.core ? 3 : 4;
        if (size < tableOffset || (size - tableOffset) / entry < colors)
            return TBmpError::Truncated;
    }
    if (!pixelOffsetGiven)
        pixelOffset = tableOffset + colors * (l.core ? 3 : 4);
    if (pixelOffset < tableOffset)
        return TBmpError::BadHeader; // pixels inside the headers
    if (pixelOffset > size)
        return TBmpError::Truncated;
    const std::size_t available = size - pixelOffset;

    TTarget t = TargetOf(l);
    const bool rle = l.compression == BI_RLE8 || l.compression == BI_RLE4;
    const std::int64_t inStride = StrideOf(l.width, l.bitCount);
    const std::int64_t outStride = StrideOf(l.width, t.bitCount);
    if (outStride * l.height > kMaxPixelBytes)
        return TBmpError::SizeOverflow;
    if (rle) {
        // Runs and line ends let a few bytes cover many pixels; the rows they fill (padding
        // included) may take at most 256 bytes a compressed byte.
        if (outStride * l.height > std::int64_t(available) * 256)
            return TBmpError::SizeOverflow;
    } else if (inStride * l.height > std::int64_t(available)) {
        return TBmpError::SizeOverflow;
    }

    BITMAPINFOHEADER& h = out.info.bmiHeader;
    h = BITMAPINFOHEADER();
    h.biWidth = static_cast<LONG>(l.width);
    h.biHeight = static_cast<LONG>(l.height);
    h.biBitCount = static_cast<WORD>(t.bitCount);
    h.biSizeImage = static_cast<DWORD>(outStride * l.height);
    h.biClrUsed = colors;
    for (std::uint32_t i = 0; i < colors; ++i) {
        const std::uint8_t* c = p + tableOffset + i * (l.core ? 3 : 4);
        out.info.bmiColors[i] = RGBQUAD{c[0], c[1], c[2], 0};
    }
    if (rle) {
        TRleCheck check;
        e = WalkRle(p + pixelOffset, available, l, check);
        if (e != TBmpError::None)
            return e;
    }
    out.bits.assign(static_cast<std::size_t>(outStride * l.height), 0);
    if (rle) {
        TRleWriter writer{out.bits.data(), outStride, l.bitCount};
        WalkRle(p + pixelOffset, available, l, writer);
    } else {
        for (std::int64_t row = 0; row < l.height; ++row) {
            // Output rows are bottom-up; a top-down file's first row is the top one.
            std::int64_t outRow = l.topDown ? l.height - 1 - row : row;
            ConvertRow(p + pixelOffset + inStride * row, out.bits.data() + outStride * outRow, l,
                       t);
        }
    }
    return CheckIndices(out, static_cast<int>(colors));
}

TBmpError Finish(TBmpError e, TDibImage& out) {
    if (e != TBmpError::None)
        out = TDibImage();
    return e;
}

} // namespace

TBmpError DecodeBmp(const std::uint8_t* data, std::size_t size, TDibImage& out) {
    out = TDibImage();
    if (!data || size < 14)
        return TBmpError::Truncated;
    if (data[0] != 'B' || data[1] != 'M')
        return TBmpError::BadSignature;
    std::uint32_t offset = U32(data + 10);
    bool given = offset != 0;
    if (given && offset < 14 + 12)
        return Finish(TBmpError::BadHeader, out);
    return Finish(DecodeBody(data, size, 14, offset, given, out), out);
}

TBmpError DecodePackedDib(const std::uint8_t* data, std::size_t size, TDibImage& out) {
    out = TDibImage();
    if (!data)
        return TBmpError::Truncated;
    return Finish(DecodeBody(data, size, 0, 0, false, out), out);
}

} // namespace zorbalin
