#include "core/text/IniFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include "core/common/TestTempFolder.h"

namespace zobl {
namespace {

using namespace std::string_literals;

TEST(IniFileTest, SectionsKeysAndBlanks) {
    const IniFile ini = IniFile::Parse(
        "; a comment=with equals\n"
        "[Data]\n"
        "name=plain\n"
        "  Spaced \t=\t  two words  \t\n"
        "empty=\n"
        "equals=a=b=c\n"
        "this line has no equals sign\n"
        "[ Other ]\n"
        "name=other\n");
    EXPECT_EQ(ini.Value("Data", "name"), "plain");
    EXPECT_EQ(ini.Value("DATA", "NAME"), "plain");
    EXPECT_EQ(ini.Value("data", "spaced"), "two words");
    EXPECT_EQ(ini.Value("Data", "empty"), "");
    EXPECT_EQ(ini.Value("Data", "equals"), "a=b=c");
    EXPECT_EQ(ini.Value("other", "name"), "other");
    EXPECT_EQ(ini.Value("Data", "; a comment"), std::nullopt);
    EXPECT_EQ(ini.Value("Data", "missing"), std::nullopt);
    EXPECT_EQ(ini.Value("Missing", "name"), std::nullopt);
    EXPECT_TRUE(ini.HasSection("OTHER"));
    EXPECT_FALSE(ini.HasSection("Third"));
}

TEST(IniFileTest, MatchingQuotesAreRemoved) {
    const IniFile ini = IniFile::Parse(
        "[q]\n"
        "double=\"quoted\"\n"
        "single='quoted'\n"
        "inner=  \" keeps its blanks \"  \n"
        "mixed=\"not matching'\n"
        "lone=\"\n"
        "pair=\"\"\n"
        "middle=a \"b\" c\n");
    EXPECT_EQ(ini.Value("q", "double"), "quoted");
    EXPECT_EQ(ini.Value("q", "single"), "quoted");
    EXPECT_EQ(ini.Value("q", "inner"), " keeps its blanks ");
    EXPECT_EQ(ini.Value("q", "mixed"), "\"not matching'");
    EXPECT_EQ(ini.Value("q", "lone"), "\"");
    EXPECT_EQ(ini.Value("q", "pair"), "");
    EXPECT_EQ(ini.Value("q", "middle"), "a \"b\" c");
    // The cut applies to the value without its quotes.
    EXPECT_EQ(ini.Value("q", "double", 4), "quot");
    EXPECT_EQ(ini.Value("q", "double", 0), "");
}

TEST(IniFileTest, LineEndsAndOddBytes) {
    const std::string content =
        "[crlf]\r\n"
        "a=1\r\n"
        "b = two \r\n"
        "nul=x\0y\n"s
        "[last]\n"
        "end=no line feed";
    const IniFile ini = IniFile::Parse(content);
    EXPECT_EQ(ini.Value("crlf", "a"), "1");
    EXPECT_EQ(ini.Value("crlf", "b"), "two");
    EXPECT_EQ(ini.Value("crlf", "nul"), "x\0y"s);
    EXPECT_EQ(ini.Value("last", "end"), "no line feed");
    EXPECT_EQ(FindIniValue(content, "LAST", "End"), "no line feed");
    // Bytes above 0x7F are kept as they are and do not take part in case folding.
    const IniFile latin = IniFile::Parse("[\xC4]\n\xE4=\xFC\n");
    EXPECT_EQ(latin.Value("\xC4", "\xE4"), "\xFC");
    EXPECT_EQ(latin.Value("\xE4", "\xE4"), std::nullopt);
}

TEST(IniFileTest, FirstEntryWinsAcrossRepeatedSections) {
    const std::string content =
        "orphan=before any section\n"
        "[A]\n"
        "k=first\n"
        "K=second\n"
        "[B]\n"
        "k=other\n"
        "only=b\n"
        "[a]\n"
        "k=third\n"
        "late=from the second [a]\n";
    const IniFile ini = IniFile::Parse(content);
    EXPECT_EQ(ini.Value("A", "k"), "first");
    EXPECT_EQ(ini.Value("A", "late"), "from the second [a]");
    EXPECT_EQ(ini.Value("A", "only"), std::nullopt);
    EXPECT_EQ(ini.Value("", "orphan"), std::nullopt);
    EXPECT_EQ(FindIniValue(content, "a", "K"), "first");
    EXPECT_EQ(FindIniValue(content, "a", "late"), "from the second [a]");
    EXPECT_EQ(FindIniValue(content, "", "orphan"), std::nullopt);

    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ini.Keys("a"), (std::vector<std::string>{"k", "late"}));
    EXPECT_EQ(ini.Keys("b"), (std::vector<std::string>{"k", "only"}));
    EXPECT_TRUE(ini.Keys("none").empty());
}

TEST(IniFileTest, SectionHeaders) {
    const IniFile ini = IniFile::Parse(
        "  [ Indented ] trailing words\n"
        "x=1\n"
        "[broken\n"  // no closing bracket: ignored, the section before goes on
        "y=2\n"
        "[]\n"
        "z=3\n");
    EXPECT_EQ(ini.Value("indented", "x"), "1");
    EXPECT_EQ(ini.Value("indented", "y"), "2");
    EXPECT_EQ(ini.Value("", "z"), "3");
    EXPECT_FALSE(ini.HasSection("broken"));
}

// The one-pass lookup passes over lines outside the wanted section without classifying them:
// whatever may start a section there must still be seen, and nothing else.
TEST(IniFileTest, OnePassLookupSeesEverySectionStart) {
    struct Case {
        const char* content;
        const char* section;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"[a]\nk=1\n \t[b]\nk=2\n", "b", "2"},  // blanks before the bracket
        {"[a]\nk=1\n \t[b]\nk=2\n", "a", "1"},
        {"[a]\r\n[b]\r\nk=2\r\n", "a", std::nullopt},  // CR LF lines
        {"[a]\r\n[b]\r\nk=2\r\n", "b", "2"},
        {"[a]\n\r[b]\nk=2\n", "b", std::nullopt},  // a CR first is no blank
        {"[a]\n\r[b]\nk=2\n", "a", "2"},
        {"k=0\n[b\nk=1\n[b]\nk=2\n", "b", "2"},          // no closing bracket: no section
        {"k=0\n[b\nk=1\n[b]\nk=2\n", "", std::nullopt},  // before any section: in none
        {"[a]\nx=[b]\n[b]=3\nk=4\n", "b", "4"},          // '[' after '=' or '=' after ']'
        {"[a]\nk=1\n;[b]\nk=2\n", "b", std::nullopt},    // a comment
        {"[a]\n \n\t\n\n[b]\nk=2", "b", "2"},            // blank lines, no final line feed
        {"[a]\nk=1\n  [  B  ]  \n  k  =  5  \n", "b", "5"},
        {"x[b]\n[b]\nk=6\n", "b", "6"},           // a '[' inside a line, then a section
        {"k=[x] [b]\n \t[b]\nk=7", "b", "7"},     // two of them, then blanks before one
        {"k=[x] [b]\nk=8\n", "b", std::nullopt},  // no section line at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "content \"" << c.content << "\" section " << c.section);
        EXPECT_EQ(FindIniValue(c.content, c.section, "k"), c.value);
        EXPECT_EQ(IniFile::Parse(c.content).Value(c.section, "k"), c.value);
    }
}

