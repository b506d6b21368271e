#pragma once

#include <concepts>
#include <optional>

#include "core/drawing/MouseMode.h"
#include "core/drawing/Tools.h"
#include "core/drawing/UBStack.h"

namespace zobl {

// What a mouse tool asks of the window it runs in: colours, mode, zoom, the marked area, the
// inverted previews and the context menu. Qt-free, so the tools are the same in every editor
// window and testable without one.
class ToolHost {
public:
    virtual ~ToolHost() = default;
    virtual DrawingColours Colours() const = 0;
    // The button's drawing colour becomes colour (the application also ends the undo step when
    // UNDOBYCOLORCHANGE says so).
    virtual void SetColour(MouseButton button, PaletteIndex colour) = 0;
    // The pipette's way back to the mode it was picked from.
    virtual void ReturnToPreviousMode() = 0;
    virtual void Beep() = 0;
    // The zoom tool: one step in (+1) or out (-1), keeping the pressed pixel in place.
    virtual void Zoom(int step) = 0;
    virtual void ClearMark() = 0;
    // A press at p drags the marked pixels rather than starting a new marking.
    virtual bool StartsMarkDrag(PixelPoint p) const = 0;
    // Drags the marked pixels to wherever they are dropped (mode 7, a press inside the mark).
    virtual void DragMarkedArea() {}
    // Mode 0: a left press on pixel p may drag a whole symbol; true when it did.
    virtual bool DragSymbolAt(PixelPoint /*p*/) { return false; }
    virtual void SetMark(PixelPoint a, PixelPoint b) = 0;
    // The inverted preview between p and c (shape flags); a new one replaces the old.
    virtual void ShowPreview(int flags, PixelPoint p, PixelPoint c) = 0;
    virtual void ErasePreview() = 0;
    // The window may take a preview away itself (scrolling, repainting).
    virtual bool PreviewShown() const = 0;
    virtual void ShowContextMenu(std::optional<PixelPoint> at) = 0;
    virtual bool FillDiagonal() const = 0;
    virtual bool SingleUndo() const = 0;
};

// Where the editors' tools differ: parameters, not copies.
struct ToolRules {
    // The car editor clears the marking on a drawing press of either button; the scenery view
    // only on the left one.
    bool rightPressClearsMark = false;
    // The car editor's right release in mark mode shows the context menu, as in view mode.
    bool markRightReleaseShowsMenu = false;
};

// A surface the tools edit for a window (the scenery store, a car view). S provides:
//   using Canvas = ...;                  a PixelCanvas for one edit
//   Canvas Begin(MouseMode mouseMode);   a fresh canvas whose writes join that undo group
//   void Finish(Canvas& canvas);         brings the display and the views up to date
//   PaletteIndex Get(PixelPoint) const;  a pixel's value (inside only)
//   void CloseUndoGroup();
//   CUBStack& WorkStack();               the fill's work stack
template <typename S>
concept ToolSurface = requires(S surface, const S& view, PixelPoint p, MouseMode mode) {
    typename S::Canvas;
    { surface.Begin(mode) } -> std::same_as<typename S::Canvas>;
    { view.Get(p) } -> std::convertible_to<PaletteIndex>;
    {surface.CloseUndoGroup()};
    { surface.WorkStack() } -> std::same_as<CUBStack&>;
}
&&PixelCanvas<typename S::Canvas>;

// One drag of one button in the mouse mode it started in (a mode change in between, by the
// pipette or a key, must not turn it into another tool's drag). The window hit-tests and
// forwards press, moves and release in pixel coordinates: nullopt is beside the pixels.
template <ToolSurface S>
class ToolSession {
public:
    explicit ToolSession(ToolHost& host, ToolRules rules = {}) : host_(host), rules_(rules) {}

    bool Active() const { return active_; }
    MouseButton Button() const { return button_; }
    MouseMode Mode() const { return mode_; }
    bool PressedOnPixel() const { return pressedOnPixel_; }
    PixelPoint PressPoint() const { return press_; }
    PixelPoint CurrentPoint() const { return current_; }
    // A marking is being drawn (its extent is what the status line shows).
    bool Marking() const {
        return active_ && mode_ == MouseMode::Mark && button_ == MouseButton::Left && pressedOnPixel_;
    }

