#include "core/simimport/VehicleImport.h"

#include <span>

#include "core/palette/Palette.h"
#include "core/text/CodePages.h"
#include "core/vehicles/VehicleDocument.h"

namespace zobl::simimport {
namespace {

template <std::size_t N>
void Translate(std::array<std::uint8_t, N>& plane) {
    for (std::uint8_t& byte : plane) {
        SimCodeToIndex(byte);
        if (byte == kNoSimColour) {
            byte = TransparentIndex;
        }
    }
}

}  // namespace

void TranslateToPaletteIndices(SimVehicle& vehicle) {
    if (vehicle.paletteIndices) {
        return;
    }
    Translate(vehicle.plane0);
    Translate(vehicle.plane1);
    Translate(vehicle.plane2);
    Translate(vehicle.plane3);
    vehicle.paletteIndices = true;
}

std::uint32_t CarFlagsOf(unsigned simFlags) {
    std::uint32_t flags = 0;
    if (simFlags & kSimFlag1) {
        flags |= vehicles::kCarFlagOption0040;
    }
    if (simFlags & kSimFlag8) {
        flags |= vehicles::kCarFlagOption0001;
    }
    if (simFlags & kSimFlag10) {
        flags |= vehicles::kCarFlagOption8000;
    }
    if (simFlags & kSimFlag4) {
        flags |= vehicles::kCarFlagChoice0020;
    } else if (simFlags & kSimFlag2) {
        flags |= vehicles::kCarFlagChoice0010;
    }
    return flags;
}

int ImportVehicle(VehicleDocument& doc, int set, const SimVehicle* vehicle, MouseMode mouseMode) {
    if (!vehicle) {
        return message::kImportNoVehicleChosen;
    }
    if (set < 0 || set >= doc.CountSets()) {
        return message::kImportNoSetChosen;
    }
    if (doc.CountCars(set) >= vehicles::kMaxCars) {
        return message::kSetHoldsEightCars;
    }
    const int length = vehicle->lengthPixels / 8;
    if (length < 1) {
        return message::kImportNoImages;
    }
    if (length + doc.TotalSetLength(set) > vehicles::kMaxSetLength) {
        return message::kSetTooLong;
    }
    SimVehicle translated = *vehicle;
    TranslateToPaletteIndices(translated);

    // The document keeps its texts in Windows-1252, the reader's own character set.
    std::string name = Utf8ToCp1252(translated.texts[0]);
    if (name.empty()) {
        name = vehicles::kEmptyNameReplacement;
    }
    const int car = doc.CountCars(set);
    if (!doc.AddCar(set, car, name, Utf8ToCp1252(translated.texts[1]), Utf8ToCp1252(translated.texts[2]),
                    length, nullptr, mouseMode)) {
        return kImportRefusedByDocument;
    }
    if (const std::uint32_t flags = CarFlagsOf(translated.flags); flags != 0) {
        // Part of the car just added: the same undo step.
        doc.SetCarFlags(set, car, flags, nullptr, mouseMode, true);
    }
    // Straight into the planes of the car just added, within the undo step that added it. The
    // offsets are the planes' own: a pixel copied past a row's end would land in the next row.
    const std::span<std::uint8_t> views[] = {
        doc.PlaneForDrawing(set, car, 0), doc.PlaneForDrawing(set, car, 1), doc.PlaneForDrawing(set, car, 2),
        doc.PlaneForDrawing(set, car, 3)};
    const int lengthPixels = 8 * length;
    for (int y = 0; y < kSidePlaneHeight; ++y) {
        for (int x = 0; x < lengthPixels; ++x) {
            const std::size_t at = static_cast<std::size_t>(x + kSidePlaneWidth * y);
            views[2][vehicles::PixelOffset(2, length, x, y)] = translated.plane0[at];
            views[1][vehicles::PixelOffset(1, length, x, y)] = translated.plane2[at];
        }
    }
    for (int y = 0; y < 4 * length; ++y) {
        for (int x = 0; x < 8; ++x) {
            const std::size_t at = static_cast<std::size_t>(x + 8 * y);
            views[0][vehicles::PixelOffset(0, length, x, y)] = translated.plane3[at];
            views[3][vehicles::PixelOffset(3, length, x, y)] = translated.plane1[at];
        }
    }
    // Drawing after the import is a step of its own.
    doc.CloseUndoGroup();
    doc.UpdateDoc(1);
    doc.Notify({VehicleHintCode::Added, set, car});
    return 0;
}

}  // namespace zobl::simimport
