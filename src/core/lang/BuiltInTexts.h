#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace zobl {

// The German text of every key this editor added to the language file. Users keep language files
// written for the original set of keys; a lookup that finds such a key missing from the file
// gives this text instead of "__RTX__" (CLanguageManager::GetText). docs/language-keys.md lists
// the added keys, and a test holds this table to that list and to data/zobl_ge.rtx.
struct BuiltInText {
    std::string_view section;
    int key;
    std::string_view text;  // UTF-8, escapes already resolved
};

std::span<const BuiltInText> BuiltInTexts();

// The built-in text of key in section (section without regard to letter case, as in the file).
std::optional<std::string_view> FindBuiltInText(int key, std::string_view section);

}  // namespace zobl
