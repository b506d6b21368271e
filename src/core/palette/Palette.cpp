#include "core/palette/Palette.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string_view>

#include "core/lang/LanguageManager.h"

namespace zobl {

namespace {

struct BaseEntry {
    Rgb colour;
    std::uint8_t kind;
};

// The simulator's fixed palette. Kinds: 0-2 ordinary colours (darkened at night), 3 lights that
// keep their colour, 4 transparent, 5-11 windows and lamps that shine at night (6-8 yellow,
// 9-11 white, lit for three, two or one night states), 12 half-transparent, 13 background.
constexpr std::array<BaseEntry, kPaletteSize> kBasePalette = {{
    {{0, 0, 0}, 0},       {{0, 0, 168}, 0},     {{0, 168, 0}, 0},      {{0, 168, 168}, 0},
    {{168, 0, 0}, 0},     {{168, 136, 0}, 0},   {{0, 112, 0}, 1},      {{168, 168, 168}, 0},
    {{84, 84, 84}, 0},    {{84, 84, 255}, 0},   {{84, 255, 84}, 0},    {{84, 255, 255}, 0},
    {{255, 84, 84}, 0},   {{255, 160, 0}, 0},   {{255, 255, 84}, 0},   {{255, 255, 255}, 0},
    {{255, 244, 140}, 0}, {{220, 188, 48}, 0},  {{124, 36, 0}, 0},     {{60, 60, 60}, 0},
    {{124, 124, 124}, 0}, {{188, 188, 188}, 0}, {{0, 92, 0}, 0},       {{208, 40, 40}, 0},
    {{84, 40, 0}, 0},     {{255, 255, 196}, 0}, {{168, 0, 168}, 0},    {{60, 60, 208}, 0},
    {{20, 128, 20}, 0},   {{12, 44, 132}, 2},   {{68, 124, 124}, 2},   {{108, 168, 168}, 2},
    {{88, 60, 20}, 2},    {{60, 132, 100}, 0},  {{40, 208, 40}, 0},    {{244, 212, 0}, 0},
    {{168, 80, 80}, 0},   {{220, 128, 128}, 0}, {{148, 148, 120}, 0},  {{156, 52, 0}, 0},
    {{220, 220, 220}, 0}, {{100, 152, 100}, 0}, {{0, 64, 0}, 0},       {{252, 108, 12}, 0},
    {{236, 40, 0}, 0},    {{132, 208, 176}, 0}, {{104, 96, 72}, 0},    {{108, 144, 168}, 0},
    {{44, 208, 208}, 0},  {{240, 80, 240}, 0},  {{60, 236, 124}, 3},   {{252, 60, 80}, 3},
    {{252, 228, 76}, 3},  {{252, 252, 236}, 3}, {{76, 92, 244}, 3},    {{252, 180, 20}, 3},
    {{0, 112, 0}, 4},     {{72, 72, 72}, 5},    {{156, 156, 156}, 5},  {{196, 32, 32}, 5},
    {{92, 72, 72}, 5},    {{12, 44, 132}, 6},   {{68, 124, 124}, 6},   {{108, 168, 168}, 6},
    {{88, 60, 20}, 6},    {{100, 152, 252}, 0}, {{204, 100, 0}, 0},    {{100, 0, 152}, 0},
    {{12, 44, 132}, 7},   {{68, 124, 124}, 7},  {{108, 168, 168}, 7},  {{88, 60, 20}, 7},
    {{12, 44, 132}, 8},   {{68, 124, 124}, 8},  {{108, 168, 168}, 8},  {{88, 60, 20}, 8},
    {{12, 44, 132}, 9},   {{68, 124, 124}, 9},  {{108, 168, 168}, 9},  {{88, 60, 20}, 9},
    {{12, 44, 132}, 10},  {{68, 124, 124}, 10}, {{108, 168, 168}, 10}, {{88, 60, 20}, 10},
    {{12, 44, 132}, 11},  {{68, 124, 124}, 11}, {{108, 168, 168}, 11}, {{88, 60, 20}, 11},
    {{204, 192, 168}, 0}, {{52, 52, 0}, 0},     {{200, 204, 236}, 0},  {{0, 100, 152}, 0},
    {{0, 152, 204}, 0},   {{104, 104, 104}, 0}, {{248, 232, 44}, 0},   {{184, 148, 120}, 0},
    {{148, 148, 148}, 0}, {{0, 64, 0}, 12},     {{12, 148, 12}, 0},    {{0, 112, 0}, 13},
}};

constexpr Rgb kYellowShine{176, 144, 0};
constexpr Rgb kWhiteShine{160, 164, 156};

constexpr std::uint8_t ForwardSimCode(int index) {
    if (index <= 49)
        return static_cast<std::uint8_t>(index);
    if (index <= 55)
        return static_cast<std::uint8_t>(index + 14);
    if (index == 56)
        return 255;
    if (index <= 60)
        return static_cast<std::uint8_t>(index + 18);
    if (index <= 64)
        return static_cast<std::uint8_t>(index + 19);
    if (index <= 67)
        return static_cast<std::uint8_t>(index - 15);
    if (index <= 71)
        return static_cast<std::uint8_t>(index + 17);
    if (index <= 75)
        return static_cast<std::uint8_t>(index + 18);
    if (index <= 79)
        return static_cast<std::uint8_t>(index + 24);
    if (index <= 83)
        return static_cast<std::uint8_t>(index + 25);
    if (index <= 87)
        return static_cast<std::uint8_t>(index + 26);
    if (index <= 96)
        return static_cast<std::uint8_t>(index - 35);
    if (index == 97)
        return 254;
    if (index == 98)
        return 62;
    return 253;
}

constexpr std::array<std::uint8_t, kPaletteSize> kIndexToSim = [] {
    std::array<std::uint8_t, kPaletteSize> table{};
    for (int i = 0; i < kPaletteSize; ++i)
        table[static_cast<std::size_t>(i)] = ForwardSimCode(i);
    return table;
}();

// The simulator never writes its background colour back as code 253, so that code is left
// without a colour, like every code the forward table does not produce.
constexpr std::array<std::uint8_t, 256> kSimToIndex = [] {
    std::array<std::uint8_t, 256> table{};
    for (auto& entry : table)
        entry = kNoSimColour;
    for (int i = 0; i < kPaletteSize; ++i) {
        const std::uint8_t code = kIndexToSim[static_cast<std::size_t>(i)];
        if (code != 253)
            table[code] = static_cast<std::uint8_t>(i);
    }
    return table;
}();

static_assert(kSimToIndex[255] == 56 && kSimToIndex[254] == 97 && kSimToIndex[62] == 98);
static_assert(kSimToIndex[253] == kNoSimColour && kSimToIndex[63] == kNoSimColour);

// Palette index of the ordinary colour with simulator code k (0..62).
constexpr PaletteIndex NormalEntryToIndex(int k) {
    if (k <= 49)
        return static_cast<PaletteIndex>(k);
    if (k <= 52)
        return static_cast<PaletteIndex>(65 + (k - 50));
    if (k <= 61)
        return static_cast<PaletteIndex>(88 + (k - 53));
    return 98;
}

static_assert(NormalEntryToIndex(50) == 65 && NormalEntryToIndex(53) == 88 && NormalEntryToIndex(61) == 96);

constexpr ColourTableEntry ToEntry(Rgb colour) {
    return {colour.blue, colour.green, colour.red, 0};
}

constexpr Rgb Grey(Rgb colour) {
    const auto g = static_cast<std::uint8_t>((colour.red + colour.green + colour.blue) / 8);
    return {g, g, g};
}

constexpr bool InPalette(int index) {
    return index >= 0 && index < kPaletteSize;
}

const BaseEntry& Base(int index) {
    return kBasePalette[static_cast<std::size_t>(InPalette(index) ? index : 0)];
}

// Cuts a UTF-8 text after maxChars code points without splitting a character.
std::string CutToCharacters(std::string text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80) {
            if (chars == maxChars) {
                text.resize(i);
                break;
            }
            ++chars;
        }
    }
    return text;
}

