#include "gui/drawing/ViewOverlays.h"

#include <algorithm>

#include <QPainter>

#include "core/drawing/Shapes.h"
#include "core/drawing/Tools.h"
#include "gui/drawing/PixelViewport.h"
#include "gui/palette/PaletteDisplay.h"

namespace zobl {

namespace {

// Neighbouring squares of a preview in one line or column become one rectangle.
void AppendSquare(std::vector<QRect>& rects, const QRect& square) {
    if (!rects.empty()) {
        QRect& last = rects.back();
        if (last.top() == square.top() && last.height() == square.height() &&
            last.right() + 1 == square.left()) {
            last.setRight(square.right());
            return;
        }
        if (last.left() == square.left() && last.width() == square.width() &&
            last.bottom() + 1 == square.top()) {
            last.setBottom(square.bottom());
            return;
        }
    }
    rects.push_back(square);
}

}  // namespace

bool ViewOverlays::TickFrame(bool framed) {
    if (++tickCounter_ < kTicksPerFrameStep) {
        return false;
    }
    tickCounter_ = 0;
    if (!framed) {
        return false;
    }
    framePhase_ = framePhase_ == 0 ? kFramePhaseCount - 1 : framePhase_ - 1;
    return true;
}

bool ViewOverlays::PreviewIsLine() const {
    return preview_ && (preview_->flags & shape::kLine) != 0;
}

std::vector<QRect> ViewOverlays::ShowPreview(int flags, PixelPoint p, PixelPoint c) {
    std::vector<QRect> rects = ErasePreview();
    preview_ = Preview{flags, p, c};
    const std::vector<QRect> shown = PreviewRects(*preview_);
    rects.insert(rects.end(), shown.begin(), shown.end());
    return rects;
}

std::vector<QRect> ViewOverlays::ErasePreview() {
    if (!preview_) {
        return {};
    }
    std::vector<QRect> rects = PreviewRects(*preview_);
    preview_.reset();
    return rects;
}

std::vector<QRect> ViewOverlays::FrameRects(const PixelRect& area) const {
    const QRect r = content_.AreaRect(area);
    if (r.isEmpty()) {
        return {};
    }
    std::vector<QRect> rects{QRect(r.left(), r.top(), r.width(), 1),
                             QRect(r.left(), r.bottom(), r.width(), 1)};
    if (r.height() > 2) {
        rects.emplace_back(r.left(), r.top() + 1, 1, r.height() - 2);
        rects.emplace_back(r.right(), r.top() + 1, 1, r.height() - 2);
    }
    return rects;
}

std::vector<QRect> ViewOverlays::PreviewRects(const Preview& preview) const {
    std::vector<QRect> rects;
    if ((preview.flags & (shape::kLine | shape::kOutline)) != 0) {
        // Pixels plotted twice cancel, as they would in exclusive-or drawing.
        const std::vector<PixelPoint> points = (preview.flags & shape::kLine) != 0
                                                   ? LinePoints(preview.p, preview.c)
                                                   : RectangleOutlinePoints(preview.p, preview.c);
        for (const PixelPoint& point : InvertedPreviewPixels(points)) {
            AppendSquare(rects, content_.PixelSquare(point));
        }
    } else if ((preview.flags & shape::kFilled) != 0) {
        rects.push_back(content_.AreaRect(PixelRect::Spanning(preview.p, preview.c)));
    } else if ((preview.flags & shape::kMarkFrame) != 0) {
        rects = FrameRects(PixelRect::Spanning(preview.p, preview.c));
    }
    return rects;
}

void ViewOverlays::Paint(QPainter& painter, const QRect& area, std::optional<PixelRect> framed) const {
    if (framed) {
        PaintMarchingFrame(painter, area, content_.AreaRect(*framed));
    }
    if (preview_) {
        // Inverting with white is its own inverse, as the exclusive-or drawing always was.
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        for (const QRect& rect : PreviewRects(*preview_)) {
            if (rect.intersects(area)) {
                painter.fillRect(rect, Qt::white);
            }
        }
        painter.restore();
    }
}

void ViewOverlays::PaintMarchingFrame(QPainter& painter, const QRect& area, const QRect& r) const {
    if (r.isEmpty() || !r.adjusted(-1, -1, 1, 1).intersects(area)) {
        return;
    }
    // Pixel i of an edge is white while (phase + i) mod 9 is below 4, black otherwise; the top
    // and bottom edges run from the left, the left and right edges from the top, all starting
    // at the frame's phase. Runs of one colour are filled at once, only where they show.
    const auto paintEdge = [&](bool horizontal, int fixed, int from, int to, int visibleFrom, int visibleTo) {
        const int begin = std::max(from, visibleFrom);
        const int end = std::min(to, visibleTo);
        for (int i = begin; i <= end;) {
            const int phase = (framePhase_ + (i - from)) % kFramePhaseCount;
            const bool white = phase < 4;
            const int runLength = white ? 4 - phase : kFramePhaseCount - phase;
            const int runEnd = std::min(end, i + runLength - 1);
            const QRect run =
                horizontal ? QRect(i, fixed, runEnd - i + 1, 1) : QRect(fixed, i, 1, runEnd - i + 1);
            painter.fillRect(run, white ? Qt::white : Qt::black);
            i = runEnd + 1;
        }
    };
    for (const int y : {r.top(), r.bottom()}) {
        if (y >= area.top() && y <= area.bottom()) {
            paintEdge(true, y, r.left(), r.right(), area.left(), area.right());
        }
    }
    for (const int x : {r.left(), r.right()}) {
        if (x >= area.left() && x <= area.right()) {
            paintEdge(false, x, r.top(), r.bottom(), area.top(), area.bottom());
        }
    }
}

namespace {

// One-pixel columns at origin + k * step for k in first..last (as far as they lie inside
// visible), from visible's top to its bottom; with horizontal, rows across visible.
void AppendLines(std::vector<QRect>& lines, const QRect& visible, int origin, int step, int first, int last,
                 bool horizontal) {
    const int low = horizontal ? visible.top() : visible.left();
    const int high = horizontal ? visible.bottom() : visible.right();
    first = std::max(first, (low - origin + step - 1) / step);
    last = std::min(last, (high - origin) / step);
    for (int k = first; k <= last; ++k) {
        const int at = origin + k * step;
        lines.push_back(horizontal ? QRect(visible.left(), at, visible.width(), 1)
                                   : QRect(at, visible.top(), 1, visible.height()));
    }
}

void AppendEdge(std::vector<QRect>& lines, const QRect& visible, int at, bool horizontal) {
    if (horizontal ? at >= visible.top() && at <= visible.bottom()
                   : at >= visible.left() && at <= visible.right()) {
        AppendLines(lines, visible, at, 1, 0, 0, horizontal);
    }
}

// Fills the one-pixel lines of AppendLines straight into a 32-bit image under a plain
// translation: the paint engine fills a vertical line as one span per row, which made the grid
// cost almost half of the picture at zoom 10. A run of columns sharing their rows is written row
// by row, the way the image lies in memory. False when the painter paints anywhere else.
bool FillLinesInImage(QPainter& painter, const std::vector<QRect>& lines, QRgb colour) {
    QPaintDevice* device = painter.device();
    if (device == nullptr || device->devType() != QInternal::Image ||
        painter.deviceTransform().type() > QTransform::TxTranslate ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return false;
    }
    auto& image = *static_cast<QImage*>(device);
    const QImage::Format format = image.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied) {
        return false;
    }
    const QPoint offset(qRound(painter.deviceTransform().dx()), qRound(painter.deviceTransform().dy()));
    const QRect bounds = image.rect();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const auto row = [&](int y) { return reinterpret_cast<QRgb*>(bits + stride * y); };
    std::vector<int> columns;
    for (std::size_t i = 0; i < lines.size();) {
        const QRect first = lines[i].translated(offset);
        if (first.height() == 1) {
            if (const QRect r = first.intersected(bounds); !r.isEmpty()) {
                std::fill_n(row(r.top()) + r.left(), r.width(), colour);
            }
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < lines.size() && lines[end].top() == lines[i].top() &&
               lines[end].height() == lines[i].height() && lines[end].width() == 1) {
            ++end;
        }
        columns.clear();
        for (std::size_t k = i; k < end; ++k) {
            if (const int x = lines[k].left() + offset.x(); x >= bounds.left() && x <= bounds.right()) {
                columns.push_back(x);
            }
        }
        const int top = std::max(first.top(), bounds.top());
        const int bottom = std::min(first.bottom(), bounds.bottom());
        for (int y = top; y <= bottom; ++y) {
            QRgb* const line = row(y);
            for (const int x : columns) {
                line[x] = colour;
            }
        }
        i = end;
    }
    return true;
}

}  // namespace

