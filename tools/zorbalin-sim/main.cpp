// zorbalin-sim: plays ZorbaLin without a window. Commands come on standard
// input (see script_runner.h); every notification of the game goes to
// standard output as one line. The program starts as the game does, by
// creating the board with 4 colours.
#include "game/text_view.h"
#include "script_runner.h"

#include <iostream>

int main() {
    std::ios::sync_with_stdio(false);
    zorbalin::TStreamTextView view(std::cout);
    zorbalin::TGame game(view);
    try {
        game.CreateBoard();
        zorbalin::RunScript(std::cin, std::cout, game);
    } catch (const zorbalin::EScriptError& error) {
        std::cout.flush();
        std::cerr << "zorbalin-sim: " << error.what() << '\n';
        return 2;
    }
    std::cout.flush();
    return 0;
}
