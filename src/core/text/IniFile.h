#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zobl {

// Reader of initialisation-file syntax, as used by the language file, the simulator's TRAK.INI
// and the Wine profile win.ini:
//
//   ; comment
//   [Section]
//   key = value
//
// - A line whose first non-blank character is '[' and which holds a ']' starts a section; its
//   name is the text between the brackets. A '[' line without ']' is ignored.
// - A line whose first non-blank character is ';' is a comment; other lines without '=' are
//   ignored. Entries before the first section header belong to no section and are never found.
// - Section and key names are compared without regard to ASCII letter case; blanks (space, tab)
//   around names and values are not part of them. A value enclosed in a pair of matching quotes
//   (" or ') is taken without the quotes.
// - Lines end in LF or CR LF. When a key occurs more than once in a section (or in several
//   sections of the same name), the first one in the file wins.
// The reader keeps raw bytes (any byte, NUL included, is data); it knows nothing of encodings.
class IniFile {
public:
    static constexpr std::size_t kNoLimit = std::string::npos;

    static IniFile Parse(std::string_view content);
    // nullopt when the file cannot be read.
    static std::optional<IniFile> Load(const std::string& path);

    // The value of key in section, cut to its first maxLength bytes; nullopt when the section or
    // the key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key,
                                     std::size_t maxLength = kNoLimit) const;
    bool HasSection(std::string_view section) const;
    // Section names in file order, each once (as first spelt).
    std::vector<std::string> Sections() const;
    // Key names of a section in file order, each once (as first spelt).
    std::vector<std::string> Keys(std::string_view section) const;

private:
    struct Entry {
        std::string section;
        std::string key;
        std::string value;
    };
    std::vector<Entry> entries_;
    std::vector<std::string> sections_;
    // Folded "section\nkey" -> index of the first such entry. A name never holds a line feed.
    std::unordered_map<std::string, std::size_t> firstEntry_;
};

// One scan of content for the first value of key in section, with the rules of IniFile, uncut.
// The result points into content.
std::optional<std::string_view> FindIniValue(std::string_view content, std::string_view section,
                                             std::string_view key);

// Larger than any initialisation or text file this program reads whole.
inline constexpr std::size_t kMaxTextFileSize = std::size_t{64} << 20;

// All bytes of a text file; nullopt when it cannot be opened or read (missing, a folder, ...)
// or is larger than kMaxTextFileSize.
std::optional<std::string> ReadTextFile(const std::string& path);

// The value of key in section of the file at path, read anew on every call, cut to maxLength
// bytes; defaultValue (cut likewise) when the file, the section or the key is missing.
std::string GetProfileString(const std::string& path, std::string_view section, std::string_view key,
                             std::string_view defaultValue, std::size_t maxLength = IniFile::kNoLimit);

}  // namespace zobl
