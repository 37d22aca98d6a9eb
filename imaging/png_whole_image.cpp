// The whole-image reader: gathers the data of one run of consecutive IDAT chunks
// (checking every CRC), inflates it in one call into a buffer of the filtered
// image's exact size, and unfilters and converts every row straight into the
// storage. It declines, leaving the stream where it found it, whenever the
// outcome could differ from the streaming reader's: a damaged or short chunk, a
// zlib stream that ends early, runs long or fails its checksum, a stream that
// cannot seek, or an image too large to hold twice.
#include <libdeflate.h>
#include <sys/mman.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "imaging/png_adam7.h"
#include "imaging/png_filter.h"
#include "imaging/png_image_data.h"
#include "imaging/png_io.h"
#include "imaging/pngpicture.h"

namespace zorbalin {
namespace {

// The filtered image is held beside the storage only up to this size; larger
// pictures are streamed.
constexpr uint64_t kDefaultLimit = uint64_t(256) << 20;
// No deflate stream expands more than this: a 258-byte match in two bits.
constexpr uint64_t kMaxInflateRatio = 1032;

thread_local TImageDataPath lastPath = TImageDataPath::None;
thread_local bool wholeImageEnabled = true;
thread_local uint64_t wholeImageLimit = kDefaultLimit;

struct TDataPiece {
    int64_t Position; // of the chunk's data
    uint32_t Length;
};

// The IDAT chunks that follow one another from the first, all present in full.
struct TIdatRun {
    std::vector<TDataPiece> Pieces;
    uint64_t Bytes = 0;
    int64_t End = 0; // after the last chunk's CRC
};

bool FindIdatRun(TStream& stream, int64_t position, uint32_t length, TIdatRun& run) {
    const int64_t size = stream.Size();
    for (;;) {
        if (length > kMaxChunkLength || position + int64_t(length) + 4 > size)
            return false;
        run.Pieces.push_back({position, length});
        run.Bytes += length;
        run.End = position + length + 4;
        uint8_t next[8];
        if (stream.Seek(run.End, soFromBeginning) != run.End || StreamRead(stream, next, 8) != 8 ||
            std::memcmp(next + 4, "IDAT", 4) != 0)
            return true;
        position = run.End + 8;
        length = ReadBigEndian32(next);
    }
}

// Reads the run's data into `data`, checking each chunk's CRC.
bool GatherRun(TStream& stream, const TChunkType& type, const TIdatRun& run, uint8_t* data) {
    const uint32_t typeCrc = libdeflate_crc32(0, type.data(), 4);
    for (const TDataPiece& piece : run.Pieces) {
        uint8_t stored[4];
        if (stream.Seek(piece.Position, soFromBeginning) != piece.Position ||
            StreamRead(stream, data, piece.Length) != piece.Length ||
            StreamRead(stream, stored, 4) != 4)
            return false;
        if (libdeflate_crc32(typeCrc, data, piece.Length) != ReadBigEndian32(stored))
            return false;
        data += piece.Length;
    }
    return true;
}

// A buffer for the compressed data or the filtered image. Large ones are mapped
// afresh and asked for huge pages: every byte is written once, and filling
// megabytes through 4 KiB page faults costs more than the writing itself.
class TBuffer {
  public:
    explicit TBuffer(uint64_t size) {
        if (size < kHugePage) {
            FSmall.reset(new (std::nothrow) uint8_t[size + 1]);
            FData = FSmall.get();
            return;
        }
        FMapped = (size + 2 * kHugePage - 1) / kHugePage * kHugePage;
        void* p =
            mmap(nullptr, FMapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) {
            FMapped = 0;
            return;
        }
        FBase = static_cast<uint8_t*>(p);
        const uintptr_t aligned =
            (reinterpret_cast<uintptr_t>(p) + kHugePage - 1) & ~(kHugePage - 1);
        FData = reinterpret_cast<uint8_t*>(aligned);
        madvise(FData, (size + kHugePage - 1) / kHugePage * kHugePage, MADV_HUGEPAGE);
    }
    ~TBuffer() { Release(); }
    TBuffer(const TBuffer&) = delete;
    TBuffer& operator=(const TBuffer&) = delete;

    uint8_t* Data() const { return FData; }
    void Release() {
        if (FBase)
            munmap(FBase, FMapped);
        FBase = nullptr;
        FSmall.reset();
        FData = nullptr;
    }

