// The toolkit's picture classes: canvas drawing rules, bitmaps drawn plain and colour-keyed,
// the picture holder and its format registry, conversion errors, fonts and streams.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "memory_canvas.h"
#include "shell/unique_fd.h"
#include "tests/support/temp_folder.h"
#include "toolkit/bitmap.h"
#include "toolkit/canvas.h"
#include "toolkit/exception.h"
#include "toolkit/graphics.h"
#include "toolkit/stream.h"

namespace zorbalin {
namespace {

// A picture that records how it was asked to draw.
class TRecorder : public TGraphic {
  public:
    bool GetEmpty() const override { return Empty; }
    int GetWidth() const override { return 7; }
    int GetHeight() const override { return 5; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    void LoadFromStream(TStream&) override { Loaded = true; }
    void SaveToStream(TStream&) override {}
    void Draw(TCanvas& Canvas, const TRect& Rect) override {
        ++Draws;
        Last = Rect;
        Bk = GetBkColor(Canvas.Handle());
        Text = GetTextColor(Canvas.Handle());
    }
    bool Empty = false;
    bool Loaded = false;
    int Draws = 0;
    TRect Last;
    COLORREF Bk = 0, Text = 0;
};

TEST(CanvasDraw, AtAPointSetsContextColoursAndSkipsEmptyPictures) {
    TMemoryCanvas target(10, 10);
    TCanvas canvas(target.Dc());
    canvas.Brush().SetColor(kClBtnFace);
    canvas.Font().SetColor(kClRed);
    TRecorder picture;
    canvas.Draw(2, 3, &picture);
    EXPECT_EQ(picture.Draws, 1);
    EXPECT_EQ(picture.Last, Rect(2, 3, 9, 8));
    EXPECT_EQ(picture.Bk, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(picture.Text, RGB(255, 0, 0));

    picture.Empty = true;
    canvas.Draw(0, 0, &picture);
    canvas.Draw(0, 0, nullptr);
    EXPECT_EQ(picture.Draws, 1) << "empty and missing pictures are skipped";
    canvas.StretchDraw(Rect(0, 0, 3, 3), &picture);
    EXPECT_EQ(picture.Draws, 2) << "stretched drawing leaves emptiness to the picture";
    EXPECT_EQ(picture.Last, Rect(0, 0, 3, 3));
}

TEST(CanvasDraw, FillRectFollowsBrushStyle) {
    TMemoryCanvas target(4, 4);
    TCanvas canvas(target.Dc());
    canvas.Brush().SetColor(kClBlue);
    canvas.FillRect(Rect(1, 1, 3, 3));
    EXPECT_EQ(target.At(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(target.At(3, 3), kBlack);
    canvas.Brush().SetColor(kClRed);
    canvas.Brush().SetStyle(bsClear);
    canvas.FillRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(target.At(1, 1), RGB(0, 0, 255)) << "a clear brush fills nothing";
}

TEST(CanvasText, TextRectClipsAndTextExtentMeasures) {
    TMemoryCanvas target(60, 20, kWhite);
    TCanvas canvas(target.Dc());
    canvas.Font().SetName("Tahoma");
    canvas.Font().SetHeight(-13);
    canvas.Brush().SetStyle(bsClear);
    TSize extent = canvas.TextExtent("Új játék");
    EXPECT_GT(extent.cx, 20);
    EXPECT_GT(extent.cy, 10);
    canvas.TextRect(Rect(5, 0, 15, 20), 0, 2, "WWWWWWWW");
    bool inked = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            if (target.At(x, y) == kWhite)
                continue;
            ASSERT_TRUE(x >= 5 && x < 15) << x << "," << y;
            inked = true;
        }
    EXPECT_TRUE(inked);
}

TEST(CanvasText, SolidBrushPaintsTheTextCellClearBrushDoesNot) {
    TMemoryCanvas target(60, 20, kBlack);
    TCanvas canvas(target.Dc());
    canvas.Brush().SetColor(kClYellow);
    canvas.Font().SetColor(kClNavy);
    canvas.TextOut(2, 1, "é");
    EXPECT_EQ(target.At(2, 1), RGB(255, 255, 0)) << "the cell's corner takes the brush colour";
    EXPECT_EQ(target.At(1, 1), kBlack);
    TMemoryCanvas clear(60, 20, kBlack);
    TCanvas clearCanvas(clear.Dc());
    clearCanvas.Brush().SetStyle(bsClear);
    clearCanvas.Font().SetColor(kClWhite);
    clearCanvas.TextOut(2, 1, "é");
    EXPECT_EQ(clear.At(2, 1), kBlack);
    int ink = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            ink += clear.At(x, y) != kBlack;
    EXPECT_GT(ink, 5);
}

TEST(BitmapDraw, StretchedAndColourKeyed) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(2, 2);
    b.Canvas().SetPixel(0, 0, kClRed);
    b.Canvas().SetPixel(1, 0, kClLime);
    b.Canvas().SetPixel(0, 1, kClFuchsia); // bottom-left: the automatic transparent colour
    b.Canvas().SetPixel(1, 1, kClBlue);
    TMemoryCanvas target(4, 4, RGB(7, 7, 7));
    TCanvas canvas(target.Dc());
    canvas.StretchDraw(Rect(0, 0, 4, 4), &b);
    EXPECT_EQ(target.At(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(target.At(3, 0), RGB(0, 255, 0));
    EXPECT_EQ(target.At(0, 3), RGB(255, 0, 255));
    EXPECT_EQ(target.At(2, 2), RGB(0, 0, 255));

    TMemoryCanvas keyed(2, 2, RGB(7, 7, 7));
    TCanvas keyedCanvas(keyed.Dc());
    b.SetTransparent(true);
    EXPECT_EQ(b.TransparentColor(), kClFuchsia);
    keyedCanvas.Draw(0, 0, &b);
    EXPECT_EQ(keyed.At(0, 1), RGB(7, 7, 7)) << "the key colour keeps the background";
    EXPECT_EQ(keyed.At(1, 1), RGB(0, 0, 255));
    b.SetTransparentColor(kClBlue);
    keyedCanvas.Draw(0, 0, &b);
    EXPECT_EQ(keyed.At(0, 1), RGB(255, 0, 255));
    EXPECT_EQ(b.TransparentMode(), tmFixed);
}

TEST(BitmapFormats, PixelFormatChangesKeepColoursWhereTheTableHasThem) {
    TBitmap b;
    b.SetSize(3, 1);
    b.Canvas().SetPixel(0, 0, kClRed);
    b.Canvas().SetPixel(1, 0, kClBlack);
    b.SetPixelFormat(pf8bit);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), kClRed);
    EXPECT_EQ(b.Canvas().Pixel(1, 0), kClBlack);
    EXPECT_EQ(b.Canvas().Pixel(2, 0), kClWhite);
    EXPECT_NE(b.GetPalette(), nullptr) << "8-bit bitmaps carry a palette";
    b.SetPixelFormat(pf1bit);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), kClBlack) << "red is nearer black than white";
    EXPECT_EQ(b.Canvas().Pixel(2, 0), kClWhite);
    EXPECT_THROW(b.ScanLine(1), EInvalidGraphicOperation);
    EXPECT_EQ(*static_cast<std::uint8_t*>(b.ScanLine(0)), 0x20) << "pixels 0, 0, 1";
}

TEST(BitmapAssign, DeepCopyAndConversionErrors) {
    TBitmap a;
    a.SetPixelFormat(pf4bit);
    a.SetSize(2, 1);
    a.Canvas().SetPixel(1, 0, kClNavy);
    a.SetTransparent(true);
    TBitmap copy;
    copy.Assign(&a);
    a.Canvas().SetPixel(1, 0, kClWhite);
    EXPECT_EQ(copy.PixelFormat(), pf4bit);
    EXPECT_EQ(copy.Canvas().Pixel(1, 0), kClNavy);
    EXPECT_TRUE(copy.Transparent());
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());

