#include "gui/palette/ColourSwatchButton.h"

#include <QPainter>

namespace zobl {

ColourSwatchButton::ColourSwatchButton(QWidget* parent) : QPushButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void ColourSwatchButton::SetColour(const QColor& colour) {
    colour_ = colour;
    update();
}

void ColourSwatchButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(hasFocus() ? QColor(255, 255, 255) : QColor(128, 128, 128));
    painter.setBrush(colour_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace zobl
