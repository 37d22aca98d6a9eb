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

std::uint16_t U16(const std::uint8_t* P) {
    return std::uint16_t(P[0] | (P[1] << 8));
}
std::uint32_t U32(const std::uint8_t* P) {
    return std::uint32_t(P[0]) | (std::uint32_t(P[1]) << 8) | (std::uint32_t(P[2]) << 16) |
           (std::uint32_t(P[3]) << 24);
}

// What the headers say, in one place.
struct TLayout {
    std::uint32_t HeaderSize = 0;
    std::int64_t Width = 0;
    std::int64_t Height = 0; // absolute
    bool TopDown = false;
    int BitCount = 0;
    std::uint32_t Compression = BI_RGB;
    std::uint32_t ColorsUsed = 0;
    std::uint32_t Masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    bool Core = false;                     // 12-byte header: 3-byte colour entries
};

TBmpError ReadInfoHeader(const std::uint8_t* P, std::size_t Size, TLayout& L) {
    if (Size < 4)
        return TBmpError::Truncated;
    L.HeaderSize = U32(P);
    const std::uint32_t known[] = {12, 40, 52, 56, 108, 124};
    if (std::find(std::begin(known), std::end(known), L.HeaderSize) == std::end(known))
        return TBmpError::BadHeader;
    if (Size < L.HeaderSize)
        return TBmpError::Truncated;
    int planes;
    if (L.HeaderSize == 12) {
        L.Core = true;
        L.Width = U16(P + 4);
        L.Height = U16(P + 6);
        planes = U16(P + 8);
        L.BitCount = U16(P + 10);
    } else {
        L.Width = static_cast<std::int32_t>(U32(P + 4));
        std::int32_t h = static_cast<std::int32_t>(U32(P + 8));
        if (h == INT32_MIN)
            return TBmpError::BadSize;
        L.TopDown = h < 0;
        L.Height = h < 0 ? -std::int64_t(h) : h;
        planes = U16(P + 12);
        L.BitCount = U16(P + 14);
        L.Compression = U32(P + 16);
        L.ColorsUsed = U32(P + 32);
        if (L.HeaderSize >= 52)
            for (int i = 0; i < (L.HeaderSize >= 56 ? 4 : 3); ++i)
                L.Masks[i] = U32(P + 40 + 4 * i);
    }
    if (planes != 1)
        return TBmpError::BadHeader;
    const int bits[] = {1, 4, 8, 16, 24, 32};
    if (std::find(std::begin(bits), std::end(bits), L.BitCount) == std::end(bits))
        return TBmpError::BadHeader;
    switch (L.Compression) {
    case BI_RGB:
        break;
    case BI_RLE8:
        if (L.BitCount != 8 || L.TopDown)
            return TBmpError::BadHeader;
        break;
    case BI_RLE4:
        if (L.BitCount != 4 || L.TopDown)
            return TBmpError::BadHeader;
        break;
    case BI_BITFIELDS:
        if (L.BitCount != 16 && L.BitCount != 32)
            return TBmpError::BadHeader;
        break;
    default:
        return TBmpError::BadHeader;
    }
    if (L.Width <= 0 || L.Height <= 0 || L.Width > kMaxSide || L.Height > kMaxSide)
        return TBmpError::BadSize;
    return TBmpError::None;
}

struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    std::uint32_t Max = 0; // the mask shifted down
};

TChannel ChannelOf(std::uint32_t Mask) {
    TChannel c;
    c.Mask = Mask;
    if (!Mask)
        return c;
    while (!((Mask >> c.Shift) & 1))
        ++c.Shift;
    c.Max = Mask >> c.Shift;
    return c;
}

std::uint8_t Scale(const TChannel& C, std::uint32_t Pixel) {
    if (!C.Mask)
        return 0;
    std::uint64_t v = (Pixel & C.Mask) >> C.Shift;
    return static_cast<std::uint8_t>((v * 255 + C.Max / 2) / C.Max);
}

// Output format for a layout: 16-bit 5-5-5 and 32-bit B, G, R, X stay; other masks convert.
struct TTarget {
    int BitCount = 0;
    bool ViaMasks = false;
    TChannel R, G, B, A;
};

TTarget TargetOf(const TLayout& L) {
    TTarget t;
    t.BitCount = L.BitCount;
    if (L.Compression != BI_BITFIELDS)
        return t;
    if (L.BitCount == 16 && L.Masks[0] == 0x7C00 && L.Masks[1] == 0x03E0 && L.Masks[2] == 0x001F)
        return t;
    if (L.BitCount == 32 && L.Masks[0] == 0xFF0000 && L.Masks[1] == 0xFF00 && L.Masks[2] == 0xFF)
        return t;
    t.ViaMasks = true;
    t.BitCount = L.BitCount == 16 ? 24 : 32;
    t.R = ChannelOf(L.Masks[0]);
    t.G = ChannelOf(L.Masks[1]);
    t.B = ChannelOf(L.Masks[2]);
    t.A = ChannelOf(L.Masks[3]);
    return t;
}

