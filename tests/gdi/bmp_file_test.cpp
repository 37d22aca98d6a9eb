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
#include "shell/unique_fd.h"
#include "toolkit/bitmap.h"
#include "toolkit/exception.h"
#include "toolkit/stream.h"

namespace zorbalin {
namespace {

using TBytes = std::vector<std::uint8_t>;

void Put16(TBytes& B, std::uint32_t V) {
    B.push_back(std::uint8_t(V));
    B.push_back(std::uint8_t(V >> 8));
}
void Put32(TBytes& B, std::uint32_t V) {
    Put16(B, V & 0xFFFF);
    Put16(B, V >> 16);
}

// A hand-built BMP file: headers as given, then the colour table and the stored pixel bytes.
struct TBmpSpec {
    std::uint32_t HeaderSize = 40;
    std::int32_t Width = 3;
    std::int32_t Height = 2;
    std::uint16_t Planes = 1;
    std::uint16_t BitCount = 24;
    std::uint32_t Compression = BI_RGB;
    std::uint32_t ColorsUsed = 0;
    std::vector<COLORREF> Table;
    std::uint32_t Masks[4] = {0, 0, 0, 0};
    TBytes Pixels;

    TBytes Build() const {
        TBytes info;
        if (HeaderSize == 12) {
            Put32(info, 12);
            Put16(info, static_cast<std::uint32_t>(Width));
            Put16(info, static_cast<std::uint32_t>(Height));
            Put16(info, Planes);
            Put16(info, BitCount);
        } else {
            Put32(info, HeaderSize);
            Put32(info, static_cast<std::uint32_t>(Width));
            Put32(info, static_cast<std::uint32_t>(Height));
            Put16(info, Planes);
            Put16(info, BitCount);
            Put32(info, Compression);
            Put32(info, static_cast<std::uint32_t>(Pixels.size()));
            Put32(info, 0);
            Put32(info, 0);
            Put32(info, ColorsUsed);
            Put32(info, 0);
            if (HeaderSize > 40)
                for (std::uint32_t m : Masks)
                    Put32(info, m);
            info.resize(HeaderSize, 0);
            if (HeaderSize == 40 && Compression == BI_BITFIELDS)
                for (int i = 0; i < 3; ++i)
                    Put32(info, Masks[i]);
        }
        for (COLORREF c : Table) {
            info.push_back(GetBValue(c));
            info.push_back(GetGValue(c));
            info.push_back(GetRValue(c));
            if (HeaderSize != 12)
                info.push_back(0);
        }
        TBytes file{'B', 'M'};
        Put32(file, static_cast<std::uint32_t>(14 + info.size() + Pixels.size()));
        Put32(file, 0);
        Put32(file, static_cast<std::uint32_t>(14 + info.size()));
        file.insert(file.end(), info.begin(), info.end());
        file.insert(file.end(), Pixels.begin(), Pixels.end());
        return file;
    }
};

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
               kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

std::unique_ptr<TBitmap> Load(const TBytes& File) {
    auto bitmap = std::make_unique<TBitmap>();
    TMemoryStream stream(File.data(), File.size());
    bitmap->LoadFromStream(stream);
    return bitmap;
}

std::vector<COLORREF> Pixels(TBitmap& B) {
    std::vector<COLORREF> out;
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            out.push_back(static_cast<COLORREF>(B.Canvas().Pixel(x, y)));
    return out;
}

// Loads the file, checks its pixels (top row first), saves it and loads the result again.
void ExpectRoundTrip(const TBytes& File, const std::vector<COLORREF>& Expected,
                     TPixelFormat Format) {
    auto first = Load(File);
    EXPECT_EQ(first->PixelFormat(), Format);
    EXPECT_EQ(Pixels(*first), Expected);
    TMemoryStream saved;
    first->SaveToStream(saved);
    saved.SetPosition(0);
    TBitmap second;
    second.LoadFromStream(saved);
    EXPECT_EQ(second.PixelFormat(), Format);
    EXPECT_EQ(Pixels(second), Expected);
}

// Stored rows are bottom-up: the first stored row is the bottom one.
TEST(BmpRead, EightBitWithColourTable) {
    TBmpSpec s;
    s.BitCount = 8;
    s.ColorsUsed = 4;
    s.Table = {kBlack, kRed, kGreen, kBlue};
    s.Pixels = {0, 1, 2, 0, /**/ 3, 2, 1, 0};
    ExpectRoundTrip(s.Build(), {kBlue, kGreen, kRed, kBlack, kRed, kGreen}, pf8bit);
}

TEST(BmpRead, OneAndFourBitPacked) {
    TBmpSpec one;
    one.BitCount = 1;
    one.Table = {kBlack, kWhite};
    one.Pixels = {0xA0, 0, 0, 0, /**/ 0x40, 0, 0, 0}; // bottom 1,0,1; top 0,1,0
    ExpectRoundTrip(one.Build(), {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}, pf1bit);

    TBmpSpec four;
    four.BitCount = 4;
    four.ColorsUsed = 3;
    four.Table = {kRed, kGreen, kBlue};
    four.Pixels = {0x01, 0x20, 0, 0, /**/ 0x22, 0x10, 0, 0};
    ExpectRoundTrip(four.Build(), {kBlue, kBlue, kGreen, kRed, kGreen, kBlue}, pf4bit);
}

TEST(BmpRead, SixteenBitFiveFiveFiveAndFiveSixFive) {
    TBmpSpec s;
    s.Width = 2;
    s.Height = 1;
    s.BitCount = 16;
    s.Pixels = {0x00, 0x7C, 0x1F, 0x00}; // red, blue
    ExpectRoundTrip(s.Build(), {kRed, kBlue}, pf15bit);

    TBmpSpec b = s;
    b.Compression = BI_BITFIELDS;
    b.Masks[0] = 0xF800;
    b.Masks[1] = 0x07E0;
    b.Masks[2] = 0x001F;
    b.Pixels = {0xE0, 0x07, 0x1F, 0x00}; // green, blue in 5-6-5
    ExpectRoundTrip(b.Build(), {kGreen, kBlue}, pf24bit);
}

TEST(BmpRead, TwentyFourBitBottomUpAndTopDown) {
    TBmpSpec s;
    s.Width = 2;
    s.Pixels = {0, 0, 255, 0, 255, 0, 0, 0, /**/ 255, 0, 0, 255, 255, 255, 0, 0};
    ExpectRoundTrip(s.Build(), {kBlue, kWhite, kRed, kGreen}, pf24bit);
    s.Height = -2; // the first stored row is now the top one
    ExpectRoundTrip(s.Build(), {kRed, kGreen, kBlue, kWhite}, pf24bit);
}

TEST(BmpRead, ThirtyTwoBitPlainAndV5BitfieldsWithAlpha) {
    TBmpSpec s;
    s.Width = 2;
    s.Height = 1;
    s.BitCount = 32;
    s.Pixels = {0, 0, 255, 0, 255, 0, 0, 0};
    ExpectRoundTrip(s.Build(), {kRed, kBlue}, pf32bit);

    TBmpSpec v5 = s;
    v5.HeaderSize = 124;
    v5.Compression = BI_BITFIELDS;
    v5.Masks[0] = 0x000000FF; // red in the first byte
    v5.Masks[1] = 0x0000FF00;
    v5.Masks[2] = 0x00FF0000;
    v5.Masks[3] = 0xFF000000;
    v5.Pixels = {255, 0, 0, 128, 0, 255, 0, 255};
    ExpectRoundTrip(v5.Build(), {kRed, kGreen}, pf32bit);
    TDibImage image;
    TBytes file = v5.Build();
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), image), TBmpError::None);
    EXPECT_EQ(image.Bits[3], 128) << "the alpha byte is kept";

    TBmpSpec v4 = s;
    v4.HeaderSize = 108;
    ExpectRoundTrip(v4.Build(), {kRed, kBlue}, pf32bit);
}

