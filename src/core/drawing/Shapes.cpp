#include "core/drawing/Shapes.h"

#include <cstdint>
#include <cstdlib>
#include <unordered_map>
#include <utility>

#include "core/palette/Palette.h"

namespace zobl {

namespace {

// Beyond this, shapes are nonsense input; their point lists would only eat memory.
constexpr int kMaxShapeCoordinate = 65535;

bool IsSaneShapePoint(PixelPoint p) {
    return std::abs(p.x) <= kMaxShapeCoordinate && std::abs(p.y) <= kMaxShapeCoordinate;
}

}  // namespace

std::vector<PixelPoint> LinePoints(PixelPoint from, PixelPoint to) {
    std::vector<PixelPoint> points;
    if (!IsSaneShapePoint(from) || !IsSaneShapePoint(to)) {
        return points;
    }
    const int w = to.x - from.x;
    const int h = to.y - from.y;
    if (w == 0) {
        if (from.y > to.y) {
            std::swap(from, to);
        }
        for (int y = from.y; y <= to.y; ++y) {
            points.push_back({from.x, y});
        }
    } else if (h == 0) {
        if (from.x > to.x) {
            std::swap(from, to);
        }
        for (int x = from.x; x <= to.x; ++x) {
            points.push_back({x, from.y});
        }
    } else if (std::abs(w) > std::abs(h)) {
        if (from.x > to.x) {
            std::swap(from, to);
        }
        // Single precision on purpose: the points must fall where they always have.
        const float slope = float(to.y - from.y);
        const float run = float(to.x - from.x);
        for (int x = from.x; x <= to.x; ++x) {
            const float y = float(from.y) + float(x - from.x) * slope / run;
            points.push_back({x, RoundHalfUp(double(y))});
        }
    } else {
        if (from.y > to.y) {
            std::swap(from, to);
        }
        const float slope = float(to.x - from.x);
        const float run = float(to.y - from.y);
        for (int y = from.y; y <= to.y; ++y) {
            const float x = float(from.x) + float(y - from.y) * slope / run;
            points.push_back({RoundHalfUp(double(x)), y});
        }
    }
    return points;
}

std::vector<PixelPoint> RectangleOutlinePoints(PixelPoint a, PixelPoint b) {
    std::vector<PixelPoint> points;
    if (!IsSaneShapePoint(a) || !IsSaneShapePoint(b)) {
        return points;
    }
    const PixelRect r = PixelRect::Spanning(a, b);
    points.reserve(std::size_t(2 * (r.Width() + r.Height())));
    for (int x = r.x0; x <= r.x1; ++x) {
        points.push_back({x, r.y0});
        points.push_back({x, r.y1});
    }
    for (int y = r.y0; y <= r.y1; ++y) {
        points.push_back({r.x0, y});
        points.push_back({r.x1, y});
    }
    return points;
}

std::vector<PixelPoint> InvertedPreviewPixels(const std::vector<PixelPoint>& points) {
    const auto key = [](PixelPoint p) { return (std::int64_t{p.x} << 32) ^ std::uint32_t(p.y); };
    std::unordered_map<std::int64_t, int> times;
    for (const PixelPoint& p : points) {
        ++times[key(p)];
    }
    std::vector<PixelPoint> visible;
    for (const PixelPoint& p : points) {
        int& n = times[key(p)];
        if (n % 2 == 1) {
            visible.push_back(p);
        }
        n = 0;  // report each pixel once
    }
    return visible;
}

}  // namespace zobl
