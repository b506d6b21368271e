#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QRect>

#include "core/drawing/PixelTypes.h"
#include "core/palette/Palette.h"

class QPainter;

namespace zobl {

class ViewportContent;

// What a pixel-editing window paints over its scene: the tools' inverted previews, the
// marching frame of the marked area, the marks of the special colours and the grids. Painting is from
// state, so erasing a preview or a frame step is repainting the rectangles it names.
class ViewOverlays {
public:
    static constexpr int kTicksPerFrameStep = 4;
    static constexpr int kFramePhaseCount = 9;  // phases 0..8

    explicit ViewOverlays(const ViewportContent& content) : content_(content) {}

    int FramePhase() const noexcept { return framePhase_; }
    // The frame starts its steps afresh (a new marking).
    void RestartFrame() { tickCounter_ = 0; }
    // One tick: true every fourth, when a frame shown is to move on a phase.
    bool TickFrame(bool framed);

    bool PreviewShown() const noexcept { return preview_.has_value(); }
    // A line preview scrolls along with the picture; the other shapes are drawn again.
    bool PreviewIsLine() const;
    // The inverted preview between p and c (shape flags), replacing the one shown; the
    // rectangles (view coordinates) to repaint.
    std::vector<QRect> ShowPreview(int flags, PixelPoint p, PixelPoint c);
    std::vector<QRect> ErasePreview();

    // The one-pixel lines around an area's squares.
    std::vector<QRect> FrameRects(const PixelRect& area) const;
    // The marching frame of framed and the preview on top of the scene (painter in view
    // coordinates, area the part painted).
    void Paint(QPainter& painter, const QRect& area, std::optional<PixelRect> framed) const;

    // One screen pixel per special-colour pixel (56, 97, 99) at the centre of its square, in
    // colours (one per kind of mark); pixels: (point, value) pairs the window collected.
    struct MarkPoint {
        PixelPoint pixel;
        PaletteIndex value;
    };
    void PaintSpecialMarks(QPainter& painter, const std::vector<MarkPoint>& pixels,
                           const std::array<Rgb, 3>& colours) const;

    // A rectangle of pixels shown as one piece (a scenery symbol's present rows, a car view),
    // and the size of its cells in pixels.
    struct GridArea {
        PixelRect pixels;
        int cellWidth = 1;
        int cellHeight = 1;
    };
    // Grid lines over the magnified picture, one screen pixel wide, inside area (view
    // coordinates) and nowhere else, whatever the painter's clip. With pixelLines, a line on the
    // first column and row of every pixel's square but the area's first (at zoom 4 a 2 x 2 area
    // starting at view (0, 0) gets x = 4 and y = 4); with cellLines, the outline of the whole
    // area and a line on the first column and row of every cell but the first, over the pixel
    // lines.
    void PaintGrid(QPainter& painter, const QRect& area, const std::vector<GridArea>& grids,
                   std::optional<Rgb> pixelLines, std::optional<Rgb> cellLines) const;

private:
    // What an inverted preview or the marking frame shows: the tool's flags between P and C.
    struct Preview {
        int flags = 0;
        PixelPoint p;
        PixelPoint c;
    };
    std::vector<QRect> PreviewRects(const Preview& preview) const;
    void PaintMarchingFrame(QPainter& painter, const QRect& area, const QRect& frame) const;

    const ViewportContent& content_;
    std::optional<Preview> preview_;
    int tickCounter_ = 0;
    int framePhase_ = kFramePhaseCount - 1;
};

}  // namespace zobl
