#include "core/vehicles/VehicleModel.h"

namespace zobl {

using namespace vehicles;

void Car::Clear() {
    length = 0;
    name.Clear();
    text2.Clear();
    text3.Clear();
    for (auto& plane : planes) {
        std::vector<std::uint8_t>().swap(plane);
    }
    viewState = {};
    ++bitmapRevision;
}

void Car::CopyFrom(const Car& other) {
    if (this == &other) {
        return;
    }
    length = other.length;
    name = other.name;
    text2 = other.text2;
    text3 = other.text3;
    segmentFlags = other.segmentFlags;
    carFlags = other.carFlags;
    planes = other.planes;
    viewState = other.viewState;
    ++bitmapRevision;
}

void Car::AllocatePlanes() {
    for (int view = 0; view < kViewCount; ++view) {
        planes[std::size_t(view)].assign(IsValidCarLength(length) ? PlaneSize(view, length) : 0,
                                         TransparentIndex);
    }
    ++bitmapRevision;
}

void VehicleSet::Clear() {
    name.Clear();
    carCount = 0;
    for (Car& car : cars) {
        car.Clear();
    }
    viewState = {};
}

void VehicleSet::CopyFrom(const VehicleSet& other) {
    if (this == &other) {
        return;
    }
    name = other.name;
    carCount = other.carCount;
    for (std::size_t i = 0; i < cars.size(); ++i) {
        cars[i].CopyFrom(other.cars[i]);
    }
    viewState = other.viewState;
}

int VehicleSet::TotalLength() const {
    int total = 0;
    for (const Car& car : cars) {
        total += car.length;
    }
    return total;
}

void VehicleContent::Clear() {
    sets.resize(kMaxSets);
    for (VehicleSet& set : sets) {
        set.Clear();
        for (Car& car : set.cars) {
            car.segmentFlags = {};
            car.carFlags = 0;
        }
    }
    author.Clear();
    description.Clear();
    infoText.Clear();
}

}  // namespace zobl
