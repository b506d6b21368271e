#include "core/scenery/SceneryTools.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <utility>

#include "core/undo/UBStack.h"

namespace zobl {

using namespace scenery;

namespace {

constexpr int kModeLine = 2;
constexpr int kModeRectangle = 3;
constexpr int kModeFilledRectangle = 4;
constexpr int kModeMark = 7;

// Beyond this, shapes are nonsense input; their point lists would only eat memory.
constexpr int kMaxShapeCoordinate = 65535;

bool IsSaneShapePoint(PixelPoint p) {
    return std::abs(p.x) <= kMaxShapeCoordinate && std::abs(p.y) <= kMaxShapeCoordinate;
}

bool IsInStore(PixelPoint p) {
    return p.x >= 0 && p.x < kStoreWidth && p.y >= 0 && p.y < kStoreHeight;
}

int ColourFlag(MouseButton button) {
    return button == MouseButton::Left ? shape::kLeftColour : shape::kRightColour;
}

}  // namespace

// ---- SceneryChange -----------------------------------------------------------------------------

void SceneryChange::Include(PixelPoint p) {
    switch (kind) {
        case Kind::Nothing:
            kind = Kind::Area;
            area = {p.x, p.y, p.x, p.y};
            break;
        case Kind::Area:
            area = {std::min(area.x0, p.x), std::min(area.y0, p.y), std::max(area.x1, p.x),
                    std::max(area.y1, p.y)};
            break;
        case Kind::Everything:
            break;
    }
}

void SceneryChange::Merge(const SceneryChange& other) {
    if (other.kind == Kind::Everything) {
        *this = Everything();
    } else if (other.kind == Kind::Area) {
        Include({other.area.x0, other.area.y0});
        Include({other.area.x1, other.area.y1});
    }
}

// ---- PixelWriter -------------------------------------------------------------------------------

PixelWriter::PixelWriter(SceneryDocument& doc, int mouseMode)
    : doc_(doc), store_(doc.PixelStore()), mouseMode_(mouseMode) {}

bool PixelWriter::Set(PixelPoint p, PaletteIndex value) {
    if (!InStore(p)) {
        return false;
    }
    const PaletteIndex old = store_[StoreOffset(p.x, p.y)];
    doc_.SetPixel(p.x / kCellWidth, p.y / kCellHeight, p.x % kCellWidth, p.y % kCellHeight, value,
                  mouseMode_);
    if (old == value) {
        return false;
    }
    change_.Include(p);
    ++changedCount_;
    displayStale_ = true;
    return true;
}

bool PixelWriter::SetDrawn(PixelPoint p, PaletteIndex value) {
    if (!InStore(p)) {
        return false;
    }
    const DrawOutcome outcome = doc_.SetPixelDrawn(p.x / kCellWidth, p.y / kCellHeight, p.x % kCellWidth,
                                                   p.y % kCellHeight, value, mouseMode_);
    if (outcome != DrawOutcome::Changed) {
        return false;
    }
    change_.Include(p);
    ++changedCount_;
    return true;
}

SceneryChange PixelWriter::Finish() {
    if (displayStale_) {
        doc_.RefreshBitmap();
        displayStale_ = false;
    }
    return change_;
}

// ---- Shapes as points ---------------------------------------------------------------------------

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

// ---- Single pixels ------------------------------------------------------------------------------

SceneryChange PaintPixel(SceneryDocument& doc, PixelPoint p, PaletteIndex colour, int mouseMode) {
    PixelWriter writer(doc, mouseMode);
    writer.SetDrawn(p, colour);
    return writer.Finish();
}

SceneryChange ReplaceColourAt(SceneryDocument& doc, PixelPoint p, PaletteIndex replaced, PaletteIndex colour,
                              int mouseMode) {
    PixelWriter writer(doc, mouseMode);
    if (writer.InStore(p) && writer.Get(p) == replaced) {
        writer.SetDrawn(p, colour);
    }
    return writer.Finish();
}

// ---- The shape primitive and the shape tools ----------------------------------------------------

SceneryChange DrawShape(SceneryDocument& doc, PixelPoint p, PixelPoint c, int flags, DrawingColours colours,
                        int mouseMode) {
    if ((flags & (shape::kPreview | shape::kMarkFrame)) != 0 || !IsInStore(p) || !IsInStore(c)) {
        return {};
    }
    PaletteIndex colour = 0;
    if ((flags & shape::kLeftColour) != 0) {
        colour = colours.left;
    } else if ((flags & shape::kRightColour) != 0) {
        colour = colours.right;
    } else {
        return {};
    }
    PixelWriter writer(doc, mouseMode);
    if ((flags & shape::kLine) != 0) {
        for (const PixelPoint& point : LinePoints(p, c)) {
            writer.SetDrawn(point, colour);
        }
    }
    if ((flags & shape::kOutline) != 0) {
        for (const PixelPoint& point : RectangleOutlinePoints(p, c)) {
            writer.SetDrawn(point, colour);
        }
    }
    if ((flags & shape::kFilled) != 0) {
        const PixelRect r = PixelRect::Spanning(p, c);
        for (int y = r.y0; y <= r.y1; ++y) {
            for (int x = r.x0; x <= r.x1; ++x) {
                writer.Set({x, y}, colour);
            }
        }
    }
    return writer.Finish();
}

int ShapePreviewFlags(int mouseMode) noexcept {
    switch (mouseMode) {
        case kModeLine:
            return shape::kLine | shape::kPreview;
        case kModeRectangle:
            return shape::kOutline | shape::kPreview;
        case kModeFilledRectangle:
            return shape::kFilled | shape::kPreview;
        case kModeMark:
            return shape::kMarkFrame;
        default:
            return 0;
    }
}

SceneryChange FinishShapeTool(SceneryDocument& doc, const EditContext& context, MouseButton button, bool ctrl,
                              PixelPoint p, PixelPoint c, DrawingColours colours, bool releasedOnPixel) {
    int shapeFlag = 0;
    switch (context.mouseMode) {
        case kModeLine:
            shapeFlag = shape::kLine;
            break;
        case kModeRectangle:
            shapeFlag = shape::kOutline;
            break;
        case kModeFilledRectangle:
            shapeFlag = shape::kFilled;
            break;
        default:
            return {};
    }
    SceneryChange change;
    if (releasedOnPixel) {
        change = DrawShape(doc, p, c, shapeFlag | ColourFlag(button), colours, context.mouseMode);
        if (ctrl && context.mouseMode == kModeFilledRectangle) {
            const MouseButton other = button == MouseButton::Left ? MouseButton::Right : MouseButton::Left;
            change.Merge(
                DrawShape(doc, p, c, shape::kOutline | ColourFlag(other), colours, context.mouseMode));
        }
    }
    if (context.singleUndo) {
        doc.CloseUndoGroup();
    }
    return change;
}

// ---- Flood fill ---------------------------------------------------------------------------------

namespace {

// Depth-first fill with a bounded recursion: deep enough to keep most points off the work
// stack, shallow enough for any thread's call stack (sanitizer builds included).
constexpr int kFillRecursionLimit = 256;

struct NeighbourOffset {
    int dx;
    int dy;
};
// Left column first, top to bottom, then the middle and the right column.
template <bool kDiagonal>
inline constexpr std::array<NeighbourOffset, 4> kNeighbours = {{{-1, 0}, {0, -1}, {0, 1}, {1, 0}}};
template <>
inline constexpr std::array<NeighbourOffset, 8> kNeighbours<true> = {
    {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 0}, {1, 1}}};

class FloodFiller {
public:
    FloodFiller(PixelWriter& writer, const SceneryDocument& doc, PaletteIndex old, PaletteIndex colour,
                bool diagonal, CUBStack& stack)
        : writer_(writer),
          store_(doc.PixelStore().data()),
          old_(old),
          colour_(colour),
          diagonal_(diagonal),
          stack_(stack) {
        for (int s = 0; s < kSymbolCount; ++s) {
            for (int r = 0; r < kRowCount; ++r) {
                present_[std::size_t(s * kRowCount + r)] = doc.IsRowPresent(s, r);
            }
        }
    }

