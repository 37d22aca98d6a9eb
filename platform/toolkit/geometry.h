// Points and rectangles of the toolkit, in pixels. A rectangle excludes its Right column and its
// Bottom row, so Width = Right - Left.
#pragma once

#include <algorithm>

namespace zorbalin {

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint& A, const TPoint& B) { return A.X == B.X && A.Y == B.Y; }
    friend bool operator!=(const TPoint& A, const TPoint& B) { return !(A == B); }
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(TPoint P) const {
        return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom;
    }
    TRect Offset(int Dx, int Dy) const { return {Left + Dx, Top + Dy, Right + Dx, Bottom + Dy}; }
    friend bool operator==(const TRect& A, const TRect& B) {
        return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
    }
    friend bool operator!=(const TRect& A, const TRect& B) { return !(A == B); }
};

inline TPoint Point(int X, int Y) {
    return {X, Y};
}
inline TRect Rect(int Left, int Top, int Right, int Bottom) {
    return {Left, Top, Right, Bottom};
}
inline TRect Bounds(int Left, int Top, int Width, int Height) {
    return {Left, Top, Left + Width, Top + Height};
}

// The common part of two rectangles; empty (all zero) when they do not overlap.
inline TRect IntersectRects(const TRect& A, const TRect& B) {
    TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
            std::min(A.Bottom, B.Bottom)};
    return r.IsEmpty() ? TRect{} : r;
}

// The smallest rectangle holding both; an empty rectangle adds nothing.
inline TRect UnionRects(const TRect& A, const TRect& B) {
    if (A.IsEmpty())
        return B;
    if (B.IsEmpty())
        return A;
    return {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
            std::max(A.Bottom, B.Bottom)};
}

} // namespace zorbalin
