#pragma once

#include <algorithm>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/drawing/PixelTypes.h"
#include "core/drawing/UBStack.h"
#include "core/palette/Palette.h"

namespace zobl {

// A drawing surface for the tools: the scenery store, a car view plane. The tools are written
// once over this; each surface says which pixels exist, which a fill may spread into, and how
// a write reaches its document (undo snapshot, display):
//   Bounds()          the rectangle of its pixels; Contains(p) tells whether p lies in it
//   Fillable(p)       a fill may spread into p (the scenery store: p's row is present)
//   FillableRun(x, y) the first and last x of the run of pixels around (x, y) on line y that
//                     all have the same fillability, within the bounds
//   Get(p)            the value of a pixel it contains
//   Line(y)           the values of line y in the bounds, left to right, contiguous
//   Set(p, v)         writes without updating the display (bulk work, made good when the
//                     caller finishes); true when the value changed
//   SetSpan(y, x0, x1, v) the same for a run of line y that lies on it and all changes
//   SetDrawn(p, v)    writes and shows at once; true when the value changed
// Writes outside the surface are ignored.
struct PixelRun {
    int first = 0;
    int last = -1;
};
template <typename C>
concept PixelCanvas = requires(C canvas, const C& view, PixelPoint p, PaletteIndex v, int n) {
    { view.Bounds() } -> std::convertible_to<PixelRect>;
    { view.Contains(p) } -> std::convertible_to<bool>;
    { view.Fillable(p) } -> std::convertible_to<bool>;
    { view.FillableRun(n, n) } -> std::convertible_to<PixelRun>;
    { view.Get(p) } -> std::convertible_to<PaletteIndex>;
    { view.Line(n) } -> std::convertible_to<const PaletteIndex*>;
    { canvas.Set(p, v) } -> std::convertible_to<bool>;
    {canvas.SetSpan(n, n, n, v)};
    { canvas.SetDrawn(p, v) } -> std::convertible_to<bool>;
};

namespace canvas_detail {
// Scanning lines a word at a time: a fill looks at every pixel of its region several times.
inline std::uint64_t Broadcast(PaletteIndex value) {
    return 0x0101010101010101ull * value;
}
inline std::uint64_t LoadWord(const PaletteIndex* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}
// The first i in [from, to] with line[i] != value, or to + 1.
inline int SkipEqual(const PaletteIndex* line, int from, int to, PaletteIndex value) {
    const std::uint64_t pattern = Broadcast(value);
    int i = from;
    while (i + 7 <= to && LoadWord(line + i) == pattern) {
        i += 8;
    }
    while (i <= to && line[i] == value) {
        ++i;
    }
    return i;
}
// The last i in [downTo, from] with line[i] != value, searching downwards, or downTo - 1.
inline int SkipEqualBackward(const PaletteIndex* line, int from, int downTo, PaletteIndex value) {
    const std::uint64_t pattern = Broadcast(value);
    int i = from;
    while (i - 7 >= downTo && LoadWord(line + i - 7) == pattern) {
        i -= 8;
    }
    while (i >= downTo && line[i] == value) {
        --i;
    }
    return i;
}
// The first i in [from, to] with line[i] == value, or to + 1.
inline int FindEqual(const PaletteIndex* line, int from, int to, PaletteIndex value) {
    if (from > to) {
        return to + 1;
    }
    const void* hit = std::memchr(line + from, value, std::size_t(to - from + 1));
    return hit == nullptr ? to + 1 : int(static_cast<const PaletteIndex*>(hit) - line);
}
}  // namespace canvas_detail

// The six transforms of a marked area (or of the whole surface).
enum class PixelTransform {
    MirrorVertically,    // "Vertikal spiegeln": top to bottom
    MirrorHorizontally,  // "Horizontal spiegeln": left to right
    ShiftDown,           // "Nach unten rotieren": the bottom line wraps to the top
    ShiftUp,             // "Nach oben rotieren"
    ShiftRight,          // "Nach rechts rotieren": the right column wraps to the left
    ShiftLeft,           // "Nach links rotieren"
};

// Lines and outlines: pixel by pixel, each shown at once.
template <PixelCanvas C>
void DrawPoints(C& canvas, const std::vector<PixelPoint>& points, PaletteIndex colour) {
    for (const PixelPoint& p : points) {
        if (canvas.Contains(p)) {
            canvas.SetDrawn(p, colour);
        }
    }
}

// A filled rectangle (its part on the surface), written in bulk.
template <PixelCanvas C>
void FillRectangle(C& canvas, const PixelRect& rect, PaletteIndex colour) {
    for (int y = rect.y0; y <= rect.y1; ++y) {
        for (int x = rect.x0; x <= rect.x1; ++x) {
            if (canvas.Contains({x, y})) {
                canvas.Set({x, y}, colour);
            }
        }
    }
}

// Mirrors or shifts the pixels of area, which must lie on the surface. The middle line of an odd
// height (or width) is exchanged with itself.
template <PixelCanvas C>
void TransformArea(C& canvas, const PixelRect& a, PixelTransform transform) {
    const auto exchange = [&canvas](PixelPoint p, PixelPoint q) {
        const PaletteIndex vp = canvas.Get(p);
        const PaletteIndex vq = canvas.Get(q);
        canvas.Set(p, vq);
        canvas.Set(q, vp);
    };
    switch (transform) {
        case PixelTransform::MirrorVertically:
            for (int i = 0; i <= (a.y1 - a.y0) / 2; ++i) {
                for (int x = a.x0; x <= a.x1; ++x) {
                    exchange({x, a.y0 + i}, {x, a.y1 - i});
                }
            }
            break;
        case PixelTransform::MirrorHorizontally:
            for (int i = 0; i <= (a.x1 - a.x0) / 2; ++i) {
                for (int y = a.y0; y <= a.y1; ++y) {
                    exchange({a.x0 + i, y}, {a.x1 - i, y});
                }
            }
            break;
        case PixelTransform::ShiftDown:
            for (int x = a.x0; x <= a.x1; ++x) {
                const PaletteIndex v = canvas.Get({x, a.y1});
                for (int y = a.y1; y > a.y0; --y) {
                    canvas.Set({x, y}, canvas.Get({x, y - 1}));
                }
                canvas.Set({x, a.y0}, v);
            }
            break;
        case PixelTransform::ShiftUp:
            for (int x = a.x0; x <= a.x1; ++x) {
                const PaletteIndex v = canvas.Get({x, a.y0});
                for (int y = a.y0; y < a.y1; ++y) {
                    canvas.Set({x, y}, canvas.Get({x, y + 1}));
                }
                canvas.Set({x, a.y1}, v);
            }
            break;
        case PixelTransform::ShiftRight:
            for (int y = a.y0; y <= a.y1; ++y) {
                const PaletteIndex v = canvas.Get({a.x1, y});
                for (int x = a.x1; x > a.x0; --x) {
                    canvas.Set({x, y}, canvas.Get({x - 1, y}));
                }
                canvas.Set({a.x0, y}, v);
            }
            break;
        case PixelTransform::ShiftLeft:
            for (int y = a.y0; y <= a.y1; ++y) {
                const PaletteIndex v = canvas.Get({a.x0, y});
                for (int x = a.x0; x < a.x1; ++x) {
                    canvas.Set({x, y}, canvas.Get({x + 1, y}));
                }
                canvas.Set({a.x1, y}, v);
            }
            break;
    }
}

// The flood fill from start with colour: start itself is shown at once (whether or not a fill
// may spread into it); then every pixel connected to it through fillable pixels of start's old
// colour, 4-connected or with diagonal 8-connected, is written in bulk. A start that already
// has the colour changes nothing. Spans of a line are filled at once and only the starts of
// the spans above and below go onto stack (x, then y), so the work does not depend on the call
// stack and the stack stays short. False when the stack could not grow (the fill is then
// incomplete); the stack is left empty.
template <PixelCanvas C>
bool FloodFillFrom(C& canvas, PixelPoint start, PaletteIndex colour, bool diagonal, CUBStack& stack) {
    using namespace canvas_detail;
    for (std::int32_t stale = 0; stack.Pop(stale);) {
    }
    if (!canvas.Contains(start)) {
        return true;
    }
    const PaletteIndex old = canvas.Get(start);
    if (old == colour) {
        return true;
    }
    const PixelRect bounds = canvas.Bounds();
    // Lines are indexed from the left edge of the bounds.
    const auto line = [&canvas, &bounds](int y) { return canvas.Line(y) - bounds.x0; };
    const auto qualifies = [&](int x, int y) {
        return bounds.Contains({x, y}) && line(y)[x] == old && canvas.Fillable({x, y});
    };
    bool complete = true;
    const auto push = [&stack, &complete](int x, int y) {
        if (!stack.Push(x)) {
            complete = false;
        } else if (!stack.Push(y)) {
            // Never leave half a point behind: the pairs would be read crosswise.
            std::int32_t dropped = 0;
            stack.Pop(dropped);
            complete = false;
        }
    };
    // One seed for every span of qualifying pixels of line y that meets x0..x1.
    const auto seedSpans = [&](int x0, int x1, int y) {
        if (y < bounds.y0 || y > bounds.y1) {
            return;
        }
        const PaletteIndex* pixels = line(y);
        for (int x = std::max(x0, bounds.x0), end = std::min(x1, bounds.x1); x <= end;) {
            const PixelRun run = canvas.FillableRun(x, y);
            const int last = std::min(run.last, end);
            if (canvas.Fillable({x, y})) {
                for (int i = FindEqual(pixels, x, last, old); i <= last;
                     i = FindEqual(pixels, i, last, old)) {
                    push(i, y);
                    i = SkipEqual(pixels, i, last, old);
                }
            }
            x = last + 1;
        }
    };

    canvas.SetDrawn(start, colour);
    // The start need not qualify itself: its neighbours are where the fill begins.
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const bool direct = dx == 0 || dy == 0;
            if ((dx != 0 || dy != 0) && (direct || diagonal) && qualifies(start.x + dx, start.y + dy)) {
                push(start.x + dx, start.y + dy);
            }
        }
    }

    const int reach = diagonal ? 1 : 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    while (stack.Pop(y) && stack.Pop(x)) {
        if (!qualifies(x, y)) {
            continue;  // filled meanwhile from another span
        }
        const PaletteIndex* pixels = line(y);
        const PixelRun run = canvas.FillableRun(x, y);
        const int left = SkipEqualBackward(pixels, x, run.first, old) + 1;
        const int right = SkipEqual(pixels, x, run.last, old) - 1;
        canvas.SetSpan(y, left, right, colour);
        seedSpans(left - reach, right + reach, y - 1);
        seedSpans(left - reach, right + reach, y + 1);
    }
    return complete;
}

}  // namespace zobl
