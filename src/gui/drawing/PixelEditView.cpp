#include "gui/drawing/PixelEditView.h"

#include <algorithm>
#include <cstdlib>

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "core/clipboard/Clippy.h"
#include "core/scenery/SceneryGeometry.h"
#include "gui/app/Bug1App.h"
#include "gui/app/MainFrame.h"
#include "gui/drawing/SceneryCursors.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/FrameTexts.h"
#include "gui/framework/MenuResources.h"
#include "gui/framework/MessageService.h"
#include "gui/palette/PaletteDisplay.h"

namespace zobl {

namespace {

// Auto-scrolling moves this many document pixels per tick; the wheel and the arrow keys
// scroll by the scroll bars' own line step.
constexpr int kAutoScrollPixels = 2;
constexpr int kLineStepPixels = 16;
constexpr int kWheelNotch = 120;
constexpr int kEmptyClipboardError = 114;
constexpr int kUnreadablePictureError = 130;

// Neighbouring squares of a preview in one line or column become one rectangle.
void AppendSquare(std::vector<QRect>& rects, const QRect& square) {
    if (!rects.empty()) {
        QRect& last = rects.back();
        if (last.top() == square.top() && last.height() == square.height() &&
            last.right() + 1 == square.left()) {
            last.setRight(square.right());
            return;
        }
        if (last.left() == square.left() && last.width() == square.width() &&
            last.bottom() + 1 == square.top()) {
            last.setBottom(square.bottom());
            return;
        }
    }
    rects.push_back(square);
}

}  // namespace

std::optional<PixelTransform> TransformOfCommand(int id) {
    switch (id) {
        case ID_MIRROR_VERTICAL:
            return PixelTransform::MirrorVertically;
        case ID_MIRROR_HORIZONTAL:
            return PixelTransform::MirrorHorizontally;
        case ID_ROTATE_DOWN:
            return PixelTransform::ShiftDown;
        case ID_ROTATE_UP:
            return PixelTransform::ShiftUp;
        case ID_ROTATE_RIGHT:
            return PixelTransform::ShiftRight;
        case ID_ROTATE_LEFT:
            return PixelTransform::ShiftLeft;
        default:
            return std::nullopt;
    }
}

PixelEditView::PixelEditView(CBug1App& app, QWidget* parent) : QAbstractScrollArea(parent), app_(app) {
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    // Painting covers every pixel it is asked for; Qt need not erase first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    popupRunner_ = [](QMenu& menu, const QPoint& globalPosition) { menu.exec(globalPosition); };
    // A key or the pipette may change the mode while the pointer rests on the pixels.
    connect(&app_, &CBug1App::MouseModeChanged, this,
            [this] { ShowCursor(PixelAtWindow(lastWindowPoint_)); });
}

PixelEditView::~PixelEditView() = default;

MouseMode PixelEditView::CurrentMode() const {
    return app_.GetMouseMode();
}

// ---- Scrolling and zoom -------------------------------------------------------------------------

QPoint PixelEditView::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void PixelEditView::ScrollTo(QPoint position) {
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
}

std::optional<PixelPoint> PixelEditView::PixelAtWindow(QPoint windowPoint) const {
    return HitTestView(windowPoint + ScrollPosition());
}

void PixelEditView::UpdateScrollSizes() {
    const QSize window = viewport()->size();
    const QSize extent = Extent();
    const int line = kLineStepPixels * ZoomLevel();
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, extent.width() - window.width()));
    horizontal->setPageStep(std::max(1, window.width()));
    horizontal->setSingleStep(line);
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, extent.height() - window.height()));
    vertical->setPageStep(std::max(1, window.height()));
    vertical->setSingleStep(line);
}

bool PixelEditView::SetZoomLevel(int zoom) {
    if (!ApplyZoom(zoom)) {
        return false;
    }
    UpdateScrollSizes();
    InvalidateScene();
    if (CMainFrame* frame = app_.MainFrame()) {
        frame->Router().RequestUpdate();  // zoom in and out may have changed their states
    }
    return true;
}

