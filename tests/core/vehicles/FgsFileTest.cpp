#include "core/vehicles/FgsFile.h"

#include <gtest/gtest.h>

#include <string>

#include "core/common/AtomicFile.h"
#include "core/common/TestTempFolder.h"
#include "core/vehicles/VehicleDocument.h"
#include "core/vehicles/VehicleTestSupport.h"

namespace zobl {
namespace {

using namespace vehicles;
using test::FakeView;
using test::FgsBytes;
using test::kFreehand;
using test::ModelIsConsistent;

const FgsDefaults kDefaults{"unbekannt", "Keine Infos vorhanden"};

FgsReadResult Read(const std::vector<std::uint8_t>& bytes, VehicleDocument& doc) {
    return ReadFgs(bytes, kDefaults, doc);
}

std::string Text(std::string_view view) {
    return std::string(view);
}

TEST(FgsFile, EmptyDocumentIsTheHeaderAlone) {
    VehicleDocument doc;
    doc.SetAuthor("Jürgen");  // UTF-8 bytes go in raw, as given
    doc.SetInfoText("abc");
    const auto bytes = WriteFgs(doc);
    FgsBytes expected;
    expected.Header(0, 1, "Jürgen", "abc", 0, "", "", "");
    EXPECT_EQ(bytes, expected.bytes);
}

TEST(FgsFile, LayoutOfSetsAndCarsAndTheRoundTrip) {
    FgsBytes file;
    file.Header(2, 1, "Autor \xE4\xF6\xFC", std::string(2047, 'i'));
    file.Set(2, "Satz \xDF").Car(1, "Lok", true, 0, 0x12345).Car(2, "Wagen");
    file.Set(1, "Zweiter").Car(3, "Drei");

    VehicleDocument doc;
    const FgsReadResult result = Read(file.bytes, doc);
    EXPECT_FALSE(result.damaged) << result.detail;
    EXPECT_TRUE(ModelIsConsistent(doc));
    EXPECT_EQ(Text(doc.Author()), "Autor \xE4\xF6\xFC");
    EXPECT_EQ(Text(doc.Description()), "Beschreibung");
    EXPECT_EQ(doc.InfoText().size(), 2047u);
    EXPECT_EQ(doc.CountSets(), 2);
    EXPECT_EQ(Text(doc.Set(0).name.View()), "Satz \xDF");
    EXPECT_EQ(doc.CountCars(0), 2);
    const Car& lok = doc.CarAt(0, 0);
    EXPECT_EQ(lok.length, 1);
    EXPECT_EQ(Text(lok.text3.View()), "drei");
    EXPECT_EQ(lok.carFlags, 0x12345u);
    EXPECT_EQ(lok.segmentFlags[0][0], 0);
    EXPECT_EQ(lok.segmentFlags[1][2], 34);  // words 0..127, view 0 first
    // Planes are stored in the order 0, 3, 2, 1.
    for (int view = 0; view < kViewCount; ++view) {
        EXPECT_EQ(doc.CarAt(1, 0).planes[std::size_t(view)].front(), 10 + view);
    }
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.CanUndo());

