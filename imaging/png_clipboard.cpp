// The clipboard pair of TPNGObject: both go through a temporary bitmap, which
// owns its resources and is gone whatever happens.
#include "imaging/pngpicture.h"
#include "toolkit/bitmap.h"

namespace zorbalin {

void TPNGObject::SaveToClipboardFormat(unsigned short& Format, TClipboardData& Data,
                                       HPALETTE& Palette) {
    TBitmap bitmap;
    bitmap.SetSize(GetWidth(), GetHeight());
    Draw(bitmap.Canvas(), Rect(0, 0, GetWidth(), GetHeight()));
    bitmap.SaveToClipboardFormat(Format, Data, Palette);
}

void TPNGObject::LoadFromClipboardFormat(unsigned short Format, const TClipboardData& Data,
                                         HPALETTE Palette) {
    TBitmap bitmap;
    bitmap.LoadFromClipboardFormat(Format, Data, Palette);
    AssignFromBitmapHandle(bitmap.Handle(), false, 0);
}

} // namespace zorbalin
