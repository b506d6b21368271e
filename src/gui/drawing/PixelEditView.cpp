#include "gui/drawing/PixelEditView.h"

#include <QApplication>
#include <QDragLeaveEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include "core/drawing/Tools.h"
#include "core/scenery/SceneryGeometry.h"
#include "core/settings/GeneralSettings.h"
#include "gui/drawing/SceneryCursors.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandRouter.h"
#include "gui/framework/FrameTexts.h"
#include "gui/framework/MenuResources.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/palette/PaletteDisplay.h"

namespace zobl {

std::optional<PixelTransform> TransformOfCommand(CommandId id) {
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

PixelEditView::PixelEditView(const EditorServices& services, QWidget* parent)
    : QAbstractScrollArea(parent),
      services_(services),
      viewport_(*this, *this),
      overlays_(*this),
      transfer_(services, *this, *this),
      hand_([this](QPoint delta) { viewport_.ScrollBy(delta); }, [this] { ShowHandOrModeCursor(); }) {
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    // Painting covers every pixel it is asked for; Qt need not erase first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    popupRunner_ = &ExecContextMenu;
    qApp->installEventFilter(this);
    viewport_.SetZoomChanged([this] {
        if (CommandRouter* router = services_.shell.Router()) {
            router->RequestUpdate();  // zoom in and out may have changed their states
        }
    });
    // A key or the pipette may change the mode while the pointer rests on the pixels.
    connect(&services_.drawing, &DrawingChoices::MouseModeChanged, this,
            [this] { ShowCursor(PixelAtWindow(lastWindowPoint_)); });
}

PixelEditView::~PixelEditView() = default;

MouseMode PixelEditView::CurrentMode() const {
    return services_.drawing.GetMouseMode();
}

// ---- Scrolling, zoom and painting ----------------------------------------------------------------

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
    viewport_.WheelZoom(event->angleDelta().y(), event->position().toPoint());
    event->accept();
}

QString PixelEditView::ZoomIndicatorText() const {
    constexpr int kZoomPaneKey = 7079;  // section "STATE"
    return GetText(services_.language, kZoomPaneKey, "STATE").arg(ZoomLevel());
}

void PixelEditView::PaintView(QPainter& painter, const QRect& area) {
    viewport_.PaintScene(painter, area);
    painter.save();
    painter.setClipRect(area);
    overlays_.Paint(painter, area, FramedArea());
    painter.restore();
}

void PixelEditView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPoint scroll = ScrollPosition();
    painter.translate(-scroll);
    PaintView(painter, event->rect().translated(scroll));
}

void PixelEditView::RunContextMenu(int resource, QPoint globalPoint) {
    CommandRouter* router = services_.shell.Router();
    if (router == nullptr) {
        return;
    }
    // Context menus are localised each time they are loaded.
    contextMenu_ = BuildMenu(resource, *router, services_.language);
    QMenu* popup = ContextPopup(contextMenu_.get());
    if (popup == nullptr) {
        return;
    }
    router->UpdateMenu(popup);
    popupRunner_(*popup, globalPoint);
}

// ---- Commands -------------------------------------------------------------------------------------

