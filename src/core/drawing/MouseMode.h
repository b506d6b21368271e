#pragma once

namespace zobl {

// The ten mouse modes; one is current for the whole application. The number doubles as the
// undo group of a document (pass static_cast<int>(mode)), where 10 means no mode.
enum class MouseMode : int {
    View = 0,
    Freehand = 1,
    Line = 2,
    Rectangle = 3,
    FilledRectangle = 4,
    Fill = 5,
    ReplaceColor = 6,
    Mark = 7,
    PickColor = 8,
    Zoom = 9,
};
inline constexpr int kMouseModeCount = 10;

// View after Zoom: every mode in turn, PickColor included.
constexpr MouseMode NextMouseMode(MouseMode mode) noexcept {
    const int next = static_cast<int>(mode) + 1;
    return (next >= kMouseModeCount || next < 1) ? MouseMode::View : static_cast<MouseMode>(next);
}

// The current mode and the one the pipette returns to.
class MouseModeState {
public:
    MouseMode Current() const noexcept { return current_; }
    MouseMode Previous() const noexcept { return previous_; }

    // Makes mode current and returns the mode current before. Entering PickColor from another
    // mode remembers that mode, so the views can return to it after picking a colour.
    MouseMode Set(MouseMode mode) noexcept {
        const MouseMode old = current_;
        if (mode == MouseMode::PickColor && current_ != MouseMode::PickColor) {
            previous_ = current_;
        }
        current_ = mode;
        return old;
    }

private:
    MouseMode current_ = MouseMode::View;
    MouseMode previous_ = MouseMode::View;
};

}  // namespace zobl
