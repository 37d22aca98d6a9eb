// Drawing a PNG picture into a device context: the three paths TPNGObject::Draw
// chooses between, and the colour key they need. Kept apart from the class so
// that tests and the benchmark can drive each path on its own.
#pragma once

#include <cstdint>

#include "gdi/gdi.h"
#include "toolkit/geometry.h"

namespace zorbalin {

class TPNGObject;
class TChunkIHDR;

// The colour that keyed pixels of a picture are drawn with, as RGB. For grey and
// RGB pictures it is taken from the bytes the colour plane holds for the tRNS
// sample (the high byte of a 16-bit sample, five times a 2-bit grey), through the
// same colour table or gamma table as the pixels; for palette pictures it is the
// colour of the first fully transparent entry. False when there is no tRNS chunk
// or no stored pixel can carry the key (a sample beyond the bit depth's range).
bool DrawnKeyColour(const TPNGObject& Picture, COLORREF& Key);

// Opaque drawing: the colour plane scaled into the rectangle, nearest pixel.
// The rectangle is used as given, so a reversed one mirrors.
void DrawOpaque(HDC Dc, const TRect& Rect, const TChunkIHDR& Header);

// Colour-key drawing by raster operations: where the source pixel equals `key`
// the destination keeps what it had, elsewhere it takes the source colour.
void DrawColourKey(HDC Dc, const TRect& Rect, const TChunkIHDR& Header, COLORREF Key);

// Which row blender alpha drawing uses for 24-bit planes; both give equal results.
enum class TBlendPath { Plain, Fast };

// Alpha drawing: reads back what is under the rectangle, blends every pixel
// with its opacity and writes the result back. Only the part of the rectangle
// the context can show is read, blended and written.
void DrawAlpha(HDC Dc, const TRect& Rect, const TPNGObject& Picture, const TChunkIHDR& Header,
               TBlendPath Path = TBlendPath::Fast);

} // namespace zorbalin
