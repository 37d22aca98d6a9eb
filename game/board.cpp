#include "game/board.h"

namespace zorbalin {

bool IsOnBoard(int Col, int Row) {
    return Col >= 1 && Col <= ColumnCount && Row >= 1 && Row <= RowCount;
}

std::string CellName(int Col, int Row) {
    return "i" + CellKey(Col, Row);
}

std::string CellKey(int Col, int Row) {
    return std::to_string(Col) + "i" + std::to_string(Row);
}

TCellBox HomeBox(int Col, int Row) {
    return TCellBox{CellWidth * Col - 15, CellHeight * Row + 20, CellWidth, CellHeight};
}

} // namespace zorbalin
