// The parts of a form waiting for the next ordinary repaint: a few rectangles, merged when they
// touch or when there are too many, so that an animation of many small steps costs one repaint
// of the area it crossed.
#pragma once

#include <vector>

#include "toolkit/geometry.h"

namespace zorbalin {

class TUpdateRegion {
  public:
    void Add(const TRect& R);
    void Clear() { FRects.clear(); }
    bool Empty() const { return FRects.empty(); }
    const std::vector<TRect>& Rects() const { return FRects; }
    // Takes the rectangles out, leaving the region empty.
    std::vector<TRect> Take();

  private:
    static constexpr size_t kMaxRects = 8;
    std::vector<TRect> FRects;
};

} // namespace zorbalin
