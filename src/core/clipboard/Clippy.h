#pragma once

#include "core/vehicles/VehicleModel.h"

namespace zobl {

// The editor's own clipboard, one per process, owned by the application. For now it holds the
// vehicle copy and paste slots: one car and one vehicle set, kept as deep copies so that the
// document they came from may change or close. The pixel part joins it with copying of marked
// areas.
class CClippy {
public:
    CClippy() = default;
    CClippy(const CClippy&) = delete;
    CClippy& operator=(const CClippy&) = delete;

    // Copies the record. The tree state of the source's windows stays behind: it means nothing
    // where the copy is pasted.
    void SetCar(const Car& car);
    void SetVehicleSet(const VehicleSet& set);

    // A car counts once it has a length and a name; a set once it has a name and a car.
    bool HasCar() const;
    bool HasVehicleSet() const;
    const Car& GetCar() const noexcept { return car_; }
    const VehicleSet& GetVehicleSet() const noexcept { return set_; }

    void ClearVehicleSlots();

private:
    Car car_;
    VehicleSet set_;
};

}  // namespace zobl
