#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/palette/Palette.h"

namespace zobl {

// A colour as another program stored it: 16 bits per channel (an 8-bit value v is v * 257), not
// premultiplied; alpha 0 is fully transparent, 65535 opaque.
struct Rgba64 {
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    std::uint16_t alpha = 0xFFFF;
    friend bool operator==(const Rgba64&, const Rgba64&) = default;
};

// The pixels of a picture from another program, as the file held them, top row first.
struct ForeignPicture {
    int width = 0;
    int height = 0;
    bool indexed = false;               // a palette file: indices into table
    bool canBeTransparent = false;      // the file has an alpha channel or a transparent entry
    std::vector<std::uint8_t> indices;  // indexed: width * height
    std::vector<Rgba64> table;          // indexed: the file's colour table
    std::vector<Rgba64> pixels;         // not indexed: width * height
};

struct ColourMatchOptions {
    // Colours without an exact palette colour take the nearest ordinary colour instead of
    // being counted as refused.
    bool nearest = false;
    // The pixels now where the picture goes (width * height palette indices), or empty: an exact
    // colour shared by several palette entries keeps the entry already there (a round trip through
    // a file of colours keeps the special and night-lit indices).
    std::span<const std::uint8_t> current;
};

struct ColourMatch {
    std::vector<PaletteIndex> indices;  // width * height; empty for a night picture
    int unmatched = 0;                  // pixels without an exact palette colour
    int firstUnmatchedX = -1;           // the first of them, row by row
    int firstUnmatchedY = -1;
    int nightState = 0;  // 1..3: an indexed file in the colours of that night state
};

// Turns a picture into palette indices (rules in the definition). Never fails on colours: the
// caller decides about unmatched pixels and night pictures. std::invalid_argument when the
// pixels or options.current do not fill width * height.
ColourMatch MatchPaletteColours(const ForeignPicture& picture, const ColourMatchOptions& options);

}  // namespace zobl
