#include "game/result_texts.h"

namespace zorbalin {

TResultTexts ResultTexts(int Count) {
    TResultTexts texts;
    texts.Headline = Count < 11 ? "Gratulálok!" : "Ezt még gyakorolni kell...";
    texts.Message = Count == 0 ? "Ez már kész, keresni kellene egy nehezebb játékot..."
                               : "Már csak " + std::to_string(Count) + " kavics maradt.";
    return texts;
}

} // namespace zorbalin
