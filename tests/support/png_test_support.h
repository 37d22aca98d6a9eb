// Test-side PNG tools, written without the imaging code so that they can judge it:
// a builder of PNG streams (zlib's own CRC and deflate), a small reference decoder
// (plain unfiltering and Adam7 walk), the gamma table and the storage a sample image must
// give, and the PngSuite files kept in the repository.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pngtest {

using TBytes = std::vector<uint8_t>;

// A colour type and a bit depth.
struct TFormat {
    uint8_t ColourType;
    uint8_t BitDepth;
};
// The fifteen pairs the PNG standard allows.
extern const std::vector<TFormat> kValidFormats;

// Full unfiltered sample rows of an image, as the PNG standard lays them out.
struct TSampleImage {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint8_t BitDepth = 8;
    uint8_t ColourType = 6;
    uint8_t Interlace = 0;
    uint32_t Gamma = 0;  // the gAMA value, 0 without one
    TBytes Palette;      // the PLTE bytes, if any
    TBytes Transparency; // the tRNS bytes, when HasTransparency
    bool HasTransparency = false;
    std::vector<TBytes> Rows; // Height rows of RowBytes(Width) bytes

    uint32_t Channels() const;
    uint32_t RowBytes(uint32_t Width) const;
    uint32_t BitsPerPixel() const { return Channels() * BitDepth; }
    // Sample `channel` of pixel x in row y (sub-byte depths unpacked).
    uint32_t Sample(uint32_t X, uint32_t Y, uint32_t Channel) const;
    // Stores a sample into rows that start zeroed.
    void SetSample(uint32_t X, uint32_t Y, uint32_t Channel, uint32_t Value);
};

// A sample image filled with a deterministic mix of gradients and noise.
TSampleImage MakeSampleImage(uint32_t Width, uint32_t Height, uint8_t BitDepth, uint8_t ColourType,
                             uint8_t Interlace, uint32_t Seed);

// Chunk-level building.
class TPngBuilder {
  public:
    TPngBuilder& Signature();
    TPngBuilder& Chunk(const std::string& Type, const TBytes& Data);
    // A chunk whose stored CRC is deliberately wrong.
    TPngBuilder& BadCrcChunk(const std::string& Type, const TBytes& Data);
    TPngBuilder& Ihdr(uint32_t Width, uint32_t Height, uint8_t BitDepth, uint8_t ColourType,
                      uint8_t Interlace = 0, uint8_t Compression = 0, uint8_t Filter = 0);
    TPngBuilder& Iend() { return Chunk("IEND", {}); }
    TPngBuilder& Raw(const TBytes& Bytes);
    const TBytes& Data() const { return FData; }

  private:
    TBytes FData;
};

TBytes BigEndian32(uint32_t V);
// The zlib stream of the filtered rows of an image: every row with filter type
// `filterOf(row index in its pass) % 5` (or a fixed type), Adam7 when interlaced.
TBytes FilteredData(const TSampleImage& Image, int FixedFilter = -1);
TBytes Compress(const TBytes& Raw, int Level = 6);
// A whole PNG: signature, IHDR, IDATs of at most `idatSize` bytes, IEND.
TBytes EncodePng(const TSampleImage& Image, size_t IdatSize = 1 << 20, int FixedFilter = -1);

// Decodes a PNG file's samples with no help from the imaging code. Only valid,
// complete files are expected here.
TSampleImage ReferenceDecode(const TBytes& Png);

// The gamma table the picture must use for a gAMA value (identity for 0).
std::vector<uint8_t> GammaTable(uint32_t Gamma);

// The storage the picture must hold for `image`, RGB samples through its gamma.
struct TExpectedStorage {
    int32_t RowStride = 0;
    TBytes Colour; // bottom-up
    TBytes Low;    // 16-bit images only
    TBytes Alpha;  // colour types 4 and 6 only, top-down
};
TExpectedStorage ExpectedStorage(const TSampleImage& Image);

TBytes ReadFile(const std::string& Path);

// The path of a PngSuite file.
std::string PngSuitePath(const std::string& Name);
// The names of the PngSuite images, sorted. Throws when the folder cannot be read, so that a
// test without its data fails.
std::vector<std::string> PngSuiteNames();

} // namespace pngtest
