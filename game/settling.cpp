// Settling after a click: pebbles drop one row per pass until none can, then
// empty columns are closed from the right in exactly four passes.
#include "game/game.h"

#include <stdexcept>
#include <string>

namespace zorbalin {
namespace {

constexpr int kDropSteps = 21;  // 42 pixels: one short of the row pitch
constexpr int kShiftSteps = 17; // 34 pixels: one short of the column pitch
constexpr int kPixelsPerStep = 2;
constexpr int kClosingPasses = 4;

} // namespace

void TGame::SettleBoard() {
    // The pass after the last test that found something moves nothing; it is
    // kept because it is part of the rules, and it costs only reads.
    bool pending = true;
    while (pending) {
        pending = HasPendingDrop();
        DropPass();
    }
    // Four passes only: any fifth empty column stays open until the next click.
    for (int pass = 0; pass < kClosingPasses; ++pass)
        for (int col = 1; col < kColumnCount; ++col)
            if (!FBoard.IsFilled(col, kRowCount))
                ShiftColumnLeft(col);
}

bool TGame::HasPendingDrop() const {
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 2; row <= kRowCount; ++row)
            if (!FBoard.IsFilled(col, row) && FBoard.IsFilled(col, row - 1))
                return true;
    return false;
}

void TGame::DropPass() {
    // Walking each column upwards brings a whole stack above a gap down by one
    // row in a single pass, its lowest pebble first.
    for (int col = 1; col <= kColumnCount; ++col) {
        for (int row = kRowCount; row >= 2; --row) {
            if (FBoard.IsFilled(col, row) || !FBoard.IsFilled(col, row - 1))
                continue;
            FBoard.At(col, row).Colour = FBoard.Colour(col, row - 1);
            FBoard.At(col, row - 1).Colour = 0;
            DropPebble(col, row - 1);
            FView.ShowPebble(col, row, FBoard.Colour(col, row));
        }
    }
}

void TGame::DropPebble(int Col, int Row) {
    for (int i = 1; i <= kDropSteps; ++i)
        FView.OffsetPebble(Col, Row, 0, kPixelsPerStep * i);
    FView.HidePebble(Col, Row);
    FView.ResetPebble(Col, Row);
}

void TGame::ShiftColumnLeft(int Col) {
    if (Col < 1 || Col >= kColumnCount)
        throw std::out_of_range("no column to the right of column " + std::to_string(Col));
    for (int row = 1; row <= kRowCount; ++row) {
        if (FBoard.IsFilled(Col + 1, row))
            for (int i = 1; i <= kShiftSteps; ++i)
                FView.OffsetPebble(Col + 1, row, -kPixelsPerStep * i, 0);
        FView.HidePebble(Col + 1, row);
        FView.ResetPebble(Col + 1, row);
        FBoard.At(Col, row).Colour = FBoard.Colour(Col + 1, row);
        FBoard.At(Col + 1, row).Colour = 0;
        if (FBoard.IsFilled(Col, row))
            FView.ShowPebble(Col, row, FBoard.Colour(Col, row));
    }
}

} // namespace zorbalin
