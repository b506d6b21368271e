#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QAbstractScrollArea>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QStaticText>

#include "core/app/MouseMode.h"
#include "core/drawing/ToolSession.h"
#include "core/scenery/SceneryGeometry.h"
#include "core/scenery/SceneryTools.h"
#include "core/scenery/SceneryTransforms.h"
#include "core/undo/UBStack.h"
#include "gui/framework/View.h"

class QMenu;

namespace zobl {

class CBug1App;
class CGSDoc;

// The editor view of a scenery graphic: the 36 symbols side by side with their numbers, only
// their present rows, enlarged by the zoom 1..10, special colours marked at high zoom. It turns
// mouse input into edits of the ten mouse modes, shows the tools' previews and the marching
// frame of the marked area, and runs the transforms on the marked area (or everything).
//
// Everything drawn on screen is painted from state in paintEvent: the previews and the frame
// are inverted or patterned on top of the picture, so erasing one is repainting its area.
class CGSView : public QAbstractScrollArea, public View, private ToolHost {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 2090;
    static constexpr int kWorkStackStep = 2048;
    static constexpr int kTicksPerFrameStep = 4;
    static constexpr int kFramePhaseCount = 9;  // phases 0..8

    CGSView(CGSDoc& document, CBug1App& app);
    ~CGSView() override;

    QWidget* Widget() override { return this; }
    void OnInitialUpdate() override;
    void OnUpdate(View* sender, int hint, HintRecord* record) override;
    bool WantsTicks() const override;
    void OnActivateView(bool active) override;
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

    const SceneryGeometry& Geometry() const noexcept { return geometry_; }
    int Zoom() const noexcept { return geometry_.Zoom(); }
    // Recomputes the extent and repaints; false when the zoom stays (out of range or equal).
    bool SetZoom(int zoom);
    // The scroll position: the view point at the window's top-left corner.
    QPoint ScrollPosition() const;
    void ScrollTo(QPoint position);
    // The desktop record puts a window back as it was.
    void RestoreZoomAndScroll(int zoom, QPoint position);

    const MarkedArea& Marked() const noexcept { return marked_; }
    void SetMarkedArea(const MarkedArea& area);
    // Nothing marked any more; repaints the whole view at once.
    void ClearMarkedArea();
    int FramePhase() const noexcept { return framePhase_; }
    bool PreviewShown() const noexcept override { return preview_.has_value(); }
    bool Dragging() const noexcept { return tools_.Active(); }

    // Window (viewport) coordinates of the centre of a pixel's square, and the reverse.
    QPoint WindowPointOf(PixelAddress address) const;
    std::optional<PixelAddress> HitTestWindow(QPoint windowPoint) const;

    // Paints the view's area (view coordinates) onto painter, whose origin is the view's. The
    // window paints through it; so do the benchmarks, offscreen.
    void PaintView(QPainter& painter, const QRect& area);

    // Shows the context menu; tests put their own in place of QMenu::exec.
    using PopupRunner = std::function<void(QMenu& menu, const QPoint& globalPosition)>;
    void SetPopupRunner(PopupRunner runner) { popupRunner_ = std::move(runner); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What an inverted preview or the marking frame shows: the tool's flags between P and C.
    struct Preview {
        int flags = 0;
        PixelPoint p;
        PixelPoint c;
    };

    CGSDoc* Doc() const { return document_.data(); }
    EditContext Context(MouseMode mode) const;
    // The store as the tools' surface; what an edit changed reaches every view.
    SceneryToolSurface ToolSurface();

    // What the mouse tools ask of the window.
    DrawingColours Colours() const override;
    void SetColour(MouseButton button, PaletteIndex colour) override;
    void ReturnToPreviousMode() override;
    void Beep() override;
    void Zoom(int step) override;
    void ClearMark() override { ClearMarkedArea(); }
    bool StartsMarkDrag(PixelPoint p) const override { return marked_.StartsDrag(p); }
    void SetMark(PixelPoint a, PixelPoint b) override { SetMarkedArea(MarkedArea::Between(a, b)); }
    void ShowPreview(int flags, PixelPoint p, PixelPoint c) override;
    void ErasePreview() override;
    void ShowContextMenu(std::optional<PixelPoint> at) override;
    bool FillDiagonal() const override;
    bool SingleUndo() const override;
    MouseMode CurrentMode() const;

    void ZoomKeepingPixel(int step, std::optional<PixelAddress> hit, QPoint windowPoint);
    void ShowStatusAndCursor(std::optional<PixelAddress> hit);
    void ShowCursor(std::optional<PixelAddress> hit);
    void ShowContextMenuAt(std::optional<PixelAddress> hit, QPoint globalPoint);
    void RunTransform(SceneryTransform transform);
    void OnTick();
    void AutoScroll();
    void NotifyTickDemand();

    std::vector<QRect> PreviewRects(const Preview& preview) const;
    std::vector<QRect> FrameRects(const PixelRect& area) const;
    void InvalidateViewRect(const QRect& viewRect);
    void InvalidateViewRects(const std::vector<QRect>& viewRects);

    void UpdateScrollSizes();
    // Keeps the colour picture of the display pixels that the painting scales: an 8-bit
    // picture costs several times as much to stretch.
    void RefreshPicture(const PixelRect* area);
    void PaintSpecialMarks(QPainter& painter, const QRect& area);
    void PaintMarchingFrame(QPainter& painter, const QRect& area);

    CBug1App& app_;
    QPointer<CGSDoc> document_;
    SceneryGeometry geometry_;
    MarkedArea marked_;
    ToolSession<SceneryToolSurface> tools_{*this};
    std::optional<Preview> preview_;
    QPoint lastWindowPoint_;
    QPoint lastGlobalPoint_;
    int tickCounter_ = 0;
    int framePhase_ = kFramePhaseCount - 1;
    bool firstUpdatePending_ = true;
    bool tickDemand_ = false;
    bool contextHit_ = false;
    int contextSymbol_ = 0;
    int contextRow_ = 0;
    int wheelRemainder_ = 0;
    int shownCursor_ = -2;  // mode of the cursor shown, -1 the arrow
    std::unique_ptr<CUBStack> workStack_;
    std::unique_ptr<QMenu> contextMenu_;
    PopupRunner popupRunner_;
    std::vector<QStaticText> labels_;  // "01" .. "36", laid out in labelFont_
    QFont labelFont_;
    QImage picture_;  // ARGB32 premultiplied copy of the display pixels
    std::uint64_t pictureRevision_ = 0;
    const void* pictureSource_ = nullptr;
};

}  // namespace zobl
