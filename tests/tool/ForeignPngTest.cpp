// PNGs of other programs: every colour type and depth, exact colours, refused and mapped ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/common/AtomicFile.h"
#include "core/palette/ColourMatch.h"
#include "core/scenery/GsFile.h"
#include "core/scenery/SceneryDocument.h"
#include "core/scenery/ScenerySheet.h"
#include "png/PngPicture.h"
#include "tool/PngTestWriter.h"
#include "tool/ToolCommands.h"

namespace zobl {
namespace {

namespace fs = std::filesystem;
using namespace scenery;
using test::PngLayout;
using test::SheetAsColours;
using test::WritePng;

class ForeignPngTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zobl_foreign_png_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(Path(name), std::ios::binary) << std::string(bytes.begin(), bytes.end());
    }
    int Run(const std::vector<std::string>& args) {
        err_.str({});
        std::istringstream in;
        std::ostringstream out;
        return RunTool(args, in, out, err_);
    }

    fs::path dir_;
    std::ostringstream err_;
};

// Absent rows hold nothing but 56, so that they come back absent; each colour is one only one
// palette index has (6 shares 56's, which a file without alpha gives as 56).
void FillScenery(SceneryDocument& doc) {
    doc.Initialise();
    for (int y = 0; y < kStoreHeight; ++y) {
        if (y / kCellHeight != kBaseRow) {
            std::fill_n(doc.PixelStoreForLoading().begin() + std::ptrdiff_t(StoreOffset(0, y)), kStoreWidth,
                        TransparentIndex);
        }
    }
    const PaletteIndex colours[] = {0, 8, 15, 29, 44, 51, 65, 98};
    for (int i = 0; i < 8; ++i) {
        doc.SetPixel(1, 2, i, i, colours[i], MouseMode::Freehand);
        doc.SetPixel(2, 4, 31 - i, 15 - i, colours[i], MouseMode::Freehand);
        doc.SetPixel(7, kBaseRow, 2 * i, 3, colours[i], MouseMode::Freehand);
    }
    ASSERT_EQ(doc.AddRow(1, 2, kAddRowCheckRules), 0);
    ASSERT_EQ(doc.AddRow(2, 4, kAddRowCheckRules), 0);
}

