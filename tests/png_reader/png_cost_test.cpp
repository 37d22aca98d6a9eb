// What a small hostile file may cost the reader: a compressed text is capped,
// many tiny chunks cost in proportion to their number, and a header that claims
// a huge picture takes resident memory only for the rows that are decoded.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "imaging/pngpicture.h"
#include "tests/support/png_test_support.h"

// Every allocation of this test program through new is counted.
namespace {
std::atomic<std::size_t> gAllocatedBytes{0};
} // namespace

void* operator new(std::size_t Size) {
    gAllocatedBytes += Size;
    if (void* block = std::malloc(Size ? Size : 1))
        return block;
    throw std::bad_alloc();
}
void operator delete(void* Block) noexcept {
    std::free(Block);
}
void operator delete(void* Block, std::size_t) noexcept {
    std::free(Block);
}

namespace zorbalin {
namespace {

using pngtest::TBytes;
using pngtest::TPngBuilder;

void Load(TPNGObject& Picture, const TBytes& Data) {
    TMemoryStream stream(Data.data(), Data.size());
    Picture.LoadFromStream(stream);
}

TPngBuilder OnePixelStart() {
    return std::move(TPngBuilder().Signature().Ihdr(1, 1, 8, 0));
}

std::size_t ResidentBytes() {
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

TEST(PngCost, CompressedTextKeepsItsFirstMebibyte) {
    TBytes text(3 << 20);
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<uint8_t>('a' + i % 26);
    TBytes ztxt = {'B', 'o', 'm', 'b', 0, 0};
    TBytes packed = pngtest::Compress(text, 9);
    ztxt.insert(ztxt.end(), packed.begin(), packed.end());
    TPNGObject picture;
    Load(
        picture,
        OnePixelStart().Chunk("zTXt", ztxt).Chunk("IDAT", pngtest::Compress({0, 7})).Iend().Data());
    const auto* chunk = picture.Chunks.Find<TChunkzTXt>();
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(chunk->Keyword, "Bomb");
    ASSERT_EQ(chunk->Text.size(), 1u << 20);
    EXPECT_TRUE(std::equal(chunk->Text.begin(), chunk->Text.end(), text.begin()));
}

TEST(PngCost, ManyTinyChunksCostInProportionToTheirNumber) {
    TPngBuilder builder = OnePixelStart();
    for (int i = 0; i < 20000; ++i)
        builder.Chunk("tEXt", {'k', 0, uint8_t('0' + i % 10)});
    TBytes png = builder.Chunk("IDAT", pngtest::Compress({0, 7})).Iend().Data();
    gAllocatedBytes = 0;
    TPNGObject picture;
    Load(picture, png);
    // About 300 KB of stream and 20,000 small chunk objects; a list moved at
    // every growth step would pass 150 MB.
    EXPECT_LT(gAllocatedBytes.load(), std::size_t(32) << 20);
    ASSERT_EQ(picture.Chunks.Count(), 20003u);
    EXPECT_EQ(dynamic_cast<TChunktEXt*>(picture.Chunks.Item(19999))->Text, "8");
    EXPECT_TRUE(SameType(picture.Chunks.Item(20002)->ChunkType, "IEND"));
}

TEST(PngCost, AHugeHeaderWithoutRowsTakesNoResidentMemory) {
    // 11000 x 11000 RGBA at 16 bits: 847 MB of planes, of which one row is decoded.
    TBytes png = TPngBuilder()
                     .Signature()
                     .Ihdr(11000, 11000, 16, 6)
                     .Chunk("IDAT", pngtest::Compress({0, 0, 0}))
                     .Iend()
                     .Data();
    const std::size_t before = ResidentBytes();
    TPNGObject picture;
    Load(picture, png);
    const std::size_t grown = ResidentBytes() - before;
    EXPECT_EQ(picture.Width(), 11000);
    EXPECT_LT(grown, std::size_t(32) << 20);
}

} // namespace
} // namespace zorbalin
