// Dealing, replaying and loading a position.
#include "game/game.h"

#include <stdexcept>

namespace zorbalin {

namespace {

void CheckDealNumber(TDealNumber Number) {
    if (!IsDealNumber(Number))
        throw std::out_of_range("a deal number runs from 1 to 999999999");
}

} // namespace

// The board's colours for deal Number with the current ColourCount, in the
// order the cells are dealt; the notifications are the caller's.
void TGame::DealFromNumber(TDealNumber Number) {
    const TBoard deal = DealtBoard(Number, FColourCount);
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            FBoard.At(col, row).Colour = deal.Colour(col, row);
    FDealNumber = Number;
    FDealColourCount = FColourCount;
}

void TGame::CreateBoard() {
    FRandom->Reseed();
    CreateBoard(FRandom->NextNumber());
}

void TGame::CreateBoard(TDealNumber Number) {
    CheckDealNumber(Number);
    DealFromNumber(Number);
    for (int col = 1; col <= kColumnCount; ++col) {
        for (int row = 1; row <= kRowCount; ++row) {
            TBoardCell& cell = FBoard.At(col, row);
            cell.Picture = FView.CreatePebble(col, row, cell.Colour);
        }
    }
    FSavedBoard = FBoard;
    FPicturesMade = true;
    StartHistory();
}

void TGame::aUjExecute() {
    FRandom->Reseed();
    PlayDeal(FRandom->NextNumber());
}

void TGame::PlayDeal(TDealNumber Number) {
    CheckDealNumber(Number);
    KeepLeftGame();
    DealFromNumber(Number);
    ShowWholeBoard();
    FSavedBoard = FBoard;
    StartHistory();
}

void TGame::PNGButton2Click() {
    KeepLeftGame();
    // Both boards carry the same pictures, so the copy only brings back colours.
    FBoard = FSavedBoard;
    StartHistory();
    ShowWholeBoard();
}

void TGame::LoadPosition(const TBoard& Position) {
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            FBoard.At(col, row).Colour = Position.Colour(col, row);
    FSavedBoard = FBoard;
    FDealNumber = 0;
    FDealColourCount = FColourCount;
    FLeftGame.reset();
    StartHistory();
}

} // namespace zorbalin
