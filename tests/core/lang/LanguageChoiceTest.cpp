#include "core/lang/LanguageChoice.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace zobl {
namespace {

using Environment = std::map<std::string, std::string>;

EnvironmentLookup LookupIn(const Environment& environment) {
    return [&environment](const char* name) -> const char* {
        const auto found = environment.find(name);
        return found == environment.end() ? nullptr : found->second.c_str();
    };
}

TEST(LanguageChoice, TheSettingOrElseTheEnvironmentChoosesTheLanguage) {
    constexpr auto kAuto = LanguageChoice::Automatic;
    constexpr auto kDe = Language::German;
    constexpr auto kEn = Language::English;
    struct Case {
        LanguageChoice choice;
        Environment environment;
        Language expected;
    };
    const Case cases[] = {
        {kAuto, {}, kDe},
        {kAuto, {{"LANG", "en_US.UTF-8"}}, kEn},
        {kAuto, {{"LANG", "de_AT@euro"}}, kDe},
        {kAuto, {{"LANG", "C.UTF-8"}}, kDe},
        {kAuto, {{"LANG", "fr_FR.UTF-8"}}, kDe},
        {kAuto, {{"LANG", "english"}}, kDe},
        // LANGUAGE is a list of wishes: the first one we ship wins, before any locale.
        {kAuto, {{"LANGUAGE", "fr:en_GB:de"}, {"LANG", "de_DE.UTF-8"}}, kEn},
        {kAuto, {{"LANGUAGE", "de:en"}, {"LANG", "en_US.UTF-8"}}, kDe},
        {kAuto, {{"LANGUAGE", ":en"}}, kEn},
        {kAuto, {{"LANGUAGE", "fr"}, {"LANG", "en_GB.UTF-8"}}, kEn},
        // Of the locale variables the first one set is in force, whatever the later ones say.
        {kAuto, {{"LC_ALL", "en_GB.UTF-8"}, {"LC_MESSAGES", "de_DE"}, {"LANG", "de_DE"}}, kEn},
        {kAuto, {{"LC_ALL", "fr_FR.UTF-8"}, {"LANG", "en_US.UTF-8"}}, kDe},
        {kAuto, {{"LC_MESSAGES", "en_US.UTF-8"}, {"LANG", "de_DE.UTF-8"}}, kEn},
        {kAuto, {{"LC_ALL", ""}, {"LANG", "en_US.UTF-8"}}, kEn},
        // A language chosen in the settings is the language, whatever the environment says.
        {LanguageChoice::German, {{"LANGUAGE", "en"}, {"LANG", "en_US.UTF-8"}}, kDe},
        {LanguageChoice::English, {{"LANG", "de_DE.UTF-8"}}, kEn},
    };
    for (const Case& c : cases) {
        std::string described;
        for (const auto& [name, value] : c.environment) {
            described += name + "=" + value + " ";
        }
        EXPECT_EQ(ResolveLanguage(c.choice, LookupIn(c.environment)), c.expected)
            << LanguageChoiceName(c.choice) << " " << described;
    }
}

}  // namespace
}  // namespace zobl
