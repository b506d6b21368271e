// zobl-tool palette: the files parse back to the colours in palette order, read by small readers
// written here from the formats' descriptions.
#include <gtest/gtest.h>

#include <QImage>

#include <fstream>
#include <sstream>

#include "core/common/AtomicFile.h"
#include "core/common/TestTempFolder.h"
#include "core/palette/Palette.h"
#include "tool/ToolCommands.h"

namespace zobl {
namespace {

using Colours = std::vector<Rgb>;

// The lines of text, each of which must end in end.
std::vector<std::string> Lines(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(end, from)) != std::string::npos; from = at + end.size()) {
        lines.push_back(text.substr(from, at - from));
    }
    EXPECT_EQ(from, text.size()) << "the last line has no line end";
    return lines;
}

// "R G B ..." from the lines after skip, comments and empty lines left out.
Colours Numbers(const std::vector<std::string>& lines, std::size_t skip) {
    Colours colours;
    for (std::size_t i = skip; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i].starts_with('#')) {
            continue;
        }
        unsigned r = 256, g = 256, b = 256;
        std::istringstream(lines[i]) >> r >> g >> b;
        EXPECT_TRUE(r < 256 && g < 256 && b < 256) << lines[i];
        colours.push_back({std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
    }
    return colours;
}

Colours ReadGimp(const std::string& text) {
    const auto lines = Lines(text, "\n");
    EXPECT_TRUE(lines.size() > 3 && lines[0] == "GIMP Palette" && lines[1].starts_with("Name: ") &&
                lines[2].starts_with("Columns: "));
    return Numbers(lines, 3);
}

Colours ReadJasc(const std::string& text) {
    const auto lines = Lines(text, "\r\n");
    EXPECT_TRUE(lines.size() > 3 && lines[0] == "JASC-PAL" && lines[1] == "0100" &&
                lines[2] == std::to_string(lines.size() - 3));
    return Numbers(lines, 3);
}

Colours ReadHex(const std::string& text) {
    Colours colours;
    for (const std::string& line : Lines(text, "\n")) {
        EXPECT_TRUE(line.size() == 6 && line.find_first_not_of("0123456789abcdef") == std::string::npos)
            << line;
        const unsigned long value = std::stoul(line, nullptr, 16);
        colours.push_back({std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)});
    }
    return colours;
}

// Pixel i at (i % 10, i / 10) holds index i; the transparent entry has alpha 0.
Colours ReadSwatch(const std::string& bytes) {
    const QImage image = QImage::fromData(QByteArray(bytes.data(), qsizetype(bytes.size())), "PNG");
    EXPECT_TRUE(image.size() == QSize(10, 10) && image.format() == QImage::Format_Indexed8);
    Colours colours;
    for (int i = 0; i < 100 && image.size() == QSize(10, 10); ++i) {
        EXPECT_EQ(image.pixelIndex(i % 10, i / 10), i);
        const QRgb c = image.color(image.pixelIndex(i % 10, i / 10));
        EXPECT_EQ(qAlpha(c), i == TransparentIndex ? 0 : 255) << i;
        colours.push_back({std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c))});
    }
    return colours;
}

class PaletteTool : public ::testing::Test {
protected:
    PaletteTool() {
        // Windows-1252 like the shipped file: "Grün" must arrive as UTF-8.
        std::ofstream(folder_.File("lang.rtx"), std::ios::binary)
            << "[COLORS]\n5002=Gr\xFCn\n5056=Durchsichtig\n5097=Halbdurchsichtig\n5099=Hintergrund\n"
               "5200=Normal\n5204=Transparent\n5212=Halb\n5213=Grund\n[DATA]\n1071=Tagfarben\n"
               "1072=Nachtfarben %d\n";
    }
    std::string Read(const std::string& name) const {
        const auto bytes = ReadWholeFile(folder_.File(name));
        return {bytes.begin(), bytes.end()};
    }
    // "@" in args stands for the file name.
    int Run(std::vector<std::string> args, const std::string& name = {}) {
        out_.str({});
        err_.str({});
        for (std::string& arg : args) {
            arg = arg == "@" ? folder_.File(name) : arg;
        }
        args.insert(args.begin(), {"--lang", folder_.File("lang.rtx"), "palette"});
        return RunTool(args, in_, out_, err_);
    }

