#include "core/simimport/SimLocator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "core/common/TestTempFolder.h"
#include "core/simimport/SimTestFiles.h"
#include "core/simimport/SimVehicleReader.h"

namespace zobl::simimport {
namespace {

namespace fs = std::filesystem;

// A fake Wine prefix with drive C in a folder of its own, and a current folder apart from both.
class SimLocatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        prefix_ = root_.Path() / "prefix";
        driveC_ = root_.Path() / "drive_c";
        work_ = root_.Path() / "work";
        fs::create_directories(prefix_ / "dosdevices");
        fs::create_directories(prefix_ / "drive_c" / "windows");
        fs::create_directories(driveC_);
        fs::create_directories(work_);
        fs::create_directory_symlink(driveC_, prefix_ / "dosdevices" / "c:");
        ::setenv("WINEPREFIX", prefix_.c_str(), 1);
        oldCurrent_ = fs::current_path();
        fs::current_path(work_);
    }
    void TearDown() override { fs::current_path(oldCurrent_); }

    // The simulator's data files, in the letter case the other platform may have left them.
    static void PutSimulator(const fs::path& folder) {
        fs::create_directories(folder);
        test::WriteFile((folder / "trak.zgg").string(), test::BuildZgg({}));
        test::WriteFile((folder / "Trak.Fzg").string(), test::BuildFzg({}));
    }
    void WriteWinIni(std::string_view text) {
        test::WriteFile((prefix_ / "drive_c/windows/win.ini").string(), text);
    }
    void WriteUserReg(std::string_view text) { test::WriteFile((prefix_ / "user.reg").string(), text); }

    test::SavedVariable savedPrefix_{"WINEPREFIX"};
    test::SavedVariable savedHome_{"HOME"};
    test::TempFolder root_;
    fs::path prefix_;
    fs::path driveC_;
    fs::path work_;
    fs::path oldCurrent_;
};

constexpr std::string_view kUserReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "[Software\\\\Velmorax_ChKMSt\\\\Sub] 1700000001\n"
    "\"T381_PFAD\"=\"D:\\\\wrong\\\\\"\n"
    "\n"
    "[Software\\\\velmorax_chkmst] 1700000000\n"
    "#time=1d9f0c3a2b4c5d6\n"
    "\"Number\"=dword:00000001\n"
    "\"Expand\"=str(2):\"C:\\\\x\"\n"
    "\"Blob\"=hex:01,02,\\\n"
    "  03,04\n"
    "\"Quoted\"=\"say \\\"hi\\\" \\x00e4\"\n"
    "\"t381_pfad\"=\"C:\\\\Programme\\\\TRAK\\\\\"\n";

TEST_F(SimLocatorTest, RegistryFileValuesAndTypes) {
    EXPECT_EQ(FindWineRegistryString(kUserReg, kMakerRegistryKey, "T381_PFAD"), "C:\\Programme\\TRAK\\");
    EXPECT_EQ(FindWineRegistryString(kUserReg, kMakerRegistryKey, "Quoted"), "say \"hi\" \xC3\xA4");
    EXPECT_EQ(FindWineRegistryString(kUserReg, kMakerRegistryKey, "Number"), std::nullopt);
    EXPECT_EQ(FindWineRegistryString(kUserReg, kMakerRegistryKey, "Expand"), std::nullopt);
    EXPECT_EQ(FindWineRegistryString(kUserReg, kMakerRegistryKey, "Blob"), std::nullopt);
    EXPECT_EQ(FindWineRegistryString(kUserReg, kMakerRegistryKey, "Missing"), std::nullopt);
    EXPECT_EQ(FindWineRegistryString(kUserReg, "Software\\Other", "T381_PFAD"), std::nullopt);
    // Escapes at their edges: the last surrogate becomes U+FFFD, the first unit after the
    // surrogates stays; an octal escape takes three digits at most.
    const std::pair<const char*, const char*> escapes[] = {
        {"\\xdfff", "\xEF\xBF\xBD"},
        {"\\xd800", "\xEF\xBF\xBD"},
        {"\\xe000", "\xEE\x80\x80"},
        {"\\xd7ff", "\xED\x9F\xBF"},
        {"\\1234", "S4"},
        {"\\12a", "\na"},
    };
    for (const auto& [escape, decoded] : escapes) {
        EXPECT_EQ(FindWineRegistryString(
                      std::string("[Software\\\\Velmorax_ChKMSt]\n\"T381_PFAD\"=\"") + escape + "\"\n",
                      kMakerRegistryKey, "T381_PFAD"),
                  decoded)
            << escape;
    }
    EXPECT_EQ(FindWineRegistryString("[Software\\\\Velmorax_ChKMSt]\r\n\"T381_PFAD\"=\"unterminated\r\n",
                                     kMakerRegistryKey, "T381_PFAD"),
              std::nullopt);
}

