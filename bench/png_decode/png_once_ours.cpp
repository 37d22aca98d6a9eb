// bench_png_once_ours FILE [TIMES]: the program's reader alone on a file, in a
// process of its own (the whole-process comparison runs it); nothing else starts.
#include <cstdlib>

#include "imaging/pngpicture.h"

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const int times = argc > 2 ? std::atoi(argv[2]) : 1;
    try {
        for (int i = 0; i < times; ++i) {
            zorbalin::TPNGObject picture;
            zorbalin::LoadPNGFromFile(picture, argv[1]);
        }
    } catch (const std::exception&) {
        return 1;
    }
    return 0;
}
