#include "gui/vehicles/TrainPreview.h"

#include <algorithm>
#include <cstring>

#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/settings/GeneralSettings.h"
#include "core/vehicles/VehicleDocument.h"
#include "gui/framework/EditorServices.h"
#include "gui/lang/Localization.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/vehicles/RawText.h"
#include "gui/vehicles/VehicleTree.h"

namespace zobl {

namespace {

constexpr int kInfoKey = 3944;                    // %1 set, %2 cars, %3 pixels, %4 segments
constexpr int kDayNightKeys = 3945;               // .. 3948: day, night 1, 2, 3
constexpr int kNoCarsKey = 3949;                  // a set without cars
constexpr int kDayNightTipKey = 3950;             // tool tip of the state buttons
constexpr int kRowCaptionKeys[2] = {1030, 1031};  // section DATA: the side views' names

// The squares of strip columns x0 .. x1 - 1 of the rows of pixels (width wide) at zoom, into
// image (32-bit), with the special colours' marks where the settings want them.
void PaintSquares(QImage& image, std::span<const PaletteIndex> pixels, int width, int x0, int x1, int zoom,
                  const PreviewColours& colours) {
    const int height = width > 0 ? int(pixels.size()) / width : 0;
    const QList<QRgb> table = DisplayColourTable(colours.palette);
    std::array<std::optional<QRgb>, kPaletteSize> marks{};
    if (zoom >= colours.settings.showTransCol) {
        for (int index = 0; index < kPaletteSize; ++index) {
            if (const std::optional<QColor> mark = MarkColour(colours.settings, index)) {
                marks[std::size_t(index)] = mark->rgb();
            }
        }
    }
    const int half = zoom / 2;
    const std::size_t bytes = std::size_t(x1 - x0) * std::size_t(zoom) * sizeof(QRgb);
    for (int y = 0; y < height; ++y) {
        const PaletteIndex* in = pixels.data() + std::size_t(y) * std::size_t(width);
        // One line of squares, copied to the square's other lines; the mark on the middle one.
        auto* first = reinterpret_cast<QRgb*>(image.scanLine(y * zoom)) + std::size_t(x0) * std::size_t(zoom);
        for (int x = x0; x < x1; ++x) {
            std::fill_n(first + std::size_t(x - x0) * std::size_t(zoom), zoom, table[in[x]]);
        }
        for (int dy = 1; dy < zoom; ++dy) {
            std::memcpy(image.scanLine(y * zoom + dy) + std::size_t(x0) * std::size_t(zoom) * sizeof(QRgb),
                        first, bytes);
        }
        auto* centre = reinterpret_cast<QRgb*>(image.scanLine(y * zoom + half));
        for (int x = x0; x < x1; ++x) {
            if (in[x] < kPaletteSize && marks[in[x]]) {
                centre[x * zoom + half] = *marks[in[x]];
            }
        }
    }
}

}  // namespace

QImage MagnifiedIndices(std::span<const PaletteIndex> pixels, int width, int height, int zoom,
                        const PreviewColours& colours) {
    if (width <= 0 || height <= 0 || zoom <= 0 || pixels.size() != std::size_t(width) * std::size_t(height)) {
        return {};
    }
    QImage image(width * zoom, height * zoom, QImage::Format_RGB32);
    PaintSquares(image, pixels, width, 0, width, zoom, colours);
    return image;
}

// ---- one row ----

void TrainRowImage::Build(const VehicleSet& set, TrainDirection direction, int zoom,
                          const PreviewColours& colours) {
    zoom_ = std::max(zoom, 1);
    layout_ = LayoutTrain(set, direction);
    indices_ = RenderTrain(set, layout_, BackgroundIndex);
    image_ = MagnifiedIndices(indices_, layout_.width, layout_.height, zoom_, colours);
}

QRect TrainRowImage::RedrawCar(const VehicleSet& set, int car, const PreviewColours& colours) {
    const TrainCarPlace* place = layout_.FindCar(car);
    if (place == nullptr || image_.isNull() ||
        !RenderTrainCar(set, layout_, car, BackgroundIndex, indices_)) {
        return {};
    }
    PaintSquares(image_, indices_, layout_.width, place->x, place->x + place->width, zoom_, colours);
    return {place->x * zoom_, 0, place->width * zoom_, layout_.height * zoom_};
}

void TrainRowImage::Recolour(const PreviewColours& colours) {
    if (!image_.isNull()) {
        PaintSquares(image_, indices_, layout_.width, 0, layout_.width, zoom_, colours);
    }
}

// ---- the canvas inside the scroll area ----

class TrainPreview::CanvasWidget : public QWidget {
public:
    explicit CanvasWidget(TrainPreview& owner) : QWidget(nullptr), owner_(owner) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        owner_.PaintCanvas(painter, event->rect());
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            owner_.CanvasPressed(event->position().toPoint(), false);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            owner_.CanvasPressed(event->position().toPoint(), true);
        }
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (owner_.onContextMenu) {
            owner_.onContextMenu(event->globalPos());
        }
    }

