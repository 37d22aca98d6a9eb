// Reading the image data: the zlib stream that runs through consecutive IDAT
// chunks (with their CRCs), the row filters, the Adam7 passes and the conversion
// of every row into the header's storage.
#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "imaging/png_adam7.h"
#include "imaging/png_convert.h"
#include "imaging/png_crc.h"
#include "imaging/png_filter.h"
#include "imaging/png_image_data.h"
#include "imaging/png_io.h"
#include "imaging/png_zlib.h"
#include "imaging/pngpicture.h"

namespace zorbalin {
namespace {

// Compressed data is read in pieces of this size straight from the stream, and
// the CRC is computed on the same pieces.
constexpr uint32_t kInputPiece = 65535;
// Inflated data is produced in pieces of this size and handed out row by row.
constexpr size_t kWindowSize = 128 * 1024;

// The zlib feed: inflates from the data of one IDAT chunk after another, checking
// each chunk's CRC when its data is used up.
class TZlibFeed {
  public:
    TZlibFeed(TStream& Stream, const TChunkType& Type, uint32_t Length)
        : FStream(Stream), FInput(kInputPiece) {
        FPosition = StreamPosition(Stream);
        FChunkEnd = FPosition + Length;
        FCrc = CrcUpdate(CrcStart(), reinterpret_cast<const uint8_t*>(Type.data()), 4);
    }

    // The image can use no more than `bytes` inflated bytes (all its rows with
    // their filter-type bytes); inflating never goes beyond them, so the stream is
    // read exactly as far as row-by-row inflating would read it.
    void SetBytesNeeded(uint64_t Bytes) { FNeeded = Bytes; }
    // Fills `out` with up to `count` inflated bytes; fewer only when the data ends:
    // at the end of the zlib stream or when the source stream has no more bytes.
    size_t Fetch(uint8_t* Out, size_t Count);
    // Reads what is left of the current chunk's data and checks its CRC.
    void FinishChunk();

  private:
    bool RefillWindow();
    size_t InflateInto(uint8_t* Out, size_t Count);
    void StartNextChunk();
    bool RefillInput();

