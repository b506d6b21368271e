#include "gui/scenery/GSView.h"

#include <algorithm>
#include <cstdlib>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QWheelEvent>

#include "core/scenery/SceneryRules.h"
#include "gui/app/Bug1App.h"
#include "gui/app/FrameTexts.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MenuResources.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/scenery/GSDoc.h"
#include "gui/scenery/SceneryCursors.h"
#include "gui/scenery/SceneryHints.h"

namespace zobl {

using namespace scenery;

namespace {

constexpr int kNewSceneryTitleKey = 1001;  // section "DATA"
constexpr const char* kStackErrorText = "Internal Error creating stack frame!";
// Auto-scrolling moves this many document pixels per tick; the wheel and the arrow keys
// scroll by the scroll bars' own line step.
constexpr int kAutoScrollPixels = 2;
constexpr int kLineStepPixels = 16;
constexpr int kWheelNotch = 120;

QRect ToQRect(const ScreenRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

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

CGSView::CGSView(CGSDoc& document, CBug1App& app) : app_(app), document_(&document) {
    geometry_.SetSymbolDistance(app_.Settings().symbolDistance);
    workStack_ = app_.StackList().CreateStack(kWorkStackStep);
    if (!workStack_) {
        // The fill still works without it, on a stack of its own.
        app_.ShowInfo(QString::fromLatin1(CBug1App::kAppTitle), QString::fromLatin1(kStackErrorText));
    }
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    // paintEvent covers every pixel it is asked for; Qt need not erase first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    popupRunner_ = [](QMenu& menu, const QPoint& globalPosition) { menu.exec(globalPosition); };
    // A key or the pipette may change the mode while the pointer rests on the pixels.
    connect(&app_, &CBug1App::MouseModeChanged, this,
            [this] { ShowCursor(HitTestWindow(lastWindowPoint_)); });
}

CGSView::~CGSView() {
    if (workStack_) {
        app_.StackList().DestroyStack(workStack_);
    }
}

// ---- State and geometry ---------------------------------------------------------------------------

MouseMode CGSView::CurrentMode() const {
    return app_.GetMouseMode();
}

DrawingColours CGSView::Colours() const {
    return {static_cast<PaletteIndex>(app_.GetColor1()), static_cast<PaletteIndex>(app_.GetColor2())};
}

EditContext CGSView::Context(MouseMode mode) const {
    return {static_cast<int>(mode), app_.Settings().singleUndo};
}

QPoint CGSView::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CGSView::ScrollTo(QPoint position) {
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
}

QPoint CGSView::WindowPointOf(PixelAddress address) const {
    const ScreenRect square = geometry_.PixelSquare(address);
    return QPoint(square.left + geometry_.Zoom() / 2, square.top + geometry_.Zoom() / 2) - ScrollPosition();
}

std::optional<PixelAddress> CGSView::HitTestWindow(QPoint windowPoint) const {
    const QPoint view = windowPoint + ScrollPosition();
    return geometry_.HitTest({view.x(), view.y()});
}

QSize CGSView::sizeHint() const {
    // All rows and as many symbols as fit a usual screen.
    return {std::min(geometry_.ExtentWidth(), 960) + 2 * frameWidth(),
            geometry_.ExtentHeight() + 2 * frameWidth() + horizontalScrollBar()->sizeHint().height()};
}

void CGSView::UpdateScrollSizes() {
    const QSize window = viewport()->size();
    const int line = kLineStepPixels * geometry_.Zoom();
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, geometry_.ExtentWidth() - window.width()));
    horizontal->setPageStep(std::max(1, window.width()));
    horizontal->setSingleStep(line);
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, geometry_.ExtentHeight() - window.height()));
    vertical->setPageStep(std::max(1, window.height()));
    vertical->setSingleStep(line);
}

bool CGSView::SetZoom(int zoom) {
    if (!geometry_.SetZoom(zoom)) {
        return false;
    }
    UpdateScrollSizes();
    viewport()->update();
    if (CMainFrame* frame = app_.MainFrame()) {
        frame->Router().RequestUpdate();  // zoom in and out may have changed their states
    }
    return true;
}