    // Fills from the start, then from every deferred point; filling may defer more.
    void Run(PixelPoint start) {
        if (diagonal_) {
            RunWith<true>(start);
        } else {
            RunWith<false>(start);
        }
    }

    bool Complete() const { return complete_; }

private:
    template <bool kDiagonal>
    void RunWith(PixelPoint start) {
        FillFrom<kDiagonal>(start.x, start.y, 0);
        std::int32_t y = 0;
        std::int32_t x = 0;
        while (stack_.Pop(y) && stack_.Pop(x)) {
            if (IsInStore({x, y})) {
                FillFrom<kDiagonal>(x, y, 0);
            }
        }
    }

    template <bool kDiagonal>
    void FillFrom(int x, int y, int depth) {
        for (const NeighbourOffset& n : kNeighbours<kDiagonal>) {
            const int nx = x + n.dx;
            const int ny = y + n.dy;
            if (!Qualifies(nx, ny)) {
                continue;
            }
            writer_.Set({nx, ny}, colour_);
            if (depth < kFillRecursionLimit) {
                FillFrom<kDiagonal>(nx, ny, depth + 1);
            } else {
                Defer(nx, ny);
            }
        }
    }

    // The colour first: in a large fill most neighbours are already done.
    bool Qualifies(int x, int y) const {
        return unsigned(x) < unsigned(kStoreWidth) && unsigned(y) < unsigned(kStoreHeight) &&
               store_[StoreOffset(x, y)] == old_ &&
               present_[std::size_t((unsigned(x) / kCellWidth) * kRowCount + unsigned(y) / kCellHeight)];
    }

