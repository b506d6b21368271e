#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zobl {

class SceneryDocument;

// The pixel store as an 8-bit indexed PNG of 1152 x 80, top line first: colour table = the base
// palette, pixel value = palette index, index 56 transparent.
std::vector<std::uint8_t> SceneryToPng(const SceneryDocument& doc);

// Rows that held drawn pixels but could not be made present under the row rules.
struct SkippedRow {
    int symbol;
    int row;
};

// The inverse of SceneryToPng into a new graphic. An indexed PNG whose indices are all palette
// indices keeps them; any other PNG is mapped colour by colour (an exact base colour keeps its
// index, the lowest of equal ones; any other colour takes the nearest ordinary colour; a fully
// transparent pixel becomes 56). Every row holding a pixel other than 56 is made present as far
// as the row rules allow. Throws MessageError 2 with the file name when bytes are no PNG of
// 1152 x 80.
std::vector<SkippedRow> SceneryFromPng(std::span<const std::uint8_t> png, const std::string& fileName,
                                       SceneryDocument& doc);

}  // namespace zobl
