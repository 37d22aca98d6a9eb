// The chunk-class registry, the pointer list, adding chunks, chunk copying, the
// palette lookup, the tRNS transparent colour and the fixed texts.
#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/png_crc.h"
#include "imaging/pngpicture.h"
#include "tests/support/png_test_support.h"

namespace zorbalin {
namespace {

using pngtest::TBytes;

void Load(TPNGObject& Picture, const TBytes& Data) {
    TMemoryStream stream(Data.data(), Data.size());
    Picture.LoadFromStream(stream);
}

TBytes PalettePng(const TBytes& Extra = {}) {
    pngtest::TPngBuilder b;
    b.Signature().Ihdr(2, 1, 8, 3).Chunk("PLTE", {10, 20, 30, 40, 50, 60, 70, 80, 90});
    b.Raw(Extra);
    return b.Chunk("IDAT", pngtest::Compress({0, 1, 2})).Iend().Data();
}

TEST(PngChunkList, RegistryMapsTypeCodesExactlyAndFallsBackToThePlainChunk) {
    const struct {
        const char* Type;
        const TChunkClass* Cls;
    } cases[] = {{"IHDR", &TChunkIHDR::Class()}, {"IEND", &TChunkIEND::Class()},
                 {"zTXt", &TChunkzTXt::Class()}, {"tEXt", &TChunktEXt::Class()},
                 {"ihdr", &TChunk::Class()},     {"IDAt", &TChunk::Class()}};
    for (const auto& c : cases) {
        auto chunk = ChunkForType(nullptr, MakeChunkType(c.Type));
        EXPECT_EQ(&chunk->ChunkClass(), c.Cls) << c.Type;
        EXPECT_TRUE(SameType(chunk->ChunkType, c.Type));
        EXPECT_EQ(chunk->BodySize(), 0u);
    }
    // zTXt is a kind of tEXt for FindByClass.
    EXPECT_TRUE(TChunktEXt::Class().IsInstance(ChunkForType(nullptr, MakeChunkType("zTXt")).get()));
    EXPECT_FALSE(
        TChunkzTXt::Class().IsInstance(ChunkForType(nullptr, MakeChunkType("tEXt")).get()));
}

TEST(PngChunkList, PointerListInsertsOnlyAtValidPositionsAndRemovesTheLastOccurrence) {
    TPNGPointerList list(nullptr);
    int a = 0, b = 0, c = 0;
    list.InsertAt(&a, 1); // ignored: not a position of an empty list
    EXPECT_EQ(list.Count(), 0u);
    list.InsertAt(&a, 0);
    list.Append(&b);
    list.InsertAt(&c, 1); // a c b
    list.InsertAt(&c, 3); // ignored: one past the end
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.ItemAt(1), &c);
    EXPECT_EQ(list.ItemAt(3), nullptr);
    list.Append(&c); // a c b c
    EXPECT_EQ(list.RemoveItem(&c), &c);
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.ItemAt(1), &c); // the earlier occurrence stays
    EXPECT_EQ(list.ItemAt(2), &b);
    EXPECT_EQ(list.RemoveItem(&list), nullptr);
    list.SetItemAt(7, &a); // ignored
    EXPECT_EQ(list.Count(), 3u);
}

