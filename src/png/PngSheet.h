#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/palette/Palette.h"
#include "png/PngPicture.h"

namespace zobl {

// Pixels of a sheet without an exact palette colour, refused because they may not be mapped.
// what(): "x.png: 17 pixels have no palette colour, the first at 12,3".
struct UnmatchedColours : std::runtime_error {
    UnmatchedColours(const std::string& fileName, int count, int x, int y);
    int count;
    int x;
    int y;
};

// An indexed picture in the colours of night state 1..3: written for looking at, its colours
// say nothing sure about the indices. what(): "x.png: a night picture (state 2) is for looking at".
struct NightPicture : std::runtime_error {
    NightPicture(const std::string& fileName, int state);
    int state;
};

struct SheetPixels {
    std::vector<PaletteIndex> indices;  // width * height, top row first
    int mapped = 0;                     // pixels that took the nearest ordinary colour
};

// A sheet's palette indices from a PNG of any kind (rules in MatchPaletteColours). current are
// the pixels the sheet replaces (width * height) or empty; nearest maps colours that have no
// exact palette colour instead of refusing them. Throws, before decoding, WrongPictureSize for
// another size (expectedName says what the size belongs to, "a scenery sheet"); then
// MessageError 2 as ReadPngPicture, NightPicture, or UnmatchedColours (only without nearest).
SheetPixels ReadSheetPixels(std::span<const std::uint8_t> png, const std::string& fileName, PngSize size,
                            const std::string& expectedName, std::span<const std::uint8_t> current,
                            bool nearest);

}  // namespace zobl
