// The shipped language files side by side: a translation that loses a key shows "__RTX__" in
// its place, and one that loses or adds a placeholder prints the wrong argument or none.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <string>
#include <vector>

#include "core/lang/LanguageChoice.h"
#include "core/lang/LanguageManager.h"
#include "core/text/IniFile.h"

namespace zobl {
namespace {

// What a text must keep in any language: its placeholders ("%1" numbered, in any order; printf
// forms "%d", "%02d", "%s" in order; a bare "%" for a message's argument), its escapes, the
// "#empty" mark and the quotes that keep outer blanks.
struct TextShape {
    std::vector<std::string> numbered;
    std::vector<std::string> ordered;
    int tabs = 0;
    int lineBreaks = 0;
    bool empty = false;
    bool quoted = false;

    bool operator==(const TextShape&) const = default;
};

TextShape ShapeOf(const std::string& value) {
    static const std::regex placeholder(R"(%(0?\d*[ds]|s|\d+)?)");
    TextShape shape;
    for (std::sregex_iterator it(value.begin(), value.end(), placeholder), end; it != end; ++it) {
        const std::string form = it->str();
        const bool isNumbered = form.size() > 1 && std::isdigit(static_cast<unsigned char>(form.back()));
        (isNumbered ? shape.numbered : shape.ordered).push_back(form);
    }
    std::sort(shape.numbered.begin(), shape.numbered.end());
    for (std::size_t at = value.find('\\'); at != std::string::npos; at = value.find('\\', at + 2)) {
        shape.tabs += value.compare(at, 2, "\\t") == 0;
        shape.lineBreaks += value.compare(at, 2, "\\n") == 0;
    }
    shape.empty = value == "#empty";
    shape.quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    return shape;
}

std::string Describe(const TextShape& shape) {
    std::string text;
    for (const std::string& form : shape.numbered)
        text += form + " ";
    for (const std::string& form : shape.ordered)
        text += form + " ";
    return text + "tabs " + std::to_string(shape.tabs) + ", line breaks " + std::to_string(shape.lineBreaks) +
           (shape.empty ? ", #empty" : "") + (shape.quoted ? ", quoted" : "");
}

// An access key is a single "&" before a character; "&&" is a literal ampersand.
bool HasAccessKey(const std::string& text) {
    return std::regex_search(text, std::regex(R"((^|[^&])&[^&])"));
}

TEST(LanguageFiles, TheShapeOfATextNamesItsPlaceholdersEscapesAndMarks) {
    EXPECT_EQ(ShapeOf("Die Datei % fehlt.").ordered, std::vector<std::string>{"%"});
    EXPECT_EQ(ShapeOf("The file % cannot be created.").ordered, std::vector<std::string>{"%"});
    EXPECT_EQ(ShapeOf("%02d:%02d %s (%d)").ordered, (std::vector<std::string>{"%02d", "%02d", "%s", "%d"}));
    EXPECT_EQ(ShapeOf("%2 vor %1").numbered, (std::vector<std::string>{"%1", "%2"}));
    EXPECT_EQ(ShapeOf("%2 vor %1"), ShapeOf("%1 before %2"));
    EXPECT_NE(ShapeOf("%1 und %2"), ShapeOf("%1 and %1"));
    EXPECT_NE(ShapeOf("%d von %s"), ShapeOf("%s of %d"));
    EXPECT_EQ(ShapeOf("a\\tb\\nc\\\\t").tabs, 1);
    EXPECT_EQ(ShapeOf("a\\tb\\nc\\\\t").lineBreaks, 1);
    EXPECT_TRUE(ShapeOf("\" x \"").quoted);
    EXPECT_TRUE(HasAccessKey("&Datei"));
    EXPECT_TRUE(HasAccessKey("Save &As..."));
    EXPECT_FALSE(HasAccessKey("Drag && Drop"));
}

TEST(LanguageFiles, TheEnglishFileHasEveryGermanKeyWithTheSamePlaceholdersInTheSameOrder) {
    const std::string germanPath = CLanguageManager().Path();
    const std::string englishPath = CLanguageManager(kEnglishLanguageFileName).Path();
    const std::optional<IniFile> german = IniFile::Load(germanPath);
    const std::optional<IniFile> english = IniFile::Load(englishPath);
    ASSERT_TRUE(german.has_value()) << germanPath;
    ASSERT_TRUE(english.has_value()) << englishPath;

    ASSERT_EQ(english->Sections(), german->Sections());
    for (const std::string& section : german->Sections()) {
        const std::vector<std::string> keys = german->Keys(section);
        EXPECT_EQ(english->Keys(section), keys) << "[" << section << "]";
        for (const std::string& key : keys) {
            const std::string de = german->Value(section, key).value_or("");
            const std::string en = english->Value(section, key).value_or("");
            const TextShape deShape = ShapeOf(de);
            const TextShape enShape = ShapeOf(en);
            EXPECT_EQ(enShape, deShape) << "[" << section << "] " << key << ": English has "
                                        << Describe(enShape) << ", German " << Describe(deShape);
            EXPECT_EQ(en.empty(), de.empty()) << "[" << section << "] " << key;
            // A menu item the keyboard reaches in German must stay reachable in English.
            if (section == "MENU" && HasAccessKey(de)) {
                EXPECT_TRUE(HasAccessKey(en)) << "[MENU] " << key << ": " << en;
            }
            // The file is Windows-1252: the five bytes that code page leaves undefined cannot occur.
            EXPECT_EQ(en.find_first_of("\x81\x8d\x8f\x90\x9d"), std::string::npos)
                << "[" << section << "] " << key;
        }
    }
}

}  // namespace
}  // namespace zobl