TEST_F(SimLocatorTest, MakerSettingComesFromProfileThenRegistryThenDefault) {
    EXPECT_EQ(ReadMakerSetting(kInstallPathValue, "default"), "default");
    WriteUserReg(kUserReg);
    EXPECT_EQ(ReadMakerSetting(kInstallPathValue, "default"), "C:\\Programme\\TRAK\\");
    // A registry value that does not fit the buffer with its terminator is not taken.
    EXPECT_EQ(ReadMakerSetting(kInstallPathValue, "default", 18), "default");
    EXPECT_EQ(ReadMakerSetting(kInstallPathValue, "default", 19), "C:\\Programme\\TRAK\\");
    // A value of another type counts as missing.
    EXPECT_EQ(ReadMakerSetting("Number", "default"), "default");
    WriteWinIni("[Velmorax_ChKMSt]\r\nT381_PFAD=E:\\Spiele\\TRAK\\\r\n");
    EXPECT_EQ(ReadMakerSetting(kInstallPathValue, ""), "E:\\Spiele\\TRAK\\");
    EXPECT_EQ(ReadMakerSetting(kInstallPathValue, "", 5), "E:\\S");
    // An empty profile entry falls through to the registry.
    WriteWinIni("[Velmorax_ChKMSt]\r\nT381_PFAD=\r\n");
    EXPECT_EQ(ReadMakerSetting(kInstallPathValue, ""), "C:\\Programme\\TRAK\\");
    // Without WINEPREFIX the prefix is ~/.wine.
    ::unsetenv("WINEPREFIX");
    ::setenv("HOME", root_.Path().c_str(), 1);
    fs::create_directories(root_.Path() / ".wine");
    test::WriteFile((root_.Path() / ".wine/user.reg").string(),
                    std::string_view("[Software\\\\Velmorax_ChKMSt]\n\"T381_PFAD\"=\"home\"\n"));
    EXPECT_EQ(ReadMakerSetting(kInstallPathValue, ""), "home");
}

TEST_F(SimLocatorTest, WindowsPathsMapThroughTheDriveLinks) {
    EXPECT_EQ(MapWindowsPath("C:\\Programme\\TRAK\\", "/p/"), "/p/dosdevices/c:/Programme/TRAK/");
    EXPECT_EQ(MapWindowsPath("d:TRAK\\", "/p"), "/p/dosdevices/d:/TRAK/");
    EXPECT_EQ(MapWindowsPath("C:", "/p"), "/p/dosdevices/c:");
    EXPECT_EQ(MapWindowsPath("/opt/trak/", "/p"), "/opt/trak/");
    EXPECT_EQ(MapWindowsPath("", "/p"), "");
}

TEST_F(SimLocatorTest, FilesMatchWithoutRegardToLetterCase) {
    PutSimulator(driveC_ / "Programme" / "Trak");
    const std::string folder = (prefix_ / "dosdevices/c:/PROGRAMME/TRAK/").string();
    EXPECT_TRUE(FileExists(folder + "TRAK.ZGG"));
    EXPECT_EQ(FindSimFile(folder + "TRAK.FZG"), (prefix_ / "dosdevices/c:/Programme/Trak/Trak.Fzg").string());
    EXPECT_FALSE(FileExists(folder + "TRAK.INI"));
    EXPECT_FALSE(FileExists(folder));  // a folder is no file
    EXPECT_FALSE(FileExists(""));
    // A bare name is looked for in the current folder.
    test::WriteFile("lower.lng", std::string_view("x"));
    EXPECT_EQ(FindSimFile("LOWER.LNG"), "lower.lng");
}

TEST_F(SimLocatorTest, SimulatorInTheCurrentFolderNeedsNoMakerSetting) {
    PutSimulator(".");
    WriteWinIni("[Velmorax_ChKMSt]\nT381_PFAD=C:\\Elsewhere\\\n");
    std::string path;
    const std::optional<SimulatorLocation> found = LocateSimulator(path);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->directory, "");
    EXPECT_EQ(path, "");
    EXPECT_EQ(found->textFileName, kDefaultTextFileName);

    // Only one of the two files here: the maker setting is read.
    fs::remove("Trak.Fzg");
    PutSimulator(driveC_ / "Elsewhere");
    const std::optional<SimulatorLocation> moved = LocateSimulator(path);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->directory, (prefix_ / "dosdevices/c:/Elsewhere/").string());
    EXPECT_EQ(path, moved->directory);
}

