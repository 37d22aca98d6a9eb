// A game as its deal and clicks: taken from the board, and played back onto it.
#include "game/game.h"
#include "game/quiet_view.h"

#include <algorithm>
#include <utility>

namespace zorbalin {

namespace {

bool IsDealOf(const TPlayedGame& Game) {
    if (Game.Colours < kFewestColours || Game.Colours > kMostColours)
        return false;
    return std::all_of(Game.Start.begin(), Game.Start.end(),
                       [&](std::int32_t Colour) { return Colour >= 1 && Colour <= Game.Colours; });
}

} // namespace

TPlayedGame TGame::Played() const {
    TPlayedGame game;
    game.Number = FDealNumber;
    game.Colours = FDealColourCount;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            game.Start[CellIndex(col, row)] = FSavedBoard.Colour(col, row);
    game.Clicks = FSteps;
    game.Played = FHistoryAt;
    return game;
}

bool TGame::Resume(const TPlayedGame& Game) {
    if (!IsDealOf(Game) || Game.Played > Game.Clicks.size() ||
        (Game.Number != 0 && !IsDealNumber(Game.Number)))
        return false;
    // The clicks are played on a game of their own first, so that a game that does not play back
    // leaves this one untouched and the window sees nothing of the replay.
    TQuietView quiet;
    TGame trial(quiet);
    trial.RestoreColours(Game.Start);
    trial.FSavedBoard = trial.FBoard;
    trial.StartHistory();
    for (const TCellPosition& click : Game.Clicks) {
        const std::size_t steps = trial.FSteps.size();
        trial.ClickPebble(click.Col, click.Row);
        if (trial.FSteps.size() != steps + 1)
            return false;
    }

    TakeGame({Game.Start, Game.Number, Game.Colours, std::move(trial.FHistory),
              std::move(trial.FSteps), Game.Played});
    FLeftGame.reset();
    if (FPicturesMade) {
        ShowWholeBoard();
    } else {
        CreatePictures();
    }
    return true;
}

void TGame::CreatePictures() {
    for (int col = 1; col <= kColumnCount; ++col) {
        for (int row = 1; row <= kRowCount; ++row) {
            // Every cell of the deal holds a pebble to make the picture with; the position
            // reached may have emptied it or given it another colour.
            TBoardCell& cell = FBoard.At(col, row);
            const std::int32_t dealt = FSavedBoard.Colour(col, row);
            cell.Picture = FView.CreatePebble(col, row, dealt);
            if (cell.Colour != dealt)
                FView.ShowPebble(col, row, cell.Colour);
            FSavedBoard.At(col, row).Picture = cell.Picture;
        }
    }
    FPicturesMade = true;
}

} // namespace zorbalin
