#include "app/windows/board_focus.h"

#include "toolkit/backend_interface.h"

#include <cstdlib>

namespace zorbalin {

namespace {

bool ColumnHoldsPebbles(const TBoard& Board, int Col) {
    for (int row = 1; row <= kRowCount; ++row)
        if (Board.IsFilled(Col, row))
            return true;
    return false;
}

// The column that holds pebbles nearest to Col, the left one of two as near; 0 when the board
// is empty.
int NearestColumn(const TBoard& Board, int Col) {
    for (int distance = 0; distance < kColumnCount; ++distance)
        for (int col : {Col - distance, Col + distance})
            if (col >= 1 && col <= kColumnCount && ColumnHoldsPebbles(Board, col))
                return col;
    return 0;
}

// The filled row of the column nearest to Row, the lower one of two as near.
int NearestRow(const TBoard& Board, int Col, int Row) {
    int best = 0;
    for (int row = kRowCount; row >= 1; --row)
        if (Board.IsFilled(Col, row) && (best == 0 || std::abs(row - Row) < std::abs(best - Row)))
            best = row;
    return best;
}

} // namespace

void TBoardFocus::Follow(const TBoard& Board) {
    const int col = NearestColumn(Board, FAimCol);
    if (col == 0) {
        FVisible = false;
        return;
    }
    FCol = col;
    FRow = NearestRow(Board, col, FAimRow);
}

void TBoardFocus::AimAt(int Col, int Row, const TBoard& Board) {
    if (!IsOnBoard(Col, Row))
        return;
    FAimCol = Col;
    FAimRow = Row;
    Follow(Board);
}

void TBoardFocus::Show(const TBoard& Board) {
    FVisible = true;
    Follow(Board);
}

void TBoardFocus::Arrow(std::uint16_t Key, const TBoard& Board) {
    if (Key != vk::kLeft && Key != vk::kRight && Key != vk::kUp && Key != vk::kDown)
        return;
    const bool wasVisible = FVisible;
    Show(Board);
    if (!wasVisible || !FVisible)
        return; // the first key only shows the ring
    if (Key == vk::kLeft || Key == vk::kRight)
        MoveAcross(Key == vk::kLeft ? -1 : 1, Board);
    else
        MoveAlong(Key == vk::kUp ? -1 : 1, Board);
    Follow(Board);
}

void TBoardFocus::MoveAcross(int Step, const TBoard& Board) {
    // From the column the ring is on: the aimed one may have emptied and closed.
    for (int col = FCol + Step; col >= 1 && col <= kColumnCount; col += Step)
        if (ColumnHoldsPebbles(Board, col)) {
            FAimCol = col;
            return;
        }
}

void TBoardFocus::MoveAlong(int Step, const TBoard& Board) {
    for (int row = FRow + Step; row >= 1 && row <= kRowCount; row += Step)
        if (Board.IsFilled(FCol, row)) {
            FAimCol = FCol;
            FAimRow = row;
            return;
        }
}

} // namespace zorbalin
