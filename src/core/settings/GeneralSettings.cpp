#include "core/settings/GeneralSettings.h"

#include <array>
#include <variant>

#include "core/settings/SettingsStore.h"
#include "core/text/CodePages.h"

namespace zobl {
namespace {

using Member = std::variant<int GeneralSettings::*, bool GeneralSettings::*, std::string GeneralSettings::*,
                            Rgb GeneralSettings::*>;

struct Field {
    const char* key;
    Member member;
};

// Read order of section "General".
constexpr std::array kFields{
    Field{"VERSION", &GeneralSettings::version},
    Field{"OPENFOLDER", &GeneralSettings::openFolder},
    Field{"SAVEFOLDER", &GeneralSettings::saveFolder},
    Field{"EXPORTFOLDER", &GeneralSettings::exportFolder},
    Field{"TMPPATH", &GeneralSettings::tmpPath},
    Field{"COLOR1", &GeneralSettings::color1},
    Field{"COLOR2", &GeneralSettings::color2},
    Field{"SHOWTRANSCOL", &GeneralSettings::showTransCol},
    Field{"SHOWBORDERS", &GeneralSettings::showBorders},
    Field{"TRANSCOL", &GeneralSettings::transCol},
    Field{"TRANSCOL2", &GeneralSettings::transCol2},
    Field{"MARKTRANSCOL", &GeneralSettings::markTransCol},
    Field{"MARKTRANSCOL2", &GeneralSettings::markTransCol2},
    Field{"MARKTRANSCOL3", &GeneralSettings::markTransCol3},
    Field{"AUTOSAVEOPTIONS", &GeneralSettings::autoSaveOptions},
    Field{"HORIZCOLORBAR", &GeneralSettings::horizColorBar},
    Field{"FILLDIAGONAL", &GeneralSettings::fillDiagonal},
    Field{"ENABLEBITMAP", &GeneralSettings::enableBitmap},
    Field{"AUTOAPPLYFOLDERS", &GeneralSettings::autoApplyFolders},
    Field{"SINGLEUNDO", &GeneralSettings::singleUndo},
    Field{"AUTODRAGGING", &GeneralSettings::autoDragging},
    Field{"UNDOBYCOLORCHANGE", &GeneralSettings::undoByColorChange},
    Field{"INVERTDIB", &GeneralSettings::invertDib},
    Field{"GSV_FG", &GeneralSettings::gsvFg},
    Field{"GSV_BG", &GeneralSettings::gsvBg},
    Field{"FGSV_FG", &GeneralSettings::fgsvFg},
    Field{"FGSV_BG", &GeneralSettings::fgsvBg},
    Field{"EDIT_FG", &GeneralSettings::editFg},
    Field{"EDIT_BG", &GeneralSettings::editBg},
    Field{"FONTSIZE", &GeneralSettings::fontSize},
    Field{"SYMBOLDISTANCE", &GeneralSettings::symbolDistance},
    Field{"FONTFACE", &GeneralSettings::fontFace},
    Field{"BCKBITMAP", &GeneralSettings::bckBitmap},
    Field{"MDIBCK", &GeneralSettings::mdiBck},
    Field{"BCKBMPFIT2SIZE", &GeneralSettings::bckBmpFit2Size},
    Field{"SAVEDSK", &GeneralSettings::saveDsk},
};

// Write order; MARKTRANSCOL2 is missing on purpose.
constexpr std::array<std::string_view, 35> kWriteOrder{
    "VERSION",           "COLOR1",           "COLOR2",        "OPENFOLDER",
    "SAVEFOLDER",        "EXPORTFOLDER",     "TMPPATH",       "SHOWTRANSCOL",
    "SHOWBORDERS",       "TRANSCOL",         "TRANSCOL2",     "MARKTRANSCOL",
    "MARKTRANSCOL3",     "GSV_FG",           "GSV_BG",        "FGSV_FG",
    "FGSV_BG",           "EDIT_FG",          "EDIT_BG",       "MDIBCK",
    "BCKBMPFIT2SIZE",    "AUTOSAVEOPTIONS",  "HORIZCOLORBAR", "FILLDIAGONAL",
    "ENABLEBITMAP",      "AUTOAPPLYFOLDERS", "SINGLEUNDO",    "AUTODRAGGING",
    "UNDOBYCOLORCHANGE", "INVERTDIB",        "FONTSIZE",      "SYMBOLDISTANCE",
    "FONTFACE",          "BCKBITMAP",        "SAVEDSK",
};

const Field& FieldByKey(std::string_view key) {
    for (const Field& field : kFields) {
        if (key == field.key) {
            return field;
        }
    }
    return kFields.front();  // not reached: every write key is in the table
}

std::string CutText(std::string_view text) {
    return std::string(Utf8Prefix(text, kMaxSettingTextLength));
}

}  // namespace

std::string WithTrailingSlash(std::string_view folder) {
    std::string result(folder);
    if (!result.empty() && result.back() != '/') {
        result.push_back('/');
    }
    return result;
}

void GeneralSettings::SetDefaultFolders(std::string_view homeFolder, std::string_view tempFolder) {
    openFolder = WithTrailingSlash(homeFolder);
    saveFolder = openFolder;
    exportFolder = openFolder;
    tmpPath = WithTrailingSlash(tempFolder);
}

Rgb ReadColorSetting(SettingsStore& store, std::string_view section, std::string_view name,
                     Rgb defaultValue) {
    const std::string base(name);
    const auto component = [&](const char* suffix, std::uint8_t current) {
        return static_cast<std::uint8_t>(store.ReadInt(section, base + suffix, current) & 0xFF);
    };
    Rgb colour;
    colour.red = component("_R", defaultValue.red);
    colour.green = component("_G", defaultValue.green);
    colour.blue = component("_B", defaultValue.blue);
    return colour;
}

void WriteColorSetting(SettingsStore& store, std::string_view section, std::string_view name, Rgb value) {
    const std::string base(name);
    store.WriteInt(section, base + "_R", value.red);
    store.WriteInt(section, base + "_G", value.green);
    store.WriteInt(section, base + "_B", value.blue);
}

void LoadSettings(SettingsStore& store, GeneralSettings& settings) {
    for (const Field& field : kFields) {
        std::visit(
            [&](auto member) {
                auto& value = settings.*member;
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, int>) {
                    value = store.ReadInt(kGeneralSection, field.key, value);
                } else if constexpr (std::is_same_v<T, bool>) {
                    value = store.ReadInt(kGeneralSection, field.key, value ? 1 : 0) != 0;
                } else if constexpr (std::is_same_v<T, std::string>) {
                    value = CutText(store.ReadText(kGeneralSection, field.key, value));
                } else {
                    value = ReadColorSetting(store, kGeneralSection, field.key, value);
                }
            },
            field.member);
    }
    // The views index the palette with the drawing colours and lay out symbols with the distance;
    // values no dialog could have produced would make them read or paint outside their buffers.
    const GeneralSettings defaults;
    if (settings.color1 < 0 || settings.color1 >= kPaletteSize) {
        settings.color1 = defaults.color1;
    }
    if (settings.color2 < 0 || settings.color2 >= kPaletteSize) {
        settings.color2 = defaults.color2;
    }
    if (settings.symbolDistance < 0 || settings.symbolDistance > 16) {
        settings.symbolDistance = defaults.symbolDistance;
    }
    if (settings.fontSize < 1) {
        settings.fontSize = defaults.fontSize;
    }
}

