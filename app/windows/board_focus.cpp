#include "app/windows/board_focus.h"

#include "toolkit/backend_interface.h"

#include <cstdlib>

namespace zorbalin {

namespace {

// The filled cell nearest to (Col, Row) by straight distance; false when the
// board is empty. Ties go to the leftmost, then the lowest cell.
bool NearestFilled(const TBoard& Board, int& Col, int& Row) {
    int bestDistance = -1, bestCol = 0, bestRow = 0;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = kRowCount; row >= 1; --row) {
            if (!Board.IsFilled(col, row))
                continue;
            const int distance = (col - Col) * (col - Col) + (row - Row) * (row - Row);
            if (bestDistance < 0 || distance < bestDistance) {
                bestDistance = distance;
                bestCol = col;
                bestRow = row;
            }
        }
    if (bestDistance < 0)
        return false;
    Col = bestCol;
    Row = bestRow;
    return true;
}

} // namespace

void TBoardFocus::Follow(const TBoard& Board) {
    if (IsOnBoard(FCol, FRow) && Board.IsFilled(FCol, FRow))
        return;
    if (!NearestFilled(Board, FCol, FRow))
        FVisible = false;
}

void TBoardFocus::Arrow(std::uint16_t Key, const TBoard& Board) {
    if (Key != vk::kLeft && Key != vk::kRight && Key != vk::kUp && Key != vk::kDown)
        return;
    const bool wasVisible = FVisible;
    FVisible = true;
    Follow(Board);
    if (!wasVisible || !FVisible)
        return; // the first key only shows the ring
    if (Key == vk::kLeft || Key == vk::kRight)
        MoveAcross(Key == vk::kLeft ? -1 : 1, Board);
    else
        MoveAlong(Key == vk::kUp ? -1 : 1, Board);
}

void TBoardFocus::MoveAcross(int Step, const TBoard& Board) {
    for (int col = FCol + Step; col >= 1 && col <= kColumnCount; col += Step) {
        int bestRow = 0;
        for (int row = 1; row <= kRowCount; ++row)
            if (Board.IsFilled(col, row) &&
                (bestRow == 0 || std::abs(row - FRow) < std::abs(bestRow - FRow)))
                bestRow = row;
        if (bestRow != 0) {
            FCol = col;
            FRow = bestRow;
            return;
        }
    }
}

void TBoardFocus::MoveAlong(int Step, const TBoard& Board) {
    for (int row = FRow + Step; row >= 1 && row <= kRowCount; row += Step)
        if (Board.IsFilled(FCol, row)) {
            FRow = row;
            return;
        }
}

} // namespace zorbalin