    test::TempFolder folder_;
    std::istringstream in_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(PaletteTool, EveryFormatParsesBackToTheColoursInPaletteOrder) {
    const std::pair<const char*, Colours (*)(const std::string&)> formats[] = {
        {"p.gpl", ReadGimp}, {"p.pal", ReadJasc}, {"p.hex", ReadHex}, {"p.png", ReadSwatch}};
    for (const int state : {0, 2}) {
        Colours expected;
        for (int i = 0; i < kPaletteSize; ++i) {
            expected.push_back(state == 0 ? BaseColour(i)
                                          : DayNightColourTable(state)[std::size_t(i)].ToRgb());
        }
        ASSERT_EQ(expected[15] == BaseColour(15), state == 0) << "white is grey at night";
        for (const auto& [file, read] : formats) {
            ASSERT_EQ(Run(state == 0 ? std::vector<std::string>{"@"}
                                     : std::vector<std::string>{"--night", "2", "@"},
                          file),
                      kToolSuccess)
                << err_.str();
            EXPECT_EQ(read(Read(file)), expected) << file << " state " << state;
        }
    }
}

TEST_F(PaletteTool, GimpFileNamesItselfAndEveryColourInUtf8) {
    ASSERT_EQ(Run({"--night", "3", "@"}, "p.gpl"), kToolSuccess) << err_.str();
    const auto lines = Lines(Read("p.gpl"), "\n");
    ASSERT_EQ(lines.size(), 104u);
    EXPECT_EQ(lines[1], "Name: Nachtfarben 3");
    EXPECT_EQ(lines[2], "Columns: 10");
    const std::pair<int, std::string> names[] = {{2, "\tGr\xC3\xBCn Normal (2)"},
                                                 {56, "\tDurchsichtig Transparent (56)"},
                                                 {97, "\tHalbdurchsichtig Halb (97)"},
                                                 {99, "\tHintergrund Grund (99)"}};
    for (const auto& [index, name] : names) {
        EXPECT_TRUE(lines[std::size_t(index) + 4].ends_with(name)) << lines[std::size_t(index) + 4];
    }
    ASSERT_EQ(Run({"@"}, "day.gpl"), kToolSuccess);
    EXPECT_EQ(Lines(Read("day.gpl"), "\n")[1], "Name: Tagfarben");
}

TEST_F(PaletteTool, FormatComesFromTheOptionOrTheExtensionElseItIsAUsageError) {
    struct Case {
        std::vector<std::string> args;
        const char* file;
        int status;
        const char* start;  // of what is written, to the file or to standard output
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
        {{"--dark", "@"}, "out.gpl", kToolUsageError, ""},
        {{"@", "@"}, "out.gpl", kToolUsageError, ""},
    };
    for (const Case& c : cases) {
        const std::string path = *c.file != 0 ? folder_.File(c.file) : std::string();
        std::filesystem::remove(path.empty() ? folder_.File("none") : path);
        EXPECT_EQ(Run(c.args, c.file), c.status) << c.args.front() << ' ' << c.file << ": " << err_.str();
        const std::string written = std::filesystem::exists(path) ? Read(c.file) : out_.str();
        EXPECT_TRUE(written.starts_with(c.start)) << c.file << ": " << written.substr(0, 20);
        if (c.status == kToolUsageError) {
            EXPECT_TRUE(written.empty()) << c.file;
            EXPECT_TRUE(err_.str().starts_with("zobl-tool: palette")) << err_.str();
        }
    }
}

}  // namespace
}  // namespace zobl
