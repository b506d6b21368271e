#include "core/vehicles/VehicleSheet.h"

#include <algorithm>
#include <array>

#include "core/vehicles/VehicleDocument.h"

namespace zobl {

using namespace vehicles;

namespace {

// Lying views first: they are what a train shows most of.
constexpr std::array<int, kViewCount> kViewTop = {32, 0, 16, 162};
static_assert(kViewTop[3] + 4 * kMaxCarLength + kSheetGap == kSheetBandHeight);
static_assert(kViewTop[0] == kViewTop[2] + 14 + kSheetGap);

int CarLeft(const VehicleDocument& doc, int set, int car) {
    int x = 0;
    for (int c = 0; c < car; ++c) {
        x += 8 * doc.CarAt(set, c).length + kSheetGap;
    }
    return x;
}

std::string Describe(SheetSize size) {
    return std::to_string(size.width) + " x " + std::to_string(size.height);
}

}  // namespace

int SheetViewTop(int view) {
    return kViewTop[std::size_t(view)];
}

SheetSize VehicleSheetSize(const VehicleDocument& doc) {
    int width = 8;
    for (int set = 0; set < doc.CountSets(); ++set) {
        const int cars = doc.CountCars(set);
        if (cars > 0) {
            width = std::max(width, CarLeft(doc, set, cars) - kSheetGap);
        }
    }
    return {width, doc.CountSets() * kSheetBandHeight};
}

SheetPoint SheetViewOrigin(const VehicleDocument& doc, int set, int car, int view) {
    return {CarLeft(doc, set, car), set * kSheetBandHeight + SheetViewTop(view)};
}

std::vector<std::uint8_t> VehicleToSheet(const VehicleDocument& doc) {
    const SheetSize size = VehicleSheetSize(doc);
    std::vector<std::uint8_t> sheet(std::size_t(size.width) * std::size_t(size.height), TransparentIndex);
    for (int set = 0; set < doc.CountSets(); ++set) {
        for (int car = 0; car < doc.CountCars(set); ++car) {
            const int length = doc.CarAt(set, car).length;
            for (int view = 0; view < kViewCount; ++view) {
                const SheetPoint origin = SheetViewOrigin(doc, set, car, view);
                for (int y = 0; y < ViewHeight(view, length); ++y) {
                    for (int x = 0; x < ViewWidth(view, length); ++x) {
                        sheet[std::size_t(origin.y + y) * std::size_t(size.width) +
                              std::size_t(origin.x + x)] = doc.GetPixel(set, car, view, x, y);
                    }
                }
            }
        }
    }
    return sheet;
}

std::optional<std::string> SheetToVehicle(std::span<const std::uint8_t> sheet, SheetSize size,
                                          VehicleDocument& doc) {
    const SheetSize expected = VehicleSheetSize(doc);
    if (size != expected || sheet.size() != std::size_t(size.width) * std::size_t(size.height)) {
        return "the sheet is " + Describe(size) + " pixels, the sets and cars of this document need " +
               Describe(expected);
    }
    // A copy takes the pixels, so a refusal halfway leaves the document as it was.
    VehicleContent content = doc.Content();
    for (int set = 0; set < doc.CountSets(); ++set) {
        for (int car = 0; car < doc.CountCars(set); ++car) {
            Car& record = content.sets[std::size_t(set)].cars[std::size_t(car)];
            for (int view = 0; view < kViewCount; ++view) {
                const SheetPoint origin = SheetViewOrigin(doc, set, car, view);
                auto& plane = record.planes[std::size_t(view)];
                for (int y = 0; y < ViewHeight(view, record.length); ++y) {
                    for (int x = 0; x < ViewWidth(view, record.length); ++x) {
                        const std::uint8_t value = sheet[std::size_t(origin.y + y) * std::size_t(size.width) +
                                                         std::size_t(origin.x + x)];
                        if (value >= kPaletteSize) {
                            return "pixel (" + std::to_string(origin.x + x) + ", " +
                                   std::to_string(origin.y + y) + ") is no palette colour";
                        }
                        plane[PixelOffset(view, record.length, x, y)] = value;
                    }
                }
            }
        }
    }
    doc.ReplaceContent(std::move(content));
    return std::nullopt;
}

}  // namespace zobl
