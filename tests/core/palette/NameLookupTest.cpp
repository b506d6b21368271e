#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/lang/LanguageManager.h"
#include "core/palette/Palette.h"

namespace zobl {
namespace {

namespace fs = std::filesystem;

// A language file of our own, written as Windows-1252 bytes into a private folder.
class ColourNames : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("zobl_palette_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string Write(const std::string& bytes) {
        const fs::path file = folder_ / "colours.rtx";
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }

    fs::path folder_;
};

TEST_F(ColourNames, DescribesIndexAndKind) {
    const std::string path =
        Write("[COLORS]\r\n5000=Black\r\n5015=White\r\n5056=Transparent\r\n5200=normal\r\n5204=special\r\n");
    const CLanguageManager language(path);
    EXPECT_EQ(DescribeColour(language, 15), "White normal (15)");
    EXPECT_EQ(DescribeColour(language, 56), "Transparent special (56)");
    EXPECT_EQ(DescribeColour(language, 150), "Black normal (0)");
    EXPECT_EQ(DescribeColour(language, -1), "Black normal (0)");
    EXPECT_EQ(ColourName(language, 15), "White");
    EXPECT_EQ(ColourKindName(language, 56), "special");
    // Missing texts show the lookup's marker rather than nothing.
    EXPECT_EQ(DescribeColour(language, 1), "__RTX__ normal (1)");
}

TEST_F(ColourNames, LongNamesAreCutWithoutSplittingCharacters) {
    const std::string longName(150, 'x');
    // 99 ASCII characters, then e-acute (0xE9 in the file, two bytes in UTF-8), then more.
    const std::string accented = std::string(99, 'a') + "\xE9" + "bbbb";
    const std::string path =
        Write("[COLORS]\n5000=" + longName + "\n5001=" + accented + "\n5200=" + longName + "\n");
    const CLanguageManager language(path);
    const std::string cut(100, 'x');
    EXPECT_EQ(DescribeColour(language, 0), cut + " " + cut + " (0)");
    EXPECT_EQ(ColourName(language, 1), std::string(99, 'a') + "\xC3\xA9");
}

}  // namespace
}  // namespace zobl
