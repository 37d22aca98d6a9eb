#include "toolkit/update_region.h"

#include <utility>

namespace zorbalin {

namespace {

bool Touch(const TRect& A, const TRect& B) {
    return A.Left <= B.Right && B.Left <= A.Right && A.Top <= B.Bottom && B.Top <= A.Bottom;
}

} // namespace

void TUpdateRegion::Add(const TRect& R) {
    if (R.IsEmpty())
        return;
    TRect merged = R;
    // Swallow every rectangle the new one touches; repeat since the union may reach further.
    bool grew = true;
    while (grew) {
        grew = false;
        for (size_t i = 0; i < FRects.size(); ++i) {
            if (Touch(FRects[i], merged)) {
                merged = UnionRects(merged, FRects[i]);
                FRects.erase(FRects.begin() + static_cast<std::ptrdiff_t>(i));
                grew = true;
                break;
            }
        }
    }
    FRects.push_back(merged);
    if (FRects.size() > kMaxRects) {
        TRect all;
        for (const TRect& x : FRects)
            all = UnionRects(all, x);
        FRects.assign(1, all);
    }
}

std::vector<TRect> TUpdateRegion::Take() {
    return std::exchange(FRects, {});
}

} // namespace zorbalin
