#include "gui/drawing/PixelViewport.h"

#include <algorithm>
#include <cstdlib>

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QPainter>
#include <QScrollBar>

namespace zobl {

namespace {

// Auto-scrolling moves this many document pixels per tick; the wheel and the arrow keys
// scroll by the scroll bars' own line step.
constexpr int kAutoScrollPixels = 2;
constexpr int kLineStepPixels = 16;
constexpr int kWheelNotch = 120;

}  // namespace

QPoint ViewportContent::ZoomedViewPoint(QPoint oldViewPoint, int oldZoom, int newZoom) const {
    return oldViewPoint * newZoom / oldZoom;
}

PixelViewport::PixelViewport(QAbstractScrollArea& area, ViewportContent& content)
    : area_(area), content_(content) {}

QPoint PixelViewport::ScrollPosition() const {
    return {area_.horizontalScrollBar()->value(), area_.verticalScrollBar()->value()};
}

void PixelViewport::ScrollTo(QPoint position) {
    area_.horizontalScrollBar()->setValue(position.x());
    area_.verticalScrollBar()->setValue(position.y());
}

QRect PixelViewport::WindowRect() const {
    return QRect(ScrollPosition(), area_.viewport()->size());
}

std::optional<PixelPoint> PixelViewport::PixelAtWindow(QPoint windowPoint) const {
    return content_.HitTestView(windowPoint + ScrollPosition());
}

void PixelViewport::UpdateScrollSizes() {
    const QSize window = area_.viewport()->size();
    const QSize extent = content_.Extent();
    const int line = kLineStepPixels * content_.ZoomLevel();
    QScrollBar* horizontal = area_.horizontalScrollBar();
    horizontal->setRange(0, std::max(0, extent.width() - window.width()));
    horizontal->setPageStep(std::max(1, window.width()));
    horizontal->setSingleStep(line);
    QScrollBar* vertical = area_.verticalScrollBar();
    vertical->setRange(0, std::max(0, extent.height() - window.height()));
    vertical->setPageStep(std::max(1, window.height()));
    vertical->setSingleStep(line);
}

bool PixelViewport::SetZoomLevel(int zoom) {
    if (!content_.ApplyZoom(zoom)) {
        return false;
    }
    UpdateScrollSizes();
    InvalidateScene();
    if (zoomChanged_) {
        zoomChanged_();
    }
    return true;
}

void PixelViewport::ZoomTo(int zoom, QPoint windowPoint, bool middle) {
    const std::optional<PixelPoint> hit = PixelAtWindow(windowPoint);
    const int oldZoom = content_.ZoomLevel();
    const QPoint oldView = windowPoint + ScrollPosition();
    if (!SetZoomLevel(zoom)) {
        return;
    }
    if (middle) {
        // Qt shows or hides the scroll bars for the new ranges later; do it now, so that the
        // window has its new size and the middle is known.
        QCoreApplication::sendPostedEvents(&area_, QEvent::MetaCall);
        windowPoint = area_.viewport()->rect().center();
    }
    if (hit) {
        // The pixel's square lands under the pointer again.
        ScrollTo(content_.PixelSquare(*hit).topLeft() - windowPoint);
    } else {
        ScrollTo(content_.ZoomedViewPoint(oldView, oldZoom, content_.ZoomLevel()) - windowPoint);
    }
}

void PixelViewport::ZoomKeepingMiddle(int zoom) {
    ZoomTo(zoom, area_.viewport()->rect().center(), true);
}

int PixelViewport::WholePictureZoom(int minZoom, int maxZoom) const {
    // Without scroll bars: a picture that fits needs none.
    const QSize window = area_.maximumViewportSize();
    for (int zoom = maxZoom; zoom > minZoom; --zoom) {
        const QSize extent = content_.ExtentAt(zoom);
        if (extent.width() <= window.width() && extent.height() <= window.height()) {
            return zoom;
        }
    }
    return minZoom;
}

void PixelViewport::WheelZoom(int angleDelta, QPoint windowPoint) {
    wheelRemainder_ += angleDelta;
    while (std::abs(wheelRemainder_) >= kWheelNotch) {
        const int step = wheelRemainder_ > 0 ? 1 : -1;
        wheelRemainder_ -= step * kWheelNotch;
        ZoomKeepingPixel(step, windowPoint);
    }
}

std::optional<QPoint> PixelViewport::AutoScrollStep(QPoint pointer) const {
    const QRect client = area_.viewport()->rect();
    const int step = kAutoScrollPixels * content_.ZoomLevel();
    if (pointer.x() > client.right()) {
        return QPoint(step, 0);
    }
    if (pointer.x() < client.left()) {
        return QPoint(-step, 0);
    }
    if (pointer.y() < client.top()) {
        return QPoint(0, -step);
    }
    if (pointer.y() > client.bottom()) {
        return QPoint(0, step);
    }
    return std::nullopt;
}

void PixelViewport::ScrollBy(QPoint delta) {
    const QPoint before = ScrollPosition();
    ScrollTo(before + delta);
    if (ScrollPosition() != before) {
        area_.viewport()->repaint();
    }
}

void PixelViewport::InvalidateScene() {
    scene_.Invalidate();
    area_.viewport()->update();
}

void PixelViewport::InvalidateScene(const QRect& viewRect) {
    scene_.Invalidate(viewRect);
    InvalidateViewRect(viewRect);
}

void PixelViewport::InvalidateViewRect(const QRect& viewRect) {
    const QRect window = viewRect.translated(-ScrollPosition()).intersected(area_.viewport()->rect());
    if (!window.isEmpty()) {
        area_.viewport()->update(window);
    }
}

void PixelViewport::InvalidateViewRects(const std::vector<QRect>& viewRects) {
    for (const QRect& rect : viewRects) {
        InvalidateViewRect(rect);
    }
}

void PixelViewport::PaintScene(QPainter& painter, const QRect& area) {
    content_.PrepareScene();
    const QSize extent = content_.Extent();
    scene_.Paint(painter, area, WindowRect(), extent, [this](QPainter& scenePainter, const QRect& rect) {
        content_.RenderScene(scenePainter, rect);
        content_.PaintOverScene(scenePainter, rect);
    });
    for (const QRect& rect : QRegion(area) - QRect(QPoint(0, 0), extent)) {
        painter.fillRect(rect, content_.Background());
    }
}

}  // namespace zobl