TEST_F(ForeignPngTest, PicturesOfEveryColourTypeAndDepthRead) {
    const auto picture = [](int type, int depth, std::vector<std::uint16_t> samples,
                            std::vector<std::uint8_t> palette = {}, std::vector<std::uint8_t> trns = {}) {
        const int width = int(samples.size()) / (type == 3 ? 1 : test::Channels(type));
        return PngLayout{width,           1,   type, depth, std::move(samples), std::move(palette),
                         std::move(trns), true};
    };
    const auto basePalette = [](int entries) {
        std::vector<std::uint8_t> palette;
        for (int i = 0; i < entries; ++i) {
            palette.insert(palette.end(), {BaseColour(i).red, BaseColour(i).green, BaseColour(i).blue});
        }
        return palette;
    };
    std::vector<std::uint8_t> ourTransparency(kPaletteSize, 255);
    ourTransparency[TransparentIndex] = 0;
    constexpr std::uint16_t k = 257;  // 8-bit value to 16 bits
    const struct {
        const char* what;
        PngLayout png;
        std::vector<PaletteIndex> expected;
        int unmatched = 0;
    } cases[] = {
        {"grey 1", picture(0, 1, {0, 1, 1, 0}), {0, 15, 15, 0}},
        {"grey 2: 85 and 170 are no palette greys", picture(0, 2, {0, 3, 1, 2}), {0, 15, 0, 0}, 2},
        {"grey 4, 5 transparent", picture(0, 4, {0, 15, 5, 0}, {}, {0, 5}), {0, 15, 56, 0}},
        {"grey 8, 7 transparent", picture(0, 8, {0, 255, 84, 7}, {}, {0, 7}), {0, 15, 8, 56}},
        {"grey 16", picture(0, 16, {0, 65535, 84 * k, 84 * k + 1}), {0, 15, 8, 0}, 1},
        {"grey and alpha 8", picture(4, 8, {84, 255, 3, 0, 84, 128, 255, 255}), {8, 56, 0, 15}, 1},
        {"grey and alpha 16",
         picture(4, 16, {84 * k, 65535, 3, 0, 84 * k, 65534, 65535, 65535}),
         {8, 56, 0, 15},
         1},
        {"RGB 8", picture(2, 8, {236, 40, 0, 0, 112, 0, 12, 44, 132, 1, 2, 3}), {44, 56, 29, 0}, 1},
        {"RGB 16",
         picture(2, 16, {236 * k, 40 * k, 0, 0, 112 * k, 0, 12 * k, 44 * k, 132 * k, 236 * k + 1, 40 * k, 0}),
         {44, 56, 29, 0},
         1},
        {"RGB 16, 1,2,3 transparent: 56's colour is 6",
         picture(2, 16, {236 * k, 40 * k, 0, 0, 112 * k, 0, 1 * k, 2 * k, 3 * k, 65535, 65535, 65535}, {},
                 {1, 1, 2, 2, 3, 3}),
         {44, 6, 56, 15}},
        {"RGBA 8",
         picture(6, 8, {236, 40, 0, 255, 9, 9, 9, 0, 236, 40, 0, 254, 0, 112, 0, 255}),
         {44, 56, 0, 6},
         1},
        {"RGBA 16",
         picture(6, 16,
                 {236 * k, 40 * k, 0, 65535, 9, 9, 9, 0, 236 * k, 40 * k, 0, 65534, 0, 112 * k, 0, 65535}),
         {44, 56, 0, 6},
         1},
        {"indexed 1", picture(3, 1, {0, 1, 1, 0}, basePalette(2)), {0, 1, 1, 0}},
        {"indexed 4", picture(3, 4, {15, 8, 3, 0}, basePalette(16)), {15, 8, 3, 0}},
        {"indexed 8 keeps special indices",
         picture(3, 8, {97, 99, 56, 61}, basePalette(100), ourTransparency),
         {97, 99, 56, 61}},
        {"indexed 2, another order",
         picture(3, 2, {0, 1, 2, 1}, {236, 40, 0, 0, 112, 0, 12, 44, 132}, {255, 0}),
         {44, 56, 29, 56}},
    };
    for (const auto& c : cases) {
        const ForeignPicture read = ReadPngPicture(WritePng(c.png), "x.png");
        const ColourMatch match = MatchPaletteColours(read, {});
        EXPECT_EQ(match.indices, c.expected) << c.what;
        EXPECT_EQ(match.unmatched, c.unmatched) << c.what;
    }
}

TEST_F(ForeignPngTest, ExactColourScenerySheetsRoundTripByteIdentical) {
    SceneryDocument doc;
    FillScenery(doc);
    const std::vector<std::uint8_t> gs = WriteGs(doc);
    const std::vector<std::uint8_t> sheet = SceneryToSheet(doc);
    const struct {
        const char* what;
        int type;
        int depth;
    } cases[] = {{"RGB 8", 2, 8},
                 {"RGB 16", 2, 16},
                 {"RGBA 8", 6, 8},
                 {"RGBA 16", 6, 16},
                 {"indexed, reordered", 3, 8}};
    for (const auto& c : cases) {
        Write("sheet.png", WritePng(SheetAsColours(sheet, kStoreWidth, kStoreHeight, c.type, c.depth)));
        ASSERT_EQ(Run({"from-png", Path("sheet.png"), Path("back.gs")}), kToolSuccess)
            << c.what << err_.str();
        EXPECT_EQ(err_.str(), "") << c.what;
        EXPECT_TRUE(ReadWholeFile(Path("back.gs")) == gs) << c.what;
    }
}