QPoint PixelEditView::ZoomedViewPoint(QPoint oldViewPoint, int oldZoom, int newZoom) const {
    return oldViewPoint * newZoom / oldZoom;
}

void PixelEditView::ZoomKeepingPixel(int step, QPoint windowPoint) {
    const std::optional<PixelPoint> hit = PixelAtWindow(windowPoint);
    const int oldZoom = ZoomLevel();
    const QPoint oldView = windowPoint + ScrollPosition();
    if (!SetZoomLevel(oldZoom + step)) {
        return;
    }
    if (hit) {
        // The pixel's square lands under the pointer again.
        ScrollTo(PixelSquare(*hit).topLeft() - windowPoint);
    } else {
        ScrollTo(ZoomedViewPoint(oldView, oldZoom, ZoomLevel()) - windowPoint);
    }
}

void PixelEditView::Zoom(int step) {
    ZoomKeepingPixel(step, lastWindowPoint_);
}

void PixelEditView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollSizes();
}

void PixelEditView::scrollContentsBy(int dx, int dy) {
    viewport()->scroll(dx, dy);
}

void PixelEditView::wheelEvent(QWheelEvent* event) {
    if ((event->modifiers() & Qt::ControlModifier) == 0) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // Ctrl and the wheel zoom as the zoom tool does, one step per notch.
    wheelRemainder_ += event->angleDelta().y();
    const QPoint point = event->position().toPoint();
    while (std::abs(wheelRemainder_) >= kWheelNotch) {
        const int step = wheelRemainder_ > 0 ? 1 : -1;
        wheelRemainder_ -= step * kWheelNotch;
        ZoomKeepingPixel(step, point);
    }
    event->accept();
}

void PixelEditView::InvalidateScene() {
    sceneStale_ = true;
    sceneDirty_ = QRegion();
    viewport()->update();
}

void PixelEditView::InvalidateScene(const QRect& viewRect) {
    if (!sceneStale_) {
        sceneDirty_ += viewRect;
    }
    InvalidateViewRect(viewRect);
}

void PixelEditView::PaintView(QPainter& painter, const QRect& area) {
    PrepareScene();
    const QSize extent = Extent().expandedTo(QSize(1, 1));
    if (scene_.size() != extent) {
        scene_ = QImage(extent, QImage::Format_ARGB32_Premultiplied);
        sceneStale_ = true;
    }
    if (sceneStale_) {
        sceneDirty_ = QRegion(scene_.rect());
        sceneStale_ = false;
    }
    if (!sceneDirty_.isEmpty()) {
        QPainter scenePainter(&scene_);
        scenePainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        scenePainter.setRenderHint(QPainter::Antialiasing, false);
        for (const QRect& rect : sceneDirty_.intersected(scene_.rect())) {
            scenePainter.save();
            scenePainter.setClipRect(rect);
            RenderScene(scenePainter, rect);
            scenePainter.restore();
        }
        sceneDirty_ = QRegion();
    }
    const QRect inScene = area.intersected(scene_.rect());
    if (!inScene.isEmpty()) {
        painter.drawImage(inScene.topLeft(), scene_, inScene);
    }
    for (const QRect& rect : QRegion(area) - scene_.rect()) {
        painter.fillRect(rect, Background());
    }
    painter.save();
    painter.setClipRect(area);
    PaintOverlays(painter, area);
    painter.restore();
}

void PixelEditView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPoint scroll = ScrollPosition();
    painter.translate(-scroll);
    PaintView(painter, event->rect().translated(scroll));
}

void PixelEditView::RunContextMenu(int resource, QPoint globalPoint) {
    CMainFrame* frame = app_.MainFrame();
    if (frame == nullptr) {
        return;
    }
    // Context menus are localised each time they are loaded.
    contextMenu_ = BuildMenu(resource, frame->Router(), app_.GetLanguageManager());
    QMenu* popup = ContextPopup(contextMenu_.get());
    if (popup == nullptr) {
        return;
    }
    frame->Router().UpdateMenu(popup);
    popupRunner_(*popup, globalPoint);
}

// ---- Copy and paste -------------------------------------------------------------------------------

