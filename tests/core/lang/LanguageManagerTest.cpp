#include "core/lang/LanguageManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/common/TestTempFolder.h"
#include "core/text/CodePages.h"

namespace zobl {
namespace {

constexpr const char* kMissing = CLanguageManager::kMissingText;

class LanguageManagerTest : public ::testing::Test {
protected:
    // Writes the bytes as they stand: the tests build their files themselves.
    void Write(const std::string& content) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out << content;
    }

    test::TempFolder folder_;
    std::string path_ = folder_.File("lang.rtx");
};

TEST_F(LanguageManagerTest, MissingFileSectionOrKeyYieldsTheMarker) {
    const CLanguageManager manager(path_);
    EXPECT_EQ(manager.Path(), path_);
    EXPECT_EQ(manager.GetText(1001, "DATA"), kMissing);
    EXPECT_EQ(manager.GetText(5000, "COLORS"), kMissing);

    Write("[DATA]\n1001=Neue Grafik\n01101=leading zero\n");
    EXPECT_EQ(manager.GetText(1001, "DATA"), "Neue Grafik");
    EXPECT_EQ(manager.GetText(1002, "DATA"), kMissing);
    EXPECT_EQ(manager.GetText(1001, "MENU"), kMissing);
    EXPECT_EQ(manager.GetText(1101, "DATA"), kMissing);  // "01101" is not key 1101

    // Every lookup reads the file anew.
    Write("[DATA]\n1001=Andere Grafik\n");
    EXPECT_EQ(manager.GetText(1001, "DATA"), "Andere Grafik");
    std::filesystem::remove(path_);
    EXPECT_EQ(manager.GetText(1001, "DATA"), kMissing);
}

TEST_F(LanguageManagerTest, EmptyMarkerAndEscapes) {
    Write(
        "[T]\n"
        "1=#empty\n"
        "2=#EMPTY\n"
        "3=#Empty\n"
        "4=# empty\n"
        "5=\n"
        "6=Zeile\\nzwei\\NDrei\n"
        "7=a\\Tb\\tc\n"
        "8=C:\\\\Pfad\n"
        "9=100\\%\n"
        "10=Ende\\\n"
        "11=\\x\\y\\\\\\n\n"
        "12=\"#empty\"\n"
        "13=#empty\\n\n");
    const CLanguageManager manager(path_);
    EXPECT_EQ(manager.GetText(1, "T"), "");
    EXPECT_EQ(manager.GetText(2, "T"), "");
    EXPECT_EQ(manager.GetText(3, "T"), "");
    EXPECT_EQ(manager.GetText(4, "T"), "# empty");
    EXPECT_EQ(manager.GetText(5, "T"), "");
    EXPECT_EQ(manager.GetText(6, "T"), "Zeile\r\nzwei\r\nDrei");
    EXPECT_EQ(manager.GetText(7, "T"), "a\tb\tc");
    EXPECT_EQ(manager.GetText(8, "T"), "C:\\Pfad");
    EXPECT_EQ(manager.GetText(9, "T"), "100");
    EXPECT_EQ(manager.GetText(10, "T"), "Ende");
    EXPECT_EQ(manager.GetText(11, "T"), "\\\r\n");
    EXPECT_EQ(manager.GetText(12, "T"), "");  // quotes go before the test
    EXPECT_EQ(manager.GetText(13, "T"), "#empty\r\n");
}

TEST_F(LanguageManagerTest, FileSyntax) {
    Write(
        "; header\r\n"
        "[Errors]\r\n"
        "6000 = \t Fehler %d \t\r\n"
        "6001=\"  mit Leerzeichen  \"\r\n"
        "6002='einfach'\r\n"
        "[errors]\r\n"
        "6000=zweiter Abschnitt\r\n"
        "6003=aus dem zweiten\r\n");
    const CLanguageManager manager(path_);
    EXPECT_EQ(manager.GetText(6000, "Errors"), "Fehler %d");
    EXPECT_EQ(manager.GetText(6000, "ERRORS"), "Fehler %d");
    EXPECT_EQ(manager.GetText(6001, "errors"), "  mit Leerzeichen  ");
    EXPECT_EQ(manager.GetText(6002, "Errors"), "einfach");
    EXPECT_EQ(manager.GetText(6003, "Errors"), "aus dem zweiten");
    EXPECT_EQ(manager.GetText(-6000, "Errors"), kMissing);
}

TEST_F(LanguageManagerTest, Windows1252FileComesBackAsUtf8) {
    // "Weiß", "Überschreiben?", "€" and an unassigned byte, in Windows-1252.
    Write(
        "[COLORS]\n5015=Wei\xDF\n[Errors]\n6303=\xDC"
        "berschreiben?\n6304=\x80 \x81\n");
    const CLanguageManager manager(path_);
    EXPECT_EQ(manager.GetText(5015, "COLORS"), "Wei\xC3\x9F");
    EXPECT_EQ(manager.GetText(6303, "Errors"),
              "\xC3\x9C"
              "berschreiben?");
    EXPECT_EQ(manager.GetText(6304, "Errors"), "\xE2\x82\xAC \xC2\x81");
    // A backslash before a non-ASCII byte drops that one byte, which is one character here.
    Write("[T]\n1=a\\\xE4z\n");
    EXPECT_EQ(manager.GetText(1, "T"), "az");
}

TEST_F(LanguageManagerTest, Utf8FileWithByteOrderMark) {
    Write("\xEF\xBB\xBF[COLORS]\n5015=Wei\xC3\x9F\n5016=\xE2\x82\xAC\\\xC3\xA4!\n5017=kaputt\xC3\n");
    const CLanguageManager manager(path_);
    EXPECT_EQ(manager.GetText(5015, "COLORS"), "Wei\xC3\x9F");
    // The escape drops the whole character behind the backslash, not just its first byte.
    EXPECT_EQ(manager.GetText(5016, "COLORS"), "\xE2\x82\xAC!");
    // Malformed bytes cannot pass into the program's UTF-8.
    EXPECT_EQ(manager.GetText(5017, "COLORS"), "kaputt\xEF\xBF\xBD");

    // The mark is not part of the first line.
    Write("\xEF\xBB\xBF[COLORS]\n5015=x\n");
    EXPECT_EQ(manager.GetText(5015, "COLORS"), "x");
    // Without the whole mark the file is Windows-1252, and its first line is no section header.
    Write("\xEF\xBB[COLORS]\n5015=x\n[DATA]\n1=Wei\xC3\x9F\n");
    EXPECT_EQ(manager.GetText(5015, "COLORS"), kMissing);
    EXPECT_EQ(manager.GetText(1, "DATA"), "Wei\xC3\x83\xC5\xB8");
}

TEST_F(LanguageManagerTest, ValuesAreCutAfter10239Characters) {
    const std::size_t limit = CLanguageManager::kMaxValueLength;
    ASSERT_EQ(limit, 10239u);
    // Windows-1252: the limit counts bytes of the file, each of which becomes one character.
    Write("[T]\n1=" + std::string(limit - 1, 'a') + "\xE4\xF6\xFC\n2=" + std::string(limit, 'b') + "\n");
    const CLanguageManager manager(path_);
    const std::string first = manager.GetText(1, "T");
    EXPECT_EQ(Utf8Length(first), limit);
    EXPECT_EQ(first.substr(first.size() - 3), "a\xC3\xA4");
    EXPECT_EQ(manager.GetText(2, "T"), std::string(limit, 'b'));

    // UTF-8: the limit counts characters and never splits one.
    std::string value;
    for (std::size_t i = 0; i < limit + 5; ++i) {
        value += "\xE2\x82\xAC";
    }
    Write("\xEF\xBB\xBF[T]\n1=" + value + "\n");
    const std::string euros = manager.GetText(1, "T");
    EXPECT_EQ(euros.size(), 3 * limit);
    EXPECT_TRUE(IsValidUtf8(euros));

    // Escapes apply after the cut: an escape cut in half leaves a trailing backslash, which goes.
    Write("[T]\n1=" + std::string(limit - 1, 'c') + "\\n\n");
    EXPECT_EQ(manager.GetText(1, "T"), std::string(limit - 1, 'c'));
}

TEST(LanguageManagerPathTest, BareNameIsTakenFromTheProgramFolder) {
    const CLanguageManager manager;
    const std::string& path = manager.Path();
    const std::string suffix = "/zobl_ge.rtx";
    ASSERT_GE(path.size(), suffix.size());
    EXPECT_EQ(path.substr(path.size() - suffix.size()), suffix);
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    EXPECT_EQ(manager.GetText(1001, "DATA"), "Neue Grafik");
    EXPECT_EQ(manager.GetText(5015, "COLORS"), "Wei\xC3\x9F");

    // A name with a folder part is taken as given.
    const CLanguageManager relative("lang/other.rtx");
    EXPECT_EQ(relative.Path(), "lang/other.rtx");
}

}  // namespace
}  // namespace zobl
