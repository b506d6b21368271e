#include "gui/vehicles/CarEdi.h"

#include <algorithm>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "core/clipboard/Clippy.h"
#include "gui/drawing/SceneryCursors.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/MenuResources.h"
#include "gui/framework/MessageService.h"
#include "gui/framework/View.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/vehicles/FGSDoc.h"

namespace zobl {

using namespace vehicles;

namespace {

constexpr int kLightBarOffset = steam::kLightBarOffset;
constexpr int kDarkBarOffset = steam::kDarkBarOffset;

QColor FromRgb(std::uint32_t rgb) {
    return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

}  // namespace

CCarEdi::CCarEdi(const EditorServices& services, QWidget* parent) : PixelEditView(services, parent) {
    setObjectName(QStringLiteral("ZOBL_CAREDIWND"));
    workStack_ = Services().stacks.CreateStack(kWorkStackStep);
    if (!workStack_) {
        // The fill still works without it, on a stack of its own.
        Services().messages.ShowError(kStackError);
    }
}

CCarEdi::~CCarEdi() {
    if (workStack_) {
        Services().stacks.DestroyStack(workStack_);
    }
}

// ---- The view shown -----------------------------------------------------------------------------

void CCarEdi::SetView(CFGSDoc* doc, int set, int car, int view) {
    tools_.Cancel();
    doc_ = doc;
    set_ = set;
    car_ = car;
    view_ = view;
    if (!ShowsView()) {
        doc_ = nullptr;
        view_ = -1;
    }
    // A mark from a larger view is cut to this one; mirror and rotate never reach beyond it.
    if (mark_ && ShowsView()) {
        const PixelRect cut = mark_->ClippedTo(WholeArea());
        mark_ = cut.HasPixels() ? std::optional<PixelRect>(cut) : std::nullopt;
    }
    Refresh();
    UpdateScrollSizes();
    NotifyTickDemand();
}

bool CCarEdi::ShowsView() const {
    return doc_ != nullptr && !doc_->Model().Plane(set_, car_, view_).empty() &&
           IsValidCarLength(doc_->Model().CarAt(set_, car_).length);
}

int CCarEdi::Width() const {
    return ShowsView() ? ViewWidth(view_, doc_->Model().CarAt(set_, car_).length) : 0;
}

int CCarEdi::Height() const {
    return ShowsView() ? ViewHeight(view_, doc_->Model().CarAt(set_, car_).length) : 0;
}

void CCarEdi::Refresh() {
    if (!ShowsView()) {
        picture_ = QImage();
        InvalidateScene();
        return;
    }
    const VehicleDocument& model = doc_->Model();
    const int length = model.CarAt(set_, car_).length;
    const auto plane = model.Plane(set_, car_, view_);
    const ColourTable& colours = Services().palette.CurrentColourTable();
    const int width = Width();
    const int height = Height();
    if (picture_.width() != width || picture_.height() != height) {
        picture_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* source = plane.data() + PixelOffset(view_, length, 0, y);
        auto* target = reinterpret_cast<QRgb*>(picture_.scanLine(y));
        for (int x = 0; x < width; ++x) {
            // A damaged file may hold bytes beyond the palette: they show black.
            target[x] = source[x] < kPaletteSize ? colours[source[x]].ToArgb() : qRgb(0, 0, 0);
        }
    }
    InvalidateScene();
}

std::optional<CarToolSurface> CCarEdi::ToolSurface() {
    if (!ShowsView()) {
        return std::nullopt;
    }
    return std::optional<CarToolSurface>(std::in_place, doc_->Model(), set_, car_, view_, workStack_.get());
}

// ---- Geometry -----------------------------------------------------------------------------------

QRect CCarEdi::PixelSquare(PixelPoint p) const {
    return QRect(p.x * zoom_, p.y * zoom_, zoom_, zoom_);
}

QRect CCarEdi::AreaRect(const PixelRect& area) const {
    if (!area.HasPixels()) {
        return {};
    }
    return QRect(area.x0 * zoom_, area.y0 * zoom_, area.Width() * zoom_, area.Height() * zoom_);
}

std::optional<PixelPoint> CCarEdi::HitTestView(QPoint v) const {
    if (!ShowsView() || v.x() < 0 || v.y() < 0 || v.x() >= Width() * zoom_ || v.y() >= Height() * zoom_) {
        return std::nullopt;
    }
    return PixelPoint{v.x() / zoom_, v.y() / zoom_};
}

QSize CCarEdi::ExtentAt(int zoom) const {
    return {Width() * zoom + kMarkerMargin, Height() * zoom + kMarkerMargin};
}

bool CCarEdi::ApplyZoom(int zoom) {
    const int clamped = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (clamped == zoom_) {
        return false;
    }
    zoom_ = clamped;
    return true;
}

QPoint CCarEdi::WindowPointOf(PixelPoint p) const {
    return PixelSquare(p).topLeft() + QPoint(zoom_ / 2, zoom_ / 2) - ScrollPosition();
}

QCursor CCarEdi::ModeCursor(MouseMode mode) const {
    return SceneryModeCursor(mode);
}

QString CCarEdi::PixelStatus(PixelPoint p) const {
    if (!ShowsView()) {
        return {};
    }
    const int value = doc_->Model().GetPixel(set_, car_, view_, p.x, p.y);
    return QString::asprintf("%d:%d ", p.x, p.y) +
           QString::fromStdString(DescribeColour(Services().language, value));
}

void CCarEdi::NotifyTickDemand() {
    const bool wanted = WantsTicks();
    if (wanted != tickDemand_) {
        tickDemand_ = wanted;
        if (tickDemandChanged_) {
            tickDemandChanged_();
        }
    }
}

// ---- The marked area and the context menu -------------------------------------------------------

void CCarEdi::SetMarkRect(std::optional<PixelRect> mark) {
    if (mark_) {
        viewport()->update();
    }
    mark_ = mark;
    RestartFrame();
    if (mark_) {
        viewport()->update();
    }
    NotifyTickDemand();
    if (CommandRouter* router = Services().shell.Router()) {
        router->RequestUpdate();
    }
}

void CCarEdi::SetMark(PixelPoint a, PixelPoint b) {
    // Normalised and held inside the view.
    const PixelRect cut = PixelRect::Spanning(a, b).ClippedTo(WholeArea());
    SetMarkRect(cut.HasPixels() ? std::optional<PixelRect>(cut) : std::nullopt);
}

void CCarEdi::ShowContextMenu(std::optional<PixelPoint> at) {
    if (at) {
        contextSegment_ = ContextSegmentAt(at->x, at->y);
    }
    RunContextMenu(kCarEditorContextMenu, LastGlobalPoint());
}

// ---- Commands -----------------------------------------------------------------------------------

void CCarEdi::RunTransform(PixelTransform transform) {
    if (!ShowsView()) {
        return;
    }
    const PixelRect whole = WholeArea();
    const PixelRect area = mark_ ? mark_->ClippedTo(whole) : whole;
    if (!area.HasPixels()) {
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    CarViewCanvas canvas(doc_->Model(), set_, car_, view_, CurrentMode());
    TransformArea(canvas, area, transform);
    canvas.Finish();
    if (SingleUndo()) {
        doc_->Model().CloseUndoGroup();
    }
    QGuiApplication::restoreOverrideCursor();
    doc_->NotifyStateChanged();
}

void CCarEdi::CopyMarked(CClippy& clipboard, const PixelRect& mark) {
    if (ShowsView()) {
        CopyArea(clipboard, CarViewCanvas(doc_->Model(), set_, car_, view_, CurrentMode()), mark);
    }
}

PixelRect CCarEdi::WholeArea() const {
    return ShowsView() ? PixelRect{0, 0, Width() - 1, Height() - 1} : PixelRect{};
}

std::optional<PixelRect> CCarEdi::DropPart(const PixelRect& area) const {
    const PixelRect part = area.ClippedTo(WholeArea());
    return part.HasPixels() ? std::optional<PixelRect>(part) : std::nullopt;
}

void CCarEdi::BringToFront() {
    CChildFrame* frame =
        parentWidget() != nullptr ? CChildFrame::FrameOf(dynamic_cast<View*>(parentWidget())) : nullptr;
    if (frame != nullptr && frame->mdiArea() != nullptr && frame->mdiArea()->activeSubWindow() != frame) {
        frame->mdiArea()->setActiveSubWindow(frame);
        viewport()->repaint();
    }
}

QImage CCarEdi::MarkedPicture(const PixelRect& mark) const {
    return picture_.copy(mark.x0, mark.y0, mark.Width(), mark.Height());
}

void CCarEdi::PasteInto(const CClippy& clipboard, const PixelRect& mark) {
    if (!ShowsView()) {
        return;
    }
    CarViewCanvas canvas(doc_->Model(), set_, car_, view_, CurrentMode());
    PasteArea(canvas, clipboard, mark, [](PixelPoint) { return true; });
    canvas.Finish();
    if (SingleUndo()) {
        doc_->Model().CloseUndoGroup();
    }
    doc_->NotifyStateChanged();
}

bool CCarEdi::OnCommand(CommandId id) {
    return OnEditCommand(id);
}

bool CCarEdi::OnUpdateCommand(CommandId id, bool& enabled) const {
    if (!OnUpdateEditCommand(id, enabled)) {
        return false;
    }
    enabled = enabled && ShowsView();
    return true;
}

// ---- Painting -----------------------------------------------------------------------------------

QColor CCarEdi::Background() const {
    return ToQColor(Services().settings.fgsvBg);
}

void CCarEdi::RenderScene(QPainter& painter, const QRect& area) {
    painter.fillRect(area, Background());
    if (!ShowsView() || picture_.isNull()) {
        return;
    }
    painter.drawImage(QRect(0, 0, Width() * zoom_, Height() * zoom_), picture_);
    if (zoom_ >= Services().settings.showBorders) {
        PaintBordersAndMarkers(painter);
    }
    if (ShowsSpecialMarks()) {
        PaintMarks(painter);
    }
}

std::vector<PixelEditView::GridArea> CCarEdi::GridAreas() const {
    if (!ShowsView()) {
        return {};
    }
    const int width = Width();
    const int height = Height();
    const bool side = IsHorizontalView(view_);
    return {{{0, 0, width - 1, height - 1}, side ? 8 : width, side ? height : 4}};
}

void CCarEdi::PaintMarks(QPainter& painter) {
    const VehicleDocument& model = doc_->Model();
    const int length = model.CarAt(set_, car_).length;
    const auto plane = model.Plane(set_, car_, view_);
    const int width = ViewWidth(view_, length);
    const int height = ViewHeight(view_, length);
    std::vector<MarkPoint> marks;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* line = plane.data() + PixelOffset(view_, length, 0, y);
        for (int x = 0; x < width; ++x) {
            if (SpecialMarkOf(line[x]) != SpecialMark::None) {
                marks.push_back({{x, y}, line[x]});
            }
        }
    }
    PaintSpecialMarks(painter, marks);
}

void CCarEdi::PaintBordersAndMarkers(QPainter& painter) {
    const VehicleDocument& model = doc_->Model();
    const int length = model.CarAt(set_, car_).length;
    const int width = ViewWidth(view_, length) * zoom_;
    const int height = ViewHeight(view_, length) * zoom_;
    painter.setPen(QPen(Qt::white, 0, Qt::DotLine));
    const bool horizontal = IsHorizontalView(view_);
    for (int band = 1; band < length; ++band) {
        if (horizontal) {
            painter.drawLine(8 * band * zoom_, 0, 8 * band * zoom_, height - 1);
        } else {
            painter.drawLine(0, 4 * band * zoom_, width - 1, 4 * band * zoom_);
        }
    }
    const QColor light = FromRgb(steam::kLightBarColour);
    const QColor dark = FromRgb(steam::kDarkBarColour);
    for (int band = 0; band < length; ++band) {
        const int segment = SegmentOfBand(view_, length, band);
        const auto marker = SteamMarkerOf(view_, band, model.SegmentWord(set_, car_, view_, segment), zoom_);
        if (!marker) {
            continue;
        }
        if (horizontal) {
            painter.fillRect(marker->start, height + kLightBarOffset, marker->extent, steam::kBarThickness,
                             light);
            painter.fillRect(marker->start, height + kDarkBarOffset, marker->extent, steam::kBarThickness,
                             dark);
        } else {
            painter.fillRect(width + kLightBarOffset, marker->start, steam::kBarThickness, marker->extent,
                             light);
            painter.fillRect(width + kDarkBarOffset, marker->start, steam::kBarThickness, marker->extent,
                             dark);
        }
    }
}

// ---- Mouse and keys -----------------------------------------------------------------------------

void CCarEdi::ToolClicked() {
    if (doc_ != nullptr) {
        doc_->NotifyStateChanged();
    }
}

void CCarEdi::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if ((modifiers & Qt::KeypadModifier) != 0 &&
        (modifiers & (Qt::ControlModifier | Qt::ShiftModifier)) == 0 &&
        (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Minus)) {
        OnCommand(event->key() == Qt::Key_Plus ? ID_ZOOM_IN : ID_ZOOM_OUT);
        return;
    }
    PixelEditView::keyPressEvent(event);
}

}  // namespace zobl
