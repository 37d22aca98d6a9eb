#include "reference_png.h"

#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace zorbalin::testing {
namespace {

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           p[3];
}

int Predict(int filter, int left, int up, int upLeft) {
    switch (filter) {
    case 1:
        return left;
    case 2:
        return up;
    case 3:
        return (left + up) / 2;
    case 4: {
        const int p = left + up - upLeft;
        const int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upLeft);
        if (pa <= pb && pa <= pc)
            return left;
        return pb <= pc ? up : upLeft;
    }
    default:
        return 0;
    }
}

bool Inflate(const std::vector<std::uint8_t>& in, std::vector<std::uint8_t>& out) {
    uLongf size = static_cast<uLongf>(out.size());
    return uncompress(out.data(), &size, in.data(), static_cast<uLong>(in.size())) == Z_OK &&
           size == out.size();
}

} // namespace

int TReferencePng::Channels() const {
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

bool ReadReferencePng(const std::string& path, TReferencePng& png) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
    if (data.size() < 8)
        return false;
    std::vector<std::uint8_t> compressed;
    int interlace = 0;
    for (std::size_t p = 8; p + 12 <= data.size();) {
        const std::uint32_t length = BigEndian32(&data[p]);
        const std::string type(data.begin() + p + 4, data.begin() + p + 8);
        const std::uint8_t* body = &data[p + 8];
        if (p + 12 + length > data.size())
            return false;
        if (type == "IHDR") {
            png.Width = BigEndian32(body);
            png.Height = BigEndian32(body + 4);
            png.BitDepth = body[8];
            png.ColourType = body[9];
            interlace = body[12];
        } else if (type == "PLTE") {
            for (std::uint32_t i = 0; i + 2 < length; i += 3)
                png.Palette.push_back({body[i], body[i + 1], body[i + 2]});
        } else if (type == "tRNS") {
            png.Transparency.assign(body, body + length);
            png.HasTransparency = true;
        } else if (type == "gAMA" && length == 4) {
            png.Gamma = BigEndian32(body);
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), body, body + length);
        } else if (type == "IEND") {
            break;
        }
        p += 12 + length;
    }
    if (interlace != 0 || png.Width == 0)
        return false;
    const int channels = png.Channels();
    const std::size_t bitsPerPixel = static_cast<std::size_t>(channels) * png.BitDepth;
    const std::size_t rowBytes = (png.Width * bitsPerPixel + 7) / 8;
    const int step = static_cast<int>(std::max<std::size_t>(1, bitsPerPixel / 8));
    std::vector<std::uint8_t> raw((rowBytes + 1) * png.Height);
    if (!Inflate(compressed, raw))
        return false;

    std::vector<std::uint8_t> prior(rowBytes, 0), row(rowBytes);
    png.Samples.clear();
    for (std::uint32_t y = 0; y < png.Height; ++y) {
        const std::uint8_t* line = &raw[y * (rowBytes + 1)];
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int left = i >= static_cast<std::size_t>(step) ? row[i - step] : 0;
            const int upLeft = i >= static_cast<std::size_t>(step) ? prior[i - step] : 0;
            row[i] =
                static_cast<std::uint8_t>(line[1 + i] + Predict(line[0], left, prior[i], upLeft));
        }
        for (std::uint32_t x = 0; x < png.Width; ++x) {
            for (int c = 0; c < channels; ++c) {
                const std::size_t index = static_cast<std::size_t>(x) * channels + c;
                std::uint16_t value;
                if (png.BitDepth == 16) {
                    value = static_cast<std::uint16_t>((row[2 * index] << 8) | row[2 * index + 1]);
                } else if (png.BitDepth == 8) {
                    value = row[index];
                } else {
                    const std::size_t bit = index * png.BitDepth;
                    value =
                        (row[bit / 8] >> (8 - png.BitDepth - bit % 8)) & ((1 << png.BitDepth) - 1);
                }
                png.Samples.push_back(value);
            }
        }
        prior = row;
    }
    return true;
}

std::array<std::uint8_t, 256> ReferenceGammaTable(std::uint32_t gamma) {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        if (gamma == 0 || i == 0) {
            table[i] = static_cast<std::uint8_t>(gamma == 0 ? i : 0);
            continue;
        }
        const double exponent = 1.0 / (gamma / 100000.0 * 2.2);
        table[i] = static_cast<std::uint8_t>(std::lround(std::pow(i / 255.0, exponent) * 255.0));
    }
    return table;
}

} // namespace zorbalin::testing
