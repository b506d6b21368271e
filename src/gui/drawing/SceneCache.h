#pragma once

#include <functional>

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>

class QPainter;

namespace zobl {

// The finished picture of the part of a scene around the window, so that a repaint is a copy.
// It holds the window's area plus kMargin on every side (cut to the scene), whatever the zoom:
// a window costs about its screen size, not its magnified picture. What scrolls in is rendered
// when it is painted. The picture's edges wrap around (a scene point lies at its coordinates
// modulo the picture's size), so the pixels kept never move: scrolling renders the new strip
// and copies nothing. A paint beyond the window (the whole scene offscreen) widens it for as
// long as it lasts; the next paint of the window alone narrows it again.
class SceneCache {
public:
    // Renders area (scene coordinates), every pixel of it; the painter is clipped to it.
    using Renderer = std::function<void(QPainter& painter, const QRect& area)>;
    // A step back after scrolling finds its pixels kept; at a quarter of a usual window it adds
    // about half of the window's own size.
    static constexpr int kMargin = 128;

    // All of it, or a part (scene coordinates), is to be rendered afresh.
    void Invalidate() { stale_ = true; }
    void Invalidate(const QRect& rect);

    // Paints area of the scene onto painter (scene coordinates) from the kept picture,
    // rendering first what it lacks; beyond extent it paints nothing. window: the scene's
    // area shown on screen.
    void Paint(QPainter& painter, const QRect& area, const QRect& window, QSize extent,
               const Renderer& render);

    // What the kept picture covers now (scene coordinates).
    QRect KeptRect() const noexcept { return rect_; }

private:
    // The kept picture covers target; what stays of the old one is kept, the rest is dirty.
    void MoveTo(const QRect& target);
    // The same in a picture of target's size.
    void Resize(const QRect& target);

    QImage image_;
    QRect rect_;
    QRegion dirty_;
    QSize extent_;
    bool stale_ = true;
};

}  // namespace zobl