bool PixelEditView::OnClipboardCommand(int id) {
    const std::optional<PixelRect> mark = FramedArea();
    CClippy& clipboard = app_.Clipboard();
    switch (id) {
        case ID_EDIT_COPY:
        case ID_EDIT_COPY_ACTIVE:
            if (mark) {
                CopyMarked(clipboard, *mark);
                QGuiApplication::clipboard()->setImage(MarkedPicture(*mark));
            }
            return true;
        case ID_EDIT_PASTE_SYSTEM: {
            if (!mark) {
                return true;
            }
            const QImage image = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
            if (image.isNull()) {
                // Offered as a picture, but the reader refused it (too large, or damaged).
                const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
                if (offered != nullptr && offered->hasImage()) {
                    app_.Messages().ShowError(kUnreadablePictureError);
                }
                return true;
            }
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            clipboard.ClearArea();
            ImportPicture(
                clipboard, image.width(), image.height(), CreateNormalColourPalette(app_.GetPalette()),
                [&image](int x, int y) {
                    const QRgb rgb = image.pixel(x, y);
                    return Rgb{std::uint8_t(qRed(rgb)), std::uint8_t(qGreen(rgb)), std::uint8_t(qBlue(rgb))};
                });
            QGuiApplication::restoreOverrideCursor();
            [[fallthrough]];
        }
        case ID_EDIT_PASTE:
        case ID_EDIT_PASTE_ACTIVE:
            if (!mark) {
                return true;
            }
            if (!clipboard.HasArea()) {
                app_.Messages().ShowError(kEmptyClipboardError);
                return true;
            }
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            PasteInto(clipboard, *mark);
            QGuiApplication::restoreOverrideCursor();
            return true;
        default:
            return false;
    }
}

bool PixelEditView::OnUpdateClipboardCommand(int id, bool& enabled) const {
    const bool marked = FramedArea().has_value();
    switch (id) {
        case ID_EDIT_COPY:
        case ID_EDIT_COPY_ACTIVE:
            enabled = marked;
            return true;
        case ID_EDIT_PASTE:
            enabled = marked && app_.Clipboard().HasArea();
            return true;
        case ID_EDIT_PASTE_ACTIVE:
            enabled = marked;  // an empty clipboard says so (error 114)
            return true;
        case ID_EDIT_PASTE_SYSTEM:
            enabled = marked && QGuiApplication::clipboard()->mimeData() != nullptr &&
                      QGuiApplication::clipboard()->mimeData()->hasImage();
            return true;
        default:
            return false;
    }
}

bool PixelEditView::OnEditCommand(int id) {
    if (OnClipboardCommand(id)) {
        return true;
    }
    if (const std::optional<PixelTransform> transform = TransformOfCommand(id)) {
        RunTransform(*transform);
        return true;
    }
    switch (id) {
        case ID_ZOOM_IN:
        case ID_ZOOM_OUT:
            // The middle of the window stays where it is, as the zoom tool keeps its pixel.
            ZoomKeepingPixel(id == ID_ZOOM_IN ? 1 : -1, viewport()->rect().center());
            return true;
        case ID_EDIT_SELECT_ALL:
            if (WholeArea().HasPixels()) {
                SetMarkedPixels(WholeArea());
            }
            return true;
        default:
            return false;
    }
}

bool PixelEditView::OnUpdateEditCommand(int id, bool& enabled) const {
    if (OnUpdateClipboardCommand(id, enabled)) {
        return true;
    }
    if (TransformOfCommand(id)) {
        enabled = true;
        return true;
    }
    switch (id) {
        case ID_ZOOM_IN:
            enabled = ZoomLevel() < kMaxZoom;
            return true;
        case ID_ZOOM_OUT:
            enabled = ZoomLevel() > kMinZoom;
            return true;
        case ID_EDIT_SELECT_ALL:
            enabled = true;
            return true;
        default:
            return false;
    }
}

// ---- Dragging areas ---------------------------------------------------------------------------

