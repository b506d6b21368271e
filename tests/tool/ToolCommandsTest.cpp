#include "tool/ToolCommands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <optional>
#include <regex>
#include <sstream>

#include "core/common/AtomicFile.h"
#include "core/common/PathTools.h"
#include "core/drawing/MouseMode.h"
#include "core/palette/Palette.h"
#include "core/scenery/GsFile.h"
#include "core/scenery/GsTestFiles.h"
#include "core/scenery/SceneryDocument.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/VehicleDocument.h"
#include "core/vehicles/VehicleExport.h"
#include "core/vehicles/VehicleSheet.h"
#include "png/SceneryPng.h"
#include "png/VehiclePng.h"
#include "tool/PngTestWriter.h"

namespace zobl {
namespace {

namespace fs = std::filesystem;
using namespace scenery;

constexpr MouseMode kFreehand = MouseMode::Freehand;

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zobl_tool_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // A language file of our own, so the messages are known.
        WriteText("lang.rtx",
                  "[DATA]\n1051=SIGNATUR\n[Errors]\n6002=Format von % unbekannt\n6003=% nicht anlegbar\n"
                  "6004=Lesefehler in %\n");
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    void WriteText(const std::string& name, const std::string& text) {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::vector<std::uint8_t> ReadBytes(const std::string& name) { return ReadWholeFile(Path(name)); }

    // input is what the command finds on standard input.
    int Run(std::vector<std::string> args, const std::string& input = {}) {
        out_.str({});
        err_.str({});
        in_.clear();
        in_.str(input);
        args.insert(args.begin(), {"--lang", Path("lang.rtx")});
        return RunTool(args, in_, out_, err_);
    }
    std::vector<std::uint8_t> OutBytes() const {
        const std::string text = out_.str();
        return {text.begin(), text.end()};
    }
    static std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

    fs::path dir_;
    std::istringstream in_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(ToolTest, CommandLineMistakesGiveOneLineAndStatus2) {
    const struct {
        std::vector<std::string> args;
        std::string what;
    } cases[] = {
        {{}, "no command given"},
        {{"paint"}, "unknown command paint"},
        {{"convert", "a.gs"}, "convert takes 2 file names"},
        {{"info"}, "info takes 1 file name"},
        {{"info", "a", "b"}, "info takes 1 file name"},
        {{"--bogus", "info", "a"}, "unknown option --bogus"},
        {{"sim-import", "--into", "-", "--set", "0", "1"},
         "sim-import: --into, which is read and written again, cannot be standard input or output ('-')"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.args), kToolUsageError);
        EXPECT_EQ(err_.str(), "zobl-tool: " + c.what + "\nTry 'zobl-tool --help' for more.\n");
        EXPECT_EQ(out_.str(), "");
    }
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunTool({"--lang"}, in, out, err), kToolUsageError);
    EXPECT_EQ(err.str(), "zobl-tool: --lang needs a file name\nTry 'zobl-tool --help' for more.\n");
    EXPECT_EQ(RunTool({"--help"}, in, out, err), kToolSuccess);
    EXPECT_NE(out.str().find("from-png"), std::string::npos);
    // Both folders the language file is looked for in, as they are on this machine.
    for (const std::string& folder : {ProgramFolder(), InstalledDataFolder()}) {
        EXPECT_NE(out.str().find(folder), std::string::npos) << folder;
    }
    EXPECT_NE(InstalledDataFolder().find("/share/zobl_ge/"), std::string::npos);
}

TEST_F(ToolTest, LanguageFileFollowsTheEnvironmentUnlessGiven) {
    struct Case {
        std::optional<std::string> given;
        const char* language;  // LANGUAGE
        const char* lang;      // LANG
        bool englishShipped;
        std::string expected;
    };
    const Case cases[] = {
        {std::nullopt, nullptr, nullptr, true, "zobl_ge.rtx"},
        {std::nullopt, nullptr, "en_US.UTF-8", true, "zobl_ge.en.rtx"},
        {std::nullopt, "en", "de_DE.UTF-8", true, "zobl_ge.en.rtx"},
        {std::nullopt, nullptr, "de_DE.UTF-8", true, "zobl_ge.rtx"},
        {std::nullopt, nullptr, "en_GB.UTF-8", false, "zobl_ge.rtx"},
        // --lang names the file, whatever the environment says.
        {Path("lang.rtx"), nullptr, "en_US.UTF-8", true, "lang.rtx"},
    };
    for (const Case& c : cases) {
        fs::remove(Path("zobl_ge.en.rtx"));
        WriteText("zobl_ge.rtx", "[DATA]\n");
        if (c.englishShipped) {
            WriteText("zobl_ge.en.rtx", "[DATA]\n");
        }
        const EnvironmentLookup environment = [&c](const char* name) -> const char* {
            const std::string_view variable(name);
            return variable == "LANGUAGE" ? c.language : variable == "LANG" ? c.lang : nullptr;
        };
        const DataFinder find = [this](std::string_view name) { return Path(std::string(name)); };
        EXPECT_EQ(ToolLanguageFile(c.given, environment, find), Path(c.expected))
            << (c.language ? c.language : "-") << " " << (c.lang ? c.lang : "-") << " " << c.englishShipped;
    }
}

TEST_F(ToolTest, VersionNamesTheProgramAndItsVersion) {
    std::istringstream in;
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--version"}, {"--lang", "x.rtx", "--version"}}) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunTool(args, in, out, err), kToolSuccess);
        EXPECT_TRUE(std::regex_match(out.str(), std::regex("zobl-tool [0-9]+\\.[0-9]+\\.[0-9]+\n")))
            << out.str();
        EXPECT_EQ(err.str(), "");
    }
}

