#include "png/PngSheet.h"

#include "core/palette/ColourMatch.h"

namespace zobl {

UnmatchedColours::UnmatchedColours(const std::string& fileName, int pixels, int firstX, int firstY)
    : std::runtime_error(fileName + ": " + std::to_string(pixels) +
                         (pixels == 1 ? " pixel has" : " pixels have") + " no palette colour, the first at " +
                         std::to_string(firstX) + "," + std::to_string(firstY)),
      count(pixels),
      x(firstX),
      y(firstY) {}

NightPicture::NightPicture(const std::string& fileName, int nightState)
    : std::runtime_error(fileName + ": a night picture (state " + std::to_string(nightState) +
                         ") is for looking at"),
      state(nightState) {}

SheetPixels ReadSheetPixels(std::span<const std::uint8_t> png, const std::string& fileName, PngSize size,
                            const std::string& expectedName, std::span<const std::uint8_t> current,
                            bool nearest) {
    CheckPngSize(png, fileName, expectedName, size);
    const ForeignPicture picture = ReadPngPicture(png, fileName);
    ColourMatch match = MatchPaletteColours(picture, {.nearest = nearest, .current = current});
    if (match.nightState != 0) {
        throw NightPicture(fileName, match.nightState);
    }
    if (match.unmatched > 0 && !nearest) {
        throw UnmatchedColours(fileName, match.unmatched, match.firstUnmatchedX, match.firstUnmatchedY);
    }
    return {std::move(match.indices), nearest ? match.unmatched : 0};
}

}  // namespace zobl
