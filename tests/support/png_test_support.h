// Test-side PNG tools, written without the imaging code so that they can judge it:
// a builder of PNG streams (zlib's own CRC and deflate), a small reference decoder
// (plain unfiltering and Adam7 walk), the gamma table and the storage a sample image must
// give, and the PngSuite files kept in the repository.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pngtest {

using Bytes = std::vector<uint8_t>;

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
    uint32_t Gamma = 0; // the gAMA value, 0 without one
    Bytes Palette;      // the PLTE bytes, if any
    Bytes Transparency; // the tRNS bytes, when HasTransparency
    bool HasTransparency = false;
    std::vector<Bytes> Rows; // Height rows of RowBytes(Width) bytes

    uint32_t Channels() const;
    uint32_t RowBytes(uint32_t width) const;
    uint32_t BitsPerPixel() const { return Channels() * BitDepth; }
    // Sample `channel` of pixel x in row y (sub-byte depths unpacked).
    uint32_t Sample(uint32_t x, uint32_t y, uint32_t channel) const;
    // Stores a sample into rows that start zeroed.
    void SetSample(uint32_t x, uint32_t y, uint32_t channel, uint32_t value);
};

// A sample image filled with a deterministic mix of gradients and noise.
TSampleImage MakeSampleImage(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType,
                             uint8_t interlace, uint32_t seed);

// Chunk-level building.
class TPngBuilder {
  public:
    TPngBuilder& Signature();
    TPngBuilder& Chunk(const std::string& type, const Bytes& data);
    // A chunk whose stored CRC is deliberately wrong.
    TPngBuilder& BadCrcChunk(const std::string& type, const Bytes& data);
    TPngBuilder& Ihdr(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType,
                      uint8_t interlace = 0, uint8_t compression = 0, uint8_t filter = 0);
    TPngBuilder& Iend() { return Chunk("IEND", {}); }
    TPngBuilder& Raw(const Bytes& bytes);
    const Bytes& Data() const { return FData; }

  private:
    Bytes FData;
};

Bytes BigEndian32(uint32_t v);
// The zlib stream of the filtered rows of an image: every row with filter type
// `filterOf(row index in its pass) % 5` (or a fixed type), Adam7 when interlaced.
Bytes FilteredData(const TSampleImage& image, int fixedFilter = -1);
Bytes Compress(const Bytes& raw, int level = 6);
// A whole PNG: signature, IHDR, IDATs of at most `idatSize` bytes, IEND.
Bytes EncodePng(const TSampleImage& image, size_t idatSize = 1 << 20, int fixedFilter = -1);

// Decodes a PNG file's samples with no help from the imaging code. Only valid,
// complete files are expected here.
TSampleImage ReferenceDecode(const Bytes& png);

// The gamma table the picture must use for a gAMA value (identity for 0).
std::vector<uint8_t> GammaTable(uint32_t gamma);

// The storage the picture must hold for `image`, RGB samples through its gamma.
struct TExpectedStorage {
    int32_t RowStride = 0;
    Bytes Colour; // bottom-up
    Bytes Low;    // 16-bit images only
    Bytes Alpha;  // colour types 4 and 6 only, top-down
};
TExpectedStorage ExpectedStorage(const TSampleImage& image);

Bytes ReadFile(const std::string& path);

// The path of a PngSuite file.
std::string PngSuitePath(const std::string& name);
// The names of the PngSuite images, sorted. Throws when the folder cannot be read, so that a
// test without its data fails.
std::vector<std::string> PngSuiteNames();

} // namespace pngtest
