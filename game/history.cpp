// Undo and redo: the positions a deal has passed through.
#include "game/game.h"

namespace zorbalin {

TGame::TColours TGame::Colours() const {
    TColours colours{};
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            colours[CellIndex(col, row)] = FBoard.Colour(col, row);
    return colours;
}

void TGame::RestoreColours(const TColours& Colours) {
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            FBoard.At(col, row).Colour = Colours[CellIndex(col, row)];
}

void TGame::StartHistory() {
    FHistory.assign(1, Colours());
    FHistoryAt = 0;
}

void TGame::RecordStep(const TColours& Before) {
    TColours now = Colours();
    if (now == Before)
        return;           // a lone pebble: nothing changed, and the steps ahead stay
    if (FHistory.empty()) // a click before any deal (tests): the position it met starts
        FHistory.assign(1, Before);
    FHistory.resize(FHistoryAt + 1);
    FHistory.push_back(now);
    FHistoryAt = FHistory.size() - 1;
}

void TGame::ShowWholeBoard() {
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            FView.ShowPebble(col, row, FBoard.Colour(col, row));
}

bool TGame::Undo() {
    if (!CanUndo())
        return false;
    --FHistoryAt;
    RestoreColours(FHistory[FHistoryAt]);
    ShowWholeBoard();
    return true;
}

bool TGame::Redo() {
    if (!CanRedo())
        return false;
    ++FHistoryAt;
    RestoreColours(FHistory[FHistoryAt]);
    ShowWholeBoard();
    return true;
}

} // namespace zorbalin