void SaveSettings(SettingsStore& store, const GeneralSettings& settings) {
    for (const std::string_view key : kWriteOrder) {
        const Field& field = FieldByKey(key);
        std::visit(
            [&](auto member) {
                const auto& value = settings.*member;
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, int>) {
                    store.WriteInt(kGeneralSection, field.key,
                                   member == &GeneralSettings::version ? kSettingsVersion : value);
                } else if constexpr (std::is_same_v<T, bool>) {
                    store.WriteInt(kGeneralSection, field.key, value ? 1 : 0);
                } else if constexpr (std::is_same_v<T, std::string>) {
                    store.WriteText(kGeneralSection, field.key, value);
                } else {
                    WriteColorSetting(store, kGeneralSection, field.key, value);
                }
            },
            field.member);
    }
}

void LoadGridSettings(SettingsStore& store, GeneralSettings& settings) {
    const GeneralSettings defaults;
    const auto readSwitch = [&](const char* key, bool defaultValue) {
        const int value = store.ReadInt(kGridSection, key, defaultValue ? 1 : 0);
        return value == 0 || value == 1 ? value == 1 : defaultValue;
    };
    settings.pixelGrid = readSwitch("PIXELGRID", defaults.pixelGrid);
    settings.cellGrid = readSwitch("CELLGRID", defaults.cellGrid);
    settings.showPixelGrid = store.ReadInt(kGridSection, "SHOWPIXELGRID", defaults.showPixelGrid);
    if (settings.showPixelGrid < kMinGridZoom || settings.showPixelGrid > kMaxGridZoom) {
        settings.showPixelGrid = defaults.showPixelGrid;
    }
    settings.gridCol = ReadColorSetting(store, kGridSection, "GRIDCOL", defaults.gridCol);
    settings.cellGridCol = ReadColorSetting(store, kGridSection, "CELLGRIDCOL", defaults.cellGridCol);
}

void SaveGridSettings(SettingsStore& store, const GeneralSettings& settings) {
    store.WriteInt(kGridSection, "PIXELGRID", settings.pixelGrid ? 1 : 0);
    store.WriteInt(kGridSection, "CELLGRID", settings.cellGrid ? 1 : 0);
    store.WriteInt(kGridSection, "SHOWPIXELGRID", settings.showPixelGrid);
    WriteColorSetting(store, kGridSection, "GRIDCOL", settings.gridCol);
    WriteColorSetting(store, kGridSection, "CELLGRIDCOL", settings.cellGridCol);
}

namespace {
constexpr const char* kLanguageKey = "LANGUAGE";
}  // namespace

void LoadLanguageSetting(SettingsStore& store, GeneralSettings& settings) {
    const std::string stored = store.ReadText(kLanguageSection, kLanguageKey, "");
    settings.language = ParseLanguageChoice(stored).value_or(GeneralSettings{}.language);
}

void SaveLanguageSetting(SettingsStore& store, const GeneralSettings& settings) {
    store.WriteText(kLanguageSection, kLanguageKey, LanguageChoiceName(settings.language));
}

}  // namespace zobl
