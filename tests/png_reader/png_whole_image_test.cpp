// The whole-image reader against the streaming reader, byte for byte: the same
// exception (class and text), the same chunk list, the same storage and colour
// table, the same drawn picture, for PngSuite, for random pictures of every
// format split into IDAT chunks anywhere, and for every case the whole-image
// reader must leave to the streaming one.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <functional>
#include <random>
#include <typeinfo>

#include "gdi/drawing_surface.h"
#include "imaging/png_image_data.h"
#include "imaging/png_test_switches.h"
#include "imaging/pngpicture.h"
#include "tests/support/png_test_support.h"

namespace zorbalin {
namespace {

using pngtest::TBytes;
using pngtest::TPngBuilder;

// A stream that can only go forward, as a pipe would; it knows its size.
class TForwardOnlyStream : public TStream {
  public:
    explicit TForwardOnlyStream(const TBytes& Data) : FData(Data) {}
    int64_t Read(void* Buffer, int64_t Count) override {
        const int64_t n = std::max<int64_t>(0, std::min<int64_t>(Count, Size() - FPosition));
        if (n > 0)
            std::memcpy(Buffer, FData.data() + FPosition, size_t(n));
        FPosition += n;
        return n;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override {
        const int64_t base = Origin == soFromBeginning ? 0
                             : Origin == soFromCurrent ? FPosition
                                                       : Size();
        if (base + Offset < FPosition)
            return -1;
        FPosition = base + Offset;
        return FPosition;
    }
    int64_t Size() override { return int64_t(FData.size()); }

  private:
    const TBytes& FData;
    int64_t FPosition = 0;
};

struct TOutcome {
    std::string Error;
    std::vector<std::string> Chunks;
    TBytes Colour, Low, Alpha, Table, Drawn;
    TImageDataPath Path = TImageDataPath::None;
};

void CaptureStorage(TPNGObject& Picture, TOutcome& Outcome) {
    const auto* h = dynamic_cast<const TChunkIHDR*>(Picture.Chunks.Item(0));
    if (!h || !h->ColourPlane)
        return;
    const size_t colourBytes = size_t(h->RowStride) * h->ImageHeight;
    const size_t pixels = size_t(h->ImageWidth) * h->ImageHeight;
    Outcome.Colour.assign(h->ColourPlane, h->ColourPlane + colourBytes);
    if (h->LowPlane)
        Outcome.Low.assign(h->LowPlane.get(), h->LowPlane.get() + colourBytes);
    if (h->AlphaPlane)
        Outcome.Alpha.assign(h->AlphaPlane.get(), h->AlphaPlane.get() + pixels);
    const auto* table = reinterpret_cast<const uint8_t*>(h->BitmapInfo.bmiColors);
    Outcome.Table.assign(table, table + sizeof h->BitmapInfo.bmiColors);
}

void CaptureDrawing(TPNGObject& Picture, TOutcome& Outcome) {
    const int width = Picture.Width(), height = Picture.Height();
    if (width == 0 || height == 0 || width * height > 1 << 18)
        return;
    TDrawingSurface surface(width, height);
    ASSERT_TRUE(surface);
    TCanvas canvas(surface.DC());
    canvas.Brush().SetColor(static_cast<TColor>(RGB(40, 160, 90)));
    canvas.FillRect(Rect(0, 0, width, height));
    try {
        Picture.Draw(canvas, Rect(0, 0, width, height));
    } catch (const Exception& e) { // an index beyond the palette, for one
        Outcome.Drawn.assign(e.Message().begin(), e.Message().end());
        return;
    }
    Outcome.Drawn.assign(surface.Row(0), surface.Row(0) + size_t(width) * height * 4);
}

TOutcome Decode(const TBytes& Png, bool WholeImage, bool ForwardOnly) {
    TOutcome outcome;
    TPNGObject picture;
    SetWholeImageReaderEnabled(WholeImage);
    NoteImageDataPath(TImageDataPath::None);
    try {
        TMemoryStream memory(Png.data(), Png.size());
        TForwardOnlyStream forward(Png);
        picture.LoadFromStream(ForwardOnly ? static_cast<TStream&>(forward) : memory);
    } catch (const Exception& e) {
        outcome.Error = std::string(typeid(e).name()) + ": " + e.Message();
    }
    SetWholeImageReaderEnabled(true);
    outcome.Path = LastImageDataPath();
    for (uint32_t i = 0; i < picture.Chunks.Count(); ++i) {
        const TChunk* chunk = picture.Chunks.Item(i);
        outcome.Chunks.push_back(std::string(chunk->ChunkType.begin(), chunk->ChunkType.end()) +
                                 " " + std::to_string(chunk->BodySize()));
    }
    CaptureStorage(picture, outcome);
    if (outcome.Error.empty())
        CaptureDrawing(picture, outcome);
    return outcome;
}

// Decodes with the streaming reader alone and with both; the outcomes must be the
// same. Returns the reader that took the data when both were allowed.
TImageDataPath ExpectSameOutcome(const TBytes& Png, const std::string& What,
                                 bool ForwardOnly = false) {
    const TOutcome streaming = Decode(Png, false, ForwardOnly);
    const TOutcome both = Decode(Png, true, ForwardOnly);
    EXPECT_NE(streaming.Path, TImageDataPath::WholeImage) << What;
    EXPECT_EQ(streaming.Error, both.Error) << What;
    EXPECT_EQ(streaming.Chunks, both.Chunks) << What;
    EXPECT_TRUE(streaming.Colour == both.Colour) << What << ": colour plane";
    EXPECT_TRUE(streaming.Low == both.Low) << What << ": low plane";
    EXPECT_TRUE(streaming.Alpha == both.Alpha) << What << ": alpha plane";
    EXPECT_TRUE(streaming.Table == both.Table) << What << ": colour table";
    EXPECT_TRUE(streaming.Drawn == both.Drawn) << What << ": drawn picture";
    return both.Path;
}

TEST(PngWholeImage, PngSuiteDecodesAlikeOnBothReaders) {
    int files = 0, whole = 0;
    for (const std::string& name : pngtest::PngSuiteNames()) {
        ++files;
        whole += ExpectSameOutcome(pngtest::ReadFile(pngtest::PngSuitePath(name)), name) ==
                 TImageDataPath::WholeImage;
    }
    EXPECT_EQ(files, 175);
    EXPECT_GE(whole, 150); // every intact picture but the empty ones
}

// Random filtered bytes of the exact size, with filter types of every kind (a few
// unknown ones too), compressed at a random level and cut into IDAT chunks at
// random places (empty ones among them).
TBytes RandomPicture(std::mt19937& Random, uint8_t ColourType, uint8_t Depth, uint8_t Interlace) {
    const uint32_t width = 1 + Random() % 40, height = 1 + Random() % 40;
    TPNGObject geometry; // the filtered size, from the reader's own row arithmetic
    TBytes header = TPngBuilder()
                        .Signature()
                        .Ihdr(width, height, Depth, ColourType, Interlace)
                        .Chunk("IDAT", pngtest::Compress({}))
                        .Iend()
                        .Data();
    SetWholeImageReaderEnabled(false);
    try {
        LoadPNGFromMemory(geometry, header.data(), header.size());
    } catch (const Exception&) {
    }
    SetWholeImageReaderEnabled(true);
    TBytes filtered(FilteredImageBytes(geometry));
    const uint32_t rowBytes = geometry.FullRowBytes();
    for (size_t i = 0; i < filtered.size(); ++i)
        filtered[i] = uint8_t(Random());
    for (size_t i = 0; !Interlace && i < filtered.size(); i += rowBytes + 1)
        filtered[i] = Random() % 16 == 0 ? uint8_t(Random()) : uint8_t(Random() % 5);
    if (Interlace) // pass rows have other lengths: every byte may be a filter type
        for (size_t i = 0; i < filtered.size(); ++i)
            filtered[i] = Random() % 3 == 0 ? uint8_t(Random() % 5) : filtered[i];
    TBytes z = pngtest::Compress(filtered, int(Random() % 10));

    TPngBuilder b;
    b.Signature().Ihdr(width, height, Depth, ColourType, Interlace);
    if (Random() % 3 == 0)
        b.Chunk("gAMA", pngtest::BigEndian32(30000 + Random() % 100000));
    if (ColourType == 3) {
        TBytes palette(3 * (1 + Random() % 256));
        for (uint8_t& v : palette)
            v = uint8_t(Random());
        b.Chunk("PLTE", palette);
        b.Chunk("tRNS", TBytes(Random() % (palette.size() / 3 + 1), 0x80));
    }
    for (size_t at = 0; at < z.size();) {
        const size_t piece = std::min<size_t>(z.size() - at, Random() % 3 == 0 ? 0 : Random() % 64);
        b.Chunk("IDAT", TBytes(z.begin() + at, z.begin() + at + piece));
        at += piece;
    }
    return b.Iend().Data();
}

TEST(PngWholeImage, RandomPicturesOfEveryFormatSplitAnywhereDecodeAlike) {
    std::mt19937 random(20240611);
    for (const pngtest::TFormat& f : pngtest::kValidFormats)
        for (uint8_t interlace : {0, 1})
            for (int n = 0; n < 6; ++n) {
                const std::string what = "type " + std::to_string(f.ColourType) + " depth " +
                                         std::to_string(f.BitDepth) + " interlace " +
                                         std::to_string(interlace) + " #" + std::to_string(n);
                TBytes png = RandomPicture(random, f.ColourType, f.BitDepth, interlace);
                EXPECT_EQ(ExpectSameOutcome(png, what), TImageDataPath::WholeImage) << what;
            }
}

// Each case the whole-image reader must leave to the streaming one, and two it
// takes although they look unusual.
TEST(PngWholeImage, EveryUnusualCaseGivesTheStreamingOutcome) {
    const pngtest::TSampleImage im = pngtest::MakeSampleImage(16, 30, 8, 6, 0, 5);
    TBytes filtered = pngtest::FilteredData(im);
    TBytes z = pngtest::Compress(filtered, 0); // stored: rows at known places
    const size_t third = z.size() / 3;
    TBytes first(z.begin(), z.begin() + third), second(z.begin() + third, z.begin() + 2 * third),
        last(z.begin() + 2 * third, z.end());
    auto start = [] { return TPngBuilder().Signature().Ihdr(16, 30, 8, 6); };
    TBytes runsLong = filtered;
    runsLong.insert(runsLong.end(), 100, 7);
    TBytes badAdler = z;
    badAdler.back() ^= 1;
    TBytes cutShort = start().Chunk("IDAT", first).Chunk("IDAT", second).Chunk("IDAT", last).Data();
    cutShort.resize(cutShort.size() - 20);
    TBytes hugeLength = start().Chunk("IDAT", z).Data();
    hugeLength.insert(hugeLength.end(), {0x80, 0, 0, 0, 'I', 'D', 'A', 'T', 1, 2, 3});

    const struct {
        const char* What;
        TBytes Png;
        TImageDataPath Path;
        bool ForwardOnly;
        uint64_t Limit;
    } cases[] = {
        {"bad CRC on the second of three IDATs",
         start().Chunk("IDAT", first).BadCrcChunk("IDAT", second).Chunk("IDAT", last).Iend().Data(),
         TImageDataPath::Streaming, false, 0},
        {"bad CRC on an IDAT after the image's data",
         start().Chunk("IDAT", z).BadCrcChunk("IDAT", {1, 2}).Iend().Data(),
         TImageDataPath::Streaming, false, 0},
        {"zlib stream ending early",
         start()
             .Chunk("IDAT", pngtest::Compress(TBytes(filtered.begin(), filtered.end() - 90)))
             .Iend()
             .Data(),
         TImageDataPath::Streaming, false, 0},
        {"zlib stream running long",
         start().Chunk("IDAT", pngtest::Compress(runsLong)).Iend().Data(),
         TImageDataPath::Streaming, false, 0},
        {"checksum mismatch", start().Chunk("IDAT", badAdler).Iend().Data(),
         TImageDataPath::Streaming, false, 0},
        {"corrupt compressed data",
         start()
             .Chunk("IDAT", TBytes(z.begin(), z.begin() + 40))
             .Chunk("IDAT", {0xFF, 0xFF, 0xFF})
             .Iend()
             .Data(),
         TImageDataPath::Streaming, false, 0},
        {"another chunk between IDATs the image needs",
         start()
             .Chunk("IDAT", first)
             .Chunk("tEXt", {'a', 0, 'b'})
             .Chunk("IDAT", second)
             .Iend()
             .Data(),
         TImageDataPath::Streaming, false, 0},
        {"the file ends inside the last IDAT", cutShort, TImageDataPath::Streaming, false, 0},
        {"an IDAT longer than chunks may be", hugeLength, TImageDataPath::Streaming, false, 0},
        {"a stream that cannot seek back",
         start().Chunk("IDAT", first).Chunk("IDAT", second).Chunk("IDAT", last).Iend().Data(),
         TImageDataPath::Streaming, true, 0},
        {"a filtered image above the limit", start().Chunk("IDAT", z).Iend().Data(),
         TImageDataPath::Streaming, false, filtered.size() - 1},
        {"another chunk after IDATs that hold the whole image",
         start().Chunk("IDAT", z).Chunk("tEXt", {'a', 0, 'b'}).Chunk("IDAT", {1}).Iend().Data(),
         TImageDataPath::WholeImage, false, 0},
        {"bytes after the end of the zlib stream",
         start().Chunk("IDAT", z).Chunk("IDAT", {9, 9, 9}).Iend().Data(),
         TImageDataPath::WholeImage, false, 0},
    };
    for (const auto& c : cases) {
        SetWholeImageLimit(c.Limit ? c.Limit : kDefaultWholeImageLimit);
        EXPECT_EQ(ExpectSameOutcome(c.Png, c.What, c.ForwardOnly), c.Path) << c.What;
    }
    SetWholeImageLimit(kDefaultWholeImageLimit);
}

} // namespace
} // namespace zorbalin
