#pragma once

#include <functional>

#include <array>

#include <QDockWidget>
#include <QRect>
#include <QSize>

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

// The dockable colour bar: the two drawing colours as overlapping swatches and the 104 fields.
// A left click on a field chooses the left colour, a right click the right colour; a left click
// on a swatch opens the colour choice. Moving the pointer describes the colour under it in the
// status line. The vertical bar docks left or right, the horizontal one top or bottom.
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

private:
    friend class ColourBarFace;
    void Paint(QPainter& painter);
    void MousePress(QMouseEvent* event);
    void MouseMove(QMouseEvent* event);

    const EditorServices& services_;
    std::function<void(QWidget*)> chooseColours_;
    bool horizontal_;
    bool laidOut_ = false;
    ColourBarLayout layout_;
    QWidget* face_ = nullptr;
};

}  // namespace zobl
