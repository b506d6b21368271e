#pragma once

#include "core/scenery/SceneryGeometry.h"
#include "core/scenery/SceneryTools.h"
#include "gui/framework/Document.h"

namespace zobl {

// The record of hint 1 when only an area changed: its two corner pixels (inclusive).
struct SceneryAreaRecord : HintRecord {
    PixelAddress first;
    PixelAddress second;

    SceneryAreaRecord() = default;
    SceneryAreaRecord(PixelAddress a, PixelAddress b) : first(a), second(b) {}
    // The corners of an area of absolute pixels.
    explicit SceneryAreaRecord(const PixelRect& area)
        : first(PixelAddress::FromAbsolute({area.x0, area.y0})),
          second(PixelAddress::FromAbsolute({area.x1, area.y1})) {}
};

// The record of hint 19, filled in by the view: what the desktop record keeps of it.
struct ZoomScrollRecord : HintRecord {
    int zoom = 0;
    int scrollX = 0;
    int scrollY = 0;
    int reserved = 0;
};

}  // namespace zobl
