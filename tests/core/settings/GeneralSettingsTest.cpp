#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/settings/GeneralSettings.h"
#include "core/settings/SettingsStore.h"

namespace zobl {
namespace {

// Remembers the keys in the order they are read.
class ReadLoggingStore : public MemorySettingsStore {
public:
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) override {
        reads.emplace_back(key);
        return MemorySettingsStore::ReadInt(section, key, defaultValue);
    }
    std::string ReadText(std::string_view section, std::string_view key,
                         std::string_view defaultValue) override {
        reads.emplace_back(key);
        return MemorySettingsStore::ReadText(section, key, defaultValue);
    }
    std::vector<std::string> reads;
};

// Colour settings appear as their three keys in logs; fold them back to the setting's name.
std::vector<std::string> SettingNames(const std::vector<std::string>& keys) {
    std::vector<std::string> names;
    for (std::string key : keys) {
        if (const auto slash = key.find('/'); slash != std::string::npos) {
            key = key.substr(slash + 1);
        }
        if (key.ends_with("_R") || key.ends_with("_G") || key.ends_with("_B")) {
            key.resize(key.size() - 2);
        }
        if (names.empty() || names.back() != key) {
            names.push_back(key);
        }
    }
    return names;
}

TEST(GeneralSettings, DefaultsAreTheDocumentedOnes) {
    GeneralSettings s;
    s.SetDefaultFolders("/home/anna", "/tmp/");
    EXPECT_EQ(s.version, 1);
    EXPECT_EQ(s.openFolder, "/home/anna/");
    EXPECT_EQ(s.saveFolder, "/home/anna/");
    EXPECT_EQ(s.exportFolder, "/home/anna/");
    EXPECT_EQ(s.tmpPath, "/tmp/");
    EXPECT_EQ(s.color1, 15);
    EXPECT_EQ(s.color2, 0);
    EXPECT_EQ(s.showTransCol, 4);
    EXPECT_EQ(s.showBorders, 4);
    EXPECT_EQ(s.fontSize, 90);
    EXPECT_EQ(s.symbolDistance, 4);
    EXPECT_EQ(s.fontFace, "Arial");
    EXPECT_TRUE(s.bckBitmap.empty());

    const struct {
        const char* key;
        Rgb GeneralSettings::*member;
        Rgb colour;
    } colours[] = {
        {"TRANSCOL", &GeneralSettings::transCol, {0, 112, 0}},
        {"TRANSCOL2", &GeneralSettings::transCol2, {0, 56, 0}},
        {"MARKTRANSCOL", &GeneralSettings::markTransCol, {255, 255, 255}},
        {"MARKTRANSCOL2", &GeneralSettings::markTransCol2, {192, 192, 192}},
        {"MARKTRANSCOL3", &GeneralSettings::markTransCol3, {112, 192, 112}},
        {"GSV_FG", &GeneralSettings::gsvFg, {255, 255, 255}},
        {"GSV_BG", &GeneralSettings::gsvBg, {0, 0, 255}},
        {"FGSV_FG", &GeneralSettings::fgsvFg, {50, 50, 0}},
        {"FGSV_BG", &GeneralSettings::fgsvBg, {140, 180, 200}},
        {"EDIT_FG", &GeneralSettings::editFg, {0, 0, 0}},
        {"EDIT_BG", &GeneralSettings::editBg, {160, 200, 255}},
        {"MDIBCK", &GeneralSettings::mdiBck, {128, 128, 128}},
    };
    for (const auto& c : colours) {
        EXPECT_EQ(s.*c.member, c.colour) << c.key;
    }

    const struct {
        const char* key;
        bool GeneralSettings::*member;
        bool on;
    } switches[] = {
        {"AUTOSAVEOPTIONS", &GeneralSettings::autoSaveOptions, false},
        {"HORIZCOLORBAR", &GeneralSettings::horizColorBar, false},
        {"FILLDIAGONAL", &GeneralSettings::fillDiagonal, true},
        {"ENABLEBITMAP", &GeneralSettings::enableBitmap, false},
        {"AUTOAPPLYFOLDERS", &GeneralSettings::autoApplyFolders, true},
        {"SINGLEUNDO", &GeneralSettings::singleUndo, false},
        {"AUTODRAGGING", &GeneralSettings::autoDragging, false},
        {"UNDOBYCOLORCHANGE", &GeneralSettings::undoByColorChange, false},
        {"INVERTDIB", &GeneralSettings::invertDib, false},
        {"BCKBMPFIT2SIZE", &GeneralSettings::bckBmpFit2Size, true},
        {"SAVEDSK", &GeneralSettings::saveDsk, true},
    };
    for (const auto& b : switches) {
        EXPECT_EQ(s.*b.member, b.on) << b.key;
    }
    EXPECT_EQ(ColourValue(s.fgsvBg), 140u + 256u * 180u + 65536u * 200u);
}

TEST(GeneralSettings, EmptyStoreKeepsEveryDefault) {
    MemorySettingsStore store;
    GeneralSettings defaults;
    defaults.SetDefaultFolders("/home/anna/", "/tmp/");
    GeneralSettings loaded = defaults;
    LoadSettings(store, loaded);
    EXPECT_EQ(loaded, defaults);
}

TEST(GeneralSettings, ReadsAndWritesInTheDocumentedOrders) {
    ReadLoggingStore store;
    GeneralSettings settings;
    LoadSettings(store, settings);
    const std::vector<std::string> readOrder = {"VERSION",          "OPENFOLDER",
                                                "SAVEFOLDER",       "EXPORTFOLDER",
                                                "TMPPATH",          "COLOR1",
                                                "COLOR2",           "SHOWTRANSCOL",
                                                "SHOWBORDERS",      "TRANSCOL",
                                                "TRANSCOL2",        "MARKTRANSCOL",
                                                "MARKTRANSCOL2",    "MARKTRANSCOL3",
                                                "AUTOSAVEOPTIONS",  "HORIZCOLORBAR",
                                                "FILLDIAGONAL",     "ENABLEBITMAP",
                                                "AUTOAPPLYFOLDERS", "SINGLEUNDO",
                                                "AUTODRAGGING",     "UNDOBYCOLORCHANGE",
                                                "INVERTDIB",        "GSV_FG",
                                                "GSV_BG",           "FGSV_FG",
                                                "FGSV_BG",          "EDIT_FG",
                                                "EDIT_BG",          "FONTSIZE",
                                                "SYMBOLDISTANCE",   "FONTFACE",
                                                "BCKBITMAP",        "MDIBCK",
                                                "BCKBMPFIT2SIZE",   "SAVEDSK"};
    EXPECT_EQ(SettingNames(store.reads), readOrder);

    SaveSettings(store, settings);
    const std::vector<std::string> writeOrder = {
        "VERSION",           "COLOR1",           "COLOR2",        "OPENFOLDER",
        "SAVEFOLDER",        "EXPORTFOLDER",     "TMPPATH",       "SHOWTRANSCOL",
        "SHOWBORDERS",       "TRANSCOL",         "TRANSCOL2",     "MARKTRANSCOL",
        "MARKTRANSCOL3",     "GSV_FG",           "GSV_BG",        "FGSV_FG",
        "FGSV_BG",           "EDIT_FG",          "EDIT_BG",       "MDIBCK",
        "BCKBMPFIT2SIZE",    "AUTOSAVEOPTIONS",  "HORIZCOLORBAR", "FILLDIAGONAL",
        "ENABLEBITMAP",      "AUTOAPPLYFOLDERS", "SINGLEUNDO",    "AUTODRAGGING",
        "UNDOBYCOLORCHANGE", "INVERTDIB",        "FONTSIZE",      "SYMBOLDISTANCE",
        "FONTFACE",          "BCKBITMAP",        "SAVEDSK"};
    EXPECT_EQ(SettingNames(store.WriteLog()), writeOrder);
    // Every write goes to section "General"; colours are three keys each.
    EXPECT_EQ(store.WriteLog().front(), "General/VERSION");
    EXPECT_EQ(store.WriteLog()[9], "General/TRANSCOL_R");
    EXPECT_EQ(store.WriteLog()[11], "General/TRANSCOL_B");
}

TEST(GeneralSettings, MarkTransCol2IsReadButNeverWritten) {
    MemorySettingsStore store;
    store.WriteInt(kGeneralSection, "MARKTRANSCOL2_G", 10);
    GeneralSettings settings;
    LoadSettings(store, settings);
    EXPECT_EQ(settings.markTransCol2, (Rgb{192, 10, 192}));

    MemorySettingsStore fresh;
    SaveSettings(fresh, settings);
    EXPECT_FALSE(fresh.Contains(kGeneralSection, "MARKTRANSCOL2_R"));
    EXPECT_FALSE(fresh.Contains(kGeneralSection, "MARKTRANSCOL2_G"));
    EXPECT_FALSE(fresh.Contains(kGeneralSection, "MARKTRANSCOL2_B"));
    EXPECT_TRUE(fresh.Contains(kGeneralSection, "MARKTRANSCOL3_R"));
}

TEST(GeneralSettings, ColourComponentsKeepTheirLowEightBits) {
    MemorySettingsStore store;
    store.WriteInt(kGeneralSection, "TRANSCOL_R", 300);
    store.WriteInt(kGeneralSection, "TRANSCOL_G", -1);
    store.WriteInt(kGeneralSection, "GSV_BG_B", 256);
    GeneralSettings settings;
    LoadSettings(store, settings);
    EXPECT_EQ(settings.transCol, (Rgb{44, 255, 0}));  // blue kept its default
    EXPECT_EQ(settings.gsvBg, (Rgb{0, 0, 0}));
}

TEST(GeneralSettings, VersionIsWrittenAsOneWhateverWasRead) {
    MemorySettingsStore store;
    store.WriteInt(kGeneralSection, "VERSION", 7);
    GeneralSettings settings;
    LoadSettings(store, settings);
    SaveSettings(store, settings);
    EXPECT_EQ(store.ReadInt(kGeneralSection, "VERSION", 0), 1);
}

TEST(GeneralSettings, SaveThenLoadGivesTheSameSettings) {
    GeneralSettings changed;
    changed.SetDefaultFolders("/a/", "/b/");
    changed.color1 = 23;
    changed.color2 = 97;
    changed.transCol = {1, 2, 3};
    changed.autoSaveOptions = true;
    changed.fillDiagonal = false;
    changed.fontFace = "DejaVu Sans";
    changed.bckBitmap = "/home/anna/bild.jpg";
    changed.symbolDistance = 0;
    changed.saveDsk = false;
    MemorySettingsStore store;
    SaveSettings(store, changed);
    GeneralSettings loaded;
    LoadSettings(store, loaded);
    EXPECT_EQ(loaded, changed);
}

TEST(GeneralSettings, LongTextsAreCutAt259Characters) {
    MemorySettingsStore store;
    std::string face;
    for (int i = 0; i < 300; ++i) {
        face += "\xC3\xA4";  // two bytes, one character
    }
    store.WriteText(kGeneralSection, "FONTFACE", face);
    store.WriteText(kGeneralSection, "OPENFOLDER", std::string(1000, 'x'));
    GeneralSettings settings;
    LoadSettings(store, settings);
    EXPECT_EQ(settings.fontFace.size(), 2u * 259u);
    EXPECT_EQ(settings.openFolder, std::string(259, 'x'));
}

TEST(GeneralSettings, ValuesThatWouldBreakTheViewsFallBackToDefaults) {
    MemorySettingsStore store;
    store.WriteInt(kGeneralSection, "COLOR1", 100);
    store.WriteInt(kGeneralSection, "COLOR2", -5);
    store.WriteInt(kGeneralSection, "SYMBOLDISTANCE", -3);
    store.WriteInt(kGeneralSection, "FONTSIZE", 0);
    store.WriteInt(kGeneralSection, "SHOWTRANSCOL", 40);  // only the dialog keeps this in range
    GeneralSettings settings;
    LoadSettings(store, settings);
    EXPECT_EQ(settings.color1, 15);
    EXPECT_EQ(settings.color2, 0);
    EXPECT_EQ(settings.symbolDistance, 4);
    EXPECT_EQ(settings.fontSize, 90);
    EXPECT_EQ(settings.showTransCol, 40);
}

TEST(GeneralSettings, SwitchesReadAnyNonZeroAsOn) {
    MemorySettingsStore store;
    store.WriteInt(kGeneralSection, "AUTOSAVEOPTIONS", 2);
    store.WriteInt(kGeneralSection, "SAVEDSK", 0);
    GeneralSettings settings;
    LoadSettings(store, settings);
    EXPECT_TRUE(settings.autoSaveOptions);
    EXPECT_FALSE(settings.saveDsk);
    SaveSettings(store, settings);
    EXPECT_EQ(store.ReadInt(kGeneralSection, "AUTOSAVEOPTIONS", 0), 1);
}

TEST(GeneralSettings, GridsComeBackAsSavedOrAsDefaultsWhenDamaged) {
    struct Case {
        std::vector<std::pair<const char*, int>> stored;  // section "Grid"
        bool pixelGrid, cellGrid;
        int showPixelGrid;
    };
    const Case cases[] = {
        {{}, false, false, 4},
        {{{"PIXELGRID", 1}, {"CELLGRID", 1}, {"SHOWPIXELGRID", 16}}, true, true, 16},
        {{{"PIXELGRID", 7}, {"CELLGRID", -1}, {"SHOWPIXELGRID", 0}}, false, false, 4},
        {{{"SHOWPIXELGRID", 17}}, false, false, 4},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        for (const auto& [key, value] : c.stored) {
            store.WriteInt(kGridSection, key, value);
        }
        GeneralSettings loaded;
        LoadGridSettings(store, loaded);
        EXPECT_EQ(std::tie(loaded.pixelGrid, loaded.cellGrid, loaded.showPixelGrid),
                  std::tie(c.pixelGrid, c.cellGrid, c.showPixelGrid))
            << c.stored.size();
    }
    GeneralSettings changed;
    changed.cellGrid = true;
    changed.gridCol = {1, 2, 3};
    MemorySettingsStore store;
    SaveGridSettings(store, changed);
    GeneralSettings loaded;
    LoadGridSettings(store, loaded);
    EXPECT_EQ(loaded, changed);
}

TEST(GeneralSettings, LanguageComesBackAsSavedOrAsAutomaticWhenDamaged) {
    struct Case {
        std::optional<std::string> stored;  // key LANGUAGE of section "Language"
        LanguageChoice expected;
    };
    const Case cases[] = {
        {std::nullopt, LanguageChoice::Automatic}, {"de", LanguageChoice::German},
        {"en", LanguageChoice::English},           {"auto", LanguageChoice::Automatic},
        {"EN", LanguageChoice::Automatic},         {"english", LanguageChoice::Automatic},
        {"", LanguageChoice::Automatic},           {" de", LanguageChoice::Automatic},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        if (c.stored) {
            store.WriteText(kLanguageSection, "LANGUAGE", *c.stored);
        }
        GeneralSettings loaded;
        loaded.language = LanguageChoice::German;  // a damaged value gives the default, not what was there
        LoadLanguageSetting(store, loaded);
        EXPECT_EQ(loaded.language, c.expected) << c.stored.value_or("(absent)");
    }
}

TEST(GeneralSettings, TrailingSlash) {
    EXPECT_EQ(WithTrailingSlash(""), "");
    EXPECT_EQ(WithTrailingSlash("/"), "/");
    EXPECT_EQ(WithTrailingSlash("/home/anna"), "/home/anna/");
}

}  // namespace
}  // namespace zobl
