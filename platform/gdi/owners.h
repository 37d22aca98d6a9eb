// Owners for graphics handles: each frees its handle when it goes out of scope, so a failing
// drawing step (an exception from the imaging code) never leaks a context or a bitmap.
#pragma once

#include <utility>

#include "gdi/gdi.h"

namespace zorbalin {

// Owns a memory device context made by CreateCompatibleDC.
class DCOwner {
  public:
    DCOwner() = default;
    explicit DCOwner(HDC hdc) : hdc_(hdc) {}
    DCOwner(DCOwner&& other) noexcept : hdc_(other.Release()) {}
    DCOwner& operator=(DCOwner&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~DCOwner() { Reset(); }

    HDC Get() const { return hdc_; }
    explicit operator bool() const { return hdc_ != nullptr; }
    HDC Release() { return std::exchange(hdc_, nullptr); }
    void Reset(HDC hdc = nullptr) {
        if (hdc_)
            DeleteDC(hdc_);
        hdc_ = hdc;
    }

  private:
    HDC hdc_ = nullptr;
};

// Owns a bitmap, palette, brush or font. The object must be out of every context before the
// owner dies (DeleteObject refuses selected objects); a SelectionGuard declared after the owner
// takes care of that.
template <class Handle> class ObjectOwner {
  public:
    ObjectOwner() = default;
    explicit ObjectOwner(Handle handle) : handle_(handle) {}
    ObjectOwner(ObjectOwner&& other) noexcept : handle_(other.Release()) {}
    ObjectOwner& operator=(ObjectOwner&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~ObjectOwner() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle Release() { return std::exchange(handle_, nullptr); }
    void Reset(Handle handle = nullptr) {
        if (handle_)
            DeleteObject(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

using BitmapOwner = ObjectOwner<HBITMAP>;
using PaletteOwner = ObjectOwner<HPALETTE>;
using BrushOwner = ObjectOwner<HBRUSH>;
using FontOwner = ObjectOwner<HFONT>;

// Selects an object into a context for the guard's lifetime and puts the previous one back.
class SelectionGuard {
  public:
    SelectionGuard(HDC hdc, HGDIOBJ obj) : hdc_(hdc), previous_(SelectObject(hdc, obj)) {}
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;
    ~SelectionGuard() {
        if (previous_)
            SelectObject(hdc_, previous_);
    }
    bool Selected() const { return previous_ != nullptr; }

  private:
    HDC hdc_;
    HGDIOBJ previous_;
};

} // namespace zorbalin
