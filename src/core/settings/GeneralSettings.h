#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/lang/LanguageChoice.h"
#include "core/palette/Palette.h"

namespace zobl {

class SettingsStore;

inline constexpr const char* kGeneralSection = "General";
inline constexpr int kSettingsVersion = 1;
// Text settings lived in 260-byte buffers; longer stored texts are cut to this many characters.
inline constexpr std::size_t kMaxSettingTextLength = 259;

// The user's settings of section "General". Every member starts at its default; a key absent
// from the store keeps it.
struct GeneralSettings {
    int version = kSettingsVersion;  // read and ignored, always written as 1
    std::string openFolder;          // folders end in '/'; see SetDefaultFolders
    std::string saveFolder;
    std::string exportFolder;
    std::string tmpPath;   // folder of the internal clipboard file
    int color1 = 15;       // palette index of the left button
    int color2 = 0;        // palette index of the right button
    int showTransCol = 4;  // smallest zoom at which special colours get their marks
    int showBorders = 4;   // smallest zoom at which the car editor draws borders
    Rgb transCol{0, 112, 0};
    Rgb transCol2{0, 56, 0};
    Rgb markTransCol{255, 255, 255};
    Rgb markTransCol2{192, 192, 192};  // read, never written: nothing changes it
    Rgb markTransCol3{112, 192, 112};
    bool autoSaveOptions = false;
    bool horizColorBar = false;
    bool fillDiagonal = true;
    bool enableBitmap = false;
    bool autoApplyFolders = true;
    bool singleUndo = false;
    bool autoDragging = false;
    bool undoByColorChange = false;
    bool invertDib = false;
    Rgb gsvFg{255, 255, 255};
    Rgb gsvBg{0, 0, 255};
    Rgb fgsvFg{50, 50, 0};
    Rgb fgsvBg{140, 180, 200};
    Rgb editFg{0, 0, 0};
    Rgb editBg{160, 200, 255};
    int fontSize = 90;  // tenths of a point
    int symbolDistance = 4;
    std::string fontFace = "Arial";
    std::string bckBitmap;
    Rgb mdiBck{128, 128, 128};
    bool bckBmpFit2Size = true;
    bool saveDsk = true;
    // Section "Grid": lines over the magnified picture, beside the original settings.
    bool pixelGrid = false;        // a line between magnified pixels
    bool cellGrid = false;         // outlines of the 32 x 16 cells (car editor: segments)
    int showPixelGrid = 4;         // smallest zoom at which the pixel grid is drawn
    Rgb gridCol{128, 128, 128};    // the pixel grid's lines
    Rgb cellGridCol{255, 160, 0};  // the cell grid's lines
    // Section "Language": the language file read from the next start on.
    LanguageChoice language = LanguageChoice::Automatic;

    // The three document folders start in homeFolder (programs here live where users cannot
    // write), the clipboard folder in tempFolder. A missing final '/' is added.
    void SetDefaultFolders(std::string_view homeFolder, std::string_view tempFolder);

    friend bool operator==(const GeneralSettings&, const GeneralSettings&) = default;
};

// Reads every key of section "General" in the documented order; each value read replaces the
// member, absent keys keep it. Texts are cut to 259 characters. Stored values are taken as they
// are, except where a wrong one would break the program: drawing colours outside 0..99, a
// symbol distance outside 0..16 and a font size below 1 fall back to their defaults.
void LoadSettings(SettingsStore& store, GeneralSettings& settings);
// Writes section "General" in the documented order (MARKTRANSCOL2 is not written).
void SaveSettings(SettingsStore& store, const GeneralSettings& settings);

inline constexpr const char* kGridSection = "Grid";
inline constexpr int kMinGridZoom = 1;
inline constexpr int kMaxGridZoom = 16;
// Section "Grid" (PIXELGRID, CELLGRID, SHOWPIXELGRID, GRIDCOL, CELLGRIDCOL), apart from "General"
// so that its documented key lists stay as they are. A switch other than 0 or 1 and a zoom
// outside kMinGridZoom..kMaxGridZoom fall back to their defaults.
void LoadGridSettings(SettingsStore& store, GeneralSettings& settings);
void SaveGridSettings(SettingsStore& store, const GeneralSettings& settings);

inline constexpr const char* kLanguageSection = "Language";
// Key LANGUAGE of section "Language": "de", "en" or "auto". Any other value (a hand-edited or
// damaged file) is read as the default, automatic.
void LoadLanguageSetting(SettingsStore& store, GeneralSettings& settings);
void SaveLanguageSetting(SettingsStore& store, const GeneralSettings& settings);

// A colour is three integer keys NAME_R, NAME_G, NAME_B; reading keeps their low 8 bits.
Rgb ReadColorSetting(SettingsStore& store, std::string_view section, std::string_view name, Rgb defaultValue);
void WriteColorSetting(SettingsStore& store, std::string_view section, std::string_view name, Rgb value);

// The colour as one 24-bit value: red + 256 * green + 65536 * blue.
constexpr std::uint32_t ColourValue(Rgb colour) {
    return std::uint32_t{colour.red} | (std::uint32_t{colour.green} << 8) |
           (std::uint32_t{colour.blue} << 16);
}

// The folder with a final '/', "" staying "".
std::string WithTrailingSlash(std::string_view folder);

}  // namespace zobl
