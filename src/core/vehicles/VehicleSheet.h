#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/drawing/MouseMode.h"

namespace zobl {

class VehicleDocument;

// Every car's four views on one picture of palette indices, for editing elsewhere and reading
// back. The layout depends only on the document's structure (sets, cars and their lengths):
// - Each set is one band of kSheetBandHeight rows, set 0 at the top.
// - Within a band the cars stand left to right from x = 0, kSheetGap columns apart; a car's
//   column is as wide as its widest view, 8 * length.
// - Within a car's column each view starts at a fixed row of the band, its left edge at the
//   column's left edge: view 1 at 0, view 2 at 16, view 0 at 32, view 3 at 162 (room for the
//   tallest views, 14 rows for the lying ones, 128 for the standing ones, and a gap of 2).
// - The sheet is as wide as the widest band (at least 8) and CountSets() bands high.
// - Every pixel outside a view is TransparentIndex and is ignored when reading back.
// Example: set 0 with cars of length 4 and 2, set 1 with one car of length 1 gives a sheet of
// 50 x 584 (32 + 2 + 16 wide). Set 0 car 1's view 1 (16 x 14) lies at (34, 0), its view 0
// (8 x 8) at (34, 32); set 1 car 0's view 3 (8 x 4) at (0, 292 + 162).
inline constexpr int kSheetGap = 2;
inline constexpr int kSheetBandHeight = 292;

// Top row of a view within its band.
int SheetViewTop(int view);

struct SheetPoint {
    int x;
    int y;
};

struct SheetSize {
    int width;
    int height;
    friend bool operator==(const SheetSize&, const SheetSize&) = default;
};

SheetSize VehicleSheetSize(const VehicleDocument& doc);

// Top left corner of a car's view on the sheet.
SheetPoint SheetViewOrigin(const VehicleDocument& doc, int set, int car, int view);

// The sheet, width * height bytes, top row first.
std::vector<std::uint8_t> VehicleToSheet(const VehicleDocument& doc);

// Writes the views of a sheet of VehicleSheetSize(doc) into doc's cars, as a reader does: the
// undo history is emptied. Refuses, leaving doc untouched, a sheet of another size or with a
// view pixel that is no palette index (above 99), and returns why, as one line.
std::optional<std::string> SheetToVehicle(std::span<const std::uint8_t> sheet, SheetSize size,
                                          VehicleDocument& doc);

// The same as an edit of the open document: the views' pixels become one undo step of their own
// (the undo group is closed before and after), the cars' images are rebuilt and the views told
// to redraw. Refuses as SheetToVehicle does, leaving doc and its undo history untouched.
std::optional<std::string> DrawSheetIntoVehicle(std::span<const std::uint8_t> sheet, SheetSize size,
                                                VehicleDocument& doc, MouseMode mouseMode);

}  // namespace zobl
