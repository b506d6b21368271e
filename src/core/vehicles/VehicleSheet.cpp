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

// Calls visit(set, car, view, x, y, sheetByte) for every view pixel of the sheet, and stops at
// the first call that answers false; false then. A sheet of mutable bytes hands them over to be
// written.
template <typename Byte, typename Visit>
bool ForEachViewPixel(const VehicleDocument& doc, std::span<Byte> sheet, SheetSize size, Visit&& visit) {
    for (int set = 0; set < doc.CountSets(); ++set) {
        for (int car = 0; car < doc.CountCars(set); ++car) {
            const int length = doc.CarAt(set, car).length;
            for (int view = 0; view < kViewCount; ++view) {
                const SheetPoint origin = SheetViewOrigin(doc, set, car, view);
                for (int y = 0; y < ViewHeight(view, length); ++y) {
                    for (int x = 0; x < ViewWidth(view, length); ++x) {
                        Byte& byte = sheet[std::size_t(origin.y + y) * std::size_t(size.width) +
                                           std::size_t(origin.x + x)];
                        if (!visit(set, car, view, x, y, byte)) {
                            return false;
                        }
                    }
                }
            }
        }
    }
    return true;
}

// Why a sheet does not fit doc, or nothing.
std::optional<std::string> CheckSheet(const VehicleDocument& doc, std::span<const std::uint8_t> sheet,
                                      SheetSize size) {
    const SheetSize expected = VehicleSheetSize(doc);
    if (size != expected || sheet.size() != std::size_t(size.width) * std::size_t(size.height)) {
        return "the sheet is " + Describe(size) + " pixels, the sets and cars of this document need " +
               Describe(expected);
    }
    std::optional<std::string> problem;
    ForEachViewPixel(doc, sheet, size, [&](int set, int car, int view, int x, int y, std::uint8_t value) {
        if (value < kPaletteSize) {
            return true;
        }
        const SheetPoint origin = SheetViewOrigin(doc, set, car, view);
        problem = "pixel (" + std::to_string(origin.x + x) + ", " + std::to_string(origin.y + y) +
                  ") is no palette colour";
        return false;
    });
    return problem;
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
    ForEachViewPixel(doc, std::span<std::uint8_t>(sheet), size,
                     [&doc](int set, int car, int view, int x, int y, std::uint8_t& byte) {
                         byte = doc.GetPixel(set, car, view, x, y);
                         return true;
                     });
    return sheet;
}

std::optional<std::string> SheetToVehicle(std::span<const std::uint8_t> sheet, SheetSize size,
                                          VehicleDocument& doc) {
    if (std::optional<std::string> problem = CheckSheet(doc, sheet, size)) {
        return problem;
    }
    VehicleContent content = doc.Content();
    ForEachViewPixel(doc, sheet, size,
                     [&content](int set, int car, int view, int x, int y, std::uint8_t value) {
                         Car& record = content.sets[std::size_t(set)].cars[std::size_t(car)];
                         record.planes[std::size_t(view)][PixelOffset(view, record.length, x, y)] = value;
                         return true;
                     });
    doc.ReplaceContent(std::move(content));
    return std::nullopt;
}

std::optional<std::string> DrawSheetIntoVehicle(std::span<const std::uint8_t> sheet, SheetSize size,
                                                VehicleDocument& doc, MouseMode mouseMode) {
    if (std::optional<std::string> problem = CheckSheet(doc, sheet, size)) {
        return problem;
    }
    doc.CloseUndoGroup();
    doc.PrepareChange(mouseMode);
    ForEachViewPixel(doc, sheet, size, [&doc](int set, int car, int view, int x, int y, std::uint8_t value) {
        doc.PlaneForDrawing(set, car, view)[PixelOffset(view, doc.CarAt(set, car).length, x, y)] = value;
        return true;
    });
    doc.CloseUndoGroup();
    doc.RebuildAllBitmaps();
    doc.Notify({VehicleHintCode::Redraw});
    return std::nullopt;
}

}  // namespace zobl
