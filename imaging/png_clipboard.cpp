// The clipboard pair of TPNGObject: both go through a temporary bitmap, which
// owns its resources and is gone whatever happens.
#include "imaging/pngpicture.h"
#include "toolkit/bitmap.h"

namespace zorbalin {

void TPNGObject::SaveToClipboardFormat(unsigned short& format, TClipboardData& data,
                                       HPALETTE& palette) {
    TBitmap bitmap;
    bitmap.SetSize(GetWidth(), GetHeight());
    Draw(bitmap.Canvas(), Rect(0, 0, GetWidth(), GetHeight()));
    bitmap.SaveToClipboardFormat(format, data, palette);
}

void TPNGObject::LoadFromClipboardFormat(unsigned short format, const TClipboardData& data,
                                         HPALETTE palette) {
    TBitmap bitmap;
    bitmap.LoadFromClipboardFormat(format, data, palette);
    AssignFromBitmapHandle(bitmap.Handle(), false, 0);
}

} // namespace zorbalin
