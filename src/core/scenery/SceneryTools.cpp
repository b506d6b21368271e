#include "core/scenery/SceneryTools.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "core/drawing/UBStack.h"

namespace zobl {

using namespace scenery;

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

SceneryCanvas::SceneryCanvas(SceneryDocument& doc, MouseMode mouseMode) : doc_(doc), mouseMode_(mouseMode) {
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

SceneryChange PaintPixel(SceneryDocument& doc, PixelPoint p, PaletteIndex colour, MouseMode mouseMode) {
    SceneryCanvas writer(doc, mouseMode);
    writer.SetDrawn(p, colour);
    return writer.Finish();
}

SceneryChange ReplaceColourAt(SceneryDocument& doc, PixelPoint p, PaletteIndex replaced, PaletteIndex colour,
                              MouseMode mouseMode) {
    SceneryCanvas canvas(doc, mouseMode);
    ReplaceAt(canvas, p, replaced, colour);
    return canvas.Finish();
}

// ---- The shape primitive and the shape tools ----------------------------------------------------

SceneryChange DrawShape(SceneryDocument& doc, PixelPoint p, PixelPoint c, int flags, DrawingColours colours,
                        MouseMode mouseMode) {
    SceneryCanvas canvas(doc, mouseMode);
    DrawShapeOn(canvas, p, c, flags, colours);
    return canvas.Finish();
}

SceneryChange FinishShapeTool(SceneryDocument& doc, const EditContext& context, MouseButton button, bool ctrl,
                              PixelPoint p, PixelPoint c, DrawingColours colours, bool releasedOnPixel) {
    if (ShapeOfMode(context.mouseMode) == 0) {
        return {};
    }
    SceneryCanvas canvas(doc, context.mouseMode);
    if (releasedOnPixel) {
        FinishShapeOn(canvas, context.mouseMode, button, ctrl, p, c, colours);
    }
    if (context.singleUndo) {
        doc.CloseUndoGroup();
    }
    return canvas.Finish();
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

int AddRowByDoubleClick(SceneryDocument& doc, int symbol, int row, MouseMode mouseMode) {
    if (!IsValidAddress(symbol, row, 0, 0) || doc.IsRowPresent(symbol, row)) {
        return kAddRowInvalid;
    }
    // A refused row changes nothing: no undo step, and the document stays as modified as it was.
    if (const int broken = doc.CheckAddRow(symbol, row); broken != 0) {
        return broken;
    }
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

}  // namespace zobl
