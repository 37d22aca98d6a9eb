#pragma once
// Test helpers: a view that records every notification as a line of text, a
// colour source with a known sequence, and boards written as 9 rows of digits.
#include "game/deal_random.h"
#include "game/game.h"
#include "game/text_view.h"

#include <array>
#include <string>
#include <vector>

namespace zorbalin::testing {

// The notifications as the simulator prints them, one distinct picture handle per cell.
class TRecordingView : public TTextView {
  public:
    TPictureHandle CreatePebble(int Col, int Row, std::int32_t Colour) override {
        TTextView::CreatePebble(Col, Row, Colour);
        return PictureOf(Col, Row);
    }

    // The handle CreatePebble gave for a cell: one distinct address per cell.
    TPictureHandle PictureOf(int Col, int Row) {
        return &FPictures[(Col - 1) * kRowCount + (Row - 1)];
    }
    // The recorded calls whose text starts with Prefix, in order.
    std::vector<std::string> CallsStartingWith(const std::string& Prefix) const {
        std::vector<std::string> result;
        for (const std::string& call : Calls)
            if (call.rfind(Prefix, 0) == 0)
                result.push_back(call);
        return result;
    }

    std::vector<std::string> Calls;

  protected:
    void WriteLine(const std::string& Line) override { Calls.push_back(Line); }

  private:
    std::array<char, kCellCount> FPictures{};
};

// The k-th reseed starts drawing at number k, and the draws count up from there: deals are
// known and differ.
class TCountingDeals : public TDealRandom {
  public:
    void Reseed() override { FNext = static_cast<TDealNumber>(++Reseeds); }
    TDealNumber NextNumber() override { return FNext++; }
    int Reseeds = 0;

  private:
    TDealNumber FNext = 1;
};

// Rows 1..9 as strings of 18 digits, column 1 first.
inline TBoard BoardFromRows(const std::array<const char*, kRowCount>& Rows) {
    TBoard board;
    for (int row = 1; row <= kRowCount; ++row)
        for (int col = 1; col <= kColumnCount; ++col)
            board.At(col, row).Colour = Rows[row - 1][col - 1] - '0';
    return board;
}

inline std::array<std::string, kRowCount> RowsOf(const TBoard& Board) {
    std::array<std::string, kRowCount> rows;
    for (int row = 1; row <= kRowCount; ++row)
        for (int col = 1; col <= kColumnCount; ++col)
            rows[row - 1] += static_cast<char>('0' + Board.Colour(col, row));
    return rows;
}

// A board where no two neighbours share a colour: 1 and 2 alternate.
inline TBoard Checkerboard() {
    TBoard board;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            board.At(col, row).Colour = 1 + (col + row) % 2;
    return board;
}

// A game on a recording view, started like the program with CreateBoard.
struct TRecordedGame {
    TRecordedGame() : Game(View, std::make_unique<TCountingDeals>()) {
        Game.CreateBoard();
        View.Calls.clear();
    }
    void Load(const TBoard& Position) {
        Game.LoadPosition(Position);
        View.Calls.clear();
    }
    TRecordingView View;
    TGame Game;
};

} // namespace zorbalin::testing