TEST_F(ForeignPngTest, OffPaletteAndNightPicturesAreRefusedUnlessMapped) {
    SceneryDocument doc;
    FillScenery(doc);
    const std::vector<std::uint8_t> sheet = SceneryToSheet(doc);
    const auto withRed = [&](int count) {
        PngLayout png = SheetAsColours(sheet, kStoreWidth, kStoreHeight, 2, 8);
        for (int i = 0; i < count; ++i) {  // base row of symbol 0, from (12, 3) on
            const std::size_t at = 3 * (std::size_t(51) * kStoreWidth + std::size_t(12 + i));
            png.samples[at] = 255, png.samples[at + 1] = 0, png.samples[at + 2] = 0;
        }
        return WritePng(png);
    };
    Write("one.png", withRed(1));
    Write("many.png", withRed(17));
    Write("in.gs", WriteGs(doc));
    // Index 68 is lit in night states 1 and 2, 72 in state 1 only: the state shows.
    doc.SetPixel(9, kBaseRow, 0, 0, 68, MouseMode::Freehand);
    doc.SetPixel(9, kBaseRow, 1, 0, 72, MouseMode::Freehand);
    Write("lit.gs", WriteGs(doc));
    ASSERT_EQ(Run({"to-png", "--night", "2", Path("lit.gs"), Path("night.png")}), kToolSuccess) << err_.str();

    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{"from-png", Path("one.png"), Path("out.gs")},
         kToolFailure,
         "one.png: 1 pixel has no palette colour, the first at 12,51; use --nearest to map them"},
        {{"from-png", Path("many.png"), Path("out.gs")},
         kToolFailure,
         "many.png: 17 pixels have no palette colour, the first at 12,51; use --nearest to map them"},
        {{"from-png", Path("night.png"), Path("out.gs")},
         kToolFailure,
         "night.png: a night picture (state 2) is for looking at; export without --night to read it back"},
        {{"from-png", "--nearest", Path("one.png"), Path("out.gs")},
         kToolSuccess,
         "one.png: 1 pixel mapped to the nearest palette colour"},
        {{"from-png", Path("many.png"), "--nearest", Path("out.gs")},
         kToolSuccess,
         "many.png: 17 pixels mapped to the nearest palette colour"},
    };
    for (const auto& c : cases) {
        fs::remove(Path("out.gs"));
        EXPECT_EQ(Run(c.args), c.status) << c.err;
        EXPECT_EQ(err_.str(), "zobl-tool: " + c.err + "\n");
        EXPECT_EQ(fs::exists(Path("out.gs")), c.status == kToolSuccess) << c.err;
    }
    // The last mapping: 255,0,0 is nearest to 44's 236,40,0; nothing else changed.
    SceneryDocument back;
    ReadGsFile(Path("out.gs"), back);
    for (int x = 0; x < kCellWidth; ++x) {
        EXPECT_EQ(back.GetPixel(0, kBaseRow, x, 3), x >= 12 && x < 29 ? 44 : doc.GetPixel(0, kBaseRow, x, 3))
            << x;
    }

    for (const char* night : {"0", "4", "x", "12"}) {
        EXPECT_EQ(Run({"to-png", "--night", night, Path("in.gs"), Path("n.png")}), kToolUsageError) << night;
    }
    EXPECT_EQ(Run({"to-png", Path("in.gs"), Path("n.png"), "--night"}), kToolUsageError);
    EXPECT_FALSE(fs::exists(Path("n.png")));
}

// The file that started it: a sheet made RGB by ImageMagick comes back with its transparency.
TEST_F(ForeignPngTest, ImageMagickTrueColourCopyOfTheSampleReadsBack) {
    if (std::system("convert -version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    SceneryDocument sample;
    ReadGsFile(ZOBL_SAMPLE_GS, sample);
    ASSERT_EQ(Run({"to-png", ZOBL_SAMPLE_GS, Path("sample.png")}), kToolSuccess) << err_.str();
    for (const std::string target : {"truecolor.png", "PNG24:rgb.png"}) {
        const std::string file = target.substr(target.find(':') + 1);
        const std::string command = "convert '" + Path("sample.png") + "' -type TrueColor '" +
                                    target.substr(0, target.find(':') + 1) + Path(file) + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        ASSERT_EQ(Run({"from-png", Path(file), Path("back.gs")}), kToolSuccess) << err_.str();
        SceneryDocument back;
        ReadGsFile(Path("back.gs"), back);
        int differentColours = 0;
        for (std::size_t i = 0; i < kStoreSize; ++i) {
            const int was = sample.PixelStore()[i];
            const int now = back.PixelStore()[i];
            if (was == TransparentIndex) {
                EXPECT_EQ(now, TransparentIndex) << file << " at " << i;
            }
            differentColours += BaseColour(was) != BaseColour(now);
        }
        EXPECT_EQ(differentColours, 0) << file;
    }
}

}  // namespace
}  // namespace zobl
