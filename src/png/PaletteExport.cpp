#include "png/PaletteExport.h"

#include <numeric>
#include <string>

#include "png/IndexedPng.h"

namespace zobl {

namespace {

constexpr int kSwatchColumns = 10;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

}  // namespace

std::vector<std::uint8_t> PaletteSwatchPng(int dayNightState) {
    std::vector<std::uint8_t> pixels(kPaletteSize);
    std::iota(pixels.begin(), pixels.end(), std::uint8_t{0});
    return EncodeIndexedPng(kSwatchColumns, kPaletteSize / kSwatchColumns, pixels, dayNightState);
}

std::vector<std::uint8_t> PaletteFileBytes(PaletteFormat format, int dayNightState,
                                           const CLanguageManager& language) {
    const ColourTable colours = DayNightColourTable(dayNightState);
    switch (format) {
        case PaletteFormat::Gimp:
            return Bytes(
                GimpPaletteText(colours, PaletteTitle(language, dayNightState), PaletteNames(language)));
        case PaletteFormat::Jasc:
            return Bytes(JascPaletteText(colours));
        case PaletteFormat::Hex:
            return Bytes(HexPaletteText(colours));
        case PaletteFormat::SwatchPng:
            return PaletteSwatchPng(dayNightState);
    }
    return {};
}

}  // namespace zobl
