#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/MessageError.h"

namespace zobl {

class CLanguageManager;
class VehicleDocument;
struct VehicleContent;

namespace fgs {
inline constexpr std::string_view kHeaderText = "TRAK User Graphics File (rolling stock file)";
inline constexpr std::uint8_t kEndMark = 0x1A;
inline constexpr std::array<std::uint8_t, 3> kMagic = {0x46, 0xC7, 0x53};
inline constexpr std::size_t kMaxInfoLength = 2048;  // terminating 0 included
// Section DATA: author and info text of a file without its author block.
inline constexpr int kDefaultAuthorKey = 1020;
inline constexpr int kDefaultInfoKey = 1021;
}  // namespace fgs

// The texts a file without its author block gets (UTF-8, as the language file gives them).
struct FgsDefaults {
    std::string authorUtf8;
    std::string infoTextUtf8;
};
FgsDefaults FgsDefaultsFrom(const CLanguageManager& language);

// How reading went. A damaged file still gives everything read up to the damage; detail names
// the first problem, and keptContent says whether the file gave anything of its own (its author
// block or a set).
struct FgsReadResult {
    bool damaged = false;
    std::string detail;
    bool keptContent = false;
};

// True when the bytes after the first 0x1A are the vehicle file's magic.
bool HasFgsMagic(std::span<const std::uint8_t> bytes);

// Reads a .fgs file into content (which it empties first). Never reads outside bytes, never
// writes outside the fixed capacities: a missing end-of-text byte, a wrong magic, an early end,
// non-zero check words, a header flag other than 0 and 1, more than 10 sets, more than 8 cars,
// a car length outside 1..32, an info length above 2048 and a set longer than 32 units all make
// the result damaged. What can be kept is kept: surplus sets and cars and cars of an impossible
// length are skipped, an overlong info text is cut.
FgsReadResult ReadFgsContent(std::span<const std::uint8_t> bytes, const FgsDefaults& defaults,
                             VehicleContent& content);
// The same into a document: it takes what was read, with an empty undo history, not modified.
FgsReadResult ReadFgs(std::span<const std::uint8_t> bytes, const FgsDefaults& defaults, VehicleDocument& doc);
// From a file: MessageError 4 with the path when it cannot be read.
FgsReadResult ReadFgsFile(const std::string& path, const FgsDefaults& defaults, VehicleDocument& doc);
// A file without the vehicle file's end-of-text byte and magic is no vehicle file: error 2
// naming the file (without folder). A vehicle file that is damaged: error 4 naming the path.
MessageError FgsNotAVehicleFileError(const std::string& path);
MessageError FgsDamageError(const std::string& path, const FgsReadResult& result);

std::vector<std::uint8_t> WriteFgs(const VehicleDocument& doc);
// Replaces an existing file only once everything was written (MessageError 3 or 4 with the
// path). Does not change doc.
void SaveFgsFile(const std::string& path, const VehicleDocument& doc);

}  // namespace zobl