    void Defer(int x, int y) {
        if (!stack_.Push(x)) {
            complete_ = false;
            return;
        }
        if (!stack_.Push(y)) {
            // Never leave half a point behind: the pairs would be read crosswise.
            std::int32_t dropped = 0;
            stack_.Pop(dropped);
            complete_ = false;
        }
    }

    PixelWriter& writer_;
    const std::uint8_t* store_;  // read directly: writes go through the writer
    PaletteIndex old_;
    PaletteIndex colour_;
    bool diagonal_;
    CUBStack& stack_;
    std::array<bool, std::size_t(kSymbolCount* kRowCount)> present_{};
    bool complete_ = true;
};

}  // namespace

FloodFillResult FloodFill(SceneryDocument& doc, PixelPoint start, PaletteIndex colour, bool diagonal,
                          const EditContext& context, CUBStack* workStack) {
    FloodFillResult result;
    PixelWriter writer(doc, context.mouseMode);
    if (!writer.InStore(start)) {
        return result;
    }
    const PaletteIndex old = writer.Get(start);
    if (old == colour) {
        return result;
    }
    CUBStack fallback;
    CUBStack& stack = workStack != nullptr ? *workStack : fallback;
    // The stack is only ever used here and always drained; anything left would be stale.
    for (std::int32_t stale = 0; stack.Pop(stale);) {
    }

    writer.SetDrawn(start, colour);
    FloodFiller filler(writer, doc, old, colour, diagonal, stack);
    filler.Run(start);

    result.change = writer.Finish();
    result.pixelsChanged = writer.ChangedCount();
    result.complete = filler.Complete();
    if (context.singleUndo) {
        doc.CloseUndoGroup();
    }
    return result;
}

// ---- Row commands -------------------------------------------------------------------------------

int AddRowByDoubleClick(SceneryDocument& doc, int symbol, int row, int mouseMode) {
    if (!IsValidAddress(symbol, row, 0, 0) || doc.IsRowPresent(symbol, row)) {
        return kAddRowInvalid;
    }
    // The snapshot comes before the rule check, as the double-click has always done: a refused
    // row still leaves an (unchanged) undo step behind.
    doc.PrepareChange(mouseMode);
    return doc.AddRow(symbol, row, kAddRowCheckRules);
}

// ---- Status texts -------------------------------------------------------------------------------

std::string PixelStatusText(const CLanguageManager& language, const SceneryDocument& doc, PixelAddress a) {
    const PixelPoint p = a.Absolute();
    char prefix[96];
    std::snprintf(prefix, sizeof prefix, "%d:%d = (Symbol: %d:%d -> %d:%d) ", p.x, p.y, a.symbol, a.row, a.x,
                  a.y);
    return prefix + DescribeColour(language, doc.GetPixel(a.symbol, a.row, a.x, a.y));
}

std::string MarkExtentText(PixelPoint p, PixelPoint c) {
    char text[32];
    const long long width = std::llabs(static_cast<long long>(c.x) - p.x) + 1;
    const long long height = std::llabs(static_cast<long long>(c.y) - p.y) + 1;
    std::snprintf(text, sizeof text, "%lldx%lld", width, height);
    return text;
}

}  // namespace zobl
