#include "app/windows/motion_plan.h"

namespace zorbalin {

void TMotionRecorder::Begin() {
    for (int i = 0; i < kCellCount; ++i)
        FOrigin[i] = i;
    FMovingOrigin = FMovingTo = kNone;
}

void TMotionRecorder::Offset(int Col, int Row, int DX, int DY) {
    // A picture slides down for a drop to the row below and left for a shift to the column on
    // the left; its destination is shown once the slide has ended.
    if (!IsOnBoard(Col, Row))
        return;
    int toCol = Col, toRow = Row;
    if (DY > 0)
        ++toRow;
    else if (DX < 0)
        --toCol;
    else
        return;
    if (!IsOnBoard(toCol, toRow))
        return;
    FMovingOrigin = FOrigin[CellIndex(Col, Row)];
    FMovingTo = CellIndex(toCol, toRow);
}

void TMotionRecorder::Hide(int Col, int Row) {
    if (IsOnBoard(Col, Row))
        FOrigin[CellIndex(Col, Row)] = kNone;
}

void TMotionRecorder::Show(int Col, int Row, std::int32_t Colour) {
    if (!IsOnBoard(Col, Row))
        return;
    const int cell = CellIndex(Col, Row);
    if (Colour == 0) {
        FOrigin[cell] = kNone;
        return;
    }
    // A pebble shown with no slide before it appears where it is shown.
    const bool arrived = cell == FMovingTo && FMovingOrigin != kNone;
    FOrigin[cell] = arrived ? FMovingOrigin : cell;
    FMovingOrigin = FMovingTo = kNone;
}

std::vector<TPebbleMove> TMotionRecorder::Moves() const {
    std::vector<TPebbleMove> moves;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row) {
            const int origin = FOrigin[CellIndex(col, row)];
            if (origin == kNone || origin == CellIndex(col, row))
                continue;
            moves.push_back({origin / kRowCount + 1, origin % kRowCount + 1, col, row});
        }
    return moves;
}

} // namespace zorbalin
