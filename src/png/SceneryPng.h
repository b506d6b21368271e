#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/scenery/ScenerySheet.h"
#include "png/PngSheet.h"

namespace zobl {

class SceneryDocument;

// The pixel store as an 8-bit indexed PNG of 1152 x 80, top line first: colour table = the base
// palette (or the colours of night state 1..3, for looking at), pixel value = palette index,
// index 56 transparent.
std::vector<std::uint8_t> SceneryToPng(const SceneryDocument& doc, int dayNightState = 0);

// The indices of a PNG of 1152 x 80 of any kind; current, when given, is the graphic whose
// pixels the sheet replaces (its special indices survive a file of colours). Throws as
// ReadSheetPixels.
SheetPixels ReadScenerySheet(std::span<const std::uint8_t> png, const std::string& fileName,
                             const SceneryDocument* current, bool nearest);

struct SceneryFromPngResult {
    std::vector<SkippedRow> skipped;  // drawn rows the row rules left out
    int mapped = 0;                   // pixels that took the nearest ordinary colour
};

// The inverse of SceneryToPng into a new graphic (doc is initialised afresh): the sheet's
// indices as ReadScenerySheet reads them, every drawn row made present as SheetToScenery does.
// Throws as ReadSheetPixels; doc is then untouched.
SceneryFromPngResult SceneryFromPng(std::span<const std::uint8_t> png, const std::string& fileName,
                                    SceneryDocument& doc, bool nearest);

}  // namespace zobl
