// The board in the main window: the cell pictures, clicks on them, the drawing
// of the animations and missing pebble bitmaps.
#include "program_fixture.h"

#include "app/windows/cell_pictures.h"
#include "toolkit/bitmap.h"
#include "toolkit/image.h"

#include <algorithm>
#include <filesystem>

namespace zorbalin::testing {
namespace {

using BoardViewTest = ProgramTest;

TEST(PebbleFileTest, NamesTheColourInTheIcoFolderAndNothingForEmpty) {
    EXPECT_EQ(PebbleFile("/opt/game", 3), "/opt/game/Ico/3.bmp");
    EXPECT_EQ(PebbleFile("", 5), "/Ico/5.bmp");
    EXPECT_EQ(PebbleFile("/opt/game", 0), "");
}

TEST_F(BoardViewTest, CellPicturesAreNamedHintedAndPlacedAtTheirHomes) {
    Start();
    TImage* last = Cell(18, 9);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->Name(), "i18i9");
    EXPECT_EQ(last->Hint(), "i18i9");
    EXPECT_EQ(last->BoundsRect(), Bounds(615, 407, 35, 43));
    EXPECT_TRUE(last->Stretch());
    EXPECT_EQ(Cell(1, 1)->BoundsRect(), Bounds(20, 63, 35, 43));
    EXPECT_EQ(frm_Main->FindComponent("i5i3"), Cell(5, 3));
    // In front of the background and the buttons.
    EXPECT_EQ(frm_Main->ControlAtPos({37, 84}), Cell(1, 1));
    EXPECT_EQ(static_cast<const void*>(frm_Main->Game().Board().At(7, 4).Picture),
              static_cast<const void*>(Cell(7, 4)));
}

// Column 1 holds, from the top: rows 1..5 checker colours, then 4 at rows 6-7
// (a pair) and 5 at rows 8-9 (a pair). Nothing else pairs.
TBoard TwoStackedPairs() {
    TBoard board = ProgramTest::CheckerBoard();
    board.At(1, 6).Colour = 4;
    board.At(1, 7).Colour = 4;
    board.At(1, 8).Colour = 5;
    board.At(1, 9).Colour = 5;
    return board;
}

TEST_F(BoardViewTest, ClickOnAPairRemovesItAndEachDropEndsFortyTwoPixelsBelowItsHome) {
    Start();
    ShowPosition(TwoStackedPairs());
    const TPoint target = CellCentre(1, 9);
    Move(target);
    MainWindow()->ClearPresented();
    FScreen.Click(target.X, target.Y);
    // The click and its animations, without the ordinary repaint that follows.
    HandleQueuedInput();
    const std::vector<TRect> animation = MainWindow()->Presented();
    Pump();

    const auto& board = frm_Main->Game().Board();
    EXPECT_EQ(board.Colour(1, 9), 4);
    EXPECT_EQ(board.Colour(1, 8), 4);
    EXPECT_EQ(board.Colour(1, 1), 0);
    EXPECT_EQ(board.Colour(1, 2), 0);
    EXPECT_FALSE(Cell(1, 1)->Visible());
    EXPECT_TRUE(Cell(1, 9)->Visible());

    // Every frame drawn during the click is one moved 35 x 43 picture box.
    ASSERT_FALSE(animation.empty());
    for (const TRect& r : animation) {
        EXPECT_EQ(r.Width(), 35);
        EXPECT_EQ(r.Height(), 43);
    }
    // The pebble of row 7 drops first (the lowest of the stack), 21 steps of 2 pixels.
    const TCellBox home7 = HomeBox(1, 7);
    EXPECT_EQ(animation.front(), Bounds(home7.Left, home7.Top + 2, 35, 43));
    EXPECT_NE(
        std::find(animation.begin(), animation.end(), Bounds(home7.Left, home7.Top + 42, 35, 43)),
        animation.end());
    EXPECT_EQ(
        std::find(animation.begin(), animation.end(), Bounds(home7.Left, home7.Top + 44, 35, 43)),
        animation.end());
    // Afterwards every picture is back home.
    EXPECT_EQ(Cell(1, 7)->BoundsRect(), Bounds(home7.Left, home7.Top, 35, 43));
}

TEST_F(BoardViewTest, DoubleClickRemovesOnlyOnce) {
    Start();
    ShowPosition(TwoStackedPairs());
    const TPoint target = CellCentre(1, 9);
    ClickAt({target.X, target.Y});
    FScreen.AdvanceTime(100);
    ClickAt({target.X, target.Y}); // lands on the pair that dropped into place
    Pump();
    const auto& board = frm_Main->Game().Board();
    EXPECT_EQ(board.Colour(1, 9), 4);
    EXPECT_EQ(board.Colour(1, 8), 4);

    // A later, separate click removes the second pair.
    FScreen.AdvanceTime(1000);
    ClickAt({target.X, target.Y});
    EXPECT_NE(board.Colour(1, 9), 4);
}

TEST_F(BoardViewTest, PressOnAPebbleReleasedOutsideRemovesNothing) {
    Start();
    ShowPosition(TwoStackedPairs());
    const TPoint target = CellCentre(1, 9);
    Press({target.X, target.Y});
    Move({target.X + 60, target.Y});
    Release({target.X + 60, target.Y});
    EXPECT_EQ(frm_Main->Game().Board().Colour(1, 9), 5);
    EXPECT_EQ(MainWindow()->Position(), (TPoint{10, 10})) << "a press on a pebble starts no drag";
}

TEST_F(BoardViewTest, PressOnAnEmptyCellPlaceDragsTheWindow) {
    Start();
    ShowPosition(TwoStackedPairs());
    frm_Main->Image1Click(Cell(1, 9));
    Pump();
    ASSERT_FALSE(Cell(1, 1)->Visible());
    const TPoint place = CellCentre(1, 1);
    Press({place.X, place.Y});
    Move({place.X + 10, place.Y + 5});
    Release({place.X + 10, place.Y + 5});
    EXPECT_EQ(MainWindow()->Position(), (TPoint{20, 15}));
}

// However many cells show a colour, its file is decoded into one picture they
// all share. The file is read again at every operation: unchanged, it is not
// decoded again; changed, it shows from that operation on.
TEST_F(BoardViewTest, CellsOfAColourShareOnePictureDecodedAgainOnlyWhenTheFileChanges) {
    Start();
    ShowPosition(CheckerBoard());
    auto picturesOf = [&](std::int32_t Colour) {
        std::vector<TGraphic*> pictures;
        for (int col = 1; col <= kColumnCount; ++col)
            for (int row = 1; row <= kRowCount; ++row)
                if (frm_Main->Game().Board().Colour(col, row) == Colour)
                    pictures.push_back(Cell(col, row)->Picture()->Graphic());
        return pictures;
    };
    auto oneShared = [&](std::int32_t Colour) {
        const std::vector<TGraphic*> pictures = picturesOf(Colour);
        return pictures.size() > 1 && pictures[0] &&
               std::count(pictures.begin(), pictures.end(), pictures[0]) ==
                   static_cast<std::ptrdiff_t>(pictures.size());
    };
    for (std::int32_t colour = 1; colour <= 3; ++colour)
        EXPECT_TRUE(oneShared(colour)) << "colour " << colour;
    TGraphic* first = picturesOf(1)[0];

    ShowPosition(CheckerBoard());
    EXPECT_EQ(picturesOf(1)[0], first) << "an unchanged file is not decoded again";

    WriteSolidBitmap(FPaths.AppDir + "/Ico/1.bmp", 35, 43, 0xFF0000);
    ShowPosition(CheckerBoard());
    EXPECT_TRUE(oneShared(1));
    auto* changed = dynamic_cast<TBitmap*>(picturesOf(1)[0]);
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(static_cast<COLORREF>(changed->Canvas().Pixel(3, 3)), RGB(255, 0, 0));
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(BoardViewTest, MissingPebbleBitmapIsReportedOncePerOperationAndTheCellShowsNothing) {
    std::filesystem::remove(FTemp.Path() + "/program/Ico/3.bmp");
    Start();
    const std::string missing = FPaths.AppDir + "/Ico/3.bmp";
    ASSERT_EQ(BoxTexts().size(), 1u) << "one box for the whole deal";
    EXPECT_NE(BoxTexts()[0].find("\"" + missing + "\""), std::string::npos) << BoxTexts()[0];
    EXPECT_EQ(BoxTexts()[0].rfind("Cannot open file", 0), 0u) << BoxTexts()[0];
    EXPECT_EQ(VisibleCells(), 162) << "the board is whole";

    // The cells of colour 3 keep their colour but draw nothing over the background.
    ShowPosition(TwoStackedPairs());
    EXPECT_EQ(BoxTexts().size(), 2u) << "the replay is one more operation";
    int colour3Col = 0, colour3Row = 0;
    for (int col = 2; col <= kColumnCount && !colour3Col; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            if (frm_Main->Game().Board().Colour(col, row) == 3) {
                colour3Col = col;
                colour3Row = row;
                break;
            }
    ASSERT_NE(colour3Col, 0);
    TImage* empty = Cell(colour3Col, colour3Row);
    EXPECT_TRUE(empty->Visible());
    EXPECT_TRUE(empty->Picture()->Graphic() == nullptr || empty->Picture()->Graphic()->Empty());

    // The click's drops show colour 3 four times (two pebbles, two rows down): one box.
    FScreen.AdvanceTime(1000);
    ClickAt(CellCentre(1, 9));
    EXPECT_EQ(BoxTexts().size(), 3u);
    EXPECT_EQ(frm_Main->Game().Board().Colour(1, 9), 4) << "the settling went on to its end";
    EXPECT_EQ(frm_Main->Game().Board().Colour(1, 4), 3);
    EXPECT_TRUE(Cell(1, 4)->Visible());
}

TEST_F(BoardViewTest, UnreadablePebbleBitmapIsReportedWithItsFileName) {
    WriteFile(FTemp.Path() + "/program/Ico/2.bmp", "BM but not a bitmap");
    Start();
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0], "Cannot read the pebble picture \"" + FPaths.AppDir +
                                 "/Ico/2.bmp\". Bitmap image is not valid.");
    EXPECT_EQ(VisibleCells(), 162);
}

} // namespace
} // namespace zorbalin::testing