void CGSView::RestoreZoomAndScroll(int zoom, QPoint position) {
    SetZoom(zoom);
    UpdateScrollSizes();
    ScrollTo(position);
    viewport()->update();
}

void CGSView::ZoomKeepingPixel(int step, std::optional<PixelAddress> hit, QPoint windowPoint) {
    const int oldZoom = geometry_.Zoom();
    const QPoint oldView = windowPoint + ScrollPosition();
    if (!SetZoom(oldZoom + step)) {
        return;
    }
    if (hit) {
        const ScreenPoint scroll = geometry_.ScrollKeepingPixel(*hit, {windowPoint.x(), windowPoint.y()});
        ScrollTo({scroll.x, scroll.y});
    } else {
        // Beside the pixels the view point under the pointer stays where it is, as near as the
        // number band (which does not grow) allows.
        const int zoom = geometry_.Zoom();
        const int x = oldView.x() * zoom / oldZoom;
        const int y = SceneryGeometry::kLabelHeight +
                      std::max(0, oldView.y() - SceneryGeometry::kLabelHeight) * zoom / oldZoom;
        ScrollTo({x - windowPoint.x(), y - windowPoint.y()});
    }
}

// ---- Document hints and ticks ---------------------------------------------------------------------

void CGSView::OnInitialUpdate() {
    UpdateScrollSizes();
    firstUpdatePending_ = true;
    OnUpdate(nullptr, 0, nullptr);
}

void CGSView::OnUpdate(View* sender, int hint, HintRecord* record) {
    UpdateScrollSizes();
    const auto* area = dynamic_cast<const SceneryAreaRecord*>(record);
    if (hint == hint::kPixelsChanged) {
        // The colour picture follows the pixels whoever changed them.
        if (area != nullptr) {
            const PixelPoint a = area->first.Absolute();
            const PixelPoint b = area->second.Absolute();
            const PixelRect changed = PixelRect::Spanning(a, b);
            RefreshPicture(&changed);
        } else {
            RefreshPicture(nullptr);
        }
    }
    if (sender != this) {
        switch (hint) {
            case hint::kPixelsChanged:
                if (area != nullptr && area->first.IsValid() && area->second.IsValid()) {
                    QRect rect = ToQRect(geometry_.AreaRect(area->first.Absolute(), area->second.Absolute()));
                    // One more line and column: the picture lies a line below the squares.
                    rect.adjust(0, 0, 1, 1);
                    InvalidateViewRect(rect);
                } else {
                    viewport()->update();
                }
                break;
            case hint::kRedrawAll:
                viewport()->update();
                break;
            case hint::kTick:
                OnTick();
                break;
            case hint::kSymbolDistanceChanged:
                geometry_.SetSymbolDistance(app_.Settings().symbolDistance);
                UpdateScrollSizes();
                viewport()->update();
                break;
            case hint::kQueryZoomAndScroll:
                if (auto* query = dynamic_cast<ZoomScrollRecord*>(record)) {
                    query->zoom = geometry_.Zoom();
                    query->scrollX = horizontalScrollBar()->value();
                    query->scrollY = verticalScrollBar()->value();
                    query->reserved = 0;
                }
                break;
            default:
                break;
        }
    }
    CGSDoc* doc = Doc();
    if (doc != nullptr && doc->PathName().isEmpty() && firstUpdatePending_) {
        firstUpdatePending_ = false;
        doc->SetTitle(GetText(app_.GetLanguageManager(), kNewSceneryTitleKey, kDataSection));
    }
}

bool CGSView::WantsTicks() const {
    return tools_.Active() || !marked_.IsEmpty();
}

void CGSView::NotifyTickDemand() {
    const bool wanted = WantsTicks();
    if (wanted != tickDemand_) {
        tickDemand_ = wanted;
        if (CGSDoc* doc = Doc()) {
            doc->NotifyTickDemandChanged();
        }
    }
}

void CGSView::OnTick() {
    if (tools_.Active()) {
        AutoScroll();
    }
    if (++tickCounter_ < kTicksPerFrameStep) {
        return;
    }
    tickCounter_ = 0;
    if (!marked_.IsEmpty()) {
        framePhase_ = framePhase_ == 0 ? kFramePhaseCount - 1 : framePhase_ - 1;
        InvalidateViewRects(FrameRects(marked_.Rect()));
    }
}

