#include "core/scenery/GsFile.h"

#include <gtest/gtest.h>

#include "core/common/MessageError.h"
#include "core/common/TestTempFolder.h"
#include "core/scenery/GsTestFiles.h"
#include "core/scenery/SceneryDocument.h"

namespace zobl {
namespace {

using namespace scenery;
using test::FileBytes;
using test::RecordBytes;

const std::string kPath = "/some folder/graphics.gs";
const std::string kFileName = "graphics.gs";
constexpr MouseMode kMouseMode = MouseMode::Rectangle;

// Number and argument of the MessageError ReadGs throws; number 0 when it succeeds.
std::pair<int, std::string> ReadError(const std::vector<std::uint8_t>& bytes, SceneryDocument& doc,
                                      std::size_t length = SIZE_MAX) {
    try {
        ReadGs(std::span(bytes).first(std::min(length, bytes.size())), kPath, doc);
    } catch (const MessageError& error) {
        return {error.Number(), error.Argument()};
    }
    return {0, {}};
}

// Everything a read may change.
struct DocState {
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> display;
    std::vector<SymbolRecord> records;
    std::string author;
    std::string infoText;
    bool modified = false;
    int undoCount = 0;

    static DocState Of(const SceneryDocument& doc) {
        DocState state{{doc.PixelStore().begin(), doc.PixelStore().end()},
                       {doc.DisplayPixels().begin(), doc.DisplayPixels().end()},
                       {},
                       doc.Author(),
                       doc.InfoText(),
                       doc.IsModified(),
                       doc.UndoCount()};
        for (int s = 0; s < kSymbolCount; ++s) {
            state.records.push_back(doc.Record(s));
        }
        return state;
    }
    friend bool operator==(const DocState&, const DocState&) = default;
};

// A document that differs from a new one everywhere a read could change it.
void EditDocument(SceneryDocument& doc) {
    doc.SetPixel(4, 2, 5, 6, 77, kMouseMode);
    doc.RefreshBitmap();
    doc.AddRow(7, 2, kAddRowCheckRules);
    doc.SetAuthor("Sentinel");
    doc.SetInfoText("unchanged");
}

std::uint8_t Version7Pixel(std::size_t offset) {
    return std::uint8_t((offset * 131 + offset / 1152) % 256);
}

RecordBytes Version7Record(int s) {
    return {s * 1000 - 7, s == 35 ? INT32_MIN : -s,
            s == 0 ? 0xFFFFFFFFu : (0x8u | std::uint32_t(s % 32) << 27 | 1u)};
}

// Windows-1252 bytes: u-umlaut, euro sign, o-umlaut, sharp s, and 0x81, which Windows-1252 leaves
// unassigned and which must survive the way through UTF-8 anyway.
FileBytes SampleVersion7() {
    return test::GsVersion7("J\xFCrgen M\xFCller \x80", "Zeile 1\r\nGr\xF6\xDF\x65 \x81", Version7Record,
                            Version7Pixel);
}

TEST(GsRead, Version7ReadsEveryFieldAndWritesBackByteIdentical) {
    const std::vector<std::uint8_t> file = SampleVersion7().Take();
    SceneryDocument doc;
    EditDocument(doc);
    ASSERT_TRUE(doc.IsModified());

    EXPECT_EQ(ReadGs(file, kPath, doc), GsLayout::Version7);

    EXPECT_EQ(doc.Author(), "J\u00fcrgen M\u00fcller \u20ac");
    EXPECT_EQ(doc.InfoText(), "Zeile 1\r\nGr\u00f6\u00dfe \u0081");
    for (int s = 0; s < kSymbolCount; ++s) {
        const RecordBytes expected = Version7Record(s);
        EXPECT_EQ(doc.Record(s), (SymbolRecord{expected.attributeA, expected.rowMask, expected.attributeB}));
    }
    for (std::size_t i = 0; i < kStoreSize; ++i) {
        ASSERT_EQ(doc.PixelStore()[i], Version7Pixel(i)) << i;
    }
    // Absolute (0, 0) is the first byte of the store's last line; the display is top-down.
    EXPECT_EQ(doc.GetPixel(0, 0, 0, 0), Version7Pixel(79 * 1152));
    EXPECT_EQ(doc.DisplayPixels()[0], Version7Pixel(79 * 1152));
    EXPECT_EQ(doc.DisplayPixels()[kStoreSize - 1], Version7Pixel(1151));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_EQ(doc.OpenUndoGroup(), std::nullopt);

    EXPECT_EQ(WriteGs(doc), file);
}

TEST(GsRead, HeaderTextIsIgnoredAndSoIsAnythingAfterTheTrailer) {
    for (const std::string_view header : {std::string_view(""), std::string_view("\0\xFF\r\nanything", 12)}) {
        FileBytes file = test::GsStart(2, 7, header);
        const std::vector<std::uint8_t> sample = SampleVersion7().Take();
        file.Append({sample.begin() + 26, sample.end()}).Raw("extra bytes");
        SceneryDocument doc;
        EXPECT_EQ(ReadError(file.Data(), doc), std::make_pair(0, std::string()));
        EXPECT_EQ(WriteGs(doc), sample);
    }
}

TEST(GsRead, Version5DescramblesTheAuthorAndAddsRowsFromRowWords) {
    const auto rowWord = [](int s) -> std::uint16_t {
        switch (s) {
            case 0:
                return 4;
            case 1:
                return 1;
            case 2:
                return 2;
            case 3:
                return 8;
            case 4:
                return 0x0C;  // rows 0 and 4 together: the rules are not checked
            case 5:
                return 0xFFF0;  // unknown bits only
            default:
                return 0;
        }
    };
    const auto pixel = [](int r, int y, int absX) { return std::uint8_t((r * 40 + y * 3 + absX) % 251); };
    const FileBytes file = test::GsVersion5("abc", "Info \xE4", rowWord, pixel);
    // Scrambled with the length 3.
    EXPECT_EQ(file.Data()[26], 0x62);
    EXPECT_EQ(file.Data()[27], 0x61);
    EXPECT_EQ(file.Data()[28], 0x60);

    SceneryDocument doc;
    EditDocument(doc);
    EXPECT_EQ(ReadGs(file.Data(), kPath, doc), GsLayout::Version5);
    EXPECT_EQ(doc.Author(), "abc");
    EXPECT_EQ(doc.InfoText(), "Info \u00e4");
    const std::uint32_t expectedMasks[6] = {0b01111, 0b01100, 0b01110, 0b11000, 0b11111, 0b01000};
    for (int s = 0; s < kSymbolCount; ++s) {
        EXPECT_EQ(doc.Record(s), (SymbolRecord{12, s < 6 ? expectedMasks[s] : 8u, 0})) << s;
        for (int r = 0; r < kRowCount; ++r) {
            for (int y = 0; y < kCellHeight; ++y) {
                for (int x = 0; x < kCellWidth; ++x) {
                    ASSERT_EQ(doc.GetPixel(s, r, x, y), pixel(r, y, s * 32 + x)) << s << r << x << y;
                }
            }
        }
    }
    EXPECT_EQ(doc.DisplayPixels()[0], pixel(0, 0, 0));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.CanUndo());
}

TEST(GsRead, Version1ReadsBitPlanesAndMaskOfPresentCells) {
    const auto picture0 = [](int x, int y) { return std::uint8_t((x + y) % 16); };
    const auto picture1 = [](int x, int y) { return std::uint8_t((x * 3 + y * 5) % 16); };
    const auto cell = [&](int s, int r) {
        std::vector<std::uint8_t> bytes;
        if (s == 0 && r == 3) {
            bytes = test::PlaneRecord(picture0);
            std::vector<std::uint8_t> mask(512, 0);
            for (int i = 0; i < 16; ++i) {
                mask[std::size_t(i * 16 + i)] = 0xFF;  // the diagonal x = y
            }
            mask[31 * 16 + 0] = 1;  // x = 31, y = 0: any value other than 0 masks
            bytes.insert(bytes.end(), mask.begin(), mask.end());
        } else if ((s == 1 && r == 0) || (s == 35 && r == 4)) {
            bytes = test::PlaneRecord(s == 1 ? test::CellPicture(picture1) : [](int, int) { return 15; });
            bytes.resize(bytes.size() + 512, 0);
        }
        return bytes;
    };
    const FileBytes file = test::GsVersion1Or2(1, cell);

    SceneryDocument doc;
    EditDocument(doc);
    EXPECT_EQ(ReadGs(file.Data(), kPath, doc), GsLayout::Version1);
    const SceneryDocument fresh;
    for (int y = 0; y < kCellHeight; ++y) {
        for (int x = 0; x < kCellWidth; ++x) {
            const bool masked = x == y || (x == 31 && y == 0);
            ASSERT_EQ(doc.GetPixel(0, 3, x, y), masked ? TransparentIndex : picture0(x, y)) << x << "," << y;
            ASSERT_EQ(doc.GetPixel(1, 0, x, y), picture1(x, y));
            ASSERT_EQ(doc.GetPixel(35, 4, x, y), 15);
            // Cells without a presence byte keep the picture of a new document.
            ASSERT_EQ(doc.GetPixel(0, 0, x, y), fresh.GetPixel(0, 0, x, y));
            ASSERT_EQ(doc.GetPixel(4, 2, x, y), fresh.GetPixel(4, 2, x, y));
        }
    }
    EXPECT_EQ(doc.Record(0).rowMask, 8u);
    EXPECT_EQ(doc.Record(1).rowMask, 9u);  // row 0 without rows 1 and 2: no rule checking
    EXPECT_EQ(doc.Record(7).rowMask, 8u);
    EXPECT_EQ(doc.Record(35).rowMask, 24u);
    EXPECT_EQ(doc.Author(), kDefaultAuthor);
    EXPECT_EQ(doc.InfoText(), kDefaultInfoText);
    EXPECT_FALSE(doc.IsModified());
}

TEST(GsRead, Version2ReadsCellsColumnByColumnAndValuesAbove15AsTransparent) {
    const auto picture = [](int x, int y) { return std::uint8_t((x * 16 + y) % 20); };
    const FileBytes file = test::GsVersion1Or2(2, [&](int s, int r) {
        if (s == 0 && r == 3) {
            return test::ColumnMajorCell(picture);
        }
        if (s == 2 && r == 2) {
            return test::ColumnMajorCell([](int, int) { return 200; });
        }
        return std::vector<std::uint8_t>{};
    });

    SceneryDocument doc;
    EXPECT_EQ(ReadGs(file.Data(), kPath, doc), GsLayout::Version2);
    const SceneryDocument fresh;
    for (int y = 0; y < kCellHeight; ++y) {
        for (int x = 0; x < kCellWidth; ++x) {
            const std::uint8_t value = picture(x, y);
            ASSERT_EQ(doc.GetPixel(0, 3, x, y), value > 15 ? TransparentIndex : value) << x << "," << y;
            ASSERT_EQ(doc.GetPixel(2, 2, x, y), TransparentIndex);
            // The cell to the right, not in the file, keeps a new document's picture.
            ASSERT_EQ(doc.GetPixel(1, 3, x, y), fresh.GetPixel(1, 3, x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(doc.Record(0).rowMask, 8u);
    EXPECT_EQ(doc.Record(2).rowMask, 12u);
}

TEST(GsRead, OldestLayoutBeginsItsFirstRecordRightAfterTheEndMark) {
    const auto picture = [](int s) { return [s](int x, int y) { return std::uint8_t((x + y + s) % 16); }; };
    // The first record's first two bytes read as format 7, version 0.
    const FileBytes file = test::GsOldest(
        [&](int s) { return s == 0 ? test::PlaneRecord(picture(s), 7, 0) : test::PlaneRecord(picture(s)); });
    ASSERT_EQ(file.Size(), 23u + 1 + 36 * 262);

    SceneryDocument doc;
    EditDocument(doc);
    EXPECT_EQ(ReadGs(file.Data(), kPath, doc), GsLayout::Oldest);
    const SceneryDocument fresh;
    for (int s = 0; s < kSymbolCount; ++s) {
        EXPECT_EQ(doc.Record(s), SymbolRecord{});
        for (int y = 0; y < kCellHeight; ++y) {
            for (int x = 0; x < kCellWidth; ++x) {
                ASSERT_EQ(doc.GetPixel(s, 3, x, y), picture(s)(x, y));
                ASSERT_EQ(doc.GetPixel(s, 2, x, y), fresh.GetPixel(s, 2, x, y));
            }
        }
    }
    EXPECT_EQ(doc.Author(), kDefaultAuthor);
    EXPECT_FALSE(doc.IsModified());
}

TEST(GsRead, UnsupportedFormatOrVersionIsError2NamingTheFile) {
    const std::vector<std::uint8_t> sample = SampleVersion7().Take();
    SceneryDocument doc;
    EditDocument(doc);
    const DocState before = DocState::Of(doc);
    const std::pair<int, int> refused[] = {{2, 6},   {2, 0}, {2, 3}, {2, 4},  {2, 8},
                                           {2, 255}, {1, 1}, {0, 5}, {255, 2}};
    for (const auto& [format, version] : refused) {
        // A complete version-7 body follows, so nothing but the two bytes is wrong.
        FileBytes file = test::GsStart(std::uint8_t(format), std::uint8_t(version));
        file.Append({sample.begin() + 26, sample.end()});
        EXPECT_EQ(ReadError(file.Data(), doc), std::make_pair(2, kFileName)) << format << "/" << version;
    }

    // Without the end mark and the two bytes after it the data are no scenery file at all.
    const std::vector<std::uint8_t> foreign[] = {
        {},
        FileBytes().Raw("TRAK User Graphics File").U8(2).U8(7).Fill(100000, 0).Take(),
        FileBytes().Raw("Text").U8(0x1A).U8(2).Take(),
    };
    for (const auto& file : foreign) {
        EXPECT_EQ(ReadError(file, doc), std::make_pair(2, kFileName)) << file.size();
    }

    for (int field = 0; field < 4; ++field) {
        for (const std::int32_t wrong : {0, -1, 37, 64}) {
            std::vector<std::uint8_t> file = sample;
            const std::size_t at = 26 + 4 * std::size_t(field);
            file[at] = std::uint8_t(wrong);
            file[at + 1] = file[at + 2] = file[at + 3] = wrong < 0 ? 0xFF : 0;
            EXPECT_EQ(ReadError(file, doc), std::make_pair(2, kFileName)) << field << ":" << wrong;
        }
    }
    EXPECT_EQ(DocState::Of(doc), before);
}

TEST(GsRead, DamagedFilesAreError4NamingThePath) {
    SceneryDocument doc;
    EditDocument(doc);
    const DocState before = DocState::Of(doc);
    const auto expectFileError = [&](const std::vector<std::uint8_t>& file, const char* what) {
        EXPECT_EQ(ReadError(file, doc), std::make_pair(4, kPath)) << what;
    };
    std::vector<std::uint8_t> noTrailer = SampleVersion7().Take();
    noTrailer.pop_back();
    expectFileError(noTrailer, "no trailer");

    const std::string longest(gs::kMaxTextBytes, 'a');
    const std::string tooLong(gs::kMaxTextBytes + 1, 'a');
    const auto plain = [](int) { return RecordBytes{}; };
    const auto zero = [](std::size_t) { return std::uint8_t(0); };
    expectFileError(test::GsVersion7(tooLong, "", plain, zero).Take(), "long author");
    expectFileError(test::GsVersion7("", tooLong, plain, zero).Take(), "long info text");
    const auto none = [](int) { return std::uint16_t(0); };
    const auto flat = [](int, int, int) { return std::uint8_t(1); };
    expectFileError(test::GsVersion5(tooLong, "", none, flat).Take(), "long version-5 author");
    expectFileError(test::GsVersion5("", tooLong, none, flat).Take(), "long version-5 info text");
    EXPECT_EQ(DocState::Of(doc), before);

    EXPECT_EQ(ReadError(test::GsVersion7(longest, longest, plain, zero).Take(), doc).first, 0);
    EXPECT_EQ(doc.Author(), longest);
    EXPECT_EQ(doc.InfoText(), longest);
}

// Small valid files of every layout, each cut at every length, must fail cleanly and leave the
// document as it was: error 2 while the format and version bytes are missing, error 4 after.
TEST(GsRead, FileCutAtAnyLengthIsError4AndChangesNothing) {
    const auto somePicture = [](int x, int y) { return std::uint8_t((x ^ y) % 16); };
    const auto someCells = [&](int s, int r) {
        std::vector<std::uint8_t> bytes;
        if ((s == 0 && r == 0) || (s == 35 && r == 4)) {
            bytes = test::PlaneRecord(somePicture);
            bytes.resize(bytes.size() + 512, 1);
        }
        return bytes;
    };
    // Versions 7 and 5 end in 92,160 pixel bytes read in one piece; inside them every 97th length
    // is enough (pixelStart marks where they begin).
    const struct {
        const char* name;
        std::vector<std::uint8_t> file;
        std::size_t pixelStart;
    } layouts[] = {
        {"version 7", SampleVersion7().Take(), 26 + 16 + 15 + 18 + 36 * 12},
        {"version 5",
         test::GsVersion5(
             "ab", "i", [](int s) { return std::uint16_t(s % 16); },
             [](int r, int y, int x) { return std::uint8_t(r + y + x); })
             .Take(),
         26 + 3 + 2 + 72},
        {"version 1", test::GsVersion1Or2(1, someCells).Take(), SIZE_MAX},
        {"version 2",
         test::GsVersion1Or2(2,
                             [&](int s, int r) {
                                 return s == 3 && r == 1 ? test::ColumnMajorCell(somePicture)
                                                         : std::vector<std::uint8_t>{};
                             })
             .Take(),
         SIZE_MAX},
        {"oldest", test::GsOldest([&](int) { return test::PlaneRecord(somePicture, 0, 0); }).Take(),
         SIZE_MAX},
    };

    SceneryDocument doc;
    EditDocument(doc);
    const DocState before = DocState::Of(doc);
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.name);
        ASSERT_TRUE(layout.pixelStart == SIZE_MAX || layout.file.size() - layout.pixelStart == kStoreSize ||
                    layout.file.size() - layout.pixelStart == kStoreSize + 1);
        for (std::size_t length = 0; length < layout.file.size(); ++length) {
            if (length > layout.pixelStart + 8 && length + 8 < layout.file.size() && length % 97 != 0) {
                continue;
            }
            const auto expected = length < 26 ? std::make_pair(2, kFileName) : std::make_pair(4, kPath);
            ASSERT_EQ(ReadError(layout.file, doc, length), expected) << "cut at " << length;
            // Checking the whole state each time would take long; the sentinels catch a partial read.
            ASSERT_EQ(doc.Author(), "Sentinel");
            ASSERT_TRUE(doc.IsModified());
            ASSERT_EQ(doc.GetPixel(4, 2, 5, 6), 77);
        }
        ASSERT_EQ(DocState::Of(doc), before);
        SceneryDocument check;
        EXPECT_EQ(ReadError(layout.file, check), std::make_pair(0, std::string()));
    }
}

// What a damaged file gives up to its damage; the rest stays as in a new document.
TEST(GsRead, TheReadablePartOfADamagedFile) {
    const SceneryDocument fresh;
    const auto cell = [](int s) { return [s](int x, int y) { return std::uint8_t((x + y + s) % 16); }; };
    const std::vector<std::uint8_t> version7 = SampleVersion7().Take();
    const std::size_t store7 = version7.size() - 1 - kStoreSize;  // where the store starts
    const std::vector<std::uint8_t> version2 =
        test::GsVersion1Or2(2, [&](int s, int r) {
            return s < 3 && r == 2 ? test::ColumnMajorCell(cell(s)) : std::vector<std::uint8_t>{};
        }).Take();
    const std::vector<std::uint8_t> version5 =
        test::GsVersion5(
            "ab", "i", [](int s) { return std::uint16_t(s == 1 ? 4 : 0); },
            [](int r, int y, int x) { return std::uint8_t(r * 20 + y + x % 3); })
            .Take();
    struct Probe {
        int s, r, x, y;
        int value;  // -1: a new document's
    };
    const struct {
        const char* name;
        std::vector<std::uint8_t> file;
        std::size_t cut;
        bool read;
        std::pair<int, std::uint32_t> rowMask;  // of one symbol
        std::vector<Probe> probes;
    } cases[] = {
        // 1000 store bytes: the bottom line of row 4 up to symbol 31.
        {"version 7 in its pixels",
         version7,
         store7 + 1000,
         true,
         {35, Version7Record(35).rowMask},
         {{0, 4, 5, 15, Version7Pixel(5)}, {31, 4, 8, 15, -1}}},
        // Two presence bytes and a cell each for symbols 0 and 1, then two before the third cell.
        {"version 2 in its third cell",
         version2,
         26 + 2 * 517 + 3 + 100,
         true,
         {2, 8},
         {{1, 2, 5, 7, cell(1)(5, 7)}, {2, 2, 5, 7, -1}}},
        // The whole strip of row 0, the bottom line of row 1 and 10 bytes of its next line.
        {"version 5 in its second strip",
         version5,
         103 + 16 * 1152 + 1152 + 10,
         true,
         {1, 15},
         {{0, 0, 4, 0, 1}, {0, 1, 4, 15, 36}, {0, 1, 20, 14, -1}}},
        {"version 7 in its author", version7, 26 + 16 + 3, false, {}, {}},
        {"no scenery file", FileBytes().Raw("Text ohne Ende").Take(), SIZE_MAX, false, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SceneryDocument doc;
        EditDocument(doc);
        const DocState before = DocState::Of(doc);
        EXPECT_EQ(ReadGsReadablePart(std::span(c.file).first(std::min(c.cut, c.file.size())), doc), c.read);
        if (!c.read) {
            EXPECT_EQ(DocState::Of(doc), before);
            continue;
        }
        EXPECT_EQ(doc.Record(c.rowMask.first).rowMask, c.rowMask.second);
        for (const Probe& p : c.probes) {
            EXPECT_EQ(doc.GetPixel(p.s, p.r, p.x, p.y),
                      p.value < 0 ? fresh.GetPixel(p.s, p.r, p.x, p.y) : p.value)
                << p.s << " " << p.r << " " << p.x << " " << p.y;
        }
        EXPECT_NE(doc.Author(), "Sentinel");  // nothing of the old content stays
        EXPECT_FALSE(doc.IsRowPresent(7, 2));
        EXPECT_FALSE(doc.CanUndo());
    }
}

TEST(GsRead, FillsAReleasedDocument) {
    SceneryDocument doc;
    doc.Release();
    const std::vector<std::uint8_t> file = SampleVersion7().Take();
    EXPECT_EQ(ReadGs(file, kPath, doc), GsLayout::Version7);
    EXPECT_EQ(WriteGs(doc), file);
    EXPECT_EQ(ReadGs(test::GsVersion1Or2(2, [](int, int) { return std::vector<std::uint8_t>{}; }).Data(),
                     kPath, doc),
              GsLayout::Version2);
    EXPECT_EQ(DocState::Of(doc), DocState::Of(SceneryDocument()));
}

TEST(GsWrite, NewDocumentGivesTheVersion7Layout) {
    const SceneryDocument doc;
    FileBytes expected = test::GsStart(2, 7);
    expected.I32(36).I32(5).I32(32).I32(16).Text("unbekannt").Text("Keine Infos vorhanden");
    for (int s = 0; s < 36; ++s) {
        expected.I32(12).I32(0).U32(8);
    }
    expected.Append({doc.PixelStore().begin(), doc.PixelStore().end()}).U8(0);
    EXPECT_EQ(WriteGs(doc), expected.Data());
}

TEST(GsWrite, TextsAreConvertedAndCutToWhatTheFileCanHold) {
    SceneryDocument doc;
    doc.SetAuthor(std::string(30000, 'x'));
    doc.SetInfoText(std::string("\u00e4\u20ac \u2713 vor") + '\0' + "nach");
    const std::vector<std::uint8_t> file = WriteGs(doc);
    const std::size_t author = 23 + 3 + 16;
    EXPECT_EQ(file[author + gs::kMaxTextBytes - 1], 'x');
    EXPECT_EQ(file[author + gs::kMaxTextBytes], 0);
    const std::vector<std::uint8_t> info(file.begin() + author + gs::kMaxTextBytes + 1,
                                         file.begin() + author + gs::kMaxTextBytes + 1 + 9);
    // a-umlaut and euro in Windows-1252, the check mark it lacks as '?', cut at the 0 character.
    EXPECT_EQ(info, (std::vector<std::uint8_t>{0xE4, 0x80, ' ', '?', ' ', 'v', 'o', 'r', 0}));

    SceneryDocument back;
    ASSERT_EQ(ReadGs(file, kPath, back), GsLayout::Version7);
    EXPECT_EQ(back.Author(), std::string(gs::kMaxTextBytes, 'x'));
    EXPECT_EQ(back.InfoText(), "\u00e4\u20ac ? vor");
}

TEST(GsFile, SavedFileReadsBackAndMissingFileIsError4) {
    test::TempFolder folder;
    const std::string path = folder.File("saved.gs");
    SceneryDocument doc;
    ASSERT_EQ(ReadGs(SampleVersion7().Data(), kPath, doc), GsLayout::Version7);
    SaveGsFile(path, doc);
    SceneryDocument back;
    EXPECT_EQ(ReadGsFile(path, back), GsLayout::Version7);
    EXPECT_EQ(DocState::Of(back), DocState::Of(doc));

    const std::string missing = folder.File("missing.gs");
    try {
        ReadGsFile(missing, back);
        ADD_FAILURE() << "no error";
    } catch (const MessageError& error) {
        EXPECT_EQ(error.Number(), 4);
        EXPECT_EQ(error.Argument(), missing);
    }
}

}  // namespace
}  // namespace zobl
