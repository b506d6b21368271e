#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QAbstractScrollArea>
#include <QColor>
#include <QCursor>
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QRect>

#include "core/drawing/ToolSession.h"
#include "gui/drawing/AreaTransfer.h"
#include "gui/drawing/HandScroll.h"
#include "gui/drawing/PixelViewport.h"
#include "gui/drawing/ToolDriver.h"
#include "gui/drawing/ViewOverlays.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/EditorServices.h"

class QMenu;
class QMimeData;
class QPainter;

namespace zobl {

class CClippy;

// The transform a mirror or rotate command stands for (ID_MIRROR_VERTICAL, ID_MIRROR_HORIZONTAL
// and the four ID_ROTATE_ commands), or none.
std::optional<PixelTransform> TransformOfCommand(CommandId id);

// What every window that edits pixels with the mouse tools does alike: it hands the mouse to
// its tools, shows status text and cursor per mouse mode, and answers the edit commands. It
// composes a viewport (scrolling, zoom, the kept scene), the overlays (previews, the marching
// frame, the special colours' marks) and the transfer of marked areas (clipboard, drag and
// drop).
//
// A window derives from it and supplies its geometry and scene (ViewportContent), its side of
// the transfers (AreaTransferTarget), its tools over the surface it draws on (Tools), its
// cursor and status text, and the transforms.
class PixelEditView : public QAbstractScrollArea,
                      protected ToolHost,
                      protected ViewportContent,
                      protected AreaTransferTarget {
    Q_OBJECT
public:
    static constexpr int kTicksPerFrameStep = ViewOverlays::kTicksPerFrameStep;
    using DragKind = AreaDragKind;
    static constexpr const char* kDragMimeType = AreaTransfer::kMimeType;
    // The drag data of an area (for tests and for the drag itself).
    static QMimeData* MakeDragData(std::uint8_t kind, const CClippy& clipboard) {
        return AreaTransfer::MakeDragData(kind, clipboard);
    }
    static constexpr int kFramePhaseCount = ViewOverlays::kFramePhaseCount;
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 10;

    int FramePhase() const noexcept { return overlays_.FramePhase(); }
    bool PreviewShown() const noexcept override { return overlays_.PreviewShown(); }
    // The scroll position: the view point at the window's top-left corner.
    QPoint ScrollPosition() const { return viewport_.ScrollPosition(); }
    void ScrollTo(QPoint position) { viewport_.ScrollTo(position); }
    // Paints the view's area (view coordinates) onto painter, whose origin is the view's: the
    // scene, then the marching frame and the preview. The window paints through it; so do the
    // tests and benchmarks, offscreen.
    void PaintView(QPainter& painter, const QRect& area);
    // What the kept picture of the scene covers (view coordinates): the window and a margin.
    QRect KeptSceneRect() const { return viewport_.KeptSceneRect(); }

    // The text of the status line's zoom pane ("Zoom 8").
    QString ZoomIndicatorText() const;
    // Shows context menus; tests put their own in place of QMenu::exec.
    using PopupRunner = std::function<void(QMenu& menu, const QPoint& globalPosition)>;
    void SetPopupRunner(PopupRunner runner) { popupRunner_ = std::move(runner); }

protected:
    PixelEditView(const EditorServices& services, QWidget* parent = nullptr);
    ~PixelEditView() override;

    const EditorServices& Services() const noexcept { return services_; }
    MouseMode CurrentMode() const;
    // The pixel under a window point.
    std::optional<PixelPoint> PixelAtWindow(QPoint windowPoint) const final {
        return viewport_.PixelAtWindow(windowPoint);
    }

    // ---- The scene: kept as a finished picture of the window's area, made afresh only where
    // InvalidateScene says it changed (and where it scrolls in).
    void InvalidateScene() { viewport_.InvalidateScene(); }
    void InvalidateScene(const QRect& viewRect) { viewport_.InvalidateScene(viewRect); }

    // ---- What the window shows and says.
    virtual QCursor ModeCursor(MouseMode mode) const = 0;
    // The status line over a pixel (a marking in progress shows its extent instead).
    virtual QString PixelStatus(PixelPoint p) const = 0;
    // The tick demand may have changed.
    virtual void NotifyTickDemand() = 0;
    // The window's mouse tools over what it draws on, which the shared mouse handling drives.
    virtual ToolDriver& Tools() = 0;

    // ---- Shared behaviour.
    void UpdateScrollSizes() { viewport_.UpdateScrollSizes(); }
    // Recomputes the extent and repaints; false when the zoom stays.
    bool SetZoomLevel(int zoom) { return viewport_.SetZoomLevel(zoom); }
    void ZoomKeepingPixel(int step, QPoint windowPoint) { viewport_.ZoomKeepingPixel(step, windowPoint); }
    // One tick of the main frame: auto-scroll while dragging, the frame every fourth tick.
    void OnTickStep();
    // The frame starts its steps afresh (a new marking).
    void RestartFrame() { overlays_.RestartFrame(); }
    void ShowStatusAndCursor(std::optional<PixelPoint> hit);
    void ShowCursor(std::optional<PixelPoint> hit);
    void InvalidateViewRect(const QRect& viewRect) { viewport_.InvalidateViewRect(viewRect); }
    void InvalidateViewRects(const std::vector<QRect>& viewRects) {
        viewport_.InvalidateViewRects(viewRects);
    }
    // The one-pixel lines around an area's squares.
    std::vector<QRect> FrameRects(const PixelRect& area) const { return overlays_.FrameRects(area); }
    // The special colours are marked from SHOWTRANSCOL on, in the colours of the settings.
    using MarkPoint = ViewOverlays::MarkPoint;
    bool ShowsSpecialMarks() const;
    void PaintSpecialMarks(QPainter& painter, const std::vector<MarkPoint>& pixels);
    // The pieces of picture the pixel and cell grids cover (none while nothing is shown).
    using GridArea = ViewOverlays::GridArea;
    virtual std::vector<GridArea> GridAreas() const = 0;

    // ---- Commands both editors answer alike: the clipboard ones, zoom in and out (keeping the
    // window's middle), the whole picture, select all, mirror and rotate. False for other commands.
    bool OnEditCommand(CommandId id);
    bool OnUpdateEditCommand(CommandId id, bool& enabled) const;
    // Mirrors or rotates the marked area, or everything when nothing is marked.
    virtual void RunTransform(PixelTransform transform) = 0;

    // ---- Dragging areas between windows, also of two running editors.
    void DragArea(DragKind kind, const PixelRect& area) { transfer_.DragArea(kind, area); }
    void DragMarkedArea() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Loads context menu `resource` afresh (localised) and shows its popup at globalPoint.
    void RunContextMenu(int resource, QPoint globalPoint);

    QPoint LastWindowPoint() const noexcept { return lastWindowPoint_; }
    void SetLastWindowPoint(QPoint point) { lastWindowPoint_ = point; }
    QPoint LastGlobalPoint() const noexcept { return lastGlobalPoint_; }
    void SetLastGlobalPoint(QPoint point) { lastGlobalPoint_ = point; }

    // ToolHost: what is the same for every window.
    DrawingColours Colours() const override;
    void SetColour(MouseButton button, PaletteIndex colour) override;
    void ReturnToPreviousMode() override;
    void Beep() override;
    void Zoom(int step) override;
    void ShowPreview(int flags, PixelPoint p, PixelPoint c) override;
    void ErasePreview() override;
    bool FillDiagonal() const override;
    bool SingleUndo() const override;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A quick second click is a click of its own (scenery windows give some modes more).
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // True, once, when this press or double-click is the second click of a quick pair whose first
    // click picked a colour with the pipette (at about the same point, within the double-click
    // time): the previous mode is back by then, and the second click must not act in it. A mode
    // chosen since then takes the click as usual.
    bool TakePipetteFollowUp(QPoint windowPoint);
    // True when this press or double-click starts moving the view instead of reaching the tools.
    bool TakePanPress(QMouseEvent* event);
    // Space held (the left button then moves the view) and plain arrow keys (scroll by one
    // magnified pixel); other keys go on to the scroll area.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Shift pressed or let go while a shape is dragged: true when it redrew the shape.
    bool FollowShift(const QKeyEvent& event, bool held);
    void focusOutEvent(QFocusEvent* event) override;
    // Space over the window while another widget has the focus moves the view as well, and must
    // not press that widget's button meanwhile.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // AreaTransferTarget: a drop's frame is the marking preview.
    void ShowDropFrame(const PixelRect& part) final;
    // The grids the settings switch on, over the scene.
    void PaintOverScene(QPainter& painter, const QRect& area) final;
    void HideDropFrame() final { ErasePreview(); }
    void AutoScroll();
    // The hand while Space is held or the view is moved, else the mode's cursor.
    void ShowHandOrModeCursor();

    const EditorServices& services_;
    PixelViewport viewport_;
    ViewOverlays overlays_;
    AreaTransfer transfer_;
    HandScroll hand_;
    QPoint lastWindowPoint_;
    QPoint lastGlobalPoint_;
    QElapsedTimer pipettePick_;  // since the last pick of the pipette
    MouseMode modeAfterPick_ = MouseMode::View;
    QPoint pickPoint_;
    bool cursorShown_ = false;
    std::optional<MouseMode> shownCursor_;  // the mode whose cursor is shown; none: the arrow
    std::unique_ptr<QMenu> contextMenu_;
    PopupRunner popupRunner_;
};

}  // namespace zobl