    void Press(S& surface, MouseMode mode, MouseButton button, std::optional<PixelPoint> hit) {
        const bool left = button == MouseButton::Left;
        const bool clearsMark = left || rules_.rightPressClearsMark;
        if (hit) {
            press_ = current_ = *hit;
        }
        active_ = true;
        button_ = button;
        mode_ = mode;
        pressedOnPixel_ = hit.has_value();
        strokeInside_ = pressedOnPixel_;
        constrain_ = false;
        if (hit && ConstraintOf(mode)) {
            // What a constrained shape may reach; the canvas only tells, nothing is written.
            bounds_ = surface.Begin(mode).Bounds();
        }
        switch (mode) {
            case MouseMode::View:
                if (left && hit && host_.DragSymbolAt(*hit)) {
                    EndWithoutDrag(surface);
                    return;
                }
                break;
            case MouseMode::Freehand:
                if (clearsMark) {
                    host_.ClearMark();
                }
                if (hit) {
                    Paint(surface, *hit, *hit, host_.Colours().Of(button));
                }
                break;
            case MouseMode::Line:
            case MouseMode::Rectangle:
            case MouseMode::FilledRectangle:
                if (hit) {
                    if (clearsMark) {
                        host_.ClearMark();
                    }
                    host_.ShowPreview(ShapePreviewFlags(mode_), press_, current_);
                }
                break;
            case MouseMode::Fill:
                if (hit && surface.Get(*hit) != host_.Colours().Of(button)) {
                    auto canvas = surface.Begin(mode_);
                    FloodFillFrom(canvas, *hit, host_.Colours().Of(button), host_.FillDiagonal(),
                                  surface.WorkStack());
                    surface.Finish(canvas);
                    if (host_.SingleUndo()) {
                        surface.CloseUndoGroup();
                    }
                }
                break;
            case MouseMode::ReplaceColor:
                if (hit) {
                    // The pressed colour becomes the one the drag replaces.
                    host_.SetColour(OtherButton(button), surface.Get(*hit));
                }
                host_.ClearMark();
                if (hit) {
                    Paint(surface, *hit, *hit, host_.Colours().Of(button));
                }
                break;
            case MouseMode::Mark:
                if (!left) {
                    break;
                }
                if (hit && host_.StartsMarkDrag(*hit)) {
                    // A press inside the marking drags its pixels.
                    host_.DragMarkedArea();
                    EndWithoutDrag(surface);
                    return;
                }
                host_.ClearMark();
                if (hit) {
                    host_.ShowPreview(ShapePreviewFlags(mode_), press_, current_);
                }
                break;
            case MouseMode::PickColor:
                if (hit) {
                    host_.SetColour(button, surface.Get(*hit));
                } else {
                    host_.Beep();
                }
                host_.ReturnToPreviousMode();
                break;
            case MouseMode::Zoom:
                host_.Zoom(left ? 1 : -1);
                break;
        }
    }

    // constrain: Shift is held, which keeps a line or rectangle in form (ConstrainedEnd).
    void Move(S& surface, std::optional<PixelPoint> hit, bool constrain = false) {
        if (!active_) {
            return;
        }
        const bool constrainChanged = constrain != constrain_;
        constrain_ = constrain;
        const DrawingColours colours = host_.Colours();
        switch (mode_) {
            case MouseMode::Freehand:
                if (hit) {
                    // Fast strokes leave no gaps: each move draws on from the last pixel, as long
                    // as the pointer stayed on the pixels in between.
                    Paint(surface, strokeInside_ ? current_ : *hit, *hit, colours.Of(button_));
                    current_ = *hit;
                    pressedOnPixel_ = true;
                }
                strokeInside_ = hit.has_value();
                break;
            case MouseMode::Mark:
                if (button_ != MouseButton::Left) {
                    break;
                }
                [[fallthrough]];
            case MouseMode::Line:
            case MouseMode::Rectangle:
            case MouseMode::FilledRectangle:
                // Without a pressed pixel there is nothing to draw from.
                if (!pressedOnPixel_ ||
                    (hit && host_.PreviewShown() && *hit == current_ && !constrainChanged)) {
                    break;  // the same picture again
                }
                host_.ErasePreview();
                if (hit) {
                    current_ = *hit;
                    host_.ShowPreview(ShapePreviewFlags(mode_), press_, ShapeEnd());
                }
                break;
            case MouseMode::ReplaceColor:
                if (hit) {
                    auto canvas = surface.Begin(mode_);
                    const PixelPoint from = strokeInside_ ? current_ : *hit;
                    for (const PixelPoint& p : LinePoints(from, *hit)) {
                        ReplaceAt(canvas, p, colours.Other(button_), colours.Of(button_));
                    }
                    surface.Finish(canvas);
                    current_ = *hit;
                    pressedOnPixel_ = true;
                }
                strokeInside_ = hit.has_value();
                break;
            default:
                break;
        }
    }

