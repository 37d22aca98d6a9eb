// Dealing, replaying and loading a position.
#include "game/game.h"

namespace zorbalin {

void TGame::CreateBoard() {
    FRandom->Reseed();
    for (int col = 1; col <= kColumnCount; ++col) {
        for (int row = 1; row <= kRowCount; ++row) {
            TBoardCell& cell = FBoard.At(col, row);
            cell.Colour = FRandom->NextColour(FColourCount);
            cell.Picture = FView.CreatePebble(col, row, cell.Colour);
        }
    }
    FSavedBoard = FBoard;
    StartHistory();
}

void TGame::aUjExecute() {
    FRandom->Reseed();
    for (int col = 1; col <= kColumnCount; ++col) {
        for (int row = 1; row <= kRowCount; ++row) {
            TBoardCell& cell = FBoard.At(col, row);
            cell.Colour = FRandom->NextColour(FColourCount);
            FView.ShowPebble(col, row, cell.Colour);
        }
    }
    FSavedBoard = FBoard;
    StartHistory();
}

void TGame::PNGButton2Click() {
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
    StartHistory();
}

} // namespace zorbalin
