#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zobl {

// The languages the editor ships a language file for.
enum class Language { German, English };

// The "Sprache" setting: a language, or the one the environment names.
enum class LanguageChoice { German, English, Automatic };

// The English language file, beside the German CLanguageManager::kDefaultFileName.
inline constexpr const char* kEnglishLanguageFileName = "zobl_ge.en.rtx";

// The setting as stored ("de", "en", "auto") and back; any other text is nullopt.
std::string_view LanguageChoiceName(LanguageChoice choice);
std::optional<LanguageChoice> ParseLanguageChoice(std::string_view name);

// Reads an environment variable: nullptr when it is unset.
using EnvironmentLookup = std::function<const char*(const char*)>;

// The language the environment asks for, the way message catalogues choose theirs: the entries
// of LANGUAGE ("fr:en_GB:de") in their order, then the locale of messages, which is the first
// set one of LC_ALL, LC_MESSAGES and LANG. The first of these whose language is German or
// English wins ("en_US.UTF-8", "de_AT@euro"); none of them: German.
// Example: LANGUAGE "fr:en", LANG "de_DE" gives English; LC_ALL "fr_FR", LANG "en_US" gives German.
Language LanguageFromEnvironment(const EnvironmentLookup& environment);

Language ResolveLanguage(LanguageChoice choice, const EnvironmentLookup& environment);

// Finds a data file of the program by its bare name (FindProgramData unless a test says otherwise).
using DataFinder = std::function<std::string(std::string_view name)>;

// The path of the language file of language: the German file, or the English one where the
// German one would be looked for; a missing English file gives the German one.
std::string LanguageFilePath(Language language, const DataFinder& find);

// Which language a language file speaks, by its name: the English file or else German.
Language LanguageOfFile(std::string_view path);

// The manual to open: beside the German manual (".../help/index.html") the English one lies in
// "en/" (".../help/en/index.html"); it is taken for English when it exists, else the German one.
std::string ManualPath(const std::string& germanManual, Language language);

}  // namespace zobl