TEST_F(ToolTest, FailuresNameTheFileInOneLineAndWriteNothing) {
    WriteText("old.gs", "keep me");
    EXPECT_EQ(Run({"convert", Path("missing.gs"), Path("old.gs")}), kToolFailure);
    EXPECT_EQ(err_.str(), "zobl-tool: Lesefehler in " + Path("missing.gs") + "\n");
    EXPECT_EQ(ReadBytes("old.gs"), std::vector<std::uint8_t>({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));

    // Recognised by content, as the editor tells them: a file of neither kind is error 2 with its
    // name, a damaged one error 4 with its path. A file named .gs is read as a vehicle file.
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::string message;
    } refused[] = {
        {"cars.gs", {'x', 0x1A, 0x46, 0xC7, 0x53, 1, 0}, "Lesefehler in " + Path("cars.gs")},
        {"text.gs", {'T', 'e', 'x', 't', '\n'}, "Format von text.gs unbekannt"},
        {"cut.gs", test::GsStart(2, 7).U8(36).Take(), "Lesefehler in " + Path("cut.gs")},
    };
    for (const auto& file : refused) {
        WriteBytes(file.name, file.bytes);
        EXPECT_EQ(Run({"convert", Path(file.name), Path("out.gs")}), kToolFailure);
        EXPECT_EQ(err_.str(), "zobl-tool: " + file.message + "\n");
        EXPECT_FALSE(fs::exists(Path("out.gs")));
    }

    // A target that cannot be created.
    SaveGsFile(Path("in.gs"), SceneryDocument());
    EXPECT_EQ(Run({"export", Path("in.gs"), Path("no/such/folder/out.uzg")}), kToolFailure);
    EXPECT_EQ(err_.str(), "zobl-tool: " + Path("no/such/folder/out.uzg") + " nicht anlegbar\n");

    // A language file that is not there is a failure of its own.
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    EXPECT_EQ(RunTool({"--lang", Path("none.rtx"), "info", Path("in.gs")}, in, out, err), kToolFailure);
    EXPECT_NE(err.str().find("none.rtx"), std::string::npos);
}

TEST_F(ToolTest, InfoConvertAndExport) {
    SceneryDocument doc;
    doc.SetAuthor("Jürgen");
    doc.SetInfoText("Zeile 1\r\nZeile 2");
    ASSERT_EQ(doc.AddRow(0, 2, kAddRowCheckRules), 0);
    ASSERT_EQ(doc.AddRow(35, 4, kAddRowCheckRules), 0);
    SaveGsFile(Path("in.gs"), doc);

    ASSERT_EQ(Run({"info", Path("in.gs")}), kToolSuccess) << err_.str();
    const std::string info = out_.str();
    EXPECT_NE(info.find("kind: scenery\nlayout: version 7\nauthor: Jürgen\ninfo: Zeile 1\n  Zeile 2\n"),
              std::string::npos)
        << info;
    EXPECT_NE(info.find("symbol 01: rows 2 3\nsymbol 02: rows 3\n"), std::string::npos);
    EXPECT_NE(info.find("symbol 36: rows 3 4\n"), std::string::npos);

    ASSERT_EQ(Run({"convert", Path("in.gs"), Path("out.gs")}), kToolSuccess) << err_.str();
    EXPECT_EQ(ReadBytes("out.gs"), ReadBytes("in.gs"));

    ASSERT_EQ(Run({"export", Path("in.gs"), Path("out.uzg")}), kToolSuccess) << err_.str();
    const auto uzg = ReadBytes("out.uzg");
    const std::string head(uzg.begin(), uzg.begin() + 11);
    EXPECT_EQ(head, std::string("SIGNATUR\x1A\x35\x09", 11));
    EXPECT_EQ(uzg[11] | (uzg[12] << 8), 4 * 38);  // 36 base rows, row 2 of symbol 1, row 4 of symbol 36
}

TEST_F(ToolTest, PngRoundTripKeepsIndicesAndRows) {
    SceneryDocument doc;
    for (int i = 0; i < kPaletteSize; ++i) {
        doc.SetPixel(i % kSymbolCount, kBaseRow, i % 32, i / 32, PaletteIndex(i), kFreehand);
    }
    doc.SetPixel(4, 2, 0, 0, HalfTransparentIndex, kFreehand);
    doc.SetPixel(4, 1, 0, 0, BackgroundIndex, kFreehand);
    ASSERT_EQ(doc.AddRow(4, 2, kAddRowCheckRules), 0);
    ASSERT_EQ(doc.AddRow(4, 1, kAddRowCheckRules), 0);
    // Absent rows must hold nothing but transparency to come back absent.
    for (int s = 0; s < kSymbolCount; ++s) {
        for (int r : {0, 1, 2, 4}) {
            if (!doc.IsRowPresent(s, r)) {
                for (int y = 0; y < kCellHeight; ++y) {
                    for (int x = 0; x < kCellWidth; ++x) {
                        doc.SetPixel(s, r, x, y, TransparentIndex, kFreehand);
                    }
                }
            }
        }
    }
    SaveGsFile(Path("in.gs"), doc);

    ASSERT_EQ(Run({"to-png", Path("in.gs"), Path("pic.png")}), kToolSuccess) << err_.str();
    QImage png(QString::fromStdString(Path("pic.png")));
    ASSERT_EQ(png.format(), QImage::Format_Indexed8);
    ASSERT_EQ(png.size(), QSize(1152, 80));
    EXPECT_EQ(png.colorCount(), 100);
    EXPECT_EQ(qAlpha(png.color(TransparentIndex)), 0);
    EXPECT_EQ(png.color(44), qRgb(236, 40, 0));
    EXPECT_EQ(png.pixelIndex(4 * 32 + 4, 3 * 16 + 0), 4);  // top line first
    EXPECT_EQ(png.pixelIndex(4 * 32, 1 * 16), BackgroundIndex);

    ASSERT_EQ(Run({"from-png", Path("pic.png"), Path("back.gs")}), kToolSuccess) << err_.str();
    EXPECT_EQ(err_.str(), "");
    SceneryDocument back;
    ReadGsFile(Path("back.gs"), back);
    EXPECT_TRUE(std::equal(back.PixelStore().begin(), back.PixelStore().end(), doc.PixelStore().begin()));
    for (int s = 0; s < kSymbolCount; ++s) {
        EXPECT_EQ(back.Record(s).rowMask, doc.Record(s).rowMask) << "symbol " << s;
    }
}

