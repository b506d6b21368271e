#include "core/vehicles/VehicleExport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"
#include "core/common/TestTempFolder.h"
#include "core/lang/LanguageManager.h"
#include "core/vehicles/SteamProperties.h"
#include "core/vehicles/VehicleDocument.h"
#include "core/vehicles/VehicleTestSupport.h"

namespace zobl {
namespace {

using namespace vehicles;
using test::FgsBytes;
using test::kFreehand;

std::uint8_t Sim(PaletteIndex index) {
    std::uint8_t byte = index;
    IndexToSimCode(byte);
    return byte;
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count) {
    return {bytes.begin() + std::ptrdiff_t(from), bytes.begin() + std::ptrdiff_t(from + count)};
}

int U16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8);
}

// Position of set block s, from the offset in its table entry.
std::size_t BlockStart(const std::vector<std::uint8_t>& bytes, std::size_t tableStart, std::size_t s) {
    const std::size_t field = tableStart + 6 * s + 2;
    const std::uint32_t offset = bytes[field] | (bytes[field + 1] << 8) | (bytes[field + 2] << 16) |
                                 (std::uint32_t(bytes[field + 3]) << 24);
    return field + 4 + offset;
}

constexpr std::size_t kUfgTable = 44 + 1 + 5;
constexpr std::size_t kUzzTable = 44 + 1 + 3;

class VehicleExportTest : public ::testing::Test {
protected:
    void AddCar(int set, const std::string& name, int length) {
        ASSERT_EQ(doc.NewCar(set, name, length, kFreehand), 0);
    }
    VehicleDocument doc;
};

TEST_F(VehicleExportTest, OneCarOfLengthOne) {
    ASSERT_TRUE(doc.AddVehicleSet("S", kFreehand));
    AddCar(0, "C", 1);
    ASSERT_TRUE(doc.SetSteamValue(0, 0, 2, 0, steam::kHalf, kFreehand));
    ASSERT_TRUE(doc.SetSteamValue(0, 0, 0, 0, steam::kWhole, kFreehand));
    ASSERT_TRUE(doc.SetPixel(0, 0, 2, 3, 0, 7, false, kFreehand));   // top row of view 2
    ASSERT_TRUE(doc.SetPixel(0, 0, 3, 5, 3, 9, false, kFreehand));   // bottom row of view 3
    ASSERT_TRUE(doc.SetPixel(0, 0, 1, 7, 13, 4, false, kFreehand));  // last pixel of view 1

    const auto ufg = UfgWriter(doc, "Kopf");
    ASSERT_TRUE(ufg);
    FgsBytes expected;
    expected.Text("TRAK User Graphics File (rolling stock file)").U8(0x1A);
    expected.U8(0x46).U8(0x5A).U8(0xC7).U8(0x35).U8(0x09);
    expected.U16(64000).U32(2).U16(0);  // a single entry: the end word lies before the block
    expected.U16(64000).U16(0x8002).U16(2).U16(1).U16(5).Text("Kopf").U8(0);
    expected.U8(1).U8(0x80).U8(0).U8(1).U8(1 | 0x40);
    const std::size_t tiles = expected.bytes.size();
    ASSERT_EQ(ufg->size(), tiles + 224 + 64);
    EXPECT_EQ(Slice(*ufg, 0, tiles), expected.bytes);
    // Horizontal tiles from the top row; vertical tiles as stored, bottom row first.
    EXPECT_EQ((*ufg)[tiles + 3], Sim(7));
    EXPECT_EQ((*ufg)[tiles + 112 + 111], Sim(4));
    EXPECT_EQ((*ufg)[tiles + 224 + 5], Sim(9));
    EXPECT_EQ((*ufg)[tiles], 255);  // transparent
    EXPECT_EQ(std::count(ufg->begin() + std::ptrdiff_t(tiles), ufg->end(), 255), 288 - 3);
}

