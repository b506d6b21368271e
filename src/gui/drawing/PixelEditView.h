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
#include <QRegion>

#include "core/drawing/ToolSession.h"

class QMenu;
class QMimeData;
class QPainter;

namespace zobl {

class CBug1App;
class CClippy;

// The transform a mirror or rotate command stands for (32792, 32793, 32795, 32797, 32798,
// 32803), or none.
std::optional<PixelTransform> TransformOfCommand(int id);

// What every window that edits pixels with the mouse tools does alike: it scrolls a magnified
// picture, zooms keeping the pixel under the pointer, shows the tools' inverted previews and
// the marching frame of the marked area, scrolls by itself while a drag leaves the window,
// marks the special colours, and shows status text and cursor per mouse mode. Painting is
// from state, so erasing a preview or a frame step is repainting its area.
//
// A window derives from it and supplies its geometry (where a pixel's square lies, what is
// under a point, how large it all is), its zoom, its picture, the marked area and its status
// text; it runs a ToolSession, for which this is the host.
class PixelEditView : public QAbstractScrollArea, protected ToolHost {
    Q_OBJECT
public:
    static constexpr int kTicksPerFrameStep = 4;
    enum class DragKind : std::uint8_t { Pixels = 0, Symbol = 1 };
    static constexpr const char* kDragMimeType = "application/x-zobl-ge-area";
    // The drag data of an area (for tests and for the drag itself).
    static QMimeData* MakeDragData(std::uint8_t kind, const CClippy& clipboard);
    static constexpr int kFramePhaseCount = 9;  // phases 0..8
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 10;

    int FramePhase() const noexcept { return framePhase_; }
    bool PreviewShown() const noexcept override { return preview_.has_value(); }
    // The scroll position: the view point at the window's top-left corner.
    QPoint ScrollPosition() const;
    void ScrollTo(QPoint position);
    // Paints the view's area (view coordinates) onto painter, whose origin is the view's: the
    // scene, then the marching frame and the preview. The window paints through it; so do the
    // tests and benchmarks, offscreen.
    void PaintView(QPainter& painter, const QRect& area);

    // Shows context menus; tests put their own in place of QMenu::exec.
    using PopupRunner = std::function<void(QMenu& menu, const QPoint& globalPosition)>;
    void SetPopupRunner(PopupRunner runner) { popupRunner_ = std::move(runner); }

protected:
    PixelEditView(CBug1App& app, QWidget* parent = nullptr);
    ~PixelEditView() override;

    CBug1App& App() const noexcept { return app_; }
    MouseMode CurrentMode() const;
    // The pixel under a window point.
    std::optional<PixelPoint> PixelAtWindow(QPoint windowPoint) const;

    // ---- The window's geometry, in view coordinates (scrolled: (0, 0) is the picture's corner).
    // The zoom x zoom square of a pixel.
    virtual QRect PixelSquare(PixelPoint p) const = 0;
    // The squares of a rectangle's corner pixels and everything between.
    virtual QRect AreaRect(const PixelRect& area) const = 0;
    virtual std::optional<PixelPoint> HitTestView(QPoint viewPoint) const = 0;
    virtual QSize Extent() const = 0;
    virtual int ZoomLevel() const = 0;
    // False when the zoom stays (out of range or equal).
    virtual bool ApplyZoom(int zoom) = 0;
    // After a zoom change beside the pixels: the view point that the old one becomes.
    virtual QPoint ZoomedViewPoint(QPoint oldViewPoint, int oldZoom, int newZoom) const;

    // ---- The scene: everything the window shows but the frame and the preview, kept as one
    // finished picture of the whole extent so that a repaint is a copy. It is made afresh only
    // where InvalidateScene says it changed.
    // Paints the scene's area (view coordinates), every pixel of it.
    virtual void RenderScene(QPainter& painter, const QRect& area) = 0;
    // Before every paint: a window may find its picture stale and invalidate the scene.
    virtual void PrepareScene() {}
    // Beyond the scene (a window larger than its picture).
    virtual QColor Background() const = 0;
    // All of the scene, or a part (view coordinates), is to be made afresh; repaints it.
    void InvalidateScene();
    void InvalidateScene(const QRect& viewRect);

    // ---- What the window shows and says.
    virtual QCursor ModeCursor(MouseMode mode) const = 0;
    // The status line over a pixel (a marking in progress shows its extent instead).
    virtual QString PixelStatus(PixelPoint p) const = 0;
    // The marked area whose frame marches, if any.
    virtual std::optional<PixelRect> FramedArea() const = 0;
    // A drag of the tools is under way (it wants ticks and scrolls by itself).
    virtual bool Dragging() const = 0;
    // The marking being drawn, as press and current pixel, if any.
    virtual std::optional<std::pair<PixelPoint, PixelPoint>> MarkingInProgress() const = 0;
    // The tick demand may have changed.
    virtual void NotifyTickDemand() = 0;

    // ---- The window's tool session, which the shared mouse handling drives. Each returns
    // false when there is nothing to draw on (the press is then not taken).
    virtual MouseButton ToolButtonDown() const = 0;
    virtual bool ToolPress(MouseButton button, std::optional<PixelPoint> hit) = 0;
    virtual void ToolMove(std::optional<PixelPoint> hit) = 0;
    virtual bool ToolRelease(MouseButton button, std::optional<PixelPoint> hit, bool ctrl) = 0;
    // No release will come (the window lost what it drew on).
    virtual void ToolCancel() = 0;