bool PixelEditView::OnEditCommand(CommandId id) {
    if (transfer_.OnClipboardCommand(id)) {
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
            viewport_.ZoomKeepingMiddle(ZoomLevel() + (id == ID_ZOOM_IN ? 1 : -1));
            return true;
        case ID_ZOOM_WHOLE_PICTURE:
            viewport_.ZoomKeepingMiddle(viewport_.WholePictureZoom(kMinZoom, kMaxZoom));
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

bool PixelEditView::OnUpdateEditCommand(CommandId id, bool& enabled) const {
    if (transfer_.OnUpdateClipboardCommand(id, enabled)) {
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
        case ID_ZOOM_WHOLE_PICTURE:
        case ID_EDIT_SELECT_ALL:
            enabled = true;
            return true;
        default:
            return false;
    }
}

// ---- Dragging areas ---------------------------------------------------------------------------

void PixelEditView::DragMarkedArea() {
    if (const std::optional<PixelRect> mark = FramedArea()) {
        DragArea(DragKind::Pixels, *mark);
    }
}

void PixelEditView::ShowDropFrame(const PixelRect& part) {
    ShowPreview(shape::kMarkFrame, {part.x0, part.y0}, {part.x1, part.y1});
}

void PixelEditView::dragEnterEvent(QDragEnterEvent* event) {
    transfer_.DragEnter(event);
}

void PixelEditView::dragMoveEvent(QDragMoveEvent* event) {
    transfer_.DragMove(event);
}

void PixelEditView::dragLeaveEvent(QDragLeaveEvent* /*event*/) {
    transfer_.DragLeave();
}

void PixelEditView::dropEvent(QDropEvent* event) {
    transfer_.Drop(event);
}

// ---- Mouse: hit-test and hand on to the tools ---------------------------------------------------

namespace {
MouseButton ToolButton(Qt::MouseButton button) {
    return button == Qt::LeftButton ? MouseButton::Left : MouseButton::Right;
}
}  // namespace

void PixelEditView::mousePressEvent(QMouseEvent* event) {
    if (TakePanPress(event)) {
        return;
    }
    const Qt::MouseButton button = event->button();
    const QPoint point = event->position().toPoint();
    // One drag at a time: a second button joins nothing.
    if ((button != Qt::LeftButton && button != Qt::RightButton) || Tools().Active()) {
        event->ignore();
        return;
    }
    if (TakePipetteFollowUp(point)) {
        return;
    }
    lastWindowPoint_ = point;
    if (!Tools().Press(CurrentMode(), ToolButton(button), PixelAtWindow(point))) {
        event->ignore();
        return;
    }
    NotifyTickDemand();
    ShowStatusAndCursor(PixelAtWindow(point));
}

void PixelEditView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (TakePanPress(event) || TakePipetteFollowUp(event->position().toPoint())) {
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
    if (hand_.Move(lastWindowPoint_)) {
        return;
    }
    const std::optional<PixelPoint> hit = PixelAtWindow(lastWindowPoint_);
    if (Tools().Active()) {
        Tools().Move(hit, (event->modifiers() & Qt::ShiftModifier) != 0);
    }
    ShowStatusAndCursor(hit);
}

void PixelEditView::mouseReleaseEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (hand_.Dragging()) {
        lastWindowPoint_ = event->position().toPoint();
        hand_.Release(button);
        return;
    }
    ToolDriver& tools = Tools();
    if (!tools.Active() || (button != Qt::LeftButton && button != Qt::RightButton) ||
        ToolButton(button) != tools.Button()) {
        return;
    }
    lastWindowPoint_ = event->position().toPoint();
    lastGlobalPoint_ = event->globalPosition().toPoint();
    const std::optional<PixelPoint> hit = PixelAtWindow(lastWindowPoint_);
    if (!tools.Release(ToolButton(button), hit, (event->modifiers() & Qt::ControlModifier) != 0,
                       (event->modifiers() & Qt::ShiftModifier) != 0)) {
        tools.Cancel();
    }
    NotifyTickDemand();
    ShowStatusAndCursor(hit);
}

// ---- Moving the view by hand, and the keys -------------------------------------------------------

bool PixelEditView::TakePanPress(QMouseEvent* event) {
    if (!hand_.Press(*event, Tools().Active())) {
        return false;
    }
    event->accept();
    return true;
}

void PixelEditView::ShowHandOrModeCursor() {
    if (!hand_.Dragging() && Tools().Active()) {
        return;  // a tool's drag keeps its cursor
    }
    cursorShown_ = false;
    ShowCursor(PixelAtWindow(lastWindowPoint_));
}

bool PixelEditView::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || watched == this) {
        return QAbstractScrollArea::eventFilter(watched, event);
    }
    // A release is passed on: a button whose press never came stays as it is.
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (type == QEvent::KeyRelease) {
        hand_.SpaceKey(key);
        return QAbstractScrollArea::eventFilter(watched, event);
    }
    // A press only over this window, and never one typed into a text field.
    const bool over = isVisible() && viewport()->rect().contains(viewport()->mapFromGlobal(QCursor::pos()));
    if (over && !HandScroll::FocusTakesText() && hand_.SpaceKey(key)) {
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

bool PixelEditView::FollowShift(const QKeyEvent& event, bool held) {
    if (event.key() != Qt::Key_Shift || !Tools().Active() || hand_.Dragging()) {
        return false;
    }
    // The shape follows Shift at once, not only at the next move of the mouse.
    Tools().Move(PixelAtWindow(lastWindowPoint_), held);
    return true;
}

void PixelEditView::keyPressEvent(QKeyEvent* event) {
    // Space is held for moving the view; it must not reach anything else meanwhile.
    if (hand_.SpaceKey(*event) || FollowShift(*event, true)) {
        event->accept();
        return;
    }
    const int step = ZoomLevel();
    QPoint delta;
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && !Tools().Active()) {
        switch (event->key()) {
            case Qt::Key_Left:
                delta = QPoint(-step, 0);
                break;
            case Qt::Key_Right:
                delta = QPoint(step, 0);
                break;
            case Qt::Key_Up:
                delta = QPoint(0, -step);
                break;
            case Qt::Key_Down:
                delta = QPoint(0, step);
                break;
            default:
                break;
        }
    }
    if (delta.isNull()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    viewport_.ScrollBy(delta);
    event->accept();
}

void PixelEditView::keyReleaseEvent(QKeyEvent* event) {
    if (hand_.SpaceKey(*event) || FollowShift(*event, false)) {
        event->accept();
        return;
    }
    QAbstractScrollArea::keyReleaseEvent(event);
}

void PixelEditView::focusOutEvent(QFocusEvent* event) {
    hand_.HoldSpace(false);  // the release goes elsewhere now
    QAbstractScrollArea::focusOutEvent(event);
}

// ---- Ticks: auto-scroll and the marching frame --------------------------------------------------

void PixelEditView::OnTickStep() {
    if (Tools().Active()) {
        AutoScroll();
    }
    const std::optional<PixelRect> framed = FramedArea();
    if (overlays_.TickFrame(framed.has_value())) {
        InvalidateViewRects(FrameRects(*framed));
    }
}

void PixelEditView::AutoScroll() {
    // The last place the pointer was reported: during a drag the view gets every move, also
    // outside its window.
    const std::optional<QPoint> step = viewport_.AutoScrollStep(lastWindowPoint_);
    if (!step) {
        return;
    }
    // Rectangles and markings are drawn again by the next move; a line scrolls with the picture.
    if (overlays_.PreviewShown() && !overlays_.PreviewIsLine()) {
        ErasePreview();
    }
    viewport_.ScrollBy(*step);
}

// ---- Previews and marks -------------------------------------------------------------------------

void PixelEditView::ShowPreview(int flags, PixelPoint p, PixelPoint c) {
    InvalidateViewRects(overlays_.ShowPreview(flags, p, c));
}

void PixelEditView::ErasePreview() {
    InvalidateViewRects(overlays_.ErasePreview());
}

bool PixelEditView::ShowsSpecialMarks() const {
    return ZoomLevel() >= services_.settings.showTransCol;
}

void PixelEditView::PaintSpecialMarks(QPainter& painter, const std::vector<MarkPoint>& pixels) {
    const GeneralSettings& settings = services_.settings;
    overlays_.PaintSpecialMarks(painter, pixels,
                                {settings.markTransCol, settings.markTransCol2, settings.markTransCol3});
}

void PixelEditView::PaintOverScene(QPainter& painter, const QRect& area) {
    const GeneralSettings& settings = services_.settings;
    const bool pixelGrid = settings.pixelGrid && ZoomLevel() >= settings.showPixelGrid;
    if (!pixelGrid && !settings.cellGrid) {
        return;
    }
    overlays_.PaintGrid(painter, area, GridAreas(),
                        pixelGrid ? std::optional(settings.gridCol) : std::nullopt,
                        settings.cellGrid ? std::optional(settings.cellGridCol) : std::nullopt);
}

// ---- Status line and cursor ---------------------------------------------------------------------

void PixelEditView::ShowStatusAndCursor(std::optional<PixelPoint> hit) {
    QString text;
    if (hit) {
        if (const auto marking = Tools().Marking()) {
            text = QString::fromStdString(MarkExtentText(marking->first, marking->second));
        } else {
            text = PixelStatus(*hit);
        }
    }
    services_.shell.SetMessageText(text.left(kMaxStatusTextLength));
    ShowCursor(hit);
}

void PixelEditView::ShowCursor(std::optional<PixelPoint> hit) {
    if (const std::optional<Qt::CursorShape> hand = hand_.Cursor();
        hand && (hand_.Dragging() || !Tools().Active())) {
        viewport()->setCursor(*hand);
        cursorShown_ = false;  // the mode's cursor is set again afterwards
        return;
    }
    const std::optional<MouseMode> cursor = hit ? std::optional(CurrentMode()) : std::nullopt;
    if (!cursorShown_ || cursor != shownCursor_) {
        cursorShown_ = true;
        shownCursor_ = cursor;
        viewport()->setCursor(hit ? ModeCursor(CurrentMode()) : QCursor(Qt::ArrowCursor));
    }
}

// ---- What the tools ask, the same for every window ----------------------------------------------

DrawingColours PixelEditView::Colours() const {
    return {static_cast<PaletteIndex>(services_.drawing.GetColor1()),
            static_cast<PaletteIndex>(services_.drawing.GetColor2())};
}

void PixelEditView::SetColour(MouseButton button, PaletteIndex colour) {
    if (button == MouseButton::Left) {
        services_.drawing.SetColor1(colour);
    } else {
        services_.drawing.SetColor2(colour);
    }
}

void PixelEditView::ReturnToPreviousMode() {
    services_.drawing.SetMouseMode(services_.drawing.PreviousMouseMode());
    modeAfterPick_ = CurrentMode();
    pickPoint_ = lastWindowPoint_;
    pipettePick_.start();
}

void PixelEditView::Beep() {
    QApplication::beep();
}

bool PixelEditView::FillDiagonal() const {
    return services_.settings.fillDiagonal;
}

bool PixelEditView::SingleUndo() const {
    return services_.settings.singleUndo;
}

}  // namespace zobl
