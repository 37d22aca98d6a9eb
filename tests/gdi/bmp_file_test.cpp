// Windows bitmap files: every depth and compression read and written back, and damaged files
// refused with the one message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "gdi/bmp.h"
#include "toolkit/bitmap.h"
#include "toolkit/exception.h"
#include "toolkit/stream.h"

namespace zorbalin {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A hand-built BMP file: headers as given, then the colour table and the stored pixel bytes.
struct TBmpSpec {
    std::uint32_t headerSize = 40;
    std::int32_t width = 3;
    std::int32_t height = 2;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = BI_RGB;
    std::uint32_t colorsUsed = 0;
    std::vector<COLORREF> table;
    std::uint32_t masks[4] = {0, 0, 0, 0};
    Bytes pixels;

    Bytes Build() const {
        Bytes info;
        if (headerSize == 12) {
            Put32(info, 12);
            Put16(info, static_cast<std::uint32_t>(width));
            Put16(info, static_cast<std::uint32_t>(height));
            Put16(info, planes);
            Put16(info, bitCount);
        } else {
            Put32(info, headerSize);
            Put32(info, static_cast<std::uint32_t>(width));
            Put32(info, static_cast<std::uint32_t>(height));
            Put16(info, planes);
            Put16(info, bitCount);
            Put32(info, compression);
            Put32(info, static_cast<std::uint32_t>(pixels.size()));
            Put32(info, 0);
            Put32(info, 0);
            Put32(info, colorsUsed);
            Put32(info, 0);
            if (headerSize > 40)
                for (std::uint32_t m : masks)
                    Put32(info, m);
            info.resize(headerSize, 0);
            if (headerSize == 40 && compression == BI_BITFIELDS)
                for (int i = 0; i < 3; ++i)
                    Put32(info, masks[i]);
        }
        for (COLORREF c : table) {
            info.push_back(GetBValue(c));
            info.push_back(GetGValue(c));
            info.push_back(GetRValue(c));
            if (headerSize != 12)
                info.push_back(0);
        }
        Bytes file{'B', 'M'};
        Put32(file, static_cast<std::uint32_t>(14 + info.size() + pixels.size()));
        Put32(file, 0);
        Put32(file, static_cast<std::uint32_t>(14 + info.size()));
        file.insert(file.end(), info.begin(), info.end());
        file.insert(file.end(), pixels.begin(), pixels.end());
        return file;
    }
};

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
               kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

std::unique_ptr<TBitmap> Load(const Bytes& file) {
    auto bitmap = std::make_unique<TBitmap>();
    TMemoryStream stream(file.data(), file.size());
    bitmap->LoadFromStream(stream);
    return bitmap;
}

std::vector<COLORREF> Pixels(TBitmap& b) {
    std::vector<COLORREF> out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            out.push_back(static_cast<COLORREF>(b.Canvas().Pixel(x, y)));
    return out;
}

// Loads the file, checks its pixels (top row first), saves it and loads the result again.
void ExpectRoundTrip(const Bytes& file, const std::vector<COLORREF>& expected,
                     TPixelFormat format) {
    auto first = Load(file);
    EXPECT_EQ(first->PixelFormat(), format);
    EXPECT_EQ(Pixels(*first), expected);
    TMemoryStream saved;
    first->SaveToStream(saved);
    saved.SetPosition(0);
    TBitmap second;
    second.LoadFromStream(saved);
    EXPECT_EQ(second.PixelFormat(), format);
    EXPECT_EQ(Pixels(second), expected);
}

// Stored rows are bottom-up: the first stored row is the bottom one.
TEST(BmpRead, EightBitWithColourTable) {
    TBmpSpec s;
    s.bitCount = 8;
    s.colorsUsed = 4;
    s.table = {kBlack, kRed, kGreen, kBlue};
    s.pixels = {0, 1, 2, 0, /**/ 3, 2, 1, 0};
    ExpectRoundTrip(s.Build(), {kBlue, kGreen, kRed, kBlack, kRed, kGreen}, pf8bit);
}

TEST(BmpRead, OneAndFourBitPacked) {
    TBmpSpec one;
    one.bitCount = 1;
    one.table = {kBlack, kWhite};
    one.pixels = {0xA0, 0, 0, 0, /**/ 0x40, 0, 0, 0}; // bottom 1,0,1; top 0,1,0
    ExpectRoundTrip(one.Build(), {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}, pf1bit);

    TBmpSpec four;
    four.bitCount = 4;
    four.colorsUsed = 3;
    four.table = {kRed, kGreen, kBlue};
    four.pixels = {0x01, 0x20, 0, 0, /**/ 0x22, 0x10, 0, 0};
    ExpectRoundTrip(four.Build(), {kBlue, kBlue, kGreen, kRed, kGreen, kBlue}, pf4bit);
}

TEST(BmpRead, SixteenBitFiveFiveFiveAndFiveSixFive) {
    TBmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bitCount = 16;
    s.pixels = {0x00, 0x7C, 0x1F, 0x00}; // red, blue
    ExpectRoundTrip(s.Build(), {kRed, kBlue}, pf15bit);

    TBmpSpec b = s;
    b.compression = BI_BITFIELDS;
    b.masks[0] = 0xF800;
    b.masks[1] = 0x07E0;
    b.masks[2] = 0x001F;
    b.pixels = {0xE0, 0x07, 0x1F, 0x00}; // green, blue in 5-6-5
    ExpectRoundTrip(b.Build(), {kGreen, kBlue}, pf24bit);
}

TEST(BmpRead, TwentyFourBitBottomUpAndTopDown) {
    TBmpSpec s;
    s.width = 2;
    s.pixels = {0, 0, 255, 0, 255, 0, 0, 0, /**/ 255, 0, 0, 255, 255, 255, 0, 0};
    ExpectRoundTrip(s.Build(), {kBlue, kWhite, kRed, kGreen}, pf24bit);
    s.height = -2; // the first stored row is now the top one
    ExpectRoundTrip(s.Build(), {kRed, kGreen, kBlue, kWhite}, pf24bit);
}

TEST(BmpRead, ThirtyTwoBitPlainAndV5BitfieldsWithAlpha) {
    TBmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bitCount = 32;
    s.pixels = {0, 0, 255, 0, 255, 0, 0, 0};
    ExpectRoundTrip(s.Build(), {kRed, kBlue}, pf32bit);

    TBmpSpec v5 = s;
    v5.headerSize = 124;
    v5.compression = BI_BITFIELDS;
    v5.masks[0] = 0x000000FF; // red in the first byte
    v5.masks[1] = 0x0000FF00;
    v5.masks[2] = 0x00FF0000;
    v5.masks[3] = 0xFF000000;
    v5.pixels = {255, 0, 0, 128, 0, 255, 0, 255};
    ExpectRoundTrip(v5.Build(), {kRed, kGreen}, pf32bit);
    TDibImage image;
    Bytes file = v5.Build();
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), TBmpError::None);
    EXPECT_EQ(image.bits[3], 128) << "the alpha byte is kept";

    TBmpSpec v4 = s;
    v4.headerSize = 108;
    ExpectRoundTrip(v4.Build(), {kRed, kBlue}, pf32bit);
}