    // Written back byte for byte.
    EXPECT_EQ(WriteFgs(doc), file.bytes);
}

TEST(FgsFile, HeaderWithoutAuthorBlockExtraBytesAndStrings) {
    FgsBytes file;
    file.Header(1, 0, "", "", 5, "string A", "B").Set(1, "S").Car(1, "C");
    VehicleDocument doc;
    const FgsReadResult result = Read(file.bytes, doc);
    EXPECT_FALSE(result.damaged) << result.detail;
    EXPECT_EQ(Text(doc.Author()), "unbekannt");
    EXPECT_EQ(Text(doc.InfoText()), "Keine Infos vorhanden");
    EXPECT_EQ(Text(doc.Description()), "");
    EXPECT_EQ(doc.CountCars(0), 1);

    // Written with the author block and without the extra bytes and strings.
    FgsBytes expected;
    expected.Header(1, 1, "unbekannt", "Keine Infos vorhanden", 0, "", "", "").Set(1, "S").Car(1, "C");
    EXPECT_EQ(WriteFgs(doc), expected.bytes);

    // Texts of the language file arrive as UTF-8 and are kept as Windows-1252.
    VehicleDocument umlaut;
    ReadFgs(file.bytes, FgsDefaults{"Müller", "ä"}, umlaut);
    EXPECT_EQ(Text(umlaut.Author()), "M\xFCller");
    EXPECT_EQ(Text(umlaut.InfoText()), "\xE4");
}

TEST(FgsFile, CarRecordsWithoutFlagsOrName) {
    FgsBytes file;
    file.Header(2).Set(1, "S").Car(1, "", false).Set(1, "").Car(2, "X");
    VehicleDocument doc;
    const FgsReadResult result = Read(file.bytes, doc);
    EXPECT_FALSE(result.damaged) << result.detail;
    EXPECT_EQ(Text(doc.CarAt(0, 0).name.View()), "_LEER");
    EXPECT_EQ(doc.CarAt(0, 0).segmentFlags, SegmentFlags{});
    EXPECT_EQ(doc.CarAt(0, 0).planes[1].front(), 11);
    // A nameless set would read as a free slot holding cars.
    EXPECT_EQ(Text(doc.Set(1).name.View()), "_LEER");
    EXPECT_EQ(doc.CountCars(1), 1);
    EXPECT_TRUE(ModelIsConsistent(doc));
}

TEST(FgsFile, SetLengthIsCheckedAt64) {
    VehicleDocument doc;
    FgsBytes fits;
    fits.Header(1).Set(2, "S").Car(16, "a").Car(16, "b");
    EXPECT_FALSE(Read(fits.bytes, doc).damaged);

    FgsBytes tooLong;
    tooLong.Header(1).Set(2, "S").Car(16, "a").Car(17, "b");
    const FgsReadResult result = Read(tooLong.bytes, doc);
    EXPECT_TRUE(result.damaged);
    // Kept as read, but neither editable into more nor exportable.
    EXPECT_EQ(doc.TotalSetLength(0), 33);
    EXPECT_EQ(doc.CountCars(0), 2);
    EXPECT_EQ(doc.CheckNewCar(0, 1, "x"), message::kSetTooLong);
    // Its undo snapshots still hold everything.
    ASSERT_TRUE(doc.SetPixel(0, 1, 1, 0, 0, 3, false, kFreehand));
    ASSERT_TRUE(doc.DeleteCar(0, 0, false, test::kLine));
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.GetPixel(0, 1, 1, 0, 0), 10 + 1);
    EXPECT_EQ(doc.TotalSetLength(0), 33);
}

// Everything the model holds for a slot, view states and unused slots included.
void ExpectSameContent(const VehicleDocument& got, const VehicleDocument& want, const std::string& label) {
    SCOPED_TRACE(label);
    EXPECT_EQ(got.Content().author, want.Content().author);
    EXPECT_EQ(got.Content().description, want.Content().description);
    EXPECT_EQ(got.Content().infoText, want.Content().infoText);
    for (int s = 0; s < kMaxSets; ++s) {
        const VehicleSet& a = got.Set(s);
        const VehicleSet& b = want.Set(s);
        EXPECT_EQ(a.name, b.name) << s;
        EXPECT_EQ(a.carCount, b.carCount) << s;
        EXPECT_EQ(a.viewState, b.viewState) << s;
        for (int c = 0; c < kMaxCars; ++c) {
            const Car& x = a.cars[std::size_t(c)];
            const Car& y = b.cars[std::size_t(c)];
            EXPECT_TRUE(x.length == y.length && x.name == y.name && x.text2 == y.text2 &&
                        x.text3 == y.text3 && x.segmentFlags == y.segmentFlags && x.carFlags == y.carFlags &&
                        x.planes == y.planes && x.viewState == y.viewState)
                << "car " << s << "/" << c;
        }
    }
}

