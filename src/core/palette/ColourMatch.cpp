#include "core/palette/ColourMatch.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <unordered_map>

namespace zobl {

namespace {

constexpr std::uint16_t kOpaque = 0xFFFF;

std::uint32_t Key(Rgb c) {
    return (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
}

// The colour when it is opaque and every channel an 8-bit value: only such a colour can be a
// palette colour exactly.
std::optional<Rgb> Exact8(const Rgba64& c) {
    if (c.alpha != kOpaque || c.red % 257 != 0 || c.green % 257 != 0 || c.blue % 257 != 0) {
        return std::nullopt;
    }
    return Rgb{std::uint8_t(c.red / 257), std::uint8_t(c.green / 257), std::uint8_t(c.blue / 257)};
}

std::uint8_t Rounded8(std::uint16_t v) {
    return std::uint8_t((std::uint32_t{v} * 255 + 32767) / 65535);
}

// What an index without a table entry shows: black, as PNG viewers draw it.
Rgba64 TableColour(const ForeignPicture& picture, std::uint8_t index) {
    return index < picture.table.size() ? picture.table[index] : Rgba64{};
}

// Whether the used indices are palette indices whose file colours are those of colours (index 56
// may have any colour: it is transparent anyway).
bool TableShows(const ForeignPicture& picture, const std::array<bool, 256>& used,
                const std::array<Rgb, kPaletteSize>& colours) {
    for (int i = 0; i < 256; ++i) {
        if (!used[std::size_t(i)] || i == TransparentIndex) {
            continue;
        }
        if (i >= kPaletteSize || i >= int(picture.table.size())) {
            return false;
        }
        const auto exact = Exact8(picture.table[std::size_t(i)]);
        if (!exact || *exact != colours[std::size_t(i)]) {
            return false;
        }
    }
    return true;
}

std::array<Rgb, kPaletteSize> Colours(const ColourTable& table) {
    std::array<Rgb, kPaletteSize> colours{};
    for (int i = 0; i < kPaletteSize; ++i) {
        colours[std::size_t(i)] = table[std::size_t(i)].ToRgb();
    }
    return colours;
}

class ColourMatcher {
public:
    ColourMatcher(const ForeignPicture& picture, const ColourMatchOptions& options, ColourMatch& result)
        : picture_(picture), options_(options), result_(result) {
        // Downwards, so that the lowest index of a colour shared by several entries stays.
        for (int i = kPaletteSize - 1; i >= 0; --i) {
            if (!IsSpecialIndex(i)) {
                lowest_[Key(BaseColour(i))] = PaletteIndex(i);
            }
        }
    }

    PaletteIndex Match(std::size_t at, const Rgba64& colour) {
        if (colour.alpha == 0) {
            return TransparentIndex;
        }
        if (const auto exact = Exact8(colour)) {
            if (!options_.current.empty()) {
                const std::uint8_t now = options_.current[at];
                if (now < kPaletteSize && BaseColour(now) == *exact) {
                    return now;
                }
            }
            // A file without alpha has no other way to say "transparent".
            if (!picture_.canBeTransparent && *exact == BaseColour(TransparentIndex)) {
                return TransparentIndex;
            }
            if (const auto it = lowest_.find(Key(*exact)); it != lowest_.end()) {
                return it->second;
            }
        }
        if (result_.unmatched++ == 0) {
            result_.firstUnmatchedX = int(at % std::size_t(picture_.width));
            result_.firstUnmatchedY = int(at / std::size_t(picture_.width));
        }
        if (!options_.nearest) {
            return 0;
        }
        const Rgb rounded{Rounded8(colour.red), Rounded8(colour.green), Rounded8(colour.blue)};
        // Pictures repeat their colours: each is looked up once.
        auto [it, inserted] = nearest_.try_emplace(Key(rounded), PaletteIndex{0});
        if (inserted) {
            it->second = NearestNormalIndex(normal_, rounded);
        }
        return it->second;
    }

private:
    const ForeignPicture& picture_;
    const ColourMatchOptions& options_;
    ColourMatch& result_;
    std::unordered_map<std::uint32_t, PaletteIndex> lowest_;
    std::unordered_map<std::uint32_t, PaletteIndex> nearest_;
    // The day colours: a picture file carries no day/night state.
    NormalColourTable normal_ = CreateNormalColourPalette(Palette());
};

}  // namespace

// An indexed file keeps its indices when its colour table says they are ours: every used index
// a palette index shown in its base colour, as this program writes them. A table in the colours
// of a night state marks a picture written for looking at (nightState). Anything else, a colour
// table reordered or trimmed by another program included, goes colour by colour:
// - alpha 0 gives 56;
// - an opaque exact 8-bit base colour gives the index already there (options.current) when that
//   index has this colour, else 56 for 56's colour in a file that cannot be transparent, else the
//   lowest index of that colour that is no special one (56, 97, 99);
// - any other colour, partial alpha or 16-bit value between 8-bit steps counts as unmatched, and
//   takes the nearest ordinary day colour with options.nearest, else 0.
ColourMatch MatchPaletteColours(const ForeignPicture& picture, const ColourMatchOptions& options) {
    const std::size_t count =
        std::size_t(std::max(picture.width, 0)) * std::size_t(std::max(picture.height, 0));
    if ((picture.indexed ? picture.indices.size() : picture.pixels.size()) != count ||
        (!options.current.empty() && options.current.size() != count)) {
        throw std::invalid_argument("MatchPaletteColours: the pixels do not fill the picture");
    }
    ColourMatch result;
    if (picture.indexed) {
        std::array<bool, 256> used{};
        for (const std::uint8_t index : picture.indices) {
            used[index] = true;
        }
        std::array<Rgb, kPaletteSize> base{};
        for (int i = 0; i < kPaletteSize; ++i) {
            base[std::size_t(i)] = BaseColour(i);
        }
        if (TableShows(picture, used, base)) {
            result.indices.assign(picture.indices.begin(), picture.indices.end());
            return result;
        }
        for (int state = 1; state <= Palette::kNightStates; ++state) {
            if (TableShows(picture, used, Colours(DayNightColourTable(state)))) {
                result.nightState = state;
                return result;
            }
        }
    }
    result.indices.resize(count);
    ColourMatcher matcher(picture, options, result);
    for (std::size_t i = 0; i < count; ++i) {
        result.indices[i] =
            matcher.Match(i, picture.indexed ? TableColour(picture, picture.indices[i]) : picture.pixels[i]);
    }
    return result;
}

}  // namespace zobl
