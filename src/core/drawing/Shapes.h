#pragma once

#include <vector>

#include "core/drawing/PixelTypes.h"

namespace zobl {

// The pixels of the shape tools, the same for every drawing surface.

// The points of a line, in plotting order. Lines run along the longer axis; the other
// coordinate is Y0 + (X - X0)·h / w (or the mirror formula) in single precision, rounded half
// up. (0,0)-(3,1) gives (0,0), (1,0), (2,1), (3,1). Coordinates beyond +-65535 give no points.
std::vector<PixelPoint> LinePoints(PixelPoint from, PixelPoint to);

// The outline of the rectangle spanned by two corners: top and bottom line left to right, then
// left and right column top to bottom. Corners come twice, so an inverted preview leaves them
// out; of a one-line rectangle only the two ends show.
std::vector<PixelPoint> RectangleOutlinePoints(PixelPoint a, PixelPoint b);

// The pixels an inverted preview of the points leaves visible: those plotted an odd number of
// times, each once, in first-plotted order.
std::vector<PixelPoint> InvertedPreviewPixels(const std::vector<PixelPoint>& points);

// Shift held on a shape drag keeps the shape in form by moving its end point: a line runs
// along the nearest of the eight directions (horizontal, vertical, 45 degrees), a rectangle
// becomes a square. A diagonal and a square reach as far as the longer of the drag's two
// extents, each in the direction the drag went (a square's unmoved side goes where there is
// more room, right or down on a tie), and are shortened only as far as they must to stay in
// bounds, which hold `from`. In wide bounds, lines: (0,0)-(5,2) gives (5,0), (0,0)-(5,3) gives (5,5);
// squares: (2,2)-(4,7) gives (7,7); in bounds (0,0)-(15,13), (2,5)-(2,2) gives (5,2).
enum class ShapeConstraint { EightDirections, Square };
PixelPoint ConstrainedEnd(ShapeConstraint constraint, PixelPoint from, PixelPoint to,
                          const PixelRect& bounds);

}  // namespace zobl
