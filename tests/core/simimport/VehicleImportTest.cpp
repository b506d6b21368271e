#include "core/drawing/MouseMode.h"
#include "core/simimport/VehicleImport.h"

#include <gtest/gtest.h>

#include "core/common/TestTempFolder.h"
#include "core/palette/Palette.h"
#include "core/simimport/SimTestFiles.h"
#include "core/vehicles/VehicleDocument.h"

namespace zobl::simimport {
namespace {

constexpr MouseMode kMode = MouseMode::Freehand;

std::uint8_t CodeOf(int index) {
    auto byte = static_cast<std::uint8_t>(index);
    IndexToSimCode(byte);
    return byte;
}

// A vehicle of segments * 8 pixels whose pixels tell plane, x and y apart.
SimVehicle MakeVehicle(int segments) {
    SimVehicle v;
    v.texts = {"Gr\xC3\xBCn", "zwei", "drei"};
    v.lengthPixels = 8 * segments;
    v.flags = kSimFlag1 | kSimFlag4 | kSimFlag10;
    v.plane0.fill(kNoPixel);
    v.plane2.fill(kNoPixel);
    v.plane1.fill(kNoPixel);
    v.plane3.fill(kNoPixel);
    for (int y = 0; y < kSidePlaneHeight; ++y) {
        for (int x = 0; x < 8 * segments; ++x) {
            v.plane0[static_cast<std::size_t>(x + 256 * y)] = CodeOf((x + y) % 50);
            v.plane2[static_cast<std::size_t>(x + 256 * y)] = CodeOf((x * 3 + y) % 50);
        }
    }
    for (int i = 0; i < 32 * segments; ++i) {
        v.plane1[static_cast<std::size_t>(i)] = CodeOf(i % 40);
        v.plane3[static_cast<std::size_t>(i)] = CodeOf(i % 30 + 10);
    }
    return v;
}

class HintRecorder : public VehicleDocumentListener {
public:
    void OnVehicleHint(const VehicleHint& hint) override { hints.push_back(hint); }
    std::size_t CaptureTreeStates(std::span<std::int32_t>) const override { return 0; }
    void RestoreTreeStates(std::span<const std::int32_t>) override {}
    std::vector<VehicleHint> hints;
};

class VehicleImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc_.AddVehicleSet("Satz", kMode));
        doc_.AttachListener(views_);
    }
    void TearDown() override { doc_.DetachListener(views_); }

    VehicleDocument doc_;
    HintRecorder views_;
};

TEST_F(VehicleImportTest, ImportedCarHoldsTextsFlagsAndPixels) {
    const SimVehicle vehicle = MakeVehicle(3);
    const int undoBefore = doc_.UndoCount();
    ASSERT_EQ(ImportVehicle(doc_, 0, &vehicle, kMode), 0);
    ASSERT_EQ(doc_.CountCars(0), 1);
    const Car& car = doc_.CarAt(0, 0);
    EXPECT_EQ(car.name.View(), "Gr\xFCn");
    EXPECT_EQ(car.text2.View(), "zwei");
    EXPECT_EQ(car.text3.View(), "drei");
    EXPECT_EQ(car.length, 3);
    EXPECT_EQ(car.carFlags,
              vehicles::kCarFlagOption0040 | vehicles::kCarFlagChoice0020 | vehicles::kCarFlagOption8000);
    EXPECT_EQ(car.segmentFlags, SegmentFlags{});
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 24; ++x) {
            ASSERT_EQ(doc_.GetPixel(0, 0, 2, x, y), (x + y) % 50) << x << "," << y;
            ASSERT_EQ(doc_.GetPixel(0, 0, 1, x, y), (x * 3 + y) % 50) << x << "," << y;
        }
    }
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(doc_.GetPixel(0, 0, 3, x, y), (x + 8 * y) % 40);
            ASSERT_EQ(doc_.GetPixel(0, 0, 0, x, y), (x + 8 * y) % 30 + 10);
        }
    }
    // The views are told of the new car after the redraw.
    ASSERT_FALSE(views_.hints.empty());
    EXPECT_EQ(views_.hints.back(), (VehicleHint{VehicleHintCode::Added, 0, 0}));
    // One import is one undo step: car, flags and pixels go back together.
    EXPECT_EQ(doc_.UndoCount() - undoBefore, 1);
    ASSERT_TRUE(doc_.Undo());
    EXPECT_EQ(doc_.CountCars(0), 0);
}

TEST_F(VehicleImportTest, RefusedImportsChangeNothing) {
    const SimVehicle three = MakeVehicle(3);
    const SimVehicle two = MakeVehicle(2);
    EXPECT_EQ(ImportVehicle(doc_, 0, nullptr, kMode), 119);
    EXPECT_EQ(ImportVehicle(doc_, -1, &three, kMode), 109);
    EXPECT_EQ(ImportVehicle(doc_, 1, &three, kMode), 109);

    // Seven cars of 30 units: 3 more segments are too many, 2 fit, and then the set is full.
    for (int length : {4, 4, 4, 4, 4, 5, 5}) {
        ASSERT_TRUE(doc_.AddCar(0, doc_.CountCars(0), "Wagen", "", "", length, nullptr, kMode));
    }
    const int undo = doc_.UndoCount();
    EXPECT_EQ(ImportVehicle(doc_, 0, &three, kMode), 112);
    EXPECT_EQ(doc_.UndoCount(), undo);
    EXPECT_EQ(ImportVehicle(doc_, 0, &two, kMode), 0);
    EXPECT_EQ(doc_.TotalSetLength(0), 32);
    SimVehicle none = MakeVehicle(0);
    EXPECT_EQ(ImportVehicle(doc_, 0, &none, kMode), 111);

    // A vehicle without images has length 0: refused with its own message.
    ASSERT_TRUE(doc_.AddVehicleSet("Leer", kMode));
    const int undoBeforeEmpty = doc_.UndoCount();
    EXPECT_EQ(ImportVehicle(doc_, 1, &none, kMode), message::kImportNoImages);
    EXPECT_EQ(doc_.CountCars(1), 0);
    EXPECT_EQ(doc_.UndoCount(), undoBeforeEmpty);
}

