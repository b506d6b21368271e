#include "core/lang/BuiltInTexts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <utility>

#include "core/common/TestTempFolder.h"
#include "core/lang/LanguageManager.h"
#include "core/text/IniFile.h"

namespace zobl {
namespace {

using Key = std::pair<std::string, int>;

// The rows of the table "Keys added to the original set" in docs/language-keys.md: section, then
// keys as "1023, 1024" or "3932-3939".
std::set<Key> KeysListedAsAdded() {
    std::ifstream doc(ZOBL_LANGUAGE_KEYS_DOC);
    EXPECT_TRUE(doc.good()) << ZOBL_LANGUAGE_KEYS_DOC;
    std::set<Key> keys;
    bool inTable = false;
    static const std::regex kRow(R"(^\| *(\w+) *\| *([0-9, -]+) *\|)");
    static const std::regex kKeys(R"((\d+)(?:-(\d+))?)");
    for (std::string line; std::getline(doc, line);) {
        if (line.starts_with("## ")) {
            inTable = line == "## Keys added to the original set";
            continue;
        }
        std::smatch row;
        if (!inTable || !std::regex_search(line, row, kRow)) {
            continue;
        }
        const std::string section = row[1];
        const std::string list = row[2];
        for (std::sregex_iterator it(list.begin(), list.end(), kKeys), end; it != end; ++it) {
            const int first = std::stoi((*it)[1]);
            const int last = (*it)[2].matched ? std::stoi((*it)[2]) : first;
            for (int key = first; key <= last; ++key) {
                keys.emplace(section, key);
            }
        }
    }
    return keys;
}

TEST(BuiltInTexts, EveryKeyListedAsAddedHasOneAndTheShippedFileSaysTheSame) {
    const std::set<Key> listed = KeysListedAsAdded();
    EXPECT_GT(listed.size(), 15u);
    std::set<Key> builtIn;
    for (const BuiltInText& entry : BuiltInTexts()) {
        builtIn.emplace(std::string(entry.section), entry.key);
    }
    for (const Key& key : listed) {
        EXPECT_TRUE(builtIn.count(key)) << key.first << " " << key.second << " has no built-in text";
    }
    for (const Key& key : builtIn) {
        EXPECT_TRUE(listed.count(key)) << key.first << " " << key.second << " is not listed as added";
    }

    const CLanguageManager shipped;
    const std::optional<std::string> content = ReadTextFile(shipped.Path());
    ASSERT_TRUE(content.has_value()) << shipped.Path();
    for (const BuiltInText& entry : BuiltInTexts()) {
        SCOPED_TRACE(std::string(entry.section) + " " + std::to_string(entry.key));
        EXPECT_TRUE(FindIniValue(*content, entry.section, std::to_string(entry.key)).has_value());
        EXPECT_EQ(CLanguageManager::TextIn(*content, entry.key, entry.section), entry.text);
    }
}

TEST(BuiltInTexts, AFileWithoutTheAddedKeysGivesTheBuiltInTexts) {
    test::TempFolder folder;
    const std::string path = folder.File("alt.rtx");
    std::ofstream(path, std::ios::binary) << "[DATA]\n1020=unbekannt\n[Errors]\n6001=Datei % fehlt\n";
    const CLanguageManager old(path);
    const CLanguageManager none(folder.File("fehlt.rtx"));
    for (const BuiltInText& entry : BuiltInTexts()) {
        EXPECT_EQ(old.GetText(entry.key, entry.section), entry.text) << entry.key;
        EXPECT_EQ(none.GetText(entry.key, entry.section), entry.text) << entry.key;
    }
    // Section names are matched without regard to case, as in the file.
    EXPECT_EQ(old.GetText(1023, "data"), old.GetText(1023, "DATA"));
    // Keys of the original set have none: the file's text, or the marker.
    EXPECT_EQ(old.GetText(6001, "Errors"), "Datei % fehlt");
    EXPECT_EQ(old.GetText(6002, "Errors"), CLanguageManager::kMissingText);
    EXPECT_EQ(old.GetText(1023, "Errors"), CLanguageManager::kMissingText);
}

}  // namespace
}  // namespace zobl