    TStream& FStream;
    TInflater FInflater;
    std::vector<uint8_t> FInput;
    // Inflated bytes not yet handed out. Inflating large pieces keeps zlib on its
    // fast path; a failure met while filling the window waits until the rows
    // before it have been handed out, so the storage ends up exactly as it would
    // with one row inflated at a time.
    std::vector<uint8_t> FWindow;
    size_t FWindowPos = 0;
    size_t FWindowEnd = 0;
    uint64_t FNeeded = 0;
    std::exception_ptr FPendingFailure;
    int64_t FPosition = 0;
    int64_t FChunkEnd = 0;
    uint32_t FCrc = 0;
    bool FStreamEnded = false;
};

size_t TZlibFeed::Fetch(uint8_t* Out, size_t Count) {
    size_t done = 0;
    while (done < Count) {
        if (FWindowPos == FWindowEnd && !RefillWindow())
            break;
        const size_t piece = std::min(Count - done, FWindowEnd - FWindowPos);
        std::memcpy(Out + done, FWindow.data() + FWindowPos, piece);
        FWindowPos += piece;
        done += piece;
    }
    return done;
}

bool TZlibFeed::RefillWindow() {
    if (FPendingFailure)
        std::rethrow_exception(std::exchange(FPendingFailure, nullptr));
    if (FWindow.empty())
        FWindow.resize(
            static_cast<size_t>(std::min<uint64_t>(kWindowSize, std::max<uint64_t>(FNeeded, 1))));
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(FWindow.size(), FNeeded));
    size_t got = 0;
    try {
        got = InflateInto(FWindow.data(), wanted);
    } catch (...) {
        got = wanted - FInflater.Stream().avail_out;
        FPendingFailure = std::current_exception();
    }
    FNeeded -= got;
    FWindowPos = 0;
    FWindowEnd = got;
    if (got == 0 && FPendingFailure)
        std::rethrow_exception(std::exchange(FPendingFailure, nullptr));
    return got > 0;
}

size_t TZlibFeed::InflateInto(uint8_t* Out, size_t Count) {
    z_stream& z = FInflater.Stream();
    z.next_out = Out;
    z.avail_out = static_cast<uInt>(Count);
    while (z.avail_out > 0 && !FStreamEnded) {
        if (z.avail_in == 0) {
            if (FPosition == FChunkEnd) {
                StartNextChunk(); // may be an empty IDAT: look again
                continue;
            }
            if (!RefillInput())
                break;
        }
        const int status = inflate(&z, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            // The compressed data ends here, whatever the header promised: the rows not
            // reached stay as prepared (black, transparent).
            FStreamEnded = true;
        } else if (status < 0 || status == Z_NEED_DICT) {
            // A preset dictionary is not allowed in PNG data; inflate would ask for it
            // again and again, so it is refused like corrupt data.
            throw EPNGZLIBError(status);
        }
    }
    return Count - z.avail_out;
}

void TZlibFeed::StartNextChunk() {
    uint32_t stored = 0;
    StreamReadBigEndian32(FStream, stored);
    if (stored != CrcFinish(FCrc))
        throw EPngInvalidCRC();
    uint32_t length = 0;
    StreamReadBigEndian32(FStream, length);
    TChunkType type{};
    StreamRead(FStream, type.data(), 4);
    if (!SameType(type, "IDAT"))
        throw EPNGMissingMultipleIDAT();
    if (length > kMaxChunkLength)
        throw EPngUnexpectedEnd();
    FCrc = CrcUpdate(CrcStart(), reinterpret_cast<const uint8_t*>(type.data()), 4);
    FPosition += 12;
    FChunkEnd = FPosition + length;
}

bool TZlibFeed::RefillInput() {
    const int64_t wanted = std::min<int64_t>(kInputPiece, FChunkEnd - FPosition);
    const int64_t got = StreamRead(FStream, FInput.data(), wanted);
    if (got <= 0)
        return false;
    FPosition += got;
    FCrc = CrcUpdate(FCrc, FInput.data(), static_cast<size_t>(got));
    z_stream& z = FInflater.Stream();
    z.next_in = FInput.data();
    z.avail_in = static_cast<uInt>(got);
    return true;
}

void TZlibFeed::FinishChunk() {
    // Bytes the image did not need (after its last row, or after the end of the
    // zlib stream) still belong to the chunk and to its CRC.
    while (FPosition < FChunkEnd) {
        const int64_t wanted = std::min<int64_t>(kInputPiece, FChunkEnd - FPosition);
        const int64_t got = StreamRead(FStream, FInput.data(), wanted);
        if (got <= 0)
            break; // a truncated stream: the CRC read below fails
        FPosition += got;
        FCrc = CrcUpdate(FCrc, FInput.data(), static_cast<size_t>(got));
    }
    uint32_t stored = 0;
    StreamReadBigEndian32(FStream, stored);
    if (stored != CrcFinish(FCrc))
        throw EPngInvalidCRC();
}

// The decoder state of one ReadBody: two row buffers swapped by a one-bit
// selector, so the prior row is never copied.
class TRowDecoder {
  public:
    TRowDecoder(TPNGObject& Picture, TChunkIHDR& Header, TZlibFeed& Feed)
        : FPicture(Picture), FHeader(Header), FFeed(Feed) {
        FFullRowBytes = Picture.FullRowBytes();
        FFilterStep = Picture.FilterStep();
        for (auto& buffer : FLineBuffers)
            buffer.assign(size_t(FFullRowBytes) + 1, 0);
    }

    void DecodeRows();
    void DecodeAdam7();

  private:
    // Fetches and unfilters one row of `rowBytes` bytes; false when the data ended.
    bool NextRow(uint32_t RowBytes);
    uint8_t* Current() { return FLineBuffers[FCurrent].data(); }
    uint8_t* Prior() { return FLineBuffers[FCurrent ^ 1].data(); }

