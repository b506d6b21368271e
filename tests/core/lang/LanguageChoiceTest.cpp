#include "core/lang/LanguageChoice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "core/common/TestTempFolder.h"

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
        {kAuto, {{"LANG", "en"}}, kEn},
        {kAuto, {{"LANG", "de_AT@euro"}}, kDe},
        {kAuto, {{"LANG", "C.UTF-8"}}, kDe},
        {kAuto, {{"LANG", "fr_FR.UTF-8"}}, kDe},
        {kAuto, {{"LANG", "english"}}, kDe},
        {kAuto, {{"LANG", ""}}, kDe},
        // LANGUAGE is a list of wishes: the first one we ship wins, before any locale.
        {kAuto, {{"LANGUAGE", "fr:en_GB:de"}, {"LANG", "de_DE.UTF-8"}}, kEn},
        {kAuto, {{"LANGUAGE", "de:en"}, {"LANG", "en_US.UTF-8"}}, kDe},
        {kAuto, {{"LANGUAGE", ":en"}}, kEn},
        {kAuto, {{"LANGUAGE", "fr"}, {"LANG", "en_GB.UTF-8"}}, kEn},
        {kAuto, {{"LANGUAGE", ""}, {"LANG", "en_GB.UTF-8"}}, kEn},
        // Of the locale variables the first one set is in force, whatever the later ones say.
        {kAuto, {{"LC_ALL", "en_GB.UTF-8"}, {"LC_MESSAGES", "de_DE"}, {"LANG", "de_DE"}}, kEn},
        {kAuto, {{"LC_ALL", "fr_FR.UTF-8"}, {"LANG", "en_US.UTF-8"}}, kDe},
        {kAuto, {{"LC_MESSAGES", "en_US.UTF-8"}, {"LANG", "de_DE.UTF-8"}}, kEn},
        {kAuto, {{"LC_ALL", ""}, {"LANG", "en_US.UTF-8"}}, kEn},
        // A language chosen in the settings is the language, whatever the environment says.
        {LanguageChoice::German, {{"LANGUAGE", "en"}, {"LANG", "en_US.UTF-8"}}, kDe},
        {LanguageChoice::English, {{"LANG", "de_DE.UTF-8"}}, kEn},
        {LanguageChoice::English, {}, kEn},
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

// The language files and the manual in a folder of the test's own, with or without the English ones.
TEST(LanguageChoice, EnglishFilesAreTakenWhenTheyExistElseTheGermanOnes) {
    struct Case {
        Language language;
        bool englishShipped;
        const char* languageFile;
        const char* manual;
    };
    const Case cases[] = {
        {Language::German, true, "zobl_ge.rtx", "help/index.html"},
        {Language::English, true, "zobl_ge.en.rtx", "help/en/index.html"},
        {Language::English, false, "zobl_ge.rtx", "help/index.html"},
        {Language::German, false, "zobl_ge.rtx", "help/index.html"},
    };
    for (const Case& c : cases) {
        test::TempFolder folder;
        std::filesystem::create_directories(folder.Path() / "help/en");
        std::ofstream(folder.File("zobl_ge.rtx")) << "[DATA]\n";
        std::ofstream(folder.File("help/index.html")) << "<html>";
        if (c.englishShipped) {
            std::ofstream(folder.File("zobl_ge.en.rtx")) << "[DATA]\n";
            std::ofstream(folder.File("help/en/index.html")) << "<html>";
        }
        const DataFinder find = [&folder](std::string_view name) { return folder.File(std::string(name)); };
        const std::string file = LanguageFilePath(c.language, find);
        EXPECT_EQ(file, folder.File(c.languageFile)) << c.englishShipped;
        EXPECT_EQ(LanguageOfFile(file), c.englishShipped ? c.language : Language::German);
        EXPECT_EQ(ManualPath(folder.File("help/index.html"), c.language), folder.File(c.manual))
            << c.englishShipped;
    }
}

}  // namespace
}  // namespace zobl