TEST_F(SimLocatorTest, SimulatorFoundThroughProfileOrRegistry) {
    PutSimulator(driveC_ / "Programme" / "TRAK");
    std::string path;
    EXPECT_FALSE(LocateSimulator(path));  // neither profile nor registry

    WriteUserReg(kUserReg);
    path.clear();
    std::optional<SimulatorLocation> found = LocateSimulator(path);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->directory, (prefix_ / "dosdevices/c:/Programme/TRAK/").string());

    // The profile wins; without its trailing separator the files are not found.
    WriteWinIni("[Velmorax_ChKMSt]\nT381_PFAD=C:\\Programme\\TRAK\n");
    path.clear();
    EXPECT_FALSE(LocateSimulator(path));
    fs::remove(prefix_ / "user.reg");
    WriteWinIni("[Velmorax_ChKMSt]\nT381_PFAD=c:\\programme\\trak\\\n");
    path.clear();
    found = LocateSimulator(path);
    ASSERT_TRUE(found);

    // The reader runs the same lookup for a listing.
    SimVehicleReader reader;
    EXPECT_EQ(reader.QueryVehicle(kQueryFirst, kUserCategories, nullptr), 0);
    EXPECT_EQ(reader.Location().directory, found->directory);
    fs::remove(prefix_ / "drive_c/windows/win.ini");
    EXPECT_EQ(reader.QueryVehicle(kQueryFirst, kUserCategories, nullptr), kSimulatorNotFound);
}

// A Windows program writes win.ini and the simulator's INI in Windows-1252; the folders and files
// on the disk have UTF-8 names.
TEST_F(SimLocatorTest, Windows1252PathsAndNamesFindTheirUtf8Files) {
    PutSimulator(driveC_ / "Spiele" / "Z\xC3\xBCge");
    test::WriteFile((driveC_ / "Spiele/Z\xC3\xBCge/DEUTSCH_\xC3\x84.LNG").string(),
                    std::string_view("1\nx\n"));
    test::WriteFile((driveC_ / "Spiele/Z\xC3\xBCge/TRAK.INI").string(),
                    std::string_view("[TRAK_381]\nSprache=DEUTSCH_\xC4.LNG\n"));
    for (const char* setting : {"C:\\Spiele\\Z\xFCge\\", "C:\\Spiele\\Z\xC3\xBCge\\"}) {
        SCOPED_TRACE(setting);
        WriteWinIni(std::string("[Velmorax_ChKMSt]\nT381_PFAD=") + setting + "\n");
        std::string path;
        const std::optional<SimulatorLocation> found = LocateSimulator(path);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->textFileName, "DEUTSCH_\xC3\x84.LNG");
        EXPECT_TRUE(path.ends_with("/Spiele/Z\xC3\xBCge/")) << path;
    }
}

TEST_F(SimLocatorTest, TextFileNameFromTheSimulatorIni) {
    PutSimulator(".");
    const auto textFile = [] {
        std::string path;
        const std::optional<SimulatorLocation> found = LocateSimulator(path);
        return found ? found->textFileName : std::string("not found");
    };
    EXPECT_EQ(textFile(), "TRAK.LNG");
    test::WriteFile("TRAK.INI", std::string_view("[TRAK_381]\nSprache=Sprachen\\Trak_E.lng\n"));
    EXPECT_EQ(textFile(), "TRAK.LNG");  // names no file
    fs::create_directories("sprachen");
    test::WriteFile("sprachen/trak_e.lng", std::string_view("1\nx\n"));
    EXPECT_EQ(textFile(), "Sprachen/Trak_E.lng");
    const std::string longName = "sprachen/" + std::string(252, 'a');
    test::WriteFile("trak.ini", std::string_view("[TRAK_381]\nSprache=" + longName + "\n"));
    fs::remove("TRAK.INI");
    test::WriteFile(longName, std::string_view("1\nx\n"));
    ASSERT_TRUE(FileExists(longName));
    EXPECT_EQ(textFile(), "TRAK.LNG");  // longer than 260 characters
    test::WriteFile("trak.ini", std::string_view("[Other]\nSprache=sprachen/trak_e.lng\n"));
    EXPECT_EQ(textFile(), "TRAK.LNG");
}

// The simulator's INI must not make the import read a file of the user's outside its folder.
TEST_F(SimLocatorTest, TextFileOutsideTheSimulatorFolderIsNotTaken) {
    PutSimulator(".");
    test::WriteFile((root_.Path() / "secret.txt").string(), std::string_view("1\nsecret\n"));
    test::WriteFile("secret.txt", std::string_view("1\nx\n"));
    const std::pair<std::string, bool> names[] = {
        {"..\\secret.txt", false},
        {"../secret.txt", false},
        {"sprachen\\..\\..\\secret.txt", false},
        {(root_.Path() / "secret.txt").string(), false},
        {"\\secret.txt", false},
        {"C:\\secret.txt", false},
        {"C:secret.txt", false},
        {"secret.txt", true},
        {".\\secret.txt", true},
        {"..secret.txt", true},
    };
    fs::create_directories("sprachen");
    for (const auto& [name, inside] : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(IsNameInsideFolder(name), inside);
        test::WriteFile("TRAK.INI", std::string_view("[TRAK_381]\nSprache=" + name + "\n"));
        std::string path;
        const std::optional<SimulatorLocation> found = LocateSimulator(path);
        ASSERT_TRUE(found);
        if (!inside) {
            EXPECT_EQ(found->textFileName, "TRAK.LNG");
        }
    }
}

}  // namespace
}  // namespace zobl::simimport