private:
    TrainPreview& owner_;
};

// ---- the preview ----

TrainPreview::TrainPreview(const EditorServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("TrainPreview"));
    canvas_ = new CanvasWidget(*this);
    canvas_->setObjectName(QStringLiteral("TrainPreviewCanvas"));
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setWidget(canvas_);

    buttonRow_ = new QWidget(this);
    auto* buttons = new QHBoxLayout(buttonRow_);
    buttons->setContentsMargins(kMargin, 2, kMargin, kMargin / 2);
    dayNight_ = new QButtonGroup(this);
    dayNight_->setExclusive(true);
    for (int state = 0; state <= Palette::kNightStates; ++state) {
        auto* button = new QToolButton(buttonRow_);
        button->setCheckable(true);
        button->setAutoRaise(false);
        dayNight_->addButton(button, state);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    connect(dayNight_, &QButtonGroup::idClicked, this, [this](int state) {
        if (onDayNightWanted) {
            onDayNightWanted(state);
        }
        UpdateDayNightButtons();
    });

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(scroll_, 1);
    column->addWidget(buttonRow_);
    LoadTexts();
}

TrainPreview::~TrainPreview() = default;

QWidget* TrainPreview::Canvas() const noexcept {
    return canvas_;
}

QAbstractButton* TrainPreview::DayNightButton(int state) const {
    return dayNight_->button(state);
}

const TrainRowImage& TrainPreview::Row(TrainDirection direction) const {
    return rows_[direction == TrainDirection::Forward ? 0 : 1];
}

QRect TrainPreview::RowRect(TrainDirection direction) const {
    return rowRects_[direction == TrainDirection::Forward ? 0 : 1];
}

QRect TrainPreview::FrameRect(TrainDirection direction) const {
    const TrainRowImage& row = Row(direction);
    const TrainCarPlace* place = car_ >= 0 ? row.Layout().FindCar(car_) : nullptr;
    if (place == nullptr) {
        return {};
    }
    const int zoom = row.Zoom();
    const QRect car(RowRect(direction).topLeft() + QPoint(place->x * zoom, place->y * zoom),
                    QSize(place->width * zoom, place->height * zoom));
    return car.adjusted(-kFrameWidth, -kFrameWidth, kFrameWidth, kFrameWidth);
}

QRect TrainPreview::ViewRect(int k) const {
    return viewRects_[std::size_t(k)];
}

PreviewColours TrainPreview::Colours() const {
    return {services_.palette, services_.settings};
}

void TrainPreview::ShowSet(const VehicleDocument& doc, int set, int car) {
    const bool sameSet = doc_ == &doc && set_ == set;
    doc_ = &doc;
    set_ = set;
    car_ = car;
    if (sameSet && !rows_[0].Image().isNull()) {
        // Another car of the same set, or the tree built again after undo: only what changed
        // is drawn again.
        Refresh();
        BuildViews();
        RefreshTexts();
        return;
    }
    Rebuild();
}

void TrainPreview::Clear() {
    doc_ = nullptr;
    set_ = -1;
    car_ = -1;
    rows_ = {};
    viewImages_ = {};
    for (auto& car : sideViews_) {
        car = {};
    }
    shownViews_ = {};
}

