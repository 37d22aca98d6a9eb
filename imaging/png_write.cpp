// Writing a picture as a PNG stream: the signature, then every chunk in list
// order, each rebuilt from its fields and framed with its length and CRC; the
// image data filtered, deflated at ZlibLevel and split at MaxDataChunkSize.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/png_adam7.h"
#include "imaging/png_convert.h"
#include "imaging/png_crc.h"
#include "imaging/png_filter.h"
#include "imaging/png_io.h"
#include "imaging/png_samples.h"
#include "imaging/png_zlib.h"
#include "imaging/pngpicture.h"

namespace zorbalin {
namespace {

void WriteFrame(TStream& Stream, const TChunkType& Type, const uint8_t* Data, uint32_t Size) {
    uint8_t word[4];
    WriteBigEndian32(word, Size);
    StreamWrite(Stream, word, 4);
    StreamWrite(Stream, Type.data(), 4);
    StreamWrite(Stream, Data, Size);
    uint32_t crc = CrcUpdate(CrcStart(), reinterpret_cast<const uint8_t*>(Type.data()), 4);
    WriteBigEndian32(word, CrcFinish(CrcUpdate(crc, Data, Size)));
    StreamWrite(Stream, word, 4);
}

uint64_t FilterCost(const uint8_t* Filtered, size_t Size) {
    uint64_t cost = 0;
    for (size_t i = 0; i < Size; ++i)
        cost += Filtered[i] < 128 ? Filtered[i] : 256 - Filtered[i];
    return cost;
}

// Filters one row with the allowed filter of least absolute sum (the PNG
// standard's suggested heuristic); writes the filter-type byte and the row.
void FilterWithBest(uint8_t Allowed, const uint8_t* Row, const uint8_t* Prior, size_t RowBytes,
                    size_t Step, std::vector<uint8_t>& Trial, uint8_t* Out) {
    if (Allowed == 0)
        Allowed = pfNone;
    uint64_t bestCost = UINT64_MAX;
    for (const TFilterType type : {TFilterType::None, TFilterType::Sub, TFilterType::Up,
                                   TFilterType::Average, TFilterType::Paeth}) {
        const auto byte = static_cast<uint8_t>(type);
        if (!(Allowed & (1u << byte)))
            continue;
        FilterRow(type, Row, Prior, RowBytes, Step, Trial.data());
        const uint64_t cost = FilterCost(Trial.data(), RowBytes);
        if (cost < bestCost) {
            bestCost = cost;
            Out[0] = byte;
            std::memcpy(Out + 1, Trial.data(), RowBytes);
        }
    }
}

// One pass's rows (or the whole image) taken from the full sample rows.
void ExtractPassRow(const uint8_t* FullRow, const TAdam7Pass& Pass, uint32_t PassWidth,
                    uint32_t BitsPerPixel, uint8_t* Out, size_t OutBytes) {
    std::memset(Out, 0, OutBytes);
    if (BitsPerPixel >= 8) {
        const uint32_t bytes = BitsPerPixel / 8;
        for (uint32_t k = 0; k < PassWidth; ++k)
            std::memcpy(Out + size_t(k) * bytes,
                        FullRow + size_t(Pass.FirstColumn + k * Pass.ColumnStep) * bytes, bytes);
        return;
    }
    const uint32_t mask = (1u << BitsPerPixel) - 1;
    for (uint32_t k = 0; k < PassWidth; ++k) {
        const uint32_t srcBit = (Pass.FirstColumn + k * Pass.ColumnStep) * BitsPerPixel;
        const uint32_t value = (FullRow[srcBit / 8] >> (8 - BitsPerPixel - srcBit % 8)) & mask;
        const uint32_t dstBit = k * BitsPerPixel;
        Out[dstBit / 8] |= static_cast<uint8_t>(value << (8 - BitsPerPixel - dstBit % 8));
    }
}

class TImageDataWriter {
  public:
    explicit TImageDataWriter(const TPNGObject& Picture)
        : FPicture(Picture), FHeader(Picture.HeaderChunk()) {}

    // The filtered rows of the whole image (pass by pass when interlaced).
    std::vector<uint8_t> FilteredRows();

  private:
    void AppendRows(const std::vector<std::vector<uint8_t>>& Rows, size_t RowBytes);
    uint32_t BitsPerPixel() const;

