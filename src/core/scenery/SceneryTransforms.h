#pragma once

#include "core/drawing/MouseMode.h"
#include "core/scenery/SceneryDocument.h"
#include "core/scenery/SceneryGeometry.h"
#include "core/scenery/SceneryTools.h"

namespace zobl {

// The marked area of a scenery view: absolute pixels with inclusive corners. A marking one
// pixel wide or high counts as no marking at all, for every command, the marching frame and
// the tools alike.
class MarkedArea {
public:
    MarkedArea() = default;  // nothing marked

    // The marking tool's result: the rectangle between press and current point, ordered.
    static MarkedArea Between(PixelPoint a, PixelPoint b) { return MarkedArea(PixelRect::Spanning(a, b)); }
    // "Alles markieren".
    static MarkedArea All() { return MarkedArea(WholeStoreRect()); }
    // One whole cell, as a symbol drag marks it.
    static MarkedArea Cell(int symbol, int row);

    void Clear() { rect_ = PixelRect{}; }
    // As marked, also when it counts as empty.
    const PixelRect& Rect() const { return rect_; }
    bool IsEmpty() const { return rect_.x1 <= rect_.x0 || rect_.y1 <= rect_.y0; }

    // A press here drags the marked pixels: inside, but not on its last column or line.
    bool StartsDrag(PixelPoint p) const {
        return !IsEmpty() && p.x >= rect_.x0 && p.x < rect_.x1 && p.y >= rect_.y0 && p.y < rect_.y1;
    }

    // What a transform works on: the marked area cut to the store, or the whole store when
    // nothing is marked. Without pixels when the marking lies entirely outside the store.
    PixelRect WorkingArea() const;

    friend bool operator==(const MarkedArea&, const MarkedArea&) = default;

private:
    explicit MarkedArea(const PixelRect& rect) : rect_(rect) {}
    PixelRect rect_;
};

// The transforms of the scenery view are those of every drawing surface.
using SceneryTransform = PixelTransform;

// Transforms the working area of the marking, present rows or not, with get pixel and set
// pixel (the first write records the undo snapshot of the current mouse mode), refreshes the
// display and closes the undo group under SINGLEUNDO. The change is the area whose pixels
// changed.
SceneryChange ApplyTransform(SceneryDocument& doc, SceneryTransform transform, const MarkedArea& marked,
                             const EditContext& context);

// "Teilsymbol löschen" is offered for a present row other than the base row whose removal keeps
// the rows above the base contiguous: row 2 only without rows 1 and 0, row 1 only without row 0.
bool CanRemoveRow(const SceneryDocument& doc, int symbol, int row);
// Checks again, records an undo snapshot and removes the row; its pixels stay in the store.
// Everything on success (hint 1 without area), nothing when refused.
SceneryChange RemoveRowCommand(SceneryDocument& doc, int symbol, int row, MouseMode mouseMode);

}  // namespace zobl
