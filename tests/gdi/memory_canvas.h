// Tiny memory canvases for exact pixel checks.
#pragma once

#include <gtest/gtest.h>

#include "gdi/owners.h"

namespace zorbalin {

// A memory context holding a bitmap: 32-bit colour by default, 1-bit monochrome on request.
class TMemoryCanvas {
  public:
    TMemoryCanvas(int width, int height, COLORREF fill = RGB(0, 0, 0), bool mono = false)
        : FDc(CreateCompatibleDC(nullptr)),
          FBitmap(mono ? CreateBitmap(width, height, 1, 1, nullptr)
                       : CreateCompatibleBitmap(nullptr, width, height)) {
        FOld = SelectObject(FDc.Get(), FBitmap.Get());
        Fill(fill);
    }
    ~TMemoryCanvas() { SelectObject(FDc.Get(), FOld); }

    HDC Dc() const { return FDc.Get(); }
    HBITMAP Bitmap() const { return FBitmap.Get(); }
    COLORREF At(int x, int y) const { return GetPixel(FDc.Get(), x, y); }
    void Set(int x, int y, COLORREF c) { SetPixel(FDc.Get(), x, y, c); }
    void Fill(COLORREF c) {
        TBrushOwner brush(CreateSolidBrush(c));
        RECT all{0, 0, 1 << 20, 1 << 20};
        FillRect(FDc.Get(), &all, brush.Get());
    }

  private:
    TDCOwner FDc;
    TBitmapOwner FBitmap;
    HGDIOBJ FOld;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

} // namespace zorbalin
