#include "gui/palette/ColorBar.h"

#include <algorithm>
#include <cstdlib>

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

#include "core/palette/Palette.h"
#include "gui/framework/EditorServices.h"
#include "gui/lang/Localization.h"
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

// Section "DIALOGS": the names of the vertical bar's title buttons.
constexpr int kFloatButtonKey = 3955;
constexpr int kCloseButtonKey = 3956;

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
        // Tab reaches it; a click on a field chooses a colour and leaves the focus in the editor.
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    bool event(QEvent* event) override {
        // The arrows are the bar's while it has the focus, whatever a window binds them to.
        if (event->type() == QEvent::ShortcutOverride && ColourStepOf(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return QWidget::event(event);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        bar_.Paint(painter);
    }
    void mousePressEvent(QMouseEvent* event) override { bar_.MousePress(event); }
    void mouseMoveEvent(QMouseEvent* event) override { bar_.MouseMove(event); }
    void keyPressEvent(QKeyEvent* event) override { bar_.KeyPress(event); }
    void focusInEvent(QFocusEvent*) override { update(); }
    void focusOutEvent(QFocusEvent*) override { update(); }

private:
    CColorBar& bar_;
};

// The vertical bar is narrower than its title beside the title's two buttons, which cut it to
// "F...": here the title has a line of its own above the buttons. Presses the title does not use
// go on to the dock, which moves and floats it as with its own title.
class ColourBarTitle : public QWidget {
public:
    ColourBarTitle(QDockWidget& dock, const CLanguageManager& language) : QWidget(&dock) {
        setObjectName(QStringLiteral("ColourBarTitle"));
        auto* rows = new QVBoxLayout(this);
        rows->setContentsMargins(1, 1, 1, 1);
        rows->setSpacing(0);
        auto* text = new QLabel(dock.windowTitle(), this);
        text->setObjectName(QStringLiteral("ColourBarTitleText"));
        text->setAlignment(Qt::AlignCenter);
        rows->addWidget(text);
        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(0);
        buttons->addStretch(1);
        buttons->addWidget(Button(QStyle::SP_TitleBarNormalButton,
                                  GetText(language, kFloatButtonKey, kDialogsSection),
                                  [&dock] { dock.setFloating(!dock.isFloating()); }));
        buttons->addWidget(Button(QStyle::SP_TitleBarCloseButton,
                                  GetText(language, kCloseButtonKey, kDialogsSection),
                                  [&dock] { dock.close(); }));
        rows->addLayout(buttons);
        connect(&dock, &QWidget::windowTitleChanged, text, &QLabel::setText);
    }

private:
    QToolButton* Button(QStyle::StandardPixmap icon, const QString& name, std::function<void()> action) {
        auto* button = new QToolButton(this);
        button->setIcon(style()->standardIcon(icon, nullptr, this));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        const int extent = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
        button->setIconSize(QSize(extent, extent));
        button->setToolTip(name);
        button->setAccessibleName(name);
        connect(button, &QToolButton::clicked, this, std::move(action));
        return button;
    }
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

std::optional<ColourStep> ColourStepOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier) {
        return std::nullopt;
    }
    const auto key = static_cast<Qt::Key>(event.key());
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down) {
        return std::nullopt;
    }
    return ColourStep{key, modifiers == Qt::ShiftModifier};
}

int NeighbourField(std::span<const QRect> fields, int from, Qt::Key direction, bool linesAreColumns) {
    const auto count = static_cast<int>(fields.size());
    if (from < 0 || from >= count) {
        return from;
    }
    const bool vertical = direction == Qt::Key_Up || direction == Qt::Key_Down;
    const int sign = direction == Qt::Key_Up || direction == Qt::Key_Left ? -1 : 1;
    // Position along the key's direction, and across it.
    const auto along = [&](const QRect& r) { return sign * (vertical ? r.top() : r.left()); };
    const auto across = [&](const QRect& r) { return vertical ? r.left() : r.top(); };
    const QRect& start = fields[static_cast<std::size_t>(from)];
    // Along a line only its own fields count; across, every field of the lines beyond.
    const bool withinLine = vertical == linesAreColumns;
    int best = from;
    for (int i = 0; i < count; ++i) {
        const QRect& field = fields[static_cast<std::size_t>(i)];
        if (along(field) <= along(start) || (withinLine && across(field) != across(start))) {
            continue;
        }
        if (best == from) {
            best = i;
            continue;
        }
        const QRect& chosen = fields[static_cast<std::size_t>(best)];
        const int nearer = along(field) - along(chosen);
        if (nearer < 0 || (nearer == 0 && std::abs(across(field) - across(start)) <
                                              std::abs(across(chosen) - across(start)))) {
            best = i;
        }
    }
    return best;
}