TEST(VehicleImportFlags, ReaderBitsBecomeCarFlags) {
    struct Case {
        unsigned sim;
        std::uint32_t car;
    };
    for (const Case c : {Case{0, 0}, Case{kSimFlag1, 0x0040}, Case{kSimFlag8, 0x0001},
                         Case{kSimFlag10, 0x8000}, Case{kSimFlag2, 0x0010}, Case{kSimFlag4, 0x0020},
                         Case{kSimFlag2 | kSimFlag4, 0x0020},  // the choice excludes the other bit
                         Case{kSimFlag1 | kSimFlag2 | kSimFlag8 | kSimFlag10, 0x8051}}) {
        EXPECT_EQ(CarFlagsOf(c.sim), c.car) << c.sim;
    }
}

TEST_F(VehicleImportTest, TranslationAndNames) {
    SimVehicle vehicle = MakeVehicle(1);
    vehicle.texts = {"", "", ""};
    vehicle.flags = kSimFlag2 | kSimFlag8;
    vehicle.plane2[0] = 253;  // a code that names no colour
    vehicle.plane2[1] = kNoPixel;
    SimVehicle translated = vehicle;
    TranslateToPaletteIndices(translated);
    EXPECT_EQ(translated.plane2[0], TransparentIndex);
    EXPECT_EQ(translated.plane2[1], TransparentIndex);
    EXPECT_EQ(translated.plane2[300], TransparentIndex);
    const SimVehicle once = translated;
    TranslateToPaletteIndices(translated);
    EXPECT_EQ(translated.plane0, once.plane0);
    EXPECT_EQ(translated.plane3, once.plane3);

    // Translated or not, the same car comes out.
    ASSERT_EQ(ImportVehicle(doc_, 0, &vehicle, kMode), 0);
    ASSERT_EQ(ImportVehicle(doc_, 0, &translated, kMode), 0);
    for (int car : {0, 1}) {
        EXPECT_EQ(doc_.CarAt(0, car).name.View(), vehicles::kEmptyNameReplacement);
        EXPECT_EQ(doc_.CarAt(0, car).carFlags, vehicles::kCarFlagChoice0010 | vehicles::kCarFlagOption0001);
        EXPECT_EQ(doc_.GetPixel(0, car, 1, 0, 0), TransparentIndex);
        EXPECT_EQ(doc_.GetPixel(0, car, 1, 2, 0), 6);
    }
    EXPECT_EQ(doc_.Plane(0, 0, 1).size(), doc_.Plane(0, 1, 1).size());
    EXPECT_TRUE(
        std::equal(doc_.Plane(0, 0, 0).begin(), doc_.Plane(0, 0, 0).end(), doc_.Plane(0, 1, 0).begin()));
}

TEST_F(VehicleImportTest, FromTheSimulatorFilesIntoTheDocument) {
    test::TempFolder folder;
    test::ZggGroup group;
    group.identifier = 2;
    group.name = "Loks";
    group.keys = {16};
    group.strings = {{"Lok"}};
    group.vehicles = {{0x0001, 0, {0}}};
    test::WriteFile(folder.File("TRAK.ZGG"), test::BuildZgg({group}));
    test::FzgBlock block;
    std::array<std::uint8_t, 112> side{};
    for (int i = 0; i < 112; ++i) {
        side[static_cast<std::size_t>(i)] = CodeOf(i % 8 + 20);  // columns 20..27
    }
    block.sideImages = {side, test::SideImage(CodeOf(40))};
    block.topImages = {test::TopImage(CodeOf(2))};
    test::FzgComposition composition;
    composition.lists = {test::Bytes{0, 1}, test::Bytes{0, 0}, test::Bytes{0, 1}, test::Bytes{0, 0}};
    block.compositions = {composition};
    test::WriteFile(folder.File("TRAK.FZG"), test::BuildFzg({block}));

    SimVehicleReader reader;
    reader.SetSimulatorFolder(folder.Path().string() + "/");
    SimVehicle vehicle;
    ASSERT_EQ(reader.QueryVehicle(32, kUserCategories, &vehicle), 32);
    ASSERT_EQ(ImportVehicle(doc_, 0, &vehicle, kMode), 0);
    // View 1 shows the segments in order, view 2 in reverse order.
    EXPECT_EQ(doc_.GetPixel(0, 0, 1, 3, 0), 23);
    EXPECT_EQ(doc_.GetPixel(0, 0, 1, 8, 0), 40);
    EXPECT_EQ(doc_.GetPixel(0, 0, 2, 0, 5), 45);
    EXPECT_EQ(doc_.GetPixel(0, 0, 2, 11, 5), 23);
    EXPECT_EQ(doc_.GetPixel(0, 0, 0, 0, 7), 5);  // second segment, row 3
    EXPECT_EQ(doc_.CarAt(0, 0).carFlags, vehicles::kCarFlagOption0001);
}

}  // namespace
}  // namespace zobl::simimport