TEST(PngChunkList, AddChunkPlacesChunksWhereTheFormatWantsThemAndRefusesDuplicates) {
    TPNGObject picture;
    Load(picture, PalettePng());
    auto types = [&] {
        std::string s;
        for (uint32_t i = 0; i < picture.Chunks.Count(); ++i)
            s += std::string(picture.Chunks.Item(i)->ChunkType.begin(),
                             picture.Chunks.Item(i)->ChunkType.end()) +
                 " ";
        return s;
    };
    picture.Chunks.AddChunk(TChunktRNS::Class());
    picture.Chunks.AddChunk(TChunkgAMA::Class());
    picture.Chunks.AddChunk(TChunktEXt::Class());
    picture.Chunks.AddChunk(TChunkpHYs::Class());
    EXPECT_EQ(types(), "IHDR pHYs gAMA PLTE tRNS IDAT tEXt IEND ");
    for (const TChunkClass* refused :
         {&TChunkIHDR::Class(), &TChunkIDAT::Class(), &TChunkPLTE::Class(), &TChunkIEND::Class(),
          &TChunkgAMA::Class(), &TChunktRNS::Class()}) {
        try {
            picture.Chunks.AddChunk(*refused);
            ADD_FAILURE() << refused->Name << " added";
        } catch (const EPngError& e) {
            EXPECT_EQ(e.Message(), kTextExistentCriticalChunk);
        }
    }
    // Without a palette a tRNS goes before the image data.
    TPNGObject grey;
    Load(grey, pngtest::TPngBuilder()
                   .Signature()
                   .Ihdr(1, 1, 8, 0)
                   .Chunk("IDAT", pngtest::Compress({0, 5}))
                   .Iend()
                   .Data());
    grey.Chunks.AddChunk(TChunktRNS::Class());
    EXPECT_EQ(&grey.Chunks.Item(1)->ChunkClass(), &TChunktRNS::Class());
    TPNGObject empty;
    try {
        empty.Chunks.AddChunk(TChunktEXt::Class());
        ADD_FAILURE() << "added to an empty picture";
    } catch (const EPngError& e) {
        EXPECT_EQ(e.Message(), kTextInvalidImageForNewChunk);
    }
}

TEST(PngChunkList, CopyingRequiresCompatibleClassesForHeaderPaletteAndGamma) {
    TPNGObject picture;
    Load(picture, PalettePng());
    TChunkIHDR header(&picture);
    TChunkPLTE palette(&picture);
    TChunkgAMA gamma(&picture);
    for (TChunk* target : std::initializer_list<TChunk*>{&header, &palette, &gamma}) {
        try {
            target->CopyFrom(*picture.Chunks.Find<TChunkIEND>());
            ADD_FAILURE() << target->ChunkClass().Name << " copied an IEND";
        } catch (const EPngError& e) {
            EXPECT_EQ(e.Message(), kTextChunksNotCompatible);
        }
    }
    palette.CopyFrom(*picture.Chunks.Find<TChunkPLTE>());
    EXPECT_EQ(palette.EntryCount, 3u);
}

TEST(PngChunkList, PaletteLookupStopsAtTheEntryCount) {
    TPNGObject picture;
    Load(picture, PalettePng());
    const TChunkPLTE* palette = picture.Chunks.Find<TChunkPLTE>();
    const RGBQUAD entry = palette->Item(2);
    EXPECT_EQ(entry.rgbRed, 70);
    EXPECT_EQ(entry.rgbGreen, 80);
    EXPECT_EQ(entry.rgbBlue, 90);
    try {
        palette->Item(3);
        ADD_FAILURE() << "entry 3 of 3";
    } catch (const EPngError& e) {
        EXPECT_EQ(e.Message(), "There is no such palette entry.");
    }
    // A transparent entry beyond the palette has no colour to key: the colour
    // table's leftover entry 3 must not be taken for it.
    TPNGObject beyond;
    Load(beyond, PalettePng(pngtest::TPngBuilder().Chunk("tRNS", {255, 255, 255, 0}).Data()));
    EXPECT_EQ(beyond.TransparencyKind(), tkColourKey);
    EXPECT_THROW(beyond.Chunks.Find<TChunktRNS>()->TransparentColour(), EPngError);
    EXPECT_THROW(beyond.TransparentColour(), EPngError);
}