void TrainPreview::Rebuild() {
    BuildRows(FittingStripZoom());
    BuildViews();
    KeepSideViews();
    RefreshTexts();
}

int TrainPreview::FittingStripZoom() const {
    const int stripWidth = LayoutTrain(doc_->Set(set_), TrainDirection::Forward).width;
    return std::min(FittingZoom(stripWidth, 0, AvailableWidth()), train::kMaxZoom);
}

int TrainPreview::AvailableWidth() const {
    // From the preview's own width, which is set while it is still hidden; room is kept for a
    // vertical scroll bar, so that one appearing does not change the zoom.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
    return std::max(width() - 2 * kMargin - 2 * kFrameWidth - scrollBar, 1);
}

void TrainPreview::BuildRows(int zoom) {
    const VehicleSet& set = doc_->Set(set_);
    rows_[0].Build(set, TrainDirection::Forward, zoom, Colours());
    rows_[1].Build(set, TrainDirection::Reverse, zoom, Colours());
    colourKey_ = CurrentColourKey();
}

TrainPreview::ColourKey TrainPreview::CurrentColourKey() const {
    const GeneralSettings& settings = services_.settings;
    return {services_.palette.Revision(),
            settings.showTransCol,
            {settings.markTransCol, settings.markTransCol2, settings.markTransCol3}};
}

void TrainPreview::BuildViews() {
    viewImages_ = {};
    shownViews_ = {};
    if (car_ < 0 || !doc_->Set(set_).cars[std::size_t(car_)].IsUsed()) {
        return;
    }
    const zobl::Car& car = doc_->CarAt(set_, car_);
    // The largest zoom at which the four views and their names fit side by side.
    const QFontMetrics metrics(font());
    const auto rowWidth = [&](int zoom) {
        int width = 3 * 2 * kMargin;
        for (std::size_t k = 0; k < kViewOrder.size(); ++k) {
            const int caption = metrics.horizontalAdvance(viewCaptions_[k]);
            width += std::max(caption + 1, zoom * vehicles::ViewWidth(kViewOrder[k], car.length));
        }
        return width;
    };
    viewZoom_ = train::kMaxZoom;
    while (viewZoom_ > 1 && rowWidth(viewZoom_) > AvailableWidth()) {
        --viewZoom_;
    }
    for (std::size_t k = 0; k < kViewOrder.size(); ++k) {
        const int view = kViewOrder[k];
        const int w = vehicles::ViewWidth(view, car.length);
        const int h = vehicles::ViewHeight(view, car.length);
        const std::vector<std::uint8_t>& plane = car.planes[std::size_t(view)];
        if (plane.size() != vehicles::PlaneSize(view, car.length)) {
            continue;
        }
        std::vector<PaletteIndex> pixels(std::size_t(w) * std::size_t(h));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                pixels[std::size_t(y * w + x)] = plane[vehicles::PixelOffset(view, car.length, x, y)];
            }
        }
        viewImages_[k] = MagnifiedIndices(pixels, w, h, viewZoom_, Colours());
        shownViews_[k] = plane;
    }
}

void TrainPreview::KeepSideViews() {
    const VehicleSet& set = doc_->Set(set_);
    for (std::size_t c = 0; c < sideViews_.size(); ++c) {
        sideViews_[c][0] = set.cars[c].planes[1];
        sideViews_[c][1] = set.cars[c].planes[2];
    }
}

bool TrainPreview::SideViewsChanged(int car) const {
    const zobl::Car& record = doc_->Set(set_).cars[std::size_t(car)];
    const auto& kept = sideViews_[std::size_t(car)];
    return record.planes[1] != kept[0] || record.planes[2] != kept[1];
}

