#pragma once

#include <string>
#include <vector>

#include "core/drawing/Canvas.h"
#include "core/drawing/MouseMode.h"
#include "core/drawing/Shapes.h"

namespace zobl {

// Flags of the shape primitive, combined by OR. Preview and marking frame are screen-only:
// the view paints them itself (inverted); the document never sees them.
namespace shape {
inline constexpr int kPreview = 0x01;
inline constexpr int kLeftColour = 0x02;
inline constexpr int kRightColour = 0x04;
inline constexpr int kFilled = 0x08;
inline constexpr int kMarkFrame = 0x10;
inline constexpr int kOutline = 0x20;
inline constexpr int kLine = 0x40;
}  // namespace shape

enum class MouseButton { Left, Right };

constexpr MouseButton OtherButton(MouseButton button) {
    return button == MouseButton::Left ? MouseButton::Right : MouseButton::Left;
}

// The two drawing colours: COLOR1 for the left button, COLOR2 for the right one.
struct DrawingColours {
    PaletteIndex left = 0;
    PaletteIndex right = 0;
    PaletteIndex Of(MouseButton button) const { return button == MouseButton::Left ? left : right; }
    PaletteIndex Other(MouseButton button) const { return button == MouseButton::Left ? right : left; }
};

// What a finished edit needs from the application.
struct EditContext {
    MouseMode mouseMode = MouseMode::View;  // the current mode: names the undo group of the changes
    bool singleUndo = false;                // SINGLEUNDO: the finished operation closes its undo group
};

// The preview flags of a drag in mouse mode 2 (line), 3 (rectangle), 4 (filled rectangle) and
// 7 (mark); 0 for the other modes.
int ShapePreviewFlags(MouseMode mouseMode) noexcept;
// The shape a line or rectangle tool draws (kLine, kOutline, kFilled); 0 for other modes.
int ShapeOfMode(MouseMode mouseMode) noexcept;

// Draws what the flags select between p and c: kLine and kOutline pixel by pixel (shown at
// once), kFilled in bulk. The colour is the left one with kLeftColour, else the right one with
// kRightColour; without either, or with kPreview or kMarkFrame, nothing is drawn. Both points
// must lie on the surface (a view only draws between pixels it hit).
template <PixelCanvas C>
void DrawShapeOn(C& canvas, PixelPoint p, PixelPoint c, int flags, DrawingColours colours) {
    if ((flags & (shape::kPreview | shape::kMarkFrame)) != 0 || !canvas.Contains(p) || !canvas.Contains(c)) {
        return;
    }
    PaletteIndex colour = 0;
    if ((flags & shape::kLeftColour) != 0) {
        colour = colours.left;
    } else if ((flags & shape::kRightColour) != 0) {
        colour = colours.right;
    } else {
        return;
    }
    if ((flags & shape::kLine) != 0) {
        DrawPoints(canvas, LinePoints(p, c), colour);
    }
    if ((flags & shape::kOutline) != 0) {
        DrawPoints(canvas, RectangleOutlinePoints(p, c), colour);
    }
    if ((flags & shape::kFilled) != 0) {
        FillRectangle(canvas, PixelRect::Spanning(p, c), colour);
    }
}

// Releasing the button of a line or rectangle drag on a pixel: the line, the outline or the
// filled rectangle in the button's colour, and with ctrl in mode 4 the filled rectangle framed
// in the other button's colour.
template <PixelCanvas C>
void FinishShapeOn(C& canvas, MouseMode mouseMode, MouseButton button, bool ctrl, PixelPoint p, PixelPoint c,
                   DrawingColours colours) {
    const int shapeFlag = ShapeOfMode(mouseMode);
    const auto colourFlag = [](MouseButton b) {
        return b == MouseButton::Left ? shape::kLeftColour : shape::kRightColour;
    };
    if (shapeFlag == 0) {
        return;
    }
    DrawShapeOn(canvas, p, c, shapeFlag | colourFlag(button), colours);
    if (ctrl && shapeFlag == shape::kFilled) {
        DrawShapeOn(canvas, p, c, shape::kOutline | colourFlag(OtherButton(button)), colours);
    }
}

// Replace colour while dragging: the pixel changes only when it has the colour replaced.
template <PixelCanvas C>
void ReplaceAt(C& canvas, PixelPoint p, PaletteIndex replaced, PaletteIndex colour) {
    if (canvas.Contains(p) && canvas.Get(p) == replaced) {
        canvas.SetDrawn(p, colour);
    }
}

// The size of the area being marked between p and c, "%dx%d".
std::string MarkExtentText(PixelPoint p, PixelPoint c);

// Which special-colour mark a pixel value gets at high zoom.
enum class SpecialMark {
    None,
    Transparent,      // 56, colour MARKTRANSCOL
    HalfTransparent,  // 97, colour MARKTRANSCOL2
    Background,       // 99, colour MARKTRANSCOL3
};
SpecialMark SpecialMarkOf(PaletteIndex value) noexcept;

}  // namespace zobl
