#include "core/text/CodePages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zobl {
namespace {

std::string AllBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

// "ÄÖÜäöüß" in each encoding.
const std::string kUmlautsUtf8 = "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F";
const std::string kUmlauts1252 = "\xC4\xD6\xDC\xE4\xF6\xFC\xDF";
const std::string kUmlauts850 = "\x8E\x99\x9A\x84\x94\x81\xE1";

TEST(CodePagesTest, GermanLettersConvertBothWaysInBothPages) {
    EXPECT_EQ(Cp1252ToUtf8(kUmlauts1252), kUmlautsUtf8);
    EXPECT_EQ(Utf8ToCp1252(kUmlautsUtf8), kUmlauts1252);
    EXPECT_EQ(Cp850ToUtf8(kUmlauts850), kUmlautsUtf8);
    EXPECT_EQ(Utf8ToCp850(kUmlautsUtf8), kUmlauts850);
    EXPECT_EQ(Cp1252ToCp850(kUmlauts1252), kUmlauts850);
    EXPECT_EQ(Cp850ToCp1252(kUmlauts850), kUmlauts1252);
    EXPECT_EQ(Cp1252ToUtf8("Wei\xDF"), "Wei\xC3\x9F");
}

TEST(CodePagesTest, EveryByteSurvivesTheWayThroughUtf8) {
    const std::string bytes = AllBytes();
    const std::string from1252 = Cp1252ToUtf8(bytes);
    const std::string from850 = Cp850ToUtf8(bytes);
    EXPECT_TRUE(IsValidUtf8(from1252));
    EXPECT_TRUE(IsValidUtf8(from850));
    EXPECT_EQ(Utf8Length(from1252), 256u);
    EXPECT_EQ(Utf8Length(from850), 256u);
    EXPECT_EQ(Utf8ToCp1252(from1252), bytes);
    EXPECT_EQ(Utf8ToCp850(from850), bytes);
    // ASCII, NUL included, passes unchanged.
    EXPECT_EQ(from1252.substr(0, 128), bytes.substr(0, 128));
    EXPECT_EQ(from850.substr(0, 128), bytes.substr(0, 128));
}

TEST(CodePagesTest, CharactersThatMarkThePages) {
    // Windows-1252: the euro sign, typographic quotes and the unassigned bytes as C1 controls.
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Cp1252ToUtf8("\x84\x93"), "\xE2\x80\x9E\xE2\x80\x9C");
    for (const char byte : std::string("\x81\x8D\x8F\x90\x9D")) {
        EXPECT_EQ(Cp1252ToUtf8(std::string(1, byte)), std::string("\xC2") + byte);
    }
    EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\xC5\xB8");  // Ÿ
    // Code page 850.
    EXPECT_EQ(Cp850ToUtf8("\x9F\xD5\xF0\xFF"), "\xC6\x92\xC4\xB1\xC2\xAD\xC2\xA0");  // ƒ ı SHY NBSP
    EXPECT_EQ(Cp850ToUtf8("\xB0\xC4"), "\xE2\x96\x91\xE2\x94\x80");                  // ░ ─
    // Code page 850 holds all of Latin-1's printable upper half, so each of those characters
    // finds a byte of its own.
    std::set<char> seen;
    for (int b = 0xA0; b <= 0xFF; ++b) {
        const std::string in850 = Cp1252ToCp850(std::string(1, static_cast<char>(b)));
        EXPECT_NE(in850, "?") << b;
        seen.insert(in850[0]);
    }
    EXPECT_EQ(seen.size(), 96u);
}

TEST(CodePagesTest, MissingCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp850("\xE2\x82\xAC"), "?");              // € is not in 850
    EXPECT_EQ(Utf8ToCp1252("\xC4\xB1"), "?");                 // ı is not in 1252
    EXPECT_EQ(Utf8ToCp1252("a\xE6\x97\xA5z"), "a?z");         // CJK
    EXPECT_EQ(Utf8ToCp850("\xF0\x9F\x98\x80!"), "?!");        // emoji: one character, one '?'
    EXPECT_EQ(Utf8ToCp1252("\xEF\xBF\xBD"), "?");             // U+FFFD itself
    EXPECT_EQ(Cp1252ToCp850("\x80\x81\x99"), "???");          // €, unassigned, ™
    EXPECT_EQ(Cp1252ToCp850("\x83"), "\x9F");                 // ƒ exists in both
    EXPECT_EQ(Cp850ToCp1252("\xB0\xC4\xD5\x9F"), "???\x83");  // box drawing, ı, ƒ
}

