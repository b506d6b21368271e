#pragma once

#include <cstdint>
#include <optional>

namespace zobl {

// Steam settings of a car: per view and segment, bits 0xC0 of the segment word. The export
// ORs them into the tile references.
namespace steam {
inline constexpr std::uint16_t kNone = 0;
inline constexpr std::uint16_t kHalf = 0x80;   // second radio button: markers over half a segment
inline constexpr std::uint16_t kWhole = 0x40;  // third radio button: markers over the whole segment
inline constexpr std::uint16_t kMask = 0xC0;

// Marker bars beside the image, across the band axis: at image extent * zoom + offset.
inline constexpr int kLightBarOffset = 2;
inline constexpr int kDarkBarOffset = 8;
inline constexpr int kBarThickness = 5;
inline constexpr std::uint32_t kLightBarColour = 0xC0C0C0;
inline constexpr std::uint32_t kDarkBarColour = 0x5C5C5C;
}  // namespace steam

// The steam value the dialog shows for a segment word: 0x80 wins over 0x40.
constexpr std::uint16_t SteamChoice(std::uint16_t word) {
    if (word & steam::kHalf) {
        return steam::kHalf;
    }
    return (word & steam::kWhole) ? steam::kWhole : steam::kNone;
}

// The pixel band a right click remembers: its 8-pixel column and its 4-row group.
struct ContextSegment {
    int column = -1;
    int rowGroup = -1;
    friend bool operator==(const ContextSegment&, const ContextSegment&) = default;
};
ContextSegment ContextSegmentAt(int x, int y);

// Segment of band j (counted from the left for views 1 and 2, from the top for views 0 and 3)
// of a view of a car of the given length; -1 when the band lies outside the car.
int SegmentOfBand(int view, int length, int band);
// The segment a remembered band names in a view: its column for the horizontal views, its row
// group for the vertical ones. -1 when none was remembered or it lies outside this car (a band
// remembered from a longer car): then the command leaves the flags alone.
int SegmentOfContext(int view, int length, ContextSegment context);

// Where the marker of a segment word lies along the band axis of band j at the given zoom
// (x for the horizontal views, y for the vertical ones); none for a word without steam.
struct SteamMarker {
    int start = 0;
    int extent = 0;
    friend bool operator==(const SteamMarker&, const SteamMarker&) = default;
};
std::optional<SteamMarker> SteamMarkerOf(int view, int band, std::uint16_t word, int zoom);

}  // namespace zobl