TEST(BmpRead, RunLengthEightAndFour) {
    TBmpSpec s;
    s.Width = 5;
    s.BitCount = 8;
    s.Compression = BI_RLE8;
    s.ColorsUsed = 3;
    s.Table = {kBlack, kRed, kGreen};
    // Bottom row: a run of 2 reds, a literal 2,1,2 (padded); end of line. Top row: a delta
    // right by 3, a run of one green; end of bitmap.
    s.Pixels = {2, 1, 0, 3, 2, 1, 2, 0, 0, 0, 0, 2, 3, 0, 1, 2, 0, 1};
    ExpectRoundTrip(s.Build(),
                    {kBlack, kBlack, kBlack, kGreen, kBlack, //
                     kRed, kRed, kGreen, kRed, kGreen},
                    pf8bit);

    TBmpSpec f;
    f.Width = 7;
    f.Height = 1;
    f.BitCount = 4;
    f.Compression = BI_RLE4;
    f.ColorsUsed = 3;
    f.Table = {kBlack, kRed, kGreen};
    // A run of three alternating 1, 2, 1; a literal of three pixels 2, 1, 2 (two bytes, a whole
    // word); a run of one 1; end of bitmap.
    f.Pixels = {3, 0x12, 0, 3, 0x21, 0x20, 1, 0x10, 0, 1};
    ExpectRoundTrip(f.Build(), {kRed, kGreen, kRed, kGreen, kRed, kGreen, kRed}, pf4bit);
}

TEST(BmpRead, OldCoreHeaderWithThreeByteColours) {
    TBmpSpec s;
    s.HeaderSize = 12;
    s.Width = 2;
    s.Height = 1;
    s.BitCount = 8;
    s.Table.assign(256, kBlack);
    s.Table[7] = kBlue;
    s.Pixels = {7, 0, 0, 0};
    ExpectRoundTrip(s.Build(), {kBlue, kBlack}, pf8bit);
}

