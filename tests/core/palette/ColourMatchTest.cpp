#include <gtest/gtest.h>

#include <vector>

#include "core/palette/ColourMatch.h"

namespace zobl {
namespace {

Rgba64 Colour8(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t alpha = 255) {
    return {std::uint16_t(r * 257), std::uint16_t(g * 257), std::uint16_t(b * 257),
            std::uint16_t(alpha * 257)};
}
Rgba64 Base(int index, std::uint8_t alpha = 255) {
    const Rgb c = BaseColour(index);
    return Colour8(c.red, c.green, c.blue, alpha);
}
Rgba64 Night(int state, int index) {
    const Rgb c = DayNightColourTable(state)[std::size_t(index)].ToRgb();
    return Colour8(c.red, c.green, c.blue);
}
// The colour table this program writes: base colours, 56 transparent.
std::vector<Rgba64> OurTable() {
    std::vector<Rgba64> table;
    for (int i = 0; i < kPaletteSize; ++i) {
        table.push_back(Base(i, i == TransparentIndex ? 0 : 255));
    }
    return table;
}

ForeignPicture Indexed(std::vector<std::uint8_t> indices, std::vector<Rgba64> table) {
    const bool transparent =
        std::any_of(table.begin(), table.end(), [](Rgba64 c) { return c.alpha != 0xFFFF; });
    return {int(indices.size()), 1, true, transparent, std::move(indices), std::move(table), {}};
}
ForeignPicture Colours(std::vector<Rgba64> pixels, bool canBeTransparent, int width = 0) {
    const int w = width ? width : int(pixels.size());
    return {w, int(pixels.size()) / w, false, canBeTransparent, {}, {}, std::move(pixels)};
}

TEST(ColourMatchTest, PicturesBecomeIndicesByIndexOrByExactColour) {
    const Rgba64 red = Colour8(255, 0, 0);  // no palette colour; the nearest ordinary one is 44
    const Rgba64 almost44 = {236 * 257 + 1, 40 * 257, 0, 0xFFFF};
    std::vector<Rgba64> grown = OurTable();
    grown.resize(121, Colour8(0, 0, 0));
    std::vector<Rgba64> lightsOnly(52, Colour8(9, 9, 9));
    lightsOnly[50] = Base(50);
    lightsOnly[51] = Base(51);
    std::vector<Rgba64> night2 = OurTable();
    night2[15] = Night(2, 15);
    night2[44] = Night(2, 44);
    night2[68] = Night(2, 68);  // lit in states 1 and 2
    night2[72] = Night(2, 72);  // lit in state 1 only

    const struct {
        const char* what;
        ForeignPicture picture;
        std::vector<std::uint8_t> current;
        std::vector<PaletteIndex> expected;  // without nearest
        int unmatched = 0;
        int firstX = -1, firstY = -1;
        std::vector<PaletteIndex> nearest = {};  // with nearest, when it differs
        int night = 0;
    } cases[] = {
        {"our indexed file keeps special and night-lit indices",
         Indexed({97, 99, 56, 61, 6, 0}, OurTable()),
         {},
         {97, 99, 56, 61, 6, 0}},
        {"index 56 may have any colour", Indexed({56, 1}, {Colour8(1, 2, 3, 0), Base(1)}), {}, {56, 1}},
        {"an index above 99 sends the file by colour", Indexed({5, 120, 99}, grown), {}, {5, 0, 6}},
        {"a reordered table goes by colour",
         Indexed({0, 1, 2}, {Base(44), Colour8(0, 112, 0, 0), Base(61)}),
         {},
         {44, 56, 29}},
        {"an index beyond the table is black", Indexed({0, 5}, {Base(44)}), {}, {44, 0}},
        {"colours unchanged at night are the day", Indexed({50, 51}, lightsOnly), {}, {50, 51}},
        {"night state 2", Indexed({15, 44, 68, 72, 56}, night2), {}, {}, 0, -1, -1, {}, 2},
        {"no alpha: 56's colour is transparent, specials never",
         Colours({Base(56), Base(97), Base(29), Base(51)}, false),
         {},
         {56, 42, 29, 51}},
        {"alpha: 56's colour is 6, alpha 0 is 56",
         Colours({Base(56), Colour8(1, 2, 3, 0), Base(99)}, true),
         {},
         {6, 56, 6}},
        {"current indices of the same colour stay",
         Colours({Base(97), Base(99), Base(56), Base(61), Base(6), Base(29)}, false),
         {97, 99, 56, 61, 56, 44},
         {97, 99, 56, 61, 56, 29}},
        {"current index above 99 is no colour", Colours({Base(0)}, false), {200}, {0}},
        {"off-palette, half transparent and between 8-bit steps",
         Colours({Base(1), Base(2), Base(3), red, Colour8(236, 40, 0, 128), almost44}, true, 3),
         {},
         {1, 2, 3, 0, 0, 0},
         3,
         0,
         1,
         {1, 2, 3, 44, 44, 44}},
    };
    for (const auto& c : cases) {
        for (const bool nearest : {false, true}) {
            const ColourMatch match = MatchPaletteColours(c.picture, {nearest, c.current});
            EXPECT_EQ(match.indices, nearest && !c.nearest.empty() ? c.nearest : c.expected) << c.what;
            EXPECT_EQ(match.unmatched, c.unmatched) << c.what;
            EXPECT_EQ(match.firstUnmatchedX, c.firstX) << c.what;
            EXPECT_EQ(match.firstUnmatchedY, c.firstY) << c.what;
            EXPECT_EQ(match.nightState, c.night) << c.what;
        }
    }
}

}  // namespace
}  // namespace zobl
