#include "gui/palette/ColorBar.h"

#include <QBoxLayout>
#include <QMouseEvent>
#include <QPainter>

#include "core/palette/Palette.h"
#include "gui/framework/EditorServices.h"
#include "gui/palette/PaletteDisplay.h"

namespace zobl {

// clang-format off
const std::array<int, kColourFieldCount> kColourFieldIndices = {
    // the 63 ordinary colours
    49, 26, 67, 29, 1, 27, 9, 65, 92, 91, 47, 31, 45, 30, 3, 48, 11, 90, 15, 25, 16, 14, 94, 35, 17, 5,
    66, 13, 43, 4, 23, 44, 12, 37, 36, 39, 18, 24, 32, 46, 38, 95, 88, 40, 21, 7, 96, 20, 93, 8, 19, 89,
    0, 42, 22, 6, 28, 98, 2, 34, 10, 33, 41,
    // lights, special colours, lamps
    50, 52, 51, 53, 55, 54,
    56, 97, 99,
    57, 58, 59, 60,
    // window colours
    29, 30, 31, 32, 61, 62, 63, 64, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83,
    84, 85, 86, 87,
};
// clang-format on

namespace {

constexpr int kFieldSize = 9;
constexpr int kFieldStep = 10;
constexpr int kLineStep = 11;
constexpr int kGroupGap = 30;
constexpr int kFirstAlong = 55;   // where the fields start along the bar (vertical: y)
constexpr int kFirstAcross = 2;   // and across it (vertical: x)
constexpr int kFirstAlongH = 61;  // horizontal bar: x
constexpr int kFirstAcrossH = 4;  // horizontal bar: y

// A rectangle from its edges (right and bottom outside).
QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace

// The face only forwards its events to the bar.
class ColourBarFace : public QWidget {
public:
    ColourBarFace(CColorBar& bar, QSize size) : QWidget(&bar), bar_(bar) {
        setFixedSize(size);
        setMouseTracking(true);
        setObjectName(QStringLiteral("ColourBarFace"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        bar_.Paint(painter);
    }
    void mousePressEvent(QMouseEvent* event) override { bar_.MousePress(event); }
    void mouseMoveEvent(QMouseEvent* event) override { bar_.MouseMove(event); }

private:
    CColorBar& bar_;
};

ColourBarLayout ComputeColourBarLayout(bool horizontal, QSize client) {
    ColourBarLayout layout;
    // Along: the direction the fields run in (vertical bar: y); across: the other one.
    const int across = horizontal ? client.height() : client.width();
    const int along = horizontal ? client.width() : client.height();
    const int eighth = across / 8;
    const int leftFrom = eighth;
    const int leftTo = across - 3 * eighth;
    const int leftAlong = 10;
    const int leftSize = leftTo - leftFrom;
    const int rightFrom = 3 * eighth;
    const int rightTo = across - eighth;
    const int rightAlong = leftSize / 2 + 10;
    const int rightSize = rightTo - rightFrom;
    const auto square = [&](int acrossFrom, int acrossTo, int alongFrom, int size) {
        return horizontal ? Edges(alongFrom, acrossFrom, alongFrom + size, acrossTo)
                          : Edges(acrossFrom, alongFrom, acrossTo, alongFrom + size);
    };
    layout.leftSwatch = square(leftFrom, leftTo, leftAlong, leftSize);
    layout.rightSwatch = square(rightFrom, rightTo, rightAlong, rightSize);

    const int firstAlong = horizontal ? kFirstAlongH : kFirstAlong;
    int a = firstAlong;                                 // along
    int c = horizontal ? kFirstAcrossH : kFirstAcross;  // across
    for (int i = 0; i < kColourFieldCount; ++i) {
        layout.fields[static_cast<std::size_t>(i)] =
            horizontal ? QRect(a, c, kFieldSize, kFieldSize) : QRect(c, a, kFieldSize, kFieldSize);
        a += kFieldStep;
        if (a + 13 >= along) {
            a = firstAlong;
            c += kLineStep;
        }
        const int next = i + 1;
        if (next == 63 || next == 76) {
            a = firstAlong;
            c += kLineStep;
        }
        if (next == 69 || next == 72) {
            a += kGroupGap;
        }
    }
    return layout;
}

QSize CColorBar::TemplateSize(bool horizontal) {
    return horizontal ? QSize(DialogUnitsToPixelsX(260), DialogUnitsToPixelsY(34))
                      : QSize(DialogUnitsToPixelsX(34), DialogUnitsToPixelsY(235));
}

CColorBar::CColorBar(const EditorServices& services, std::function<void(QWidget*)> chooseColours,
                     bool horizontal, QWidget* parent)
    : QDockWidget(QString::fromLatin1(kTitle), parent),
      services_(services),
      chooseColours_(std::move(chooseColours)),
      horizontal_(horizontal) {
    setObjectName(horizontal ? QStringLiteral("ColourBarHorizontal") : QStringLiteral("ColourBarVertical"));
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable |
                QDockWidget::DockWidgetClosable |
                (horizontal ? QDockWidget::DockWidgetVerticalTitleBar : QDockWidget::NoDockWidgetFeatures));
    setAllowedAreas(horizontal ? (Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea)
                               : (Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea));
    // The face keeps its template size; the rest of the dock stays empty.
    auto* holder = new QWidget(this);
    auto* box = new QBoxLayout(horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, holder);
    box->setContentsMargins(0, 0, 0, 0);
    face_ = new ColourBarFace(*this, TemplateSize(horizontal));
    face_->setAccessibleName(windowTitle());
    box->addWidget(face_);
    box->addStretch(1);
    setWidget(holder);
    layout_ = ComputeColourBarLayout(horizontal_, face_->size());
    connect(&services_.drawing, &DrawingChoices::DrawingColoursChanged, this, &CColorBar::RepaintFace);
}

CColorBar::~CColorBar() = default;

void CColorBar::RepaintFace() {
    face_->update();
}

int CColorBar::FieldAt(QPoint point) const {
    for (int i = 0; i < kColourFieldCount; ++i) {
        if (layout_.fields[static_cast<std::size_t>(i)].contains(point)) {
            return i;
        }
    }
    return -1;
}

void CColorBar::Paint(QPainter& painter) {
    if (!laidOut_) {
        layout_ = ComputeColourBarLayout(horizontal_, face_->size());
        laidOut_ = true;
    }
    const Palette& palette = services_.palette;
    const GeneralSettings& settings = services_.settings;
    const auto swatch = [&](const QRect& rect, int index) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(DisplayColour(palette, index));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        if (const std::optional<QColor> mark = MarkColour(settings, index)) {
            const int dx = rect.width() / 3;
            const int dy = rect.height() / 3;
            painter.fillRect(rect.adjusted(dx, dy, -dx, -dy), *mark);
        }
    };
    // The left colour's swatch lies over the right one's.
    swatch(layout_.rightSwatch, services_.drawing.GetColor2());
    swatch(layout_.leftSwatch, services_.drawing.GetColor1());
    for (int i = 0; i < kColourFieldCount; ++i) {
        const QRect& field = layout_.fields[static_cast<std::size_t>(i)];
        const int index = kColourFieldIndices[static_cast<std::size_t>(i)];
        painter.fillRect(field, DisplayColour(palette, index));
        if (const std::optional<QColor> mark = MarkColour(settings, index)) {
            painter.fillRect(field.x() + 3, field.y() + 3, 3, 3, *mark);
        }
    }
}

void CColorBar::MousePress(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (layout_.leftSwatch.contains(point) || layout_.rightSwatch.contains(point)) {
            if (chooseColours_) {
                chooseColours_(window());
            }
            RepaintFace();
            return;
        }
        if (const int field = FieldAt(point); field >= 0) {
            services_.drawing.SetColor1(kColourFieldIndices[static_cast<std::size_t>(field)]);
            return;
        }
    } else if (event->button() == Qt::RightButton) {
        if (const int field = FieldAt(point); field >= 0) {
            services_.drawing.SetColor2(kColourFieldIndices[static_cast<std::size_t>(field)]);
            return;
        }
    }
    event->ignore();
}

void CColorBar::MouseMove(QMouseEvent* event) {
    if (services_.shell.MainWindow() != nullptr) {
        const QPoint point = event->position().toPoint();
        const CLanguageManager& language = services_.language;
        QString text;
        if (layout_.leftSwatch.contains(point)) {
            text = QString::fromStdString(DescribeColour(language, services_.drawing.GetColor1()));
        } else if (layout_.rightSwatch.contains(point)) {
            text = QString::fromStdString(DescribeColour(language, services_.drawing.GetColor2()));
        }
        if (const int field = FieldAt(point); field >= 0) {
            text = QString::fromStdString(
                DescribeColour(language, kColourFieldIndices[static_cast<std::size_t>(field)]));
        }
        services_.shell.SetMessageText(text);
    }
    event->ignore();
}

}  // namespace zobl
