// Tiny memory canvases for exact pixel checks.
#pragma once

#include <gtest/gtest.h>

#include "gdi/owners.h"

namespace zorbalin {

// A memory context holding a bitmap: 32-bit colour by default, 1-bit monochrome on request.
class TestCanvas {
  public:
    TestCanvas(int width, int height, COLORREF fill = RGB(0, 0, 0), bool mono = false)
        : dc_(CreateCompatibleDC(nullptr)),
          bitmap_(mono ? CreateBitmap(width, height, 1, 1, nullptr)
                       : CreateCompatibleBitmap(nullptr, width, height)) {
        old_ = SelectObject(dc_.Get(), bitmap_.Get());
        Fill(fill);
    }
    ~TestCanvas() { SelectObject(dc_.Get(), old_); }

    HDC Dc() const { return dc_.Get(); }
    HBITMAP Bitmap() const { return bitmap_.Get(); }
    COLORREF At(int x, int y) const { return GetPixel(dc_.Get(), x, y); }
    void Set(int x, int y, COLORREF c) { SetPixel(dc_.Get(), x, y, c); }
    void Fill(COLORREF c) {
        BrushOwner brush(CreateSolidBrush(c));
        RECT all{0, 0, 1 << 20, 1 << 20};
        FillRect(dc_.Get(), &all, brush.Get());
    }

  private:
    DCOwner dc_;
    BitmapOwner bitmap_;
    HGDIOBJ old_;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

} // namespace zorbalin
