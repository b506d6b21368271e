#include "core/clipboard/Clippy.h"

namespace zobl {

void CClippy::SetCar(const Car& car) {
    car_.CopyFrom(car);
    car_.viewState.fill(0);
}

void CClippy::SetVehicleSet(const VehicleSet& set) {
    set_.CopyFrom(set);
    set_.viewState.fill(0);
    for (Car& car : set_.cars) {
        car.viewState.fill(0);
    }
}

bool CClippy::HasCar() const {
    return car_.length != 0 && car_.IsUsed();
}

bool CClippy::HasVehicleSet() const {
    return set_.IsUsed() && set_.carCount > 0;
}

void CClippy::ClearVehicleSlots() {
    car_.Clear();
    set_.Clear();
}

}  // namespace zobl
