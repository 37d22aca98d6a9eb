// zorbalin-sim: plays ZorbaLin without a window. Commands come on standard
// input (see script_runner.h); every notification of the game goes to
// standard output as one line. The program starts as the game does, by
// creating the board with 4 colours.
#include "game/text_view.h"
#include "script_runner.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <new>

namespace {

// Output that cannot be written (a full disk, a closed pipe) is a failure, not
// a run that seemed to succeed.
int OutputFailed(int Error) {
    std::cerr << "zorbalin-sim: cannot write the output: " << std::strerror(Error) << '\n';
    return 1;
}

} // namespace

int main() {
    std::ios::sync_with_stdio(false);
    std::cout.exceptions(std::ios::badbit);
    zorbalin::TStreamTextView view(std::cout);
    zorbalin::TGame game(view);
    try {
        game.CreateBoard();
        zorbalin::RunScript(std::cin, std::cout, game);
        std::cout.flush();
    } catch (const zorbalin::EScriptError& error) {
        std::cout.exceptions(std::ios::goodbit);
        std::cout.flush();
        std::cerr << "zorbalin-sim: " << error.what() << '\n';
        return 2;
    } catch (const std::ios_base::failure&) {
        const int error = errno;
        // The flush at exit must not try again and throw where nobody catches.
        std::cout.exceptions(std::ios::goodbit);
        return OutputFailed(error);
    } catch (const std::bad_alloc&) {
        std::cerr << "zorbalin-sim: out of memory\n";
        return 2;
    }
    return 0;
}
