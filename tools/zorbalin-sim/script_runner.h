#pragma once
// Reads simulator commands and runs them on a game.
//
//   board        followed by 9 lines of 18 digits 0-5, row 1 first: the position
//                to play and to replay; prints nothing
//   click C R    a click on the picture of column C, row R
//   replay       plays the last deal again
//   new N        a new deal with N colours (3, 4 or 5)
//   deal N K     deal number N (1-999999999) with K colours (3, 4 or 5)
//   number       prints "Deal N K": the number and colour count of the deal
//                (N is 0 for a position given by board)
//   clearable on|off   later new deals only boards the solver clears (off at
//                first)
//   undo, redo   one step back or forward in this deal's history (nothing
//                happens, and nothing is printed, when there is none)
//   dump         prints the board as 9 lines of 18 digits, row 1 first
//   hint         prints "Hint C R", a pebble of the group the best line found
//                in 300 ms starts with, or "Hint none" without a move
//   solve MS     searches MS milliseconds (1-60000) and prints "Solve N C1 R1
//                C2 R2 ...": those clicks leave N pebbles and no move
//                Neither changes the board.
//
// Blank lines are ignored. Bad input stops the run with an error.
#include "game/game.h"

#include <istream>
#include <ostream>
#include <stdexcept>

namespace zorbalin {

class EScriptError : public std::runtime_error {
  public:
    EScriptError(int Line, const std::string& What);
    int Line() const { return FLine; }

  private:
    int FLine;
};

// Runs every command of In on Game; notifications go wherever Game's view
// writes, dumps to Out (flushed after every command, for interactive use).
// Throws EScriptError naming the line of the first bad command.
void RunScript(std::istream& In, std::ostream& Out, TGame& Game);

} // namespace zorbalin
