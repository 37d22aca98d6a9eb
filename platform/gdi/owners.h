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
    explicit TDCOwner(HDC Hdc) : FHdc(Hdc) {}
    TDCOwner(TDCOwner&& Other) noexcept : FHdc(Other.Release()) {}
    TDCOwner& operator=(TDCOwner&& Other) noexcept {
        Reset(Other.Release());
        return *this;
    }
    ~TDCOwner() { Reset(); }

    HDC Get() const { return FHdc; }
    explicit operator bool() const { return FHdc != nullptr; }
    HDC Release() { return std::exchange(FHdc, nullptr); }
    void Reset(HDC Hdc = nullptr) {
        if (FHdc)
            DeleteDC(FHdc);
        FHdc = Hdc;
    }

  private:
    HDC FHdc = nullptr;
};

// Owns a bitmap, palette, brush or font. The object must be out of every context before the
// owner dies (DeleteObject refuses selected objects); a TSelectionGuard declared after the owner
// takes care of that.
template <class THandle> class TObjectOwner {
  public:
    TObjectOwner() = default;
    explicit TObjectOwner(THandle Handle) : FHandle(Handle) {}
    TObjectOwner(TObjectOwner&& Other) noexcept : FHandle(Other.Release()) {}
    TObjectOwner& operator=(TObjectOwner&& Other) noexcept {
        Reset(Other.Release());
        return *this;
    }
    ~TObjectOwner() { Reset(); }

    THandle Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    THandle Release() { return std::exchange(FHandle, nullptr); }
    void Reset(THandle Handle = nullptr) {
        if (FHandle)
            DeleteObject(FHandle);
        FHandle = Handle;
    }

  private:
    THandle FHandle = nullptr;
};

using TBitmapOwner = TObjectOwner<HBITMAP>;
using TPaletteOwner = TObjectOwner<HPALETTE>;
using TBrushOwner = TObjectOwner<HBRUSH>;
using TFontOwner = TObjectOwner<HFONT>;

// Selects an object into a context for the guard's lifetime and puts the previous one back.
class TSelectionGuard {
  public:
    TSelectionGuard(HDC Hdc, HGDIOBJ Obj) : FHdc(Hdc), FPrevious(SelectObject(Hdc, Obj)) {}
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
