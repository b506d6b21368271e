#include "png/VehiclePng.h"

#include <QImage>

#include <algorithm>
#include <stdexcept>

#include "core/vehicles/VehicleDocument.h"
#include "core/vehicles/VehicleSheet.h"
#include "png/IndexedPng.h"

namespace zobl {

std::vector<std::uint8_t> VehicleToPng(const VehicleDocument& doc) {
    if (!doc.AnyCars()) {
        throw std::runtime_error("the vehicle graphic has no cars to draw");
    }
    const SheetSize size = VehicleSheetSize(doc);
    return EncodeIndexedPng(size.width, size.height, VehicleToSheet(doc));
}

void VehicleFromPng(std::span<const std::uint8_t> png, const std::string& fileName, VehicleDocument& doc) {
    const SheetSize size = VehicleSheetSize(doc);
    const QImage image = DecodePng(png, fileName, QSize(size.width, size.height), [&](QSize found) {
        throw std::runtime_error(fileName + ": the sheet is " + std::to_string(found.width()) + " x " +
                                 std::to_string(found.height()) +
                                 " pixels, the sets and cars of the document need " +
                                 std::to_string(size.width) + " x " + std::to_string(size.height));
    });
    if (image.format() != QImage::Format_Indexed8) {
        throw std::runtime_error(fileName + ": not an indexed PNG; the sheet's pixels are palette indices");
    }
    std::vector<std::uint8_t> pixels(std::size_t(size.width) * std::size_t(size.height));
    for (int y = 0; y < size.height; ++y) {
        std::copy_n(image.constScanLine(y), size.width, pixels.begin() + std::ptrdiff_t(y) * size.width);
    }
    if (const auto problem = SheetToVehicle(pixels, size, doc)) {
        throw std::runtime_error(fileName + ": " + *problem);
    }
}

}  // namespace zobl