void CGSView::AutoScroll() {
    // The last place the pointer was reported: during a drag the view gets every move, also
    // outside its window.
    const QPoint pointer = lastWindowPoint_;
    const QRect client = viewport()->rect();
    const int step = kAutoScrollPixels * geometry_.Zoom();
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

void CGSView::OnActivateView(bool active) {
    if (active) {
        app_.SetHelpContext(kHelpContext);
    }
}

// ---- The marked area ------------------------------------------------------------------------------

void CGSView::SetMarkedArea(const MarkedArea& area) {
    if (!marked_.IsEmpty()) {
        InvalidateViewRects(FrameRects(marked_.Rect()));
    }
    marked_ = area;
    tickCounter_ = 0;
    if (!marked_.IsEmpty()) {
        InvalidateViewRects(FrameRects(marked_.Rect()));
    }
    NotifyTickDemand();
    if (CMainFrame* frame = app_.MainFrame()) {
        frame->Router().RequestUpdate();
    }
}

void CGSView::ClearMarkedArea() {
    // A marking that counts as empty shows no frame: nothing on screen changes, and a drawn
    // pixel keeps repainting its square alone.
    const bool shown = !marked_.IsEmpty();
    marked_.Clear();
    if (shown) {
        viewport()->update();
    }
    NotifyTickDemand();
    if (CMainFrame* frame = app_.MainFrame()) {
        frame->Router().RequestUpdate();
    }
}

std::vector<QRect> CGSView::FrameRects(const PixelRect& area) const {
    const QRect r = ToQRect(geometry_.AreaRect(area));
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

// ---- Previews -------------------------------------------------------------------------------------

std::vector<QRect> CGSView::PreviewRects(const Preview& preview) const {
    std::vector<QRect> rects;
    if ((preview.flags & (shape::kLine | shape::kOutline)) != 0) {
        // Pixels plotted twice cancel, as they would in exclusive-or drawing.
        const std::vector<PixelPoint> points = (preview.flags & shape::kLine) != 0
                                                   ? LinePoints(preview.p, preview.c)
                                                   : RectangleOutlinePoints(preview.p, preview.c);
        for (const PixelPoint& point : InvertedPreviewPixels(points)) {
            AppendSquare(rects, ToQRect(geometry_.PixelSquare(point)));
        }
    } else if ((preview.flags & shape::kFilled) != 0) {
        rects.push_back(ToQRect(geometry_.AreaRect(preview.p, preview.c)));
    } else if ((preview.flags & shape::kMarkFrame) != 0) {
        rects = FrameRects(PixelRect::Spanning(preview.p, preview.c));
    }
    return rects;
}

void CGSView::ShowPreview(int flags, PixelPoint p, PixelPoint c) {
    if (preview_) {
        ErasePreview();
    }
    preview_ = Preview{flags, p, c};
    InvalidateViewRects(PreviewRects(*preview_));
}

void CGSView::ErasePreview() {
    if (!preview_) {
        return;
    }
    const std::vector<QRect> rects = PreviewRects(*preview_);
    preview_.reset();
    InvalidateViewRects(rects);
}

void CGSView::InvalidateViewRect(const QRect& viewRect) {
    const QRect window = viewRect.translated(-ScrollPosition()).intersected(viewport()->rect());
    if (!window.isEmpty()) {
        viewport()->update(window);
    }
}

void CGSView::InvalidateViewRects(const std::vector<QRect>& viewRects) {
    for (const QRect& rect : viewRects) {
        InvalidateViewRect(rect);
    }
}

// ---- Painting -------------------------------------------------------------------------------------

void CGSView::RefreshPicture(const PixelRect* area) {
    CGSDoc* doc = Doc();
    const QImage& indexed = doc != nullptr ? doc->DisplayImage() : QImage();
    if (indexed.isNull()) {
        picture_ = QImage();
        pictureSource_ = nullptr;
        return;
    }
    const std::uint64_t revision = app_.GetPalette().Revision();
    PixelRect rect = WholeStoreRect();
    if (picture_.isNull() || pictureRevision_ != revision || pictureSource_ != indexed.constBits()) {
        picture_ = QImage(kStoreWidth, kStoreHeight, QImage::Format_ARGB32_Premultiplied);
        pictureRevision_ = revision;
        pictureSource_ = indexed.constBits();
    } else if (area != nullptr) {
        rect = {std::max(area->x0, 0), std::max(area->y0, 0), std::min(area->x1, kStoreWidth - 1),
                std::min(area->y1, kStoreHeight - 1)};
        if (!rect.HasPixels()) {
            return;
        }
    }
    const QList<QRgb> table = indexed.colorTable();
    if (table.size() < 256) {
        return;
    }
    for (int y = rect.y0; y <= rect.y1; ++y) {
        const uchar* source = indexed.constScanLine(y);
        auto* target = reinterpret_cast<QRgb*>(picture_.scanLine(y));
        for (int x = rect.x0; x <= rect.x1; ++x) {
            target[x] = table[source[x]];
        }
    }
}

void CGSView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPoint scroll = ScrollPosition();
    painter.translate(-scroll);
    PaintView(painter, event->rect().translated(scroll));
}

void CGSView::PaintView(QPainter& painter, const QRect& area) {
    CGSDoc* doc = Doc();
    const GeneralSettings& settings = app_.Settings();
    const QColor background = ToQColor(settings.gsvBg);
    if (doc == nullptr || !doc->Model().IsInitialised()) {
        painter.fillRect(area, background);
        return;
    }
    const SceneryDocument& model = doc->Model();
    if (picture_.isNull() || pictureRevision_ != app_.GetPalette().Revision() ||
        pictureSource_ != doc->DisplayImage().constBits()) {
        RefreshPicture(nullptr);
    }
    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);

    // The background only where no picture goes: at high zoom it would double the work.
    QRegion backgroundRegion(area);
    std::vector<std::pair<QRect, QRect>> blits;  // destination, source
    for (int s = 0; s < kSymbolCount; ++s) {
        const SymbolBlit blit = geometry_.SymbolPainting(model, s, settings.invertDib);
        const QRect destination = ToQRect(blit.destination);
        if (destination.isEmpty() || !destination.intersects(area)) {
            continue;
        }
        blits.emplace_back(destination,
                           QRect(blit.sourceLeft, blit.sourceTop, blit.sourceWidth, blit.sourceHeight));
        backgroundRegion -= destination;
    }
    for (const QRect& rect : backgroundRegion) {
        painter.fillRect(rect, background);
    }

    // The numbers above the symbols. Their layout is kept: laying out 36 texts on every paint
    // would cost more than the whole picture at zoom 1.
    if (area.top() < SceneryGeometry::kLabelHeight) {
        const QFont font = app_.MainFrame() != nullptr ? app_.MainFrame()->SharedFont() : QFont();
        if (labels_.empty() || font != labelFont_) {
            labelFont_ = font;
            labels_.clear();
            for (int s = 0; s < kSymbolCount; ++s) {
                labels_.emplace_back(QString::asprintf("%02d", s + 1));
                labels_.back().setTextFormat(Qt::PlainText);
                labels_.back().prepare(QTransform(), labelFont_);
            }
        }
        painter.setFont(labelFont_);
        painter.setPen(ToQColor(settings.gsvFg));
        for (int s = 0; s < kSymbolCount; ++s) {
            const QRect label = ToQRect(geometry_.LabelRect(s));
            if (label.intersects(area)) {
                const QSizeF size = labels_[std::size_t(s)].size();
                painter.drawStaticText(QPointF(label.left() + (label.width() - size.width()) / 2,
                                               label.top() + (label.height() - size.height()) / 2),
                                       labels_[std::size_t(s)]);
            }
        }
    }

    for (const auto& [destination, source] : blits) {
        painter.drawImage(destination, picture_, source);
    }
    PaintSpecialMarks(painter, area);
    if (!marked_.IsEmpty()) {
        PaintMarchingFrame(painter, area);
    }
    if (preview_) {
        // Inverting with white is its own inverse, as the exclusive-or drawing always was.
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        for (const QRect& rect : PreviewRects(*preview_)) {
            if (rect.intersects(area)) {
                painter.fillRect(rect, Qt::white);
            }
        }
    }
    painter.restore();
}

