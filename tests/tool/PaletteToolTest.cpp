// zobl-tool palette: the files parse back to the colours in palette order, with small readers of
// each format written here from the formats' descriptions.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/common/AtomicFile.h"
#include "core/palette/Palette.h"
#include "tool/ToolCommands.h"

namespace zobl {
namespace {

namespace fs = std::filesystem;

using Colours = std::vector<Rgb>;

std::vector<std::string> Lines(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at = text.find(end); at != std::string::npos; at = text.find(end, from)) {
        lines.push_back(text.substr(from, at - from));
        from = at + end.size();
    }
    EXPECT_EQ(from, text.size()) << "the last line has no line end";
    return lines;
}

Rgb ThreeNumbers(const std::string& line) {
    std::istringstream in(line);
    int r = -1, g = -1, b = -1;
    in >> r >> g >> b;
    EXPECT_TRUE(in && r >= 0 && r < 256 && g >= 0 && g < 256 && b >= 0 && b < 256) << line;
    return {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)};
}

// GIMP: magic line, "Name: ", "Columns: ", then comments, empty lines and "R G B name" lines.
Colours ReadGimp(const std::string& text, std::vector<std::string>* names = nullptr) {
    const auto lines = Lines(text, "\n");
    EXPECT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.at(0), "GIMP Palette");
    EXPECT_TRUE(lines.at(1).starts_with("Name: ")) << lines.at(1);
    EXPECT_TRUE(lines.at(2).starts_with("Columns: ")) << lines.at(2);
    Colours colours;
    for (std::size_t i = 3; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i].starts_with('#')) {
            continue;
        }
        colours.push_back(ThreeNumbers(lines[i]));
        const auto tab = lines[i].find('\t');
        if (names != nullptr) {
            names->push_back(tab == std::string::npos ? std::string() : lines[i].substr(tab + 1));
        }
    }
    return colours;
}

// JASC: magic, version, count, then "R G B" lines, every line ending in CR LF.
Colours ReadJasc(const std::string& text) {
    const auto lines = Lines(text, "\r\n");
    EXPECT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.at(0), "JASC-PAL");
    EXPECT_EQ(lines.at(1), "0100");
    EXPECT_EQ(std::to_string(lines.size() - 3), lines.at(2));
    Colours colours;
    for (std::size_t i = 3; i < lines.size(); ++i) {
        colours.push_back(ThreeNumbers(lines[i]));
    }
    return colours;
}

Colours ReadHex(const std::string& text) {
    Colours colours;
    for (const std::string& line : Lines(text, "\n")) {
        EXPECT_EQ(line.size(), 6u) << line;
        EXPECT_EQ(line.find_first_not_of("0123456789abcdef"), std::string::npos) << line;
        const unsigned long value = std::stoul(line, nullptr, 16);
        colours.push_back({std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)});
    }
    return colours;
}

// The swatch: pixel i at (i % 10, i / 10) holds index i; its colour is the entry.
Colours ReadSwatch(const std::string& bytes) {
    const QImage image = QImage::fromData(QByteArray(bytes.data(), qsizetype(bytes.size())), "PNG");
    EXPECT_EQ(image.size(), QSize(10, 10));
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    Colours colours;
    for (int i = 0; i < 100 && image.format() == QImage::Format_Indexed8; ++i) {
        EXPECT_EQ(image.pixelIndex(i % 10, i / 10), i);
        const QRgb c = image.color(image.pixelIndex(i % 10, i / 10));
        EXPECT_EQ(qAlpha(c), i == TransparentIndex ? 0 : 255) << i;
        colours.push_back({std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c))});
    }
    return colours;
}

class PaletteTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zobl_palette_test_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // Windows-1252 like the shipped file: "Grün" must arrive as UTF-8.
        std::ofstream(Path("lang.rtx"), std::ios::binary)
            << "[COLORS]\n5002=Gr\xFCn\n5056=Durchsichtig\n5097=Halbdurchsichtig\n5099=Hintergrund\n"
               "5200=Normal\n5204=Transparent\n5212=Halb\n5213=Grund\n[DATA]\n1071=Tagfarben\n"
               "1072=Nachtfarben %d\n";
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Read(const std::string& name) const {
        const auto bytes = ReadWholeFile(Path(name));
        return {bytes.begin(), bytes.end()};
    }
    int Run(std::vector<std::string> args) {
        out_.str({});
        err_.str({});
        args.insert(args.begin(), {"--lang", Path("lang.rtx"), "palette"});
        return RunTool(args, in_, out_, err_);
    }

    fs::path dir_;
    std::istringstream in_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(PaletteTool, EveryFormatParsesBackToTheColoursInPaletteOrder) {
    struct Case {
        const char* file;
        Colours (*read)(const std::string&);
    };
    const Case cases[] = {
        {"p.gpl", [](const std::string& t) { return ReadGimp(t); }},
        {"p.pal", ReadJasc},
        {"p.hex", ReadHex},
        {"p.png", ReadSwatch},
    };
    for (const int state : {0, 2}) {
        Colours expected;
        const ColourTable table = DayNightColourTable(state);
        for (int i = 0; i < kPaletteSize; ++i) {
            expected.push_back(state == 0 ? BaseColour(i) : table[std::size_t(i)].ToRgb());
        }
        for (const Case& c : cases) {
            std::vector<std::string> args = {Path(c.file)};
            if (state != 0) {
                args.insert(args.begin(), {"--night", std::to_string(state)});
            }
            ASSERT_EQ(Run(args), kToolSuccess) << err_.str();
            EXPECT_EQ(c.read(Read(c.file)), expected) << c.file << " state " << state;
        }
    }
    // The night really differs: white is grey at night.
    EXPECT_NE(DayNightColourTable(2)[15].ToRgb(), BaseColour(15));
}