TEST_F(VehicleExportTest, TileReferencesOfTwoCars) {
    ASSERT_TRUE(doc.AddVehicleSet("S", kFreehand));
    AddCar(0, "A", 2);
    AddCar(0, "B", 1);
    // Steam of segment 1 of view 3 goes on the second reference of the view 3 list.
    ASSERT_TRUE(doc.SetSteamValue(0, 0, 3, 1, steam::kHalf, kFreehand));
    // Pixels that show which tile a reference lands on: band 0 (top) of each view of car A.
    ASSERT_TRUE(doc.SetPixel(0, 0, 1, 0, 0, 1, false, kFreehand));
    ASSERT_TRUE(doc.SetPixel(0, 0, 2, 0, 0, 2, false, kFreehand));
    ASSERT_TRUE(doc.SetPixel(0, 0, 3, 0, 0, 3, false, kFreehand));
    ASSERT_TRUE(doc.SetPixel(0, 0, 0, 0, 0, 4, false, kFreehand));

    const auto ufg = UfgWriter(doc, "");
    ASSERT_TRUE(ufg);
    const std::size_t block = BlockStart(*ufg, kUfgTable, 0);
    EXPECT_EQ(U16At(*ufg, block + 2), 0x8006);
    EXPECT_EQ(U16At(*ufg, block + 8), 9 + 5);
    const std::size_t refs = block + 10 + 1;  // after the empty header text
    EXPECT_EQ(Slice(*ufg, refs, 9), (std::vector<std::uint8_t>{2, 1, 0, 1, 0 | 0x80, 2, 3, 2, 3}));
    EXPECT_EQ(Slice(*ufg, refs + 9, 5), (std::vector<std::uint8_t>{1, 4, 4, 5, 5}));

    // Horizontal tile t and vertical tile t of the set, as the lists name them.
    const std::size_t horizontal = refs + 14;
    const std::size_t vertical = horizontal + 112 * 6;
    const auto hasPixel = [&](std::size_t tileStart, std::size_t size, PaletteIndex value) {
        return std::find(ufg->begin() + std::ptrdiff_t(tileStart),
                         ufg->begin() + std::ptrdiff_t(tileStart + size),
                         Sim(value)) != ufg->begin() + std::ptrdiff_t(tileStart + size);
    };
    // View 1 band 0 = segment 0, named by the first entry (2) of the view 1 list.
    EXPECT_TRUE(hasPixel(horizontal + 112 * 2, 112, 1));
    // View 2 band 0 = segment 1, the second entry (0) of the view 2 list.
    EXPECT_TRUE(hasPixel(horizontal + 112 * 0, 112, 2));
    // View 3 band 0 = segment 0, the first entry (1) of the view 3 list.
    EXPECT_TRUE(hasPixel(vertical + 32 * 1, 32, 3));
    // View 0 band 0 = segment 1, the second entry (3) of the view 0 list.
    EXPECT_TRUE(hasPixel(vertical + 32 * 3, 32, 4));
}

TEST_F(VehicleExportTest, TextFileAndEmptyTexts) {
    ASSERT_TRUE(doc.AddVehicleSet("Satz \xC4", kFreehand));  // Windows-1252 A umlaut
    AddCar(0, "Lok", 1);
    AddCar(0, "W", 1);
    ASSERT_TRUE(doc.SetCarTexts(0, 1, "W", "zwei", "", nullptr, kFreehand));
    ASSERT_TRUE(doc.SetCarFlags(0, 1, 0x12345, nullptr, kFreehand));

    const auto uzz = UzzWriter(doc);
    ASSERT_TRUE(uzz);
    FgsBytes expected;
    expected.Text("TRAK User Graphics File (rolling stock file)").U8(0x1A).U8(0x5A).U8(0xC7).U8(0x47);
    expected.U16(50000).U32(2).U16(0);
    // Block size: 1 + (3 + 1 + 1 + 3 + 16) + (1 + 4 + 1 + 3 + 16).
    expected.U16(50000).U16(0x8000).U16(1 + 24 + 25).U16(2);
    expected.Field("Satz \x8E", 22).U16(1).U16(64000);  // code page 850
    expected.Text("Lok").U8(0).Text(" ").U8(0).Text(" ").U8(0);
    expected.Text("W").U8(0).Text("zwei").U8(0).Text(" ").U8(0).U8(0);
    expected.U16(1).U16(0).U16(0).U16(64000).U16(0).U16(1).U16(2).U16(0xFFFF);
    expected.U16(1).U16(0x2345).U16(0).U16(64001).U16(3).U16(4).U16(5).U16(0xFFFF);
    expected.U16(0);
    EXPECT_EQ(*uzz, expected.bytes);
}

// Windows-1252 texts with characters code page 850 lacks: named before the export writes '?'.
TEST_F(VehicleExportTest, TextsThatLoseCharactersAreNamed) {
    ASSERT_TRUE(doc.AddVehicleSet("Euro \x80", kFreehand));  // €
    AddCar(0, "Lok", 1);
    AddCar(0, "Wagen", 1);
    ASSERT_TRUE(doc.SetCarTexts(0, 1, "Wagen",
                                "1\x96"
                                "2",
                                "\x80 \x96", nullptr, kFreehand));  // – and €
    ASSERT_TRUE(doc.AddVehicleSet("leer \x80", kFreehand));         // not exported
    ASSERT_TRUE(doc.AddVehicleSet("\xC4rger", kFreehand));          // Ä is in both pages
    AddCar(2, "\x84Zug\x93", 1);                                    // „ “
    const std::vector<ExportTextLoss> expected = {
        {0, -1, "Euro \xE2\x82\xAC", "\xE2\x82\xAC"},
        {0, 1, "Wagen", "\xE2\x80\x93\xE2\x82\xAC"},
        {2, 0, "\xE2\x80\x9EZug\xE2\x80\x9C", "\xE2\x80\x9E\xE2\x80\x9C"},
    };
    EXPECT_EQ(ExportTextLosses(doc), expected);
    // They are what the text file holds as '?'.
    const auto uzz = UzzWriter(doc);
    ASSERT_TRUE(uzz);
    const std::string text(uzz->begin(), uzz->end());
    EXPECT_NE(text.find("Euro ?"), std::string::npos);
    EXPECT_NE(text.find(std::string("1?2\0? ?", 8)), std::string::npos);
}

