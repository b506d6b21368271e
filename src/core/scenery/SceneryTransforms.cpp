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
        return PixelRect::WholeStore();
    }
    const PixelRect whole = PixelRect::WholeStore();
    return {std::max(rect_.x0, whole.x0), std::max(rect_.y0, whole.y0), std::min(rect_.x1, whole.x1),
            std::min(rect_.y1, whole.y1)};
}

namespace {

void Exchange(PixelWriter& w, PixelPoint a, PixelPoint b) {
    const PaletteIndex va = w.Get(a);
    const PaletteIndex vb = w.Get(b);
    w.Set(a, vb);
    w.Set(b, va);
}

}  // namespace

SceneryChange ApplyTransform(SceneryDocument& doc, SceneryTransform transform, const MarkedArea& marked,
                             const EditContext& context) {
    const PixelRect a = marked.WorkingArea();
    if (!a.HasPixels() || !doc.IsInitialised()) {
        return {};
    }
    PixelWriter w(doc, context.mouseMode);
    switch (transform) {
        case SceneryTransform::MirrorVertically:
            // The middle line of an odd height is exchanged with itself.
            for (int i = 0; i <= (a.y1 - a.y0) / 2; ++i) {
                for (int x = a.x0; x <= a.x1; ++x) {
                    Exchange(w, {x, a.y0 + i}, {x, a.y1 - i});
                }
            }
            break;
        case SceneryTransform::MirrorHorizontally:
            for (int i = 0; i <= (a.x1 - a.x0) / 2; ++i) {
                for (int y = a.y0; y <= a.y1; ++y) {
                    Exchange(w, {a.x0 + i, y}, {a.x1 - i, y});
                }
            }
            break;
        case SceneryTransform::ShiftDown:
            for (int x = a.x0; x <= a.x1; ++x) {
                const PaletteIndex v = w.Get({x, a.y1});
                for (int y = a.y1; y > a.y0; --y) {
                    w.Set({x, y}, w.Get({x, y - 1}));
                }
                w.Set({x, a.y0}, v);
            }
            break;
        case SceneryTransform::ShiftUp:
            for (int x = a.x0; x <= a.x1; ++x) {
                const PaletteIndex v = w.Get({x, a.y0});
                for (int y = a.y0; y < a.y1; ++y) {
                    w.Set({x, y}, w.Get({x, y + 1}));
                }
                w.Set({x, a.y1}, v);
            }
            break;
        case SceneryTransform::ShiftRight:
            for (int y = a.y0; y <= a.y1; ++y) {
                const PaletteIndex v = w.Get({a.x1, y});
                for (int x = a.x1; x > a.x0; --x) {
                    w.Set({x, y}, w.Get({x - 1, y}));
                }
                w.Set({a.x0, y}, v);
            }
            break;
        case SceneryTransform::ShiftLeft:
            for (int y = a.y0; y <= a.y1; ++y) {
                const PaletteIndex v = w.Get({a.x0, y});
                for (int x = a.x0; x < a.x1; ++x) {
                    w.Set({x, y}, w.Get({x + 1, y}));
                }
                w.Set({a.x1, y}, v);
            }
            break;
    }
    const SceneryChange change = w.Finish();
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

SceneryChange RemoveRowCommand(SceneryDocument& doc, int symbol, int row, int mouseMode) {
    if (!CanRemoveRow(doc, symbol, row)) {
        return {};
    }
    doc.PrepareChange(mouseMode);
    doc.RemoveRow(symbol, row);
    return SceneryChange::Everything();
}

}  // namespace zobl
