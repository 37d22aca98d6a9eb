// Building a PNG picture from a bitmap, for the copying code and the clipboard.
#pragma once

#include "gdi/gdi.h"

namespace zorbalin {

class TPNGObject;

// AssignFromBitmapHandle for a bitmap that may be selected into a context:
// `holder` is that context (null when the bitmap is in none), through which
// its pixels are read.
void AssignFromHeldBitmap(TPNGObject& picture, HBITMAP bitmap, HDC holder, bool transparent,
                          COLORREF key);

}  // namespace zorbalin
