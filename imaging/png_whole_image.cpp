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
#include "imaging/png_test_switches.h"
#include "imaging/pngpicture.h"

namespace zorbalin {
namespace {

// No deflate stream expands more than this: a 258-byte match in two bits.
constexpr uint64_t kMaxInflateRatio = 1032;

thread_local TImageDataPath gLastPath = TImageDataPath::None;
thread_local bool gWholeImageEnabled = true;
// The filtered image is held beside the storage only up to this size; larger
// pictures are streamed.
thread_local uint64_t gWholeImageLimit = kDefaultWholeImageLimit;

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

bool FindIdatRun(TStream& Stream, int64_t Position, uint32_t Length, TIdatRun& Run) {
    const int64_t size = Stream.Size();
    for (;;) {
        if (Length > kMaxChunkLength || Position + int64_t(Length) + 4 > size)
            return false;
        Run.Pieces.push_back({Position, Length});
        Run.Bytes += Length;
        Run.End = Position + Length + 4;
        uint8_t next[8];
        if (Stream.Seek(Run.End, soFromBeginning) != Run.End || StreamRead(Stream, next, 8) != 8 ||
            std::memcmp(next + 4, "IDAT", 4) != 0)
            return true;
        Position = Run.End + 8;
        Length = ReadBigEndian32(next);
    }
}

// Reads the run's data into `data`, checking each chunk's CRC.
bool GatherRun(TStream& Stream, const TChunkType& Type, const TIdatRun& Run, uint8_t* Data) {
    const uint32_t typeCrc = libdeflate_crc32(0, Type.data(), 4);
    for (const TDataPiece& piece : Run.Pieces) {
        uint8_t stored[4];
        if (Stream.Seek(piece.Position, soFromBeginning) != piece.Position ||
            StreamRead(Stream, Data, piece.Length) != piece.Length ||
            StreamRead(Stream, stored, 4) != 4)
            return false;
        if (libdeflate_crc32(typeCrc, Data, piece.Length) != ReadBigEndian32(stored))
            return false;
        Data += piece.Length;
    }
    return true;
}

// A buffer for the compressed data or the filtered image. Large ones are mapped
// afresh and asked for huge pages: every byte is written once, and filling
// megabytes through 4 KiB page faults costs more than the writing itself.
class TBuffer {
  public:
    explicit TBuffer(uint64_t Size) {
        if (Size < kHugePage) {
            FSmall.reset(new (std::nothrow) uint8_t[Size + 1]);
            FData = FSmall.get();
            return;
        }
        FMapped = (Size + 2 * kHugePage - 1) / kHugePage * kHugePage;
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
        madvise(FData, (Size + kHugePage - 1) / kHugePage * kHugePage, MADV_HUGEPAGE);
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
    void operator()(libdeflate_decompressor* D) const { libdeflate_free_decompressor(D); }
};

// One zlib stream, well formed and checked, of exactly `size` bytes.
bool InflateExactly(const uint8_t* Data, size_t DataSize, uint8_t* Out, size_t Size) {
    std::unique_ptr<libdeflate_decompressor, TDecompressorDeleter> d(
        libdeflate_alloc_decompressor());
    if (!d)
        return false;
    size_t used = 0, produced = 0;
    // Bytes after the stream's end are allowed: the streaming reader never looks
    // at them either.
    const libdeflate_result result =
        libdeflate_zlib_decompress_ex(d.get(), Data, DataSize, Out, Size, &used, &produced);
    return result == LIBDEFLATE_SUCCESS && produced == Size;
}

// Unfilters the rows in place, each over the one before it, and converts them.
class TRowPass {
  public:
    TRowPass(const TPNGObject& Picture, const TChunkIHDR& Header)
        : FHeader(Header), FStep(Picture.FilterStep()), FGamma(Picture.GammaLut.data()),
          FZeros(size_t(Picture.FullRowBytes()) + 1, 0) {}

