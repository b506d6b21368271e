#include "gui/drawing/SceneCache.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <QPainter>

namespace zobl {

namespace {

constexpr int kBytesPerPixel = 4;

int Wrapped(int value, int length) {
    return ((value % length) + length) % length;
}

// The parts of rect (scene coordinates) that lie unbroken in a picture of size whose edges
// wrap around, each with where it starts in the picture: at most four, as rect is no larger.
template <typename F>
void ForEachPiece(const QRect& rect, QSize size, const F& piece) {
    const auto split = [](int from, int length, int wrap, int(&start)[2], int(&at)[2], int(&extent)[2]) {
        at[0] = Wrapped(from, wrap);
        extent[0] = std::min(length, wrap - at[0]);
        start[0] = from;
        at[1] = 0;
        extent[1] = length - extent[0];
        start[1] = from + extent[0];
    };
    int xs[2], xAt[2], widths[2], ys[2], yAt[2], heights[2];
    split(rect.left(), rect.width(), size.width(), xs, xAt, widths);
    split(rect.top(), rect.height(), size.height(), ys, yAt, heights);
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
            if (widths[i] > 0 && heights[j] > 0) {
                piece(QRect(xs[i], ys[j], widths[i], heights[j]), QPoint(xAt[i], yAt[j]));
            }
        }
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
    const QSize size = image_.size();
    // A larger window or a paint beyond it needs more room; a smaller window, or the end of
    // such a paint, less. Near the scene's edges the margin is cut, which the room keeps.
    const bool fits = target.width() <= size.width() && target.height() <= size.height();
    const bool roomy = size.width() > target.width() + kMargin || size.height() > target.height() + kMargin;
    if (!fits || roomy) {
        Resize(target);
    } else if (stale_ || !rect_.contains(needed)) {
        MoveTo(target);
    }
    const QRegion toRender = dirty_ & needed;
    if (!toRender.isEmpty()) {
        QPainter scenePainter(&image_);
        scenePainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        scenePainter.setRenderHint(QPainter::Antialiasing, false);
        for (const QRect& rect : toRender) {
            ForEachPiece(rect, image_.size(), [&](const QRect& piece, QPoint at) {
                scenePainter.save();
                scenePainter.translate(at - piece.topLeft());
                scenePainter.setClipRect(piece);
                render(scenePainter, piece);
                scenePainter.restore();
            });
        }
        dirty_ -= toRender;
    }
    ForEachPiece(needed, image_.size(), [&](const QRect& piece, QPoint at) {
        painter.drawImage(piece.topLeft(), image_, QRect(at, piece.size()));
    });
}

void SceneCache::MoveTo(const QRect& target) {
    // The pixels kept stay where they are in the picture; only what is new is dirty.
    const QRect kept = stale_ ? QRect() : rect_ & target;
    QRegion dirty = QRegion(target) - kept;
    if (!kept.isEmpty()) {
        dirty += dirty_ & kept;
    }
    dirty_ = std::move(dirty);
    rect_ = target;
    stale_ = false;
}

void SceneCache::Resize(const QRect& target) {
    QImage fresh(target.size(), QImage::Format_ARGB32_Premultiplied);
    const QRect kept = stale_ || image_.isNull() ? QRect() : rect_ & target;
    if (!kept.isEmpty()) {
        ForEachPiece(kept, image_.size(), [&](const QRect& from, QPoint fromAt) {
            ForEachPiece(from, fresh.size(), [&](const QRect& to, QPoint toAt) {
                const QPoint source = fromAt + (to.topLeft() - from.topLeft());
                for (int y = 0; y < to.height(); ++y) {
                    std::memcpy(
                        fresh.scanLine(toAt.y() + y) + std::size_t(toAt.x()) * kBytesPerPixel,
                        image_.constScanLine(source.y() + y) + std::size_t(source.x()) * kBytesPerPixel,
                        std::size_t(to.width()) * kBytesPerPixel);
                }
            });
        });
    }
    image_ = std::move(fresh);
    MoveTo(target);
}

}  // namespace zobl