constexpr std::size_t kMaxNameChars = 100;
constexpr std::string_view kColourSection = "COLORS";

}  // namespace

Rgb BaseColour(int index) {
    return Base(index).colour;
}

int ColourKind(int index) {
    return Base(index).kind;
}

bool IsSpecialIndex(int index) {
    return index == TransparentIndex || index == HalfTransparentIndex || index == BackgroundIndex;
}

bool IsOrdinaryIndex(int index) {
    return InPalette(index) && Base(index).kind <= 2;
}

void IndexToSimCode(std::uint8_t& byte) {
    if (byte < kPaletteSize)
        byte = kIndexToSim[byte];
}

void SimCodeToIndex(std::uint8_t& byte) {
    byte = kSimToIndex[byte];
}

Palette::Palette() {
    InitPalette();
}

void Palette::InitPalette() {
    for (int i = 0; i < kPaletteSize; ++i)
        table_[static_cast<std::size_t>(i)] = ToEntry(BaseColour(i));
    state_ = 0;
    ++revision_;
}

void Palette::StepDayNight(Rgb transparentColour, Rgb halfTransparentColour) {
    if (state_ >= kNightStates) {
        state_ = 0;
        for (int i = 0; i < kPaletteSize; ++i) {
            if (i != TransparentIndex)
                table_[static_cast<std::size_t>(i)] = ToEntry(BaseColour(i));
        }
    } else {
        ++state_;
        for (int i = 0; i < kPaletteSize; ++i) {
            const Rgb base = BaseColour(i);
            Rgb shown = Grey(base);
            switch (ColourKind(i)) {
                case 0:
                case 1:
                case 2:
                    break;
                case 5:
                    shown = i <= 58 ? Rgb{255, 255, 168} : Rgb{255, 48, 20};
                    break;
                case 6:
                    shown = kYellowShine;
                    break;
                case 7:
                    if (state_ != 3)
                        shown = kYellowShine;
                    break;
                case 8:
                    if (state_ == 1)
                        shown = kYellowShine;
                    break;
                case 9:
                    shown = kWhiteShine;
                    break;
                case 10:
                    if (state_ != 3)
                        shown = kWhiteShine;
                    break;
                case 11:
                    if (state_ == 1)
                        shown = kWhiteShine;
                    break;
                default:  // lights, transparency and background keep what they show
                    continue;
            }
            table_[static_cast<std::size_t>(i)] = ToEntry(shown);
        }
    }
    ++revision_;
    SetTransparentDisplayColour(transparentColour);
    SetHalfTransparentDisplayColour(halfTransparentColour);
}