int FieldShowing(int index, int preferred) {
    if (preferred >= 0 && preferred < kColourFieldCount &&
        kColourFieldIndices[static_cast<std::size_t>(preferred)] == index) {
        return preferred;
    }
    const auto* found = std::find(kColourFieldIndices.begin(), kColourFieldIndices.end(), index);
    return found != kColourFieldIndices.end() ? static_cast<int>(found - kColourFieldIndices.begin()) : 0;
}

void PaintColourFocus(QPainter& painter, const QWidget& widget, const QRect& leftField,
                      const QRect& rightField, int gap) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(widget.palette().color(QPalette::Highlight), 1));
    painter.drawRect(widget.rect().adjusted(0, 0, -1, -1));
    const auto frame = [&](const QRect& field, Qt::PenStyle style) {
        painter.setPen(QPen(Qt::black, 1, style));
        painter.drawRect(field.adjusted(-gap, -gap, gap - 1, gap - 1));
    };
    frame(rightField, Qt::DotLine);
    frame(leftField, Qt::SolidLine);
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
    if (!horizontal) {
        setTitleBarWidget(new ColourBarTitle(*this, services_.language));
    }
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
    if (face_->hasFocus()) {
        PaintFocus(painter);
    }
}

void CColorBar::PaintFocus(QPainter& painter) {
    PaintColourFocus(
        painter, *face_,
        layout_.fields[static_cast<std::size_t>(FieldShowing(services_.drawing.GetColor1(), leftField_))],
        layout_.fields[static_cast<std::size_t>(FieldShowing(services_.drawing.GetColor2(), rightField_))],
        1);
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
            leftField_ = field;
            services_.drawing.SetColor1(kColourFieldIndices[static_cast<std::size_t>(field)]);
            return;
        }
    } else if (event->button() == Qt::RightButton) {
        if (const int field = FieldAt(point); field >= 0) {
            rightField_ = field;
            services_.drawing.SetColor2(kColourFieldIndices[static_cast<std::size_t>(field)]);
            return;
        }
    }
    event->ignore();
}

void CColorBar::KeyPress(QKeyEvent* event) {
    const std::optional<ColourStep> step = ColourStepOf(*event);
    if (!step) {
        event->ignore();
        return;
    }
    DrawingChoices& drawing = services_.drawing;
    int& field = step->rightColour ? rightField_ : leftField_;
    const int from = FieldShowing(step->rightColour ? drawing.GetColor2() : drawing.GetColor1(), field);
    field = NeighbourField(layout_.fields, from, step->direction, !horizontal_);
    const int index = kColourFieldIndices[static_cast<std::size_t>(field)];
    if (step->rightColour) {
        drawing.SetColor2(index);
    } else {
        drawing.SetColor1(index);
    }
    Describe(index);
    RepaintFace();  // the frame moves between the two fields of a doubled index too
}

// A keyboard user has no pointer to hover with: the status line names the colour chosen.
void CColorBar::Describe(int index) {
    if (services_.shell.MainWindow() != nullptr) {
        services_.shell.SetMessageText(QString::fromStdString(DescribeColour(services_.language, index)));
    }
}

bool CColorBar::event(QEvent* event) {
    // A click on the title or beside the fields: the bar takes the focus for its keys.
    if (event->type() == QEvent::MouseButtonPress) {
        face_->setFocus(Qt::MouseFocusReason);
    }
    return QDockWidget::event(event);
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
