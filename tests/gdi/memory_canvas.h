// Tiny memory canvases for exact pixel checks.
#pragma once

#include <gtest/gtest.h>

#include "gdi/owners.h"

namespace zorbalin {

// A memory context holding a bitmap: 32-bit colour by default, 1-bit monochrome on request.
class TMemoryCanvas {
  public:
    TMemoryCanvas(int Width, int Height, COLORREF Background = RGB(0, 0, 0), bool Mono = false)
        : FDc(CreateCompatibleDC(nullptr)),
          FBitmap(Mono ? CreateBitmap(Width, Height, 1, 1, nullptr)
                       : CreateCompatibleBitmap(nullptr, Width, Height)) {
        FOld = SelectObject(FDc.Get(), FBitmap.Get());
        Fill(Background);
    }
    ~TMemoryCanvas() { SelectObject(FDc.Get(), FOld); }

    HDC Dc() const { return FDc.Get(); }
    HBITMAP Bitmap() const { return FBitmap.Get(); }
    COLORREF At(int X, int Y) const { return GetPixel(FDc.Get(), X, Y); }
    void Set(int X, int Y, COLORREF C) { SetPixel(FDc.Get(), X, Y, C); }
    void Fill(COLORREF C) {
        TBrushOwner brush(CreateSolidBrush(C));
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
