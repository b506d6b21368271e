#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zobl {

class SceneryDocument;

// The layouts of .gs files this program reads. Only Version7 is written.
enum class GsLayout {
    Version7,
    Version5,
    Version1,
    Version2,
    Oldest,  // no format and version bytes: the base rows as bit planes, right after the end mark
};

// 7, 5, 1, 2, or 0 for the oldest layout.
int GsLayoutVersion(GsLayout layout) noexcept;

namespace gs {
inline constexpr std::string_view kHeaderText = "TRAK User Graphics File";
inline constexpr std::uint8_t kEndMark = 0x1A;
inline constexpr std::uint8_t kFormat = 2;
inline constexpr std::uint8_t kWrittenVersion = 7;
// Texts in the file are Windows-1252 bytes, at most 20,479 of them before the 0 byte: older
// versions of this program read them into 20,480-byte buffers.
inline constexpr std::size_t kMaxTextBytes = 20479;
}  // namespace gs

// Reads a .gs file of any supported layout into doc, replacing its pixels, records and texts;
// afterwards the display is refreshed, the undo history is empty and doc is not modified.
// path only names the file in error messages. On failure doc is left exactly as it was:
// - MessageError 2 with the file name (without folder), for data that are no scenery file this
//   program reads: no end mark followed by format and version bytes, an unknown format or
//   version, version 6, dimensions other than 36 x 5 cells of 32 x 16;
// - MessageError 4 with the path, for a scenery file that is damaged: the data end early or hold
//   a text longer than 20,479 bytes.
GsLayout ReadGs(std::span<const std::uint8_t> bytes, const std::string& path, SceneryDocument& doc);
// The same from a file; also MessageError 4 when the file cannot be read.
GsLayout ReadGsFile(const std::string& path, SceneryDocument& doc);
// For a damaged scenery file (error 4 above): reads into doc what lies before the damage, as
// ReadGs does: texts, whole symbol records, whole cells (versions 1 and 2, the oldest layout)
// and the pixel bytes there are (versions 7 and 5); the rest as in a new document. False,
// doc unchanged, when nothing could be read or the data are no scenery file (error 2 above).
// Example: a version-2 file cut inside its third stored cell gives the first two cells.
bool ReadGsReadablePart(std::span<const std::uint8_t> bytes, SceneryDocument& doc);

// The document as a version-7 file. Texts are cut at 20,479 bytes (after conversion to
// Windows-1252) and at an embedded 0 character, which the file cannot hold.
std::vector<std::uint8_t> WriteGs(const SceneryDocument& doc);
// Writes the version-7 file so that a failure leaves an existing file untouched
// (MessageError 3 or 4 with the path, see WriteFileAtomically). Does not change doc.
void SaveGsFile(const std::string& path, const SceneryDocument& doc);

}  // namespace zobl
