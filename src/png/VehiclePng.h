#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "png/PngSheet.h"

namespace zobl {

class VehicleDocument;
struct VehicleSet;

// The sheet of every car's views (layout in core/vehicles/VehicleSheet.h) as an 8-bit indexed
// PNG, colours and transparency as for scenery pictures (night state 1..3 for looking at). A
// document without cars has no sheet: std::runtime_error.
std::vector<std::uint8_t> VehicleToPng(const VehicleDocument& doc, int dayNightState = 0);

// The train picture of set (RenderTrainPicture: both directions, at zoom) as an 8-bit indexed
// PNG in the colours of day/night state dayNightState. A set without cars has no picture:
// std::runtime_error.
std::vector<std::uint8_t> TrainToPng(const VehicleSet& set, int zoom, int dayNightState = 0);

// The indices of such a sheet for doc's sets and cars, from a PNG of any kind, matched against
// doc's present sheet (its special and night-lit indices survive a file of colours). Throws as
// ReadSheetPixels.
SheetPixels ReadVehicleSheet(std::span<const std::uint8_t> png, const std::string& fileName,
                             const VehicleDocument& doc, bool nearest);

// Writes the views of such a sheet back into doc, which must have the same sets and cars, as a
// reader does (the undo history is emptied). Returns how many pixels took the nearest ordinary
// colour. Throws as ReadSheetPixels, and std::runtime_error naming fileName when the views
// cannot take the sheet; doc is then untouched.
int VehicleFromPng(std::span<const std::uint8_t> png, const std::string& fileName, VehicleDocument& doc,
                   bool nearest);

}  // namespace zobl
