// Owners for graphics handles: each frees its handle when it goes out of scope, so a failing
// drawing step (an exception from the imaging code) never leaks a context or a bitmap.
#pragma once

#include <utility>

#include "gdi/gdi.h"

namespace zorbalin {

// Owns a memory device context made by CreateCompatibleDC.
class TDCOwner {
  public:
    TDCOwner() = default;
    explicit TDCOwner(HDC hdc) : FHdc(hdc) {}
    TDCOwner(TDCOwner&& other) noexcept : FHdc(other.Release()) {}
    TDCOwner& operator=(TDCOwner&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~TDCOwner() { Reset(); }

    HDC Get() const { return FHdc; }
    explicit operator bool() const { return FHdc != nullptr; }
    HDC Release() { return std::exchange(FHdc, nullptr); }
    void Reset(HDC hdc = nullptr) {
        if (FHdc)
            DeleteDC(FHdc);
        FHdc = hdc;
    }

  private:
    HDC FHdc = nullptr;
};

// Owns a bitmap, palette, brush or font. The object must be out of every context before the
// owner dies (DeleteObject refuses selected objects); a TSelectionGuard declared after the owner
// takes care of that.
template <class Handle> class TObjectOwner {
  public:
    TObjectOwner() = default;
    explicit TObjectOwner(Handle handle) : FHandle(handle) {}
    TObjectOwner(TObjectOwner&& other) noexcept : FHandle(other.Release()) {}
    TObjectOwner& operator=(TObjectOwner&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~TObjectOwner() { Reset(); }

    Handle Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    Handle Release() { return std::exchange(FHandle, nullptr); }
    void Reset(Handle handle = nullptr) {
        if (FHandle)
            DeleteObject(FHandle);
        FHandle = handle;
    }

  private:
    Handle FHandle = nullptr;
};

using TBitmapOwner = TObjectOwner<HBITMAP>;
using TPaletteOwner = TObjectOwner<HPALETTE>;
using TBrushOwner = TObjectOwner<HBRUSH>;
using TFontOwner = TObjectOwner<HFONT>;

// Selects an object into a context for the guard's lifetime and puts the previous one back.
class TSelectionGuard {
  public:
    TSelectionGuard(HDC hdc, HGDIOBJ obj) : FHdc(hdc), FPrevious(SelectObject(hdc, obj)) {}
    TSelectionGuard(const TSelectionGuard&) = delete;
    TSelectionGuard& operator=(const TSelectionGuard&) = delete;
    ~TSelectionGuard() {
        if (FPrevious)
            SelectObject(FHdc, FPrevious);
    }
    bool Selected() const { return FPrevious != nullptr; }

  private:
    HDC FHdc;
    HGDIOBJ FPrevious;
};

} // namespace zorbalin
