#include "gui/scenery/GSView.h"

#include <algorithm>
#include <cstdlib>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QWheelEvent>

#include "core/clipboard/Clippy.h"
#include "core/scenery/SceneryRules.h"
#include "gui/drawing/SceneryCursors.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/FrameTexts.h"
#include "gui/framework/MenuResources.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/scenery/GSDoc.h"
#include "gui/scenery/SceneryHints.h"

namespace zobl {

using namespace scenery;

namespace {

constexpr int kNewSceneryTitleKey = 1001;  // section "DATA"
constexpr const char* kStackErrorText = "Internal Error creating stack frame!";
QRect ToQRect(const ScreenRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

}  // namespace

CGSView::CGSView(CGSDoc& document, const EditorServices& services)
    : PixelEditView(services), document_(&document) {
    geometry_.SetSymbolDistance(Services().settings.symbolDistance);
    workStack_ = Services().stacks.CreateStack(kWorkStackStep);
    if (!workStack_) {
        // The fill still works without it, on a stack of its own.
        Services().shell.ShowInfo(QString::fromLatin1(kApplicationTitle),
                                  QString::fromLatin1(kStackErrorText));
    }
}

CGSView::~CGSView() {
    if (workStack_) {
        Services().stacks.DestroyStack(workStack_);
    }
}

// ---- State and geometry ---------------------------------------------------------------------------

EditContext CGSView::Context(MouseMode mode) const {
    return {mode, Services().settings.singleUndo};
}

QPoint CGSView::WindowPointOf(PixelAddress address) const {
    const ScreenRect square = geometry_.PixelSquare(address);
    return QPoint(square.left + geometry_.Zoom() / 2, square.top + geometry_.Zoom() / 2) - ScrollPosition();
}

std::optional<PixelAddress> CGSView::HitTestWindow(QPoint windowPoint) const {
    const QPoint view = windowPoint + ScrollPosition();
    return geometry_.HitTest({view.x(), view.y()});
}

// ---- The geometry for the shared editing window ------------------------------------------------

QRect CGSView::PixelSquare(PixelPoint p) const {
    return ToQRect(geometry_.PixelSquare(p));
}

QRect CGSView::AreaRect(const PixelRect& area) const {
    return ToQRect(geometry_.AreaRect(area));
}

std::optional<PixelPoint> CGSView::HitTestView(QPoint viewPoint) const {
    const std::optional<PixelAddress> hit = geometry_.HitTest({viewPoint.x(), viewPoint.y()});
    return hit ? std::optional<PixelPoint>(hit->Absolute()) : std::nullopt;
}

QSize CGSView::ExtentAt(int zoom) const {
    SceneryGeometry geometry = geometry_;
    geometry.SetZoom(zoom);
    return {geometry.ExtentWidth(), geometry.ExtentHeight()};
}

QPoint CGSView::ZoomedViewPoint(QPoint oldView, int oldZoom, int newZoom) const {
    // Beside the pixels the view point under the pointer stays where it is, as near as the
    // number band (which does not grow) allows.
    return {oldView.x() * newZoom / oldZoom,
            SceneryGeometry::kLabelHeight +
                std::max(0, oldView.y() - SceneryGeometry::kLabelHeight) * newZoom / oldZoom};
}

QCursor CGSView::ModeCursor(MouseMode mode) const {
    return SceneryModeCursor(mode);
}

QString CGSView::PixelStatus(PixelPoint p) const {
    const CGSDoc* doc = Doc();
    if (doc == nullptr) {
        return {};
    }
    return QString::fromStdString(
        PixelStatusText(Services().language, doc->Model(), PixelAddress::FromAbsolute(p)));
}

std::optional<PixelRect> CGSView::FramedArea() const {
    return marked_.IsEmpty() ? std::nullopt : std::optional<PixelRect>(marked_.Rect());
}

QSize CGSView::sizeHint() const {
    // All rows and as many symbols as fit a usual screen.
    return {std::min(geometry_.ExtentWidth(), 960) + 2 * frameWidth(),
            geometry_.ExtentHeight() + 2 * frameWidth() + horizontalScrollBar()->sizeHint().height()};
}

void CGSView::RestoreZoomAndScroll(int zoom, QPoint position) {
    SetZoom(zoom);
    UpdateScrollSizes();
    ScrollTo(position);
    viewport()->update();
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
                    InvalidateScene(rect);
                } else {
                    InvalidateScene();
                }
                break;
            case hint::kRedrawAll:
                InvalidateScene();
                break;
            case hint::kTick:
                OnTickStep();
                break;
            case hint::kSymbolDistanceChanged:
                geometry_.SetSymbolDistance(Services().settings.symbolDistance);
                UpdateScrollSizes();
                InvalidateScene();
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
    // A document that has a name keeps it: a recovered copy has no path but its own title, also
    // when it gets a second window.
    CGSDoc* doc = Doc();
    if (doc != nullptr && doc->PathName().isEmpty() && doc->Title().isEmpty() && firstUpdatePending_) {
        firstUpdatePending_ = false;
        doc->SetTitle(GetText(Services().language, kNewSceneryTitleKey, kDataSection));
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

void CGSView::OnActivateView(bool active) {
    if (active) {
        Services().help.SetHelpContext(kHelpContext);
    }
}

// ---- The marked area ------------------------------------------------------------------------------

void CGSView::SetMarkedArea(const MarkedArea& area) {
    if (!marked_.IsEmpty()) {
        InvalidateViewRects(FrameRects(marked_.Rect()));
    }
    marked_ = area;
    RestartFrame();
    if (!marked_.IsEmpty()) {
        InvalidateViewRects(FrameRects(marked_.Rect()));
    }
    NotifyTickDemand();
    if (CommandRouter* router = Services().shell.Router()) {
        router->RequestUpdate();
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
    if (CommandRouter* router = Services().shell.Router()) {
        router->RequestUpdate();
    }
}

// ---- Previews -------------------------------------------------------------------------------------

// ---- Painting -------------------------------------------------------------------------------------

void CGSView::RefreshPicture(const PixelRect* area) {
    CGSDoc* doc = Doc();
    const QImage& indexed = doc != nullptr ? doc->DisplayImage() : QImage();
    if (indexed.isNull()) {
        picture_ = QImage();
        pictureSource_ = nullptr;
        return;
    }
    const std::uint64_t revision = Services().palette.Revision();
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

QColor CGSView::Background() const {
    return ToQColor(Services().settings.gsvBg);
}

void CGSView::PrepareScene() {
    CGSDoc* doc = Doc();
    if (doc != nullptr && doc->Model().IsInitialised() &&
        (picture_.isNull() || pictureRevision_ != Services().palette.Revision() ||
         pictureSource_ != doc->DisplayImage().constBits())) {
        RefreshPicture(nullptr);
        InvalidateScene();
    }
}

void CGSView::RenderScene(QPainter& painter, const QRect& area) {
    CGSDoc* doc = Doc();
    const GeneralSettings& settings = Services().settings;
    const QColor background = Background();
    if (doc == nullptr || !doc->Model().IsInitialised()) {
        painter.fillRect(area, background);
        return;
    }
    const SceneryDocument& model = doc->Model();
    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);

    // The background only where no picture goes: at high zoom it would double the work.
    QRegion backgroundRegion(area);
    std::vector<std::pair<QRect, QRect>> blits;  // destination, source
    for (int s = 0; s < kSymbolCount; ++s) {
        const SymbolBlit blit = geometry_.SymbolPainting(model, s);
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
        const QFont* shared = Services().shell.SharedFont();
        const QFont font = shared != nullptr ? *shared : QFont();
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
    PaintSceneryMarks(painter, area);
    painter.restore();
}

std::vector<PixelEditView::GridArea> CGSView::GridAreas() const {
    const CGSDoc* doc = Doc();
    if (doc == nullptr) {
        return {};
    }
    // The rows the picture shows, as it paints them.
    std::vector<GridArea> grids;
    for (int s = 0; s < kSymbolCount; ++s) {
        const SymbolBlit blit = geometry_.SymbolPainting(doc->Model(), s);
        if (blit.sourceHeight <= 0) {
            continue;
        }
        grids.push_back({{blit.sourceLeft, blit.sourceTop, blit.sourceLeft + blit.sourceWidth - 1,
                          blit.sourceTop + blit.sourceHeight - 1},
                         kCellWidth,
                         kCellHeight});
    }
    return grids;
}

void CGSView::PaintSceneryMarks(QPainter& painter, const QRect& area) {
    if (!ShowsSpecialMarks()) {
        return;
    }
    const SceneryDocument& model = Doc()->Model();
    const auto store = model.PixelStore();
    if (store.size() < kStoreSize) {
        return;
    }
    std::vector<MarkPoint> marks;
    for (int s = 0; s < kSymbolCount; ++s) {
        for (int r = 0; r < kRowCount; ++r) {
            if (!model.IsRowPresentForOutput(s, r)) {
                continue;
            }
            const PixelRect cell{s * kCellWidth, r * kCellHeight, s * kCellWidth + kCellWidth - 1,
                                 r * kCellHeight + kCellHeight - 1};
            if (!AreaRect(cell).intersects(area)) {
                continue;
            }
            for (int y = cell.y0; y <= cell.y1; ++y) {
                const std::uint8_t* line = &store[StoreOffset(cell.x0, y)];
                for (int x = 0; x < kCellWidth; ++x) {
                    if (SpecialMarkOf(line[x]) != SpecialMark::None) {
                        marks.push_back({{cell.x0 + x, y}, line[x]});
                    }
                }
            }
        }
    }
    PaintSpecialMarks(painter, marks);
}

// ---- Mouse ----------------------------------------------------------------------------------------

void CGSView::mouseDoubleClickEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (TakePanPress(event) || (button != Qt::LeftButton && button != Qt::RightButton) || tools_.Active() ||
        TakePipetteFollowUp(event->position().toPoint())) {
        return;
    }
    CGSDoc* doc = Doc();
    if (doc == nullptr) {
        return;
    }
    const QPoint point = event->position().toPoint();
    SetLastWindowPoint(point);
    const std::optional<PixelAddress> hit = HitTestWindow(point);
    const MouseMode mode = CurrentMode();
    switch (mode) {
        case MouseMode::View:
            if (button == Qt::LeftButton && hit && !doc->Model().IsRowPresent(hit->symbol, hit->row)) {
                const int result = AddRowByDoubleClick(doc->Model(), hit->symbol, hit->row, mode);
                if (result == 0) {
                    doc->NotifyChange(SceneryChange::Everything());
                } else if (result > 0) {
                    Services().messages.ShowError(result);
                }
            }
            break;
        case MouseMode::Zoom:
            ZoomKeepingPixel(button == Qt::LeftButton ? 1 : -1, point);
            break;
        default:
            // The drawing tools take the second click of a quick pair as a click of its own.
            mousePressEvent(event);
            break;
    }
}

// ---- What the mouse tools ask of the window ---------------------------------------------------

std::optional<SceneryToolSurface> CGSView::ToolSurface() {
    CGSDoc* doc = Doc();
    if (doc == nullptr) {
        return std::nullopt;
    }
    return std::optional<SceneryToolSurface>(
        std::in_place, doc->Model(), workStack_.get(),
        [doc](const SceneryChange& change) { doc->NotifyChange(change); });
}

void CGSView::ToolClicked() {
    if (CGSDoc* doc = Doc()) {
        doc->NotifyStateChanged();
    }
}

void CGSView::ShowContextMenu(std::optional<PixelPoint> at) {
    std::optional<PixelAddress> hit;
    if (at) {
        hit = PixelAddress::FromAbsolute(*at);
    }
    ShowContextMenuAt(hit, LastGlobalPoint());
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
    PixelEditView::keyPressEvent(event);
}

// ---- The desktop record ---------------------------------------------------------------------------

std::optional<ViewState> CGSView::SaveViewState() const {
    const QPoint scroll = ScrollPosition();
    return ViewState{Zoom(), scroll.x(), scroll.y(), 0};
}

void CGSView::RestoreViewState(const ViewState& state) {
    SetZoom(std::clamp(state.zoom, kMinZoom, kMaxZoom));
    ScrollTo(QPoint(state.scrollX, state.scrollY));
}

// ---- Commands -------------------------------------------------------------------------------------

void CGSView::ShowContextMenuAt(std::optional<PixelAddress> hit, QPoint globalPoint) {
    contextHit_ = hit.has_value();
    if (hit) {
        contextSymbol_ = hit->symbol;
        contextRow_ = hit->row;
    }
    RunContextMenu(kSceneryContextMenu, globalPoint);
}

void CGSView::RunTransform(PixelTransform transform) {
    CGSDoc* doc = Doc();
    if (doc == nullptr) {
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const SceneryChange change = ApplyTransform(doc->Model(), transform, marked_, Context(CurrentMode()));
    QGuiApplication::restoreOverrideCursor();
    doc->NotifyChange(change);
}

void CGSView::CopyMarked(CClippy& clipboard, const PixelRect& mark) {
    if (CGSDoc* doc = Doc()) {
        CopyArea(clipboard, SceneryCanvas(doc->Model(), CurrentMode()), mark);
    }
}

QImage CGSView::MarkedPicture(const PixelRect& mark) const {
    // The display pixels in the colours shown now (day or night).
    const CGSDoc* doc = Doc();
    if (doc == nullptr) {
        return {};
    }
    return doc->DisplayImage()
        .copy(mark.x0, mark.y0, mark.Width(), mark.Height())
        .convertToFormat(QImage::Format_RGB32);
}

void CGSView::PasteInto(const CClippy& clipboard, const PixelRect& mark) {
    CGSDoc* doc = Doc();
    if (doc == nullptr) {
        return;
    }
    SceneryDocument& model = doc->Model();
    SceneryCanvas canvas(model, CurrentMode());
    // Pixels of absent rows stay as they are.
    PasteArea(canvas, clipboard, mark, [&model](PixelPoint p) {
        return model.IsRowPresentForOutput(p.x / kCellWidth, p.y / kCellHeight);
    });
    canvas.Finish();
    if (SingleUndo()) {
        model.CloseUndoGroup();
    }
    doc->NotifyChange(SceneryChange::Everything());
}

bool CGSView::DragSymbolAt(PixelPoint p) {
    if (!Services().settings.autoDragging || !marked_.IsEmpty()) {
        return false;
    }
    const PixelAddress a = PixelAddress::FromAbsolute(p);
    SetMarkedArea(MarkedArea::Cell(a.symbol, a.row));
    DragArea(DragKind::Symbol, marked_.Rect());
    ClearMarkedArea();
    return true;
}

PixelPoint CGSView::DropOrigin(PixelPoint hit, DragKind kind) const {
    if (kind == DragKind::Symbol) {
        return {hit.x - hit.x % kCellWidth, hit.y - hit.y % kCellHeight};
    }
    return hit;
}

void CGSView::PrepareDrop(const PixelRect& area, DragKind /*kind*/) {
    CGSDoc* doc = Doc();
    if (doc == nullptr) {
        return;
    }
    // The row the area starts in comes into being, if the rules allow it, without a message.
    SceneryDocument& model = doc->Model();
    const int symbol = area.x0 / kCellWidth;
    const int row = area.y0 / kCellHeight;
    if (!model.IsRowPresent(symbol, row)) {
        model.PrepareChange(CurrentMode());
        if (model.AddRow(symbol, row, kAddRowCheckRules | kAddRowQuiet) == 0) {
            doc->NotifyChange(SceneryChange::Everything());
        }
    }
}

void CGSView::SetMarkedPixels(std::optional<PixelRect> area) {
    if (area) {
        SetMarkedArea(MarkedArea::Between({area->x0, area->y0}, {area->x1, area->y1}));
    } else {
        ClearMarkedArea();
    }
}

void CGSView::BringToFront() {
    CChildFrame* frame = CChildFrame::FrameOf(this);
    if (frame != nullptr && frame->mdiArea() != nullptr && frame->mdiArea()->activeSubWindow() != frame) {
        frame->mdiArea()->setActiveSubWindow(frame);
        viewport()->repaint();
    }
}

bool CGSView::OnCommand(CommandId id) {
    if (OnEditCommand(id)) {
        return true;
    }
    CGSDoc* doc = Doc();
    if (id == ID_DELETE_SUBSYMBOL) {
        if (doc != nullptr && contextHit_) {
            doc->NotifyChange(RemoveRowCommand(doc->Model(), contextSymbol_, contextRow_, CurrentMode()));
        }
        return true;
    }
    return false;
}

bool CGSView::OnUpdateCommand(CommandId id, CommandState& state) {
    if (bool enabled = false; OnUpdateEditCommand(id, enabled)) {
        state.Enable(enabled);
        return true;
    }
    if (id == ID_INDICATOR_ZOOM) {
        state.Enable();
        state.text = ZoomIndicatorText();
        return true;
    }
    if (id == ID_DELETE_SUBSYMBOL) {
        const CGSDoc* doc = Doc();
        state.Enable(doc != nullptr && contextHit_ &&
                     CanRemoveRow(doc->Model(), contextSymbol_, contextRow_));
        return true;
    }
    return false;
}

}  // namespace zobl