TEST(BmpRead, RunLengthEightAndFour) {
    TBmpSpec s;
    s.width = 5;
    s.bitCount = 8;
    s.compression = BI_RLE8;
    s.colorsUsed = 3;
    s.table = {kBlack, kRed, kGreen};
    // Bottom row: a run of 2 reds, a literal 2,1,2 (padded); end of line. Top row: a delta
    // right by 3, a run of one green; end of bitmap.
    s.pixels = {2, 1, 0, 3, 2, 1, 2, 0, 0, 0, 0, 2, 3, 0, 1, 2, 0, 1};
    ExpectRoundTrip(s.Build(),
                    {kBlack, kBlack, kBlack, kGreen, kBlack, //
                     kRed, kRed, kGreen, kRed, kGreen},
                    pf8bit);

    TBmpSpec f;
    f.width = 7;
    f.height = 1;
    f.bitCount = 4;
    f.compression = BI_RLE4;
    f.colorsUsed = 3;
    f.table = {kBlack, kRed, kGreen};
    // A run of three alternating 1, 2, 1; a literal of three pixels 2, 1, 2 (two bytes, a whole
    // word); a run of one 1; end of bitmap.
    f.pixels = {3, 0x12, 0, 3, 0x21, 0x20, 1, 0x10, 0, 1};
    ExpectRoundTrip(f.Build(), {kRed, kGreen, kRed, kGreen, kRed, kGreen, kRed}, pf4bit);
}

TEST(BmpRead, OldCoreHeaderWithThreeByteColours) {
    TBmpSpec s;
    s.headerSize = 12;
    s.width = 2;
    s.height = 1;
    s.bitCount = 8;
    s.table.assign(256, kBlack);
    s.table[7] = kBlue;
    s.pixels = {7, 0, 0, 0};
    ExpectRoundTrip(s.Build(), {kBlue, kBlack}, pf8bit);
}

// One row of `width` white pixels in runs of 255, run-length encoded: a few
// bytes that stand for a wide picture.
TBmpSpec RunLengthRow(std::int32_t width) {
    TBmpSpec s;
    s.width = width;
    s.height = 1;
    s.bitCount = 8;
    s.compression = BI_RLE8;
    s.colorsUsed = 2;
    s.table = {kBlack, kWhite};
    for (std::int32_t left = width; left > 0; left -= 255)
        s.pixels.insert(s.pixels.end(), {std::uint8_t(std::min(left, 255)), 1});
    s.pixels.insert(s.pixels.end(), {0, 1});
    return s;
}

