#include "core/lang/BuiltInTexts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "core/common/TestTempFolder.h"
#include "core/lang/LanguageManager.h"
#include "core/text/IniFile.h"

namespace zobl {
namespace {

using Keys = std::set<std::pair<std::string, int>>;

// The rows "| section | keys |" of a table of docs/language-keys.md, keys as "1023, 1024" or
// "3932-3939".
Keys KeysOfTable(const std::string& heading) {
    std::ifstream doc(ZOBL_LANGUAGE_KEYS_DOC);
    EXPECT_TRUE(doc.good()) << ZOBL_LANGUAGE_KEYS_DOC;
    Keys keys;
    bool inTable = false;
    const std::regex row(R"(^\| *(\w+) *\| *([0-9, -]+) *\|)");
    const std::regex range(R"((\d+)(?:-(\d+))?)");
    for (std::string line; std::getline(doc, line);) {
        inTable = line.starts_with("## ") ? line == "## " + heading : inTable;
        std::smatch m;
        if (!inTable || !std::regex_search(line, m, row)) {
            continue;
        }
        const std::string list = m[2];
        for (std::sregex_iterator it(list.begin(), list.end(), range), end; it != end; ++it) {
            const int first = std::stoi((*it)[1]);
            for (int key = first; key <= ((*it)[2].matched ? std::stoi((*it)[2]) : first); ++key) {
                keys.emplace(m[1], key);
            }
        }
    }
    EXPECT_FALSE(keys.empty()) << heading;
    return keys;
}

// Later keys cannot be forgotten: every key of the shipped file outside the original set, and
// every one listed as added, has a built-in text, the shipped file's.
TEST(BuiltInTexts, CoverEveryKeyAddedToTheOriginalSetWithTheShippedText) {
    Keys builtIn;
    for (const BuiltInText& entry : BuiltInTexts()) {
        builtIn.emplace(entry.section, entry.key);
    }
    const Keys original = KeysOfTable("The original set of keys");
    Keys added = KeysOfTable("Keys added to the original set");
    const std::string path = CLanguageManager().Path();
    const std::optional<IniFile> shipped = IniFile::Load(path);
    ASSERT_TRUE(shipped.has_value()) << path;
    for (const std::string& section : shipped->Sections()) {
        for (const std::string& key : shipped->Keys(section)) {
            if (!original.count({section, std::stoi(key)})) {
                added.emplace(section, std::stoi(key));
            }
        }
    }
    for (const auto& [section, key] : added) {
        EXPECT_TRUE(builtIn.count({section, key})) << section << " " << key << " has no built-in text";
    }
    const std::string content = *ReadTextFile(path);
    for (const BuiltInText& entry : BuiltInTexts()) {
        EXPECT_FALSE(original.count({std::string(entry.section), entry.key})) << entry.key;
        EXPECT_TRUE(FindIniValue(content, entry.section, std::to_string(entry.key))) << entry.key;
        EXPECT_EQ(CLanguageManager::TextIn(content, entry.key, entry.section), entry.text);
    }
}

TEST(BuiltInTexts, AFileWithoutTheAddedKeysGivesThem) {
    test::TempFolder folder;
    std::ofstream(folder.File("alt.rtx"), std::ios::binary)
        << "[DATA]\n1020=unbekannt\n[Errors]\n6001=Datei %\n";
    const CLanguageManager old(folder.File("alt.rtx"));
    const CLanguageManager none(folder.File("fehlt.rtx"));
    for (const BuiltInText& entry : BuiltInTexts()) {
        EXPECT_EQ(old.GetText(entry.key, entry.section), entry.text) << entry.key;
        EXPECT_EQ(none.GetText(entry.key, entry.section), entry.text) << entry.key;
    }
    // Sections in any case, as in the file; keys of the original set have none.
    EXPECT_EQ(old.GetText(1023, "data"), old.GetText(1023, "DATA"));
    EXPECT_EQ(old.GetText(6001, "Errors"), "Datei %");
    EXPECT_EQ(old.GetText(6002, "Errors"), CLanguageManager::kMissingText);
    EXPECT_EQ(old.GetText(1023, "Errors"), CLanguageManager::kMissingText);
}

}  // namespace
}  // namespace zobl
