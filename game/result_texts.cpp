#include "game/result_texts.h"

#include "strings/translate.h"

namespace zorbalin {

TResultTexts ResultTexts(int Count) {
    TResultTexts texts;
    texts.Headline = Count <= kPraisedAtMost ? Tr("Gratulálok!") : Tr("Ezt még gyakorolni kell...");
    texts.Message = Count == 0
                        ? Tr("Ez már kész, keresni kellene egy nehezebb játékot...")
                        : FormatText(TrN("Már csak %1 kavics maradt.", "Már csak %1 kavics maradt.",
                                         static_cast<unsigned long>(Count)),
                                     {std::to_string(Count)});
    return texts;
}

} // namespace zorbalin
