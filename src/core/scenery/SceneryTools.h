#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/drawing/Canvas.h"
#include "core/drawing/MouseMode.h"
#include "core/drawing/Shapes.h"
#include "core/drawing/Tools.h"
#include "core/drawing/UBStack.h"
#include "core/palette/Palette.h"
#include "core/scenery/SceneryDocument.h"
#include "core/scenery/SceneryGeometry.h"

namespace zobl {

class CLanguageManager;

// What an edit changed, for the views: nothing, an area of absolute pixels (its display pixels
// are up to date: send hint 1 with that area), or everything (hint 1 without area).
struct SceneryChange {
    enum class Kind { Nothing, Area, Everything };
    Kind kind = Kind::Nothing;
    PixelRect area;  // inclusive; meaningful for Kind::Area

    bool IsNothing() const { return kind == Kind::Nothing; }
    void Include(PixelPoint p);
    void Merge(const SceneryChange& other);
    static SceneryChange Everything() { return {Kind::Everything, {}}; }
    friend bool operator==(const SceneryChange&, const SceneryChange&) = default;
};

// The scenery store as a drawing surface (see Canvas.h) for one edit: absolute pixels, and a
// fill spreads only into present rows. The first write records the undo snapshot of the mouse
// mode's group; later writes go straight into the store. It collects the area that changed;
// writes outside the store are ignored.
class SceneryCanvas {
public:
    SceneryCanvas(SceneryDocument& doc, MouseMode mouseMode);

    PixelRect Bounds() const {
        return store_ != nullptr ? PixelRect{0, 0, scenery::kStoreWidth - 1, scenery::kStoreHeight - 1}
                                 : PixelRect{};
    }
    bool Contains(PixelPoint p) const {
        return store_ != nullptr && unsigned(p.x) < unsigned(scenery::kStoreWidth) &&
               unsigned(p.y) < unsigned(scenery::kStoreHeight);
    }
    bool Fillable(PixelPoint p) const {
        return present_[std::size_t((unsigned(p.x) / scenery::kCellWidth) * scenery::kRowCount +
                                    unsigned(p.y) / scenery::kCellHeight)];
    }
    // Fillability changes only at cell borders: the present cells side by side, or the absent.
    PixelRun FillableRun(int x, int y) const {
        const bool fillable = Fillable({x, y});
        int first = x - x % scenery::kCellWidth;
        while (first > 0 && Fillable({first - 1, y}) == fillable) {
            first -= scenery::kCellWidth;
        }
        int last = x - x % scenery::kCellWidth + scenery::kCellWidth - 1;
        while (last < scenery::kStoreWidth - 1 && Fillable({last + 1, y}) == fillable) {
            last += scenery::kCellWidth;
        }
        return {first, last};
    }
    // Line y of the store, left to right.
    const PaletteIndex* Line(int y) const { return store_ + scenery::StoreOffset(0, y); }
    // Transparent outside the store.
    PaletteIndex Get(PixelPoint p) const {
        return Contains(p) ? store_[scenery::StoreOffset(p.x, p.y)] : TransparentIndex;
    }
    // Set pixel: no display update until Finish. True when the value changed.
    bool Set(PixelPoint p, PaletteIndex value) {
        if (!Contains(p)) {
            return false;
        }
        if (!prepared_) {
            Prepare();
        }
        std::uint8_t& stored = store_[scenery::StoreOffset(p.x, p.y)];
        if (stored == value) {
            return false;
        }
        stored = value;
        Include(p);
        displayStale_ = true;
        return true;
    }
    // Set pixel drawn: the display pixel follows at once. True when the value changed.
    bool SetDrawn(PixelPoint p, PaletteIndex value);
    // Pixels x0..x1 of line y, all in the store and all of another value: one write.
    void SetSpan(int y, int x0, int x1, PaletteIndex value) {
        if (!prepared_) {
            Prepare();
        }
        std::memset(store_ + scenery::StoreOffset(x0, y), value, std::size_t(x1 - x0 + 1));
        IncludeSpan(y, x0, x1);
        displayStale_ = true;
    }

    std::size_t ChangedCount() const { return changedCount_; }
    // Refreshes the display pixels when a plain Set changed anything; the area that changed.
    SceneryChange Finish();

private:
    void Prepare();
    // The changed area as plain bounds: a fill passes here for every pixel it writes.
    void Include(PixelPoint p) { IncludeSpan(p.y, p.x, p.x); }
    void IncludeSpan(int y, int x0, int x1) {
        changed_.x0 = std::min(changed_.x0, x0);
        changed_.y0 = std::min(changed_.y0, y);
        changed_.x1 = std::max(changed_.x1, x1);
        changed_.y1 = std::max(changed_.y1, y);
        changedCount_ += std::size_t(x1 - x0 + 1);
    }

