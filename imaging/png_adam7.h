// The seven passes of the PNG standard's Adam7 interlace method.
#pragma once

#include <cstdint>

namespace zorbalin {

struct TAdam7Pass {
    uint32_t FirstColumn;
    uint32_t FirstRow;
    uint32_t ColumnStep;
    uint32_t RowStep;

    // Pixels of a pass row in an image `width` pixels wide (0 when none).
    uint32_t Width(uint32_t Width) const {
        return Width > FirstColumn ? (Width - FirstColumn + ColumnStep - 1) / ColumnStep : 0;
    }
    uint32_t Height(uint32_t Height) const {
        return Height > FirstRow ? (Height - FirstRow + RowStep - 1) / RowStep : 0;
    }
};

constexpr TAdam7Pass kAdam7Passes[7] = {
    {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
    {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2},
};

} // namespace zorbalin