// Every kind of damage gives the same message.
TEST(BmpRead, DamagedFilesAreNotValidBitmaps) {
    TBmpSpec good;
    good.bitCount = 8;
    good.colorsUsed = 2;
    good.table = {kBlack, kWhite};
    good.pixels = {0, 1, 0, 0, 1, 0, 1, 0};
    ASSERT_NO_THROW(Load(good.Build()));
    EXPECT_EQ(Load(RunLengthRow(16384).Build())->Width(), 16384) << "the widest picture";

    std::vector<std::pair<std::string, std::function<Bytes()>>> damage = {
        {"empty", [] { return Bytes(); }},
        {"shorter than the file header",
         [&] {
             Bytes b = good.Build();
             b.resize(10);
             return b;
         }},
        {"wrong signature",
         [&] {
             Bytes b = good.Build();
             b[1] = 'X';
             return b;
         }},
        {"unknown header size",
         [&] {
             TBmpSpec s = good;
             s.headerSize = 41;
             return s.Build();
         }},
        {"two planes",
         [&] {
             TBmpSpec s = good;
             s.planes = 2;
             return s.Build();
         }},
        {"bit count 7",
         [&] {
             TBmpSpec s = good;
             s.bitCount = 7;
             return s.Build();
         }},
        {"width 0",
         [&] {
             TBmpSpec s = good;
             s.width = 0;
             return s.Build();
         }},
        {"height 0",
         [&] {
             TBmpSpec s = good;
             s.height = 0;
             return s.Build();
         }},
        {"negative width",
         [&] {
             TBmpSpec s = good;
             s.width = -3;
             return s.Build();
         }},
        {"size beyond the file",
         [&] {
             TBmpSpec s = good;
             s.width = 0x7FFFFFF;
             s.height = 0x7FFFFFF;
             return s.Build();
         }},
        {"pixels one byte short",
         [&] {
             Bytes b = good.Build();
             b.pop_back();
             return b;
         }},
        {"colour table cut",
         [&] {
             TBmpSpec s = good;
             s.colorsUsed = 256;
             return s.Build();
         }},
        {"more colours than the bit count",
         [&] {
             TBmpSpec s = good;
             s.bitCount = 1;
             s.colorsUsed = 3;
             s.table.push_back(kRed);
             return s.Build();
         }},
        {"palette index beyond the table",
         [&] {
             TBmpSpec s = good;
             s.pixels[1] = 2;
             return s.Build();
         }},
        {"RLE with 24 bits",
         [&] {
             TBmpSpec s = good;
             s.bitCount = 24;
             s.compression = BI_RLE8;
             return s.Build();
         }},
        {"RLE run past the row",
         [&] {
             TBmpSpec s = good;
             s.compression = BI_RLE8;
             s.pixels = {4, 1, 0, 1};
             return s.Build();
         }},
        {"RLE without an end",
         [&] {
             TBmpSpec s = good;
             s.compression = BI_RLE8;
             s.pixels = {2, 1};
             return s.Build();
         }},
        {"RLE top-down",
         [&] {
             TBmpSpec s = good;
             s.compression = BI_RLE8;
             s.height = -2;
             s.pixels = {0, 1};
             return s.Build();
         }},
        {"unknown compression",
         [&] {
             TBmpSpec s = good;
             s.compression = 9;
             return s.Build();
         }},
        {"wider than 16,384 pixels",
         [&] {
             TBmpSpec s = RunLengthRow(16385);
             return s.Build();
         }},
        {"pixel offset past the end",
         [&] {
             Bytes b = good.Build();
             b[10] = 0xFF;
             b[11] = 0xFF;
             return b;
         }},
    };
    for (auto& [what, make] : damage) {
        try {
            Load(make());
            ADD_FAILURE() << what << ": accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), "Bitmap image is not valid") << what;
        }
    }
}

TEST(BmpRead, FailedLoadKeepsNoHalfPicture) {
    TBmpSpec s;
    s.bitCount = 8;
    s.colorsUsed = 2;
    s.table = {kBlack, kWhite};
    s.pixels = {0, 1, 0, 0, 1, 0, 9, 0}; // index 9 in the top row
    TBitmap b;
    TMemoryStream stream;
    Bytes file = s.Build();
    stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
    stream.SetPosition(0);
    EXPECT_THROW(b.LoadFromStream(stream), EInvalidGraphic);
    EXPECT_TRUE(b.Empty());
}

TEST(BmpFiles, MissingFileNamesPathAndReason) {
    TBitmap b;
    try {
        b.LoadFromFile("/nonexistent-folder/1.bmp");
        FAIL() << "opened";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(),
                  "Cannot open file \"/nonexistent-folder/1.bmp\". No such file or directory");
    }
}

TEST(BmpFiles, SaveToFileAndLoadBack) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(3, 2);
    b.Canvas().SetPixel(2, 1, clRed);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clWhite) << "new pixels are white";
    char path[] = "/tmp/zorbalin-bmp-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    b.SaveToFile(path);
    TBitmap again;
    again.LoadFromFile(path);
    std::remove(path);
    EXPECT_EQ(again.Width(), 3);
    EXPECT_EQ(again.Height(), 2);
    EXPECT_EQ(again.Canvas().Pixel(2, 1), clRed);
    EXPECT_EQ(again.Canvas().Pixel(1, 1), clWhite);
}

} // namespace
} // namespace zorbalin