void CGSView::PaintSpecialMarks(QPainter& painter, const QRect& area) {
    const GeneralSettings& settings = app_.Settings();
    if (!geometry_.ShowsSpecialMarks(settings.showTransCol)) {
        return;
    }
    const SceneryDocument& model = Doc()->Model();
    const auto store = model.PixelStore();
    if (store.size() < kStoreSize) {
        return;
    }
    // One screen pixel per mark, drawn by a cosmetic pen: a rectangle each would cost more than
    // the picture itself when a drawing is mostly transparent.
    std::vector<QPoint> points[3];
    for (int s = 0; s < kSymbolCount; ++s) {
        for (int r = 0; r < kRowCount; ++r) {
            if (!model.IsRowPresentForOutput(s, r)) {
                continue;
            }
            const QRect cell = ToQRect(geometry_.AreaRect(
                PixelPoint{s * kCellWidth, r * kCellHeight},
                PixelPoint{s * kCellWidth + kCellWidth - 1, r * kCellHeight + kCellHeight - 1}));
            if (!cell.intersects(area)) {
                continue;
            }
            // The marks of a cell lie on a grid of the zoom's pitch from its first pixel's.
            const ScreenPoint first = geometry_.SpecialMarkPoint({s, r, 0, 0});
            const int zoom = geometry_.Zoom();
            for (int y = 0; y < kCellHeight; ++y) {
                const std::uint8_t* line = &store[StoreOffset(s, r, 0, y)];
                for (int x = 0; x < kCellWidth; ++x) {
                    const SpecialMark mark = SpecialMarkOf(line[x]);
                    if (mark != SpecialMark::None) {
                        points[static_cast<int>(mark) - 1].emplace_back(first.x + x * zoom,
                                                                        first.y + y * zoom);
                    }
                }
            }
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

void CGSView::PaintMarchingFrame(QPainter& painter, const QRect& area) {
    const QRect r = ToQRect(geometry_.AreaRect(marked_.Rect()));
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

void CGSView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollSizes();
}

void CGSView::scrollContentsBy(int dx, int dy) {
    viewport()->scroll(dx, dy);
}

// ---- Mouse ----------------------------------------------------------------------------------------

namespace {
std::optional<PixelPoint> AbsoluteOf(std::optional<PixelAddress> hit) {
    return hit ? std::optional<PixelPoint>(hit->Absolute()) : std::nullopt;
}
MouseButton ToolButton(Qt::MouseButton button) {
    return button == Qt::LeftButton ? MouseButton::Left : MouseButton::Right;
}
}  // namespace

void CGSView::mousePressEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    CGSDoc* doc = Doc();
    if ((button != Qt::LeftButton && button != Qt::RightButton) || tools_.Active() || doc == nullptr) {
        // One drag at a time: a second button joins nothing.
        event->ignore();
        return;
    }
    const QPoint point = event->position().toPoint();
    lastWindowPoint_ = point;
    SceneryToolSurface surface = ToolSurface();
    tools_.Press(surface, CurrentMode(), ToolButton(button), AbsoluteOf(HitTestWindow(point)));
    doc->NotifyStateChanged();
    NotifyTickDemand();
}

void CGSView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    lastWindowPoint_ = point;
    const std::optional<PixelAddress> hit = HitTestWindow(point);
    if (tools_.Active() && Doc() != nullptr) {
        SceneryToolSurface surface = ToolSurface();
        tools_.Move(surface, AbsoluteOf(hit));
    }
    ShowStatusAndCursor(hit);
}

void CGSView::mouseReleaseEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (!tools_.Active() || (button != Qt::LeftButton && button != Qt::RightButton) ||
        ToolButton(button) != tools_.Button()) {
        return;
    }
    const QPoint point = event->position().toPoint();
    lastWindowPoint_ = point;
    lastGlobalPoint_ = event->globalPosition().toPoint();
    const std::optional<PixelAddress> hit = HitTestWindow(point);
    if (CGSDoc* doc = Doc()) {
        SceneryToolSurface surface = ToolSurface();
        tools_.Release(surface, ToolButton(button), AbsoluteOf(hit),
                       (event->modifiers() & Qt::ControlModifier) != 0);
        doc->NotifyStateChanged();
    } else {
        tools_.Cancel();
    }
    NotifyTickDemand();
    ShowStatusAndCursor(hit);
}