    SceneryDocument& doc_;
    std::uint8_t* store_ = nullptr;
    MouseMode mouseMode_;
    bool prepared_ = false;
    std::array<bool, std::size_t(scenery::kSymbolCount* scenery::kRowCount)> present_{};
    PixelRect changed_{scenery::kStoreWidth, scenery::kStoreHeight, -1, -1};
    std::size_t changedCount_ = 0;
    bool displayStale_ = false;
};

// The scenery store as the surface of the mouse tools (see ToolSession.h): every edit is a
// fresh SceneryCanvas, and what it changed goes to notify.
class SceneryToolSurface {
public:
    using Canvas = SceneryCanvas;
    using Notify = std::function<void(const SceneryChange&)>;

    // workStack may be null: the fill then uses a stack of its own.
    SceneryToolSurface(SceneryDocument& doc, CUBStack* workStack, Notify notify)
        : doc_(doc), workStack_(workStack), notify_(std::move(notify)) {}

    SceneryCanvas Begin(MouseMode mouseMode) { return SceneryCanvas(doc_, mouseMode); }
    void Finish(SceneryCanvas& canvas) { notify_(canvas.Finish()); }
    PaletteIndex Get(PixelPoint p) const {
        const PixelAddress a = PixelAddress::FromAbsolute(p);
        return doc_.GetPixel(a.symbol, a.row, a.x, a.y);
    }
    void CloseUndoGroup() { doc_.CloseUndoGroup(); }
    CUBStack& WorkStack() { return workStack_ != nullptr ? *workStack_ : fallback_; }

private:
    SceneryDocument& doc_;
    CUBStack* workStack_;
    CUBStack fallback_;
    Notify notify_;
};

// ---- Single pixels ----------------------------------------------------------------------------

// Freehand: set pixel drawn. The change is the pixel when its value changed.
SceneryChange PaintPixel(SceneryDocument& doc, PixelPoint p, PaletteIndex colour, MouseMode mouseMode);

// Replace colour while dragging: paints the pixel only when it has the colour being replaced.
SceneryChange ReplaceColourAt(SceneryDocument& doc, PixelPoint p, PaletteIndex replaced, PaletteIndex colour,
                              MouseMode mouseMode);

// ---- The shape primitive and the shape tools --------------------------------------------------

// Draws what the flags select into the document, between the absolute pixels p and c:
// kLine and kOutline pixel by pixel with set pixel drawn, kFilled with set pixel and a refreshed
// display. The colour is the left one with kLeftColour, else the right one with kRightColour;
// without either, or with kPreview or kMarkFrame, the document is not touched. Both points must
// lie in the store (the view only draws between pixels it hit).
SceneryChange DrawShape(SceneryDocument& doc, PixelPoint p, PixelPoint c, int flags, DrawingColours colours,
                        MouseMode mouseMode);

// Releasing the button of a line or rectangle drag (mouse modes 2, 3, 4) on a pixel: the line,
// the outline or the filled rectangle in the button's colour, and with ctrl in mode 4 the filled
// rectangle framed in the other colour. Afterwards the undo group is closed under SINGLEUNDO,
// also when the release was beside the pixels (releasedOnPixel false: nothing is drawn).
SceneryChange FinishShapeTool(SceneryDocument& doc, const EditContext& context, MouseButton button, bool ctrl,
                              PixelPoint p, PixelPoint c, DrawingColours colours, bool releasedOnPixel);

// ---- Flood fill -------------------------------------------------------------------------------

struct FloodFillResult {
    SceneryChange change;
    std::size_t pixelsChanged = 0;
    bool complete = true;  // false only when the work stack could not grow
};

// The fill tool's press on pixel start with the button's colour: when the pixel has another
// colour, it is painted (set pixel drawn, whether its row is present or not) and the
// old-coloured region around it is filled: 4-connected, or 8-connected with diagonal
// (FILLDIAGONAL), never crossing into absent rows. The recursion is bounded; the points beyond
// the bound go onto workStack (X, then Y) and are filled from after the first pass (popping Y,
// then X). Without a work stack a temporary one is used. The display is refreshed afterwards
// and the undo group closed under SINGLEUNDO. A pixel that already has the colour changes
// nothing and records no snapshot.
FloodFillResult FloodFill(SceneryDocument& doc, PixelPoint start, PaletteIndex colour, bool diagonal,
                          const EditContext& context, CUBStack* workStack);

// ---- Row commands -----------------------------------------------------------------------------

// The double-click on a pixel of an absent row in mouse mode 0: when the rules allow the row,
// records an undo snapshot and adds it; 0 then (the views need hint 1 without area). Otherwise
// the message number of the broken rule for the error dialog, with no snapshot and the modified
// flag as it was. Nothing happens and kAddRowInvalid comes back for a present row or an invalid
// address.
int AddRowByDoubleClick(SceneryDocument& doc, int symbol, int row, MouseMode mouseMode);

// ---- Status texts -----------------------------------------------------------------------------

// "X:Y = (Symbol: s:r -> x:y) <colour name> <kind name> (v)" for the pixel under the pointer.
std::string PixelStatusText(const CLanguageManager& language, const SceneryDocument& doc,
                            PixelAddress address);

}  // namespace zobl