// What would become '?': each missing character once, in the order of the text.
TEST(CodePagesTest, CharactersAPageLacks) {
    const struct {
        const char* text;
        const char* missing1252;
        const char* missing850;
    } cases[] = {
        {"Zug ?", "", ""},
        {"\xC3\xA4\xE2\x82\xAC\xE2\x80\x93", "", "\xE2\x82\xAC\xE2\x80\x93"},              // ä € –
        {"\xC5\x82\xE2\x86\x92\xC5\x82", "\xC5\x82\xE2\x86\x92", "\xC5\x82\xE2\x86\x92"},  // ł → ł
        {"\xC2\x81\xE2\x94\x80", "\xE2\x94\x80", "\xC2\x81"},  // unassigned 0x81 of 1252, ─ of 850
        {"a\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"\xC3(", "\xEF\xBF\xBD", "\xEF\xBF\xBD"},  // a malformed byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MissingFromCp1252(c.text), c.missing1252) << c.text;
        EXPECT_EQ(MissingFromCp850(c.text), c.missing850) << c.text;
    }
    // Exactly the characters that come back as '?'.
    for (int b = 0; b < 256; ++b) {
        const std::string character = Cp850ToUtf8(std::string(1, static_cast<char>(b)));
        EXPECT_EQ(MissingFromCp1252(character).empty(), Utf8ToCp1252(character) != "?" || b == '?') << b;
    }
}

TEST(CodePagesTest, MalformedUtf8BecomesOneQuestionMarkPerByte) {
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");              // cut off at the end
    EXPECT_EQ(Utf8ToCp1252("\xC3(b"), "?(b");            // lead byte without continuation
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82"), "??");           // two bytes of three
    EXPECT_EQ(Utf8ToCp1252("\x80\xBF"), "??");           // stray continuation bytes
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");           // overlong '/'
    EXPECT_EQ(Utf8ToCp1252("\xE0\x80\xAF"), "???");      // overlong, three bytes
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");      // surrogate
    EXPECT_EQ(Utf8ToCp850("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
    EXPECT_EQ(Utf8ToCp850("\xF5\xFF\xFE"), "???");       // never valid
    EXPECT_EQ(Utf8ToCp850("\xC3\xC3\xA4"), "?\x84");     // the second lead byte starts over
}

// The first and last code point of every encoded length, and the first ones refused after
// them: decoded whole, or refused one byte at a time.
TEST(CodePagesTest, DecodesUpToTheLastCodePointOfEachLength) {
    const struct {
        const char* bytes;
        char32_t codePoint;  // kReplacementCharacter: refused
        std::size_t length;
    } cases[] = {
        {"\x7F", 0x7F, 1},
        {"\xC2\x80", 0x80, 2},
        {"\xDF\xBF", 0x7FF, 2},
        {"\xE0\xA0\x80", 0x800, 3},
        {"\xED\x9F\xBF", 0xD7FF, 3},
        {"\xED\xA0\x80", kReplacementCharacter, 1},  // U+D800
        {"\xED\xBF\xBF", kReplacementCharacter, 1},  // U+DFFF
        {"\xEE\x80\x80", 0xE000, 3},
        {"\xEF\xBF\xBF", 0xFFFF, 3},
        {"\xF0\x90\x80\x80", 0x10000, 4},
        {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
        {"\xF4\x90\x80\x80", kReplacementCharacter, 1},  // U+110000
    };
    for (const auto& c : cases) {
        const std::string text = std::string(c.bytes) + "z";
        std::size_t pos = 0;
        EXPECT_EQ(DecodeUtf8(text, pos), c.codePoint) << std::hex << std::uint32_t(c.codePoint);
        EXPECT_EQ(pos, c.length) << std::hex << std::uint32_t(c.codePoint);
        EXPECT_EQ(IsValidUtf8(c.bytes), c.codePoint != kReplacementCharacter)
            << std::hex << std::uint32_t(c.codePoint);
    }
    std::string encoded;
    AppendUtf8(encoded, 0x10FFFF);
    EXPECT_EQ(encoded, "\xF4\x8F\xBF\xBF");
}

TEST(CodePagesTest, LengthPrefixAndValidity) {
    const std::string text = "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a ä € 😀 z
    EXPECT_EQ(Utf8Length(text), 5u);
    EXPECT_EQ(Utf8Prefix(text, 0), "");
    EXPECT_EQ(Utf8Prefix(text, 2), "a\xC3\xA4");
    EXPECT_EQ(Utf8Prefix(text, 4), text.substr(0, 10));
    EXPECT_EQ(Utf8Prefix(text, 99), text);
    // A malformed byte counts as one character.
    EXPECT_EQ(Utf8Length("\xE2\x82x"), 3u);
    EXPECT_EQ(Utf8Prefix("\xE2\x82x", 1), "\xE2");

    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBD"));
    EXPECT_FALSE(IsValidUtf8("ok\xC3"));
    EXPECT_EQ(SanitizeUtf8(text), text);
    EXPECT_EQ(SanitizeUtf8("x\xC3y\xE2\x82"), "x\xEF\xBF\xBDy\xEF\xBF\xBD\xEF\xBF\xBD");

    std::string encoded;
    AppendUtf8(encoded, 0xD800);  // a lone surrogate cannot be encoded
    EXPECT_EQ(encoded, "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace zobl