// A document that held a file before holds exactly what a new one would after a read.
TEST(FgsFile, ReadingIntoAUsedDocumentLeavesNothingOfItsContent) {
    FgsBytes full;
    full.Header(kMaxSets, 1, "Alt", "Alte Info", 0, "", "", "Alte Beschreibung");
    for (int s = 0; s < kMaxSets; ++s) {
        full.Set(kMaxCars, "Alt");
        for (int c = 0; c < kMaxCars; ++c) {
            full.Car(4, "Alt", true, 0, 0x8071);
        }
    }
    FgsBytes small;
    small.Header(1).Set(1, "Neu").Car(2, "Neu", false);
    FgsBytes noAuthor;
    noAuthor.Header(1, 0).Set(1, "Neu").Car(1, "Neu");
    FgsBytes cut = small;
    cut.bytes.resize(cut.bytes.size() - 40);
    const struct {
        const char* label;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"one set, one car", small.bytes},       {"no author block", noAuthor.bytes},
        {"no sets", FgsBytes().Header(0).bytes}, {"cut inside the planes", cut.bytes},
        {"not a vehicle file", {1, 2, 3}},
    };
    for (const auto& test : cases) {
        VehicleDocument used;
        FakeView view;
        used.AttachListener(view);
        ASSERT_FALSE(Read(full.bytes, used).damaged);
        (*used.MutableViewState(9))[0] = 5;
        (*used.MutableViewState(9, 7))[0] = 6;
        ASSERT_TRUE(used.SetPixel(9, 7, 1, 0, 0, 3, false, kFreehand));

        VehicleDocument fresh;
        FakeView freshView;
        fresh.AttachListener(freshView);
        const FgsReadResult want = Read(test.bytes, fresh);
        const FgsReadResult got = Read(test.bytes, used);
        EXPECT_EQ(got.damaged, want.damaged) << test.label;
        EXPECT_EQ(got.detail, want.detail) << test.label;
        ExpectSameContent(used, fresh, test.label);
        EXPECT_TRUE(ModelIsConsistent(used)) << test.label;
        EXPECT_FALSE(used.CanUndo()) << test.label;
        EXPECT_FALSE(used.IsModified()) << test.label;
        EXPECT_EQ(view.hints.back().code, VehicleHintCode::RebuildAll) << test.label;
    }
}

TEST(FgsFile, FormatErrorsKeepWhatWasRead) {
    VehicleDocument doc;
    struct Case {
        const char* what;
        FgsBytes file;
        int sets;
        std::vector<int> cars;
    };
    std::vector<Case> cases;
    {
        Case c{"non-zero check word of a set", {}, 2, {1, 1}};
        c.file.Header(2).Set(1, "A", 7).Car(1, "a").Set(1, "B").Car(1, "b");
        cases.push_back(std::move(c));
    }
    {
        Case c{"non-zero check word of a car", {}, 1, {2}};
        c.file.Header(1).Set(2, "A").Car(1, "a", true, 1).Car(2, "b");
        cases.push_back(std::move(c));
    }
    {
        Case c{"header flag 2", {}, 1, {1}};
        c.file.Header(1, 2).Set(1, "A").Car(1, "a");
        cases.push_back(std::move(c));
    }
    {
        Case c{"eleven sets", {}, 10, std::vector<int>(10, 0)};
        c.file.Header(11);
        for (int i = 0; i < 11; ++i) {
            c.file.Set(0, "S");
        }
        cases.push_back(std::move(c));
    }
    {
        // The ninth car is read past, so the next set is found where it is.
        Case c{"nine cars", {}, 2, {8, 1}};
        c.file.Header(2).Set(9, "A");
        for (int i = 0; i < 9; ++i) {
            c.file.Car(1, "a");
        }
        c.file.Set(1, "B").Car(2, "b");
        cases.push_back(std::move(c));
    }
    {
        Case c{"car lengths 0 and 33", {}, 1, {1}};
        c.file.Header(1).Set(3, "A").Car(0, "null").Car(33, "lang").Car(2, "gut");
        cases.push_back(std::move(c));
    }
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        const FgsReadResult result = Read(c.file.bytes, doc);
        EXPECT_TRUE(result.damaged);
        EXPECT_FALSE(result.detail.empty());
        EXPECT_TRUE(ModelIsConsistent(doc));
        ASSERT_EQ(doc.CountSets(), c.sets);
        for (int s = 0; s < c.sets; ++s) {
            EXPECT_EQ(doc.CountCars(s), c.cars[std::size_t(s)]) << "set " << s;
        }
    }
    EXPECT_EQ(Text(doc.CarAt(0, 0).name.View()), "gut");
    // Pixels are read even after an earlier format error.
    Read(cases[0].file.bytes, doc);
    EXPECT_EQ(doc.CarAt(1, 0).planes[2].front(), 12);
}