// One row of `width` white pixels in runs of 255, run-length encoded: a few
// bytes that stand for a wide picture.
TBmpSpec RunLengthRow(std::int32_t Width) {
    TBmpSpec s;
    s.Width = Width;
    s.Height = 1;
    s.BitCount = 8;
    s.Compression = BI_RLE8;
    s.ColorsUsed = 2;
    s.Table = {kBlack, kWhite};
    for (std::int32_t left = Width; left > 0; left -= 255)
        s.Pixels.insert(s.Pixels.end(), {std::uint8_t(std::min(left, 255)), 1});
    s.Pixels.insert(s.Pixels.end(), {0, 1});
    return s;
}

// Every kind of damage gives the same message.
TEST(BmpRead, DamagedFilesAreNotValidBitmaps) {
    TBmpSpec good;
    good.BitCount = 8;
    good.ColorsUsed = 2;
    good.Table = {kBlack, kWhite};
    good.Pixels = {0, 1, 0, 0, 1, 0, 1, 0};
    ASSERT_NO_THROW(Load(good.Build()));
    EXPECT_EQ(Load(RunLengthRow(16384).Build())->Width(), 16384) << "the widest picture";

    std::vector<std::pair<std::string, std::function<TBytes()>>> damage = {
        {"empty", [] { return TBytes(); }},
        {"shorter than the file header",
         [&] {
             TBytes b = good.Build();
             b.resize(10);
             return b;
         }},
        {"wrong signature",
         [&] {
             TBytes b = good.Build();
             b[1] = 'X';
             return b;
         }},
        {"unknown header size",
         [&] {
             TBmpSpec s = good;
             s.HeaderSize = 41;
             return s.Build();
         }},
        {"two planes",
         [&] {
             TBmpSpec s = good;
             s.Planes = 2;
             return s.Build();
         }},
        {"bit count 7",
         [&] {
             TBmpSpec s = good;
             s.BitCount = 7;
             return s.Build();
         }},
        {"width 0",
         [&] {
             TBmpSpec s = good;
             s.Width = 0;
             return s.Build();
         }},
        {"height 0",
         [&] {
             TBmpSpec s = good;
             s.Height = 0;
             return s.Build();
         }},
        {"negative width",
         [&] {
             TBmpSpec s = good;
             s.Width = -3;
             return s.Build();
         }},
        {"size beyond the file",
         [&] {
             TBmpSpec s = good;
             s.Width = 0x7FFFFFF;
             s.Height = 0x7FFFFFF;
             return s.Build();
         }},
        {"pixels one byte short",
         [&] {
             TBytes b = good.Build();
             b.pop_back();
             return b;
         }},
        {"colour table cut",
         [&] {
             TBmpSpec s = good;
             s.ColorsUsed = 256;
             return s.Build();
         }},
        {"more colours than the bit count",
         [&] {
             TBmpSpec s = good;
             s.BitCount = 1;
             s.ColorsUsed = 3;
             s.Table.push_back(kRed);
             return s.Build();
         }},
        {"palette index beyond the table",
         [&] {
             TBmpSpec s = good;
             s.Pixels[1] = 2;
             return s.Build();
         }},
        {"RLE with 24 bits",
         [&] {
             TBmpSpec s = good;
             s.BitCount = 24;
             s.Compression = BI_RLE8;
             return s.Build();
         }},
        {"RLE run past the row",
         [&] {
             TBmpSpec s = good;
             s.Compression = BI_RLE8;
             s.Pixels = {4, 1, 0, 1};
             return s.Build();
         }},
        {"RLE without an end",
         [&] {
             TBmpSpec s = good;
             s.Compression = BI_RLE8;
             s.Pixels = {2, 1};
             return s.Build();
         }},
        {"RLE top-down",
         [&] {
             TBmpSpec s = good;
             s.Compression = BI_RLE8;
             s.Height = -2;
             s.Pixels = {0, 1};
             return s.Build();
         }},
        {"unknown compression",
         [&] {
             TBmpSpec s = good;
             s.Compression = 9;
             return s.Build();
         }},
        {"wider than 16,384 pixels",
         [&] {
             TBmpSpec s = RunLengthRow(16385);
             return s.Build();
         }},
        {"pixel offset past the end",
         [&] {
             TBytes b = good.Build();
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
    s.BitCount = 8;
    s.ColorsUsed = 2;
    s.Table = {kBlack, kWhite};
    s.Pixels = {0, 1, 0, 0, 1, 0, 9, 0}; // index 9 in the top row
    TBitmap b;
    TMemoryStream stream;
    TBytes file = s.Build();
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
    b.Canvas().SetPixel(2, 1, kClRed);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), kClWhite) << "new pixels are white";
    char path[] = "/tmp/zorbalin-bmp-XXXXXX";
    ASSERT_TRUE(TUniqueFd(mkstemp(path)).IsOpen()); // an empty file, closed at once
    b.SaveToFile(path);
    TBitmap again;
    again.LoadFromFile(path);
    std::remove(path);
    EXPECT_EQ(again.Width(), 3);
    EXPECT_EQ(again.Height(), 2);
    EXPECT_EQ(again.Canvas().Pixel(2, 1), kClRed);
    EXPECT_EQ(again.Canvas().Pixel(1, 1), kClWhite);
}

} // namespace
} // namespace zorbalin