void CGSView::mouseDoubleClickEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if ((button != Qt::LeftButton && button != Qt::RightButton) || tools_.Active()) {
        return;
    }
    CGSDoc* doc = Doc();
    if (doc == nullptr) {
        return;
    }
    const QPoint point = event->position().toPoint();
    lastWindowPoint_ = point;
    const std::optional<PixelAddress> hit = HitTestWindow(point);
    const MouseMode mode = CurrentMode();
    switch (mode) {
        case MouseMode::View:
            if (button == Qt::LeftButton && hit && !doc->Model().IsRowPresent(hit->symbol, hit->row)) {
                const int result =
                    AddRowByDoubleClick(doc->Model(), hit->symbol, hit->row, static_cast<int>(mode));
                if (result == 0) {
                    doc->NotifyChange(SceneryChange::Everything());
                } else {
                    if (result > 0) {
                        app_.Messages().ShowError(result);
                    }
                    doc->NotifyStateChanged();  // the snapshot was taken all the same
                }
            }
            break;
        case MouseMode::Zoom:
            ZoomKeepingPixel(button == Qt::LeftButton ? 1 : -1, hit, point);
            break;
        case MouseMode::PickColor:
            // The first click already went back to the previous mode; the second must not
            // draw in it.
            break;
        default:
            // The drawing tools take the second click of a quick pair as a click of its own.
            mousePressEvent(event);
            break;
    }
}