TEST_F(ToolTest, ForeignPngIsMappedColourByColour) {
    QImage image(1152, 80, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    image.setPixel(0, 48, qRgb(255, 0, 0));       // not a base colour: nearest ordinary is 44
    image.setPixel(1, 48, qRgb(0, 112, 0));       // 6, 56 and 99: an opaque one in a file with alpha is 6
    image.setPixel(2, 48, qRgb(12, 44, 132));     // exact colour of 29 and the lights 61, 68, ...
    image.setPixel(3, 48, qRgb(252, 60, 80));     // 51, kept although not ordinary
    image.setPixel(32, 16, qRgb(1, 1, 1));        // symbol 2 draws in row 1 only: row 2 is missing
    image.setPixel(64, 40, qRgb(255, 255, 255));  // symbol 3 draws in rows 2 ...
    image.setPixel(64, 70, qRgb(255, 255, 255));  // ... and 4: both allowed
    image.save(QString::fromStdString(Path("rgb.png")));

    ASSERT_EQ(Run({"from-png", "--nearest", Path("rgb.png"), Path("out.gs")}), kToolSuccess) << err_.str();
    EXPECT_NE(err_.str().find("rgb.png: 2 pixels mapped to the nearest palette colour"), std::string::npos)
        << err_.str();
    EXPECT_NE(err_.str().find("symbol 02, row 1"), std::string::npos) << err_.str();
    SceneryDocument doc;
    ReadGsFile(Path("out.gs"), doc);
    EXPECT_EQ(doc.GetPixel(0, 3, 0, 0), 44);
    EXPECT_EQ(doc.GetPixel(0, 3, 1, 0), 6);
    EXPECT_EQ(doc.GetPixel(0, 3, 2, 0), 29);
    EXPECT_EQ(doc.GetPixel(0, 3, 3, 0), 51);
    EXPECT_EQ(doc.GetPixel(0, 3, 4, 0), TransparentIndex);
    EXPECT_EQ(doc.GetPixel(1, 1, 0, 0), 0);
    EXPECT_EQ(doc.Record(0).rowMask, 8u);
    EXPECT_EQ(doc.Record(1).rowMask, 8u);
    EXPECT_EQ(doc.Record(2).rowMask, 8u | 4u | 16u);
}

TEST_F(ToolTest, PngOfTheWrongSizeIsRefused) {
    QImage image(100, 80, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.save(QString::fromStdString(Path("small.png")));
    WriteText("junk.png", "\x89PNG but not really");
    EXPECT_EQ(Run({"from-png", Path("small.png"), Path("out.gs")}), kToolFailure);
    EXPECT_EQ(err_.str(),
              "zobl-tool: small.png: the picture is 100 x 80 pixels, a scenery sheet is 1152 x 80\n");
    EXPECT_EQ(Run({"from-png", Path("junk.png"), Path("out.gs")}), kToolFailure);
    EXPECT_FALSE(fs::exists(Path("out.gs")));
}

// Each command's output through "-" equals what it writes to a file, and "-" as input reads what
// the file holds; no file named "-" appears.
TEST_F(ToolTest, DashStandsForStandardInputAndOutput) {
    SceneryDocument doc;
    doc.SetAuthor("Jürgen");
    doc.SetPixel(3, kBaseRow, 5, 6, 44, kFreehand);
    SaveGsFile(Path("in.gs"), doc);
    const std::string gs = Text(ReadBytes("in.gs"));
    ASSERT_EQ(Run({"to-png", Path("in.gs"), Path("pic.png")}), kToolSuccess) << err_.str();
    const std::string png = Text(ReadBytes("pic.png"));
    ASSERT_EQ(Run({"info", Path("in.gs")}), kToolSuccess);
    const std::string info = out_.str();
    ASSERT_EQ(Run({"export", Path("in.gs"), Path("out.uzg")}), kToolSuccess);
    const std::string uzg = Text(ReadBytes("out.uzg"));
    ASSERT_EQ(Run({"from-png", Path("pic.png"), Path("fromfile.gs")}), kToolSuccess);
    const std::string fromPng = Text(ReadBytes("fromfile.gs"));

    const struct {
        std::vector<std::string> args;
        std::string input;
        std::string expectedOut;
        std::string file;  // written by the command, must equal expectedFile
        std::string expectedFile;
    } cases[] = {
        {{"info", "-"}, gs, info, "", ""},
        {{"convert", Path("in.gs"), "-"}, "", gs, "", ""},
        {{"convert", "-", Path("c.gs")}, gs, "", "c.gs", gs},
        {{"convert", "-", "-"}, gs, gs, "", ""},
        {{"export", "-", "-"}, gs, uzg, "", ""},
        {{"to-png", "-", "-"}, gs, png, "", ""},
        {{"from-png", "-", Path("back.gs")}, png, "", "back.gs", fromPng},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Run(c.args, c.input), kToolSuccess) << c.args[0] << ' ' << err_.str();
        EXPECT_TRUE(out_.str() == c.expectedOut) << c.args[0] << ' ' << c.args[1];
        if (!c.file.empty()) {
            EXPECT_TRUE(Text(ReadBytes(c.file)) == c.expectedFile) << c.args[0];
        }
    }
    EXPECT_FALSE(fs::exists("-"));

    // Nothing on standard input is no graphics file.
    EXPECT_EQ(Run({"to-png", "-", Path("x.png")}, "junk"), kToolFailure);
    EXPECT_FALSE(fs::exists(Path("x.png")));
}

// A vehicle graphic with texts outside ASCII, two cars and a set without cars.
void FillSampleVehicles(VehicleDocument& doc) {
    doc.SetAuthor("J\xFCrgen");  // Windows-1252, as the file holds it
    doc.SetInfoText("Zeile 1\r\nZeile 2");
    EXPECT_TRUE(doc.AddVehicleSet("G\xFCterzug", kFreehand));
    EXPECT_EQ(doc.NewCar(0, "Lok", 4, kFreehand), 0);
    EXPECT_EQ(doc.NewCar(0, "Wagen", 2, kFreehand), 0);
    EXPECT_TRUE(doc.AddVehicleSet("Leer", kFreehand));
}

class VehicleToolTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        WriteText(
            "lang.rtx",
            "[DATA]\n1022=T %.0s%.0s%.0s%02d.%02d.%04d\n"
            "1023=Halbtransparenz gefunden! (Fahrzeuge unterst\xFCtzen dieses Feature nicht!) Grp=%d Car=%d "
            "Idx=%d\n[Errors]\n6002=Format von % unbekannt\n"
            "6003=% nicht anlegbar\n6004=Lesefehler in %\n");
        const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
        savedEpoch_ = epoch ? std::optional<std::string>(epoch) : std::nullopt;
        ::setenv("SOURCE_DATE_EPOCH", "86400", 1);
    }
    void TearDown() override {
        if (savedEpoch_) {
            ::setenv("SOURCE_DATE_EPOCH", savedEpoch_->c_str(), 1);
        } else {
            ::unsetenv("SOURCE_DATE_EPOCH");
        }
        ToolTest::TearDown();
    }

    std::optional<std::string> savedEpoch_;
};

