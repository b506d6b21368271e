#pragma once

#include <cstdint>
#include <vector>

#include "core/palette/PaletteFiles.h"

namespace zobl {

class CLanguageManager;

// The colours of day/night state 0..3 as a 10 x 10 indexed PNG: pixel i at (i % 10, i / 10) has
// index i, the colour table is that state's (DayNightColourTable), index 56 transparent.
std::vector<std::uint8_t> PaletteSwatchPng(int dayNightState);

// The colours of day/night state 0..3 as a file of format, names and title from language.
std::vector<std::uint8_t> PaletteFileBytes(PaletteFormat format, int dayNightState,
                                           const CLanguageManager& language);

}  // namespace zobl