ColourTable DayNightColourTable(int state) {
    Palette palette;
    for (int step = 0; step < std::clamp(state, 0, Palette::kNightStates); ++step) {
        palette.StepDayNight(BaseColour(TransparentIndex), BaseColour(HalfTransparentIndex));
    }
    return palette.CurrentColourTable();
}

void Palette::SetTransparentDisplayColour(Rgb colour) {
    SetSpecialEntry(TransparentIndex, colour);
}

void Palette::SetHalfTransparentDisplayColour(Rgb colour) {
    SetSpecialEntry(HalfTransparentIndex, colour);
}

void Palette::SetSpecialEntry(int index, Rgb colour) {
    table_[static_cast<std::size_t>(index)] = ToEntry(state_ == 0 ? colour : Grey(colour));
    ++revision_;
}

Rgb Palette::CurrentColour(int index) const {
    return table_[static_cast<std::size_t>(InPalette(index) ? index : 0)].ToRgb();
}

NormalColourTable CreateNormalColourPalette(const Palette& palette) {
    NormalColourTable table{};
    for (int k = 0; k < static_cast<int>(table.size()); ++k) {
        table[static_cast<std::size_t>(k)] = palette.CurrentColour(NormalEntryToIndex(k));
    }
    return table;
}

PaletteIndex NearestNormalIndex(const NormalColourTable& table, Rgb colour) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int k = 0; k < static_cast<int>(table.size()); ++k) {
        const Rgb& entry = table[static_cast<std::size_t>(k)];
        const int dr = entry.red - colour.red;
        const int dg = entry.green - colour.green;
        const int db = entry.blue - colour.blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = k;
        }
    }
    return NormalEntryToIndex(best);
}

std::string ColourName(const CLanguageManager& language, int index) {
    if (!InPalette(index))
        index = 0;
    return CutToCharacters(language.GetText(5000 + index, kColourSection), kMaxNameChars);
}

std::string ColourKindName(const CLanguageManager& language, int index) {
    return CutToCharacters(language.GetText(5200 + ColourKind(index), kColourSection), kMaxNameChars);
}

std::string DescribeColour(const CLanguageManager& language, int index) {
    if (!InPalette(index))
        index = 0;
    return ColourName(language, index) + ' ' + ColourKindName(language, index) + " (" +
           std::to_string(index) + ')';
}

int RoundHalfUp(double value) {
    // Out-of-range and NaN inputs are clamped: converting them to int would be undefined.
    if (std::isnan(value))
        return 0;
    const double floored = std::floor(value);
    const double rounded = value - floored >= 0.5 ? floored + 1.0 : floored;
    if (rounded >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}

}  // namespace zobl
