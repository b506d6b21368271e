#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zobl {

class SceneryDocument;

// The pixel store as a picture for editing elsewhere: 1152 x 80 bytes, top line first (the store
// itself is bottom-up).
std::vector<std::uint8_t> SceneryToSheet(const SceneryDocument& doc);

// A row that holds drawn pixels but could not be made present under the row rules.
struct SkippedRow {
    int symbol;
    int row;
};

// Writes such a sheet into the store of an initialised doc and makes every row present that
// holds a pixel other than 56, as far as the row rules allow (upwards from the base, then the
// cell below it); rows already present stay. No undo snapshot: an editor command calls
// PrepareChange first. The display pixels are refreshed. Returns the rows left out.
// Example: a sheet drawing only in row 1 of symbol 0 leaves that row out (row 2 is missing).
std::vector<SkippedRow> SheetToScenery(std::span<const std::uint8_t> sheet, SceneryDocument& doc);

}  // namespace zobl
