#include "core/lang/LanguageChoice.h"

#include <filesystem>
#include <system_error>

#include "core/common/PathTools.h"
#include "core/lang/LanguageManager.h"

namespace zobl {
namespace {

// The language of one locale name ("en_US.UTF-8", "de", "de_AT@euro"), if it is one we ship.
std::optional<Language> LanguageOfLocale(std::string_view locale) {
    const std::string_view code = locale.substr(0, locale.find_first_of("_.@"));
    if (code == "de") {
        return Language::German;
    }
    if (code == "en") {
        return Language::English;
    }
    return std::nullopt;
}

std::string_view Variable(const EnvironmentLookup& environment, const char* name) {
    const char* value = environment ? environment(name) : nullptr;
    return value != nullptr ? std::string_view(value) : std::string_view();
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string_view LanguageChoiceName(LanguageChoice choice) {
    switch (choice) {
        case LanguageChoice::German:
            return "de";
        case LanguageChoice::English:
            return "en";
        case LanguageChoice::Automatic:
            break;
    }
    return "auto";
}

std::optional<LanguageChoice> ParseLanguageChoice(std::string_view name) {
    for (const LanguageChoice choice :
         {LanguageChoice::German, LanguageChoice::English, LanguageChoice::Automatic}) {
        if (name == LanguageChoiceName(choice)) {
            return choice;
        }
    }
    return std::nullopt;
}

Language LanguageFromEnvironment(const EnvironmentLookup& environment) {
    std::string_view list = Variable(environment, "LANGUAGE");
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        if (const auto language = LanguageOfLocale(list.substr(0, colon))) {
            return *language;
        }
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    // The first set variable is the locale in force; a later one is overridden, not a second wish.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::string_view locale = Variable(environment, name);
        if (!locale.empty()) {
            return LanguageOfLocale(locale).value_or(Language::German);
        }
    }
    return Language::German;
}

Language ResolveLanguage(LanguageChoice choice, const EnvironmentLookup& environment) {
    switch (choice) {
        case LanguageChoice::German:
            return Language::German;
        case LanguageChoice::English:
            return Language::English;
        case LanguageChoice::Automatic:
            break;
    }
    return LanguageFromEnvironment(environment);
}

std::string LanguageFilePath(Language language, const DataFinder& find) {
    const DataFinder& finder = find ? find : DataFinder(FindProgramData);
    if (language == Language::English) {
        const std::string english = finder(kEnglishLanguageFileName);
        if (IsFile(english)) {
            return english;
        }
    }
    return finder(CLanguageManager::kDefaultFileName);
}

Language LanguageOfFile(std::string_view path) {
    return FileNameOfPath(path, true) == kEnglishLanguageFileName ? Language::English : Language::German;
}

std::string ManualPath(const std::string& germanManual, Language language) {
    if (language == Language::English) {
        const std::string english = FolderOfPath(germanManual) + "en/" + FileNameOfPath(germanManual, true);
        if (IsFile(english)) {
            return english;
        }
    }
    return germanManual;
}

}  // namespace zobl