TEST(FgsFile, OverlongInfoTextIsCutAndSkipped) {
    FgsBytes file;
    file.Text("x").U8(0x1A).U8(0x46).U8(0xC7).U8(0x53).U16(1).U16(0).U16(1);
    file.Field("A", 80).Field("D", 1024).U16(3000).Fill(3000, 'i');
    file.U16(0).U16(0).U16(0).U8(0).U8(0).U16(1).Set(1, "S").Car(1, "C");
    VehicleDocument doc;
    const FgsReadResult result = Read(file.bytes, doc);
    EXPECT_TRUE(result.damaged);
    EXPECT_EQ(doc.InfoText().size(), 2047u);
    EXPECT_EQ(doc.CountCars(0), 1);
}

TEST(FgsFile, TruncatedAndForeignFiles) {
    FgsBytes file;
    file.Header(2, 1, "A", "I", 2, "a", "b").Set(2, "S").Car(2, "C").Car(1, "D").Set(1, "T").Car(1, "E");
    VehicleDocument doc;
    ASSERT_FALSE(Read(file.bytes, doc).damaged);
    // Every cut ends reading: no crash, no endless skipping loop, always reported. The file gave
    // something of its own once its author block is read: header text, end mark, magic, three
    // words, author and description fields, info length, "I" and its 0.
    constexpr std::size_t kAuthorBlockEnd = 44 + 1 + 3 + 6 + 80 + 1024 + 2 + 2;
    for (std::size_t size = 0; size < file.bytes.size(); ++size) {
        const std::vector<std::uint8_t> cut(file.bytes.begin(), file.bytes.begin() + std::ptrdiff_t(size));
        const FgsReadResult result = Read(cut, doc);
        ASSERT_TRUE(result.damaged) << "cut at " << size;
        ASSERT_EQ(result.keptContent, size >= kAuthorBlockEnd) << "cut at " << size;
        ASSERT_TRUE(ModelIsConsistent(doc)) << "cut at " << size;
    }
    // A file cut inside the planes of the last car keeps that car with the pixels it has.
    std::vector<std::uint8_t> cut(file.bytes.begin(), file.bytes.end() - 100);
    Read(cut, doc);
    EXPECT_EQ(doc.CountCars(1), 1);
    EXPECT_EQ(doc.CarAt(1, 0).planes[2].front(), 12);
    EXPECT_EQ(doc.CarAt(1, 0).planes[1].back(), TransparentIndex);

    // No end-of-text byte, or another magic (a scenery file): nothing is read, and it is reported.
    for (const auto& foreign : {std::vector<std::uint8_t>{'a', 'b', 'c'},
                                std::vector<std::uint8_t>{'T', 0x1A, 2, 7, 36, 0, 0, 0}}) {
        Read(file.bytes, doc);
        const FgsReadResult result = Read(foreign, doc);
        EXPECT_TRUE(result.damaged);
        EXPECT_EQ(doc.CountSets(), 0);
    }
    EXPECT_TRUE(HasFgsMagic(file.bytes));
    EXPECT_FALSE(HasFgsMagic(std::vector<std::uint8_t>{'x', 0x1A, 0x46, 0xC7}));
}

TEST(FgsFile, FilesOnDisk) {
    test::TempFolder folder;
    VehicleDocument doc;
    ASSERT_TRUE(doc.AddVehicleSet("S", kFreehand));
    ASSERT_EQ(doc.NewCar(0, "C", 3, kFreehand), 0);
    SaveFgsFile(folder.File("a.fgs"), doc);
    VehicleDocument back;
    EXPECT_FALSE(ReadFgsFile(folder.File("a.fgs"), kDefaults, back).damaged);
    EXPECT_EQ(WriteFgs(back), WriteFgs(doc));

    try {
        ReadFgsFile(folder.File("missing.fgs"), kDefaults, back);
        ADD_FAILURE() << "no error";
    } catch (const MessageError& error) {
        EXPECT_EQ(error.Number(), message::kFileError);
    }
    // No vehicle file: error 2 with the name; a damaged one: error 4 with the path.
    const MessageError foreign = FgsNotAVehicleFileError(folder.File("b.fgs"));
    EXPECT_EQ(foreign.Number(), message::kUnsupportedFormat);
    EXPECT_EQ(foreign.Argument(), "b.fgs");
    const MessageError damaged = FgsDamageError(folder.File("b.fgs"), FgsReadResult{true, "x"});
    EXPECT_EQ(damaged.Number(), message::kFileError);
    EXPECT_EQ(damaged.Argument(), folder.File("b.fgs"));
}

}  // namespace
}  // namespace zobl
