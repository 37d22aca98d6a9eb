// Saving: a saved picture is a valid PNG (the test's own decoder reads back the
// same samples) and loads into the same storage, for every format.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/pngpicture.h"
#include "tests/support/png_test_support.h"

namespace zorbalin {
namespace {

using pngtest::TBytes;

void Load(TPNGObject& Picture, const TBytes& Data) {
    TMemoryStream stream(Data.data(), Data.size());
    Picture.LoadFromStream(stream);
}

TBytes Save(TPNGObject& Picture) {
    TMemoryStream stream;
    Picture.SaveToStream(stream);
    return TBytes(stream.Memory(), stream.Memory() + stream.Size());
}

void ExpectSameStorage(const TPNGObject& A, const TPNGObject& B, const std::string& What) {
    const TChunkIHDR& x = A.HeaderChunk();
    const TChunkIHDR& y = B.HeaderChunk();
    ASSERT_EQ(x.ImageWidth, y.ImageWidth) << What;
    ASSERT_EQ(x.ImageHeight, y.ImageHeight) << What;
    ASSERT_EQ(x.RowStride, y.RowStride) << What;
    const size_t plane = size_t(x.RowStride) * x.ImageHeight;
    EXPECT_EQ(0, std::memcmp(x.ColourPlane, y.ColourPlane, plane)) << What;
    ASSERT_EQ(bool(x.LowPlane), bool(y.LowPlane)) << What;
    if (x.LowPlane) {
        EXPECT_EQ(0, std::memcmp(x.LowPlane.get(), y.LowPlane.get(), plane)) << What;
    }
    ASSERT_EQ(bool(x.AlphaPlane), bool(y.AlphaPlane)) << What;
    if (x.AlphaPlane) {
        EXPECT_EQ(0, std::memcmp(x.AlphaPlane.get(), y.AlphaPlane.get(),
                                 size_t(x.ImageWidth) * x.ImageHeight))
            << What;
    }
    EXPECT_EQ(0, std::memcmp(x.BitmapInfo.bmiColors, y.BitmapInfo.bmiColors,
                             sizeof x.BitmapInfo.bmiColors))
        << What;
}

TBytes WithPalette(const TBytes& Png) {
    TBytes plte;
    for (int i = 0; i < 256; ++i)
        plte.insert(plte.end(), {uint8_t(i), uint8_t(i * 7), uint8_t(255 - i)});
    TBytes out = pngtest::TPngBuilder()
                     .Raw(TBytes(Png.begin(), Png.begin() + 33))
                     .Chunk("PLTE", plte)
                     .Data();
    out.insert(out.end(), Png.begin() + 33, Png.end());
    return out;
}

TEST(PngWrite, SaveThenLoadGivesTheSameStorageForEveryFormat) {
    for (const pngtest::TFormat& f : pngtest::kValidFormats) {
        for (uint8_t interlace : {0, 1}) {
            const std::string what = "type " + std::to_string(f.ColourType) + " depth " +
                                     std::to_string(f.BitDepth) + " interlace " +
                                     std::to_string(interlace);
            pngtest::TSampleImage im =
                pngtest::MakeSampleImage(19, 11, f.BitDepth, f.ColourType, interlace, 77);
            if (f.BitDepth == 16 && (f.ColourType == 4 || f.ColourType == 6)) {
                // Only the high byte of 16-bit alpha is kept; the writer repeats it.
                const uint32_t pixelBytes = im.Channels() * 2;
                for (auto& row : im.Rows)
                    for (size_t p = 0; p < row.size(); p += pixelBytes)
                        row[p + pixelBytes - 1] = row[p + pixelBytes - 2];
            }
            TBytes original = pngtest::EncodePng(im);
            if (f.ColourType == 3)
                original = WithPalette(original);
            TPNGObject first;
            Load(first, original);
            TBytes saved = Save(first);
            // The saved stream is a PNG the test's own decoder reads to the same samples.
            const pngtest::TSampleImage again = pngtest::ReferenceDecode(saved);
            EXPECT_EQ(again.Rows, im.Rows) << what;
            EXPECT_EQ(again.Interlace, interlace) << what;
            TPNGObject second;
            ASSERT_NO_THROW(Load(second, saved)) << what;
            ExpectSameStorage(first, second, what);
        }
    }
}

TEST(PngWrite, ChunksKeepTheirOrderAndFieldsAndImageDataIsSplitAtTheLimit) {
    pngtest::TSampleImage im = pngtest::MakeSampleImage(300, 300, 8, 6, 0, 3);
    TBytes ztxt = {'z', 0, 0};
    TBytes packed = pngtest::Compress({'d', 'e', 'e', 'p'});
    ztxt.insert(ztxt.end(), packed.begin(), packed.end());
    TBytes z = pngtest::Compress(pngtest::FilteredData(im));
    TBytes original = pngtest::TPngBuilder()
                          .Signature()
                          .Ihdr(300, 300, 8, 6)
                          .Chunk("pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1})
                          .Chunk("tIME", {0x07, 0xEA, 12, 8, 15, 30, 59})
                          .Chunk("tEXt", {'K', 0, 'v'})
                          .Chunk("zTXt", ztxt)
                          .Chunk("prIv", {9, 8, 7})
                          .Chunk("IDAT", z)
                          .Iend()
                          .Data();
    TPNGObject picture;
    Load(picture, original);
    picture.SaveFilters = pfNone | pfSub | pfUp | pfAverage | pfPaeth;
    picture.ZlibLevel = 0; // stored: the data is larger than one chunk may hold
    TBytes saved = Save(picture);
    std::vector<std::string> types;
    size_t largest = 0;
    for (size_t at = 8; at + 12 <= saved.size();) {
        const uint32_t length =
            saved[at] << 24 | saved[at + 1] << 16 | saved[at + 2] << 8 | saved[at + 3];
        types.emplace_back(saved.begin() + at + 4, saved.begin() + at + 8);
        if (types.back() == "IDAT")
            largest = std::max<size_t>(largest, length);
        at += 12 + length;
    }
    EXPECT_EQ(types.front(), "IHDR");
    EXPECT_EQ(std::vector<std::string>(types.begin(), types.begin() + 6),
              (std::vector<std::string>{"IHDR", "pHYs", "tIME", "tEXt", "zTXt", "prIv"}));
    EXPECT_GT(types.size(), 10u); // 360,000 bytes stored need several chunks
    EXPECT_EQ(types.back(), "IEND");
    EXPECT_EQ(largest, 65535u);

    TPNGObject back;
    Load(back, saved);
    ExpectSameStorage(picture, back, "split");
    EXPECT_EQ(back.Chunks.Find<TChunkpHYs>()->PixelsPerUnitX, 2835u);
    EXPECT_EQ(back.Chunks.Find<TChunktIME>()->Year, 2026);
    EXPECT_EQ(dynamic_cast<TChunkzTXt*>(back.Chunks.Item(4))->Text, "deep");
    EXPECT_EQ(back.Chunks.Item(5)->Body()[0], 9);
}

TEST(PngWrite, TheChunkSizeLimitNeverGoesBelow65535) {
    TPNGObject picture;
    picture.SetMaxDataChunkSize(100);
    EXPECT_EQ(picture.GetMaxDataChunkSize(), 65535);
    picture.SetMaxDataChunkSize(1 << 20);
    EXPECT_EQ(picture.GetMaxDataChunkSize(), 1 << 20);
}

TEST(PngWrite, APictureWithoutHeaderCannotBeSaved) {
    TPNGObject empty;
    TMemoryStream stream;
    EXPECT_THROW(empty.SaveToStream(stream), EPNGHeaderNotPresent);
}

} // namespace
} // namespace zorbalin
