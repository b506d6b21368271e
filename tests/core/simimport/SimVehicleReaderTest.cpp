#include "core/simimport/SimVehicleReader.h"

#include <gtest/gtest.h>

#include "core/common/TestTempFolder.h"
#include "core/simimport/SimTestFiles.h"

namespace zobl::simimport {
namespace {

using test::Bytes;
using test::FzgBlock;
using test::FzgComposition;
using test::ZggGroup;
using test::ZggString;
using test::ZggVehicle;

// Group 3 (two vehicles, block 16) and group 5 (one vehicle, block 32).
std::vector<ZggGroup> StandardGroups() {
    ZggGroup three;
    three.identifier = 3;
    three.categories = 0x0001;
    three.name = "Dampfloks";
    three.keys = {16};
    three.strings = {{"Lok BR 01"}, {"", 100}, {"Gr\x81n \x84\x94"}};
    three.vehicles = {{0x0040 | 0x0001, 0, {0, 1}}, {0x8000 | 0x0010 | 0x0020 | 0x0100, 1, {2, 7, 1, 0}}};
    ZggGroup five;
    five.identifier = 5;
    five.categories = 0x0002 | 0x0100;
    five.nameTextNumber = 200;
    five.keys = {32, 16};
    five.strings = {{"Wagen"}};
    five.vehicles = {{0, 0, {0}}};
    return {three, five};
}

std::vector<FzgBlock> StandardBlocks() {
    FzgBlock a;
    a.key = 16;
    a.sideImages = {test::SideImage(10), test::SideImage(30), test::SideImage(50)};
    a.topImages = {test::TopImage(100), test::TopImage(110)};
    FzgComposition twoSegments;
    twoSegments.lists = {Bytes{0, 1}, Bytes{0, 1}, Bytes{1, 0x42}, Bytes{1, 0x80}};
    FzgComposition faulty;  // image numbers beyond the block
    faulty.lists = {Bytes{5}, Bytes{0}, Bytes{0}, Bytes{3}};
    a.compositions = {twoSegments, faulty};
    FzgBlock b;
    b.key = 32;
    b.sideImages = {test::SideImage(70)};
    b.topImages = {test::TopImage(120)};
    FzgComposition one;
    one.lists = {Bytes{0}, Bytes{0}, Bytes{0}, Bytes{0}};
    b.compositions = {one};
    return {a, b};
}

constexpr const char* kStandardTexts =
    "; texts of the tests\r\n"
    "100\r\n"
    "Personenwagen#1#Hx\r\n"
    "200\r\n"
    "G\xfcterwagen\r\n"
    ".\r\n"
    "300\r\n"
    "after the end\r\n";

// Every case runs over the files on disk and over the same files in memory.
enum class Storage { kDisk, kMemory };

class SimReaderTest : public ::testing::TestWithParam<Storage> {
protected:
    void SetUp() override {
        Write("TRAK.ZGG", test::BuildZgg(StandardGroups()));
        Write("TRAK.FZG", test::BuildFzg(StandardBlocks()));
        Write("TRAK.LNG", std::string_view(kStandardTexts));
        reader_.SetSimulatorFolder(Folder());
    }

