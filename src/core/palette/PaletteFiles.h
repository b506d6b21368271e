#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/palette/Palette.h"

namespace zobl {

class CLanguageManager;

// Palette files for other paint programs. Each lists the 100 colours in palette order, so that
// the position of a colour in the file is its palette index: an artist who indexes a picture with
// such a palette gets our indices.
enum class PaletteFormat {
    Gimp,       // .gpl: GIMP, Krita, Inkscape, Aseprite, MyPaint
    Jasc,       // .pal: Paint Shop Pro, Aseprite, GrafX2
    Hex,        // .hex: one colour a line, as Lospec lists them
    SwatchPng,  // .png: 10 x 10 pixels, one per colour (png/PaletteExport.h)
};

// The format --format names: "gpl", "pal", "hex" or "png", letter case ignored.
std::optional<PaletteFormat> PaletteFormatNamed(std::string_view name);
// The format a path's extension names: "farben.GPL" gives Gimp; "farben", "farben.txt" and
// ".gpl" (a hidden file without extension) give nullopt.
std::optional<PaletteFormat> PaletteFormatOfPath(std::string_view path);

// Name of each entry, one line of UTF-8: DescribeColour, "Transparent Transparent (56)".
using PaletteEntryNames = std::array<std::string, kPaletteSize>;
PaletteEntryNames PaletteNames(const CLanguageManager& language);
// The name of the whole palette: DATA 1071 for the day, 1072 with its "%d" as the night state.
std::string PaletteTitle(const CLanguageManager& language, int dayNightState);

// "GIMP Palette", "Name: <title>", "Columns: 10", "#", then one line "RRR GGG BBB<TAB><name>"
// per colour (numbers right-aligned in three places); LF line ends, UTF-8.
std::string GimpPaletteText(const ColourTable& colours, std::string_view title,
                            const PaletteEntryNames& names);
// "JASC-PAL", "0100", "100", then "R G B" per colour; CRLF line ends as Paint Shop Pro writes them.
std::string JascPaletteText(const ColourTable& colours);
// One "rrggbb" per colour, lower case, no '#'; LF line ends.
std::string HexPaletteText(const ColourTable& colours);

}  // namespace zobl