TEST_F(VehicleToolTest, InfoConvertAndExport) {
    VehicleDocument doc;
    FillSampleVehicles(doc);
    SaveFgsFile(Path("in.fgs"), doc);

    ASSERT_EQ(Run({"info", Path("in.fgs")}), kToolSuccess) << err_.str();
    EXPECT_EQ(out_.str(),
              "kind: vehicles\nauthor: Jürgen\ndescription: \ninfo: Zeile 1\n  Zeile 2\nset 1: Güterzug\n"
              "  car 1: Lok (length 4 = 32 pixels)\n  car 2: Wagen (length 2 = 16 pixels)\nset 2: Leer\n");

    ASSERT_EQ(Run({"convert", Path("in.fgs"), Path("out.fgs")}), kToolSuccess) << err_.str();
    EXPECT_EQ(ReadBytes("out.fgs"), ReadBytes("in.fgs"));

    ASSERT_EQ(Run({"export", Path("in.fgs"), Path("zug")}), kToolSuccess) << err_.str();
    EXPECT_EQ(ReadBytes("zug.UFG"), *UfgWriter(doc, "T 02.01.1970"));
    EXPECT_EQ(ReadBytes("zug.UZZ"), *UzzWriter(doc));

    // What a car has beyond name and length is listed where it is set.
    ASSERT_TRUE(doc.SetCarTexts(0, 1, "Wagen", "zwei", "", nullptr, kFreehand));
    ASSERT_TRUE(doc.SetCarFlags(0, 1, 0x8020, nullptr, kFreehand));
    ASSERT_TRUE(doc.SetSteamValue(0, 1, 2, 1, 0x80, kFreehand));
    ASSERT_TRUE(doc.SetSteamValue(0, 1, 0, 0, 0x40, kFreehand));
    SaveFgsFile(Path("details.fgs"), doc);
    ASSERT_EQ(Run({"info", Path("details.fgs")}), kToolSuccess) << err_.str();
    EXPECT_NE(
        out_.str().find("  car 2: Wagen (length 2 = 16 pixels)\n    texts: zwei | \n    flags: 0x8020\n"
                        "    steam: view 0 segment 0 whole\n    steam: view 2 segment 1 half\nset 2: Leer\n"),
        std::string::npos)
        << out_.str();
}

