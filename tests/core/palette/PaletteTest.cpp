#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/palette/Palette.h"

namespace zobl {
namespace {

// The simulator's palette, written out here so that a wrong entry in the code's table shows.
struct BaseEntry {
    std::uint8_t red, green, blue;
    int kind;
};
constexpr BaseEntry kBasePalette[kPaletteSize] = {
    {0, 0, 0, 0},       {0, 0, 168, 0},     {0, 168, 0, 0},      {0, 168, 168, 0},    // 0-3
    {168, 0, 0, 0},     {168, 136, 0, 0},   {0, 112, 0, 1},      {168, 168, 168, 0},  // 4-7
    {84, 84, 84, 0},    {84, 84, 255, 0},   {84, 255, 84, 0},    {84, 255, 255, 0},   // 8-11
    {255, 84, 84, 0},   {255, 160, 0, 0},   {255, 255, 84, 0},   {255, 255, 255, 0},  // 12-15
    {255, 244, 140, 0}, {220, 188, 48, 0},  {124, 36, 0, 0},     {60, 60, 60, 0},     // 16-19
    {124, 124, 124, 0}, {188, 188, 188, 0}, {0, 92, 0, 0},       {208, 40, 40, 0},    // 20-23
    {84, 40, 0, 0},     {255, 255, 196, 0}, {168, 0, 168, 0},    {60, 60, 208, 0},    // 24-27
    {20, 128, 20, 0},   {12, 44, 132, 2},   {68, 124, 124, 2},   {108, 168, 168, 2},  // 28-31
    {88, 60, 20, 2},    {60, 132, 100, 0},  {40, 208, 40, 0},    {244, 212, 0, 0},    // 32-35
    {168, 80, 80, 0},   {220, 128, 128, 0}, {148, 148, 120, 0},  {156, 52, 0, 0},     // 36-39
    {220, 220, 220, 0}, {100, 152, 100, 0}, {0, 64, 0, 0},       {252, 108, 12, 0},   // 40-43
    {236, 40, 0, 0},    {132, 208, 176, 0}, {104, 96, 72, 0},    {108, 144, 168, 0},  // 44-47
    {44, 208, 208, 0},  {240, 80, 240, 0},  {60, 236, 124, 3},   {252, 60, 80, 3},    // 48-51
    {252, 228, 76, 3},  {252, 252, 236, 3}, {76, 92, 244, 3},    {252, 180, 20, 3},   // 52-55
    {0, 112, 0, 4},     {72, 72, 72, 5},    {156, 156, 156, 5},  {196, 32, 32, 5},    // 56-59
    {92, 72, 72, 5},    {12, 44, 132, 6},   {68, 124, 124, 6},   {108, 168, 168, 6},  // 60-63
    {88, 60, 20, 6},    {100, 152, 252, 0}, {204, 100, 0, 0},    {100, 0, 152, 0},    // 64-67
    {12, 44, 132, 7},   {68, 124, 124, 7},  {108, 168, 168, 7},  {88, 60, 20, 7},     // 68-71
    {12, 44, 132, 8},   {68, 124, 124, 8},  {108, 168, 168, 8},  {88, 60, 20, 8},     // 72-75
    {12, 44, 132, 9},   {68, 124, 124, 9},  {108, 168, 168, 9},  {88, 60, 20, 9},     // 76-79
    {12, 44, 132, 10},  {68, 124, 124, 10}, {108, 168, 168, 10}, {88, 60, 20, 10},    // 80-83
    {12, 44, 132, 11},  {68, 124, 124, 11}, {108, 168, 168, 11}, {88, 60, 20, 11},    // 84-87
    {204, 192, 168, 0}, {52, 52, 0, 0},     {200, 204, 236, 0},  {0, 100, 152, 0},    // 88-91
    {0, 152, 204, 0},   {104, 104, 104, 0}, {248, 232, 44, 0},   {184, 148, 120, 0},  // 92-95
    {148, 148, 148, 0}, {0, 64, 0, 12},     {12, 148, 12, 0},    {0, 112, 0, 13},     // 96-99
};

Rgb Base(int index) {
    const BaseEntry& e = kBasePalette[index];
    return {e.red, e.green, e.blue};
}

constexpr Rgb kTransCol{200, 200, 200};
constexpr Rgb kTransCol2{10, 20, 30};

Rgb GreyOf(Rgb c) {
    const auto g = static_cast<std::uint8_t>((c.red + c.green + c.blue) / 8);
    return {g, g, g};
}

TEST(PaletteState, StartsInDayWithBasePalette) {
    Palette palette;
    EXPECT_EQ(palette.DayNightState(), 0);
    for (int i = 0; i < kPaletteSize; ++i) {
        EXPECT_EQ(palette.CurrentColour(i), Base(i)) << i;
        EXPECT_EQ(palette.CurrentColourTable()[i].reserved, 0) << i;
    }
    EXPECT_EQ(palette.CurrentColourTable()[44], (ColourTableEntry{0, 40, 236, 0}));
    EXPECT_EQ(palette.CurrentColourTable()[44].ToArgb(), 0xFFEC2800u);
}

TEST(PaletteState, FourStepsReturnToDayWithSpecialColours) {
    Palette palette;
    for (int step = 1; step <= 4; ++step) {
        const auto before = palette.Revision();
        palette.StepDayNight(kTransCol, kTransCol2);
        EXPECT_EQ(palette.DayNightState(), step % 4);
        EXPECT_GT(palette.Revision(), before);
    }
    for (int i = 0; i < kPaletteSize; ++i) {
        if (i == TransparentIndex || i == HalfTransparentIndex)
            continue;
        EXPECT_EQ(palette.CurrentColour(i), Base(i)) << i;
    }
    EXPECT_EQ(palette.CurrentColour(TransparentIndex), kTransCol);
    EXPECT_EQ(palette.CurrentColour(HalfTransparentIndex), kTransCol2);

    palette.InitPalette();
    EXPECT_EQ(palette.DayNightState(), 0);
    EXPECT_EQ(palette.CurrentColour(TransparentIndex), Base(TransparentIndex));
}

TEST(PaletteState, NightDarkensOrdinaryColoursToGrey) {
    Palette palette;
    for (int state = 1; state <= 3; ++state) {
        palette.StepDayNight(kTransCol, kTransCol2);
        EXPECT_EQ(palette.CurrentColour(15), (Rgb{95, 95, 95}));
        EXPECT_EQ(palette.CurrentColour(0), (Rgb{0, 0, 0}));
        for (int i = 0; i < kPaletteSize; ++i) {
            if (IsOrdinaryIndex(i)) {
                EXPECT_EQ(palette.CurrentColour(i), GreyOf(Base(i))) << state << ':' << i;
            }
        }
        EXPECT_EQ(palette.CurrentColour(TransparentIndex), (Rgb{75, 75, 75}));
        EXPECT_EQ(palette.CurrentColour(HalfTransparentIndex), GreyOf(kTransCol2));
        for (int i = 0; i < kPaletteSize; ++i)
            EXPECT_EQ(palette.CurrentColourTable()[i].reserved, 0);
    }
}

TEST(PaletteState, LightsAndBackgroundNeverChange) {
    Palette palette;
    for (int step = 0; step < 8; ++step) {
        for (int i : {50, 51, 52, 53, 54, 55, 99}) {
            EXPECT_EQ(palette.CurrentColour(i), Base(i)) << step << ':' << i;
        }
        palette.StepDayNight(kTransCol, kTransCol2);
    }
}

TEST(PaletteState, ShiningColoursPerState) {
    constexpr Rgb kYellow{176, 144, 0};
    constexpr Rgb kWhite{160, 164, 156};
    constexpr Rgb kDark{};  // marker: grey of the base colour
    struct Row {
        int first, last;
        Rgb shown[3];  // states 1, 2, 3
    };
    const Row rows[] = {
        {57, 58, {{255, 255, 168}, {255, 255, 168}, {255, 255, 168}}},
        {59, 60, {{255, 48, 20}, {255, 48, 20}, {255, 48, 20}}},
        {61, 64, {kYellow, kYellow, kYellow}},
        {68, 71, {kYellow, kYellow, kDark}},
        {72, 75, {kYellow, kDark, kDark}},
        {76, 79, {kWhite, kWhite, kWhite}},
        {80, 83, {kWhite, kWhite, kDark}},
        {84, 87, {kWhite, kDark, kDark}},
    };
    Palette palette;
    for (int state = 1; state <= 3; ++state) {
        palette.StepDayNight(kTransCol, kTransCol2);
        for (const Row& row : rows) {
            for (int i = row.first; i <= row.last; ++i) {
                const Rgb& want = row.shown[state - 1];
                EXPECT_EQ(palette.CurrentColour(i), want == kDark ? GreyOf(Base(i)) : want)
                    << "state " << state << " index " << i;
            }
        }
    }
}

TEST(PaletteState, SpecialColourSettersFollowState) {
    Palette palette;
    palette.SetTransparentDisplayColour({1, 2, 3});
    EXPECT_EQ(palette.CurrentColour(TransparentIndex), (Rgb{1, 2, 3}));
    palette.StepDayNight(kTransCol, kTransCol2);
    const auto before = palette.Revision();
    palette.SetHalfTransparentDisplayColour({255, 255, 255});
    EXPECT_EQ(palette.CurrentColour(HalfTransparentIndex), (Rgb{95, 95, 95}));
    EXPECT_GT(palette.Revision(), before);
}

TEST(PaletteTables, BaseColoursAndKinds) {
    for (int i = 0; i < kPaletteSize; ++i) {
        EXPECT_EQ(BaseColour(i), Base(i)) << i;
        EXPECT_EQ(ColourKind(i), kBasePalette[i].kind) << i;
    }
}

TEST(PaletteTables, KindsAndClasses) {
    int ordinary = 0;
    for (int i = 0; i < kPaletteSize; ++i) {
        ordinary += IsOrdinaryIndex(i) ? 1 : 0;
        EXPECT_EQ(IsOrdinaryIndex(i), ColourKind(i) <= 2) << i;
        EXPECT_EQ(IsSpecialIndex(i), i == 56 || i == 97 || i == 99) << i;
    }
    EXPECT_EQ(ordinary, 63);
    EXPECT_EQ(ColourKind(6), 1);
    EXPECT_EQ(ColourKind(32), 2);
    EXPECT_EQ(ColourKind(56), 4);
    EXPECT_EQ(ColourKind(97), 12);
    EXPECT_EQ(ColourKind(99), 13);
    EXPECT_FALSE(IsOrdinaryIndex(-1));
    EXPECT_FALSE(IsOrdinaryIndex(100));
}

TEST(SimCodes, RoundTripAndEdges) {
    for (int i = 0; i < kPaletteSize; ++i) {
        auto byte = static_cast<std::uint8_t>(i);
        IndexToSimCode(byte);
        // The ordinary colours are exactly the codes 0..62.
        EXPECT_EQ(byte <= 62, IsOrdinaryIndex(i)) << i;
        SimCodeToIndex(byte);
        EXPECT_EQ(byte, i == 99 ? 255 : i) << i;
    }
    const std::uint8_t indices[] = {56, 97, 98, 99, 50, 57, 61, 65, 68, 72, 76, 80, 84, 88, 87};
    const std::uint8_t codes[] = {255, 254, 62, 253, 64, 75, 80, 50, 85, 90, 100, 105, 110, 53, 113};
    for (std::size_t n = 0; n < std::size(indices); ++n) {
        std::uint8_t byte = indices[n];
        IndexToSimCode(byte);
        EXPECT_EQ(byte, codes[n]) << int{indices[n]};
    }
    for (int b = 100; b < 256; ++b) {
        auto byte = static_cast<std::uint8_t>(b);
        IndexToSimCode(byte);
        EXPECT_EQ(byte, b);
    }
}

TEST(SimCodes, ReverseTable) {
    const std::pair<std::uint8_t, std::uint8_t> known[] = {{255, 56}, {254, 97}, {62, 98}, {253, 255}};
    for (auto [code, index] : known) {
        std::uint8_t byte = code;
        SimCodeToIndex(byte);
        EXPECT_EQ(byte, index) << int{code};
    }
    auto noColour = [](int code) {
        return code == 63 || (code >= 70 && code <= 74) || code == 79 || code == 84 || code == 89 ||
               (code >= 94 && code <= 99) || code == 104 || code == 109 || (code >= 114 && code <= 253);
    };
    for (int code = 0; code < 256; ++code) {
        auto byte = static_cast<std::uint8_t>(code);
        SimCodeToIndex(byte);
        if (noColour(code)) {
            EXPECT_EQ(byte, kNoSimColour) << code;
        } else {
            ASSERT_LT(byte, kPaletteSize) << code;
            std::uint8_t back = byte;
            IndexToSimCode(back);
            EXPECT_EQ(back, code);
        }
    }
}

TEST(NearestColour, DayTable) {
    Palette palette;
    const NormalColourTable table = CreateNormalColourPalette(palette);
    EXPECT_EQ(table[50], Base(65));
    EXPECT_EQ(table[53], Base(88));
    EXPECT_EQ(table[62], Base(98));
    EXPECT_EQ(NearestNormalIndex(table, {255, 0, 0}), 44);
    // Every ordinary colour finds itself; 6 and 99 share (0,112,0), the ordinary 6 must win.
    for (int i = 0; i < kPaletteSize; ++i) {
        if (IsOrdinaryIndex(i)) {
            EXPECT_EQ(NearestNormalIndex(table, Base(i)), i) << i;
        }
    }
    EXPECT_EQ(NearestNormalIndex(table, Base(99)), 6);
    EXPECT_EQ(NearestNormalIndex(table, Base(65)), 65);
    EXPECT_EQ(NearestNormalIndex(table, Base(98)), 98);
    for (int r = 0; r < 256; r += 17) {
        for (int g = 0; g < 256; g += 17) {
            for (int b = 0; b < 256; b += 17) {
                const int index =
                    NearestNormalIndex(table, {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                               static_cast<std::uint8_t>(b)});
                ASSERT_TRUE(IsOrdinaryIndex(index)) << r << ',' << g << ',' << b << " -> " << index;
            }
        }
    }
}

TEST(NearestColour, NightSearchesDarkenedGreys) {
    Palette palette;
    palette.StepDayNight(kTransCol, kTransCol2);
    const NormalColourTable table = CreateNormalColourPalette(palette);
    for (const Rgb& entry : table) {
        EXPECT_EQ(entry.red, entry.green);
        EXPECT_EQ(entry.green, entry.blue);
    }
    // White darkens to 95: the nearest night colour to (95,95,95) is white's index itself.
    EXPECT_EQ(NearestNormalIndex(table, {95, 95, 95}), 15);
    EXPECT_EQ(NearestNormalIndex(table, {255, 255, 255}), 15);
    EXPECT_EQ(NearestNormalIndex(table, {0, 0, 0}), 0);
}

TEST(RoundHalfUp, Values) {
    EXPECT_EQ(RoundHalfUp(0.0), 0);
    EXPECT_EQ(RoundHalfUp(0.49), 0);
    EXPECT_EQ(RoundHalfUp(0.5), 1);
    EXPECT_EQ(RoundHalfUp(2.5), 3);
    EXPECT_EQ(RoundHalfUp(2.999), 3);
    EXPECT_EQ(RoundHalfUp(-0.5), 0);
    EXPECT_EQ(RoundHalfUp(-0.6), -1);
    EXPECT_EQ(RoundHalfUp(-1.5), -1);
    EXPECT_EQ(RoundHalfUp(-2.0), -2);
    // Values an int cannot hold are clamped rather than converted with undefined behaviour.
    EXPECT_EQ(RoundHalfUp(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(RoundHalfUp(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(RoundHalfUp(std::nan("")), 0);
}

}  // namespace
}  // namespace zobl
