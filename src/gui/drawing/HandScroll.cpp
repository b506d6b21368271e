#include "gui/drawing/HandScroll.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace zobl {

std::optional<Qt::CursorShape> HandScroll::Cursor() const {
    if (Dragging()) {
        return Qt::ClosedHandCursor;
    }
    if (spaceHeld_) {
        return Qt::OpenHandCursor;
    }
    return std::nullopt;
}

bool HandScroll::Press(const QMouseEvent& event, bool toolBusy) {
    if (Dragging()) {
        return true;  // other buttons wait until the view is let go
    }
    const Qt::MouseButton button = event.button();
    if (toolBusy || !(button == Qt::MiddleButton || (button == Qt::LeftButton && spaceHeld_))) {
        return false;
    }
    button_ = button;
    last_ = event.position().toPoint();
    changed_();
    return true;
}

bool HandScroll::Move(QPoint windowPoint) {
    if (!Dragging()) {
        return false;
    }
    scrollBy_(last_ - windowPoint);
    last_ = windowPoint;
    return true;
}

bool HandScroll::Release(Qt::MouseButton button) {
    if (!Dragging()) {
        return false;
    }
    if (button == button_) {
        button_ = Qt::NoButton;
        changed_();
    }
    return true;
}

bool HandScroll::SpaceKey(const QKeyEvent& event) {
    if (event.key() != Qt::Key_Space || (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return false;
    }
    if (!event.isAutoRepeat()) {
        HoldSpace(event.type() == QEvent::KeyPress);
    }
    return true;
}

void HandScroll::HoldSpace(bool held) {
    if (held != spaceHeld_) {
        spaceHeld_ = held;
        changed_();
    }
}

bool HandScroll::FocusTakesText() {
    const QWidget* focus = QApplication::focusWidget();
    const auto* combo = qobject_cast<const QComboBox*>(focus);
    return qobject_cast<const QLineEdit*>(focus) != nullptr ||
           qobject_cast<const QTextEdit*>(focus) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(focus) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(focus) != nullptr ||
           (combo != nullptr && combo->isEditable());
}

}  // namespace zobl