// Another user planted links and pipes at the names an export into a shared folder will write:
// the export fails at once and touches nothing they lead to.
TEST_F(VehicleToolTest, ExportIntoASharedFolderRefusesWhatOthersPlanted) {
    VehicleDocument doc;
    FillSampleVehicles(doc);
    SaveFgsFile(Path("in.fgs"), doc);
    WriteText("precious.txt", "precious");
    fs::create_directory(Path("shared"));
    struct Case {
        const char* what;
        std::function<void()> plant;
        bool needsRoot;  // links of another user
    };
    const auto othersLink = [this](const std::string& target, const char* name) {
        fs::create_symlink(target, Path(name));
        ASSERT_EQ(::lchown(Path(name).c_str(), 4242, 4242), 0);
    };
    const Case cases[] = {
        {"links of another user",
         [&] {
             othersLink(Path("precious.txt"), "shared/out.UZZ");
             othersLink(Path("created.txt"), "shared/out.UFG");
         },
         true},
        {"own link at the second file",
         [&] { fs::create_symlink(Path("precious.txt"), Path("shared/out.UZZ")); }, false},
        {"pipe without a reader", [&] { ASSERT_EQ(::mkfifo(Path("shared/out.UFG").c_str(), 0666), 0); },
         false},
        {"pipe at the second file", [&] { ASSERT_EQ(::mkfifo(Path("shared/out.UZZ").c_str(), 0666), 0); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && ::geteuid() != 0) {
            continue;
        }
        for (const auto& entry : fs::directory_iterator(Path("shared"))) {
            fs::remove(entry.path());
        }
        c.plant();
        std::vector<std::string> before;
        for (const auto& entry : fs::directory_iterator(Path("shared"))) {
            before.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(Run({"export", Path("in.fgs"), Path("shared/out")}), kToolFailure);
        EXPECT_NE(err_.str().find("nicht anlegbar"), std::string::npos) << err_.str();
        EXPECT_EQ(Text(ReadBytes("precious.txt")), "precious");
        EXPECT_FALSE(fs::exists(Path("created.txt")));
        std::vector<std::string> after;
        for (const auto& entry : fs::directory_iterator(Path("shared"))) {
            after.push_back(entry.path().filename().string());
        }
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before);
    }
}

TEST_F(VehicleToolTest, RefusedExportsAndDamagedFilesWriteNothing) {
    VehicleDocument doc;
    FillSampleVehicles(doc);
    ASSERT_TRUE(doc.SetPixel(0, 1, 2, 0, 0, HalfTransparentIndex, false, kFreehand));
    SaveFgsFile(Path("half.fgs"), doc);
    EXPECT_EQ(Run({"export", Path("half.fgs"), Path("zug")}), kToolFailure);
    EXPECT_EQ(err_.str(), "zobl-tool: " + Path("half.fgs") +
                              ": Halbtransparenz gefunden! (Fahrzeuge unterstützen dieses Feature nicht!) "
                              "Grp=0 Car=1 Idx=2\n");
    EXPECT_FALSE(fs::exists(Path("zug.UFG")));
    EXPECT_FALSE(fs::exists(Path("zug.UZZ")));

    // The vehicle export is a pair of files named from a base: no stream can take it.
    EXPECT_EQ(Run({"export", Path("half.fgs"), "-"}), kToolUsageError);
    EXPECT_EQ(err_.str(),
              "zobl-tool: export: the base name of the vehicle files OUTBASE.UFG and OUTBASE.UZZ cannot be "
              "standard input or output ('-')\nTry 'zobl-tool --help' for more.\n");
    EXPECT_EQ(out_.str(), "");

    VehicleDocument empty;
    ASSERT_TRUE(empty.AddVehicleSet("Leer", kFreehand));
    SaveFgsFile(Path("empty.fgs"), empty);
    EXPECT_EQ(Run({"export", Path("empty.fgs"), Path("zug")}), kToolFailure);
    EXPECT_EQ(err_.str(), "zobl-tool: zug nicht anlegbar\n");
    EXPECT_FALSE(fs::exists(Path("zug.UFG")));

    // A damaged file is a failure for every command (the editor would offer what it could read).
    doc.SetPixel(0, 1, 2, 0, 0, 1, false, kFreehand);
    auto bytes = WriteFgs(doc);
    bytes.resize(bytes.size() - 1);
    WriteBytes("cut.fgs", bytes);
    for (const std::string command : {"info", "convert", "export"}) {
        std::vector<std::string> args{command, Path("cut.fgs")};
        if (command != "info") {
            args.push_back(Path("out"));
        }
        EXPECT_EQ(Run(args), kToolFailure) << command;
        EXPECT_EQ(err_.str(), "zobl-tool: Lesefehler in " + Path("cut.fgs") + "\n");
        EXPECT_EQ(out_.str(), "");
    }
    EXPECT_FALSE(fs::exists(Path("out")));
    EXPECT_FALSE(fs::exists(Path("out.UFG")));

    // A vehicle graphic without cars has no sheet to draw.
    EXPECT_EQ(Run({"to-png", Path("empty.fgs"), Path("x.png")}), kToolFailure);
    EXPECT_EQ(err_.str(), "zobl-tool: the vehicle graphic has no cars to draw\n");
    EXPECT_FALSE(fs::exists(Path("x.png")));
}

// Sets of cars of lengths 4, 1, 3 / none / 2: a sheet of 68 x 876 (32 + 2 + 8 + 2 + 24 wide, three
// bands of 292). Every view pixel differs from its neighbours and from the same place in other views.
void FillSheetVehicles(VehicleDocument& doc) {
    ASSERT_TRUE(doc.AddVehicleSet("Zug", kFreehand));
    ASSERT_TRUE(doc.AddVehicleSet("Leer", kFreehand));
    ASSERT_TRUE(doc.AddVehicleSet("Zwei", kFreehand));
    ASSERT_EQ(doc.NewCar(0, "Lok", 4, kFreehand), 0);
    ASSERT_EQ(doc.NewCar(0, "Kurz", 1, kFreehand), 0);
    ASSERT_EQ(doc.NewCar(0, "Lang", 3, kFreehand), 0);
    ASSERT_EQ(doc.NewCar(2, "Wagen", 2, kFreehand), 0);
    for (const auto& [set, car] : {std::pair{0, 0}, {0, 1}, {0, 2}, {2, 0}}) {
        for (int view = 0; view < 4; ++view) {
            auto plane = doc.PlaneForDrawing(set, car, view);
            for (std::size_t i = 0; i < plane.size(); ++i) {
                plane[i] = std::uint8_t((i * 7 + std::size_t(view * 13 + car * 29 + set * 3)) % 100);
            }
        }
    }
}

class VehicleSheetTest : public VehicleToolTest {
protected:
    void SetUp() override {
        VehicleToolTest::SetUp();
        FillSheetVehicles(doc_);
        SaveFgsFile(Path("cars.fgs"), doc_);
        original_ = ReadBytes("cars.fgs");
        ASSERT_EQ(Run({"to-png", Path("cars.fgs"), Path("sheet.png")}), kToolSuccess) << err_.str();
        sheet_ = QImage(QString::fromStdString(Path("sheet.png")));
    }
    void SaveSheet(const QImage& image, const std::string& name) {
        ASSERT_TRUE(image.save(QString::fromStdString(Path(name))));
    }

    VehicleDocument doc_;
    std::vector<std::uint8_t> original_;
    QImage sheet_;
};

TEST_F(VehicleSheetTest, SheetHoldsEveryViewWhereTheLayoutSays) {
    ASSERT_EQ(sheet_.format(), QImage::Format_Indexed8);
    ASSERT_EQ(sheet_.size(), QSize(68, 876));
    EXPECT_EQ(qAlpha(sheet_.color(TransparentIndex)), 0);
    EXPECT_EQ(sheet_.color(44), qRgb(236, 40, 0));
    // (set, car, view, x, y) and where that pixel lies on the sheet.
    const struct {
        int set, car, view, x, y, sheetX, sheetY;
    } places[] = {
        {0, 0, 1, 0, 0, 0, 0},     {0, 0, 1, 31, 13, 31, 13}, {0, 0, 2, 5, 2, 5, 18},
        {0, 0, 0, 7, 15, 7, 47},   {0, 0, 3, 0, 0, 0, 162},   {0, 1, 1, 3, 4, 37, 4},
        {0, 1, 3, 7, 3, 41, 165},  {0, 2, 0, 5, 9, 49, 41},   {0, 2, 2, 23, 13, 67, 29},
        {2, 0, 1, 15, 0, 15, 584}, {2, 0, 3, 3, 5, 3, 751},   {2, 0, 0, 7, 7, 7, 623},
    };
    for (const auto& p : places) {
        EXPECT_EQ(sheet_.pixelIndex(p.sheetX, p.sheetY), doc_.GetPixel(p.set, p.car, p.view, p.x, p.y))
            << p.set << '/' << p.car << '/' << p.view;
    }
    // Gaps, the empty band and the space beside shorter views stay transparent.
    for (const auto& [x, y] :
         {std::pair{32, 0}, {33, 100}, {10, 300}, {67, 500}, {8, 32}, {50, 200}, {20, 14}}) {
        EXPECT_EQ(sheet_.pixelIndex(x, y), TransparentIndex) << x << ',' << y;
    }
}

TEST_F(VehicleSheetTest, RoundTripKeepsTheFileAndAChangedPixelArrivesInItsView) {
    ASSERT_EQ(Run({"from-png", Path("sheet.png"), "--into", Path("cars.fgs")}), kToolSuccess) << err_.str();
    EXPECT_TRUE(ReadBytes("cars.fgs") == original_);

    // Set 2, car 0, view 3, pixel (3, 5); the sheet through standard input.
    const int before = doc_.GetPixel(2, 0, 3, 3, 5);
    QImage changed = sheet_;
    changed.setPixel(3, 751, uint(before == 44 ? 45 : 44));
    SaveSheet(changed, "changed.png");
    const auto png = ReadBytes("changed.png");
    ASSERT_EQ(Run({"from-png", "-", "--into", Path("cars.fgs")}, Text(png)), kToolSuccess) << err_.str();
    VehicleDocument back;
    ASSERT_FALSE(ReadFgs(ReadBytes("cars.fgs"), {}, back).damaged);
    int differences = 0;
    for (const auto& [set, car] : {std::pair{0, 0}, {0, 1}, {0, 2}, {2, 0}}) {
        for (int view = 0; view < 4; ++view) {
            const auto a = back.Plane(set, car, view);
            const auto b = doc_.Plane(set, car, view);
            differences += int(std::inner_product(a.begin(), a.end(), b.begin(), 0, std::plus<>(),
                                                  [](auto l, auto r) { return int(l != r); }));
        }
    }
    EXPECT_EQ(differences, 1);
    EXPECT_EQ(back.GetPixel(2, 0, 3, 3, 5), before == 44 ? 45 : 44);
}

// The sheet holds every index, the special and night-lit ones included: read against the cars'
// present pixels, a file of their colours gives back the very same vehicle file.
TEST_F(VehicleSheetTest, ExactColourSheetsRoundTripByteIdentical) {
    const SheetSize size = VehicleSheetSize(doc_);
    const std::vector<std::uint8_t> sheet = VehicleToSheet(doc_);
    for (const int index : {6, 56, 61, 97, 99}) {
        ASSERT_NE(std::find(sheet.begin(), sheet.end(), index), sheet.end()) << index;
    }
    for (const auto& [type, depth] : {std::pair{2, 8}, {2, 16}, {6, 8}, {6, 16}, {3, 8}}) {
        WriteBytes("colours.png",
                   test::WritePng(test::SheetAsColours(sheet, size.width, size.height, type, depth)));
        ASSERT_EQ(Run({"from-png", Path("colours.png"), "--into", Path("cars.fgs")}), kToolSuccess)
            << err_.str();
        EXPECT_EQ(err_.str(), "");
        EXPECT_TRUE(ReadBytes("cars.fgs") == original_) << type << '/' << depth;
    }
}

TEST_F(VehicleSheetTest, WrongSheetsAreRefusedAndTheFileStaysAsItWas) {
    const auto indexedOfSize = [&](int width, int height) {
        QImage image(width, height, QImage::Format_Indexed8);
        image.setColorTable(sheet_.colorTable());
        image.fill(uint(TransparentIndex));
        return image;
    };
    SaveSheet(indexedOfSize(67, 876), "narrow.png");
    SaveSheet(indexedOfSize(68, 584), "short.png");
    QImage outside = sheet_;
    QList<QRgb> table = outside.colorTable();
    while (table.size() < 130) {
        table.append(qRgb(1, 2, 3));
    }
    outside.setColorTable(table);
    outside.setPixel(49, 41, 120);  // inside set 0, car 2, view 0
    SaveSheet(outside, "outside.png");
    WriteText("junk.png", "\x89PNG nothing more");

    const struct {
        std::string file;
        std::string message;
    } cases[] = {
        {"narrow.png",
         "narrow.png: the picture is 67 x 876 pixels, the sheet of the document's sets and cars is 68 x 876"},
        {"short.png",
         "short.png: the picture is 68 x 584 pixels, the sheet of the document's sets and cars is 68 x 876"},
        {"outside.png",
         "outside.png: 1 pixel has no palette colour, the first at 49,41; use --nearest to map them"},
        {"junk.png", "Format von junk.png unbekannt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run({"from-png", Path(c.file), "--into", Path("cars.fgs")}), kToolFailure) << c.file;
        EXPECT_EQ(err_.str(), "zobl-tool: " + c.message + "\n");
        EXPECT_TRUE(ReadBytes("cars.fgs") == original_) << c.file;
    }
    // A sheet cannot go into a scenery file, nor into a stream.
    SaveGsFile(Path("scenery.gs"), SceneryDocument());
    EXPECT_EQ(Run({"from-png", Path("sheet.png"), "--into", Path("scenery.gs")}), kToolFailure);
    EXPECT_EQ(err_.str(), "zobl-tool: Format von scenery.gs unbekannt\n");
    EXPECT_EQ(Run({"from-png", Path("sheet.png"), "--into", "-"}), kToolUsageError);
}

// Sets "Zug", "G\xFCter" (cars of lengths 2 and 1), "Leer" without cars and "1". The side views of
// the two cars are plain colours with a marked pixel or two, so each place in the picture tells
// which car and view lies there.
class TrainPictureTest : public VehicleToolTest {
protected:
    void SetUp() override {
        VehicleToolTest::SetUp();
        VehicleDocument doc;
        ASSERT_TRUE(doc.AddVehicleSet("Zug", kFreehand));
        ASSERT_TRUE(doc.AddVehicleSet("G\xFCter", kFreehand));
        ASSERT_TRUE(doc.AddVehicleSet("Leer", kFreehand));
        ASSERT_TRUE(doc.AddVehicleSet("1", kFreehand));
        ASSERT_EQ(doc.NewCar(0, "Lok", 1, kFreehand), 0);
        ASSERT_EQ(doc.NewCar(1, "Lang", 2, kFreehand), 0);
        ASSERT_EQ(doc.NewCar(1, "Kurz", 1, kFreehand), 0);
        ASSERT_EQ(doc.NewCar(3, "Eins", 1, kFreehand), 0);
        const auto fill = [&](int car, int view, PaletteIndex value) {
            auto plane = doc.PlaneForDrawing(1, car, view);
            std::fill(plane.begin(), plane.end(), value);
        };
        const auto mark = [&](int car, int view, int x, int y, PaletteIndex value) {
            const int length = doc.CarAt(1, car).length;
            doc.PlaneForDrawing(1, car, view)[vehicles::PixelOffset(view, length, x, y)] = value;
        };
        fill(0, 1, 10);
        mark(0, 1, 0, 0, 68);
        mark(0, 1, 15, 13, 72);
        fill(0, 2, 20);
        mark(0, 2, 0, 0, 61);
        fill(1, 1, 30);
        fill(1, 2, 40);
        mark(1, 2, 7, 13, 44);
        SaveFgsFile(Path("train.fgs"), doc);
    }
};

TEST_F(TrainPictureTest, WrongSetsZoomsAndFilesAreRefused) {
    SaveGsFile(Path("scenery.gs"), SceneryDocument());
    const std::string fgs = Path("train.fgs");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"--train", "Foo", fgs},
         kToolFailure,
         fgs + ": no set \"Foo\" (4 sets: \"Zug\", \"G\u00fcter\", \"Leer\", \"1\")"},
        {{"--train", "0", fgs}, kToolFailure, ": no set \"0\""},
        {{"--train", "5", fgs}, kToolFailure, ": no set \"5\""},
        {{"--train", "G\xFCter", fgs}, kToolFailure, ": no set \"G"},  // the file's bytes are no UTF-8
        {{"--train", "Leer", fgs}, kToolFailure, "train.fgs, set \"Leer\": the set has no cars to draw"},
        {{"--train", "1", Path("scenery.gs")}, kToolFailure, "scenery.gs: a scenery file has no sets"},
        {{"--train", "1", "--zoom", "0", fgs}, kToolUsageError, "--zoom takes a zoom from 1 to 16"},
        {{"--train", "1", "--zoom", "17", fgs}, kToolUsageError, "--zoom takes a zoom from 1 to 16"},
        {{"--zoom", "2", fgs}, kToolUsageError, "--zoom is for the train picture of --train SET"},
        {{fgs, "--train"}, kToolUsageError, "--train needs a set name or number"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "to-png");
        if (args.back() != "--train") {
            args.push_back(Path("out.png"));
        }
        EXPECT_EQ(Run(args), c.status) << c.message;
        const std::string err = err_.str();
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), c.status == kToolUsageError ? 2 : 1) << err;
        EXPECT_FALSE(fs::exists(Path("out.png"))) << c.message;
    }
}

