// Undoing and applying the five row filters of the PNG standard (section 9).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorbalin {

// The filter types, each the byte that starts a filtered row. A row read from a file may start
// with any other byte; the unfiltering leaves such a row as it came.
enum class TFilterType : uint8_t {
    None = 0,
    Sub = 1,
    Up = 2,
    Average = 3,
    Paeth = 4,
};

// The Paeth predictor with the standard's tie order: left, then above, then
// upper-left. Written without branches: on photographic rows the choice is a
// coin toss that a branch predictor keeps losing.
inline uint8_t PaethPredictor(int Left, int Above, int UpperLeft) {
    const int pa = Above > UpperLeft ? Above - UpperLeft : UpperLeft - Above; // |p - left|
    const int pb = Left > UpperLeft ? Left - UpperLeft : UpperLeft - Left;    // |p - above|
    const int pcSigned = Left + Above - 2 * UpperLeft;
    const int pc = pcSigned < 0 ? -pcSigned : pcSigned; // |p - upper-left|
    const int aboveOrUpperLeft = pb <= pc ? Above : UpperLeft;
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? Left : aboveOrUpperLeft);
}

// Contract: `row` and `prior` hold `rowBytes` bytes each (without the filter-type
// byte); `prior` is the already unfiltered previous row of the same pass, all
// zeros for a pass's first row; `step` (>= 1) is the distance in bytes to the
// corresponding byte of the pixel to the left. Bytes left of the row start count
// as 0. An unknown filter type leaves the row as it came.
void UnfilterRow(TFilterType FilterType, uint8_t* Row, const uint8_t* Prior, size_t RowBytes,
                 size_t Step);

// The plain, byte-at-a-time form of UnfilterRow; the reference the fast paths are
// tested against.
void UnfilterRowPlain(TFilterType FilterType, uint8_t* Row, const uint8_t* Prior, size_t RowBytes,
                      size_t Step);

// The inverse: writes the filtered bytes of `row` (given `prior`) to `out`.
void FilterRow(TFilterType FilterType, const uint8_t* Row, const uint8_t* Prior, size_t RowBytes,
               size_t Step, uint8_t* Out);

} // namespace zorbalin