TEST_F(VehicleExportTest, OnlySetsWithCarsAreExported) {
    ASSERT_TRUE(doc.AddVehicleSet("leer", kFreehand));
    ASSERT_TRUE(doc.AddVehicleSet("eins", kFreehand));
    ASSERT_TRUE(doc.AddVehicleSet("zwei", kFreehand));
    EXPECT_FALSE(UfgWriter(doc, ""));
    EXPECT_FALSE(UzzWriter(doc));
    AddCar(1, "a", 1);
    AddCar(2, "b", 2);
    EXPECT_EQ(ExportedSets(doc), (std::vector<int>{1, 2}));

    std::vector<int> progress;
    const auto ufg =
        UfgWriter(doc, "", vehicle_export::kFileHeaderText, [&](int p) { progress.push_back(p); });
    const auto uzz = UzzWriter(doc);
    ASSERT_TRUE(ufg && uzz);
    EXPECT_EQ(progress, (std::vector<int>{0, 50}));
    EXPECT_EQ(U16At(*ufg, kUfgTable), 64000);
    EXPECT_EQ(U16At(*ufg, kUfgTable + 6), 64016);
    EXPECT_EQ(U16At(*ufg, kUfgTable + 12), 0);
    // The last set with cars is there, numbered 1 among the exported sets.
    const std::size_t second = BlockStart(*ufg, kUfgTable, 1);
    EXPECT_EQ(U16At(*ufg, second), 64016);
    EXPECT_EQ(U16At(*ufg, second + 4), 4);
    EXPECT_EQ(U16At(*ufg, BlockStart(*ufg, kUfgTable, 0) + 4), 2);
    const std::size_t text = BlockStart(*uzz, kUzzTable, 1);
    EXPECT_EQ(U16At(*uzz, text), 50001);
    EXPECT_EQ(std::string(uzz->begin() + std::ptrdiff_t(text + 8), uzz->begin() + std::ptrdiff_t(text + 12)),
              "zwei");
    EXPECT_EQ(U16At(*uzz, text + 32), 64016);
}

TEST_F(VehicleExportTest, PixelCheckNamesTheFirstHit) {
    test::TempFolder folder;
    // The texts are the translator's: a pattern asking for more than three numbers, or for a
    // string, must not read what is not there.
    {
        std::ofstream(folder.File("lang.rtx")) << "[DATA]\n1023=Halb: Grp=%d Car=%d Idx=%d\n"
                                                  "1024=Hintergrund %2d/%d/%d %d%s %n\n";
    }
    const CLanguageManager language(folder.File("lang.rtx"));
    ASSERT_TRUE(doc.AddVehicleSet("A", kFreehand));
    ASSERT_TRUE(doc.AddVehicleSet("B", kFreehand));
    AddCar(0, "a", 1);
    for (int c = 0; c < 3; ++c) {
        AddCar(1, "b", 1);
    }
    EXPECT_FALSE(CheckVehicleExport(doc));
    ASSERT_TRUE(doc.SetPixel(1, 2, 1, 0, 0, BackgroundIndex, false, kFreehand));
    ASSERT_TRUE(doc.SetPixel(1, 2, 0, 0, 0, HalfTransparentIndex, false, kFreehand));
    auto problem = CheckVehicleExport(doc);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->kind, ExportProblemKind::HalfTransparent);
    EXPECT_EQ(ExportProblemText(*problem, language), "Halb: Grp=1 Car=2 Idx=0");
    ASSERT_TRUE(doc.SetPixel(1, 2, 0, 0, 0, 1, false, kFreehand));
    problem = CheckVehicleExport(doc);
    ASSERT_TRUE(problem);
    EXPECT_EQ(ExportProblemText(*problem, language), "Hintergrund  1/2/1  %n");
}

