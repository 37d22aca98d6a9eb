#include "game/board.h"

namespace zorbalin {

bool IsOnBoard(int Col, int Row) {
    return Col >= 1 && Col <= kColumnCount && Row >= 1 && Row <= kRowCount;
}

std::string CellName(int Col, int Row) {
    return "i" + CellKey(Col, Row);
}

std::string CellKey(int Col, int Row) {
    return std::to_string(Col) + "i" + std::to_string(Row);
}

TCellBox HomeBox(int Col, int Row) {
    return TCellBox{kCellWidth * Col - 15, kCellHeight * Row + 20, kCellWidth, kCellHeight};
}

} // namespace zorbalin
