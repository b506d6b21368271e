#pragma once

#include <cstdint>
#include <vector>

namespace zobl {

class SceneryDocument;
class VehicleDocument;

// Preview pictures of graphics files for file managers (RGBA PNG, no larger than size x size,
// the aspect kept; transparent where nothing is drawn). Pixels are scaled by a whole factor where
// the picture is smaller than size, so they stay sharp, and smoothly down where it is larger.
inline constexpr int kDefaultThumbnailSize = 128;
inline constexpr int kMaxThumbnailSize = 1024;

// The 36 symbols in 4 rows of 9, each with its present rows (absent ones transparent):
// 288 x 320 pixels before scaling.
std::vector<std::uint8_t> SceneryThumbnail(const SceneryDocument& doc, int size);
// The side view (view 1) of every car, the cars of a set side by side 2 pixels apart, a set per
// line of 16 pixels; nothing drawn for a document without cars.
std::vector<std::uint8_t> VehicleThumbnail(const VehicleDocument& doc, int size);

}  // namespace zobl