    // ---- Shared behaviour.
    void UpdateScrollSizes();
    // Recomputes the extent and repaints; false when the zoom stays.
    bool SetZoomLevel(int zoom);
    void ZoomKeepingPixel(int step, QPoint windowPoint);
    // One tick of the main frame: auto-scroll while dragging, the frame every fourth tick.
    void OnTickStep();
    // The frame starts its steps afresh (a new marking).
    void RestartFrame() { tickCounter_ = 0; }
    void ShowStatusAndCursor(std::optional<PixelPoint> hit);
    void ShowCursor(std::optional<PixelPoint> hit);
    void InvalidateViewRect(const QRect& viewRect);
    void InvalidateViewRects(const std::vector<QRect>& viewRects);
    // The one-pixel lines around an area's squares.
    std::vector<QRect> FrameRects(const PixelRect& area) const;
    // The marching frame and the preview on top of the picture (painter in view coordinates).
    void PaintOverlays(QPainter& painter, const QRect& area);
    // One screen pixel per special-colour pixel (56, 97, 99) at the centre of its square, in
    // the colours of the settings; pixels: (point, value) pairs the window collected.
    struct MarkPoint {
        PixelPoint pixel;
        PaletteIndex value;
    };
    bool ShowsSpecialMarks() const;
    void PaintSpecialMarks(QPainter& painter, const std::vector<MarkPoint>& pixels);

    // ---- Copy and paste of the marked area: "Kopieren" (57634, also 32829), "Einfügen (Intern)"
    // (57637, also 32830) and "Einfügen: MS-Windows" (32790). Copy fills the editor's clipboard
    // and puts the picture in the current colours on the system clipboard; pasting the system
    // clipboard maps its image to ordinary colours first.
    bool OnClipboardCommand(int id);
    bool OnUpdateClipboardCommand(int id, bool& enabled) const;
    // Every command both editors answer alike: the clipboard ones, zoom in and out (keeping the
    // window's middle), select all, mirror and rotate. False for other commands.
    bool OnEditCommand(int id);
    bool OnUpdateEditCommand(int id, bool& enabled) const;
    // All pixels of the window (nothing when it shows none).
    virtual PixelRect WholeArea() const = 0;
    // Mirrors or rotates the marked area, or everything when nothing is marked.
    virtual void RunTransform(PixelTransform transform) = 0;
    // The window's side: the marked pixels into the clipboard, the marked part of its picture,
    // and the clipboard into the mark (one undo step, SINGLEUNDO, the views told).
    virtual void CopyMarked(CClippy& clipboard, const PixelRect& mark) = 0;
    virtual QImage MarkedPicture(const PixelRect& mark) const = 0;
    virtual void PasteInto(const CClippy& clipboard, const PixelRect& mark) = 0;

    // ---- Dragging areas between windows, also of two running editors: the data travels in the
    // drag itself under this program's own type (the kind, then the clipboard file's bytes).
    // The marked pixels of area onto the clipboard (and its file), then a drag of them.
    void DragArea(DragKind kind, const PixelRect& area);
    void DragMarkedArea() override;
    // Where a dropped area of kind starts when the pointer is over hit (symbols snap to cells).
    virtual PixelPoint DropOrigin(PixelPoint hit, DragKind kind) const;
    // The part of a dropped area that the window takes: it is shown, marked and pasted into
    // (pixel for pixel, so the rest of the area falls away). None refuses the drop. Here the
    // whole area or nothing, as the scenery view takes it.
    virtual std::optional<PixelRect> DropPart(const PixelRect& area) const;
    // Before a drop pastes into area (the scenery view adds a missing row).
    virtual void PrepareDrop(const PixelRect& /*area*/, DragKind /*kind*/) {}
    // After it: the marked area is the dropped one (a symbol's is cleared again).
    virtual void SetMarkedPixels(std::optional<PixelRect> area) = 0;
    // Brings the window's frame to the top while something is dragged over it.
    virtual void BringToFront() {}
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
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // What an inverted preview or the marking frame shows: the tool's flags between P and C.
    struct Preview {
        int flags = 0;
        PixelPoint p;
        PixelPoint c;
    };
    std::vector<QRect> PreviewRects(const Preview& preview) const;
    void PaintMarchingFrame(QPainter& painter, const QRect& area, const QRect& frame);
    void AutoScroll();

    CBug1App& app_;
    std::optional<Preview> preview_;
    QPoint lastWindowPoint_;
    QPoint lastGlobalPoint_;
    QElapsedTimer pipettePick_;  // since the last pick of the pipette
    MouseMode modeAfterPick_ = MouseMode::View;
    QPoint pickPoint_;
    int tickCounter_ = 0;
    int framePhase_ = kFramePhaseCount - 1;
    int wheelRemainder_ = 0;
    int shownCursor_ = -2;  // mode of the cursor shown, -1 the arrow
    // The drop preview shown: the whole dropped area and the part the window takes.
    struct DropPreview {
        PixelRect area;
        PixelRect part;
    };
    std::optional<DropPreview> drop_;
    QImage scene_;
    QRegion sceneDirty_;
    bool sceneStale_ = true;  // all of it
    std::unique_ptr<QMenu> contextMenu_;
    PopupRunner popupRunner_;
};

}  // namespace zobl
