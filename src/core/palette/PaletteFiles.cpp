#include "core/palette/PaletteFiles.h"

#include <cstdio>
#include <filesystem>

#include "core/lang/LanguageManager.h"
#include "core/text/CodePages.h"

namespace zobl {

namespace {

constexpr const char* kDataSection = "DATA";
constexpr int kDayTitleKey = 1071;
constexpr int kNightTitleKey = 1072;

struct NamedFormat {
    std::string_view name;
    PaletteFormat format;
};
constexpr NamedFormat kFormats[] = {
    {"gpl", PaletteFormat::Gimp},
    {"pal", PaletteFormat::Jasc},
    {"hex", PaletteFormat::Hex},
    {"png", PaletteFormat::SwatchPng},
};

// A name from the language file may hold escaped line breaks or tabs; in a palette file each
// would end the entry.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    return text;
}

}  // namespace

std::optional<PaletteFormat> PaletteFormatNamed(std::string_view name) {
    for (const NamedFormat& entry : kFormats) {
        if (EqualsIgnoringAsciiCase(entry.name, name)) {
            return entry.format;
        }
    }
    return std::nullopt;
}

std::optional<PaletteFormat> PaletteFormatOfPath(std::string_view path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension.size() < 2) {
        return std::nullopt;
    }
    return PaletteFormatNamed(std::string_view(extension).substr(1));
}

PaletteEntryNames PaletteNames(const CLanguageManager& language) {
    PaletteEntryNames names;
    for (int i = 0; i < kPaletteSize; ++i) {
        names[std::size_t(i)] = OneLine(DescribeColour(language, i));
    }
    return names;
}

std::string PaletteTitle(const CLanguageManager& language, int dayNightState) {
    if (dayNightState <= 0) {
        return OneLine(language.GetText(kDayTitleKey, kDataSection));
    }
    std::string title = language.GetText(kNightTitleKey, kDataSection);
    if (const auto at = title.find("%d"); at != std::string::npos) {
        title.replace(at, 2, std::to_string(dayNightState));
    }
    return OneLine(title);
}

std::string GimpPaletteText(const ColourTable& colours, std::string_view title,
                            const PaletteEntryNames& names) {
    std::string text = "GIMP Palette\nName: " + OneLine(std::string(title)) + "\nColumns: 10\n#\n";
    for (int i = 0; i < kPaletteSize; ++i) {
        const Rgb c = colours[std::size_t(i)].ToRgb();
        char numbers[16];
        std::snprintf(numbers, sizeof numbers, "%3u %3u %3u\t", unsigned(c.red), unsigned(c.green),
                      unsigned(c.blue));
        text += numbers + names[std::size_t(i)] + '\n';
    }
    return text;
}

std::string JascPaletteText(const ColourTable& colours) {
    std::string text = "JASC-PAL\r\n0100\r\n" + std::to_string(kPaletteSize) + "\r\n";
    for (const ColourTableEntry& entry : colours) {
        text += std::to_string(entry.red) + ' ' + std::to_string(entry.green) + ' ' +
                std::to_string(entry.blue) + "\r\n";
    }
    return text;
}

std::string HexPaletteText(const ColourTable& colours) {
    std::string text;
    for (const ColourTableEntry& entry : colours) {
        char line[8];
        std::snprintf(line, sizeof line, "%02x%02x%02x", unsigned(entry.red), unsigned(entry.green),
                      unsigned(entry.blue));
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace zobl
