#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QImage>
#include <QPointer>

#include "core/vehicles/CarViewCanvas.h"
#include "core/vehicles/SteamProperties.h"
#include "gui/drawing/PixelEditView.h"
#include "gui/framework/CommandIds.h"

class QMenu;

namespace zobl {

struct EditorServices;
class CFGSDoc;
class CUBStack;

// The car editor: one view of one car magnified (zoom 1..10), drawn with the ten mouse tools
// and both buttons. Beside the picture it shows the segment borders and steam markers from
// SHOWBORDERS on, and special colours are marked from SHOWTRANSCOL on. It keeps the marked
// area for select all, mirror and rotate, and remembers the band of the last right click for
// the steam properties.
class CCarEdi : public PixelEditView {
    Q_OBJECT
public:
    static constexpr int kWorkStackStep = 2048;
    static constexpr int kMarkerMargin = 14;  // room for the two marker bars beside the picture
    static constexpr int kStackError = 103;

    explicit CCarEdi(const EditorServices& services, QWidget* parent = nullptr);
    ~CCarEdi() override;

    // Shows view `view` (0..3) of car (set, car) of doc, or nothing with doc null. The marked
    // area is kept when it fits the new view and cut to it otherwise.
    void SetView(CFGSDoc* doc, int set, int car, int view);
    void ClearView() { SetView(nullptr, -1, -1, -1); }
    bool ShowsView() const;
    int ShownView() const noexcept { return view_; }
    int ShownSet() const noexcept { return set_; }
    int ShownCar() const noexcept { return car_; }
    // The picture follows the pixels (after any change of the document or the colours).
    void Refresh();

    int Zoom() const noexcept { return zoom_; }
    bool SetZoom(int zoom) { return SetZoomLevel(zoom); }
    std::optional<PixelRect> MarkRect() const { return mark_; }
    void SetMarkRect(std::optional<PixelRect> mark);
    ContextSegment GetContextSegment() const noexcept { return contextSegment_; }
    void SetContextSegment(ContextSegment segment) { contextSegment_ = segment; }
    bool Dragging() const { return tools_.Active(); }
    bool WantsTicks() const { return tools_.Active() || mark_.has_value(); }
    // Timer step of the main frame (hint 2).
    void OnTick() { OnTickStep(); }

    // The commands the vehicle view hands to its car editor: zoom, select all, mirror, rotate.
    bool OnCommand(CommandId id);
    bool OnUpdateCommand(CommandId id, bool& enabled) const;

    // The window point of the centre of a pixel's square.
    QPoint WindowPointOf(PixelPoint p) const;

    // Told when the editor starts or stops needing the tick.
    void SetTickDemandChanged(std::function<void()> changed) { tickDemandChanged_ = std::move(changed); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    using PixelEditView::Zoom;

    int Width() const;
    int Height() const;
    std::optional<CarToolSurface> ToolSurface();
    // After a press or release of the tools: the document's state may have changed.
    void ToolClicked();

    QRect PixelSquare(PixelPoint p) const override;
    QRect AreaRect(const PixelRect& area) const override;
    std::optional<PixelPoint> HitTestView(QPoint viewPoint) const override;
    QSize ExtentAt(int zoom) const override;
    int ZoomLevel() const override { return zoom_; }
    bool ApplyZoom(int zoom) override;
    QCursor ModeCursor(MouseMode mode) const override;
    QString PixelStatus(PixelPoint p) const override;
    std::optional<PixelRect> FramedArea() const override { return mark_; }
    void NotifyTickDemand() override;
    ToolDriver& Tools() override { return tools_; }

    void ClearMark() override { SetMarkRect(std::nullopt); }
    bool StartsMarkDrag(PixelPoint p) const override { return mark_ && mark_->Contains(p); }
    void SetMark(PixelPoint a, PixelPoint b) override;
    void ShowContextMenu(std::optional<PixelPoint> at) override;
    void CopyMarked(CClippy& clipboard, const PixelRect& mark) override;
    PixelRect WholeArea() const override;
    void SetMarkedPixels(std::optional<PixelRect> area) override { SetMarkRect(area); }
    // The part of the area inside the view: a drop at the edge is cut, not refused.
    std::optional<PixelRect> DropPart(const PixelRect& area) const override;
    void BringToFront() override;
    QImage MarkedPicture(const PixelRect& mark) const override;
    void PasteInto(const CClippy& clipboard, const PixelRect& mark) override;

    void RunTransform(PixelTransform transform) override;
    // The magnified picture with borders, steam markers and special-colour marks.
    void RenderScene(QPainter& painter, const QRect& area) override;
    // The car view, in cells of one segment: 8 columns of a side view, 4 rows of an end view.
    std::vector<GridArea> GridAreas() const override;
    QColor Background() const override;
    void PaintBordersAndMarkers(QPainter& painter);
    void PaintMarks(QPainter& painter);

    QPointer<CFGSDoc> doc_;
    int set_ = -1;
    int car_ = -1;
    int view_ = -1;
    int zoom_ = kMinZoom;
    std::optional<PixelRect> mark_;
    ContextSegment contextSegment_{0, 0};
    SurfaceTools<CarToolSurface> tools_{*this, ToolRules{true, true}, [this] { return ToolSurface(); },
                                        [this] { ToolClicked(); }};
    std::unique_ptr<CUBStack> workStack_;
    QImage picture_;  // the view's pixels in the current colours
    bool tickDemand_ = false;
    std::function<void()> tickDemandChanged_;
};

}  // namespace zobl
