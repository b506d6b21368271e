#include "gui/drawing/SceneCache.h"

#include <cstring>
#include <utility>

#include <QPainter>

namespace zobl {

namespace {

constexpr int kBytesPerPixel = 4;

// Copies the pixels of area (scene coordinates) from a picture of fromRect into one of toRect;
// the two may be one picture, which then moves its own pixels.
void CopyArea(const QImage& from, const QRect& fromRect, QImage& to, const QRect& toRect, const QRect& area) {
    const int sourceTop = area.top() - fromRect.top();
    const int targetTop = area.top() - toRect.top();
    const std::size_t sourceLeft = std::size_t(area.left() - fromRect.left()) * kBytesPerPixel;
    const std::size_t targetLeft = std::size_t(area.left() - toRect.left()) * kBytesPerPixel;
    const std::size_t bytes = std::size_t(area.width()) * kBytesPerPixel;
    // Moving up, the rows are read before they are written over; moving down, from the bottom.
    const bool upwards = targetTop <= sourceTop;
    for (int i = 0; i < area.height(); ++i) {
        const int row = upwards ? i : area.height() - 1 - i;
        const uchar* source = from.constScanLine(sourceTop + row) + sourceLeft;
        uchar* target = to.scanLine(targetTop + row) + targetLeft;
        std::memmove(target, source, bytes);
    }
}

}  // namespace

void SceneCache::Invalidate(const QRect& rect) {
    if (!stale_) {
        dirty_ += rect & rect_;
    }
}

void SceneCache::Paint(QPainter& painter, const QRect& area, const QRect& window, QSize extent,
                       const Renderer& render) {
    if (extent != extent_) {
        extent_ = extent;
        stale_ = true;
    }
    const QRect whole(QPoint(0, 0), extent);
    const QRect needed = area & whole;
    if (needed.isEmpty()) {
        return;
    }
    const QRect keep = window.adjusted(-kMargin, -kMargin, kMargin, kMargin) & whole;
    const QRect target = keep.united(needed);
    // Scrolled beyond the margin, or still as wide as a paint beyond the window made it.
    const bool tooLarge =
        rect_.width() > target.width() + kMargin || rect_.height() > target.height() + kMargin;
    if (stale_ || !rect_.contains(needed) || tooLarge) {
        MoveTo(target);
    }
    const QRegion toRender = dirty_ & needed;
    if (!toRender.isEmpty()) {
        QPainter scenePainter(&image_);
        scenePainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        scenePainter.setRenderHint(QPainter::Antialiasing, false);
        scenePainter.translate(-rect_.topLeft());
        for (const QRect& rect : toRender) {
            scenePainter.save();
            scenePainter.setClipRect(rect);
            render(scenePainter, rect);
            scenePainter.restore();
        }
        dirty_ -= toRender;
    }
    painter.drawImage(needed.topLeft(), image_, needed.translated(-rect_.topLeft()));
}

void SceneCache::MoveTo(const QRect& target) {
    const QRect kept = stale_ || image_.isNull() ? QRect() : rect_ & target;
    if (image_.size() == target.size()) {
        if (!kept.isEmpty()) {
            CopyArea(image_, rect_, image_, target, kept);
        }
    } else {
        QImage fresh(target.size(), QImage::Format_ARGB32_Premultiplied);
        if (!kept.isEmpty()) {
            CopyArea(image_, rect_, fresh, target, kept);
        }
        image_ = std::move(fresh);
    }
    QRegion dirty = QRegion(target) - kept;
    if (!kept.isEmpty()) {
        dirty += dirty_ & kept;
    }
    dirty_ = std::move(dirty);
    rect_ = target;
    stale_ = false;
}

}  // namespace zobl