    // ctrl frames a filled rectangle; constrain as for Move.
    void Release(S& surface, MouseButton button, std::optional<PixelPoint> hit, bool ctrl,
                 bool constrain = false) {
        if (!active_ || button != button_) {
            return;
        }
        active_ = false;
        constrain_ = constrain;
        switch (mode_) {
            case MouseMode::View:
                if (button == MouseButton::Right) {
                    host_.ShowContextMenu(hit);
                }
                break;
            case MouseMode::Freehand:
            case MouseMode::ReplaceColor:
                if (host_.SingleUndo()) {
                    surface.CloseUndoGroup();
                }
                break;
            case MouseMode::Line:
            case MouseMode::Rectangle:
            case MouseMode::FilledRectangle: {
                host_.ErasePreview();
                // The shape ends where the last move on a pixel left it, not at the release point.
                if (hit && pressedOnPixel_) {
                    auto canvas = surface.Begin(mode_);
                    FinishShapeOn(canvas, mode_, button, ctrl, press_, ShapeEnd(), host_.Colours());
                    surface.Finish(canvas);
                }
                if (host_.SingleUndo()) {
                    surface.CloseUndoGroup();
                }
                break;
            }
            case MouseMode::Mark:
                if (button == MouseButton::Left) {
                    host_.ErasePreview();
                    if (hit && pressedOnPixel_) {
                        host_.SetMark(press_, current_);
                    }
                } else if (rules_.markRightReleaseShowsMenu) {
                    host_.ShowContextMenu(hit);
                }
                break;
            default:
                break;
        }
    }

    // The window lost the mouse: no release will come.
    void Cancel() {
        if (active_) {
            host_.ErasePreview();
        }
        active_ = false;
    }

private:
    // A press that did its work at once (a drag to another window) leaves no drag of the tool.
    void EndWithoutDrag(S& surface) {
        active_ = false;
        if (host_.SingleUndo()) {
            surface.CloseUndoGroup();
        }
    }

    static std::optional<ShapeConstraint> ConstraintOf(MouseMode mode) {
        switch (mode) {
            case MouseMode::Line:
                return ShapeConstraint::EightDirections;
            case MouseMode::Rectangle:
            case MouseMode::FilledRectangle:
                return ShapeConstraint::Square;
            default:
                return std::nullopt;
        }
    }
    // Where the line or rectangle being drawn ends: the last pixel reached, or with Shift held
    // the point that keeps it in form.
    PixelPoint ShapeEnd() const {
        const std::optional<ShapeConstraint> constraint = ConstraintOf(mode_);
        return constrain_ && constraint ? ConstrainedEnd(*constraint, press_, current_, bounds_) : current_;
    }

    // One pixel, or the line of pixels from `from` to `to`, in colour, shown at once.
    void Paint(S& surface, PixelPoint from, PixelPoint to, PaletteIndex colour) {
        auto canvas = surface.Begin(mode_);
        if (from == to) {
            if (canvas.Contains(to)) {
                canvas.SetDrawn(to, colour);
            }
        } else {
            DrawPoints(canvas, LinePoints(from, to), colour);
        }
        surface.Finish(canvas);
    }

    ToolHost& host_;
    ToolRules rules_;
    bool active_ = false;
    MouseButton button_ = MouseButton::Left;
    MouseMode mode_ = MouseMode::View;
    bool pressedOnPixel_ = false;
    // Freehand and replace colour: the last position was on the pixels, so the next one joins
    // it. Leaving the pixels ends the segment; coming back starts a new one in the same step.
    bool strokeInside_ = false;
    PixelPoint press_;
    PixelPoint current_;
    bool constrain_ = false;  // Shift held at the last move or the release
    PixelRect bounds_;        // the surface's pixels, for a constrained shape
};

}  // namespace zobl
