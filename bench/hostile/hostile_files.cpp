#include "hostile_files.h"

#include <zlib.h>

#include <cmath>
#include <fstream>
#include <stdexcept>

namespace zorbalin::hostile {
namespace {

void PutLittle(TBytes& Out, std::uint32_t Value, int Bytes) {
    for (int i = 0; i < Bytes; ++i)
        Out.push_back(static_cast<std::uint8_t>(Value >> (8 * i)));
}

void PutBig(TBytes& Out, std::uint32_t Value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        Out.push_back(static_cast<std::uint8_t>(Value >> shift));
}

// Runs of one palette entry, split into pieces of at most 255 pixels.
void PutRuns(TBytes& Out, int Count, std::uint8_t Index) {
    for (; Count > 0; Count -= 255) {
        Out.push_back(static_cast<std::uint8_t>(Count > 255 ? 255 : Count));
        Out.push_back(Index);
    }
}

void PutChunk(TBytes& Png, const char* Type, const TBytes& Data) {
    PutBig(Png, static_cast<std::uint32_t>(Data.size()));
    const std::size_t start = Png.size();
    Png.insert(Png.end(), Type, Type + 4);
    Png.insert(Png.end(), Data.begin(), Data.end());
    const uLong crc = crc32(0, Png.data() + start, static_cast<uInt>(Png.size() - start));
    PutBig(Png, static_cast<std::uint32_t>(crc));
}

TBytes Header(std::uint32_t Width, std::uint32_t Height, std::uint8_t Depth, std::uint8_t Type) {
    TBytes data;
    PutBig(data, Width);
    PutBig(data, Height);
    data.insert(data.end(), {Depth, Type, 0, 0, 0});
    return data;
}

TBytes Compress(const TBytes& Raw) {
    uLongf size = compressBound(static_cast<uLong>(Raw.size()));
    TBytes out(size);
    if (compress2(out.data(), &size, Raw.data(), static_cast<uLong>(Raw.size()), 9) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

// zlib data of `bytes` zero bytes, deflated piece by piece.
TBytes CompressedZeros(std::uint64_t Bytes) {
    z_stream z{};
    if (deflateInit(&z, 9) != Z_OK)
        throw std::runtime_error("deflateInit failed");
    const TBytes zeros(1 << 20, 0);
    TBytes out;
    std::uint8_t buffer[1 << 16];
    int flush = Z_NO_FLUSH;
    do {
        if (z.avail_in == 0 && Bytes > 0) {
            const std::uint64_t piece = Bytes < zeros.size() ? Bytes : zeros.size();
            z.next_in = const_cast<Bytef*>(zeros.data());
            z.avail_in = static_cast<uInt>(piece);
            Bytes -= piece;
        }
        flush = Bytes == 0 ? Z_FINISH : Z_NO_FLUSH;
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        deflate(&z, flush);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    } while (!(flush == Z_FINISH && z.avail_out != 0));
    deflateEnd(&z);
    return out;
}

TBytes OnePixelPicture(const TBytes& ExtraChunks) {
    TBytes png = {137, 80, 78, 71, 13, 10, 26, 10};
    PutChunk(png, "IHDR", Header(1, 1, 8, 6));
    png.insert(png.end(), ExtraChunks.begin(), ExtraChunks.end());
    PutChunk(png, "IDAT", Compress({0, 255, 0, 0, 255}));
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace

TBytes RunLengthPebble(int Side, bool WithEndMarker) {
    TBytes rows;
    const double radius = Side / 2.0;
    for (int y = 0; y < Side; ++y) {
        const double dy = y + 0.5 - radius;
        const int half =
            dy * dy < radius * radius ? static_cast<int>(std::sqrt(radius * radius - dy * dy)) : 0;
        const int left = static_cast<int>(radius) - half;
        PutRuns(rows, left, 0);
        PutRuns(rows, 2 * half, 1);
        rows.insert(rows.end(), {0, 0}); // the rest of the row stays entry 0
    }
    if (WithEndMarker)
        rows.insert(rows.end(), {0, 1});
    TBytes bmp = {'B', 'M'};
    const std::uint32_t pixelOffset = 14 + 40 + 2 * 4;
    PutLittle(bmp, pixelOffset + static_cast<std::uint32_t>(rows.size()), 4);
    PutLittle(bmp, 0, 4);
    PutLittle(bmp, pixelOffset, 4);
    PutLittle(bmp, 40, 4);
    PutLittle(bmp, static_cast<std::uint32_t>(Side), 4);
    PutLittle(bmp, static_cast<std::uint32_t>(Side), 4);
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

TBytes CompressedTextBomb(std::uint64_t TextBytes) {
    TBytes data = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 0};
    const TBytes text = CompressedZeros(TextBytes);
    data.insert(data.end(), text.begin(), text.end());
    TBytes chunk;
    PutChunk(chunk, "zTXt", data);
    return OnePixelPicture(chunk);
}

TBytes ManyTextChunks(int Count) {
    TBytes chunks;
    for (int i = 0; i < Count; ++i)
        PutChunk(chunks, "tEXt", {'a', 0, 'b'});
    return OnePixelPicture(chunks);
}

TBytes HugeHeaderWithoutRows(std::uint32_t Width, std::uint32_t Height) {
    TBytes png = {137, 80, 78, 71, 13, 10, 26, 10};
    PutChunk(png, "IHDR", Header(Width, Height, 16, 6));
    PutChunk(png, "IDAT", Compress({0, 0, 0}));
    PutChunk(png, "IEND", {});
    return png;
}

void WriteBytes(const std::string& Path, const TBytes& Bytes) {
    std::ofstream file(Path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(Bytes.data()),
               static_cast<std::streamsize>(Bytes.size()));
    if (!file.flush())
        throw std::runtime_error("cannot write " + Path);
}

} // namespace zorbalin::hostile
