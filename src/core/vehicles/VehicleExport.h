#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/palette/Palette.h"

namespace zobl {

class CLanguageManager;
class VehicleDocument;

// The simulator's vehicle files: a .UFG file with the car graphics and a .UZZ file with the
// sets as compositions of cars and their texts.
namespace vehicle_export {
inline constexpr std::string_view kFileHeaderText = "TRAK User Graphics File (rolling stock file)";
inline constexpr std::uint8_t kEndMark = 0x1A;
inline constexpr std::array<std::uint8_t, 5> kUfgMagic = {0x46, 0x5A, 0xC7, 0x35, 0x09};
inline constexpr std::array<std::uint8_t, 3> kUzzMagic = {0x5A, 0xC7, 0x47};
inline constexpr int kSetKeyBase = 4000;    // UFG key of exported set s: (4000 + s) * 16
inline constexpr int kTextKeyBase = 50000;  // UZZ key of exported set s: 50000 + s
inline constexpr std::size_t kSetNameBytes = 22;
// Section DATA: the pattern of the text at the start of every UFG set block.
inline constexpr int kHeaderPatternKey = 1022;
inline constexpr std::string_view kProgramName = "ZOBL_Graphic_Editor";
inline constexpr std::string_view kUnknown = "unknown";
inline constexpr std::string_view kPlatform = "\\PC_Win";
// Section DATA: the message box texts of the export check, each with "%d" for set, car and view.
inline constexpr int kHalfTransparentFoundKey = 1023;
inline constexpr int kBackgroundFoundKey = 1024;
// Caption of the message box of the export check.
inline constexpr std::string_view kCheckCaption = "OnFileExportAs";

constexpr std::uint16_t SetKey(int exported) {
    return std::uint16_t((kSetKeyBase + exported) * 16);
}
}  // namespace vehicle_export

// The moment written into the export's header text.
struct ExportTime {
    int day = 1;
    int month = 1;  // 1..12
    int year = 1970;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const ExportTime&, const ExportTime&) = default;
};
// The current local time, or, when SOURCE_DATE_EPOCH holds a number of seconds, that instant
// in UTC, so that builds of sample files are reproducible.
ExportTime ExportTimeNow();

// The header pattern (printf-like: %s, %d, %i, %u, %x, %X, %c, %% with flags and width) filled
// with the program name, "unknown", "\PC_Win", day, month, year, hour, minute, second. Safe for
// any pattern: conversions beyond these nine arguments give nothing, a string under %d is
// written as it is, widths are capped.
std::string FormatExportHeader(std::string_view patternUtf8, const ExportTime& time);

// Why a document cannot be exported: a pixel the simulator cannot show on vehicles (the first
// one found, as CountSpecialPixels finds it), or a set longer than 32 units, whose tile numbers
// would run into the steam bits of the references.
enum class ExportProblemKind { HalfTransparent, Background, SetTooLong };
struct ExportProblem {
    ExportProblemKind kind = ExportProblemKind::HalfTransparent;
    int set = -1;
    int car = -1;
    int view = -1;
};
std::optional<ExportProblem> CheckVehicleExport(const VehicleDocument& doc);
// The message box text (UTF-8): the language file's text for the colour found, with set, car and
// view filled in, or message 112 for an overlong set.
std::string ExportProblemText(const ExportProblem& problem, const CLanguageManager& language);

// Slots of the sets that are exported: every named set with cars, in slot order. Exported set
// s (0, 1, ...) is the s-th of them.
std::vector<int> ExportedSets(const VehicleDocument& doc);

// A set or car of the export whose texts lose characters: the simulator reads code page 850,
// which lacks them, so the UZZ file holds '?' in their place.
struct ExportTextLoss {
    int set = -1;
    int car = -1;         // -1: the set's own name
    std::string name;     // of the set or the car, UTF-8
    std::string missing;  // the characters lost, each once, UTF-8
    friend bool operator==(const ExportTextLoss&, const ExportTextLoss&) = default;
};
// In export order: a set's name first, then its cars (name, text 2 and text 3 together).
std::vector<ExportTextLoss> ExportTextLosses(const VehicleDocument& doc);

// The two files as bytes; none when no set has cars or an exported set is longer than 32 units.
// setHeaderUtf8 is the text at the start of every UFG set block (converted to code page 850);
// fileHeader starts both files as it stands. progress gets s * 100 / S before each set.
using ExportProgress = std::function<void(int percent)>;
std::optional<std::vector<std::uint8_t>> UfgWriter(
    const VehicleDocument& doc, std::string_view setHeaderUtf8,
    std::string_view fileHeader = vehicle_export::kFileHeaderText, const ExportProgress& progress = {});
std::optional<std::vector<std::uint8_t>> UzzWriter(
    const VehicleDocument& doc, std::string_view fileHeader = vehicle_export::kFileHeaderText);

struct VehicleExportPaths {
    std::string ufg;
    std::string uzz;
};
VehicleExportPaths ExportPathsFor(const std::string& basePath);

// Writes basePath.UFG and basePath.UZZ, both or neither (see WriteFilesAtomically). Does not
// check the pixels (CheckVehicleExport comes first). MessageError 3 with the base name when no
// set has cars, 112 for a set longer than 32 units, 3 or 4 with a path when writing fails.
void ExportVehicleFiles(const std::string& basePath, const VehicleDocument& doc,
                        const CLanguageManager& language, const ExportTime& time,
                        const ExportProgress& progress = {});

}  // namespace zobl
