// A click: the breadth-first group search over cell keys and the removal.
#include "game/game.h"
#include "strings/fields.h"

#include <algorithm>

namespace zorbalin {
namespace {

struct TPosition {
    int Col;
    int Row;
};

// Keys are made by CellKey, so both fields are always plain decimal numbers.
TPosition PositionOfKey(const std::string& Key) {
    return TPosition{std::stoi(GetField("i", Key, 1)), std::stoi(GetField("i", Key, 2))};
}

bool IsDecimal(const std::string& Text) {
    return !Text.empty() && Text.size() <= 2 &&
           std::all_of(Text.begin(), Text.end(), [](char C) { return C >= '0' && C <= '9'; });
}

void AppendOnce(TGroupKeys& GroupKeys, std::string Key) {
    if (std::find(GroupKeys.begin(), GroupKeys.end(), Key) == GroupKeys.end())
        GroupKeys.push_back(std::move(Key));
}

} // namespace

bool TGame::ClickNamedCell(const std::string& Name) {
    const std::string colText = GetField("i", Name, 2);
    const std::string rowText = GetField("i", Name, 3);
    if (!IsDecimal(colText) || !IsDecimal(rowText))
        return false;
    const int col = std::stoi(colText);
    const int row = std::stoi(rowText);
    if (!IsOnBoard(col, row) || Name != CellName(col, row) || !FBoard.IsFilled(col, row))
        return false;
    ClickPebble(col, row);
    return true;
}

bool TGame::AddSameColourNeighbours(int Col, int Row, TGroupKeys& GroupKeys) const {
    if (!IsOnBoard(Col, Row))
        return false;
    const std::int32_t colour = FBoard.Colour(Col, Row);
    bool found = false;
    const auto tryNeighbour = [&](bool Inside, int Col, int Row) {
        if (Inside && FBoard.Colour(Col, Row) == colour) {
            found = true;
            AppendOnce(GroupKeys, CellKey(Col, Row));
        }
    };
    tryNeighbour(Col > 1, Col - 1, Row);
    tryNeighbour(Col < kColumnCount, Col + 1, Row);
    tryNeighbour(Row > 1, Col, Row - 1);
    tryNeighbour(Row < kRowCount, Col, Row + 1);
    return found;
}

void TGame::ClickPebble(int Col, int Row) {
    // The window shows no picture for an empty cell, so such a click cannot
    // come from a player; running the rules on it would "remove" empty cells.
    if (!IsOnBoard(Col, Row) || !FBoard.IsFilled(Col, Row))
        return;
    const TColours before = Colours();
    {
        TGroupKeys groupKeys{CellKey(Col, Row)};
        if (AddSameColourNeighbours(Col, Row, groupKeys)) {
            WalkGroup(groupKeys);
            RemoveGroup(groupKeys);
        }
    }
    SettleBoard();
    RecordStep(before, {Col, Row});
    if (!HasMovesLeft())
        FinishGame();
}

TGroupKeys TGame::GroupAt(int Col, int Row) const {
    if (!IsOnBoard(Col, Row) || !FBoard.IsFilled(Col, Row))
        return {};
    TGroupKeys groupKeys{CellKey(Col, Row)};
    if (!AddSameColourNeighbours(Col, Row, groupKeys))
        return {};
    WalkGroup(groupKeys);
    return groupKeys;
}

void TGame::WalkGroup(TGroupKeys& GroupKeys) const {
    // The list grows while it is walked; its size is read afresh every step.
    for (std::size_t i = 0; i < GroupKeys.size(); ++i) {
        const TPosition cell = PositionOfKey(GroupKeys[i]);
        AddSameColourNeighbours(cell.Col, cell.Row, GroupKeys);
    }
}

void TGame::RemoveGroup(const TGroupKeys& GroupKeys) {
    for (const std::string& key : GroupKeys) {
        const TPosition cell = PositionOfKey(key);
        FView.HidePebble(cell.Col, cell.Row);
        FBoard.At(cell.Col, cell.Row).Colour = 0;
    }
}

} // namespace zorbalin
