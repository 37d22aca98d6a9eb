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

void WriteFrame(TStream& stream, const TChunkType& type, const uint8_t* data, uint32_t size) {
    uint8_t word[4];
    WriteBigEndian32(word, size);
    StreamWrite(stream, word, 4);
    StreamWrite(stream, type.data(), 4);
    StreamWrite(stream, data, size);
    uint32_t crc = CrcUpdate(CrcStart(), reinterpret_cast<const uint8_t*>(type.data()), 4);
    WriteBigEndian32(word, CrcFinish(CrcUpdate(crc, data, size)));
    StreamWrite(stream, word, 4);
}

uint64_t FilterCost(const uint8_t* filtered, size_t size) {
    uint64_t cost = 0;
    for (size_t i = 0; i < size; ++i)
        cost += filtered[i] < 128 ? filtered[i] : 256 - filtered[i];
    return cost;
}

// Filters one row with the allowed filter of least absolute sum (the PNG
// standard's suggested heuristic); writes the filter-type byte and the row.
void FilterWithBest(uint8_t allowed, const uint8_t* row, const uint8_t* prior, size_t rowBytes,
                    size_t step, std::vector<uint8_t>& trial, uint8_t* out) {
    if (allowed == 0)
        allowed = pfNone;
    uint64_t bestCost = UINT64_MAX;
    for (uint8_t type = ftNone; type <= ftPaeth; ++type) {
        if (!(allowed & (1u << type)))
            continue;
        FilterRow(type, row, prior, rowBytes, step, trial.data());
        const uint64_t cost = FilterCost(trial.data(), rowBytes);
        if (cost < bestCost) {
            bestCost = cost;
            out[0] = type;
            std::memcpy(out + 1, trial.data(), rowBytes);
        }
    }
}

// One pass's rows (or the whole image) taken from the full sample rows.
void ExtractPassRow(const uint8_t* fullRow, const TAdam7Pass& pass, uint32_t passWidth,
                    uint32_t bitsPerPixel, uint8_t* out, size_t outBytes) {
    std::memset(out, 0, outBytes);
    if (bitsPerPixel >= 8) {
        const uint32_t bytes = bitsPerPixel / 8;
        for (uint32_t k = 0; k < passWidth; ++k)
            std::memcpy(out + size_t(k) * bytes,
                        fullRow + size_t(pass.FirstColumn + k * pass.ColumnStep) * bytes, bytes);
        return;
    }
    const uint32_t mask = (1u << bitsPerPixel) - 1;
    for (uint32_t k = 0; k < passWidth; ++k) {
        const uint32_t srcBit = (pass.FirstColumn + k * pass.ColumnStep) * bitsPerPixel;
        const uint32_t value = (fullRow[srcBit / 8] >> (8 - bitsPerPixel - srcBit % 8)) & mask;
        const uint32_t dstBit = k * bitsPerPixel;
        out[dstBit / 8] |= static_cast<uint8_t>(value << (8 - bitsPerPixel - dstBit % 8));
    }
}

class TImageDataWriter {
  public:
    explicit TImageDataWriter(const TPNGObject& picture)
        : FPicture(picture), FHeader(picture.HeaderChunk()) {}

    // The filtered rows of the whole image (pass by pass when interlaced).
    std::vector<uint8_t> FilteredRows();

  private:
    void AppendRows(const std::vector<std::vector<uint8_t>>& rows, size_t rowBytes);
    uint32_t BitsPerPixel() const;

    const TPNGObject& FPicture;
    const TChunkIHDR& FHeader;
    std::vector<uint8_t> FOut;
};

uint32_t TImageDataWriter::BitsPerPixel() const {
    const uint32_t channels[7] = {1, 0, 3, 1, 2, 0, 4};
    return channels[FHeader.ColourType] * FHeader.BitDepth;
}