// Zoom 2: the strip of 24 x 14 becomes 48 x 28; the two rows and the 4 rows between them, 64 high.
TEST_F(TrainPictureTest, PictureShowsBothDirectionsZoomedInTheNightColours) {
    ASSERT_EQ(Run({"to-png", "--train", "G\u00fcter", "--zoom", "2", "--night", "2", Path("train.fgs"),
                   Path("by-name.png")}),
              kToolSuccess)
        << err_.str();
    const QImage picture(QString::fromStdString(Path("by-name.png")));
    ASSERT_EQ(picture.format(), QImage::Format_Indexed8);
    ASSERT_EQ(picture.size(), QSize(48, 64));
    const ColourTable night = DayNightColourTable(2);
    const struct {
        int x, y;
        PaletteIndex index;
    } places[] = {
        // Forward: the long car's view 1 at x 0..31, the short car's at 32..47.
        {0, 0, 68},
        {1, 1, 68},
        {2, 0, 10},
        {30, 26, 72},
        {31, 27, 72},
        {29, 27, 10},
        {32, 0, 30},
        {47, 27, 30},
        // Between the rows.
        {0, 28, TransparentIndex},
        {20, 31, TransparentIndex},
        {47, 35, TransparentIndex},
        // Reverse: the short car's view 2 at x 0..15, the long car's at 16..47, both unmirrored.
        {0, 36, 40},
        {14, 62, 44},
        {15, 63, 44},
        {13, 63, 40},
        {16, 36, 61},
        {17, 37, 61},
        {18, 36, 20},
        {47, 63, 20},
    };
    for (const auto& p : places) {
        EXPECT_EQ(picture.pixelIndex(p.x, p.y), p.index) << p.x << ',' << p.y;
        const Rgb c = night[p.index].ToRgb();
        EXPECT_EQ(picture.pixel(p.x, p.y),
                  qRgba(c.red, c.green, c.blue, p.index == TransparentIndex ? 0 : 255))
            << p.x << ',' << p.y;
    }
    ASSERT_NE(night[10].ToRgb(), DayNightColourTable(0)[10].ToRgb());

    // The same set by its number, and to standard output; a set named "1" before the first set.
    const auto bytes = ReadBytes("by-name.png");
    ASSERT_EQ(Run({"to-png", "--night", "2", "--train", "2", "--zoom", "2", Path("train.fgs"), "-"}),
              kToolSuccess)
        << err_.str();
    EXPECT_TRUE(OutBytes() == bytes);
    ASSERT_EQ(Run({"to-png", "--train", "1", Path("train.fgs"), Path("one.png")}), kToolSuccess);
    ASSERT_EQ(Run({"to-png", "--train", "4", Path("train.fgs"), Path("four.png")}), kToolSuccess);
    EXPECT_TRUE(ReadBytes("one.png") == ReadBytes("four.png"));
    ASSERT_EQ(Run({"to-png", "--train", "Zug", Path("train.fgs"), Path("zug.png")}), kToolSuccess);
    EXPECT_EQ(QImage(QString::fromStdString(Path("zug.png"))).size(), QSize(8, 32));
}

}  // namespace
}  // namespace zobl