void TrainPreview::Refresh() {
    lastRedrawn_.clear();
    if (doc_ == nullptr) {
        return;
    }
    const VehicleSet& set = doc_->Set(set_);
    const TrainLayout now = LayoutTrain(set, TrainDirection::Forward);
    if (now.places != rows_[0].Layout().places) {
        // Cars came, went or changed their length: everything moves.
        Rebuild();
        return;
    }
    const PreviewColours colours = Colours();
    const bool recolour = CurrentColourKey() != colourKey_;
    if (recolour) {
        rows_[0].Recolour(colours);
        rows_[1].Recolour(colours);
        colourKey_ = CurrentColourKey();
    }
    for (const TrainCarPlace& place : now.places) {
        if (!SideViewsChanged(place.car)) {
            continue;
        }
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            const QRect changed = rows_[r].RedrawCar(set, place.car, colours);
            canvas_->update(changed.translated(rowRects_[r].topLeft()));
        }
        lastRedrawn_.push_back(place.car);
        sideViews_[std::size_t(place.car)] = {set.cars[std::size_t(place.car)].planes[1],
                                              set.cars[std::size_t(place.car)].planes[2]};
    }
    bool viewsChanged = recolour;
    if (car_ >= 0) {
        const zobl::Car& car = set.cars[std::size_t(car_)];
        for (std::size_t k = 0; k < kViewOrder.size(); ++k) {
            viewsChanged = viewsChanged || car.planes[std::size_t(kViewOrder[k])] != shownViews_[k];
        }
    }
    if (viewsChanged && car_ >= 0) {
        BuildViews();
        for (const QRect& rect : viewRects_) {
            canvas_->update(rect);
        }
    }
    if (recolour) {
        canvas_->update();
    }
    UpdateDayNightButtons();
}

void TrainPreview::LoadTexts() {
    const CLanguageManager& language = services_.language;
    for (int state = 0; state <= Palette::kNightStates; ++state) {
        QAbstractButton* button = dayNight_->button(state);
        button->setText(GetText(language, kDayNightKeys + state, kDialogsSection));
        button->setToolTip(GetText(language, kDayNightTipKey, kDialogsSection));
    }
    for (std::size_t r = 0; r < rowCaptions_.size(); ++r) {
        rowCaptions_[r] = GetText(language, kRowCaptionKeys[r], kDataSection);
    }
    for (std::size_t k = 0; k < viewCaptions_.size(); ++k) {
        viewCaptions_[k] = GetText(language, vehicle_tree::kChildTextKeys[k], kDataSection);
    }
    infoFormat_ = GetText(language, kInfoKey, kDialogsSection);
    noCarsFormat_ = GetText(language, kNoCarsKey, kDialogsSection);
    RefreshTexts();
}

void TrainPreview::RefreshTexts() {
    if (doc_ != nullptr) {
        const VehicleSet& set = doc_->Set(set_);
        const TrainLayout& layout = rows_[0].Layout();
        info_ = layout.places.empty() ? noCarsFormat_.arg(FromRaw(set.name.View()))
                                      : infoFormat_.arg(FromRaw(set.name.View()))
                                            .arg(layout.places.size())
                                            .arg(layout.LengthPixels())
                                            .arg(layout.segments);
    }
    UpdateDayNightButtons();
    LayOut();
}

void TrainPreview::UpdateDayNightButtons() {
    if (QAbstractButton* button = dayNight_->button(services_.palette.DayNightState())) {
        button->setChecked(true);
    }
}

void TrainPreview::LayOut() {
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    const int left = kMargin + kFrameWidth;
    int y = kMargin;
    int right = 0;
    // The line about the set is cut to the width shown rather than widen the canvas.
    infoRect_ = QRect(kMargin, y, metrics.horizontalAdvance(info_) + 1, line);
    y += line + kGap;
    rowRects_ = {};
    captionRects_ = {};
    viewRects_ = {};
    viewCaptionRects_ = {};
    if (doc_ != nullptr && !rows_[0].Layout().places.empty()) {
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            const QString& caption = rowCaptions_[r];
            captionRects_[r] = QRect(left, y, metrics.horizontalAdvance(caption) + 1, line);
            y += line + kFrameWidth + 1;
            rowRects_[r] = QRect(QPoint(left, y), rows_[r].Image().size());
            right = std::max({right, captionRects_[r].right(), rowRects_[r].right() + kFrameWidth});
            y += rowRects_[r].height() + kFrameWidth + kGap;
        }
        if (car_ >= 0) {
            y += kGap;
            int x = left;
            int tallest = 0;
            for (std::size_t k = 0; k < kViewOrder.size(); ++k) {
                const QString caption = viewCaptions_[k];
                const int captionWidth = metrics.horizontalAdvance(caption) + 1;
                viewCaptionRects_[k] = QRect(x, y, captionWidth, line);
                viewRects_[k] = QRect(QPoint(x, y + line + 2), viewImages_[k].size());
                tallest = std::max(tallest, viewRects_[k].height());
                x += std::max(captionWidth, viewRects_[k].width()) + 2 * kMargin;
            }
            right = std::max(right, x - 2 * kMargin);
            y += line + 2 + tallest;
        }
    }
    contentSize_ = QSize(right + kMargin, y + kMargin);
    canvas_->setMinimumSize(contentSize_);
    canvas_->update();
}

