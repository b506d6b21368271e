#pragma once

#include <functional>

#include <array>
#include <optional>
#include <span>

#include <QDockWidget>
#include <QRect>
#include <QSize>

class QKeyEvent;

namespace zobl {

struct EditorServices;

// The 104 colour fields of the colour bar and the colour dialog: the palette index of each.
inline constexpr int kColourFieldCount = 104;
extern const std::array<int, kColourFieldCount> kColourFieldIndices;

// Where the two swatches and the 104 fields of a colour bar lie in a client area of the given
// size (rectangles in the usual sense: left/top inside, right/bottom outside).
struct ColourBarLayout {
    QRect leftSwatch;
    QRect rightSwatch;
    std::array<QRect, kColourFieldCount> fields;
};
ColourBarLayout ComputeColourBarLayout(bool horizontal, QSize client);

// An arrow key that steps a colour choice through the fields: a plain arrow moves the left
// colour, Shift with an arrow the right one. Other keys and modifiers give nothing.
struct ColourStep {
    Qt::Key direction;
    bool rightColour;
};
std::optional<ColourStep> ColourStepOf(const QKeyEvent& event);

// The field an arrow key leads to from field from, among fields laid out in lines: columns when
// linesAreColumns, else rows. Along a line it is the nearest field in that direction, so group
// gaps are jumped; across, the nearest field of the next line (of two as near, the first in field
// order). At an edge it is from itself. Vertical bar: Down from field 68 gives 69, the first
// special colour 40 pixels further; Right from 62, the foot of the second column, gives 75, the
// foot of the shorter third one.
int NeighbourField(std::span<const QRect> fields, int from, Qt::Key direction, bool linesAreColumns);

// The field showing palette index: preferred when it does (indices 29-32 have two fields),
// else the first in field order.
int FieldShowing(int index, int preferred);

// The focus as colour fields show it: a frame in the highlight colour around widget, and the
// fields of the two colours framed in the gap of gap pixels around them, the left one solid, the
// right one dotted.
void PaintColourFocus(QPainter& painter, const QWidget& widget, const QRect& leftField,
                      const QRect& rightField, int gap);

// The dockable colour bar: the two drawing colours as overlapping swatches and the 104 fields.
// A left click on a field chooses the left colour, a right click the right colour; a left click
// on a swatch opens the colour choice. Moving the pointer describes the colour under it in the
// status line. The vertical bar docks left or right, the horizontal one top or bottom.
// It takes the focus by Tab or a click on the dock (not on its fields, which leave the focus
// where it was); then the arrow keys step the left colour through the fields as they are shown,
// Shift with an arrow the right one, and frames mark both colours' fields.
class CColorBar : public QDockWidget {
    Q_OBJECT
public:
    static constexpr int kVerticalTemplate = 147;
    static constexpr int kHorizontalTemplate = 1542;
    static constexpr const char* kTitle = "Farben";

    // chooseColours runs the colour choice (a click on the swatches) over the given window.
    CColorBar(const EditorServices& services, std::function<void(QWidget*)> chooseColours, bool horizontal,
              QWidget* parent = nullptr);
    ~CColorBar() override;

    bool IsHorizontal() const noexcept { return horizontal_; }
    // The face the bar paints and takes the mouse on (fixed at its template size).
    QWidget* Face() const noexcept { return face_; }
    // The layout, computed at creation and once more at the first paint, never later.
    const ColourBarLayout& Layout() const noexcept { return layout_; }
    bool LaidOut() const noexcept { return laidOut_; }
    // The first field, in field order, containing point (face coordinates), or -1.
    int FieldAt(QPoint point) const;
    // The size of the face: the bar's template converted from dialog units.
    static QSize TemplateSize(bool horizontal);

    void RepaintFace();

protected:
    bool event(QEvent* event) override;

private:
    friend class ColourBarFace;
    void Paint(QPainter& painter);
    void MousePress(QMouseEvent* event);
    void MouseMove(QMouseEvent* event);
    void KeyPress(QKeyEvent* event);
    void PaintFocus(QPainter& painter);
    void Describe(int index);

    const EditorServices& services_;
    std::function<void(QWidget*)> chooseColours_;
    bool horizontal_;
    bool laidOut_ = false;
    ColourBarLayout layout_;
    QWidget* face_ = nullptr;
    // The fields last chosen, which tell the two fields of a doubled index apart.
    int leftField_ = -1;
    int rightField_ = -1;
};

}  // namespace zobl
