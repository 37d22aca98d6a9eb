// Decoding the image data into the storage: layout, IDAT boundaries, CRCs, the
// Adam7 passes, sample conversions and damaged compressed data.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>

#include "imaging/pngpicture.h"
#include "tests/support/png_test_support.h"

namespace zorbalin {
namespace {

using pngtest::TBytes;
using pngtest::TPngBuilder;
using pngtest::TSampleImage;

void Load(TPNGObject& Picture, const TBytes& Data) {
    TMemoryStream stream(Data.data(), Data.size());
    Picture.LoadFromStream(stream);
}

// Compares the whole storage with what the test computes from the samples.
void ExpectStorage(const TPNGObject& Picture, const TSampleImage& Image, const std::string& What) {
    const pngtest::TExpectedStorage expected = pngtest::ExpectedStorage(Image);
    const TChunkIHDR& h = Picture.HeaderChunk();
    ASSERT_EQ(h.RowStride, expected.RowStride) << What;
    ASSERT_EQ(0, std::memcmp(h.ColourPlane, expected.Colour.data(), expected.Colour.size()))
        << What;
    if (!expected.Low.empty()) {
        ASSERT_TRUE(h.LowPlane) << What;
        EXPECT_EQ(0, std::memcmp(h.LowPlane.get(), expected.Low.data(), expected.Low.size()))
            << What;
    }
    if (!expected.Alpha.empty()) {
        ASSERT_TRUE(h.AlphaPlane) << What;
        EXPECT_EQ(0, std::memcmp(h.AlphaPlane.get(), expected.Alpha.data(), expected.Alpha.size()))
            << What;
    }
}

TEST(PngDecode, OneRgbaPixelAndTheRowOrderOfThePlanes) {
    TSampleImage im;
    im.Width = 1;
    im.Height = 2;
    im.Rows = {{255, 0, 0, 128}, {0, 0, 255, 7}}; // top red, bottom blue
    TPNGObject picture;
    Load(picture, pngtest::EncodePng(im));
    const TChunkIHDR& h = picture.HeaderChunk();
    EXPECT_EQ(h.RowStride, 4);
    const uint8_t* bottomRow = h.ColourPlane;            // the PNG's last row
    const uint8_t* topRow = h.ColourPlane + h.RowStride; // the PNG's first row
    EXPECT_EQ(topRow[0], 0);
    EXPECT_EQ(topRow[1], 0);
    EXPECT_EQ(topRow[2], 255);
    EXPECT_EQ(bottomRow[0], 255);
    EXPECT_EQ(h.AlphaPlane[0], 128);
    EXPECT_EQ(h.AlphaPlane[1], 7);
}

TEST(PngDecode, RowStridesArePaddedToFourBytes) {
    TPNGObject picture;
    Load(picture, pngtest::EncodePng(pngtest::MakeSampleImage(3, 2, 8, 2, 0, 1)));
    EXPECT_EQ(picture.HeaderChunk().RowStride, 12);
    Load(picture, pngtest::EncodePng(pngtest::MakeSampleImage(33, 2, 1, 0, 0, 1)));
    EXPECT_EQ(picture.HeaderChunk().RowStride, 8);
}

TEST(PngDecode, EveryFormatAndInterlaceMatchesTheSamples) {
    for (const pngtest::TFormat& f : pngtest::kValidFormats) {
        for (uint8_t interlace : {0, 1}) {
            for (uint32_t size : {1u, 4u, 7u, 13u}) {
                TSampleImage im = pngtest::MakeSampleImage(size, size + 2, f.BitDepth, f.ColourType,
                                                           interlace, size);
                TPNGObject picture;
                TBytes png = pngtest::EncodePng(im);
                if (f.ColourType == 3) { // a palette must be present: insert one after IHDR
                    TBytes plte;
                    for (int i = 0; i < 256; ++i)
                        plte.insert(plte.end(), {uint8_t(i), uint8_t(255 - i), 7});
                    TBytes withPalette(png.begin(), png.begin() + 33);
                    withPalette = TPngBuilder().Raw(withPalette).Chunk("PLTE", plte).Data();
                    withPalette.insert(withPalette.end(), png.begin() + 33, png.end());
                    png = withPalette;
                }
                Load(picture, png);
                ExpectStorage(picture, im,
                              "type " + std::to_string(f.ColourType) + " depth " +
                                  std::to_string(f.BitDepth) + " interlace " +
                                  std::to_string(interlace) + " size " + std::to_string(size));
            }
        }
    }
}

TEST(PngDecode, IdatSplitAtEveryByteDecodesLikeOneChunk) {
    for (uint8_t interlace : {0, 1}) {
        const TSampleImage im = pngtest::MakeSampleImage(9, 6, 8, 6, interlace, 3);
        TBytes z = pngtest::Compress(pngtest::FilteredData(im));
        for (size_t cut = 0; cut <= z.size(); ++cut) {
            TBytes png = TPngBuilder()
                             .Signature()
                             .Ihdr(im.Width, im.Height, 8, 6, interlace)
                             .Chunk("IDAT", TBytes(z.begin(), z.begin() + cut))
                             .Chunk("IDAT", TBytes(z.begin() + cut, z.end()))
                             .Iend()
                             .Data();
            TPNGObject picture;
            Load(picture, png);
            ExpectStorage(picture, im, "cut at " + std::to_string(cut));
        }
        // And one byte per chunk.
        TPngBuilder b;
        b.Signature().Ihdr(im.Width, im.Height, 8, 6, interlace);
        for (uint8_t byte : z)
            b.Chunk("IDAT", {byte});
        TPNGObject picture;
        Load(picture, b.Iend().Data());
        ExpectStorage(picture, im, "one byte per chunk");
    }
}

// Stored (level 0) compression keeps the rows in order in the data, so a chunk
// boundary falls at a known row.
TEST(PngDecode, BadCrcOnTheSecondOfThreeIdatsKeepsTheRowsAlreadyDecoded) {
    const TSampleImage im = pngtest::MakeSampleImage(16, 30, 8, 6, 0, 5);
    TBytes z = pngtest::Compress(pngtest::FilteredData(im, 0), 0);
    const size_t third = z.size() / 3;
    TPNGObject picture;
    EXPECT_THROW(
        Load(picture, TPngBuilder()
                          .Signature()
                          .Ihdr(16, 30, 8, 6)
                          .Chunk("IDAT", TBytes(z.begin(), z.begin() + third))
                          .BadCrcChunk("IDAT", TBytes(z.begin() + third, z.begin() + 2 * third))
                          .Chunk("IDAT", TBytes(z.begin() + 2 * third, z.end()))
                          .Iend()
                          .Data()),
        EPngInvalidCRC);
    const TChunkIHDR& h = picture.HeaderChunk();
    const pngtest::TExpectedStorage expected = pngtest::ExpectedStorage(im);
    // Row 0 (last plane row) decoded; row 29 (first plane row) never reached.
    const size_t top = size_t(h.RowStride) * 29;
    EXPECT_EQ(0, std::memcmp(h.ColourPlane + top, &expected.Colour[top], h.RowStride));
    EXPECT_EQ(0, std::memcmp(h.AlphaPlane.get(), expected.Alpha.data(), 16));
    EXPECT_EQ(h.ColourPlane[0], 0);
    EXPECT_EQ(h.AlphaPlane[16 * 29], 0);
}

TEST(PngDecode, ImageDataFollowedByAnotherChunkTooEarlyIsMissingParts) {
    const TSampleImage im = pngtest::MakeSampleImage(8, 8, 8, 2, 0, 2);
    TBytes z = pngtest::Compress(pngtest::FilteredData(im));
    EXPECT_THROW(
        {
            TPNGObject picture;
            Load(picture, TPngBuilder()
                              .Signature()
                              .Ihdr(8, 8, 8, 2)
                              .Chunk("IDAT", TBytes(z.begin(), z.begin() + z.size() / 2))
                              .Iend()
                              .Data());
        },
        EPNGMissingMultipleIDAT);
}

TEST(PngDecode, InterlacedPassesStartFromAZeroPriorRowAndEmptyPassesAreSkipped) {
    // A 1 x 1 interlaced image holds pass 1 only: one filter byte and one pixel.
    TPNGObject picture;
    Load(picture, TPngBuilder()
                      .Signature()
                      .Ihdr(1, 1, 8, 0, 1)
                      .Chunk("IDAT", pngtest::Compress({2, 99}))
                      .Iend()
                      .Data());
    EXPECT_EQ(picture.HeaderChunk().ColourPlane[0], 99); // Up over a zero prior row
    for (int filter : {2, 3, 4}) {
        const TSampleImage im = pngtest::MakeSampleImage(11, 9, 8, 6, 1, 9);
        Load(picture, pngtest::EncodePng(im, 1 << 20, filter));
        ExpectStorage(picture, im, "filter " + std::to_string(filter));
    }
}

TEST(PngDecode, TwoBitGreyIsWidenedSoThatWhiteShowsWhite) {
    // Samples 0, 1, 2, 3 in one byte.
    TPNGObject picture;
    Load(picture, TPngBuilder()
                      .Signature()
                      .Ihdr(4, 1, 2, 0)
                      .Chunk("IDAT", pngtest::Compress({0, 0x1B}))
                      .Iend()
                      .Data());
    const TChunkIHDR& h = picture.HeaderChunk();
    EXPECT_EQ(h.ColourPlane[0], 0x05); // pixels 0 and 5
    EXPECT_EQ(h.ColourPlane[1], 0xAF); // pixels 10 and 15
    const int greys[4] = {0, 85, 170, 255};
    for (int s = 0; s < 4; ++s) {
        const RGBQUAD& entry = h.BitmapInfo.bmiColors[5 * s];
        EXPECT_EQ(entry.rgbRed, greys[s]);
        EXPECT_EQ(entry.rgbGreen, greys[s]);
        EXPECT_EQ(entry.rgbBlue, greys[s]);
    }
}

TEST(PngDecode, GammaReachesRgbSamplesAndGreyRampsButNotGreySamples) {
    TPNGObject rgb;
    Load(rgb, TPngBuilder()
                  .Signature()
                  .Ihdr(1, 1, 8, 2)
                  .Chunk("gAMA", pngtest::BigEndian32(100000))
                  .Chunk("IDAT", pngtest::Compress({0, 128, 0, 255}))
                  .Iend()
                  .Data());
    const uint8_t* pixel = rgb.HeaderChunk().ColourPlane;
    EXPECT_EQ(pixel[2], 186); // red
    EXPECT_EQ(pixel[1], 0);
    EXPECT_EQ(pixel[0], 255);
    TPNGObject grey;
    Load(grey, TPngBuilder()
                   .Signature()
                   .Ihdr(1, 1, 8, 0)
                   .Chunk("gAMA",
                          pngtest::BigEndian32(100000)) // after the header: still reaches the ramp
                   .Chunk("IDAT", pngtest::Compress({0, 128}))
                   .Iend()
                   .Data());
    EXPECT_EQ(grey.HeaderChunk().ColourPlane[0], 128);
    EXPECT_EQ(grey.HeaderChunk().BitmapInfo.bmiColors[128].rgbRed, 186);
}

TEST(PngDecode, SixteenBitSamplesSplitIntoHighAndLowPlanes) {
    TPNGObject picture;
    Load(picture, TPngBuilder()
                      .Signature()
                      .Ihdr(1, 1, 16, 2)
                      .Chunk("IDAT", pngtest::Compress({0, 0x12, 0xAB, 0x34, 0xCD, 0x56, 0xEF}))
                      .Iend()
                      .Data());
    const TChunkIHDR& h = picture.HeaderChunk();
    EXPECT_EQ(h.ColourPlane[0], 0x56);
    EXPECT_EQ(h.ColourPlane[2], 0x12);
    EXPECT_EQ(h.LowPlane[0], 0xEF);
    EXPECT_EQ(h.LowPlane[2], 0xAB);
}

TEST(PngDecode, UnknownFilterTypeAndEmptyDimensions) {
    TPNGObject picture;
    Load(picture, TPngBuilder()
                      .Signature()
                      .Ihdr(2, 1, 8, 0)
                      .Chunk("IDAT", pngtest::Compress({7, 3, 4}))
                      .Iend()
                      .Data());
    EXPECT_EQ(picture.HeaderChunk().ColourPlane[0], 3);
    EXPECT_EQ(picture.HeaderChunk().ColourPlane[1], 4);
    // Height 0 fetches no row; the unused data is still read for the CRC.
    Load(picture, TPngBuilder()
                      .Signature()
                      .Ihdr(5, 0, 8, 6)
                      .Chunk("IDAT", pngtest::Compress({0, 1, 2}))
                      .Iend()
                      .Data());
    EXPECT_EQ(picture.Height(), 0);
    // Width 0: one filter byte per row, for every kind of conversion.
    for (uint8_t colourType : {0, 2, 3, 4, 6}) {
        Load(picture, TPngBuilder()
                          .Signature()
                          .Ihdr(0, 3, 8, colourType)
                          .Chunk("IDAT", pngtest::Compress({0, 0, 0}))
                          .Iend()
                          .Data());
        EXPECT_EQ(picture.Width(), 0);
        EXPECT_EQ(picture.Height(), 3);
    }
}

TEST(PngDecode, CompressedDataEndingEarlyLeavesTheRestBlackAndStillChecksTheCrc) {
    const TSampleImage im = pngtest::MakeSampleImage(4, 6, 8, 6, 0, 4);
    TBytes filtered = pngtest::FilteredData(im);
    // A complete zlib stream holding only the first two rows, then stray bytes.
    TBytes z = pngtest::Compress(TBytes(filtered.begin(), filtered.begin() + 2 * 17));
    z.insert(z.end(), {1, 2, 3, 4, 5});
    TPNGObject picture;
    Load(picture, TPngBuilder().Signature().Ihdr(4, 6, 8, 6).Chunk("IDAT", z).Iend().Data());
    const TChunkIHDR& h = picture.HeaderChunk();
    const pngtest::TExpectedStorage expected = pngtest::ExpectedStorage(im);
    EXPECT_EQ(0, std::memcmp(h.AlphaPlane.get(), expected.Alpha.data(), 8));
    for (size_t i = 8; i < 24; ++i)
        EXPECT_EQ(h.AlphaPlane[i], 0) << i;
    for (size_t i = 0; i < size_t(h.RowStride) * 4; ++i)
        EXPECT_EQ(h.ColourPlane[i], 0) << i;
    EXPECT_THROW(
        Load(picture,
             TPngBuilder().Signature().Ihdr(4, 6, 8, 6).BadCrcChunk("IDAT", z).Iend().Data()),
        EPngInvalidCRC);
}

// Rows filtered with Up: a byte the data never gave counts as a zero filtered
// byte, so it takes the value of the byte above it.
TEST(PngDecode, DataEndingInsideARowConvertsThePartialRowWithTheMissingBytesZero) {
    const TSampleImage im = pngtest::MakeSampleImage(4, 6, 8, 6, 0, 9);
    TBytes filtered = pngtest::FilteredData(im, 2);
    const size_t rowSize = 17, kept = 2 * rowSize + 1 + 6; // rows 0, 1; row 2: 1.5 pixels
    TSampleImage expected = im;
    for (uint32_t y = 2; y < 6; ++y)
        expected.Rows[y].assign(16, 0);
    for (size_t i = 0; i < 16; ++i)
        expected.Rows[2][i] = i < 6 ? im.Rows[2][i] : im.Rows[1][i];
    // The source stream ends inside the row (a truncated file), or the zlib
    // stream does (a complete stream holding fewer bytes than the rows need).
    TBytes stored = pngtest::Compress(filtered, 0);
    TBytes truncated = TPngBuilder().Signature().Ihdr(4, 6, 8, 6).Chunk("IDAT", stored).Data();
    const size_t idatData = 8 + 25 + 8;
    TBytes cutFile(truncated.begin(), truncated.begin() + idatData + 2 + 5 + kept);
    TBytes shortStream =
        TPngBuilder()
            .Signature()
            .Ihdr(4, 6, 8, 6)
            .Chunk("IDAT", pngtest::Compress(TBytes(filtered.begin(), filtered.begin() + kept)))
            .Iend()
            .Data();
    for (const TBytes* png : {&cutFile, &shortStream}) {
        TPNGObject picture;
        if (png == &cutFile)
            EXPECT_THROW(Load(picture, *png), EPngInvalidCRC);
        else
            Load(picture, *png);
        ExpectStorage(picture, expected, png == &cutFile ? "file cut" : "stream cut");
    }
}

TEST(PngDecode, CorruptCompressedDataNamesTheZlibStatus) {
    TPNGObject picture;
    try {
        Load(picture, TPngBuilder()
                          .Signature()
                          .Ihdr(2, 2, 8, 0)
                          .Chunk("IDAT", {0x78, 0x9C, 0xFF, 0xFF, 0xFF})
                          .Iend()
                          .Data());
        FAIL() << "loaded";
    } catch (const EPNGZLIBError& e) {
        EXPECT_EQ(e.Message(),
                  "Could not decompress the image because it contains invalid compressed data.\r\n"
                  " Description: data error (-3)");
    }
    // A stream asking for a preset dictionary is refused instead of waited on.
    TBytes withDictionary = {0x78, 0xBB, 0, 0, 0, 1, 0x63, 0, 0};
    EXPECT_THROW(
        Load(
            picture,
            TPngBuilder().Signature().Ihdr(2, 2, 8, 0).Chunk("IDAT", withDictionary).Iend().Data()),
        EPNGZLIBError);
}

} // namespace
} // namespace zorbalin
