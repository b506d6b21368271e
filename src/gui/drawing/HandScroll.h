#pragma once

#include <functional>
#include <optional>

#include <QPoint>
#include <Qt>

class QKeyEvent;
class QMouseEvent;

namespace zobl {

// Moving a pixel view by hand: dragging with the middle button, or with the left one while Space
// is held, in every mouse mode. The view offers its presses, moves, releases and Space keys here
// first; what is taken reaches no tool, so nothing is drawn or marked. The picture follows the
// pointer: a drag from (300, 100) to (230, 75) scrolls by (70, 25).
class HandScroll {
public:
    // scrollBy moves the view; changed is told when the hand cursor may have come or gone.
    HandScroll(std::function<void(QPoint)> scrollBy, std::function<void()> changed)
        : scrollBy_(std::move(scrollBy)), changed_(std::move(changed)) {}

    bool Dragging() const noexcept { return button_ != Qt::NoButton; }
    // Closed while dragging, open while Space is held, none otherwise.
    std::optional<Qt::CursorShape> Cursor() const;

    // A press or double-click: true when it starts a drag (not while a tool drags: toolBusy),
    // or comes during one.
    bool Press(const QMouseEvent& event, bool toolBusy);
    // True while dragging: the view has moved.
    bool Move(QPoint windowPoint);
    // True while dragging; the drag's own button ends it.
    bool Release(Qt::MouseButton button);
    // Space without modifiers, pressed or released (auto-repeat included): true when taken.
    bool SpaceKey(const QKeyEvent& event);
    void HoldSpace(bool held);
    // A text field has the focus: Space there is typing, never a hand.
    static bool FocusTakesText();

private:
    std::function<void(QPoint)> scrollBy_;
    std::function<void()> changed_;
    bool spaceHeld_ = false;
    Qt::MouseButton button_ = Qt::NoButton;  // the button dragging, if any
    QPoint last_;                            // the pointer at the last step
};

}  // namespace zobl
