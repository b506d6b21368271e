#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QStaticText>

#include "core/drawing/MouseMode.h"
#include "core/drawing/ToolSession.h"
#include "core/drawing/UBStack.h"
#include "core/scenery/SceneryGeometry.h"
#include "core/scenery/SceneryTools.h"
#include "core/scenery/SceneryTransforms.h"
#include "gui/drawing/PixelEditView.h"
#include "gui/framework/View.h"

class QMenu;

namespace zobl {

struct EditorServices;
class CGSDoc;

// The editor view of a scenery graphic: the 36 symbols side by side with their numbers, only
// their present rows, enlarged by the zoom 1..10, special colours marked at high zoom. It turns
// mouse input into edits of the ten mouse modes, shows the tools' previews and the marching
// frame of the marked area, and runs the transforms on the marked area (or everything).
class CGSView : public PixelEditView, public View {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 2090;
    static constexpr int kWorkStackStep = 2048;

    CGSView(CGSDoc& document, const EditorServices& services);
    ~CGSView() override;

    QWidget* Widget() override { return this; }
    void OnInitialUpdate() override;
    void OnUpdate(View* sender, int hint, HintRecord* record) override;
    bool WantsTicks() const override;
    void OnActivateView(bool active) override;
    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;
    std::optional<ViewState> SaveViewState() const override;
    void RestoreViewState(const ViewState& state) override;

    const SceneryGeometry& Geometry() const noexcept { return geometry_; }
    int Zoom() const noexcept { return geometry_.Zoom(); }
    // Recomputes the extent and repaints; false when the zoom stays (out of range or equal).
    bool SetZoom(int zoom) { return SetZoomLevel(zoom); }
    // The desktop record puts a window back as it was.
    void RestoreZoomAndScroll(int zoom, QPoint position);

    const MarkedArea& Marked() const noexcept { return marked_; }
    void SetMarkedArea(const MarkedArea& area);
    // Nothing marked any more; repaints the whole view at once.
    void ClearMarkedArea();
    bool Dragging() const override { return tools_.Active(); }

    // Window (viewport) coordinates of the centre of a pixel's square, and the reverse.
    QPoint WindowPointOf(PixelAddress address) const;
    std::optional<PixelAddress> HitTestWindow(QPoint windowPoint) const;

    QSize sizeHint() const override;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    using PixelEditView::Zoom;

    CGSDoc* Doc() const { return document_.data(); }
    EditContext Context(MouseMode mode) const;
    // The store as the tools' surface, none without a document; what an edit changed reaches
    // every view.
    std::optional<SceneryToolSurface> ToolSurface();
    // After a press or release of the tools: the document's state may have changed.
    void ToolClicked();

    // The window's geometry and what it shows.
    QRect PixelSquare(PixelPoint p) const override;
    QRect AreaRect(const PixelRect& area) const override;
    std::optional<PixelPoint> HitTestView(QPoint viewPoint) const override;
    QSize ExtentAt(int zoom) const override;
    int ZoomLevel() const override { return geometry_.Zoom(); }
    bool ApplyZoom(int zoom) override { return geometry_.SetZoom(zoom); }
    QPoint ZoomedViewPoint(QPoint oldViewPoint, int oldZoom, int newZoom) const override;
    QCursor ModeCursor(MouseMode mode) const override;
    QString PixelStatus(PixelPoint p) const override;
    std::optional<PixelRect> FramedArea() const override;
    void NotifyTickDemand() override;
    ToolDriver& Tools() override { return tools_; }

    // What the mouse tools ask of this window in particular.
    void ClearMark() override { ClearMarkedArea(); }
    bool StartsMarkDrag(PixelPoint p) const override { return marked_.StartsDrag(p); }
    void SetMark(PixelPoint a, PixelPoint b) override { SetMarkedArea(MarkedArea::Between(a, b)); }
    void ShowContextMenu(std::optional<PixelPoint> at) override;
    void CopyMarked(CClippy& clipboard, const PixelRect& mark) override;
    bool DragSymbolAt(PixelPoint p) override;
    PixelPoint DropOrigin(PixelPoint hit, DragKind kind) const override;
    PixelRect WholeArea() const override { return WholeStoreRect(); }
    void PrepareDrop(const PixelRect& area, DragKind kind) override;
    void SetMarkedPixels(std::optional<PixelRect> area) override;
    void BringToFront() override;
    QImage MarkedPicture(const PixelRect& mark) const override;
    void PasteInto(const CClippy& clipboard, const PixelRect& mark) override;

    void ShowContextMenuAt(std::optional<PixelAddress> hit, QPoint globalPoint);
    void RunTransform(PixelTransform transform) override;
    // Keeps the colour picture of the display pixels that the painting scales: an 8-bit
    // picture costs several times as much to stretch.
    void RefreshPicture(const PixelRect* area);
    void PaintSceneryMarks(QPainter& painter, const QRect& area);
    // The symbols with their numbers and marks; the picture follows pixels and colours first.
    void RenderScene(QPainter& painter, const QRect& area) override;
    // Each symbol's present rows, in cells of 32 x 16.
    std::vector<GridArea> GridAreas() const override;
    void PrepareScene() override;
    QColor Background() const override;

    QPointer<CGSDoc> document_;
    SceneryGeometry geometry_;
    MarkedArea marked_;
    SurfaceTools<SceneryToolSurface> tools_{
        *this, {}, [this] { return ToolSurface(); }, [this] { ToolClicked(); }};
    bool firstUpdatePending_ = true;
    bool tickDemand_ = false;
    bool contextHit_ = false;
    int contextSymbol_ = 0;
    int contextRow_ = 0;
    std::unique_ptr<CUBStack> workStack_;
    std::vector<QStaticText> labels_;  // "01" .. "36", laid out in labelFont_
    QFont labelFont_;
    QImage picture_;  // ARGB32 premultiplied copy of the display pixels
    std::uint64_t pictureRevision_ = 0;
    const void* pictureSource_ = nullptr;
};

}  // namespace zobl