namespace zobl {
namespace {

TEST_F(ToolTest, ThumbnailsShowTheSymbolsOrTheCarsSideViewsSharpOrSmaller) {
    SceneryDocument scenery;
    scenery.SetPixel(10, 3, 5, 5, 23,
                     MouseMode::Freehand);  // symbol 10 sits in the second line of nine, second place
    scenery.SetPixel(10, 0, 5, 5, 44, MouseMode::Freehand);  // row 0 is absent: not shown
    SaveGsFile(Path("in.gs"), scenery);
    VehicleDocument vehicles;
    ASSERT_TRUE(vehicles.AddVehicleSet("A", MouseMode::Freehand));
    ASSERT_TRUE(vehicles.AddCar(0, 0, "Lok", "", "", 2, nullptr, MouseMode::Freehand));
    ASSERT_TRUE(vehicles.AddCar(0, 1, "Wagen", "", "", 1, nullptr, MouseMode::Freehand));
    ASSERT_TRUE(vehicles.AddVehicleSet("B", MouseMode::Freehand));
    ASSERT_TRUE(vehicles.AddCar(1, 0, "Tender", "", "", 1, nullptr, MouseMode::Freehand));
    vehicles.SetPixel(0, 1, 1, 3, 4, 44, false, MouseMode::Freehand);  // side view of the second car
    SaveFgsFile(Path("in.fgs"), vehicles);

    struct Case {
        const char* file;
        std::vector<std::string> size;
        QSize expected;
        QPoint probe;  // in the thumbnail
        QRgb colour;   // 0: transparent
    };
    const Case cases[] = {
        // 288 x 320 doubled in 640.
        {"in.gs", {"-s", "640"}, {576, 640}, {(32 + 5) * 2, (80 + 3 * 16 + 5) * 2}, qRgb(208, 40, 40)},
        {"in.gs", {"-s", "640"}, {576, 640}, {(32 + 5) * 2, (80 + 5) * 2}, 0},
        // The default size: smaller, the aspect kept.
        {"in.gs", {}, {115, 128}, {0, 0}, 0},
        // Cars 16 + 2 + 8 wide, a line of 16 per set: 26 x 32, doubled in 64.
        {"in.fgs", {"--size", "64"}, {52, 64}, {(16 + 2 + 3) * 2, 4 * 2}, qRgb(236, 40, 0)},
        {"in.fgs", {"--size", "64"}, {52, 64}, {16 * 2, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + (c.size.empty() ? "" : c.size[1]));
        std::vector<std::string> args = {"thumbnail"};
        args.insert(args.end(), c.size.begin(), c.size.end());
        args.insert(args.end(), {Path(c.file), Path("thumb.png")});
        ASSERT_EQ(Run(args), kToolSuccess) << err_.str();
        const QImage thumb(QString::fromStdString(Path("thumb.png")));
        ASSERT_EQ(thumb.size(), c.expected);
        const QRgb pixel = thumb.pixel(c.probe);
        if (c.colour == 0) {
            EXPECT_EQ(qAlpha(pixel), 0);
        } else {
            EXPECT_EQ(pixel, c.colour);
        }
    }
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"thumbnail", "-s", "0", Path("in.gs"), Path("x.png")},
          std::vector<std::string>{"thumbnail", "-s", "2000", Path("in.gs"), Path("x.png")},
          std::vector<std::string>{"thumbnail", "-s"},
          std::vector<std::string>{"thumbnail", Path("in.gs")}}) {
        EXPECT_EQ(Run(wrong), kToolUsageError) << wrong.back();
    }
}

}  // namespace
}  // namespace zobl