    std::string Folder() const { return folder_.Path().string() + "/"; }
    const SimFileSystem& Files() const {
        return GetParam() == Storage::kDisk ? DiskSimFiles() : static_cast<const SimFileSystem&>(memory_);
    }
    void Write(const std::string& name, const Bytes& bytes) {
        Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    void Write(const std::string& name, std::string_view text) {
        if (GetParam() == Storage::kDisk) {
            test::WriteFile(folder_.File(name), text);
        } else {
            memory_.Put(Folder() + name, text);
        }
    }
    void Remove(const std::string& name) {
        std::filesystem::remove(folder_.File(name));
        memory_.Remove(Folder() + name);
    }

    int Query(int command, unsigned filter = kUserCategories) {
        return reader_.QueryVehicle(command, filter, &v_);
    }

    // Identifiers of a whole listing, ended by its last result (0 or negative).
    std::vector<int> Listing(unsigned filter = kUserCategories) {
        std::vector<int> ids;
        int result = Query(kQueryFirst, filter);
        ids.push_back(result);
        for (int guard = 0; result > 0 && guard < 2000; ++guard) {
            result = Query(kQueryNext, filter);
            ids.push_back(result);
        }
        return ids;
    }

    test::TempFolder folder_;
    MemorySimFiles memory_;
    SimVehicleReader reader_{Files()};
    SimVehicle v_;
};

TEST_P(SimReaderTest, ListingGoesThroughEveryVehicleOfEveryMatchingGroup) {
    EXPECT_EQ(Query(kQueryFirst), 48);
    EXPECT_EQ(v_.groupName, "Dampfloks");
    EXPECT_EQ(v_.categories, 0x0001u);
    EXPECT_EQ(v_.texts[0], "Lok BR 01");
    EXPECT_EQ(v_.texts[1], "Personenwagen &x");
    EXPECT_EQ(v_.lengthPixels, 16);

    EXPECT_EQ(Query(kQueryNext), 49);
    EXPECT_EQ(v_.groupName, "Dampfloks");
    EXPECT_EQ(v_.texts, (std::array<std::string, 3>{"1", "", ""}));

    EXPECT_EQ(Query(kQueryNext), 80);
    EXPECT_EQ(v_.groupName, "Güterwagen");
    EXPECT_EQ(v_.categories, 0x0102u);
    EXPECT_EQ(v_.texts[0], "0");

    EXPECT_EQ(Query(kQueryNext), 0);
    EXPECT_EQ(Query(kQueryNext), 0);  // the listing stays ended

    EXPECT_EQ(Listing(0x0002), (std::vector<int>{80, 0}));
    EXPECT_EQ(Listing(0x0400), (std::vector<int>{0}));
    // Records that end with the file instead of an identifier 0; half an identifier is damage.
    Bytes unmarked = test::BuildZgg(StandardGroups(), 0, false);
    Write("TRAK.ZGG", unmarked);
    EXPECT_EQ(Listing(0x0400), (std::vector<int>{0}));
    EXPECT_EQ(Listing(0x0001), (std::vector<int>{48, 49, 0}));
    unmarked.push_back(0);
    Write("TRAK.ZGG", unmarked);
    EXPECT_EQ(Listing(0x0400), (std::vector<int>{kSimFileError}));
    // Without a listing there is nothing to continue.
    SimVehicleReader fresh(Files());
    EXPECT_EQ(fresh.QueryVehicle(kQueryNext, kUserCategories, nullptr), 0);
    EXPECT_EQ(reader_.QueryVehicle(kQueryClose, 0, nullptr), 0);
}

TEST_P(SimReaderTest, FullQueryDeliversTextsFlagsAndPlanes) {
    ASSERT_EQ(Query(3 * 16 + 0, 0), 48);
    EXPECT_EQ(v_.flags, kSimFlag1 | kSimFlag8);
    EXPECT_EQ(v_.lengthPixels, 16);
    for (int y = 0; y < kSidePlaneHeight; ++y) {
        const auto at = [y](const SidePlane& plane, int x) {
            return plane[static_cast<std::size_t>(y * 256 + x)];
        };
        // Plane 0 holds the segments in reverse order, plane 2 in order.
        EXPECT_EQ(at(v_.plane0, 0), 30 + y);
        EXPECT_EQ(at(v_.plane0, 15), 10 + y);
        EXPECT_EQ(at(v_.plane2, 7), 30 + y);
        EXPECT_EQ(at(v_.plane2, 8), 50 + y);  // the flag bits are not part of the image number
        EXPECT_EQ(at(v_.plane0, 16), kNoPixel);
        EXPECT_EQ(at(v_.plane2, 255), kNoPixel);
    }
    EXPECT_EQ(v_.plane1[0], 110);
    EXPECT_EQ(v_.plane1[31], 113);
    EXPECT_EQ(v_.plane1[32], 100);
    EXPECT_EQ(v_.plane3[0], 110);
    EXPECT_EQ(v_.plane3[32], 100);
    EXPECT_EQ(v_.plane3[64], kNoPixel);
    EXPECT_EQ(v_.plane1[1023], kNoPixel);
    EXPECT_EQ(v_.segmentFlags[2][1], 0x40);
    EXPECT_EQ(v_.segmentFlags[3][1], 0x80);
    EXPECT_EQ(v_.segmentFlags[0][0], 0);

    // Vehicle 1: composition 1 names images beyond the block; its segment stays empty.
    ASSERT_EQ(Query(3 * 16 + 1, 0), 49);
    EXPECT_EQ(v_.flags, kSimFlag2 | kSimFlag4 | kSimFlag10);
    EXPECT_EQ(v_.texts[0], "Grün äö");
    EXPECT_EQ(v_.texts[1], "");                  // string 7 is beyond the string area
    EXPECT_EQ(v_.texts[2], "Personenwagen &x");  // only three texts are taken
    EXPECT_EQ(v_.lengthPixels, 8);
    EXPECT_EQ(v_.plane0[0], kNoPixel);
    EXPECT_EQ(v_.plane2[0], 10);
    EXPECT_EQ(v_.plane1[0], 100);
    EXPECT_EQ(v_.plane3[0], kNoPixel);
    // After a query by identifier the categories are those of the group asked for.
    EXPECT_EQ(v_.categories, 0x0001u);

    // Group 5 lists two keys: the first one's block serves.
    ASSERT_EQ(Query(80, 0), 80);
    EXPECT_EQ(v_.plane2[0], 70);
    EXPECT_EQ(v_.categories, 0x0102u);

    // A query by identifier can be continued like a listing.
    ASSERT_EQ(Query(48, 0), 48);
    EXPECT_EQ(Query(kQueryNext), 49);
    EXPECT_EQ(Query(kQueryNext), 80);
}

TEST_P(SimReaderTest, MissingVehiclesAndRefusedRequests) {
    const SimVehicle before = v_;
    EXPECT_EQ(Query(3 * 16 + 2), kVehicleNotReadable);  // group 3 has two vehicles
    EXPECT_EQ(Query(4 * 16), kVehicleNotReadable);      // no group 4
    EXPECT_EQ(Query(7), kVehicleNotReadable);           // group 0 does not exist
    EXPECT_EQ(Query(0x10000 * 16), kVehicleNotReadable);
    EXPECT_EQ(Query(-4), kVehicleNotReadable);
    EXPECT_EQ(v_.groupName, before.groupName);
    EXPECT_EQ(Query(kQueryNext), 0);  // a failed query ends the listing

    SimVehicleReader elsewhere(Files());
    test::TempFolder empty;
    elsewhere.SetSimulatorFolder(empty.Path().string() + "/");
    EXPECT_EQ(elsewhere.QueryVehicle(kQueryFirst, kUserCategories, nullptr), kSimulatorNotFound);
    EXPECT_EQ(elsewhere.QueryVehicle(48, 0, nullptr), kSimulatorNotFound);
}

TEST_P(SimReaderTest, HiddenAndEmptyGroupsAreNeverListed) {
    ZggGroup empty;
    empty.identifier = 1;
    empty.categories = 0;
    empty.countWords = {1, 2, 3};
    ZggGroup hidden;
    hidden.identifier = 2;
    hidden.categories = 0x1000 | 0x0001;
    hidden.keys = {16};
    hidden.vehicles = std::vector<ZggVehicle>(1);
    ZggGroup shown;
    shown.identifier = 9;
    shown.categories = 0x4000;
    shown.name = "Sichtbar";
    shown.keys = {16};
    shown.vehicles = std::vector<ZggVehicle>(1);
    Write("TRAK.ZGG", test::BuildZgg({empty, hidden, shown}));
    EXPECT_EQ(Listing(0xFFFF), (std::vector<int>{9 * 16, 0}));
    EXPECT_EQ(v_.groupName, "Sichtbar");
    // The hidden group still answers a query by identifier.
    EXPECT_EQ(Query(2 * 16), 2 * 16);

    Write("TRAK.ZGG", test::BuildZgg({}));
    EXPECT_EQ(Listing(0xFFFF), (std::vector<int>{0}));
}

TEST_P(SimReaderTest, IdentifiersReachEveryVehicleAndListingsStopAfterSixteen) {
    ZggGroup big;
    big.identifier = 6;
    big.name = "Gross";
    big.keys = {16};
    for (unsigned i = 0; i < 18; ++i) {
        big.strings.push_back({"Fahrzeug " + std::to_string(i)});
        big.vehicles.push_back({0, 0, {i}});
    }
    Write("TRAK.ZGG", test::BuildZgg({big}));
    // Vehicle 9 is asked for as itself, not as vehicle 1.
    ASSERT_EQ(Query(6 * 16 + 9), 6 * 16 + 9);
    EXPECT_EQ(v_.texts[0], "Fahrzeug 9");
    ASSERT_EQ(Query(6 * 16 + 15), 6 * 16 + 15);
    EXPECT_EQ(v_.texts[0], "Fahrzeug 15");

    const std::vector<int> ids = Listing();
    ASSERT_EQ(ids.size(), 17u);
    EXPECT_EQ(ids.front(), 96);
    EXPECT_EQ(ids[15], 96 + 15);
    EXPECT_EQ(ids.back(), 0);
}

TEST_P(SimReaderTest, GroupNamesFromTextsAlignWhatFollowsATab) {
    ZggGroup byText;
    byText.identifier = 1;
    byText.nameTextNumber = 10;
    ZggGroup shortByText;
    shortByText.identifier = 2;
    shortByText.nameTextNumber = 11;
    ZggGroup plain;
    plain.identifier = 3;
    plain.name = "Loks\tneu  ";
    ZggGroup missing;
    missing.identifier = 4;
    missing.nameTextNumber = 12;
    for (ZggGroup* g : {&byText, &shortByText, &plain, &missing}) {
        g->keys = {16};
        g->vehicles = std::vector<ZggVehicle>(1);
    }
    Write("TRAK.ZGG", test::BuildZgg({byText, shortByText, plain, missing}));
    Write("TRAK.LNG", "10\nAbc#tx" + std::string(35, ' ') + "\n11\nAb#tcd\n");
    // Blanks keep the text line going: only bytes below 32 end it.
    EXPECT_EQ(Query(kQueryFirst), 16);
    EXPECT_EQ(v_.groupName, "Abc" + std::string(28, ' ') + "x");
    EXPECT_EQ(Query(kQueryNext), 32);
    EXPECT_EQ(v_.groupName, "Ab cd");
    EXPECT_EQ(Query(kQueryNext), 48);
    EXPECT_EQ(v_.groupName, "Loks neu  ");
    EXPECT_EQ(Query(kQueryNext), 64);
    EXPECT_EQ(v_.groupName, "?@F12");  // not the previous group's name
    EXPECT_EQ(Query(kQueryNext), 0);
}

TEST_P(SimReaderTest, TextFileEscapesLimitsAndLineRules) {
    const std::string longLine = std::string(198, 'a') + "#2" + "bbb";
    Write("TRAK.LNG",
          "; comment\n"
          "\n\n1\n##a#0b\n"
          "2\n#1#2#H#n#t|\n"
          "3\n#x#\n"
          "; a comment between number and text\n"
          "4\n;not a text\nvier\n"
          "5\n" +
              longLine +
              "\n"
              "6\n" +
              std::string(250, 'c') +
              "\n"
              "+7\nsieben\n"
              "-0\nnull\n"
              "8 Stueck\nacht\n"
              "70000\nzu gross\n"
              "9\nunreachable\n");
    ZggGroup g;
    g.identifier = 1;
    g.name = "G";
    g.keys = {16};
    g.vehicles = std::vector<ZggVehicle>(1);
    Write("TRAK.ZGG", test::BuildZgg({g}));
    ASSERT_EQ(Query(16), 16);  // locates the simulator

    EXPECT_EQ(reader_.GetSimText(1), std::string("#a\0b", 4));
    EXPECT_EQ(reader_.SimTextForDisplay(1), "#a");
    EXPECT_EQ(reader_.GetSimText(2), std::string("   &\r\n\t|"));
    // '#' before another byte or at the end of the line is faulty.
    EXPECT_EQ(reader_.GetSimText(3), std::string("??"));
    EXPECT_EQ(reader_.GetSimText(4), std::string("vier"));
    // "#2" at position 198 adds one blank only; the rest of the line is dropped.
    EXPECT_EQ(reader_.GetSimText(5), std::string(198, 'a') + " ");
    EXPECT_EQ(reader_.GetSimText(6), std::string(199, 'c'));
    EXPECT_EQ(reader_.GetSimText(7), "sieben");
    EXPECT_EQ(reader_.GetSimText(0), "null");
    EXPECT_EQ(reader_.GetSimText(8), "acht");
    EXPECT_EQ(reader_.GetSimText(9), std::nullopt);  // the search ended at 70000
    EXPECT_EQ(reader_.SimTextForDisplay(9), "?@F9");

    // A text line that the file ends in the middle of gives no text.
    Write("TRAK.LNG", std::string_view("1\neins"));
    reader_.QueryVehicle(kQueryClose, 0, nullptr);
    EXPECT_EQ(reader_.GetSimText(1), std::nullopt);
}

// The text file is read once however the texts are asked for: in any order a lookup gives what a
// reading of the file from its start for that text alone gives (the first of equal numbers, none
// after the end).
TEST_P(SimReaderTest, TextsAskedInAnyOrderAreThoseOfAReadingFromTheStart) {
    Write("TRAK.LNG",
          std::string_view("5\nfuenf\n7\nsieben\n5\nzweite\n; x\n9\nneun\n.\n11\nnach dem Ende\n"));
    ZggGroup g;
    g.identifier = 1;
    g.keys = {16};
    g.vehicles = std::vector<ZggVehicle>(1);
    Write("TRAK.ZGG", test::BuildZgg({g}));
    const auto fromTheStart = [&](unsigned number) {
        SimVehicleReader fresh(Files());
        fresh.SetSimulatorFolder(Folder());
        EXPECT_EQ(fresh.QueryVehicle(16, 0, nullptr), 16);
        return fresh.GetSimText(number);
    };
    const std::vector<unsigned> orders[] = {
        {9, 5, 7, 11, 3, 5}, {5, 5, 9, 7, 3, 11}, {11, 3, 9, 7, 5}, {7, 9}};
    for (const auto& order : orders) {
        ASSERT_EQ(Query(16), 16);
        for (const unsigned number : order) {
            EXPECT_EQ(reader_.GetSimText(number), fromTheStart(number)) << number;
        }
    }
    EXPECT_EQ(fromTheStart(5), "fuenf");
    EXPECT_EQ(fromTheStart(11), std::nullopt);
}

TEST_P(SimReaderTest, TextFileNameComesFromTheSimulatorIni) {
    Write("TRAK.INI", std::string_view("[TRAK_381]\r\nSprache=english.lng\r\n"));
    Write("english.LNG", std::string_view("100\nPassenger coach\n"));
    ASSERT_EQ(Query(48), 48);
    EXPECT_EQ(reader_.Location().textFileName, "english.lng");
    EXPECT_EQ(v_.texts[1], "Passenger coach");
    EXPECT_EQ(v_.groupName, "Dampfloks");
    // Without any text file every text reference shows its number.
    Remove("english.LNG");
    Remove("TRAK.LNG");
    ASSERT_EQ(Query(48), 48);
    EXPECT_EQ(v_.texts[1], "?@F100");
}

TEST_P(SimReaderTest, ImageFileVersionsAndBlockChecks) {
    const auto lengthOf48 = [&] {
        SimVehicleReader reader(Files());
        reader.SetSimulatorFolder(Folder());
        SimVehicle v;
        const int result = reader.QueryVehicle(48, 0, &v);
        return result == 48 ? v.lengthPixels : result;
    };
    Write("TRAK.FZG", test::BuildFzg(StandardBlocks(), 0x09));
    EXPECT_EQ(lengthOf48(), 16);
    Write("TRAK.FZG", test::BuildFzg(StandardBlocks(), 0x07));
    EXPECT_EQ(lengthOf48(), kVehicleNotReadable);

    const auto withBlock = [&](auto change) {
        std::vector<FzgBlock> blocks = StandardBlocks();
        change(blocks[0]);
        Write("TRAK.FZG", test::BuildFzg(blocks));
        return lengthOf48();
    };
    EXPECT_EQ(withBlock([](FzgBlock& b) { b.sideCountWord = 3; }), kVehicleNotReadable);  // bit 15 missing
    EXPECT_EQ(withBlock([](FzgBlock& b) { b.sideCountWord = 0x8000; }), kVehicleNotReadable);
    EXPECT_EQ(withBlock([](FzgBlock& b) { b.topImages.clear(); }), kVehicleNotReadable);
    EXPECT_EQ(withBlock([](FzgBlock& b) { b.compositionCountOverride = 9; }), kVehicleNotReadable);
    EXPECT_EQ(withBlock([](FzgBlock& b) { b.compositionCountOverride = 3; }), kVehicleNotReadable);
    EXPECT_EQ(withBlock([](FzgBlock& b) { b.compositionBytesAdjust = -1; }), kVehicleNotReadable);
    EXPECT_EQ(withBlock([](FzgBlock& b) { b.key = 48; }), kVehicleNotReadable);  // key 16 not found
    EXPECT_EQ(withBlock([](FzgBlock& b) {
                  b.sideImages.resize(64, test::SideImage(0));
                  b.topImages.resize(64, test::TopImage(0));
              }),
              16);
    // A composition reference beyond the block: no composition, length 0, empty planes.
    EXPECT_EQ(withBlock([](FzgBlock& b) { b.compositions.resize(1); }), 16);
    {
        std::vector<FzgBlock> blocks = StandardBlocks();
        blocks[0].compositions.resize(1);
        Write("TRAK.FZG", test::BuildFzg(blocks));
        ASSERT_EQ(Query(49, 0), 49);
        EXPECT_EQ(v_.lengthPixels, 0);
        EXPECT_EQ(v_.plane2[0], kNoPixel);
    }
    // 32 segments fit; 33 do not.
    const auto segments = [&](std::size_t n) {
        return withBlock([n](FzgBlock& b) {
            b.compositions[0].lists = {Bytes(n), Bytes(n), Bytes(n), Bytes(n)};
        });
    };
    EXPECT_EQ(segments(32), 256);
    EXPECT_EQ(segments(33), kVehicleNotReadable);
    {
        // Too long for a car, but no fault of the files.
        SimVehicleReader reader(Files());
        reader.SetSimulatorFolder(Folder());
        EXPECT_EQ(reader.QueryVehicle(48, 0, nullptr), kVehicleNotReadable);
        EXPECT_TRUE(reader.VehicleTooLong());
        EXPECT_EQ(reader.FailedFile(), "");
    }
    EXPECT_EQ(segments(0), 0);

    // Block keys that cannot be: the record is refused.
    std::vector<ZggGroup> groups = StandardGroups();
    Write("TRAK.FZG", test::BuildFzg(StandardBlocks()));
    for (unsigned key : {0u, 17u, 65535u}) {
        groups[0].keys = {key};
        Write("TRAK.ZGG", test::BuildZgg(groups));
        EXPECT_EQ(lengthOf48(), kVehicleNotReadable) << key;
    }
    groups[0].keys = {};  // no block at all
    Write("TRAK.ZGG", test::BuildZgg(groups));
    EXPECT_EQ(lengthOf48(), 0);
}

TEST_P(SimReaderTest, RecordsFarApartAreReachedThroughTheBuffer) {
    Write("TRAK.ZGG", test::BuildZgg(StandardGroups(), 5000));
    Write("TRAK.FZG", test::BuildFzg(StandardBlocks(), 0x06, 9000));
    EXPECT_EQ(Listing(), (std::vector<int>{48, 49, 80, 0}));
    ASSERT_EQ(Query(80), 80);
    EXPECT_EQ(v_.plane2[0], 70);
}

// A directory with more entries than there are keys is no catalogue the simulator wrote: what
// lies beyond the 65535th entry is not searched (a crafted directory of half a million entries
// kept a listing busy for half a minute).
TEST_P(SimReaderTest, DirectoriesLongerThanTheKeysAreCutShort) {
    const std::vector<ZggGroup> groups = StandardGroups();
    std::vector<std::pair<unsigned, Bytes>> records{{3, test::GroupRecord(groups[0])}};
    records.resize(1 + 70000, {7, Bytes{}});  // entries leading to the record after them
    records.emplace_back(5, test::GroupRecord(groups[1]));
    Write("TRAK.ZGG", test::BuildFile({0x5A, 0xC7, 0x47}, records, 0, Bytes{0, 0}));
    EXPECT_EQ(Listing(), (std::vector<int>{48, 49, 80, kSimFileError}));
    EXPECT_EQ(reader_.FailedFile(), Folder() + "TRAK.ZGG");
    EXPECT_EQ(Query(48), 48);
    EXPECT_EQ(Query(80), kVehicleNotReadable);
}

TEST_P(SimReaderTest, DamagedGroupFilesEndInNegativeResults) {
    // First directory key 0: an empty catalogue.
    Write("TRAK.ZGG", test::BuildZgg({}));
    EXPECT_EQ(Query(kQueryFirst), 0);

    Bytes wrongMagic = test::BuildZgg(StandardGroups());
    wrongMagic[32] ^= 0xFF;
    Write("TRAK.ZGG", wrongMagic);
    EXPECT_EQ(Query(kQueryFirst), kSimFileError);
    EXPECT_EQ(reader_.FailedFile(), Folder() + "TRAK.ZGG");

    // A rest size shorter than the string area.
    std::vector<ZggGroup> groups = StandardGroups();
    groups[0].restSizeAdjust = -50;  // 5 bytes for a string area of 23
    Write("TRAK.ZGG", test::BuildZgg(groups));
    EXPECT_EQ(Query(kQueryFirst), kSimFileError);
    EXPECT_EQ(Query(48), kVehicleNotReadable);

    // A directory whose second entry leads back to the first record: the listing must end.
    const Bytes good = test::BuildZgg(StandardGroups());
    Bytes circular = good;
    const std::size_t directory = 32 + 3;
    const std::uint32_t firstDistance =
        circular[directory + 2] | (circular[directory + 3] << 8) | (circular[directory + 4] << 16);
    const std::uint32_t back = firstDistance - 6;
    circular[directory + 6 + 2] = static_cast<std::uint8_t>(back & 0xFF);
    circular[directory + 6 + 3] = static_cast<std::uint8_t>(back >> 8);
    Write("TRAK.ZGG", circular);
    std::vector<int> ids = Listing(0x0001);
    EXPECT_EQ(ids, (std::vector<int>{48, 49, kSimFileError}));

    // Every cut of a good file: no crash, every listing ends.
    for (std::size_t size = 0; size < good.size(); ++size) {
        Write("TRAK.ZGG", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)));
        ids = Listing();
        EXPECT_LE(ids.back(), 0);
        Query(49);
        Query(80);
    }
    const Bytes image = test::BuildFzg(StandardBlocks());
    Write("TRAK.ZGG", good);
    for (std::size_t size = 0; size < image.size(); ++size) {
        Write("TRAK.FZG", Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(size)));
        EXPECT_EQ(Query(80), kVehicleNotReadable) << size;
    }
}

INSTANTIATE_TEST_SUITE_P(DiskAndMemory, SimReaderTest, ::testing::Values(Storage::kDisk, Storage::kMemory),
                         [](const ::testing::TestParamInfo<Storage>& info) {
                             return info.param == Storage::kDisk ? "Disk" : "Memory";
                         });

}  // namespace
}  // namespace zobl::simimport
