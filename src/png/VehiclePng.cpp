#include "png/VehiclePng.h"

#include <stdexcept>

#include "core/vehicles/VehicleDocument.h"
#include "core/vehicles/TrainStrip.h"
#include "core/vehicles/VehicleSheet.h"
#include "png/IndexedPng.h"

namespace zobl {

std::vector<std::uint8_t> VehicleToPng(const VehicleDocument& doc, int dayNightState) {
    if (!doc.AnyCars()) {
        throw std::runtime_error("the vehicle graphic has no cars to draw");
    }
    const SheetSize size = VehicleSheetSize(doc);
    return EncodeIndexedPng(size.width, size.height, VehicleToSheet(doc), dayNightState);
}

std::vector<std::uint8_t> TrainToPng(const VehicleSet& set, int zoom, int dayNightState) {
    const TrainPicture picture = RenderTrainPicture(set, zoom);
    if (picture.pixels.empty()) {
        throw std::runtime_error("the set has no cars to draw");
    }
    return EncodeIndexedPng(picture.width, picture.height, picture.pixels, dayNightState);
}

SheetPixels ReadVehicleSheet(std::span<const std::uint8_t> png, const std::string& fileName,
                             const VehicleDocument& doc, bool nearest) {
    const SheetSize size = VehicleSheetSize(doc);
    return ReadSheetPixels(png, fileName, {size.width, size.height},
                           "the sheet of the document's sets and cars", VehicleToSheet(doc), nearest);
}

int VehicleFromPng(std::span<const std::uint8_t> png, const std::string& fileName, VehicleDocument& doc,
                   bool nearest) {
    const SheetPixels sheet = ReadVehicleSheet(png, fileName, doc, nearest);
    if (const auto problem = SheetToVehicle(sheet.indices, VehicleSheetSize(doc), doc)) {
        throw std::runtime_error(fileName + ": " + *problem);
    }
    return sheet.mapped;
}

}  // namespace zobl
