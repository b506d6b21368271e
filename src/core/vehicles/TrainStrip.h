#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/palette/Palette.h"
#include "core/vehicles/VehicleModel.h"

namespace zobl {

// A set seen as the simulator couples it: the side views of its cars side by side in one strip.
// The simulator numbers the tiles of a set as one run through its cars and lays that run left to
// right in one direction and right to left in the other; the export's reference lists make view 1
// name its tiles forwards and view 2 backwards, so both rows show the stored pictures unmirrored:
//   Forward: view 1 ("Waagerecht vorwärts"), car 0 on the left ... last car on the right;
//   Reverse: view 2 ("Waagerecht rückwärts"), last car on the left ... car 0 on the right.
// The run has no tiles between cars, so cars touch: there is no gap.
enum class TrainDirection { Forward, Reverse };

namespace train {
// Pixels between two coupled cars; the simulator's tile run leaves none.
inline constexpr int kCarGap = 0;

// View 1 for Forward, view 2 for Reverse.
constexpr int SideView(TrainDirection direction) {
    return direction == TrainDirection::Forward ? 1 : 2;
}
constexpr TrainDirection Opposite(TrainDirection direction) {
    return direction == TrainDirection::Forward ? TrainDirection::Reverse : TrainDirection::Forward;
}
// The largest zoom a preview or an exported train picture uses.
inline constexpr int kMaxZoom = 16;
// Rows of transparent pixels (at zoom 1) between the two directions in a train picture.
inline constexpr int kRowGap = 4;
}  // namespace train

// One car's rectangle in the strip, in strip pixels (zoom 1), y = 0 the strip's top row.
struct TrainCarPlace {
    int car = 0;   // slot of the car in its set
    int view = 0;  // the view shown: 1 or 2
    int x = 0;
    int y = 0;  // cars stand on the strip's bottom row
    int width = 0;
    int height = 0;

    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    friend bool operator==(const TrainCarPlace&, const TrainCarPlace&) = default;
};

// The strip of one set in one direction. A set without cars gives an empty strip (0 x 0).
struct TrainLayout {
    TrainDirection direction = TrainDirection::Forward;
    std::vector<TrainCarPlace> places;  // left to right
    int width = 0;                      // total length in pixels (gaps included)
    int height = 0;                     // the tallest side view: 14
    int segments = 0;                   // total length in units of 8 pixels

    // The cars' own length in pixels, the figure to show beside `segments` (gaps not counted).
    int LengthPixels() const { return 8 * segments; }

    // The place of car slot `car`, or nullptr when the car is not in the strip.
    const TrainCarPlace* FindCar(int car) const;
    // The car slot under strip point (x, y) (zoom 1), or -1 between cars and outside. A border
    // pixel belongs to the car it is part of: with cars of widths 16 and 8, x = 15 is the first
    // car and x = 16 the second.
    int CarAt(int x, int y) const;
    // The same for a point in a strip drawn at `zoom` (>= 1): (31, 0) at zoom 2 is strip pixel (15, 0).
    int CarAtZoomed(int x, int y, int zoom) const;
};

// Places the used cars of `set` (slots 0 .. carCount - 1 with a name and a length) as described
// above. Two cars of lengths 2 and 1, Forward: car 0 at x 0 width 16, car 1 at x 16 width 8;
// Reverse: car 1 at x 0, car 0 at x 8. Width 24, height 14, 3 segments.
TrainLayout LayoutTrain(const VehicleSet& set, TrainDirection direction);

// Whether set has a car the strip shows (a train picture can be drawn).
bool HasCoupledCars(const VehicleSet& set);

// The largest whole zoom >= 1 at which a strip of stripWidth x stripHeight fits availableWidth
// (and availableHeight when that is > 0). 1 also when even 1 does not fit (the caller scrolls),
// and for an empty strip. A strip of 256 fits 600 at 2, 512 at 2, 511 at 1.
int FittingZoom(int stripWidth, int stripHeight, int availableWidth, int availableHeight = 0);

// The strip as palette indices, layout.width x layout.height, top row first, rows of
// layout.width bytes. Car pixels are copied unchanged (special colours included, so a view can
// mark them as the editors do); pixels no car covers get `background`. A car whose plane does not
// match its length shows as background.
std::vector<PaletteIndex> RenderTrain(const VehicleSet& set, const TrainLayout& layout,
                                      PaletteIndex background);

// Redraws the columns of car slot `car` only, into a picture RenderTrain made for the same
// layout. False (and `pixels` untouched) when the car is not in the layout or `pixels` has not the
// layout's size.
bool RenderTrainCar(const VehicleSet& set, const TrainLayout& layout, int car, PaletteIndex background,
                    std::span<PaletteIndex> pixels);

// The picture of a set as the train preview shows it and exports it: the Forward row on top,
// kRowGap transparent rows, the Reverse row below; every strip pixel as zoom x zoom pixels (zoom
// clamped to 1 .. kMaxZoom). A set without cars gives an empty picture.
struct TrainPicture {
    int width = 0;
    int height = 0;
    std::vector<PaletteIndex> pixels;  // top row first
};
TrainPicture RenderTrainPicture(const VehicleSet& set, int zoom);

}  // namespace zobl