void TImageDataWriter::AppendRows(const std::vector<std::vector<uint8_t>>& rows, size_t rowBytes) {
    if (rowBytes == 0 || rows.empty())
        return;
    const size_t step = FPicture.FilterStep();
    std::vector<uint8_t> prior(rowBytes, 0), trial(rowBytes), filtered(rowBytes + 1);
    for (const auto& row : rows) {
        FilterWithBest(FPicture.SaveFilters, row.data(), prior.data(), rowBytes, step, trial,
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

bool TChunk::WriteFramed(TStream& stream) {
    WriteFrame(stream, ChunkType, Body(), BodySize());
    return true;
}

bool TChunk::WriteTo(TStream& stream) {
    return WriteFramed(stream);
}

bool TChunkIHDR::WriteTo(TStream& stream) {
    ResizeBody(kHeaderFieldsSize);
    WriteHeaderFields(Fields(), Body());
    return WriteFramed(stream);
}

bool TChunkPLTE::WriteTo(TStream& stream) {
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
    return WriteFramed(stream);
}

bool TChunktRNS::WriteTo(TStream& stream) {
    if (BodySize() <= 256)
        std::memcpy(Body(), AlphaTable.data(), BodySize());
    return WriteFramed(stream);
}

bool TChunkpHYs::WriteTo(TStream& stream) {
    ResizeBody(9);
    WriteBigEndian32(Body(), PixelsPerUnitX);
    WriteBigEndian32(Body() + 4, PixelsPerUnitY);
    Body()[8] = UnitSpecifier;
    return WriteFramed(stream);
}

bool TChunktIME::WriteTo(TStream& stream) {
    ResizeBody(7);
    uint8_t* b = Body();
    WriteBigEndian16(b, Year);
    b[2] = Month;
    b[3] = Day;
    b[4] = Hour;
    b[5] = Minute;
    b[6] = Second;
    return WriteFramed(stream);
}

bool TChunktEXt::WriteTo(TStream& stream) {
    ResizeBody(static_cast<uint32_t>(Keyword.size() + 1 + Text.size()));
    std::memcpy(Body(), Keyword.data(), Keyword.size());
    Body()[Keyword.size()] = 0;
    std::memcpy(Body() + Keyword.size() + 1, Text.data(), Text.size());
    return WriteFramed(stream);
}

bool TChunkzTXt::WriteTo(TStream& stream) {
    const std::vector<uint8_t> packed = DeflateBlock(reinterpret_cast<const uint8_t*>(Text.data()),
                                                     Text.size(), Owner()->ZlibLevel);
    ResizeBody(static_cast<uint32_t>(Keyword.size() + 2 + packed.size()));
    std::memcpy(Body(), Keyword.data(), Keyword.size());
    Body()[Keyword.size()] = 0;
    Body()[Keyword.size() + 1] = 0; // compression method 0: zlib deflate
    std::memcpy(Body() + Keyword.size() + 2, packed.data(), packed.size());
    return WriteFramed(stream);
}

bool TChunkIDAT::WriteTo(TStream& stream) {
    const TPNGObject& picture = *Owner();
    const std::vector<uint8_t> rows = TImageDataWriter(picture).FilteredRows();
    const std::vector<uint8_t> packed = DeflateBlock(rows.data(), rows.size(), picture.ZlibLevel);
    const size_t limit = static_cast<size_t>(picture.GetMaxDataChunkSize());
    ResizeBody(0);
    size_t offset = 0;
    do {
        const size_t piece = std::min(limit, packed.size() - offset);
        WriteFrame(stream, ChunkType, packed.data() + offset, static_cast<uint32_t>(piece));
        offset += piece;
    } while (offset < packed.size());
    return true;
}

void TPNGObject::SaveToStream(TStream& stream) {
    HeaderChunk(); // a picture without a header has nothing valid to write
    StreamWrite(stream, kPngSignature, sizeof kPngSignature);
    for (uint32_t i = 0; i < Chunks.Count(); ++i)
        Chunks.Item(i)->WriteTo(stream);
}

} // namespace zorbalin