std::int64_t StrideOf(std::int64_t Width, int BitCount) {
    return ((BitCount * Width + 31) / 32) * 4;
}

TBmpError CheckIndices(const TDibImage& Image, int ColorCount) {
    const BITMAPINFOHEADER& h = Image.Info.bmiHeader;
    if (h.biBitCount > 8 || ColorCount >= (1 << h.biBitCount))
        return TBmpError::None;
    std::int64_t stride = StrideOf(h.biWidth, h.biBitCount);
    for (std::int64_t y = 0; y < h.biHeight; ++y) {
        const std::uint8_t* row = Image.Bits.data() + stride * y;
        for (std::int64_t x = 0; x < h.biWidth; ++x) {
            int index;
            if (h.biBitCount == 8)
                index = row[x];
            else if (h.biBitCount == 4)
                index = (x & 1) ? (row[x >> 1] & 15) : (row[x >> 1] >> 4);
            else
                index = (row[x >> 3] >> (7 - (x & 7))) & 1;
            if (index >= ColorCount)
                return TBmpError::BadPaletteIndex;
        }
    }
    return TBmpError::None;
}

void PutIndex(std::uint8_t* Row, int BitCount, std::int64_t X, int Value) {
    if (BitCount == 8) {
        Row[X] = static_cast<std::uint8_t>(Value);
    } else if (X & 1) {
        Row[X >> 1] = static_cast<std::uint8_t>((Row[X >> 1] & 0xF0) | (Value & 15));
    } else {
        Row[X >> 1] = static_cast<std::uint8_t>((Row[X >> 1] & 0x0F) | ((Value & 15) << 4));
    }
}