  private:
    static constexpr uint64_t kHugePage = uint64_t(2) << 20;
    std::unique_ptr<uint8_t[]> FSmall;
    uint8_t* FBase = nullptr;
    uint64_t FMapped = 0;
    uint8_t* FData = nullptr;
};

struct TDecompressorDeleter {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// One zlib stream, well formed and checked, of exactly `size` bytes.
bool InflateExactly(const uint8_t* data, size_t dataSize, uint8_t* out, size_t size) {
    std::unique_ptr<libdeflate_decompressor, TDecompressorDeleter> d(
        libdeflate_alloc_decompressor());
    if (!d)
        return false;
    size_t used = 0, produced = 0;
    // Bytes after the stream's end are allowed: the streaming reader never looks
    // at them either.
    const libdeflate_result result =
        libdeflate_zlib_decompress_ex(d.get(), data, dataSize, out, size, &used, &produced);
    return result == LIBDEFLATE_SUCCESS && produced == size;
}

// Unfilters the rows in place, each over the one before it, and converts them.
class TRowPass {
  public:
    TRowPass(const TPNGObject& picture, const TChunkIHDR& header)
        : FHeader(header), FStep(picture.FilterStep()), FGamma(picture.GammaLut.data()),
          FZeros(size_t(picture.FullRowBytes()) + 1, 0) {}

    // Rows y = firstRow, firstRow + rowStep, ... of `pixels` pixels from `columnStep`
    // apart, `rowBytes` each, converted by `convert` (left unconverted when it is
    // null); returns the data after them.
    uint8_t* Rows(uint8_t* data, uint32_t rowBytes, uint32_t pixels, const TAdam7Pass& geometry,
                  TRowConversion convert) const {
        const uint8_t* prior = FZeros.data();
        for (uint32_t y = geometry.FirstRow; y < FHeader.ImageHeight; y += geometry.RowStep) {
            uint8_t* row = data + 1;
            UnfilterRow(data[0], row, prior, rowBytes, FStep);
            if (convert)
                convert(row, pixels, geometry.FirstColumn, geometry.ColumnStep,
                        RowTargetFor(FHeader, y), FGamma);
            prior = row;
            data = row + rowBytes;
        }
        return data;
    }