    const TPNGObject& FPicture;
    const TChunkIHDR& FHeader;
    std::vector<uint8_t> FOut;
};

uint32_t TImageDataWriter::BitsPerPixel() const {
    return SamplesPerPixel(FHeader.ColourType) * FHeader.BitDepth;
}

void TImageDataWriter::AppendRows(const std::vector<std::vector<uint8_t>>& Rows, size_t RowBytes) {
    if (RowBytes == 0 || Rows.empty())
        return;
    const size_t step = FPicture.FilterStep();
    std::vector<uint8_t> prior(RowBytes, 0), trial(RowBytes), filtered(RowBytes + 1);
    for (const auto& row : Rows) {
        FilterWithBest(FPicture.SaveFilters, row.data(), prior.data(), RowBytes, step, trial,
                       filtered.data());
        FOut.insert(FOut.end(), filtered.begin(), filtered.end());
        prior = row;
    }
}

std::vector<uint8_t> TImageDataWriter::FilteredRows() {
    const uint32_t width = FHeader.ImageWidth;
    const uint32_t height = FHeader.ImageHeight;
    const size_t fullBytes = FPicture.RowBytesFor(width);
    std::vector<std::vector<uint8_t>> rows(height, std::vector<uint8_t>(fullBytes, 0));
    for (uint32_t y = 0; y < height; ++y)
        StorageRowToSamples(FHeader, y, FPicture.InverseGammaLut, rows[y].data());
    if (FHeader.InterlaceMethod != 1) {
        // Rows of zero bytes still carry their filter-type byte.
        if (fullBytes == 0)
            FOut.assign(height, 0);
        AppendRows(rows, fullBytes);
        return std::move(FOut);
    }
    for (const TAdam7Pass& pass : kAdam7Passes) {
        const uint32_t passWidth = pass.Width(width);
        const size_t passBytes = FPicture.RowBytesFor(passWidth);
        if (passBytes == 0)
            continue;
        std::vector<std::vector<uint8_t>> passRows;
        for (uint32_t y = pass.FirstRow; y < height; y += pass.RowStep) {
            passRows.emplace_back(passBytes);
            ExtractPassRow(rows[y].data(), pass, passWidth, BitsPerPixel(), passRows.back().data(),
                           passBytes);
        }
        AppendRows(passRows, passBytes);
    }
    return std::move(FOut);
}

} // namespace

bool TChunk::WriteFramed(TStream& Stream) {
    WriteFrame(Stream, ChunkType, Body(), BodySize());
    return true;
}

bool TChunk::WriteTo(TStream& Stream) {
    return WriteFramed(Stream);
}

bool TChunkIHDR::WriteTo(TStream& Stream) {
    ResizeBody(kHeaderFieldsSize);
    WriteHeaderFields(Fields(), Body());
    return WriteFramed(Stream);
}

bool TChunkPLTE::WriteTo(TStream& Stream) {
    const TChunkIHDR* header = OwnerHeader();
    if (!header)
        throw EPNGHeaderNotPresent();
    const auto& inverse = Owner()->InverseGammaLut;
    ResizeBody(EntryCount * 3);
    for (uint32_t i = 0; i < EntryCount; ++i) {
        const RGBQUAD& c = header->BitmapInfo.bmiColors[i];
        Body()[3 * i] = inverse[c.rgbRed];
        Body()[3 * i + 1] = inverse[c.rgbGreen];
        Body()[3 * i + 2] = inverse[c.rgbBlue];
    }
    return WriteFramed(Stream);
}

bool TChunktRNS::WriteTo(TStream& Stream) {
    if (BodySize() <= 256)
        std::memcpy(Body(), AlphaTable.data(), BodySize());
    return WriteFramed(Stream);
}

bool TChunkpHYs::WriteTo(TStream& Stream) {
    ResizeBody(9);
    WriteBigEndian32(Body(), PixelsPerUnitX);
    WriteBigEndian32(Body() + 4, PixelsPerUnitY);
    Body()[8] = UnitSpecifier;
    return WriteFramed(Stream);
}

bool TChunktIME::WriteTo(TStream& Stream) {
    ResizeBody(7);
    uint8_t* b = Body();
    WriteBigEndian16(b, Year);
    b[2] = Month;
    b[3] = Day;
    b[4] = Hour;
    b[5] = Minute;
    b[6] = Second;
    return WriteFramed(Stream);
}

bool TChunktEXt::WriteTo(TStream& Stream) {
    ResizeBody(static_cast<uint32_t>(Keyword.size() + 1 + Text.size()));
    std::memcpy(Body(), Keyword.data(), Keyword.size());
    Body()[Keyword.size()] = 0;
    std::memcpy(Body() + Keyword.size() + 1, Text.data(), Text.size());
    return WriteFramed(Stream);
}

bool TChunkzTXt::WriteTo(TStream& Stream) {
    const std::vector<uint8_t> packed = DeflateBlock(reinterpret_cast<const uint8_t*>(Text.data()),
                                                     Text.size(), Owner()->ZlibLevel);
    ResizeBody(static_cast<uint32_t>(Keyword.size() + 2 + packed.size()));
    std::memcpy(Body(), Keyword.data(), Keyword.size());
    Body()[Keyword.size()] = 0;
    Body()[Keyword.size() + 1] = 0; // compression method 0: zlib deflate
    std::memcpy(Body() + Keyword.size() + 2, packed.data(), packed.size());
    return WriteFramed(Stream);
}

bool TChunkIDAT::WriteTo(TStream& Stream) {
    const TPNGObject& picture = *Owner();
    const std::vector<uint8_t> rows = TImageDataWriter(picture).FilteredRows();
    const std::vector<uint8_t> packed = DeflateBlock(rows.data(), rows.size(), picture.ZlibLevel);
    const size_t limit = static_cast<size_t>(picture.GetMaxDataChunkSize());
    ResizeBody(0);
    size_t offset = 0;
    do {
        const size_t piece = std::min(limit, packed.size() - offset);
        WriteFrame(Stream, ChunkType, packed.data() + offset, static_cast<uint32_t>(piece));
        offset += piece;
    } while (offset < packed.size());
    return true;
}

void TPNGObject::SaveToStream(TStream& Stream) {
    HeaderChunk(); // a picture without a header has nothing valid to write
    StreamWrite(Stream, kPngSignature, sizeof kPngSignature);
    for (uint32_t i = 0; i < Chunks.Count(); ++i)
        Chunks.Item(i)->WriteTo(Stream);
}

} // namespace zorbalin
