#pragma once
// The line of advice at the foot of the main window's background picture is part of the picture,
// in Hungarian. In another language the picture's line is covered with the band's own texture
// and the translation written over it.
#include "toolkit/image.h"

namespace zorbalin {

// Whether the foot line differs from the picture's own in the player's language.
bool MainBackgroundTranslated();

// Puts the embedded background into Image, its foot line in the player's language.
void ShowMainBackground(TImage& Image);

} // namespace zorbalin
