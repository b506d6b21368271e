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

// ---- SceneryCanvas -----------------------------------------------------------------------------

SceneryCanvas::SceneryCanvas(SceneryDocument& doc, int mouseMode) : doc_(doc), mouseMode_(mouseMode) {
    if (doc.IsInitialised()) {
        store_ = doc.PixelStoreForLoading().data();
    }
    for (int s = 0; s < kSymbolCount; ++s) {
        for (int r = 0; r < kRowCount; ++r) {
            present_[std::size_t(s * kRowCount + r)] = doc.IsRowPresent(s, r);
        }
    }
}

void SceneryCanvas::Prepare() {
    // The document's own write records the undo snapshot (the group's first change only).
    doc_.PrepareChange(mouseMode_);
    prepared_ = true;
}

bool SceneryCanvas::SetDrawn(PixelPoint p, PaletteIndex value) {
    if (!Contains(p)) {
        return false;
    }
    const DrawOutcome outcome = doc_.SetPixelDrawn(p.x / kCellWidth, p.y / kCellHeight, p.x % kCellWidth,
                                                   p.y % kCellHeight, value, mouseMode_);
    prepared_ = true;
    if (outcome != DrawOutcome::Changed) {
        return false;
    }
    Include(p);
    return true;
}

SceneryChange SceneryCanvas::Finish() {
    if (displayStale_) {
        doc_.RefreshBitmap();
        displayStale_ = false;
    }
    if (!changed_.HasPixels()) {
        return {};
    }
    return {SceneryChange::Kind::Area, changed_};
}

// ---- Single pixels ------------------------------------------------------------------------------

SceneryChange PaintPixel(SceneryDocument& doc, PixelPoint p, PaletteIndex colour, int mouseMode) {
    SceneryCanvas writer(doc, mouseMode);
    writer.SetDrawn(p, colour);
    return writer.Finish();
}

SceneryChange ReplaceColourAt(SceneryDocument& doc, PixelPoint p, PaletteIndex replaced, PaletteIndex colour,
                              int mouseMode) {
    SceneryCanvas writer(doc, mouseMode);
    if (writer.Contains(p) && writer.Get(p) == replaced) {
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
    SceneryCanvas canvas(doc, mouseMode);
    if ((flags & shape::kLine) != 0) {
        DrawPoints(canvas, LinePoints(p, c), colour);
    }
    if ((flags & shape::kOutline) != 0) {
        DrawPoints(canvas, RectangleOutlinePoints(p, c), colour);
    }
    if ((flags & shape::kFilled) != 0) {
        FillRectangle(canvas, PixelRect::Spanning(p, c), colour);
    }
    return canvas.Finish();
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

FloodFillResult FloodFill(SceneryDocument& doc, PixelPoint start, PaletteIndex colour, bool diagonal,
                          const EditContext& context, CUBStack* workStack) {
    FloodFillResult result;
    SceneryCanvas canvas(doc, context.mouseMode);
    if (!canvas.Contains(start) || canvas.Get(start) == colour) {
        return result;
    }
    CUBStack fallback;
    result.complete =
        FloodFillFrom(canvas, start, colour, diagonal, workStack != nullptr ? *workStack : fallback);
    result.change = canvas.Finish();
    result.pixelsChanged = canvas.ChangedCount();
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
