// Arbitrary bytes as a PNG of any kind turned into palette indices, as a PNG to turn into a
// scenery graphic, and as a sheet of car views to write into a small vehicle graphic (one set,
// cars of lengths 1 and 2: a sheet of 26 x 292).
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "FuzzCheck.h"
#include "core/common/MessageError.h"
#include "core/palette/ColourMatch.h"
#include "core/scenery/SceneryDocument.h"
#include "core/vehicles/VehicleDocument.h"
#include "png/PngPicture.h"
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
    try {
        const zobl::ForeignPicture picture = zobl::ReadPngPicture(std::span(data, size), "fuzz.png");
        for (const bool nearest : {false, true}) {
            const zobl::ColourMatch match = zobl::MatchPaletteColours(picture, {.nearest = nearest});
            if (match.nightState == 0) {
                zobl::fuzz::Check(match.indices.size() ==
                                  std::size_t(picture.width) * std::size_t(picture.height));
                for (const std::uint8_t index : match.indices) {
                    zobl::fuzz::Check(index < zobl::kPaletteSize);
                }
            }
        }
    } catch (const std::runtime_error&) {
    }
    static zobl::SceneryDocument doc;
    try {
        zobl::SceneryFromPng(std::span(data, size), "fuzz.png", doc, true);
    } catch (const std::runtime_error&) {
    }
    try {
        zobl::VehicleFromPng(std::span(data, size), "fuzz.png", SmallVehicles(), false);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
