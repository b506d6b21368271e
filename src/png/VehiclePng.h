#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zobl {

class VehicleDocument;

// The sheet of every car's views (layout in core/vehicles/VehicleSheet.h) as an 8-bit indexed
// PNG, colours and transparency as for scenery pictures. A document without cars has no sheet:
// std::runtime_error.
std::vector<std::uint8_t> VehicleToPng(const VehicleDocument& doc);

// Writes the views of such a sheet back into doc, which must have the same sets and cars. Only
// an indexed PNG of indices 0..99 is taken: its indices are the pixels. Throws MessageError 2
// with fileName for bytes that are no PNG, and std::runtime_error naming fileName and the
// reason for a sheet of the wrong size or colours; doc is then untouched.
void VehicleFromPng(std::span<const std::uint8_t> png, const std::string& fileName, VehicleDocument& doc);

}  // namespace zobl
