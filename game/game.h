#pragma once
// One game of ZorbaLin: the working board, the last deal, the number of colours
// and the colour source, driving a TBoardView. Nothing is global, so several
// games (tests, the simulator) can run side by side.
//
// Every visible effect is a TBoardView call, made in a fixed order that the
// view may rely on. The operations run to their end before returning; the
// only call that waits for the player is ShowResult.
//
// The main window implements TBoardView, owns one TGame (the view must outlive
// it) and wires it up: FormCreate calls SetColourCount with the saved setting,
// then CreateBoard; a cell picture's click handler Image1Click calls
// ClickNamedCell with the picture's name; the new-game button and action call
// aUjExecute, the replay button PNGButton2Click; the settings dialog calls
// SetColourCount; the undo and redo commands call Undo and Redo.
#include "game/board.h"
#include "game/board_view.h"
#include "game/deal_number.h"
#include "game/deal_random.h"
#include "game/played_game.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zorbalin {

// Cell keys ("5i3") of a group in the order they were found.
using TGroupKeys = std::vector<std::string>;

class TGame {
  public:
    explicit TGame(TBoardView& View,
                   std::unique_ptr<TDealRandom> Random = std::make_unique<TClockSeededRandom>());
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    const TBoard& Board() const { return FBoard; }
    const TBoard& SavedBoard() const { return FSavedBoard; }

    // 3, 4 (the default) or 5; used from the next deal on. Other values throw
    // std::invalid_argument.
    std::int32_t ColourCount() const { return FColourCount; }
    void SetColourCount(std::int32_t Count);

    // Deal and replay. Every deal is dealt from its number (TDealColours)
    // with the ColourCount of the moment; a new deal draws its number.
    void CreateBoard();     // once, when the window is made: creates the pictures, deals
    void aUjExecute();      // new game: deals anew with the current ColourCount
    void PNGButton2Click(); // replay: the last deal again from its start
    // CreateBoard and aUjExecute with a number chosen by the player; a number
    // outside kFirstDealNumber..kLastDealNumber throws std::out_of_range.
    void CreateBoard(TDealNumber Number);
    void PlayDeal(TDealNumber Number);
    // The deal the replay restores: its number (0 for a loaded position) and
    // the colour count it was dealt with.
    TDealNumber DealNumber() const { return FDealNumber; }
    std::int32_t DealColourCount() const { return FDealColourCount; }
    // Puts the colours of Position on the board and makes it the deal that the
    // replay restores (pictures stay as they are), a deal with no number and
    // the current ColourCount. For tools and tests.
    void LoadPosition(const TBoard& Position);

    // A click on a cell picture, by the picture's name ("i5i3"). Names that are
    // not a filled cell of the board are ignored and give false.
    bool ClickNamedCell(const std::string& Name);
    // The whole reaction to a click on a pebble: group removal, settling and the
    // end test. A position off the board or an empty cell is ignored.
    void ClickPebble(int Col, int Row);
    // Appends the keys of the same-coloured neighbours of a cell (left, right,
    // upper, lower) that GroupKeys lacks; true when any neighbour matches
    // (false for a cell off the board).
    bool AddSameColourNeighbours(int Col, int Row, TGroupKeys& GroupKeys) const;
    // The keys of the group a click on (Col, Row) would remove, in the order of
    // the removal; empty when the click would remove nothing.
    TGroupKeys GroupAt(int Col, int Row) const;

    // Settling: drops, then four passes closing empty columns.
    void SettleBoard();
    // The animation of a pebble that has left (Col, Row) for the cell below.
    void DropPebble(int Col, int Row);
    // Moves column Col + 1 into column Col, row by row; Col outside 1..17 throws
    // std::out_of_range.
    void ShiftColumnLeft(int Col);

    // End of a game.
    bool HasMovesLeft() const;
    void FinishGame();

    // The history of the current deal: every click that changed the board is a
    // step. A deal, a replay or a loaded position starts an empty history; a
    // step made after an undo drops the steps ahead of it.
    bool CanUndo() const { return FHistoryAt > 0; }
    bool CanRedo() const { return FHistoryAt + 1 < FHistory.size(); }
    // One step back (forward): the position is restored and shown at once, with
    // no animation, by ShowPebble for every cell as the replay does (0 for an
    // empty cell). False, with nothing sent, when there is no such step.
    bool Undo();
    bool Redo();

    // The game that a new deal or a replay left, until the first step of the new one: its board
    // and its own undo and redo steps. Only the last game left is kept.
    bool CanUndoDeal() const { return FLeftGame.has_value(); }
    // Brings it back and shows the whole board as Undo does; false, with nothing sent, when
    // there is none.
    bool UndoDeal();

    // The game on the board as its deal and clicks.
    TPlayedGame Played() const;
    // Puts a played game back on the board: its deal for the replay, the position after its
    // played clicks, the clicks ahead for redo. The pictures are created when no deal has made
    // them yet, else the whole board is shown. False, with nothing changed or sent, when the game
    // does not play back: a colour count or a colour out of range, more played clicks than
    // clicks, or a click that leaves the board as it was.
    bool Resume(const TPlayedGame& Game);

  private:
    using TColours = std::array<std::int32_t, kCellCount>;

    TColours Colours() const;
    void RestoreColours(const TColours& Colours);
    // What a game needs beyond the board to go on: its deal and its history.
    struct TLeftGame {
        TColours Saved;
        TDealNumber DealNumber;
        std::int32_t DealColourCount;
        std::vector<TColours> History;
        std::vector<TCellPosition> Steps;
        std::size_t HistoryAt;
    };

    void StartHistory();
    void RecordStep(const TColours& Before, TCellPosition Click);
    // Before a new deal or a replay: the game on the board becomes the one UndoDeal brings back.
    void KeepLeftGame();
    // Puts a kept game on the board (its deal, its history, the position it was at), without
    // showing it: an undone deal and a resumed game come back the same way.
    void TakeGame(TLeftGame Game);
    void CreatePictures();
    void ShowWholeBoard();
    void DealFromNumber(TDealNumber Number);
    bool HasPendingDrop() const;
    void DropPass();
    void WalkGroup(TGroupKeys& GroupKeys) const;
    void RemoveGroup(const TGroupKeys& GroupKeys);

    TBoardView& FView;
    std::unique_ptr<TDealRandom> FRandom;
    TBoard FBoard;
    TBoard FSavedBoard;
    std::int32_t FColourCount = 4;
    TDealNumber FDealNumber = 0;
    std::int32_t FDealColourCount = 4;
    bool FPicturesMade = false;
    // The positions of this deal, its start first; FHistoryAt is the one shown. FSteps[i] is the
    // click that led from FHistory[i] to FHistory[i + 1].
    std::vector<TColours> FHistory;
    std::vector<TCellPosition> FSteps;
    std::size_t FHistoryAt = 0;
    std::optional<TLeftGame> FLeftGame;
};

} // namespace zorbalin