    TFont font;
    try {
        copy.Assign(&font);
        FAIL() << "a font was assigned to a bitmap";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TFont to a TBitmap");
    }
    TRecorder recorder;
    try {
        recorder.AssignTo(&font);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TRecorder to a TFont");
    }
    TGraphic* graphic = &recorder;
    EXPECT_EQ(CheckedCast<TRecorder>(graphic), &recorder);
    EXPECT_THROW(CheckedCast<TBitmap>(graphic), EInvalidCast);
    try {
        CheckedCast<TBitmap>(graphic);
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Invalid class typecast");
    }
}

TEST(Picture, LoadPicksClassByExtensionAndCopiesOnSet) {
    TPicture::RegisterFileFormat("REC", "Recorded pictures",
                                 [] { return std::make_unique<TRecorder>(); });
    bool registered = false;
    for (const TFileFormat& f : TPicture::FileFormats())
        registered |= f.Extension == "rec" && f.ClassName == "TRecorder";
    EXPECT_TRUE(registered);

    char path[] = "/tmp/zorbalin-pic-XXXXXX.Rec";
    ASSERT_TRUE(TUniqueFd(mkstemps(path, 4)).IsOpen()); // an empty file, closed at once
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.LoadFromFile(path);
    std::remove(path);
    auto* loaded = dynamic_cast<TRecorder*>(picture.Graphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->Loaded);
    EXPECT_EQ(picture.Width(), 7);
    EXPECT_GE(changes, 1);

    try {
        picture.LoadFromFile("/tmp/picture.xyz");
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
    }

    TBitmap source;
    source.SetSize(4, 3);
    picture.SetGraphic(&source);
    ASSERT_NE(picture.Graphic(), &source) << "the holder keeps its own copy";
    EXPECT_EQ(picture.Height(), 3);
    source.SetSize(1, 1);
    EXPECT_EQ(picture.Bitmap().Width(), 4);
    picture.Assign(nullptr);
    EXPECT_EQ(picture.Graphic(), nullptr);
    class TUnregistered : public TRecorder {};
    TUnregistered stranger;
    EXPECT_THROW(picture.SetGraphic(&stranger), EConvertError) << "no format makes its class";
    EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST(Font, SizeHeightAndHandleLifetime) {
    TFont font;
    EXPECT_EQ(font.Name(), "MS Sans Serif");
    EXPECT_EQ(font.Size(), 8);
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Color(), kClWindowText);
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -13);
    HFONT first = font.Handle();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(font.Handle(), first) << "kept while nothing changes";
    font.SetColor(kClRed);
    EXPECT_EQ(font.Handle(), first) << "the colour is not part of the platform font";
    TFont copy(font);
    EXPECT_EQ(copy.Height(), -13);
    EXPECT_EQ(copy.Color(), kClRed);
    font.SetStyle(fsBold);
    LOGFONTA lf;
    EXPECT_NE(font.Handle(), nullptr);
    EXPECT_EQ(font.Handle()->LogFont.lfWeight, 700);
    (void)lf;
}

