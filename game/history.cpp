// Undo and redo: the positions a deal has passed through, and the game a new deal left.
#include "game/game.h"

#include <utility>

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
    FSteps.clear();
    FHistoryAt = 0;
}

void TGame::RecordStep(const TColours& Before, TCellPosition Click) {
    TColours now = Colours();
    if (now == Before)
        return;           // a lone pebble: nothing changed, and the steps ahead stay
    if (FHistory.empty()) // a click before any deal (tests): the position it met starts
        FHistory.assign(1, Before);
    FHistory.resize(FHistoryAt + 1);
    FSteps.resize(FHistoryAt);
    FHistory.push_back(now);
    FSteps.push_back(Click);
    FHistoryAt = FHistory.size() - 1;
    // The first move of a deal makes it the game in progress; the one left before is gone.
    FLeftGame.reset();
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

void TGame::KeepLeftGame() {
    if (FHistory.empty())
        return; // nothing dealt yet
    // Deals skipped through without a move are not worth going back to: a second click on "new
    // deal" or "replay" keeps the game played before the first.
    if (FLeftGame && FSteps.empty())
        return;
    FLeftGame = TLeftGame{{}, FDealNumber, FDealColourCount, FHistory, FSteps, FHistoryAt};
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            FLeftGame->Saved[CellIndex(col, row)] = FSavedBoard.Colour(col, row);
}

bool TGame::UndoDeal() {
    if (!FLeftGame)
        return false;
    TLeftGame left = std::move(*FLeftGame);
    FLeftGame.reset();
    TakeGame(std::move(left));
    ShowWholeBoard();
    return true;
}

void TGame::TakeGame(TLeftGame Game) {
    RestoreColours(Game.Saved);
    FSavedBoard = FBoard;
    RestoreColours(Game.History[Game.HistoryAt]);
    FDealNumber = Game.DealNumber;
    FDealColourCount = Game.DealColourCount;
    FHistory = std::move(Game.History);
    FSteps = std::move(Game.Steps);
    FHistoryAt = Game.HistoryAt;
}

} // namespace zorbalin
