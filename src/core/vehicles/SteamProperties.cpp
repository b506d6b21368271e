#include "core/vehicles/SteamProperties.h"

#include "core/vehicles/VehicleModel.h"

namespace zobl {

using namespace vehicles;

ContextSegment ContextSegmentAt(int x, int y) {
    if (x < 0 || y < 0) {
        return {};
    }
    return {x / 8, y / 4};
}

int SegmentOfBand(int view, int length, int band) {
    if (!IsValidView(view) || !IsValidCarLength(length) || band < 0 || band >= length) {
        return -1;
    }
    // Views 1 and 3 count their segments along the image, views 2 and 0 against it.
    return (view == 1 || view == 3) ? band : length - 1 - band;
}

int SegmentOfContext(int view, int length, ContextSegment context) {
    return SegmentOfBand(view, length, IsHorizontalView(view) ? context.column : context.rowGroup);
}

std::optional<SteamMarker> SteamMarkerOf(int view, int band, std::uint16_t word, int zoom) {
    const std::uint16_t value = SteamChoice(word);
    if (value == steam::kNone || !IsValidView(view) || band < 0 || zoom < 1) {
        return std::nullopt;
    }
    if (IsHorizontalView(view)) {
        const int left = 8 * band * zoom;
        if (value == steam::kWhole) {
            return SteamMarker{left, 8 * zoom};
        }
        return SteamMarker{view == 1 ? left + 4 * zoom : left, 4 * zoom};
    }
    const int top = 4 * band * zoom;
    if (value == steam::kWhole) {
        return SteamMarker{top, 4 * zoom};
    }
    return SteamMarker{view == 3 ? top : top + 2 * zoom, 2 * zoom};
}

}  // namespace zobl