void ViewOverlays::PaintGrid(QPainter& painter, const QRect& area, const std::vector<GridArea>& grids,
                             std::optional<Rgb> pixelLines, std::optional<Rgb> cellLines) const {
    // Only the lines inside the painted part, as filled one-pixel rectangles (the raster engine
    // fills those as spans; cosmetic lines go pixel by pixel), one call per colour.
    const int zoom = content_.ZoomLevel();
    std::vector<QRect> pixels;
    std::vector<QRect> cells;
    for (const GridArea& grid : grids) {
        const QRect r = content_.AreaRect(grid.pixels);
        const QRect visible = r.intersected(area);
        if (visible.isEmpty()) {
            continue;
        }
        const int width = grid.pixels.Width();
        const int height = grid.pixels.Height();
        if (pixelLines) {
            AppendLines(pixels, visible, r.left(), zoom, 1, width - 1, false);
            AppendLines(pixels, visible, r.top(), zoom, 1, height - 1, true);
        }
        if (cellLines && grid.cellWidth > 0 && grid.cellHeight > 0) {
            const int cellWidth = grid.cellWidth * zoom;
            const int cellHeight = grid.cellHeight * zoom;
            AppendLines(cells, visible, r.left(), cellWidth, 0, (width - 1) / grid.cellWidth, false);
            AppendLines(cells, visible, r.top(), cellHeight, 0, (height - 1) / grid.cellHeight, true);
            AppendEdge(cells, visible, r.right(), false);
            AppendEdge(cells, visible, r.bottom(), true);
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Every rectangle lies inside area; unclipped, a rectangle is filled at once, not row by row.
    painter.setClipping(false);
    painter.setPen(Qt::NoPen);
    for (const auto& [lines, colour] : {std::pair{&pixels, pixelLines}, std::pair{&cells, cellLines}}) {
        if (!lines->empty() && !FillLinesInImage(painter, *lines, ToQColor(*colour).rgb())) {
            painter.setBrush(ToQColor(*colour));
            painter.drawRects(lines->data(), int(lines->size()));
        }
    }
    painter.restore();
}

void ViewOverlays::PaintSpecialMarks(QPainter& painter, const std::vector<MarkPoint>& pixels,
                                     const std::array<Rgb, 3>& colours) const {
    // One screen pixel per mark, drawn by a cosmetic pen: a rectangle each would cost more than
    // the picture itself when a drawing is mostly transparent.
    std::vector<QPoint> points[3];
    const int half = content_.ZoomLevel() / 2;
    for (const MarkPoint& mark : pixels) {
        const SpecialMark kind = SpecialMarkOf(mark.value);
        if (kind != SpecialMark::None) {
            points[static_cast<int>(kind) - 1].push_back(content_.PixelSquare(mark.pixel).topLeft() +
                                                         QPoint(half, half));
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (!points[i].empty()) {
            painter.setPen(QPen(ToQColor(colours[std::size_t(i)]), 0));
            painter.drawPoints(points[i].data(), int(points[i].size()));
        }
    }
}

}  // namespace zobl