TEST(PngChunkList, TransparentColourSetAndGetForGreyRgbAndPalette) {
    TPNGObject palette;
    Load(palette, PalettePng(pngtest::TPngBuilder().Chunk("tRNS", {255, 0}).Data()));
    auto* trns = palette.Chunks.Find<TChunktRNS>();
    EXPECT_EQ(trns->TransparentColour(), RGB(40, 50, 60));
    trns->SetTransparentColour(RGB(70, 80, 90));
    EXPECT_EQ(trns->BodySize(), 3u); // entries 0, 1 opaque, entry 2 the key
    EXPECT_EQ(trns->AlphaTable[0], 255);
    EXPECT_EQ(trns->AlphaTable[2], 0);
    EXPECT_TRUE(trns->SingleColour);
    EXPECT_EQ(trns->TransparentColour(), RGB(70, 80, 90));

    TPNGObject rgb;
    Load(rgb, pngtest::TPngBuilder()
                  .Signature()
                  .Ihdr(1, 1, 8, 2)
                  .Chunk("tRNS", {0, 1, 0, 2, 0, 3})
                  .Chunk("IDAT", pngtest::Compress({0, 1, 2, 3}))
                  .Iend()
                  .Data());
    auto* rgbKey = rgb.Chunks.Find<TChunktRNS>();
    EXPECT_EQ(rgbKey->TransparentColour(), RGB(1, 2, 3));
    rgbKey->SetTransparentColour(RGB(9, 8, 7));
    EXPECT_EQ(rgbKey->BodySize(), 6u);
    EXPECT_EQ(rgbKey->TransparentColour(), RGB(9, 8, 7));

    TPNGObject grey2; // 2-bit grey: the key is ramp entry 5 x s, where sample s is stored
    Load(grey2, pngtest::TPngBuilder()
                    .Signature()
                    .Ihdr(4, 1, 2, 0)
                    .Chunk("tRNS", {0, 2})
                    .Chunk("IDAT", pngtest::Compress({0, 0x1B}))
                    .Iend()
                    .Data());
    EXPECT_EQ(grey2.Chunks.Find<TChunktRNS>()->TransparentColour(), RGB(170, 170, 170));
}

TEST(PngChunkList, FixedTextsAndZlibStatusTexts) {
    EXPECT_EQ(
        EPNGIHDRNotFirst().Message(),
        "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n"
        "(IHDR chunk is not the first)");
    EXPECT_EQ(EPNGInvalidFileHeader().Message(),
              "The file being readed is not a valid \"Portable Network Graphics\" image because it "
              "contains an "
              "invalid header. This file may be corruped, try obtaining it again.");
    EXPECT_EQ(EPngInvalidCRC().Message(), "This \"Portable Network Graphics\" image is not valid "
                                          "because it contains invalid pieces of "
                                          "data (crc error)");
    const char* statuses[] = {"incompatible version (-6)",
                              "buffer error (-5)",
                              "insufficient memory (-4)",
                              "data error (-3)",
                              "stream error (-2)",
                              "file error (-1)",
                              "(0)",
                              "stream end (1)",
                              "need dictionary (2)"};
    for (int status = -6; status <= 2; ++status)
        EXPECT_EQ(ZlibStatusText(status), statuses[status + 6]);
}

TEST(PngChunkList, CrcOfKnownChunksAndOfPieces) {
    const uint8_t iend[] = {'I', 'E', 'N', 'D'};
    EXPECT_EQ(Crc32(iend, 4), 0xAE426082u);
    TBytes data(1000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i * 31 + 7);
    const uint32_t whole = Crc32(data.data(), data.size());
    for (size_t cut : {0, 1, 63, 64, 65, 500, 999, 1000}) {
        uint32_t running = CrcUpdate(CrcStart(), data.data(), cut);
        running = CrcUpdate(running, data.data() + cut, data.size() - cut);
        EXPECT_EQ(CrcFinish(running), whole) << cut;
    }
}

} // namespace
} // namespace zorbalin

namespace zorbalin {
namespace {

TEST(PngChunkList, ThePictureClassIsRegisteredForPngFiles) {
    const auto& formats = TPicture::FileFormats();
    const auto png = std::find_if(formats.begin(), formats.end(),
                                  [](const TFileFormat& F) { return F.Extension == "png"; });
    ASSERT_NE(png, formats.end());
    EXPECT_EQ(png->Description, "Portable Network Graphics");
    EXPECT_EQ(png->ClassName, "TPNGObject");
    EXPECT_NE(dynamic_cast<TPNGObject*>(png->Create().get()), nullptr);
}

} // namespace
} // namespace zorbalin