// Walks the run-length codes and hands every run and literal to `put` with its
// place (row 0 is the bottom row), checking that each stays inside the picture.
// The walk itself costs only the file's bytes; what it puts costs the pixels.
template <class TPut>
TBmpError WalkRle(const std::uint8_t* P, std::size_t Size, const TLayout& L, TPut& Put) {
    const int bits = L.BitCount;
    std::int64_t x = 0, y = 0;
    std::size_t i = 0;
    while (true) {
        if (i + 2 > Size)
            return TBmpError::Truncated;
        const int count = P[i], value = P[i + 1];
        i += 2;
        if (count > 0) { // a run of one value (RLE4: two alternating nibbles)
            if (y >= L.Height || x + count > L.Width)
                return TBmpError::BadRle;
            Put.Run(y, x, count, value);
            x += count;
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return TBmpError::None;
        } else if (value == 2) { // move right and up
            if (i + 2 > Size)
                return TBmpError::Truncated;
            x += P[i];
            y += P[i + 1];
            i += 2;
            if (x > L.Width || y > L.Height)
                return TBmpError::BadRle;
        } else { // literal pixels, padded to a 16-bit boundary
            const std::size_t bytes = bits == 8 ? value : (value + 1) / 2;
            const std::size_t padded = (bytes + 1) & ~std::size_t(1);
            if (i + padded > Size)
                return TBmpError::Truncated;
            if (y >= L.Height || x + value > L.Width)
                return TBmpError::BadRle;
            Put.Literal(y, x, P + i, value);
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

    std::uint8_t* Row(std::int64_t Y) const { return Bits + Stride * Y; }
    void Run(std::int64_t Y, std::int64_t X, int Count, int Value) {
        if (BitCount == 8) {
            std::memset(Row(Y) + X, Value, static_cast<std::size_t>(Count));
            return;
        }
        for (int k = 0; k < Count; ++k)
            PutIndex(Row(Y), 4, X + k, (k & 1) ? (Value & 15) : (Value >> 4));
    }
    void Literal(std::int64_t Y, std::int64_t X, const std::uint8_t* Data, int Count) {
        if (BitCount == 8) {
            std::memcpy(Row(Y) + X, Data, static_cast<std::size_t>(Count));
            return;
        }
        for (int k = 0; k < Count; ++k)
            PutIndex(Row(Y), 4, X + k, (k & 1) ? (Data[k / 2] & 15) : (Data[k / 2] >> 4));
    }
};

void ConvertRow(const std::uint8_t* Src, std::uint8_t* Dst, const TLayout& L, const TTarget& T) {
    if (!T.ViaMasks) {
        std::memcpy(Dst, Src, static_cast<std::size_t>(StrideOf(L.Width, L.BitCount)));
        return;
    }
    for (std::int64_t x = 0; x < L.Width; ++x) {
        std::uint32_t v = L.BitCount == 16 ? U16(Src + 2 * x) : U32(Src + 4 * x);
        std::uint8_t* o = Dst + x * (T.BitCount / 8);
        o[0] = Scale(T.B, v);
        o[1] = Scale(T.G, v);
        o[2] = Scale(T.R, v);
        if (T.BitCount == 32)
            o[3] = Scale(T.A, v);
    }
}

// The pixels start at `pixelOffset` within `p`; the colour table follows the info header.
TBmpError DecodeBody(const std::uint8_t* P, std::size_t Size, std::size_t InfoOffset,
                     std::size_t PixelOffset, bool PixelOffsetGiven, TDibImage& Out) {
    TLayout l;
    TBmpError e = ReadInfoHeader(P + InfoOffset, Size - InfoOffset, l);
    if (e != TBmpError::None)
        return e;
    std::size_t tableOffset = InfoOffset + l.HeaderSize;
    if (l.Compression == BI_BITFIELDS && l.HeaderSize == 40) { // masks follow the header
        if (Size < tableOffset + 12)
            return TBmpError::Truncated;
        for (int i = 0; i < 3; ++i)
            l.Masks[i] = U32(P + tableOffset + 4 * i);
        tableOffset += 12;
    }
    std::uint32_t colors = 0;
    if (l.BitCount <= 8) {
        std::uint32_t max = 1u << l.BitCount;
        colors = l.ColorsUsed ? l.ColorsUsed : max;
        if (colors > max)
            return TBmpError::BadColorTable;
        std::size_t entry = l.Core ? 3 : 4;
        if (Size < tableOffset || (Size - tableOffset) / entry < colors)
            return TBmpError::Truncated;
    }
    if (!PixelOffsetGiven)
        PixelOffset = tableOffset + colors * (l.Core ? 3 : 4);
    if (PixelOffset < tableOffset)
        return TBmpError::BadHeader; // pixels inside the headers
    if (PixelOffset > Size)
        return TBmpError::Truncated;
    const std::size_t available = Size - PixelOffset;

    TTarget t = TargetOf(l);
    const bool rle = l.Compression == BI_RLE8 || l.Compression == BI_RLE4;
    const std::int64_t inStride = StrideOf(l.Width, l.BitCount);
    const std::int64_t outStride = StrideOf(l.Width, t.BitCount);
    if (outStride * l.Height > kMaxPixelBytes)
        return TBmpError::SizeOverflow;
    if (rle) {
        // Runs and line ends let a few bytes cover many pixels; the rows they fill (padding
        // included) may take at most 256 bytes a compressed byte.
        if (outStride * l.Height > std::int64_t(available) * 256)
            return TBmpError::SizeOverflow;
    } else if (inStride * l.Height > std::int64_t(available)) {
        return TBmpError::SizeOverflow;
    }

    BITMAPINFOHEADER& h = Out.Info.bmiHeader;
    h = BITMAPINFOHEADER();
    h.biWidth = static_cast<LONG>(l.Width);
    h.biHeight = static_cast<LONG>(l.Height);
    h.biBitCount = static_cast<WORD>(t.BitCount);
    h.biSizeImage = static_cast<DWORD>(outStride * l.Height);
    h.biClrUsed = colors;
    for (std::uint32_t i = 0; i < colors; ++i) {
        const std::uint8_t* c = P + tableOffset + i * (l.Core ? 3 : 4);
        Out.Info.bmiColors[i] = RGBQUAD{c[0], c[1], c[2], 0};
    }
    if (rle) {
        TRleCheck check;
        e = WalkRle(P + PixelOffset, available, l, check);
        if (e != TBmpError::None)
            return e;
    }
    Out.Bits.assign(static_cast<std::size_t>(outStride * l.Height), 0);
    if (rle) {
        TRleWriter writer{Out.Bits.data(), outStride, l.BitCount};
        WalkRle(P + PixelOffset, available, l, writer);
    } else {
        for (std::int64_t row = 0; row < l.Height; ++row) {
            // Output rows are bottom-up; a top-down file's first row is the top one.
            std::int64_t outRow = l.TopDown ? l.Height - 1 - row : row;
            ConvertRow(P + PixelOffset + inStride * row, Out.Bits.data() + outStride * outRow, l,
                       t);
        }
    }
    return CheckIndices(Out, static_cast<int>(colors));
}

TBmpError Finish(TBmpError E, TDibImage& Out) {
    if (E != TBmpError::None)
        Out = TDibImage();
    return E;
}

} // namespace

TBmpError DecodeBmp(const std::uint8_t* Data, std::size_t Size, TDibImage& Out) {
    Out = TDibImage();
    if (!Data || Size < 14)
        return TBmpError::Truncated;
    if (Data[0] != 'B' || Data[1] != 'M')
        return TBmpError::BadSignature;
    std::uint32_t offset = U32(Data + 10);
    bool given = offset != 0;
    if (given && offset < 14 + 12)
        return Finish(TBmpError::BadHeader, Out);
    return Finish(DecodeBody(Data, Size, 14, offset, given, Out), Out);
}

TBmpError DecodePackedDib(const std::uint8_t* Data, std::size_t Size, TDibImage& Out) {
    Out = TDibImage();
    if (!Data)
        return TBmpError::Truncated;
    return Finish(DecodeBody(Data, Size, 0, 0, false, Out), Out);
}

} // namespace zorbalin