void TrainPreview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (doc_ == nullptr) {
        return;
    }
    // The zoom follows the width; the strips are drawn again only when it changes.
    const int zoom = FittingStripZoom();
    if (zoom != StripZoom()) {
        BuildRows(zoom);
    }
    BuildViews();
    LayOut();
}

void TrainPreview::PaintCanvas(QPainter& painter, const QRect& area) const {
    const GeneralSettings& settings = services_.settings;
    painter.fillRect(area, ToQColor(settings.fgsvBg));
    if (doc_ == nullptr) {
        return;
    }
    painter.setPen(ToQColor(settings.fgsvFg));
    painter.setFont(font());
    // Texts are laid out only where the area needs them: a car's redraw paints no text.
    const auto text = [&painter, &area](const QRect& rect, const auto& string) {
        if (rect.intersects(area)) {
            painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, string());
        }
    };
    text(infoRect_, [this] {
        return QFontMetrics(font()).elidedText(info_, Qt::ElideRight, canvas_->width() - 2 * kMargin);
    });
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (rowRects_[r].isEmpty()) {
            continue;
        }
        text(captionRects_[r], [this, r] { return rowCaptions_[r]; });
        const QRect target = rowRects_[r].intersected(area);
        if (!target.isEmpty()) {
            painter.drawImage(target, rows_[r].Image(), target.translated(-rowRects_[r].topLeft()));
        }
    }
    for (std::size_t k = 0; k < viewRects_.size(); ++k) {
        if (viewImages_[k].isNull()) {
            continue;
        }
        text(viewCaptionRects_[k], [this, k] { return viewCaptions_[k]; });
        painter.drawImage(viewRects_[k].topLeft(), viewImages_[k]);
    }
    // The chosen car among its neighbours: a frame in the colour that marks the car in the
    // tree, which stands out against day and night colours alike.
    const QColor frame = palette().color(QPalette::Active, QPalette::Highlight);
    for (const TrainDirection direction : {TrainDirection::Forward, TrainDirection::Reverse}) {
        const QRect outer = FrameRect(direction);
        if (outer.isEmpty()) {
            continue;
        }
        const QRect inner = outer.adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
        painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), kFrameWidth), frame);
        painter.fillRect(QRect(outer.left(), inner.bottom() + 1, outer.width(), kFrameWidth), frame);
        painter.fillRect(QRect(outer.left(), inner.top(), kFrameWidth, inner.height()), frame);
        painter.fillRect(QRect(inner.right() + 1, inner.top(), kFrameWidth, inner.height()), frame);
    }
}

void TrainPreview::CanvasPressed(const QPoint& point, bool doubleClick) {
    if (doc_ == nullptr) {
        return;
    }
    if (!doubleClick) {
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            if (!rowRects_[r].contains(point)) {
                continue;
            }
            const QPoint inRow = point - rowRects_[r].topLeft();
            const int car = rows_[r].Layout().CarAtZoomed(inRow.x(), inRow.y(), rows_[r].Zoom());
            if (car >= 0 && onCarClicked) {
                onCarClicked(car);
            }
            return;
        }
        return;
    }
    for (std::size_t k = 0; k < viewRects_.size(); ++k) {
        const QRect target = viewRects_[k].united(viewCaptionRects_[k]);
        if (!viewImages_[k].isNull() && target.contains(point) && onViewActivated) {
            onViewActivated(car_, kViewOrder[k]);
            return;
        }
    }
}

}  // namespace zobl
