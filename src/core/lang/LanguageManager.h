#pragma once

#include <string>
#include <string_view>

namespace zobl {

// Looks up every user-visible text by (key, section) in the language file, an
// initialisation-style file ("zobl_ge.rtx" beside the executable). The file is read anew on
// every lookup, so a translator sees an edited file take effect at once.
//
// Texts come back as UTF-8. The file itself is Windows-1252, unless it starts with a UTF-8
// byte-order mark.
class CLanguageManager {
public:
    static constexpr const char* kDefaultFileName = "zobl_ge.rtx";
    static constexpr const char* kMissingText = "__RTX__";
    static constexpr std::size_t kMaxValueLength = 10239;

    // A bare file name (no folder part) is taken from the folder of the running executable.
    explicit CLanguageManager(std::string_view fileName = kDefaultFileName);
    virtual ~CLanguageManager() = default;

    CLanguageManager(const CLanguageManager&) = delete;
    CLanguageManager& operator=(const CLanguageManager&) = delete;

    const std::string& Path() const noexcept { return path_; }

    // The text of key in section, with "#empty" and the backslash escapes resolved. When the
    // file, the section or the key is missing: the built-in text of a key this editor added
    // (BuiltInTexts.h), else "__RTX__".
    std::string GetText(int key, std::string_view section) const;
    // The same lookup in content already read from a language file.
    static std::string TextIn(std::string_view content, int key, std::string_view section);

private:
    static std::string MissingText(int key, std::string_view section);

    std::string path_;
};

}  // namespace zobl
