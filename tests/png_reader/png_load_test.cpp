// The stream walk and the chunks: signature, order, CRCs, header checks, the
// unknown-chunk rules, palettes, transparency, gamma, texts and untrusted sizes.
#include <gtest/gtest.h>

#include <typeinfo>

#include "imaging/pngpicture.h"
#include "tests/support/png_test_support.h"

namespace zorbalin {
namespace {

using pngtest::BigEndian32;
using pngtest::TBytes;
using pngtest::TPngBuilder;

// A 2 x 2 grey 8-bit image's IDAT data.
TBytes GreyIdat() {
    return pngtest::Compress({0, 10, 20, 0, 30, 40});
}

TPngBuilder GreyStart() {
    TPngBuilder b;
    b.Signature().Ihdr(2, 2, 8, 0);
    return b;
}

TBytes GreyPng() {
    return GreyStart().Chunk("IDAT", GreyIdat()).Iend().Data();
}

void Load(TPNGObject& Picture, const TBytes& Data) {
    TMemoryStream stream(Data.data(), Data.size());
    Picture.LoadFromStream(stream);
}

template <class E> void ExpectLoadFails(const TBytes& Data, TPNGObject* Picture = nullptr) {
    TPNGObject local;
    TPNGObject& target = Picture ? *Picture : local;
    EXPECT_THROW(Load(target, Data), E);
}

std::vector<std::string> ChunkTypes(const TPNGObject& Picture) {
    std::vector<std::string> types;
    for (uint32_t i = 0; i < Picture.Chunks.Count(); ++i) {
        const TChunkType& t = Picture.Chunks.Item(i)->ChunkType;
        types.emplace_back(t.begin(), t.end());
    }
    return types;
}

TEST(PngLoad, AnyDifferenceInTheSignatureIsAnInvalidHeader) {
    TBytes good = GreyPng();
    for (size_t i = 0; i < 8; ++i) {
        TBytes bad = good;
        bad[i] ^= 0x01;
        ExpectLoadFails<EPNGInvalidFileHeader>(bad);
    }
    ExpectLoadFails<EPNGInvalidFileHeader>({});
    ExpectLoadFails<EPNGInvalidFileHeader>(TBytes(good.begin(), good.begin() + 5));
}

TEST(PngLoad, SignatureAloneEndsUnexpectedlyAndLeavesThePictureEmpty) {
    TPNGObject picture;
    Load(picture, GreyPng());
    ExpectLoadFails<EPngUnexpectedEnd>(TPngBuilder().Signature().Data(), &picture);
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_EQ(picture.Width(), 0);
}

TEST(PngLoad, TheFirstChunkMustBeTheHeader) {
    TPNGObject picture;
    TBytes phys(9, 0);
    ExpectLoadFails<EPNGIHDRNotFirst>(
        TPngBuilder().Signature().Chunk("pHYs", phys).Ihdr(2, 2, 8, 0).Data(), &picture);
    EXPECT_EQ(picture.Chunks.Count(), 0u);
}

TEST(PngLoad, HeaderLengthSizesAndMethodsAreChecked) {
    TBytes header = {0, 0, 0, 2, 0, 0, 0, 2, 8, 0, 0, 0}; // 12 bytes
    ExpectLoadFails<EPngInvalidIHDR>(TPngBuilder().Signature().Chunk("IHDR", header).Data());
    header.insert(header.end(), {0, 0}); // 14 bytes: the excess is ignored
    TPNGObject picture;
    Load(picture,
         TPngBuilder().Signature().Chunk("IHDR", header).Chunk("IDAT", GreyIdat()).Iend().Data());
    EXPECT_EQ(picture.Width(), 2);

    TBytes row = pngtest::Compress(TBytes(1 + 65535 / 8 + 1, 0));
    Load(picture, TPngBuilder().Signature().Ihdr(65535, 1, 1, 0).Chunk("IDAT", row).Iend().Data());
    EXPECT_EQ(picture.Width(), 65535);
    ExpectLoadFails<EPNGSizeExceeds>(TPngBuilder().Signature().Ihdr(65536, 1, 1, 0).Data());
    ExpectLoadFails<EPNGSizeExceeds>(TPngBuilder().Signature().Ihdr(1, 0x80000001u, 1, 0).Data());
    ExpectLoadFails<EPNGUnknownCompression>(
        TPngBuilder().Signature().Ihdr(2, 2, 8, 0, 0, 1).Data());
    ExpectLoadFails<EPNGUnknownInterlace>(TPngBuilder().Signature().Ihdr(2, 2, 8, 0, 2).Data());
    Load(picture, TPngBuilder()
                      .Signature()
                      .Ihdr(2, 2, 8, 0, 0, 0, 1)
                      .Chunk("IDAT", GreyIdat())
                      .Iend()
                      .Data());
    EXPECT_EQ(picture.HeaderChunk().FilterMethod, 1);
}

TEST(PngLoad, FormatsOutsideTheStandardAreRefusedBeforeAnyRow) {
    const struct {
        uint8_t ColourType, BitDepth;
    } bad[] = {{2, 4}, {5, 8}, {3, 16}, {0, 3}, {4, 1}, {6, 2}, {1, 8}, {0, 0}};
    for (const auto& f : bad) {
        TPNGObject picture;
        // No IDAT at all: the refusal must come from the header itself.
        ExpectLoadFails<EPngInvalidIHDR>(
            TPngBuilder().Signature().Ihdr(2, 2, f.BitDepth, f.ColourType).Data(), &picture);
    }
}

TEST(PngLoad, OneFlippedBitInDataOrCrcIsACrcError) {
    TBytes text = {'a', 0, 'b'};
    TBytes good = GreyStart().Chunk("tEXt", text).Chunk("IDAT", GreyIdat()).Iend().Data();
    TPNGObject picture;
    Load(picture, good);
    // Every byte after the signature except lengths and the IHDR / IDAT / IEND type
    // codes (those are other failures).
    size_t at = 8;
    while (at < good.size()) {
        const uint32_t length =
            good[at] << 24 | good[at + 1] << 16 | good[at + 2] << 8 | good[at + 3];
        const std::string type(good.begin() + at + 4, good.begin() + at + 8);
        for (size_t i = at + 8; i < at + 12 + length; ++i) {
            for (int bit : {0, 5, 7}) {
                TBytes bad = good;
                bad[i] ^= uint8_t(1 << bit);
                // Image data is inflated before its CRC is read, so damage there may show
                // as corrupt compressed data first.
                try {
                    Load(picture, bad);
                    ADD_FAILURE() << type << " byte " << i - at << " loaded";
                } catch (const EPngInvalidCRC&) {
                } catch (const EPNGZLIBError&) {
                    EXPECT_EQ(type, "IDAT");
                }
            }
        }
        at += 12 + length;
    }
    TBytes lowerType = good;
    lowerType[8 + 25 + 4 + 3] ^= 0x20; // tEXt -> tEXT: still ancillary, read, CRC fails
    EXPECT_THROW(Load(picture, lowerType), EPngInvalidCRC);
}

TEST(PngLoad, UnknownChunksCriticalRefusedAncillaryKeptChrmSkipped) {
    TPNGObject picture;
    ExpectLoadFails<EPNGUnknownCriticalChunk>(GreyStart().Chunk("ABCD", {1, 2}).Data(), &picture);
    EXPECT_EQ(ChunkTypes(picture), (std::vector<std::string>{"IHDR", "ABCD"}));

    Load(picture, GreyStart()
                      .Chunk("aBCD", {1, 2, 3})
                      .Chunk("iCCP", {'p', 0, 0, 9})
                      .Chunk("cHRM", TBytes(32, 7))
                      .Chunk("IDAT", GreyIdat())
                      .Iend()
                      .Data());
    EXPECT_EQ(ChunkTypes(picture),
              (std::vector<std::string>{"IHDR", "aBCD", "iCCP", "IDAT", "IEND"}));
    const TChunk* unknown = picture.Chunks.Item(1);
    EXPECT_EQ(&unknown->ChunkClass(), &TChunk::Class());
    ASSERT_EQ(unknown->BodySize(), 3u);
    EXPECT_EQ(unknown->Body()[2], 3);
}

TEST(PngLoad, NoImageDataIsRaisedAfterTheWholeStream) {
    TPNGObject picture;
    ExpectLoadFails<EPNGNoImageData>(GreyStart().Chunk("tEXt", {'k', 0, 'v'}).Iend().Data(),
                                     &picture);
    EXPECT_EQ(ChunkTypes(picture), (std::vector<std::string>{"IHDR", "tEXt", "IEND"}));
}

TEST(PngLoad, SpareIdatChunksAreSkippedUnreadAndBytesAfterIendStayInTheStream) {
    TBytes data = GreyStart()
                      .Chunk("IDAT", GreyIdat())
                      .Chunk("IDAT", {1, 2, 3})
                      .BadCrcChunk("IDAT", {4, 5}) // skipped by a seek: its CRC is never read
                      .Iend()
                      .Raw({'t', 'a', 'i', 'l'})
                      .Data();
    TPNGObject picture;
    TMemoryStream stream(data.data(), data.size());
    picture.LoadFromStream(stream);
    EXPECT_EQ(ChunkTypes(picture), (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    EXPECT_EQ(stream.Position(), int64_t(data.size()) - 4);
}

TEST(PngLoad, TheListGrowsBeyondTenAndIsTrimmedOnFailure) {
    TPngBuilder b = GreyStart();
    for (int i = 0; i < 23; ++i)
        b.Chunk("tEXt", {'k', 0, uint8_t('a' + i)});
    TPNGObject picture;
    Load(picture, TBytes(b.Chunk("IDAT", GreyIdat()).Iend().Data()));
    EXPECT_EQ(picture.Chunks.Count(), 26u);
    // The stream ends after 14 text chunks: 15 chunks were made.
    TBytes cut = GreyStart().Data();
    for (int i = 0; i < 14; ++i)
        cut = TPngBuilder().Raw(cut).Chunk("tEXt", {'k', 0, 'x'}).Data();
    ExpectLoadFails<EPngUnexpectedEnd>(cut, &picture);
    EXPECT_EQ(picture.Chunks.Count(), 15u);
    for (uint32_t i = 0; i < picture.Chunks.Count(); ++i)
        EXPECT_NE(picture.Chunks.Item(i), nullptr);
}

TEST(PngLoad, PaletteAndTransparencyLengthsAreChecked) {
    TPngBuilder b;
    b.Signature().Ihdr(2, 2, 8, 3);
    TBytes idat = GreyIdat();
    TPNGObject picture;
    Load(picture, TPngBuilder(b).Chunk("PLTE", TBytes(768, 9)).Chunk("IDAT", idat).Iend().Data());
    EXPECT_EQ(picture.Chunks.Find<TChunkPLTE>()->EntryCount, 256u);
    ExpectLoadFails<EPNGInvalidPalette>(TPngBuilder(b).Chunk("PLTE", TBytes(771, 9)).Data());
    ExpectLoadFails<EPNGInvalidPalette>(TPngBuilder(b).Chunk("PLTE", TBytes(10, 9)).Data());
    ExpectLoadFails<EPNGInvalidPalette>(
        TPngBuilder(b).Chunk("PLTE", TBytes(6, 9)).Chunk("tRNS", TBytes(257, 9)).Data());
}

// One half-transparent entry is not a colour key: it must keep its own opacity.
TEST(PngLoad, PaletteTransparencyIsSingleColourOnlyWithExactlyOneFullyTransparentEntry) {
    TPngBuilder b;
    b.Signature().Ihdr(2, 2, 8, 3).Chunk("PLTE", TBytes(9, 1));
    const struct {
        TBytes Trns;
        bool Single;
    } cases[] = {{{0}, true},         {{255, 0, 255}, true}, {{128}, false},
                 {{255, 128}, false}, {{1, 255}, false},     {{254}, false},
                 {{0, 0}, false},     {{0, 128}, false},     {{128, 255, 0}, false},
                 {{255, 255}, false}};
    for (const auto& c : cases) {
        TPNGObject picture;
        Load(picture, TPngBuilder(b).Chunk("tRNS", c.Trns).Chunk("IDAT", GreyIdat()).Iend().Data());
        const auto* trns = picture.Chunks.Find<TChunktRNS>();
        ASSERT_NE(trns, nullptr);
        EXPECT_EQ(trns->SingleColour, c.Single)
            << "entries " << c.Trns.size() << ", first " << int(c.Trns[0]);
        EXPECT_EQ(trns->AlphaTable[c.Trns.size()], 255); // the rest is opaque
    }
    TPNGObject grey;
    Load(grey, GreyStart().Chunk("tRNS", {0, 20}).Chunk("IDAT", GreyIdat()).Iend().Data());
    EXPECT_TRUE(grey.Chunks.Find<TChunktRNS>()->SingleColour);
}

TEST(PngLoad, GammaTables) {
    auto loadWithGamma = [](const TBytes& Gama) {
        auto picture = std::make_unique<TPNGObject>();
        Load(*picture, GreyStart().Chunk("gAMA", Gama).Chunk("IDAT", GreyIdat()).Iend().Data());
        return picture;
    };
    const auto nearIdentity = loadWithGamma(BigEndian32(45455));
    for (int i = 0; i < 256; ++i)
        EXPECT_NEAR(nearIdentity->GammaLut[i], i, 1) << i;
    const auto standard = loadWithGamma(BigEndian32(100000));
    EXPECT_EQ(standard->GammaLut[128], 186);
    EXPECT_EQ(standard->GammaLut[0], 0);
    EXPECT_EQ(standard->GammaLut[255], 255);
    EXPECT_EQ(standard->InverseGammaLut[186], 128);
    const auto zero = loadWithGamma(BigEndian32(0));
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(zero->GammaLut[i], i);
    const auto shortData = loadWithGamma({1, 2}); // counts as the value 1
    EXPECT_EQ(shortData->Chunks.Find<TChunkgAMA>()->Gamma(), 1u);
    for (int i = 0; i < 255; ++i)
        EXPECT_EQ(shortData->GammaLut[i], 0) << i;
    EXPECT_EQ(shortData->GammaLut[255], 255);
    // Every load starts from identity again.
    Load(*standard, GreyPng());
    EXPECT_EQ(standard->GammaLut[128], 128);
}

TEST(PngLoad, TextsKeywordsAndCompressedTexts) {
    TBytes ztxt = {'T', 'i', 't', 'l', 'e', 0, 0};
    TBytes packed = pngtest::Compress({'h', 'e', 'l', 'l', 'o'});
    ztxt.insert(ztxt.end(), packed.begin(), packed.end());
    TBytes broken = {'B', 0, 0, 0x78, 0x9c, 0xFF, 0xFF};
    TPNGObject picture;
    Load(picture, GreyStart()
                      .Chunk("tEXt", {'n', 'o', 'z', 'e', 'r', 'o'})
                      .Chunk("tEXt", {'K', 'e', 'y', 0, 'v', 'a', 'l'})
                      .Chunk("zTXt", ztxt)
                      .Chunk("zTXt", broken)
                      .Chunk("zTXt", {'N', 'o', 'z', 'e', 'r', 'o'})
                      .Chunk("IDAT", GreyIdat())
                      .Iend()
                      .Data());
    const auto* t0 = dynamic_cast<TChunktEXt*>(picture.Chunks.Item(1));
    const auto* t1 = dynamic_cast<TChunktEXt*>(picture.Chunks.Item(2));
    const auto* z0 = dynamic_cast<TChunkzTXt*>(picture.Chunks.Item(3));
    const auto* z1 = dynamic_cast<TChunkzTXt*>(picture.Chunks.Item(4));
    const auto* z2 = dynamic_cast<TChunkzTXt*>(picture.Chunks.Item(5));
    ASSERT_TRUE(t0 && t1 && z0 && z1 && z2);
    EXPECT_EQ(t0->Keyword, "nozero");
    EXPECT_EQ(t0->Text, "");
    EXPECT_EQ(t1->Keyword, "Key");
    EXPECT_EQ(t1->Text, "val");
    EXPECT_EQ(z0->Keyword, "Title");
    EXPECT_EQ(z0->Text, "hello");
    EXPECT_EQ(z1->Keyword, "B");
    EXPECT_EQ(z1->Text, "");
    EXPECT_EQ(z2->Keyword, "Nozero");
    EXPECT_EQ(z2->Text, "");
}

TEST(PngLoad, TimeAndPhysicalSizeNeedTheirExactLengths) {
    TPNGObject picture;
    Load(picture, GreyStart()
                      .Chunk("tIME", {0x07, 0xEA, 12, 8, 15, 30, 59})
                      .Chunk("pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x14, 1})
                      .Chunk("IDAT", GreyIdat())
                      .Iend()
                      .Data());
    const auto* time = picture.Chunks.Find<TChunktIME>();
    EXPECT_EQ(time->Year, 2026);
    EXPECT_EQ(time->Month, 12);
    EXPECT_EQ(time->Second, 59);
    const auto* phys = picture.Chunks.Find<TChunkpHYs>();
    EXPECT_EQ(phys->PixelsPerUnitX, 2835u);
    EXPECT_EQ(phys->PixelsPerUnitY, 2836u);
    EXPECT_EQ(phys->UnitSpecifier, 1);
    Load(picture, GreyStart()
                      .Chunk("tIME", {1, 2, 3})
                      .Chunk("pHYs", {1})
                      .Chunk("IDAT", GreyIdat())
                      .Iend()
                      .Data());
    EXPECT_EQ(picture.Chunks.Find<TChunktIME>()->Year, 0);
    EXPECT_EQ(picture.Chunks.Find<TChunkpHYs>()->PixelsPerUnitX, 0u);
}

TEST(PngLoad, ChunkLengthsBeyondTheStreamFailBeforeAllocation) {
    // A text chunk claiming a gigabyte in a tiny stream.
    TBytes huge = GreyStart().Data();
    TBytes length = BigEndian32(1u << 30);
    huge.insert(huge.end(), length.begin(), length.end());
    huge.insert(huge.end(), {'t', 'E', 'X', 't', 'a', 'b'});
    TPNGObject picture;
    ExpectLoadFails<EPngUnexpectedEnd>(huge, &picture);
    EXPECT_EQ(ChunkTypes(picture), (std::vector<std::string>{"IHDR"}));
    // Above the standard's 2^31 - 1 limit, whatever follows.
    TBytes beyond = GreyStart().Data();
    TBytes tooLong = BigEndian32(0x80000000u);
    beyond.insert(beyond.end(), tooLong.begin(), tooLong.end());
    beyond.insert(beyond.end(), {'I', 'D', 'A', 'T'});
    ExpectLoadFails<EPngUnexpectedEnd>(beyond);
}

TEST(PngLoad, HugeClaimedPicturesAreRefusedWithoutTouchingTheirSize) {
    // 65535 x 65535 RGBA would need 16 GiB.
    TPNGObject picture;
    ExpectLoadFails<EPNGOutMemory>(
        TPngBuilder().Signature().Ihdr(65535, 65535, 8, 6).Chunk("IDAT", GreyIdat()).Iend().Data(),
        &picture);
    // 20000 x 20000 RGBA: 1.2 GB colour plane + 400 MB alpha, above the 1 GiB bound.
    ExpectLoadFails<EPNGOutMemory>(TPngBuilder().Signature().Ihdr(20000, 20000, 8, 6).Data());
    // A large but allowed picture with no rows in its data still loads; its pixels
    // stay black and are not touched.
    Load(picture, TPngBuilder()
                      .Signature()
                      .Ihdr(16000, 16000, 8, 0)
                      .Chunk("IDAT", pngtest::Compress({}))
                      .Iend()
                      .Data());
    EXPECT_EQ(picture.Width(), 16000);
    EXPECT_EQ(picture.HeaderChunk().ColourPlane[0], 0);
}

} // namespace
} // namespace zorbalin
