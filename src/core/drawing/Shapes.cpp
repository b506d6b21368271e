#include "core/drawing/Shapes.h"

#include <algorithm>
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

namespace {

// How far from `at` one may go in direction `sign` (+1 or -1) and stay within [low, high].
int RoomToward(int sign, int at, int low, int high) {
    return std::max(0, sign > 0 ? high - at : at - low);
}

}  // namespace

PixelPoint ConstrainedEnd(ShapeConstraint constraint, PixelPoint from, PixelPoint to,
                          const PixelRect& bounds) {
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    const int adx = std::abs(dx);
    const int ady = std::abs(dy);
    if (constraint == ShapeConstraint::EightDirections) {
        // tan(22.5 degrees): the borders between the eight directions. Integer extents never
        // meet it exactly, so no drag lies between two directions.
        constexpr double kTan22 = 0.41421356237309503;
        if (ady < kTan22 * adx) {
            return {std::clamp(to.x, bounds.x0, bounds.x1), from.y};
        }
        if (adx < kTan22 * ady) {
            return {from.x, std::clamp(to.y, bounds.y0, bounds.y1)};
        }
    }
    const auto sideOf = [](int d, int at, int low, int high) {
        if (d != 0) {
            return d > 0 ? 1 : -1;
        }
        return RoomToward(-1, at, low, high) > RoomToward(1, at, low, high) ? -1 : 1;
    };
    const int sx = sideOf(dx, from.x, bounds.x0, bounds.x1);
    const int sy = sideOf(dy, from.y, bounds.y0, bounds.y1);
    const int reach = std::min({std::max(adx, ady), RoomToward(sx, from.x, bounds.x0, bounds.x1),
                                RoomToward(sy, from.y, bounds.y0, bounds.y1)});
    return {from.x + sx * reach, from.y + sy * reach};
}

}  // namespace zobl