TEST_F(PaletteTool, GimpFileHasItsHeaderAndNamesEveryColourInUtf8) {
    ASSERT_EQ(Run({"--night", "3", Path("p.gpl")}), kToolSuccess) << err_.str();
    const std::string text = Read("p.gpl");
    EXPECT_TRUE(text.starts_with("GIMP Palette\nName: Nachtfarben 3\nColumns: 10\n")) << text.substr(0, 60);
    std::vector<std::string> names;
    ASSERT_EQ(ReadGimp(text, &names).size(), 100u);
    const std::pair<int, std::string> expected[] = {
        {2, "Gr\xC3\xBCn Normal (2)"},
        {56, "Durchsichtig Transparent (56)"},
        {97, "Halbdurchsichtig Halb (97)"},
        {99, "Hintergrund Grund (99)"},
    };
    for (const auto& [index, name] : expected) {
        EXPECT_EQ(names[std::size_t(index)], name);
    }
    ASSERT_EQ(Run({Path("day.gpl")}), kToolSuccess);
    EXPECT_TRUE(Read("day.gpl").starts_with("GIMP Palette\nName: Tagfarben\n"));
}

TEST_F(PaletteTool, FormatComesFromTheOptionOrTheExtensionElseItIsAUsageError) {
    struct Case {
        std::vector<std::string> args;  // "@" stands for the file out.*
        const char* file;
        int status;
        const char* start;  // of what is written, to the file or standard output
    };
    const Case cases[] = {
        {{"@"}, "out.gpl", kToolSuccess, "GIMP Palette\n"},
        {{"@"}, "out.PAL", kToolSuccess, "JASC-PAL\r\n"},
        {{"@"}, "out.hex", kToolSuccess, "000000\n"},
        {{"@"}, "out.png", kToolSuccess, "\x89PNG"},
        {{"--format", "hex", "@"}, "out.gpl", kToolSuccess, "000000\n"},
        {{"--format", "pal", "-"}, "", kToolSuccess, "JASC-PAL\r\n"},
        {{"@"}, "out.txt", kToolUsageError, ""},
        {{"@"}, "out", kToolUsageError, ""},
        {{"@"}, ".gpl", kToolUsageError, ""},
        {{"-"}, "", kToolUsageError, ""},
        {{"--format", "bmp", "@"}, "out.gpl", kToolUsageError, ""},
        {{"--format"}, "", kToolUsageError, ""},
        {{"--night", "0", "@"}, "out.gpl", kToolUsageError, ""},
        {{"--night", "4", "@"}, "out.gpl", kToolUsageError, ""},
        {{"--night", "x", "@"}, "out.gpl", kToolUsageError, ""},
        {{"--dark", "@"}, "out.gpl", kToolUsageError, ""},
        {{"@", "@"}, "out.gpl", kToolUsageError, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        for (std::string& arg : args) {
            arg = arg == "@" ? Path(c.file) : arg;
        }
        const bool toFile = *c.file != 0;
        if (toFile) {
            fs::remove(Path(c.file));
        }
        EXPECT_EQ(Run(args), c.status) << c.args.front() << ' ' << c.file << ": " << err_.str();
        const std::string written = toFile && fs::exists(Path(c.file)) ? Read(c.file) : out_.str();
        EXPECT_TRUE(written.starts_with(c.start)) << c.file << ": " << written.substr(0, 20);
        if (c.status == kToolUsageError) {
            EXPECT_FALSE(toFile && fs::exists(Path(c.file))) << c.file;
            EXPECT_TRUE(out_.str().empty());
            EXPECT_NE(err_.str().find("zobl-tool: palette"), std::string::npos) << err_.str();
        }
    }
}

}  // namespace
}  // namespace zobl
