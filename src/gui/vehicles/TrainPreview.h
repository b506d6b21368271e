#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include <QImage>
#include <QRect>
#include <QWidget>

#include "core/vehicles/TrainStrip.h"

class QAbstractButton;
class QButtonGroup;
class QPainter;
class QScrollArea;

namespace zobl {

struct EditorServices;
struct GeneralSettings;
class Palette;
class VehicleDocument;

// How the preview turns palette indices into screen pixels: the current colours, and from the
// zoom the settings name on, the special colours' marks at the centre of their squares, as the
// editors show them.
struct PreviewColours {
    const Palette& palette;
    const GeneralSettings& settings;
};

// One direction's strip as the preview paints it: the strip's indices at zoom 1 and the
// magnified picture made from them, kept current car by car.
class TrainRowImage {
public:
    void Build(const VehicleSet& set, TrainDirection direction, int zoom, const PreviewColours& colours);
    // Draws car slot car again from set: its columns only. The part of Image() that changed,
    // empty when the car is not in the row.
    QRect RedrawCar(const VehicleSet& set, int car, const PreviewColours& colours);
    // Every pixel again in the current colours, from the indices kept: the set is not read.
    void Recolour(const PreviewColours& colours);

    const TrainLayout& Layout() const noexcept { return layout_; }
    std::span<const PaletteIndex> Indices() const noexcept { return indices_; }
    const QImage& Image() const noexcept { return image_; }
    int Zoom() const noexcept { return zoom_; }

private:
    TrainLayout layout_;
    std::vector<PaletteIndex> indices_;
    QImage image_;
    int zoom_ = 1;
};

// width x height indices (top row first) as a picture of zoom x zoom squares.
QImage MagnifiedIndices(std::span<const PaletteIndex> pixels, int width, int height, int zoom,
                        const PreviewColours& colours);

// The right side of a vehicle window while a set or a car is chosen in the tree: the set as a
// train in both directions at the largest zoom that fits the width, a line about the set above
// it, for a car a frame around it and its four views below, and under all of it the buttons of
// the four day/night states. A change of pixels redraws only the cars whose side views changed.
class TrainPreview : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 50210;
    static constexpr int kMargin = 8;
    static constexpr int kGap = 6;
    static constexpr int kFrameWidth = 2;
    // The car's views in the order of the tree's items: view 1, 2, 3, 0.
    static constexpr std::array<int, 4> kViewOrder = {1, 2, 3, 0};

    TrainPreview(const EditorServices& services, QWidget* parent = nullptr);
    ~TrainPreview() override;

    // Shows set of doc, with car (-1: none) framed and its views below. The document must
    // outlive the preview or be replaced by Clear first.
    void ShowSet(const VehicleDocument& doc, int set, int car);
    void Clear();
    bool Showing() const noexcept { return doc_ != nullptr; }
    int Set() const noexcept { return set_; }
    int Car() const noexcept { return car_; }

    // After a redraw hint: pixels or colours may have changed. Cars whose side views are as
    // they were are not drawn again.
    void Refresh();
    // The set's name, the font and the view's colours may have changed.
    void RefreshTexts();
    // The texts of the language file, read again.
    void LoadTexts();

    // What the window does with the preview's clicks and keys.
    std::function<void(int car)> onCarClicked;
    std::function<void(int car, int view)> onViewActivated;
    std::function<void(int state)> onDayNightWanted;
    std::function<void(const QPoint& globalPosition)> onContextMenu;

    // The magnified strips and where they are on the canvas (canvas coordinates).
    const TrainRowImage& Row(TrainDirection direction) const;
    QRect RowRect(TrainDirection direction) const;
    // The frame around the chosen car's place in a row; empty without a car.
    QRect FrameRect(TrainDirection direction) const;
    // The chosen car's view shown k-th (kViewOrder) and its picture; empty without a car.
    QRect ViewRect(int k) const;
    const QImage& ViewImage(int k) const { return viewImages_[std::size_t(k)]; }
    int StripZoom() const noexcept { return rows_[0].Zoom(); }
    int ViewZoom() const noexcept { return viewZoom_; }
    QString InfoText() const { return info_; }
    // The cars drawn again by the last Refresh, in the order drawn.
    const std::vector<int>& LastRedrawnCars() const noexcept { return lastRedrawn_; }
    QWidget* Canvas() const noexcept;
    QAbstractButton* DayNightButton(int state) const;
    // Paints the part area of the canvas (canvas coordinates).
    void PaintCanvas(QPainter& painter, const QRect& area) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class CanvasWidget;
    friend class CanvasWidget;

    PreviewColours Colours() const;
    void Rebuild();
    void BuildRows(int zoom);
    void BuildViews();
    void LayOut();
    void KeepSideViews();
    bool SideViewsChanged(int car) const;
    void UpdateDayNightButtons();
    int AvailableWidth() const;
    // The largest zoom at which the set's strip fits the preview's width, at most kMaxZoom.
    int FittingStripZoom() const;
    void CanvasPressed(const QPoint& point, bool doubleClick);

    const EditorServices& services_;
    const VehicleDocument* doc_ = nullptr;
    int set_ = -1;
    int car_ = -1;
    QScrollArea* scroll_ = nullptr;
    CanvasWidget* canvas_ = nullptr;
    QButtonGroup* dayNight_ = nullptr;
    QWidget* buttonRow_ = nullptr;

    std::array<TrainRowImage, 2> rows_;  // Forward, Reverse
    std::array<QImage, 4> viewImages_;
    int viewZoom_ = 1;
    // What the pictures were coloured with: the palette's revision and the marks' settings.
    struct ColourKey {
        std::uint64_t paletteRevision = 0;
        int showTransCol = 0;
        std::array<Rgb, 3> marks{};
        friend bool operator==(const ColourKey&, const ColourKey&) = default;
    };
    ColourKey CurrentColourKey() const;
    ColourKey colourKey_;
    // The side views (1 and 2) of every car as last drawn, to find the cars a redraw changed.
    std::array<std::array<std::vector<std::uint8_t>, 2>, vehicles::kMaxCars> sideViews_;
    std::array<std::vector<std::uint8_t>, 4> shownViews_;
    std::vector<int> lastRedrawn_;

    // The language file's texts.
    std::array<QString, 2> rowCaptions_;
    std::array<QString, 4> viewCaptions_;
    QString infoFormat_;
    QString noCarsFormat_;

    // Canvas geometry.
    QString info_;
    QRect infoRect_;
    std::array<QRect, 2> captionRects_;
    std::array<QRect, 2> rowRects_;
    std::array<QRect, 4> viewCaptionRects_;
    std::array<QRect, 4> viewRects_;
    QSize contentSize_;
};

}  // namespace zobl