// ---- What the mouse tools ask of the window ---------------------------------------------------

SceneryToolSurface CGSView::ToolSurface() {
    CGSDoc* doc = Doc();
    return SceneryToolSurface(doc->Model(), workStack_.get(),
                              [doc](const SceneryChange& change) { doc->NotifyChange(change); });
}

void CGSView::SetColour(MouseButton button, PaletteIndex colour) {
    if (button == MouseButton::Left) {
        app_.SetColor1(colour);
    } else {
        app_.SetColor2(colour);
    }
}

void CGSView::ReturnToPreviousMode() {
    app_.SetMouseMode(app_.PreviousMouseMode());
}

void CGSView::Beep() {
    QApplication::beep();
}

void CGSView::Zoom(int step) {
    ZoomKeepingPixel(step, HitTestWindow(lastWindowPoint_), lastWindowPoint_);
}

void CGSView::ShowContextMenu(std::optional<PixelPoint> at) {
    std::optional<PixelAddress> hit;
    if (at) {
        hit = PixelAddress::FromAbsolute(*at);
    }
    ShowContextMenuAt(hit, lastGlobalPoint_);
}

bool CGSView::FillDiagonal() const {
    return app_.Settings().fillDiagonal;
}

bool CGSView::SingleUndo() const {
    return app_.Settings().singleUndo;
}

void CGSView::ShowStatusAndCursor(std::optional<PixelAddress> hit) {
    CGSDoc* doc = Doc();
    if (doc == nullptr) {
        return;
    }
    QString text;
    if (hit) {
        if (tools_.Marking()) {
            text = QString::fromStdString(MarkExtentText(tools_.PressPoint(), tools_.CurrentPoint()));
        } else {
            text = QString::fromStdString(PixelStatusText(app_.GetLanguageManager(), doc->Model(), *hit));
        }
    }
    if (CMainFrame* frame = app_.MainFrame()) {
        frame->SetMessageText(text.left(kMaxStatusTextLength));
    }
    ShowCursor(hit);
}

void CGSView::ShowCursor(std::optional<PixelAddress> hit) {
    const int cursor = hit ? static_cast<int>(CurrentMode()) : -1;
    if (cursor != shownCursor_) {
        shownCursor_ = cursor;
        viewport()->setCursor(hit ? SceneryModeCursor(CurrentMode()) : QCursor(Qt::ArrowCursor));
    }
}

void CGSView::wheelEvent(QWheelEvent* event) {
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
        ZoomKeepingPixel(step, HitTestWindow(point), point);
    }
    event->accept();
}

