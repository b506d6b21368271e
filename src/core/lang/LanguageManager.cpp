#include "core/lang/LanguageManager.h"

#include <algorithm>
#include <optional>

#include "core/common/PathTools.h"
#include "core/lang/BuiltInTexts.h"
#include "core/text/CodePages.h"
#include "core/text/IniFile.h"

namespace zobl {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsEmptyMarker(std::string_view value) {
    constexpr std::string_view kMarker = "#empty";
    if (value.size() != kMarker.size()) {
        return false;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != kMarker[i]) {
            return false;
        }
    }
    return true;
}

// \n -> CR LF, \t -> tab, \\ -> backslash; a backslash before any other character drops both,
// a backslash at the end is dropped. The text is UTF-8, so "any other character" is a whole
// code point: dropping only its first byte would leave a broken sequence behind.
std::string ResolveEscapes(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    std::size_t pos = 0;
    while (pos < value.size()) {
        // Everything up to the next backslash as it is.
        const std::size_t backslash = std::min(value.find('\\', pos), value.size());
        out.append(value.substr(pos, backslash - pos));
        pos = backslash + 1;
        if (backslash == value.size()) {
            break;
        }
        if (pos == value.size()) {
            break;
        }
        switch (value[pos]) {
            case 'n':
            case 'N':
                out += "\r\n";
                ++pos;
                break;
            case 't':
            case 'T':
                out.push_back('\t');
                ++pos;
                break;
            case '\\':
                out.push_back('\\');
                ++pos;
                break;
            default:
                DecodeUtf8(value, pos);
                break;
        }
    }
    return out;
}

}  // namespace

CLanguageManager::CLanguageManager(std::string_view fileName) {
    path_ = FolderOfPath(fileName).empty() ? FindProgramData(fileName) : std::string(fileName);
}

std::string CLanguageManager::GetText(int key, std::string_view section) const {
    // Read anew on every lookup so that a translator's edit shows at once; one read, one scan.
    const std::optional<std::string> content = ReadTextFile(path_);
    if (!content) {
        return MissingText(key, section);
    }
    return TextIn(*content, key, section);
}

std::string CLanguageManager::MissingText(int key, std::string_view section) {
    // A key added after language files were written for the original set still reads well.
    const std::optional<std::string_view> builtIn = FindBuiltInText(key, section);
    return builtIn ? std::string(*builtIn) : std::string(kMissingText);
}

std::string CLanguageManager::TextIn(std::string_view content, int key, std::string_view section) {
    std::string_view text = content;
    const bool isUtf8 = text.starts_with(kUtf8ByteOrderMark);
    if (isUtf8) {
        text.remove_prefix(kUtf8ByteOrderMark.size());
    }
    const std::optional<std::string_view> raw = FindIniValue(text, section, std::to_string(key));
    if (!raw) {
        return MissingText(key, section);
    }
    // The length limit counts characters of the file: bytes of Windows-1252, code points of UTF-8.
    const std::string value = isUtf8 ? SanitizeUtf8(Utf8Prefix(*raw, kMaxValueLength))
                                     : Cp1252ToUtf8(raw->substr(0, kMaxValueLength));
    // "#empty" is pure ASCII, so testing the converted value equals testing the raw one.
    if (IsEmptyMarker(value)) {
        return {};
    }
    return ResolveEscapes(value);
}

}  // namespace zobl