    // Rows y = firstRow, firstRow + rowStep, ... of `pixels` pixels from `columnStep`
    // apart, `rowBytes` each, converted by `convert` (left unconverted when it is
    // null); returns the data after them.
    uint8_t* Rows(uint8_t* Data, uint32_t RowBytes, uint32_t Pixels, const TAdam7Pass& Geometry,
                  TRowConversion Convert) const {
        const uint8_t* prior = FZeros.data();
        for (uint32_t y = Geometry.FirstRow; y < FHeader.ImageHeight; y += Geometry.RowStep) {
            uint8_t* row = Data + 1;
            UnfilterRow(static_cast<TFilterType>(Data[0]), row, prior, RowBytes, FStep);
            if (Convert)
                Convert(row, Pixels, Geometry.FirstColumn, Geometry.ColumnStep,
                        RowTargetFor(FHeader, y), FGamma);
            prior = row;
            Data = row + RowBytes;
        }
        return Data;
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
void PlacePixels(const uint8_t* Source, uint32_t Pixels, const TAdam7Pass& Pass, uint8_t* Row) {
    uint8_t* target = Row + size_t(Pass.FirstColumn) * Bpp;
    const size_t step = size_t(Pass.ColumnStep) * Bpp;
    for (uint32_t k = 0; k < Pixels; ++k, Source += Bpp, target += step)
        std::memcpy(target, Source, Bpp);
}

void PlacePassRow(const uint8_t* Source, uint32_t Pixels, const TAdam7Pass& Pass, uint32_t Bpp,
                  uint8_t* Row) {
    switch (Bpp) {
    case 1:
        return PlacePixels<1>(Source, Pixels, Pass, Row);
    case 2:
        return PlacePixels<2>(Source, Pixels, Pass, Row);
    case 3:
        return PlacePixels<3>(Source, Pixels, Pass, Row);
    case 4:
        return PlacePixels<4>(Source, Pixels, Pass, Row);
    case 6:
        return PlacePixels<6>(Source, Pixels, Pass, Row);
    default:
        return PlacePixels<8>(Source, Pixels, Pass, Row);
    }
}

// An interlaced picture of whole-byte pixels: every image row is covered in
// full, the odd ones by the last pass, the even ones by the six before it. So
// once all passes are unfiltered, each row is put together (or taken as it is)
// and converted as a plain picture's row: the same bytes as pixel-by-pixel
// placing, without its scattered stores into the planes.
void UnfilterAndConvertInterlacedWhole(const TPNGObject& Picture, const TChunkIHDR& Header,
                                       const TRowPass& Pass, uint8_t* Filtered) {
    const TRowConversion convert = ChooseConversion(Header.ColourType, Header.BitDepth, false,
                                                    IsIdentityTable(Picture.GammaLut));
    const uint8_t* passData[7] = {};
    uint32_t passWidth[7] = {}, passRowBytes[7] = {};
    for (int i = 0; i < 7; ++i) {
        const TAdam7Pass& p = kAdam7Passes[i];
        passWidth[i] = p.Width(Header.ImageWidth);
        passRowBytes[i] = Picture.RowBytesFor(passWidth[i]);
        passData[i] = Filtered;
        if (passRowBytes[i] > 0)
            Filtered = Pass.Rows(Filtered, passRowBytes[i], passWidth[i], p, nullptr);
    }
    const uint32_t bpp = Picture.FilterStep();
    std::vector<uint8_t> whole(Picture.FullRowBytes());
    for (uint32_t y = 0; y < Header.ImageHeight; ++y) {
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
        convert(row, Header.ImageWidth, 0, 1, RowTargetFor(Header, y), Picture.GammaLut.data());
    }
}

void UnfilterAndConvert(const TPNGObject& Picture, const TChunkIHDR& Header, TRowConversion Convert,
                        uint8_t* Filtered) {
    const TRowPass pass(Picture, Header);
    if (Picture.Interlacing == 0) {
        pass.Rows(Filtered, Picture.FullRowBytes(), Header.ImageWidth, {0, 0, 1, 1}, Convert);
        return;
    }
    if (Header.BitDepth >= 8) {
        UnfilterAndConvertInterlacedWhole(Picture, Header, pass, Filtered);
        return;
    }
    // Packed pixels are placed one by one, which leaves the padding bits after
    // the last pixel of a row alone.
    for (const TAdam7Pass& p : kAdam7Passes) {
        const uint32_t width = p.Width(Header.ImageWidth);
        const uint32_t rowBytes = Picture.RowBytesFor(width);
        if (rowBytes > 0)
            Filtered = pass.Rows(Filtered, rowBytes, width, p, Convert);
    }
}

bool TryWholeImage(TPNGObject& Picture, TStream& Stream, const TChunkType& Type, uint32_t Length,
                   int64_t Start) {
    const TChunkIHDR& header = Picture.HeaderChunk();
    if (header.ImageWidth == 0 || header.ImageHeight == 0 || Picture.Interlacing > 1)
        return false;
    const TRowConversion convert =
        ChooseConversion(header.ColourType, header.BitDepth, Picture.Interlacing == 1,
                         IsIdentityTable(Picture.GammaLut));
    const uint64_t filteredBytes = FilteredImageBytes(Picture);
    if (!convert || filteredBytes == 0 || filteredBytes > gWholeImageLimit)
        return false;
    TIdatRun run;
    if (!FindIdatRun(Stream, Start, Length, run) || run.Bytes > gWholeImageLimit ||
        filteredBytes > run.Bytes * kMaxInflateRatio + 64)
        return false;
    TBuffer data(run.Bytes);
    if (!data.Data() || !GatherRun(Stream, Type, run, data.Data()))
        return false;
    TBuffer filtered(filteredBytes);
    if (!filtered.Data() || !InflateExactly(data.Data(), run.Bytes, filtered.Data(), filteredBytes))
        return false;
    data.Release(); // the compressed data is not needed any more
    ExpectWholeWrite(header.ColourPlane);
    ExpectWholeWrite(header.LowPlane.get());
    ExpectWholeWrite(header.AlphaPlane.get());
    UnfilterAndConvert(Picture, header, convert, filtered.Data());
    Stream.Seek(run.End, soFromBeginning);
    return true;
}

} // namespace

TImageDataPath LastImageDataPath() {
    return gLastPath;
}

void NoteImageDataPath(TImageDataPath Path) {
    gLastPath = Path;
}

void SetWholeImageReaderEnabled(bool Enabled) {
    gWholeImageEnabled = Enabled;
}

void SetWholeImageLimit(uint64_t Bytes) {
    gWholeImageLimit = Bytes;
}

bool DecodeWholeImage(TPNGObject& Picture, TStream& Stream, const TChunkType& Type,
                      uint32_t Length) {
    gLastPath = TImageDataPath::Streaming; // until this reader has taken the data
    if (!gWholeImageEnabled)
        return false;
    // The stream must be able to go back to the first chunk's data: one step back
    // and forward again shows it, and a stream that cannot stays where it was.
    const int64_t start = Stream.Position();
    if (start < 1 || Stream.Seek(start - 1, soFromBeginning) != start - 1 ||
        Stream.Seek(start, soFromBeginning) != start)
        return false;
    bool decoded = false;
    try {
        decoded = TryWholeImage(Picture, Stream, Type, Length, start);
    } catch (const std::bad_alloc&) {
        decoded = false; // the streaming reader needs far less memory
    }
    if (!decoded)
        Stream.Seek(start, soFromBeginning);
    else
        gLastPath = TImageDataPath::WholeImage;
    return decoded;
}

} // namespace zorbalin