void CGSView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if ((modifiers & Qt::KeypadModifier) != 0 &&
        (modifiers & (Qt::ControlModifier | Qt::ShiftModifier)) == 0) {
        if (event->key() == Qt::Key_Plus) {
            OnCommand(ID_ZOOM_IN);
        } else if (event->key() == Qt::Key_Minus) {
            OnCommand(ID_ZOOM_OUT);
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// ---- Commands -------------------------------------------------------------------------------------

void CGSView::ShowContextMenuAt(std::optional<PixelAddress> hit, QPoint globalPoint) {
    contextHit_ = hit.has_value();
    if (hit) {
        contextSymbol_ = hit->symbol;
        contextRow_ = hit->row;
    }
    CMainFrame* frame = app_.MainFrame();
    if (frame == nullptr) {
        return;
    }
    if (!contextMenu_) {
        contextMenu_ = BuildMenu(kSceneryContextMenu, frame->Router(), app_.GetLanguageManager());
    }
    QMenu* popup = ContextPopup(contextMenu_.get());
    if (popup == nullptr) {
        return;
    }
    frame->Router().UpdateMenu(popup);
    popupRunner_(*popup, globalPoint);
}

void CGSView::RunTransform(SceneryTransform transform) {
    CGSDoc* doc = Doc();
    if (doc == nullptr) {
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const SceneryChange change = ApplyTransform(doc->Model(), transform, marked_, Context(CurrentMode()));
    QGuiApplication::restoreOverrideCursor();
    doc->NotifyChange(change);
}

bool CGSView::OnCommand(int id) {
    CGSDoc* doc = Doc();
    switch (id) {
        case ID_ZOOM_IN:
        case ID_ZOOM_OUT: {
            // The middle of the window stays where it is, as the zoom tool keeps its pixel.
            const QPoint middle = viewport()->rect().center();
            ZoomKeepingPixel(id == ID_ZOOM_IN ? 1 : -1, HitTestWindow(middle), middle);
            return true;
        }
        case ID_MIRROR_VERTICAL:
            RunTransform(SceneryTransform::MirrorVertically);
            return true;
        case ID_MIRROR_HORIZONTAL:
            RunTransform(SceneryTransform::MirrorHorizontally);
            return true;
        case ID_ROTATE_DOWN:
            RunTransform(SceneryTransform::ShiftDown);
            return true;
        case ID_ROTATE_UP:
            RunTransform(SceneryTransform::ShiftUp);
            return true;
        case ID_ROTATE_RIGHT:
            RunTransform(SceneryTransform::ShiftRight);
            return true;
        case ID_ROTATE_LEFT:
            RunTransform(SceneryTransform::ShiftLeft);
            return true;
        case ID_EDIT_SELECT_ALL:
            SetMarkedArea(MarkedArea::All());
            return true;
        case ID_DELETE_SUBSYMBOL:
            if (doc != nullptr && contextHit_) {
                doc->NotifyChange(RemoveRowCommand(doc->Model(), contextSymbol_, contextRow_,
                                                   static_cast<int>(CurrentMode())));
            }
            return true;
        default:
            return false;
    }
}

bool CGSView::OnUpdateCommand(int id, CommandState& state) {
    switch (id) {
        case ID_ZOOM_IN:
            state.Enable(geometry_.CanZoomIn());
            return true;
        case ID_ZOOM_OUT:
            state.Enable(geometry_.CanZoomOut());
            return true;
        case ID_MIRROR_VERTICAL:
        case ID_MIRROR_HORIZONTAL:
        case ID_ROTATE_DOWN:
        case ID_ROTATE_UP:
        case ID_ROTATE_RIGHT:
        case ID_ROTATE_LEFT:
        case ID_EDIT_SELECT_ALL:
            state.Enable();
            return true;
        case ID_DELETE_SUBSYMBOL: {
            const CGSDoc* doc = Doc();
            state.Enable(doc != nullptr && contextHit_ &&
                         CanRemoveRow(doc->Model(), contextSymbol_, contextRow_));
            return true;
        }
        default:
            return false;
    }
}

}  // namespace zobl
