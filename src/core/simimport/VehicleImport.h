#pragma once

#include "core/drawing/MouseMode.h"
#include "core/simimport/SimVehicleReader.h"

namespace zobl {

class VehicleDocument;

namespace message {
inline constexpr int kImportNoSetChosen = 109;
inline constexpr int kImportNoVehicleChosen = 119;
inline constexpr int kImportNoImages = 120;  // a vehicle of length 0: nothing to import
inline constexpr int kSimulatorNotFound = 121;
inline constexpr int kImportNothingListed = 123;   // no vehicle of the chosen categories
inline constexpr int kImportVehicleTooLong = 124;  // %: the vehicle; more than 32 segments
}  // namespace message

namespace simimport {

// The import refused by the document itself: nothing was imported, and there is no message.
inline constexpr int kImportRefusedByDocument = -1;

// Turns the simulator colour codes of the four planes into palette indices, in place, once (a
// second call changes nothing). The filler 255 becomes TransparentIndex, and so does any code
// that names no colour, so that no pixel outside the palette reaches a document or a preview.
void TranslateToPaletteIndices(SimVehicle& vehicle);

// Appends vehicle as a new car to set of doc: texts 1-3 as name and texts 2 and 3 (an empty
// first text becomes "_LEER", as a car must have a name), length lengthPixels / 8, CarFlags from
// the reader's flag bits, the side planes into views 2 and 1, the top planes into views 0 and 3.
// The planes are translated first unless that was done. One undo step, then update action 1
// and hint 6. vehicle null means no vehicle chosen.
// Result: 0 when imported; 119 (no vehicle), 109 (no such set), 111 (set holds 8 cars),
// 112 (set would exceed 32 units), 120 (a vehicle without images, length 0) with nothing
// changed; or kImportRefusedByDocument.
int ImportVehicle(VehicleDocument& doc, int set, const SimVehicle* vehicle, MouseMode mouseMode);

// The document's CarFlags word of the reader's flag bits. The two bits of the three-way choice
// exclude each other: a vehicle with both gets 0x0020 alone.
std::uint32_t CarFlagsOf(unsigned simFlags);

}  // namespace simimport
}  // namespace zobl