  private:
    const TChunkIHDR& FHeader;
    uint32_t FStep;
    const uint8_t* FGamma;
    std::vector<uint8_t> FZeros;
};

// Copies the pixels of one pass row (`Bpp` bytes each) to their columns of a
// whole image row.
template <size_t Bpp>
void PlacePixels(const uint8_t* source, uint32_t pixels, const TAdam7Pass& pass, uint8_t* row) {
    uint8_t* target = row + size_t(pass.FirstColumn) * Bpp;
    const size_t step = size_t(pass.ColumnStep) * Bpp;
    for (uint32_t k = 0; k < pixels; ++k, source += Bpp, target += step)
        std::memcpy(target, source, Bpp);
}

void PlacePassRow(const uint8_t* source, uint32_t pixels, const TAdam7Pass& pass, uint32_t bpp,
                  uint8_t* row) {
    switch (bpp) {
    case 1:
        return PlacePixels<1>(source, pixels, pass, row);
    case 2:
        return PlacePixels<2>(source, pixels, pass, row);
    case 3:
        return PlacePixels<3>(source, pixels, pass, row);
    case 4:
        return PlacePixels<4>(source, pixels, pass, row);
    case 6:
        return PlacePixels<6>(source, pixels, pass, row);
    default:
        return PlacePixels<8>(source, pixels, pass, row);
    }
}

// An interlaced picture of whole-byte pixels: every image row is covered in
// full, the odd ones by the last pass, the even ones by the six before it. So
// once all passes are unfiltered, each row is put together (or taken as it is)
// and converted as a plain picture's row: the same bytes as pixel-by-pixel
// placing, without its scattered stores into the planes.
void UnfilterAndConvertInterlacedWhole(const TPNGObject& picture, const TChunkIHDR& header,
                                       const TRowPass& pass, uint8_t* filtered) {
    const TRowConversion convert = ChooseConversion(header.ColourType, header.BitDepth, false,
                                                    IsIdentityTable(picture.GammaLut));
    const uint8_t* passData[7] = {};
    uint32_t passWidth[7] = {}, passRowBytes[7] = {};
    for (int i = 0; i < 7; ++i) {
        const TAdam7Pass& p = kAdam7Passes[i];
        passWidth[i] = p.Width(header.ImageWidth);
        passRowBytes[i] = picture.RowBytesFor(passWidth[i]);
        passData[i] = filtered;
        if (passRowBytes[i] > 0)
            filtered = pass.Rows(filtered, passRowBytes[i], passWidth[i], p, nullptr);
    }
    const uint32_t bpp = picture.FilterStep();
    std::vector<uint8_t> whole(picture.FullRowBytes());
    for (uint32_t y = 0; y < header.ImageHeight; ++y) {
        const uint8_t* row = whole.data();
        for (int i = 0; i < 7; ++i) {
            const TAdam7Pass& p = kAdam7Passes[i];
            if (passRowBytes[i] == 0 || y < p.FirstRow || (y - p.FirstRow) % p.RowStep != 0)
                continue;
            const uint8_t* source =
                passData[i] + uint64_t((y - p.FirstRow) / p.RowStep) * (passRowBytes[i] + 1) + 1;
            if (p.ColumnStep == 1)
                row = source; // the whole row, as it is
            else
                PlacePassRow(source, passWidth[i], p, bpp, whole.data());
        }
        convert(row, header.ImageWidth, 0, 1, RowTargetFor(header, y), picture.GammaLut.data());
    }
}

void UnfilterAndConvert(const TPNGObject& picture, const TChunkIHDR& header, TRowConversion convert,
                        uint8_t* filtered) {
    const TRowPass pass(picture, header);
    if (picture.Interlacing == 0) {
        pass.Rows(filtered, picture.FullRowBytes(), header.ImageWidth, {0, 0, 1, 1}, convert);
        return;
    }
    if (header.BitDepth >= 8) {
        UnfilterAndConvertInterlacedWhole(picture, header, pass, filtered);
        return;
    }
    // Packed pixels are placed one by one, which leaves the padding bits after
    // the last pixel of a row alone.
    for (const TAdam7Pass& p : kAdam7Passes) {
        const uint32_t width = p.Width(header.ImageWidth);
        const uint32_t rowBytes = picture.RowBytesFor(width);
        if (rowBytes > 0)
            filtered = pass.Rows(filtered, rowBytes, width, p, convert);
    }
}

bool TryWholeImage(TPNGObject& picture, TStream& stream, const TChunkType& type, uint32_t length,
                   int64_t start) {
    const TChunkIHDR& header = picture.HeaderChunk();
    if (header.ImageWidth == 0 || header.ImageHeight == 0 || picture.Interlacing > 1)
        return false;
    const TRowConversion convert =
        ChooseConversion(header.ColourType, header.BitDepth, picture.Interlacing == 1,
                         IsIdentityTable(picture.GammaLut));
    const uint64_t filteredBytes = FilteredImageBytes(picture);
    if (!convert || filteredBytes == 0 || filteredBytes > wholeImageLimit)
        return false;
    TIdatRun run;
    if (!FindIdatRun(stream, start, length, run) || run.Bytes > wholeImageLimit ||
        filteredBytes > run.Bytes * kMaxInflateRatio + 64)
        return false;
    TBuffer data(run.Bytes);
    if (!data.Data() || !GatherRun(stream, type, run, data.Data()))
        return false;
    TBuffer filtered(filteredBytes);
    if (!filtered.Data() || !InflateExactly(data.Data(), run.Bytes, filtered.Data(), filteredBytes))
        return false;
    data.Release(); // the compressed data is not needed any more
    ExpectWholeWrite(header.ColourPlane);
    ExpectWholeWrite(header.LowPlane.get());
    ExpectWholeWrite(header.AlphaPlane.get());
    UnfilterAndConvert(picture, header, convert, filtered.Data());
    stream.Seek(run.End, soFromBeginning);
    return true;
}

} // namespace

TImageDataPath LastImageDataPath() {
    return lastPath;
}

void NoteImageDataPath(TImageDataPath path) {
    lastPath = path;
}

void SetWholeImageReaderEnabled(bool enabled) {
    wholeImageEnabled = enabled;
}

bool WholeImageReaderEnabled() {
    return wholeImageEnabled;
}

void SetWholeImageLimit(uint64_t bytes) {
    wholeImageLimit = bytes;
}

uint64_t WholeImageLimit() {
    return wholeImageLimit;
}

bool DecodeWholeImage(TPNGObject& picture, TStream& stream, const TChunkType& type,
                      uint32_t length) {
    // The stream must be able to go back to the first chunk's data: one step back
    // and forward again shows it, and a stream that cannot stays where it was.
    const int64_t start = stream.Position();
    if (start < 1 || stream.Seek(start - 1, soFromBeginning) != start - 1 ||
        stream.Seek(start, soFromBeginning) != start)
        return false;
    bool decoded = false;
    try {
        decoded = TryWholeImage(picture, stream, type, length, start);
    } catch (const std::bad_alloc&) {
        decoded = false; // the streaming reader needs far less memory
    }
    if (!decoded)
        stream.Seek(start, soFromBeginning);
    return decoded;
}

} // namespace zorbalin