TEST(Streams, MemoryAndFileStreams) {
    TMemoryStream m;
    m.WriteBuffer("abcdef", 6);
    EXPECT_EQ(m.Size(), 6);
    EXPECT_EQ(m.Seek(-2, soFromEnd), 4);
    char buf[4] = {};
    EXPECT_EQ(m.Read(buf, 4), 2) << "short read at the end";
    EXPECT_EQ(std::string(buf, 2), "ef");
    EXPECT_EQ(m.Seek(-1, soFromBeginning), -1);
    m.SetPosition(10);
    EXPECT_EQ(m.Read(buf, 1), 0);
    m.SetPosition(5);
    try {
        m.ReadBuffer(buf, 3);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    try {
        TFileStream f("/tmp", kFmOpenRead);
        FAIL() << "a folder opened as a file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"/tmp\". Is a directory");
    }
    try {
        TFileStream f("/nonexistent-folder/x", kFmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(),
                  "Cannot create file \"/nonexistent-folder/x\". No such file or directory");
    }
}

// A named pipe nobody writes to blocks a plain open for good. A helper opens its
// other end now and then, so that a regression fails here (the reader then meets
// an empty file) instead of hanging the suite.
TEST(Streams, NamedPipesAndDevicesAreRefusedWithoutWaiting) {
    testing::TTempFolder folder;
    const std::string pipe = folder / "1.bmp";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        while (!done) {
            const TUniqueFd end(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    auto failure = [](const std::function<void()>& Open) {
        try {
            Open();
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string("opened");
    };
    TPicture picture;
    const std::string loading = failure([&] { picture.LoadFromFile(pipe); });
    const std::string creating = failure([&] { TFileStream(pipe, kFmCreate); });
    done = true;
    writer.join();
    EXPECT_EQ(loading, "Cannot open file \"" + pipe + "\". Not a regular file");
    EXPECT_EQ(creating, "Cannot create file \"" + pipe + "\". Not a regular file");
    EXPECT_THROW(TFileStream("/dev/zero", kFmOpenRead), EFOpenError);
}

} // namespace
} // namespace zorbalin
