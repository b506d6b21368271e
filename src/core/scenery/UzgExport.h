#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zobl {

class CLanguageManager;
class SceneryDocument;

namespace uzg {
inline constexpr std::uint8_t kEndMark = 0x1A;
inline constexpr std::uint8_t kFormat = 0x35;
inline constexpr std::uint8_t kVersion = 0x09;
inline constexpr std::string_view kTableTag = "SYMT";
inline constexpr int kSignatureKey = 1051;  // section DATA: the simulator's file signature
inline constexpr int kFilterKey = 1050;     // section DATA: file dialog filter
inline constexpr int kTilesPerImage = 4;
inline constexpr std::size_t kImageSize = 512;
}  // namespace uzg

// The scenery graphic as the simulator's user-graphics file. signatureUtf8 starts the file
// (written in Windows-1252). Per symbol, the rows present for output are written as images in
// the order 4, 3, 2, 1, 0, each as four 8 x 16 tiles of simulator colour codes; the table after
// "SYMT" names the image of each row. Does not change the document.
std::vector<std::uint8_t> WriteUzg(const SceneryDocument& doc, std::string_view signatureUtf8);

// Writes the export to path with the signature of the language file (DATA key 1051), replacing an
// existing file only once everything was written. MessageError 3 or 4 with the path on failure.
// Leaves the modified flag and the undo history of doc alone.
void ExportUzgFile(const std::string& path, const SceneryDocument& doc, const CLanguageManager& language);

}  // namespace zobl
