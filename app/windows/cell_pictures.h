#pragma once
// The cell pictures of the main window: one TImage per cell of the board, at the
// cell's home box, stretched, showing the bitmap of the cell's colour read from
// the "Ico" folder afresh at every show. The main window's TBoardView hands its
// notifications to this class.
//
// A pebble bitmap that cannot be read is not allowed to break a game operation
// halfway (the board would be left half settled): the cell shows nothing, the
// operation goes on, and the first failure of the operation is shown in the
// error box once, when the operation ends. Each file is read once per operation
// and its decoded picture is shared by all the cells that show it.
#include "app/windows/pebble_pictures.h"
#include "game/board.h"
#include "toolkit/classes.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace zorbalin {

class TForm;
class TImage;

// The bitmap of a pebble colour: AppDir + "/Ico/" + colour + ".bmp"; "" for 0.
std::string PebbleFile(const std::string& AppDir, std::int32_t Colour);

class TCellPictures {
  public:
    TCellPictures() = default;
    TCellPictures(const TCellPictures&) = delete;
    TCellPictures& operator=(const TCellPictures&) = delete;

    // The form that owns and holds the pictures, the folder of the bitmaps and
    // the handler of a click on a cell picture (the sender is the picture).
    void Attach(TForm* Form, std::string AppDir, TNotifyEvent OnClick);

    TImage* Create(int Col, int Row, std::int32_t Colour);
    void Show(int Col, int Row, std::int32_t Colour);
    void Hide(int Col, int Row);
    void Offset(int Col, int Row, int DX, int DY);
    void Reset(int Col, int Row);
    // Puts the picture at this offset from its home box, drawn at the next ordinary repaint.
    void Place(int Col, int Row, int DX, int DY);

    // The picture of a cell; null before Create.
    TImage* Cell(int Col, int Row) const;

    // A game operation: failures to read a bitmap are collected while it runs
    // and the first one is shown when the outermost operation ends.
    class TOperation {
      public:
        explicit TOperation(TCellPictures& Cells);
        ~TOperation();
        TOperation(const TOperation&) = delete;
        TOperation& operator=(const TOperation&) = delete;

      private:
        TCellPictures& FCells;
    };
    // Runs when the outermost operation has ended and the board may look
    // different (after its failures are shown).
    std::function<void()> OnOperationEnd;

    // Shows the first failure collected so far, if any, and forgets them all.
    // The result window calls it first, so the player learns of a missing
    // bitmap before the game ends.
    void ReportFailures();

  private:
    TImage& At(int Col, int Row) const;
    void Load(TImage& Image, std::int32_t Colour);

    TForm* FForm = nullptr;
    std::string FAppDir;
    TNotifyEvent FOnClick;
    std::array<TImage*, kCellCount> FImages{};
    TPebblePictures FPictures;
    int FOperationDepth = 0;
    std::string FFirstFailure;
};

} // namespace zorbalin