TEST(VehicleExportHeader, PatternIsFilledSafely) {
    const ExportTime time{5, 3, 2024, 7, 8, 9};
    EXPECT_EQ(FormatExportHeader("%s/%s%s %02d.%02d.%04d %2d:%02d:%02d", time),
              "ZOBL_Graphic_Editor/unknown\\PC_Win 05.03.2024  7:08:09");
    EXPECT_EQ(FormatExportHeader("100%% %-5.3s| %x %X %c", {}), "100% ZOB  | unknown \\PC_Win \x01");
    // Hostile patterns: no conversions beyond the arguments, no huge widths, nothing unknown.
    EXPECT_EQ(FormatExportHeader("%s%s%s%d%d%d%d%d%d%d%s|", time),
              "ZOBL_Graphic_Editorunknown\\PC_Win532024789|");
    EXPECT_EQ(FormatExportHeader("%999999999d", time).size(), 64u);
    EXPECT_EQ(FormatExportHeader("%n%p%", time), "%n%p%");
    EXPECT_EQ(FormatExportHeader("%ld %lld", time), "ZOBL_Graphic_Editor unknown");
}

TEST(VehicleExportHeader, TimeFromSourceDateEpoch) {
    const char* saved = std::getenv("SOURCE_DATE_EPOCH");
    const std::string savedValue = saved ? saved : "";
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    EXPECT_EQ(ExportTimeNow(), (ExportTime{14, 11, 2023, 22, 13, 20}));
    ::setenv("SOURCE_DATE_EPOCH", "0", 1);
    EXPECT_EQ(ExportTimeNow(), (ExportTime{1, 1, 1970, 0, 0, 0}));
    ::setenv("SOURCE_DATE_EPOCH", "soon", 1);
    EXPECT_GT(ExportTimeNow().year, 2020);
    if (saved) {
        ::setenv("SOURCE_DATE_EPOCH", savedValue.c_str(), 1);
    } else {
        ::unsetenv("SOURCE_DATE_EPOCH");
    }
}

TEST_F(VehicleExportTest, FilesAreWrittenAsAPair) {
    test::TempFolder folder;
    { std::ofstream(folder.File("lang.rtx")) << "[DATA]\n1022=%s%.0s%.0s %02d.%02d.%04d\n"; }
    const CLanguageManager language(folder.File("lang.rtx"));
    const ExportTime time{1, 2, 2003, 4, 5, 6};
    const std::string base = folder.File("zug");

    // No set with cars: error 3 with the base name, nothing written.
    try {
        ExportVehicleFiles(base, doc, language, time);
        ADD_FAILURE() << "no error";
    } catch (const MessageError& error) {
        EXPECT_EQ(error.Number(), message::kCannotCreateFile);
        EXPECT_EQ(error.Argument(), "zug");
    }
    EXPECT_FALSE(std::filesystem::exists(base + ".UFG"));
    EXPECT_FALSE(std::filesystem::exists(base + ".UZZ"));

    ASSERT_TRUE(doc.AddVehicleSet("S", kFreehand));
    AddCar(0, "C", 1);
    ExportVehicleFiles(base, doc, language, time);
    const auto ufg = ReadWholeFile(base + ".UFG");
    EXPECT_EQ(ufg, *UfgWriter(doc, "ZOBL_Graphic_Editor 01.02.2003"));
    EXPECT_EQ(ReadWholeFile(base + ".UZZ"), *UzzWriter(doc));

    // When the second file cannot be written, the first is left as it was.
    AddCar(0, "D", 1);
    std::filesystem::remove(base + ".UZZ");
    std::filesystem::create_directory(base + ".UZZ");
    EXPECT_THROW(ExportVehicleFiles(base, doc, language, time), MessageError);
    EXPECT_EQ(ReadWholeFile(base + ".UFG"), ufg);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 3u);  // language file, .UFG, the folder: no temporary files left
}

TEST_F(VehicleExportTest, OverlongSetIsNotExported) {
    VehicleContent content;
    content.sets[0].name.Assign("S");
    content.sets[0].carCount = 2;
    for (int c = 0; c < 2; ++c) {
        Car& car = content.sets[0].cars[std::size_t(c)];
        car.name.Assign("x");
        car.length = 16 + c;
        car.AllocatePlanes();
    }
    doc.ReplaceContent(std::move(content));
    const auto problem = CheckVehicleExport(doc);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->kind, ExportProblemKind::SetTooLong);
    EXPECT_FALSE(UfgWriter(doc, ""));
    test::TempFolder folder;
    const CLanguageManager language(folder.File("none.rtx"));
    EXPECT_THROW(ExportVehicleFiles(folder.File("x"), doc, language, {}), MessageError);
    EXPECT_FALSE(std::filesystem::exists(folder.File("x.UFG")));
}

}  // namespace
}  // namespace zobl
