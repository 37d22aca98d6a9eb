#include "png_test_support.h"

#include <dirent.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pngtest {
namespace {

struct TPass {
    uint32_t X0, Y0, DX, DY;
};
const TPass kPasses[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                          {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

uint32_t PassWidth(const TPass& P, uint32_t W) {
    return W > P.X0 ? (W - P.X0 + P.DX - 1) / P.DX : 0;
}

uint32_t ReadBE(const uint8_t* P) {
    return uint32_t(P[0]) << 24 | uint32_t(P[1]) << 16 | uint32_t(P[2]) << 8 | P[3];
}

// Pixel k of a packed or byte-aligned row, all its bytes or bits, as a number.
uint64_t GetPixelBits(const TBytes& Row, uint32_t K, uint32_t Bpp) {
    if (Bpp >= 8) {
        uint64_t v = 0;
        for (uint32_t i = 0; i < Bpp / 8; ++i)
            v = v << 8 | Row[K * (Bpp / 8) + i];
        return v;
    }
    const uint32_t bit = K * Bpp;
    return (Row[bit / 8] >> (8 - Bpp - bit % 8)) & ((1u << Bpp) - 1);
}

void SetPixelBits(TBytes& Row, uint32_t K, uint32_t Bpp, uint64_t V) {
    if (Bpp >= 8) {
        for (uint32_t i = Bpp / 8; i-- > 0; V >>= 8)
            Row[K * (Bpp / 8) + i] = uint8_t(V);
        return;
    }
    const uint32_t bit = K * Bpp;
    Row[bit / 8] |= uint8_t(V << (8 - Bpp - bit % 8));
}

int Predict(int Type, int A, int B, int C) {
    switch (Type) {
    case 1:
        return A;
    case 2:
        return B;
    case 3:
        return (A + B) / 2;
    case 4: {
        const int p = A + B - C, pa = std::abs(p - A), pb = std::abs(p - B), pc = std::abs(p - C);
        return (pa <= pb && pa <= pc) ? A : (pb <= pc ? B : C);
    }
    default:
        return 0;
    }
}

// The pass images (or the one image) as lists of rows.
std::vector<std::pair<uint32_t, std::vector<TBytes>>> SplitPasses(const TSampleImage& Im) {
    std::vector<std::pair<uint32_t, std::vector<TBytes>>> passes;
    if (!Im.Interlace) {
        passes.push_back({Im.Width, Im.Rows});
        return passes;
    }
    for (const TPass& p : kPasses) {
        const uint32_t pw = PassWidth(p, Im.Width);
        std::vector<TBytes> rows;
        if (pw > 0) {
            for (uint32_t y = p.Y0; y < Im.Height; y += p.DY) {
                TBytes row(Im.RowBytes(pw), 0);
                for (uint32_t k = 0; k < pw; ++k)
                    SetPixelBits(row, k, Im.BitsPerPixel(),
                                 GetPixelBits(Im.Rows[y], p.X0 + k * p.DX, Im.BitsPerPixel()));
                rows.push_back(row);
            }
        }
        passes.push_back({pw, rows});
    }
    return passes;
}

} // namespace

const std::vector<TFormat> kValidFormats = {{0, 1}, {0, 2},  {0, 4},  {0, 8}, {0, 16},
                                            {2, 8}, {2, 16}, {3, 1},  {3, 2}, {3, 4},
                                            {3, 8}, {4, 8},  {4, 16}, {6, 8}, {6, 16}};

uint32_t TSampleImage::Channels() const {
    switch (ColourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

uint32_t TSampleImage::RowBytes(uint32_t Width) const {
    return static_cast<uint32_t>((uint64_t(Width) * BitsPerPixel() + 7) / 8);
}

// Sub-byte depths have one channel; wider samples lie channel by channel, big-endian.
uint32_t TSampleImage::Sample(uint32_t X, uint32_t Y, uint32_t Channel) const {
    return static_cast<uint32_t>(
        GetPixelBits(Rows[Y], BitDepth < 8 ? X : X * Channels() + Channel, BitDepth));
}

void TSampleImage::SetSample(uint32_t X, uint32_t Y, uint32_t Channel, uint32_t Value) {
    SetPixelBits(Rows[Y], BitDepth < 8 ? X : X * Channels() + Channel, BitDepth, Value);
}

TSampleImage MakeSampleImage(uint32_t Width, uint32_t Height, uint8_t BitDepth, uint8_t ColourType,
                             uint8_t Interlace, uint32_t Seed) {
    TSampleImage im;
    im.Width = Width;
    im.Height = Height;
    im.BitDepth = BitDepth;
    im.ColourType = ColourType;
    im.Interlace = Interlace;
    uint32_t state = Seed * 2654435761u + 1;
    for (uint32_t y = 0; y < Height; ++y) {
        TBytes row(im.RowBytes(Width));
        for (size_t i = 0; i < row.size(); ++i) {
            state = state * 1103515245u + 12345u;
            // Half gradient, half noise, so that every filter has something to do.
            row[i] = (i + y) % 7 < 4 ? uint8_t(i * 3 + y * 5) : uint8_t(state >> 16);
        }
        // Padding bits after the last pixel are zero, as encoders write them.
        const uint32_t usedBits = Width * im.BitsPerPixel() % 8;
        if (usedBits != 0)
            row.back() &= uint8_t(0xFF << (8 - usedBits));
        im.Rows.push_back(row);
    }
    return im;
}

TPngBuilder& TPngBuilder::Signature() {
    const uint8_t sig[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    FData.insert(FData.end(), sig, sig + 8);
    return *this;
}

TPngBuilder& TPngBuilder::Raw(const TBytes& Bytes) {
    FData.insert(FData.end(), Bytes.begin(), Bytes.end());
    return *this;
}

TBytes Frame(const std::string& Type, const TBytes& Data, bool GoodCrc) {
    TBytes out = BigEndian32(static_cast<uint32_t>(Data.size()));
    out.insert(out.end(), Type.begin(), Type.end());
    out.insert(out.end(), Data.begin(), Data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(Type.data()), 4);
    if (!Data.empty())
        crc = crc32(crc, Data.data(), static_cast<uInt>(Data.size()));
    TBytes c = BigEndian32(static_cast<uint32_t>(GoodCrc ? crc : crc ^ 1));
    out.insert(out.end(), c.begin(), c.end());
    return out;
}

TPngBuilder& TPngBuilder::Chunk(const std::string& Type, const TBytes& Data) {
    return Raw(Frame(Type, Data, true));
}

TPngBuilder& TPngBuilder::BadCrcChunk(const std::string& Type, const TBytes& Data) {
    return Raw(Frame(Type, Data, false));
}

TPngBuilder& TPngBuilder::Ihdr(uint32_t Width, uint32_t Height, uint8_t BitDepth,
                               uint8_t ColourType, uint8_t Interlace, uint8_t Compression,
                               uint8_t Filter) {
    TBytes d = BigEndian32(Width);
    TBytes h = BigEndian32(Height);
    d.insert(d.end(), h.begin(), h.end());
    d.insert(d.end(), {BitDepth, ColourType, Compression, Filter, Interlace});
    return Chunk("IHDR", d);
}

TBytes BigEndian32(uint32_t V) {
    return {uint8_t(V >> 24), uint8_t(V >> 16), uint8_t(V >> 8), uint8_t(V)};
}

TBytes FilteredData(const TSampleImage& Im, int FixedFilter) {
    TBytes out;
    const uint32_t step = std::max<uint32_t>(1, Im.BitsPerPixel() / 8);
    for (const auto& [width, rows] : SplitPasses(Im)) {
        const uint32_t rowBytes = Im.RowBytes(width);
        if (rowBytes == 0)
            continue;
        TBytes prior(rowBytes, 0);
        for (size_t r = 0; r < rows.size(); ++r) {
            const int type = FixedFilter >= 0 ? FixedFilter : int((r * 7 + 3) % 5);
            out.push_back(uint8_t(type));
            for (uint32_t i = 0; i < rowBytes; ++i) {
                const int a = i >= step ? rows[r][i - step] : 0, b = prior[i],
                          c = i >= step ? prior[i - step] : 0;
                out.push_back(uint8_t(rows[r][i] - Predict(type, a, b, c)));
            }
            prior = rows[r];
        }
    }
    return out;
}

TBytes Compress(const TBytes& Raw, int Level) {
    uLongf size = compressBound(static_cast<uLong>(Raw.size()));
    TBytes out(size);
    if (compress2(out.data(), &size, Raw.data(), static_cast<uLong>(Raw.size()), Level) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

TBytes EncodePng(const TSampleImage& Im, size_t IdatSize, int FixedFilter) {
    TPngBuilder b;
    b.Signature().Ihdr(Im.Width, Im.Height, Im.BitDepth, Im.ColourType, Im.Interlace);
    TBytes z = Compress(FilteredData(Im, FixedFilter));
    for (size_t at = 0; at < z.size(); at += IdatSize)
        b.Chunk("IDAT", TBytes(z.begin() + at, z.begin() + std::min(z.size(), at + IdatSize)));
    return b.Iend().Data();
}

TSampleImage ReferenceDecode(const TBytes& Png) {
    TSampleImage im;
    TBytes compressed;
    for (size_t at = 8; at + 8 <= Png.size();) {
        const uint32_t length = ReadBE(&Png[at]);
        const std::string type(Png.begin() + at + 4, Png.begin() + at + 8);
        const uint8_t* data = &Png[at + 8];
        if (type == "IHDR") {
            im.Width = ReadBE(data);
            im.Height = ReadBE(data + 4);
            im.BitDepth = data[8];
            im.ColourType = data[9];
            im.Interlace = data[12];
        } else if (type == "gAMA" && length == 4) {
            im.Gamma = ReadBE(data);
        } else if (type == "PLTE") {
            im.Palette.assign(data, data + length);
        } else if (type == "tRNS") {
            im.Transparency.assign(data, data + length);
            im.HasTransparency = true;
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), data, data + length);
        }
        at += 12 + length;
    }
    z_stream z{};
    inflateInit(&z);
    TBytes raw(1 << 16);
    TBytes all;
    z.next_in = compressed.data();
    z.avail_in = static_cast<uInt>(compressed.size());
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = raw.data();
        z.avail_out = static_cast<uInt>(raw.size());
        status = inflate(&z, Z_NO_FLUSH);
        all.insert(all.end(), raw.data(), raw.data() + (raw.size() - z.avail_out));
    }
    inflateEnd(&z);

    im.Rows.assign(im.Height, TBytes(im.RowBytes(im.Width), 0));
    const uint32_t step = std::max<uint32_t>(1, im.BitsPerPixel() / 8);
    size_t pos = 0;
    const TPass whole{0, 0, 1, 1};
    const int passCount = im.Interlace ? 7 : 1;
    for (int p = 0; p < passCount; ++p) {
        const TPass& pass = im.Interlace ? kPasses[p] : whole;
        const uint32_t pw = PassWidth(pass, im.Width);
        const uint32_t rowBytes = im.RowBytes(pw);
        if (rowBytes == 0)
            continue;
        TBytes prior(rowBytes, 0);
        for (uint32_t y = pass.Y0; y < im.Height; y += pass.DY) {
            const int type = all.at(pos++);
            TBytes row(rowBytes);
            for (uint32_t i = 0; i < rowBytes; ++i) {
                const int a = i >= step ? row[i - step] : 0, b = prior[i],
                          c = i >= step ? prior[i - step] : 0;
                row[i] = uint8_t(all.at(pos++) + Predict(type, a, b, c));
            }
            for (uint32_t k = 0; k < pw; ++k)
                SetPixelBits(im.Rows[y], pass.X0 + k * pass.DX, im.BitsPerPixel(),
                             GetPixelBits(row, k, im.BitsPerPixel()));
            prior = row;
        }
    }
    return im;
}

std::vector<uint8_t> GammaTable(uint32_t Gamma) {
    std::vector<uint8_t> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = uint8_t(i);
    if (Gamma == 0)
        return table;
    const double exponent = 100000.0 / (Gamma * 2.2);
    for (int i = 1; i < 256; ++i)
        table[i] = uint8_t(std::floor(std::pow(i / 255.0, exponent) * 255.0 + 0.5));
    return table;
}

TExpectedStorage ExpectedStorage(const TSampleImage& Im) {
    TExpectedStorage s;
    const std::vector<uint8_t> gamma = GammaTable(Im.Gamma);
    const bool rgb = Im.ColourType == 2 || Im.ColourType == 6;
    const bool alpha = Im.ColourType == 4 || Im.ColourType == 6;
    const bool wide = Im.BitDepth == 16;
    const uint32_t bitCount = rgb ? 24 : Im.BitDepth == 2 ? 4 : wide ? 8 : Im.BitDepth;
    s.RowStride = static_cast<int32_t>((uint64_t(bitCount) * Im.Width + 31) / 32 * 4);
    s.Colour.assign(size_t(s.RowStride) * Im.Height, 0);
    if (wide)
        s.Low.assign(s.Colour.size(), 0);
    if (alpha)
        s.Alpha.assign(size_t(Im.Width) * Im.Height, 0);
    for (uint32_t y = 0; y < Im.Height; ++y) {
        uint8_t* colour = &s.Colour[size_t(s.RowStride) * (Im.Height - 1 - y)];
        uint8_t* low = wide ? &s.Low[size_t(s.RowStride) * (Im.Height - 1 - y)] : nullptr;
        for (uint32_t x = 0; x < Im.Width; ++x) {
            if (rgb) {
                for (int c = 0; c < 3; ++c) {
                    const uint32_t v = Im.Sample(x, y, 2 - c); // blue, green, red
                    colour[3 * x + c] = gamma[uint8_t(wide ? v >> 8 : v)];
                    if (wide)
                        low[3 * x + c] = gamma[uint8_t(v)];
                }
            } else if (Im.BitDepth < 8) {
                uint32_t v = Im.Sample(x, y, 0);
                uint32_t bits = Im.BitDepth;
                if (Im.BitDepth == 2) {
                    bits = 4;
                    if (Im.ColourType == 0)
                        v *= 5;
                }
                const uint32_t bit = x * bits;
                colour[bit / 8] |= uint8_t(v << (8 - bits - bit % 8));
            } else {
                const uint32_t v = Im.Sample(x, y, 0);
                colour[x] = uint8_t(wide ? v >> 8 : v);
                if (wide)
                    low[x] = uint8_t(v);
            }
            if (alpha) {
                const uint32_t a = Im.Sample(x, y, Im.Channels() - 1);
                s.Alpha[size_t(Im.Width) * y + x] = uint8_t(wide ? a >> 8 : a);
            }
        }
    }
    return s;
}

TBytes ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string PngSuitePath(const std::string& Name) {
    return std::string(PNG_SUITE_DIR) + "/" + Name;
}

std::vector<std::string> PngSuiteNames() {
    std::vector<std::string> names;
    DIR* folder = opendir(PNG_SUITE_DIR);
    if (!folder)
        throw std::runtime_error("PngSuite is missing: " + std::string(PNG_SUITE_DIR));
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
            names.push_back(name);
    }
    closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace pngtest
