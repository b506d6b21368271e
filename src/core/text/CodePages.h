#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zobl {

// Conversions between the two 8-bit code pages our files use and UTF-8, the encoding of every
// text inside the program:
// - Windows-1252: texts in .gs/.fgs documents and the language file. Its five unassigned bytes
//   (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the same number, so that every
//   byte string survives the way through UTF-8 and back.
// - Code page 850 (DOS "OEM"): the simulator's own files and the vehicle export. All 256 bytes
//   are assigned.
// A character that the target page lacks becomes '?'. Malformed UTF-8 never fails: each byte
// that does not belong to a well-formed sequence counts as one character of its own
// (U+FFFD, which no 8-bit page holds, so '?').

std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);
std::string Cp850ToUtf8(std::string_view text);
std::string Utf8ToCp850(std::string_view text);
std::string Cp1252ToCp850(std::string_view text);
std::string Cp850ToCp1252(std::string_view text);

// The characters of a UTF-8 text that the page has no byte for (they would become '?'), each
// once in the order they first appear; empty when the whole text fits. "ł→ł€" gives "ł→" for
// Windows-1252 and "ł→€" for code page 850. A malformed byte counts as U+FFFD.
std::string MissingFromCp1252(std::string_view text);
std::string MissingFromCp850(std::string_view text);

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// Decodes the character that starts at pos and advances pos behind it. A byte that does not start
// a well-formed sequence (stray continuation byte, overlong form, surrogate, beyond U+10FFFF,
// cut-off sequence) yields kReplacementCharacter and advances pos by exactly one byte.
// pos must be below text.size().
char32_t DecodeUtf8(std::string_view text, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t codePoint);

// ASCII letters in lower case, every other byte as it is: names in initialisation files and the
// names of the simulator's files compare so.
constexpr char FoldAsciiCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

bool IsValidUtf8(std::string_view text);
// The text with each malformed byte replaced by U+FFFD; well-formed text comes back unchanged.
std::string SanitizeUtf8(std::string_view text);
// Number of characters, counted as DecodeUtf8 does.
std::size_t Utf8Length(std::string_view text);
// The first codePoints characters (all of text if it is shorter); never splits a sequence.
std::string_view Utf8Prefix(std::string_view text, std::size_t codePoints);

}  // namespace zobl
