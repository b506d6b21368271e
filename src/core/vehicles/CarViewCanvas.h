#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/drawing/Canvas.h"
#include "core/drawing/MouseMode.h"
#include "core/drawing/ToolSession.h"
#include "core/vehicles/VehicleDocument.h"

namespace zobl {

// One view of one car as a drawing surface for the tools (see Canvas.h), in the view's own
// pixels (y = 0 the top row); a fill may spread over the whole view. The first write records
// the undo snapshot of the mouse mode's group. Finish makes the car's pictures follow and
// tells the views to redraw, once per edit.
class CarViewCanvas {
public:
    CarViewCanvas(VehicleDocument& doc, int set, int car, int view, MouseMode mouseMode);

    PixelRect Bounds() const { return {0, 0, width_ - 1, height_ - 1}; }
    bool Contains(PixelPoint p) const {
        return unsigned(p.x) < unsigned(width_) && unsigned(p.y) < unsigned(height_);
    }
    bool Fillable(PixelPoint p) const { return Contains(p); }
    PixelRun FillableRun(int /*x*/, int /*y*/) const { return {0, width_ - 1}; }
    PaletteIndex Get(PixelPoint p) const { return Contains(p) ? plane_[Offset(p.x, p.y)] : TransparentIndex; }
    const PaletteIndex* Line(int y) const { return plane_.data() + Offset(0, y); }

    bool Set(PixelPoint p, PaletteIndex value);
    void SetSpan(int y, int x0, int x1, PaletteIndex value);
    // The same as Set: the pictures follow when the edit finishes.
    bool SetDrawn(PixelPoint p, PaletteIndex value) { return Set(p, value); }

    std::size_t ChangedCount() const { return changedCount_; }
    // True when any pixel changed (the views were told).
    bool Finish();

private:
    std::size_t Offset(int x, int y) const {
        return std::size_t(height_ - 1 - y) * std::size_t(width_) + std::size_t(x);
    }
    bool Prepare(PaletteIndex value);

    VehicleDocument& doc_;
    int set_;
    int car_;
    std::span<std::uint8_t> plane_;
    int width_ = 0;
    int height_ = 0;
    MouseMode mouseMode_;
    std::size_t changedCount_ = 0;
    bool prepared_ = false;
};

// A car view as the surface of the mouse tools (see ToolSession.h): every edit is a fresh
// CarViewCanvas; finishing one redraws the views.
class CarToolSurface {
public:
    using Canvas = CarViewCanvas;

    // workStack may be null: the fill then uses a stack of its own.
    CarToolSurface(VehicleDocument& doc, int set, int car, int view, CUBStack* workStack)
        : doc_(doc), set_(set), car_(car), view_(view), workStack_(workStack) {}

    CarViewCanvas Begin(MouseMode mouseMode) { return CarViewCanvas(doc_, set_, car_, view_, mouseMode); }
    void Finish(CarViewCanvas& canvas) { canvas.Finish(); }
    PaletteIndex Get(PixelPoint p) const { return doc_.GetPixel(set_, car_, view_, p.x, p.y); }
    void CloseUndoGroup() { doc_.CloseUndoGroup(); }
    CUBStack& WorkStack() { return workStack_ != nullptr ? *workStack_ : fallback_; }

private:
    VehicleDocument& doc_;
    int set_;
    int car_;
    int view_;
    CUBStack* workStack_;
    CUBStack fallback_;
};

}  // namespace zobl
