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

uint32_t PassWidth(const TPass& p, uint32_t w) {
    return w > p.X0 ? (w - p.X0 + p.DX - 1) / p.DX : 0;
}

uint32_t ReadBE(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Pixel k of a packed or byte-aligned row, all its bytes or bits, as a number.
uint64_t GetPixelBits(const Bytes& row, uint32_t k, uint32_t bpp) {
    if (bpp >= 8) {
        uint64_t v = 0;
        for (uint32_t i = 0; i < bpp / 8; ++i)
            v = v << 8 | row[k * (bpp / 8) + i];
        return v;
    }
    const uint32_t bit = k * bpp;
    return (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
}

void SetPixelBits(Bytes& row, uint32_t k, uint32_t bpp, uint64_t v) {
    if (bpp >= 8) {
        for (uint32_t i = bpp / 8; i-- > 0; v >>= 8)
            row[k * (bpp / 8) + i] = uint8_t(v);
        return;
    }
    const uint32_t bit = k * bpp;
    row[bit / 8] |= uint8_t(v << (8 - bpp - bit % 8));
}

int Predict(int type, int a, int b, int c) {
    switch (type) {
    case 1:
        return a;
    case 2:
        return b;
    case 3:
        return (a + b) / 2;
    case 4: {
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
    }
    default:
        return 0;
    }
}

// The pass images (or the one image) as lists of rows.
std::vector<std::pair<uint32_t, std::vector<Bytes>>> SplitPasses(const TSampleImage& im) {
    std::vector<std::pair<uint32_t, std::vector<Bytes>>> passes;
    if (!im.Interlace) {
        passes.push_back({im.Width, im.Rows});
        return passes;
    }
    for (const TPass& p : kPasses) {
        const uint32_t pw = PassWidth(p, im.Width);
        std::vector<Bytes> rows;
        if (pw > 0) {
            for (uint32_t y = p.Y0; y < im.Height; y += p.DY) {
                Bytes row(im.RowBytes(pw), 0);
                for (uint32_t k = 0; k < pw; ++k)
                    SetPixelBits(row, k, im.BitsPerPixel(),
                                 GetPixelBits(im.Rows[y], p.X0 + k * p.DX, im.BitsPerPixel()));
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

uint32_t TSampleImage::RowBytes(uint32_t width) const {
    return static_cast<uint32_t>((uint64_t(width) * BitsPerPixel() + 7) / 8);
}

// Sub-byte depths have one channel; wider samples lie channel by channel, big-endian.
uint32_t TSampleImage::Sample(uint32_t x, uint32_t y, uint32_t channel) const {
    return static_cast<uint32_t>(
        GetPixelBits(Rows[y], BitDepth < 8 ? x : x * Channels() + channel, BitDepth));
}

void TSampleImage::SetSample(uint32_t x, uint32_t y, uint32_t channel, uint32_t value) {
    SetPixelBits(Rows[y], BitDepth < 8 ? x : x * Channels() + channel, BitDepth, value);
}

TSampleImage MakeSampleImage(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType,
                             uint8_t interlace, uint32_t seed) {
    TSampleImage im;
    im.Width = width;
    im.Height = height;
    im.BitDepth = bitDepth;
    im.ColourType = colourType;
    im.Interlace = interlace;
    uint32_t state = seed * 2654435761u + 1;
    for (uint32_t y = 0; y < height; ++y) {
        Bytes row(im.RowBytes(width));
        for (size_t i = 0; i < row.size(); ++i) {
            state = state * 1103515245u + 12345u;
            // Half gradient, half noise, so that every filter has something to do.
            row[i] = (i + y) % 7 < 4 ? uint8_t(i * 3 + y * 5) : uint8_t(state >> 16);
        }
        // Padding bits after the last pixel are zero, as encoders write them.
        const uint32_t usedBits = width * im.BitsPerPixel() % 8;
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

TPngBuilder& TPngBuilder::Raw(const Bytes& bytes) {
    FData.insert(FData.end(), bytes.begin(), bytes.end());
    return *this;
}

static Bytes Frame(const std::string& type, const Bytes& data, bool goodCrc) {
    Bytes out = BigEndian32(static_cast<uint32_t>(data.size()));
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
    if (!data.empty())
        crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
    const Bytes c = BigEndian32(static_cast<uint32_t>(goodCrc ? crc : crc ^ 1));
    out.insert(out.end(), c.begin(), c.end());
    return out;
}

TPngBuilder& TPngBuilder::Chunk(const std::string& type, const Bytes& data) {
    return Raw(Frame(type, data, true));
}

TPngBuilder& TPngBuilder::BadCrcChunk(const std::string& type, const Bytes& data) {
    return Raw(Frame(type, data, false));
}

TPngBuilder& TPngBuilder::Ihdr(uint32_t width, uint32_t height, uint8_t bitDepth,
                               uint8_t colourType, uint8_t interlace, uint8_t compression,
                               uint8_t filter) {
    Bytes d = BigEndian32(width);
    const Bytes h = BigEndian32(height);
    d.insert(d.end(), h.begin(), h.end());
    d.insert(d.end(), {bitDepth, colourType, compression, filter, interlace});
    return Chunk("IHDR", d);
}

Bytes BigEndian32(uint32_t v) {
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

Bytes FilteredData(const TSampleImage& im, int fixedFilter) {
    Bytes out;
    const uint32_t step = std::max<uint32_t>(1, im.BitsPerPixel() / 8);
    for (const auto& [width, rows] : SplitPasses(im)) {
        const uint32_t rowBytes = im.RowBytes(width);
        if (rowBytes == 0)
            continue;
        Bytes prior(rowBytes, 0);
        for (size_t r = 0; r < rows.size(); ++r) {
            const int type = fixedFilter >= 0 ? fixedFilter : int((r * 7 + 3) % 5);
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

Bytes Compress(const Bytes& raw, int level) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

Bytes EncodePng(const TSampleImage& im, size_t idatSize, int fixedFilter) {
    TPngBuilder b;
    b.Signature().Ihdr(im.Width, im.Height, im.BitDepth, im.ColourType, im.Interlace);
    const Bytes z = Compress(FilteredData(im, fixedFilter));
    for (size_t at = 0; at < z.size(); at += idatSize)
        b.Chunk("IDAT", Bytes(z.begin() + at, z.begin() + std::min(z.size(), at + idatSize)));
    return b.Iend().Data();
}

TSampleImage ReferenceDecode(const Bytes& png) {
    TSampleImage im;
    Bytes compressed;
    for (size_t at = 8; at + 8 <= png.size();) {
        const uint32_t length = ReadBE(&png[at]);
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        const uint8_t* data = &png[at + 8];
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
    Bytes raw(1 << 16);
    Bytes all;
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

    im.Rows.assign(im.Height, Bytes(im.RowBytes(im.Width), 0));
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
        Bytes prior(rowBytes, 0);
        for (uint32_t y = pass.Y0; y < im.Height; y += pass.DY) {
            const int type = all.at(pos++);
            Bytes row(rowBytes);
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

std::vector<uint8_t> GammaTable(uint32_t gamma) {
    std::vector<uint8_t> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = uint8_t(i);
    if (gamma == 0)
        return table;
    const double exponent = 100000.0 / (gamma * 2.2);
    for (int i = 1; i < 256; ++i)
        table[i] = uint8_t(std::floor(std::pow(i / 255.0, exponent) * 255.0 + 0.5));
    return table;
}

TExpectedStorage ExpectedStorage(const TSampleImage& im) {
    TExpectedStorage s;
    const std::vector<uint8_t> gamma = GammaTable(im.Gamma);
    const bool rgb = im.ColourType == 2 || im.ColourType == 6;
    const bool alpha = im.ColourType == 4 || im.ColourType == 6;
    const bool wide = im.BitDepth == 16;
    const uint32_t bitCount = rgb ? 24 : im.BitDepth == 2 ? 4 : wide ? 8 : im.BitDepth;
    s.RowStride = static_cast<int32_t>((uint64_t(bitCount) * im.Width + 31) / 32 * 4);
    s.Colour.assign(size_t(s.RowStride) * im.Height, 0);
    if (wide)
        s.Low.assign(s.Colour.size(), 0);
    if (alpha)
        s.Alpha.assign(size_t(im.Width) * im.Height, 0);
    for (uint32_t y = 0; y < im.Height; ++y) {
        uint8_t* colour = &s.Colour[size_t(s.RowStride) * (im.Height - 1 - y)];
        uint8_t* low = wide ? &s.Low[size_t(s.RowStride) * (im.Height - 1 - y)] : nullptr;
        for (uint32_t x = 0; x < im.Width; ++x) {
            if (rgb) {
                for (int c = 0; c < 3; ++c) {
                    const uint32_t v = im.Sample(x, y, 2 - c); // blue, green, red
                    colour[3 * x + c] = gamma[uint8_t(wide ? v >> 8 : v)];
                    if (wide)
                        low[3 * x + c] = gamma[uint8_t(v)];
                }
            } else if (im.BitDepth < 8) {
                uint32_t v = im.Sample(x, y, 0);
                uint32_t bits = im.BitDepth;
                if (im.BitDepth == 2) {
                    bits = 4;
                    if (im.ColourType == 0)
                        v *= 5;
                }
                const uint32_t bit = x * bits;
                colour[bit / 8] |= uint8_t(v << (8 - bits - bit % 8));
            } else {
                const uint32_t v = im.Sample(x, y, 0);
                colour[x] = uint8_t(wide ? v >> 8 : v);
                if (wide)
                    low[x] = uint8_t(v);
            }
            if (alpha) {
                const uint32_t a = im.Sample(x, y, im.Channels() - 1);
                s.Alpha[size_t(im.Width) * y + x] = uint8_t(wide ? a >> 8 : a);
            }
        }
    }
    return s;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string PngSuitePath(const std::string& name) {
    return std::string(PNG_SUITE_DIR) + "/" + name;
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
