// The end test after every click and the result of a finished game.
#include "game/game.h"
#include "game/result_texts.h"

namespace zorbalin {

bool TGame::HasMovesLeft() const {
    for (int col = 1; col <= kColumnCount; ++col) {
        for (int row = 1; row <= kRowCount; ++row) {
            const std::int32_t colour = FBoard.Colour(col, row);
            if (colour == 0)
                continue;
            if ((col > 1 && FBoard.Colour(col - 1, row) == colour) ||
                (col < kColumnCount && FBoard.Colour(col + 1, row) == colour) ||
                (row > 1 && FBoard.Colour(col, row - 1) == colour) ||
                (row < kRowCount && FBoard.Colour(col, row + 1) == colour))
                return true;
        }
    }
    return false;
}

void TGame::FinishGame() {
    int count = 0;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            if (FBoard.IsFilled(col, row))
                ++count;
    const TResultTexts texts = ResultTexts(count);
    FView.ShowResult(texts.Headline, texts.Message);
}

} // namespace zorbalin
