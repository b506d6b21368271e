#include "core/scenery/SceneryTransforms.h"

#include <algorithm>
#include <utility>

namespace zobl {

using namespace scenery;

MarkedArea MarkedArea::Cell(int symbol, int row) {
    const int x0 = symbol * kCellWidth;
    const int y0 = row * kCellHeight;
    return MarkedArea(PixelRect{x0, y0, x0 + kCellWidth - 1, y0 + kCellHeight - 1});
}

PixelRect MarkedArea::WorkingArea() const {
    if (IsEmpty()) {
        return WholeStoreRect();
    }
    return rect_.ClippedTo(WholeStoreRect());
}

SceneryChange ApplyTransform(SceneryDocument& doc, SceneryTransform transform, const MarkedArea& marked,
                             const EditContext& context) {
    const PixelRect area = marked.WorkingArea();
    if (!area.HasPixels() || !doc.IsInitialised()) {
        return {};
    }
    SceneryCanvas canvas(doc, context.mouseMode);
    TransformArea(canvas, area, transform);
    const SceneryChange change = canvas.Finish();
    if (context.singleUndo) {
        doc.CloseUndoGroup();
    }
    return change;
}

bool CanRemoveRow(const SceneryDocument& doc, int symbol, int row) {
    if (!IsValidAddress(symbol, row, 0, 0) || row == kBaseRow || !doc.IsRowPresent(symbol, row)) {
        return false;
    }
    if (row == 2) {
        return !doc.IsRowPresent(symbol, 0) && !doc.IsRowPresent(symbol, 1);
    }
    if (row == 1) {
        return !doc.IsRowPresent(symbol, 0);
    }
    return true;
}

SceneryChange RemoveRowCommand(SceneryDocument& doc, int symbol, int row, MouseMode mouseMode) {
    if (!CanRemoveRow(doc, symbol, row)) {
        return {};
    }
    doc.PrepareChange(mouseMode);
    doc.RemoveRow(symbol, row);
    return SceneryChange::Everything();
}

}  // namespace zobl
