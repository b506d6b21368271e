#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zobl {

class CLanguageManager;

// A palette index: one byte 0..99, the colour of one pixel.
using PaletteIndex = std::uint8_t;

inline constexpr int kPaletteSize = 100;
inline constexpr PaletteIndex TransparentIndex = 56;
inline constexpr PaletteIndex HalfTransparentIndex = 97;
inline constexpr PaletteIndex BackgroundIndex = 99;
inline constexpr std::uint8_t kNoSimColour = 255;  // simulator code without a colour in the reverse table

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One entry of the current colour table, in the byte order of a bitmap colour table.
struct ColourTableEntry {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
    Rgb ToRgb() const { return {red, green, blue}; }
    // 0xFFRRGGBB, the form a display image's colour table takes.
    std::uint32_t ToArgb() const {
        return 0xFF000000u | (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
    }
    friend bool operator==(const ColourTableEntry&, const ColourTableEntry&) = default;
};

using ColourTable = std::array<ColourTableEntry, kPaletteSize>;

// The fixed palette of the simulator and the kind (0..13) of every colour.
Rgb BaseColour(int index);
int ColourKind(int index);
bool IsSpecialIndex(int index);   // 56, 97 or 99
bool IsOrdinaryIndex(int index);  // the 63 colours with simulator codes 0..62

// Translation between palette indices and the simulator's colour codes, one byte in place.
// IndexToSimCode leaves bytes outside 0..99 unchanged; SimCodeToIndex yields 255 for codes
// that name no colour.
void IndexToSimCode(std::uint8_t& byte);
void SimCodeToIndex(std::uint8_t& byte);

// The colours as currently displayed and the day/night state. One object per application,
// handed to whoever paints palette indices; a change bumps Revision() so that cached display
// images know to rebuild.
class Palette {
public:
    static constexpr int kNightStates = 3;

    Palette();  // the day state with the base palette (InitPalette)

    void InitPalette();
    // Next of the four states day, 1, 2, 3, day...; 56 and 97 then show the two given colours
    // (settings TRANSCOL and TRANSCOL2), darkened to grey at night.
    void StepDayNight(Rgb transparentColour, Rgb halfTransparentColour);
    void SetTransparentDisplayColour(Rgb colour);
    void SetHalfTransparentDisplayColour(Rgb colour);

    int DayNightState() const noexcept { return state_; }
    const ColourTable& CurrentColourTable() const noexcept { return table_; }
    Rgb CurrentColour(int index) const;
    std::uint64_t Revision() const noexcept { return revision_; }

private:
    void SetSpecialEntry(int index, Rgb colour);

    ColourTable table_{};
    int state_ = 0;
    std::uint64_t revision_ = 0;
};

// The colours of day/night state 0..3 (clamped into that range) as pictures and palette files
// for other programs show them: the transparent and half-transparent entries in their base
// colours, darkened to grey at night like every display colour of them.
ColourTable DayNightColourTable(int state);

// The 63 ordinary colours as currently displayed: entry k is the colour of the palette index
// whose simulator code is k.
using NormalColourTable = std::array<Rgb, 63>;
NormalColourTable CreateNormalColourPalette(const Palette& palette);
// The palette index of the ordinary colour nearest to colour (smallest sum of squared
// component differences, the first entry winning ties). Never a special colour.
PaletteIndex NearestNormalIndex(const NormalColourTable& table, Rgb colour);

// Status text of a colour: "<name> <kind name> (<index>)"; names from section "COLORS"
// (5000 + index, 5200 + kind), each cut to 100 characters. An index outside 0..99 describes 0.
std::string DescribeColour(const CLanguageManager& language, int index);
// The two names alone, as the editors' own status formats need them.
std::string ColourName(const CLanguageManager& language, int index);
std::string ColourKindName(const CLanguageManager& language, int index);

// floor(x) + 1 when the fraction is at least 0.5, else floor(x).
int RoundHalfUp(double value);

}  // namespace zobl