    TPNGObject& FPicture;
    TChunkIHDR& FHeader;
    TZlibFeed& FFeed;
    uint32_t FFullRowBytes = 0;
    uint32_t FFilterStep = 1;
    std::vector<uint8_t> FLineBuffers[2];
    unsigned FCurrent = 1; // buffer 0 is the all-zero prior row of the first row
};

bool TRowDecoder::NextRow(uint32_t RowBytes) {
    uint8_t* row = Current();
    const size_t wanted = size_t(RowBytes) + 1;
    const size_t got = FFeed.Fetch(row, wanted);
    if (got == 0)
        return false;
    // The data ended inside this row: what it gave is still used, the bytes it
    // never gave count as zero filtered bytes. The next fetch gets nothing and
    // ends the decoding.
    std::fill(row + got, row + wanted, uint8_t(0));
    UnfilterRow(static_cast<TFilterType>(row[0]), row + 1, Prior() + 1, RowBytes, FFilterStep);
    return true;
}

void TRowDecoder::DecodeRows() {
    FFeed.SetBytesNeeded(FilteredImageBytes(FPicture));
    const TRowConversion convert = ChooseConversion(FHeader.ColourType, FHeader.BitDepth, false,
                                                    IsIdentityTable(FPicture.GammaLut));
    if (!convert)
        return;
    const uint8_t* gamma = FPicture.GammaLut.data();
    for (uint32_t y = 0; y < FHeader.ImageHeight; ++y) {
        if (!NextRow(FFullRowBytes))
            return;
        // A picture 0 pixels wide still has a filter-type byte per row, but no
        // pixel memory to put anything in.
        if (FHeader.ImageWidth > 0)
            convert(Current() + 1, FHeader.ImageWidth, 0, 1, RowTargetFor(FHeader, y), gamma);
        FCurrent ^= 1;
    }
}

void TRowDecoder::DecodeAdam7() {
    const TRowConversion convert = ChooseConversion(FHeader.ColourType, FHeader.BitDepth, true,
                                                    IsIdentityTable(FPicture.GammaLut));
    if (!convert)
        return;
    FFeed.SetBytesNeeded(FilteredImageBytes(FPicture));
    const uint8_t* gamma = FPicture.GammaLut.data();
    for (const TAdam7Pass& pass : kAdam7Passes) {
        const uint32_t passWidth = pass.Width(FHeader.ImageWidth);
        const uint32_t passRowBytes = FPicture.RowBytesFor(passWidth);
        std::fill_n(Prior(), size_t(passRowBytes) + 1, 0); // a pass starts with a zero prior row
        if (passRowBytes == 0)
            continue;
        for (uint32_t y = pass.FirstRow; y < FHeader.ImageHeight; y += pass.RowStep) {
            if (!NextRow(passRowBytes))
                return;
            convert(Current() + 1, passWidth, pass.FirstColumn, pass.ColumnStep,
                    RowTargetFor(FHeader, y), gamma);
            FCurrent ^= 1;
        }
    }
}

} // namespace

TRowTarget RowTargetFor(const TChunkIHDR& Header, uint32_t Y) {
    const uint64_t planeRow = uint64_t(Header.RowStride) * (Header.ImageHeight - 1 - Y);
    TRowTarget target{};
    target.Colour = Header.ColourPlane ? Header.ColourPlane + planeRow : nullptr;
    target.Low = Header.LowPlane ? Header.LowPlane.get() + planeRow : nullptr;
    target.Alpha =
        Header.AlphaPlane ? Header.AlphaPlane.get() + uint64_t(Header.ImageWidth) * Y : nullptr;
    return target;
}

bool IsIdentityTable(const std::array<uint8_t, 256>& Table) {
    for (int i = 0; i < 256; ++i)
        if (Table[i] != i)
            return false;
    return true;
}

uint64_t FilteredImageBytes(const TPNGObject& Picture) {
    const TChunkIHDR& header = Picture.HeaderChunk();
    if (Picture.Interlacing == 0)
        return (uint64_t(Picture.FullRowBytes()) + 1) * header.ImageHeight;
    uint64_t bytes = 0;
    for (const TAdam7Pass& pass : kAdam7Passes) {
        const uint32_t passRowBytes = Picture.RowBytesFor(pass.Width(header.ImageWidth));
        if (passRowBytes > 0)
            bytes += (uint64_t(passRowBytes) + 1) * pass.Height(header.ImageHeight);
    }
    return bytes;
}

bool TChunkIDAT::ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) {
    TPNGObject& picture = *Owner();
    TChunkIHDR& header = picture.HeaderChunk();
    // A gAMA read after the header reaches grey pictures through their colour table.
    if (header.Paletted && (header.ColourType == TColourType::Greyscale ||
                            header.ColourType == TColourType::GreyscaleAlpha))
        header.InstallGreyRamp();
    ResizeBody(0);
    if (DecodeWholeImage(picture, Stream, Type, Length))
        return true;
    TZlibFeed feed(Stream, Type, Length);
    {
        TRowDecoder decoder(picture, header, feed);
        if (picture.Interlacing == 0)
            decoder.DecodeRows();
        else if (picture.Interlacing == 1)
            decoder.DecodeAdam7();
    }
    feed.FinishChunk();
    return true;
}

} // namespace zorbalin