// Inside the section, too, the lookup classifies only lines that start with the key.
TEST(IniFileTest, OnePassLookupMatchesWholeKeyNames) {
    struct Case {
        const char* content;
        const char* key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"[s]\nkk=1\nk=2\n", "k", "2"},  // a longer name starting with the key
        {"[s]\nk=1\n", "kk", std::nullopt},
        {"[s]\n\t K \t= 3\n", "k", "3"},  // blanks around the name, other case
        {"[s]\nk x=4\nk=5\n", "k", "5"},
        {"[s]\nk x=4\n", "k x", "4"},
        {"[s]\n;k=1\nk=6\n", "k", "6"},  // a comment
        {"[s]\n;k=1\n", ";k", std::nullopt},
        {"[s]\nk\nk=7\n", "k", "7"},  // no '='
        {"[s]\n=8\n", "", "8"},       // an empty name
        {"[s]\n \t=9\r\n", " ", "9"},
        {"[s]\nk\r=10\n", "k\r", "10"},  // a CR inside the name is part of it
        {"[s]\nk=\"11\"\r\n", "K", "11"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "content \"" << c.content << "\" key \"" << c.key << '"');
        EXPECT_EQ(FindIniValue(c.content, "s", c.key), c.value);
        EXPECT_EQ(IniFile::Parse(c.content).Value("s", c.key), c.value);
    }
}

TEST(IniFileTest, HugeLinesParseInLinearTime) {
    // Many blanks and many '[' and '=' on few lines: a quadratic scan would take minutes here.
    std::string content = "[s]\nk=" + std::string(4'000'000, ' ') + "v\n";
    content += std::string(4'000'000, '[') + "\n" + std::string(4'000'000, '=') + "\n";
    const auto start = std::chrono::steady_clock::now();
    const IniFile ini = IniFile::Parse(content);
    EXPECT_EQ(ini.Value("s", "k"), "v");
    EXPECT_EQ(FindIniValue(content, "s", "k"), "v");
    EXPECT_EQ(FindIniValue(content, "s", "missing"), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

class ProfileFileTest : public ::testing::Test {
protected:
    // Writes the bytes as they stand: the tests build their files themselves.
    void Write(const std::string& content) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out << content;
    }

    test::TempFolder folder_;
    std::string path_ = folder_.File("test.ini");
};

TEST_F(ProfileFileTest, ReadsTheFileAnewOnEveryCall) {
    EXPECT_EQ(GetProfileString(path_, "s", "k", "default", 100), "default");
    EXPECT_EQ(IniFile::Load(path_), std::nullopt);
    Write("[S]\nK=one\n");
    EXPECT_EQ(GetProfileString(path_, "s", "k", "default", 100), "one");
    EXPECT_EQ(GetProfileString(path_, "s", "other", "default", 3), "def");
    EXPECT_EQ(GetProfileString(path_, "t", "k", "", 100), "");
    Write("[S]\nK=two\n");
    EXPECT_EQ(GetProfileString(path_, "s", "k", "default", 2), "tw");
    ASSERT_TRUE(IniFile::Load(path_).has_value());
    EXPECT_EQ(IniFile::Load(path_)->Value("S", "k"), "two");
    // A folder is not a file.
    EXPECT_EQ(GetProfileString(folder_.Path().string(), "s", "k", "default", 100), "default");
    EXPECT_EQ(ReadTextFile(folder_.Path().string()), std::nullopt);
}

}  // namespace
}  // namespace zobl
