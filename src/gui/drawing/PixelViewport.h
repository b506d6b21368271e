#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "core/drawing/PixelTypes.h"
#include "gui/drawing/SceneCache.h"

class QAbstractScrollArea;
class QPainter;

namespace zobl {

// What a window that edits pixels shows, in view coordinates (scrolled: (0, 0) is the
// picture's corner): where a pixel's square lies, what is under a point, how large it all is
// at which zoom, and the scene, which is everything it shows but the overlays.
class ViewportContent {
public:
    // The zoom x zoom square of a pixel.
    virtual QRect PixelSquare(PixelPoint p) const = 0;
    // The squares of a rectangle's corner pixels and everything between.
    virtual QRect AreaRect(const PixelRect& area) const = 0;
    virtual std::optional<PixelPoint> HitTestView(QPoint viewPoint) const = 0;
    // Everything the scroll bars reach, at a zoom.
    virtual QSize ExtentAt(int zoom) const = 0;
    QSize Extent() const { return ExtentAt(ZoomLevel()); }
    virtual int ZoomLevel() const = 0;
    // False when the zoom stays (out of range or equal).
    virtual bool ApplyZoom(int zoom) = 0;
    // After a zoom change beside the pixels: the view point that the old one becomes.
    virtual QPoint ZoomedViewPoint(QPoint oldViewPoint, int oldZoom, int newZoom) const;
    // Paints the scene's area (view coordinates), every pixel of it.
    virtual void RenderScene(QPainter& painter, const QRect& area) = 0;
    // After RenderScene, on the same area: what lies on the magnified picture but is not part
    // of it (the grids), kept with the scene.
    virtual void PaintOverScene(QPainter& /*painter*/, const QRect& /*area*/) {}
    // Before every paint: a window may find its picture stale and invalidate the scene.
    virtual void PrepareScene() {}
    // Beyond the scene (a window larger than its picture).
    virtual QColor Background() const = 0;

protected:
    ~ViewportContent() = default;
};

// The scrolled, magnified window onto the content: scroll bars, zoom keeping a pixel in
// place, the wheel, scrolling by itself while a drag leaves the window, and the kept scene,
// so that a repaint is a copy and what changed is rendered alone.
class PixelViewport {
public:
    PixelViewport(QAbstractScrollArea& area, ViewportContent& content);

    // The scroll position: the view point at the window's top-left corner.
    QPoint ScrollPosition() const;
    void ScrollTo(QPoint position);
    // The window's area in view coordinates.
    QRect WindowRect() const;
    // The pixel under a window point.
    std::optional<PixelPoint> PixelAtWindow(QPoint windowPoint) const;
    void UpdateScrollSizes();

    // Told after every change of the zoom.
    void SetZoomChanged(std::function<void()> changed) { zoomChanged_ = std::move(changed); }
    // Recomputes the extent and repaints; false when the zoom stays.
    bool SetZoomLevel(int zoom);
    // The pixel under windowPoint stays under it (beside the pixels, the view point), as far
    // as the scroll range allows.
    void ZoomKeepingPixel(int step, QPoint windowPoint) {
        ZoomTo(content_.ZoomLevel() + step, windowPoint, false);
    }
    // The pixel in the window's middle stays there, also when a scroll bar comes or goes and
    // the middle moves with it.
    void ZoomKeepingMiddle(int zoom);
    // The largest zoom in minZoom..maxZoom at which the whole extent fits the window without
    // scroll bars; minZoom when none does.
    int WholePictureZoom(int minZoom, int maxZoom) const;
    // Ctrl and the wheel: one zoom step per notch, remainders kept for the next turn.
    void WheelZoom(int angleDelta, QPoint windowPoint);

    // While a drag is under way and the pointer is outside the window: the step towards it.
    std::optional<QPoint> AutoScrollStep(QPoint pointer) const;
    // Scrolls and, when that moved anything, repaints at once.
    void ScrollBy(QPoint delta);

    // All of the scene, or a part (view coordinates), is to be made afresh; repaints it.
    void InvalidateScene();
    void InvalidateScene(const QRect& viewRect);
    void InvalidateViewRect(const QRect& viewRect);
    void InvalidateViewRects(const std::vector<QRect>& viewRects);
    // Paints area (view coordinates) of the scene, and the background beyond it.
    void PaintScene(QPainter& painter, const QRect& area);
    // What the kept scene covers (view coordinates).
    QRect KeptSceneRect() const { return scene_.KeptRect(); }

private:
    void ZoomTo(int zoom, QPoint windowPoint, bool middle);

    QAbstractScrollArea& area_;
    ViewportContent& content_;
    SceneCache scene_;
    std::function<void()> zoomChanged_;
    int wheelRemainder_ = 0;
};

}  // namespace zobl