namespace {
struct DropData {
    PixelEditView::DragKind kind = PixelEditView::DragKind::Pixels;
    QByteArray file;  // the clipboard file's bytes
    int width = 0;
    int height = 0;
};

// The drag data of this program, checked far enough to show a preview; the file itself is
// validated again when the drop loads it.
std::optional<DropData> ReadDropData(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasFormat(QLatin1String(PixelEditView::kDragMimeType))) {
        return std::nullopt;
    }
    const QByteArray bytes = mime->data(QLatin1String(PixelEditView::kDragMimeType));
    if (bytes.size() < 9 || std::uint8_t(bytes[0]) > 1) {
        return std::nullopt;
    }
    DropData data;
    data.kind = static_cast<PixelEditView::DragKind>(bytes[0]);
    data.file = bytes.mid(1);
    const auto word = [&data](int at) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | std::uint8_t(data.file[at + i]);
        }
        return std::int32_t(value);
    };
    data.width = word(0);
    data.height = word(4);
    if (data.width < 1 || data.height < 1 || data.width > CClippy::kMaxExtent ||
        data.height > CClippy::kMaxExtent) {
        return std::nullopt;
    }
    return data;
}
}  // namespace

QMimeData* PixelEditView::MakeDragData(std::uint8_t kind, const CClippy& clipboard) {
    const std::vector<std::uint8_t> file = clipboard.FileBytes();
    QByteArray bytes;
    bytes.append(char(kind));
    bytes.append(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
    auto* mime = new QMimeData;
    mime->setData(QLatin1String(kDragMimeType), bytes);
    return mime;
}

void PixelEditView::DragArea(DragKind kind, const PixelRect& area) {
    CClippy& clipboard = app_.Clipboard();
    CopyMarked(clipboard, area);
    try {
        // Written as it always was, for whoever reads it; the drag carries the same bytes.
        clipboard.WriteFile(app_.ClipboardFilePath().toStdString());
    } catch (const std::exception&) {
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(MakeDragData(std::uint8_t(kind), clipboard));
    drag->setDragCursor(DragCursor().pixmap(), Qt::CopyAction);
    drag->exec(Qt::CopyAction);
}

void PixelEditView::DragMarkedArea() {
    if (const std::optional<PixelRect> mark = FramedArea()) {
        DragArea(DragKind::Pixels, *mark);
    }
}

PixelPoint PixelEditView::DropOrigin(PixelPoint hit, DragKind /*kind*/) const {
    return hit;
}

std::optional<PixelRect> PixelEditView::DropPart(const PixelRect& area) const {
    const PixelRect whole = WholeArea();
    if (whole.Contains({area.x0, area.y0}) && whole.Contains({area.x1, area.y1})) {
        return area;
    }
    return std::nullopt;
}

void PixelEditView::dragEnterEvent(QDragEnterEvent* event) {
    if (ReadDropData(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PixelEditView::dragMoveEvent(QDragMoveEvent* event) {
    const std::optional<DropData> data = ReadDropData(event->mimeData());
    if (!data) {
        event->ignore();
        return;
    }
    BringToFront();
    drop_.reset();
    ErasePreview();
    if (const std::optional<PixelPoint> hit = PixelAtWindow(event->position().toPoint())) {
        const PixelPoint origin = DropOrigin(*hit, data->kind);
        const PixelRect area{origin.x, origin.y, origin.x + data->width - 1, origin.y + data->height - 1};
        if (const std::optional<PixelRect> part = DropPart(area)) {
            drop_ = DropPreview{area, *part};
            ShowPreview(shape::kMarkFrame, {part->x0, part->y0}, {part->x1, part->y1});
        }
    }
    event->acceptProposedAction();
}

void PixelEditView::dragLeaveEvent(QDragLeaveEvent* /*event*/) {
    drop_.reset();
    ErasePreview();
}

void PixelEditView::dropEvent(QDropEvent* event) {
    const std::optional<DropData> data = ReadDropData(event->mimeData());
    const std::optional<DropPreview> drop = drop_;
    drop_.reset();
    ErasePreview();
    if (!data) {
        event->ignore();
        return;
    }
    SetMarkedPixels(std::nullopt);
    CClippy& clipboard = app_.Clipboard();
    // A damaged drop pastes nothing, not whatever the clipboard held before.
    if (drop &&
        clipboard.LoadFileBytes(std::span(reinterpret_cast<const std::uint8_t*>(data->file.constData()),
                                          std::size_t(data->file.size())))) {
        SetMarkedPixels(drop->part);
        PrepareDrop(drop->part, data->kind);
        // The whole area, so that its pixels land where they were pointed to; the window pastes
        // only what lies on its pixels.
        PasteInto(clipboard, drop->area);
        if (data->kind == DragKind::Symbol) {
            SetMarkedPixels(std::nullopt);
        }
    }
    event->acceptProposedAction();
}

// ---- Mouse: hit-test and hand on to the tools ---------------------------------------------------

namespace {
MouseButton ToolButton(Qt::MouseButton button) {
    return button == Qt::LeftButton ? MouseButton::Left : MouseButton::Right;
}
}  // namespace

void PixelEditView::mousePressEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    const QPoint point = event->position().toPoint();
    // One drag at a time: a second button joins nothing.
    if ((button != Qt::LeftButton && button != Qt::RightButton) || Dragging()) {
        event->ignore();
        return;
    }
    if (TakePipetteFollowUp(point)) {
        return;
    }
    lastWindowPoint_ = point;
    if (!ToolPress(ToolButton(button), PixelAtWindow(point))) {
        event->ignore();
        return;
    }
    NotifyTickDemand();
    ShowStatusAndCursor(PixelAtWindow(point));
}

void PixelEditView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (TakePipetteFollowUp(event->position().toPoint())) {
        return;
    }
    mousePressEvent(event);
}

bool PixelEditView::TakePipetteFollowUp(QPoint windowPoint) {
    if (!pipettePick_.isValid()) {
        return false;
    }
    const bool quick = pipettePick_.elapsed() <= QApplication::doubleClickInterval() &&
                       CurrentMode() == modeAfterPick_ &&
                       (windowPoint - pickPoint_).manhattanLength() <= QApplication::startDragDistance();
    pipettePick_.invalidate();
    return quick;
}

void PixelEditView::mouseMoveEvent(QMouseEvent* event) {
    lastWindowPoint_ = event->position().toPoint();
    const std::optional<PixelPoint> hit = PixelAtWindow(lastWindowPoint_);
    if (Dragging()) {
        ToolMove(hit);
    }
    ShowStatusAndCursor(hit);
}

void PixelEditView::mouseReleaseEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (!Dragging() || (button != Qt::LeftButton && button != Qt::RightButton) ||
        ToolButton(button) != ToolButtonDown()) {
        return;
    }
    lastWindowPoint_ = event->position().toPoint();
    lastGlobalPoint_ = event->globalPosition().toPoint();
    const std::optional<PixelPoint> hit = PixelAtWindow(lastWindowPoint_);
    if (!ToolRelease(ToolButton(button), hit, (event->modifiers() & Qt::ControlModifier) != 0)) {
        ToolCancel();
    }
    NotifyTickDemand();
    ShowStatusAndCursor(hit);
}

// ---- Ticks: auto-scroll and the marching frame --------------------------------------------------

void PixelEditView::OnTickStep() {
    if (Dragging()) {
        AutoScroll();
    }
    if (++tickCounter_ < kTicksPerFrameStep) {
        return;
    }
    tickCounter_ = 0;
    if (const std::optional<PixelRect> framed = FramedArea()) {
        framePhase_ = framePhase_ == 0 ? kFramePhaseCount - 1 : framePhase_ - 1;
        InvalidateViewRects(FrameRects(*framed));
    }
}

void PixelEditView::AutoScroll() {
    // The last place the pointer was reported: during a drag the view gets every move, also
    // outside its window.
    const QPoint pointer = lastWindowPoint_;
    const QRect client = viewport()->rect();
    const int step = kAutoScrollPixels * ZoomLevel();
    QPoint delta;
    if (pointer.x() > client.right()) {
        delta.setX(step);
    } else if (pointer.x() < client.left()) {
        delta.setX(-step);
    } else if (pointer.y() < client.top()) {
        delta.setY(-step);
    } else if (pointer.y() > client.bottom()) {
        delta.setY(step);
    } else {
        return;
    }
    // Rectangles and markings are drawn again by the next move; a line scrolls with the picture.
    if (preview_ && (preview_->flags & shape::kLine) == 0) {
        ErasePreview();
    }
    const QPoint before = ScrollPosition();
    ScrollTo(before + delta);
    if (ScrollPosition() != before) {
        viewport()->repaint();
    }
}

// ---- Previews, frames and repainting ------------------------------------------------------------

std::vector<QRect> PixelEditView::FrameRects(const PixelRect& area) const {
    const QRect r = AreaRect(area);
    if (r.isEmpty()) {
        return {};
    }
    std::vector<QRect> rects{QRect(r.left(), r.top(), r.width(), 1),
                             QRect(r.left(), r.bottom(), r.width(), 1)};
    if (r.height() > 2) {
        rects.emplace_back(r.left(), r.top() + 1, 1, r.height() - 2);
        rects.emplace_back(r.right(), r.top() + 1, 1, r.height() - 2);
    }
    return rects;
}

std::vector<QRect> PixelEditView::PreviewRects(const Preview& preview) const {
    std::vector<QRect> rects;
    if ((preview.flags & (shape::kLine | shape::kOutline)) != 0) {
        // Pixels plotted twice cancel, as they would in exclusive-or drawing.
        const std::vector<PixelPoint> points = (preview.flags & shape::kLine) != 0
                                                   ? LinePoints(preview.p, preview.c)
                                                   : RectangleOutlinePoints(preview.p, preview.c);
        for (const PixelPoint& point : InvertedPreviewPixels(points)) {
            AppendSquare(rects, PixelSquare(point));
        }
    } else if ((preview.flags & shape::kFilled) != 0) {
        rects.push_back(AreaRect(PixelRect::Spanning(preview.p, preview.c)));
    } else if ((preview.flags & shape::kMarkFrame) != 0) {
        rects = FrameRects(PixelRect::Spanning(preview.p, preview.c));
    }
    return rects;
}

void PixelEditView::ShowPreview(int flags, PixelPoint p, PixelPoint c) {
    if (preview_) {
        ErasePreview();
    }
    preview_ = Preview{flags, p, c};
    InvalidateViewRects(PreviewRects(*preview_));
}

void PixelEditView::ErasePreview() {
    if (!preview_) {
        return;
    }
    const std::vector<QRect> rects = PreviewRects(*preview_);
    preview_.reset();
    InvalidateViewRects(rects);
}

void PixelEditView::InvalidateViewRect(const QRect& viewRect) {
    const QRect window = viewRect.translated(-ScrollPosition()).intersected(viewport()->rect());
    if (!window.isEmpty()) {
        viewport()->update(window);
    }
}

void PixelEditView::InvalidateViewRects(const std::vector<QRect>& viewRects) {
    for (const QRect& rect : viewRects) {
        InvalidateViewRect(rect);
    }
}

void PixelEditView::PaintOverlays(QPainter& painter, const QRect& area) {
    if (const std::optional<PixelRect> framed = FramedArea()) {
        PaintMarchingFrame(painter, area, AreaRect(*framed));
    }
    if (preview_) {
        // Inverting with white is its own inverse, as the exclusive-or drawing always was.
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        for (const QRect& rect : PreviewRects(*preview_)) {
            if (rect.intersects(area)) {
                painter.fillRect(rect, Qt::white);
            }
        }
        painter.restore();
    }
}

void PixelEditView::PaintMarchingFrame(QPainter& painter, const QRect& area, const QRect& r) {
    if (r.isEmpty() || !r.adjusted(-1, -1, 1, 1).intersects(area)) {
        return;
    }
    // Pixel i of an edge is white while (phase + i) mod 9 is below 4, black otherwise; the top
    // and bottom edges run from the left, the left and right edges from the top, all starting
    // at the frame's phase. Runs of one colour are filled at once, only where they show.
    const auto paintEdge = [&](bool horizontal, int fixed, int from, int to, int visibleFrom, int visibleTo) {
        const int begin = std::max(from, visibleFrom);
        const int end = std::min(to, visibleTo);
        for (int i = begin; i <= end;) {
            const int phase = (framePhase_ + (i - from)) % kFramePhaseCount;
            const bool white = phase < 4;
            const int runLength = white ? 4 - phase : kFramePhaseCount - phase;
            const int runEnd = std::min(end, i + runLength - 1);
            const QRect run =
                horizontal ? QRect(i, fixed, runEnd - i + 1, 1) : QRect(fixed, i, 1, runEnd - i + 1);
            painter.fillRect(run, white ? Qt::white : Qt::black);
            i = runEnd + 1;
        }
    };
    for (const int y : {r.top(), r.bottom()}) {
        if (y >= area.top() && y <= area.bottom()) {
            paintEdge(true, y, r.left(), r.right(), area.left(), area.right());
        }
    }
    for (const int x : {r.left(), r.right()}) {
        if (x >= area.left() && x <= area.right()) {
            paintEdge(false, x, r.top(), r.bottom(), area.top(), area.bottom());
        }
    }
}

bool PixelEditView::ShowsSpecialMarks() const {
    return ZoomLevel() >= app_.Settings().showTransCol;
}

void PixelEditView::PaintSpecialMarks(QPainter& painter, const std::vector<MarkPoint>& pixels) {
    const GeneralSettings& settings = app_.Settings();
    // One screen pixel per mark, drawn by a cosmetic pen: a rectangle each would cost more than
    // the picture itself when a drawing is mostly transparent.
    std::vector<QPoint> points[3];
    const int half = ZoomLevel() / 2;
    for (const MarkPoint& mark : pixels) {
        const SpecialMark kind = SpecialMarkOf(mark.value);
        if (kind != SpecialMark::None) {
            points[static_cast<int>(kind) - 1].push_back(PixelSquare(mark.pixel).topLeft() +
                                                         QPoint(half, half));
        }
    }
    const Rgb colours[] = {settings.markTransCol, settings.markTransCol2, settings.markTransCol3};
    for (int i = 0; i < 3; ++i) {
        if (!points[i].empty()) {
            painter.setPen(QPen(ToQColor(colours[i]), 0));
            painter.drawPoints(points[i].data(), int(points[i].size()));
        }
    }
}

// ---- Status line and cursor ---------------------------------------------------------------------

void PixelEditView::ShowStatusAndCursor(std::optional<PixelPoint> hit) {
    QString text;
    if (hit) {
        if (const auto marking = MarkingInProgress()) {
            text = QString::fromStdString(MarkExtentText(marking->first, marking->second));
        } else {
            text = PixelStatus(*hit);
        }
    }
    if (CMainFrame* frame = app_.MainFrame()) {
        frame->SetMessageText(text.left(kMaxStatusTextLength));
    }
    ShowCursor(hit);
}

void PixelEditView::ShowCursor(std::optional<PixelPoint> hit) {
    const int cursor = hit ? static_cast<int>(CurrentMode()) : -1;
    if (cursor != shownCursor_) {
        shownCursor_ = cursor;
        viewport()->setCursor(hit ? ModeCursor(CurrentMode()) : QCursor(Qt::ArrowCursor));
    }
}

// ---- What the tools ask, the same for every window ----------------------------------------------

DrawingColours PixelEditView::Colours() const {
    return {static_cast<PaletteIndex>(app_.GetColor1()), static_cast<PaletteIndex>(app_.GetColor2())};
}

void PixelEditView::SetColour(MouseButton button, PaletteIndex colour) {
    if (button == MouseButton::Left) {
        app_.SetColor1(colour);
    } else {
        app_.SetColor2(colour);
    }
}

void PixelEditView::ReturnToPreviousMode() {
    app_.SetMouseMode(app_.PreviousMouseMode());
    modeAfterPick_ = CurrentMode();
    pickPoint_ = lastWindowPoint_;
    pipettePick_.start();
}

void PixelEditView::Beep() {
    QApplication::beep();
}

bool PixelEditView::FillDiagonal() const {
    return app_.Settings().fillDiagonal;
}

bool PixelEditView::SingleUndo() const {
    return app_.Settings().singleUndo;
}

}  // namespace zobl
