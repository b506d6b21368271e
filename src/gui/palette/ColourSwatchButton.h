#pragma once

#include <QColor>
#include <QPushButton>

namespace zobl {

// A button that is a rectangle of its colour, outlined white while it has the focus and grey
// otherwise (the colour buttons of the colour settings and the background dialog).
class ColourSwatchButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColourSwatchButton(QWidget* parent = nullptr);

    QColor Colour() const { return colour_; }
    void SetColour(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_ = Qt::black;
};

}  // namespace zobl
