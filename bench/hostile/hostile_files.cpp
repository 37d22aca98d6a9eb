#include "hostile_files.h"

#include <zlib.h>

#include <cmath>
#include <fstream>
#include <stdexcept>

namespace zorbalin::hostile {
namespace {

void PutLittle(TBytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutBig(TBytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Runs of one palette entry, split into pieces of at most 255 pixels.
void PutRuns(TBytes& out, int count, std::uint8_t index) {
    for (; count > 0; count -= 255) {
        out.push_back(static_cast<std::uint8_t>(count > 255 ? 255 : count));
        out.push_back(index);
    }
}

void PutChunk(TBytes& png, const char* type, const TBytes& data) {
    PutBig(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    const uLong crc = crc32(0, png.data() + start, static_cast<uInt>(png.size() - start));
    PutBig(png, static_cast<std::uint32_t>(crc));
}

TBytes Header(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t type) {
    TBytes data;
    PutBig(data, width);
    PutBig(data, height);
    data.insert(data.end(), {depth, type, 0, 0, 0});
    return data;
}

TBytes Compress(const TBytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    TBytes out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

// zlib data of `bytes` zero bytes, deflated piece by piece.
TBytes CompressedZeros(std::uint64_t bytes) {
    z_stream z{};
    if (deflateInit(&z, 9) != Z_OK)
        throw std::runtime_error("deflateInit failed");
    const TBytes zeros(1 << 20, 0);
    TBytes out;
    std::uint8_t buffer[1 << 16];
    int flush = Z_NO_FLUSH;
    do {
        if (z.avail_in == 0 && bytes > 0) {
            const std::uint64_t piece = bytes < zeros.size() ? bytes : zeros.size();
            z.next_in = const_cast<Bytef*>(zeros.data());
            z.avail_in = static_cast<uInt>(piece);
            bytes -= piece;
        }
        flush = bytes == 0 ? Z_FINISH : Z_NO_FLUSH;
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        deflate(&z, flush);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    } while (!(flush == Z_FINISH && z.avail_out != 0));
    deflateEnd(&z);
    return out;
}

TBytes OnePixelPicture(const TBytes& extraChunks) {
    TBytes png = {137, 80, 78, 71, 13, 10, 26, 10};
    PutChunk(png, "IHDR", Header(1, 1, 8, 6));
    png.insert(png.end(), extraChunks.begin(), extraChunks.end());
    PutChunk(png, "IDAT", Compress({0, 255, 0, 0, 255}));
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace

TBytes RunLengthPebble(int side, bool withEndMarker) {
    TBytes rows;
    const double radius = side / 2.0;
    for (int y = 0; y < side; ++y) {
        const double dy = y + 0.5 - radius;
        const int half =
            dy * dy < radius * radius ? static_cast<int>(std::sqrt(radius * radius - dy * dy)) : 0;
        const int left = static_cast<int>(radius) - half;
        PutRuns(rows, left, 0);
        PutRuns(rows, 2 * half, 1);
        rows.insert(rows.end(), {0, 0}); // the rest of the row stays entry 0
    }
    if (withEndMarker)
        rows.insert(rows.end(), {0, 1});
    TBytes bmp = {'B', 'M'};
    const std::uint32_t pixelOffset = 14 + 40 + 2 * 4;
    PutLittle(bmp, pixelOffset + static_cast<std::uint32_t>(rows.size()), 4);
    PutLittle(bmp, 0, 4);
    PutLittle(bmp, pixelOffset, 4);
    PutLittle(bmp, 40, 4);
    PutLittle(bmp, static_cast<std::uint32_t>(side), 4);
    PutLittle(bmp, static_cast<std::uint32_t>(side), 4);
    PutLittle(bmp, 1, 2);
    PutLittle(bmp, 8, 2);
    PutLittle(bmp, 1, 4); // BI_RLE8
    PutLittle(bmp, static_cast<std::uint32_t>(rows.size()), 4);
    PutLittle(bmp, 2835, 4);
    PutLittle(bmp, 2835, 4);
    PutLittle(bmp, 2, 4); // two colours used
    PutLittle(bmp, 0, 4);
    PutLittle(bmp, 0x00203040, 4); // background: dark blue-grey
    PutLittle(bmp, 0x00E0C020, 4); // the pebble: gold
    bmp.insert(bmp.end(), rows.begin(), rows.end());
    return bmp;
}

TBytes CompressedTextBomb(std::uint64_t textBytes) {
    TBytes data = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 0};
    const TBytes text = CompressedZeros(textBytes);
    data.insert(data.end(), text.begin(), text.end());
    TBytes chunk;
    PutChunk(chunk, "zTXt", data);
    return OnePixelPicture(chunk);
}

TBytes ManyTextChunks(int count) {
    TBytes chunks;
    for (int i = 0; i < count; ++i)
        PutChunk(chunks, "tEXt", {'a', 0, 'b'});
    return OnePixelPicture(chunks);
}

TBytes HugeHeaderWithoutRows(std::uint32_t width, std::uint32_t height) {
    TBytes png = {137, 80, 78, 71, 13, 10, 26, 10};
    PutChunk(png, "IHDR", Header(width, height, 16, 6));
    PutChunk(png, "IDAT", Compress({0, 0, 0}));
    PutChunk(png, "IEND", {});
    return png;
}

void WriteBytes(const std::string& path, const TBytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file.flush())
        throw std::runtime_error("cannot write " + path);
}

} // namespace zorbalin::hostile
