// Arbitrary bytes as a PNG to turn into a scenery graphic, and as a sheet of car views to write
// into a small vehicle graphic (one set, cars of lengths 1 and 2: a sheet of 26 x 292).
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "core/common/MessageError.h"
#include "core/scenery/SceneryDocument.h"
#include "core/vehicles/VehicleDocument.h"
#include "png/SceneryPng.h"
#include "png/VehiclePng.h"

namespace {

zobl::VehicleDocument& SmallVehicles() {
    static zobl::VehicleDocument doc;
    if (doc.CountSets() == 0) {
        doc.AddVehicleSet("Zug", zobl::MouseMode::View);
        doc.NewCar(0, "Lok", 1, zobl::MouseMode::View);
        doc.NewCar(0, "Wagen", 2, zobl::MouseMode::View);
    }
    return doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static zobl::SceneryDocument doc;
    try {
        zobl::SceneryFromPng(std::span(data, size), "fuzz.png", doc, false);
    } catch (const zobl::MessageError&) {
    }
    try {
        zobl::VehicleFromPng(std::span(data, size), "fuzz.png", SmallVehicles(), false);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
