#include "core/vehicles/TrainStrip.h"

#include <algorithm>

namespace zobl {

namespace {

bool IsCoupled(const Car& car) {
    return car.IsUsed() && vehicles::IsValidCarLength(car.length);
}

void DrawPlace(const VehicleSet& set, const TrainLayout& layout, const TrainCarPlace& place,
               PaletteIndex background, std::span<PaletteIndex> pixels) {
    const Car& car = set.cars[std::size_t(place.car)];
    const auto& plane = car.planes[std::size_t(place.view)];
    const bool planeFits = plane.size() == vehicles::PlaneSize(place.view, car.length);
    for (int y = 0; y < layout.height; ++y) {
        PaletteIndex* row = pixels.data() + std::size_t(y) * std::size_t(layout.width) + std::size_t(place.x);
        const int carY = y - place.y;
        for (int x = 0; x < place.width; ++x) {
            row[x] = planeFits && carY >= 0 && carY < place.height
                         ? plane[vehicles::PixelOffset(place.view, car.length, x, carY)]
                         : background;
        }
    }
}

}  // namespace

const TrainCarPlace* TrainLayout::FindCar(int car) const {
    const auto found =
        std::find_if(places.begin(), places.end(), [car](const auto& p) { return p.car == car; });
    return found == places.end() ? nullptr : &*found;
}

int TrainLayout::CarAt(int x, int y) const {
    for (const auto& place : places) {
        if (place.Contains(x, y)) {
            return place.car;
        }
    }
    return -1;
}

int TrainLayout::CarAtZoomed(int x, int y, int zoom) const {
    if (zoom < 1 || x < 0 || y < 0) {
        return -1;  // dividing would round -1 .. -zoom + 1 to 0
    }
    return CarAt(x / zoom, y / zoom);
}

TrainLayout LayoutTrain(const VehicleSet& set, TrainDirection direction) {
    TrainLayout layout;
    layout.direction = direction;
    const int view = train::SideView(direction);
    const int count = std::clamp(set.carCount, 0, vehicles::kMaxCars);
    for (int i = 0; i < count; ++i) {
        const int car = direction == TrainDirection::Forward ? i : count - 1 - i;
        const Car& record = set.cars[std::size_t(car)];
        if (!IsCoupled(record)) {
            continue;
        }
        if (!layout.places.empty()) {
            layout.width += train::kCarGap;
        }
        const TrainCarPlace place{car,
                                  view,
                                  layout.width,
                                  0,
                                  vehicles::ViewWidth(view, record.length),
                                  vehicles::ViewHeight(view, record.length)};
        layout.places.push_back(place);
        layout.width += place.width;
        layout.height = std::max(layout.height, place.height);
        layout.segments += record.length;
    }
    for (auto& place : layout.places) {
        place.y = layout.height - place.height;
    }
    return layout;
}

bool HasCoupledCars(const VehicleSet& set) {
    return !LayoutTrain(set, TrainDirection::Forward).places.empty();
}

int FittingZoom(int stripWidth, int stripHeight, int availableWidth, int availableHeight) {
    int zoom = stripWidth > 0 ? availableWidth / stripWidth : 1;
    if (availableHeight > 0 && stripHeight > 0) {
        zoom = std::min(zoom, availableHeight / stripHeight);
    }
    return std::max(zoom, 1);
}

std::vector<PaletteIndex> RenderTrain(const VehicleSet& set, const TrainLayout& layout,
                                      PaletteIndex background) {
    std::vector<PaletteIndex> pixels(std::size_t(layout.width) * std::size_t(layout.height), background);
    for (const auto& place : layout.places) {
        DrawPlace(set, layout, place, background, pixels);
    }
    return pixels;
}

bool RenderTrainCar(const VehicleSet& set, const TrainLayout& layout, int car, PaletteIndex background,
                    std::span<PaletteIndex> pixels) {
    const TrainCarPlace* place = layout.FindCar(car);
    if (place == nullptr || pixels.size() != std::size_t(layout.width) * std::size_t(layout.height)) {
        return false;
    }
    DrawPlace(set, layout, *place, background, pixels);
    return true;
}

TrainPicture RenderTrainPicture(const VehicleSet& set, int zoom) {
    zoom = std::clamp(zoom, 1, train::kMaxZoom);
    TrainPicture picture;
    const TrainLayout rows[2] = {LayoutTrain(set, TrainDirection::Forward),
                                 LayoutTrain(set, TrainDirection::Reverse)};
    if (rows[0].places.empty()) {
        return picture;
    }
    picture.width = rows[0].width * zoom;
    picture.height = (rows[0].height + train::kRowGap + rows[1].height) * zoom;
    picture.pixels.assign(std::size_t(picture.width) * std::size_t(picture.height), TransparentIndex);
    int top = 0;
    for (const TrainLayout& row : rows) {
        const std::vector<PaletteIndex> strip = RenderTrain(set, row, TransparentIndex);
        for (int y = 0; y < row.height * zoom; ++y) {
            PaletteIndex* out = picture.pixels.data() + std::size_t(top + y) * std::size_t(picture.width);
            const PaletteIndex* in = strip.data() + std::size_t(y / zoom) * std::size_t(row.width);
            for (int x = 0; x < row.width * zoom; ++x) {
                out[x] = in[x / zoom];
            }
        }
        top += (row.height + train::kRowGap) * zoom;
    }
    return picture;
}

}  // namespace zobl
