#pragma once

#include <algorithm>

namespace zobl {

// A pixel of a drawing surface, y counted from the top.
struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// A rectangle of pixels with inclusive corners.
struct PixelRect {
    int x0 = 0;
    int y0 = 0;
    int x1 = -1;
    int y1 = -1;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;

    bool HasPixels() const { return x0 <= x1 && y0 <= y1; }
    bool Contains(PixelPoint p) const { return p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1; }
    int Width() const { return HasPixels() ? x1 - x0 + 1 : 0; }
    int Height() const { return HasPixels() ? y1 - y0 + 1 : 0; }
    // The rectangle spanned by two corners in any order.
    static PixelRect Spanning(PixelPoint a, PixelPoint b) {
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    }
    // The part of this rectangle inside bounds (without pixels when they do not meet).
    PixelRect ClippedTo(const PixelRect& bounds) const {
        return {std::max(x0, bounds.x0), std::max(y0, bounds.y0), std::min(x1, bounds.x1),
                std::min(y1, bounds.y1)};
    }
};

}  // namespace zobl
