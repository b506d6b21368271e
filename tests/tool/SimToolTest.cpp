#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "core/common/AtomicFile.h"
#include "core/common/TestTempFolder.h"
#include "core/simimport/SimTestFiles.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/VehicleDocument.h"
#include "tool/ToolCommands.h"

namespace zobl {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

// A simulator with group 3 (two vehicles) and group 5 (one vehicle, category 2).
class SimToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No real Wine prefix may take part.
        ::setenv("WINEPREFIX", folder_.File("no-prefix").c_str(), 1);
        fs::create_directories(Sim());
        test::ZggGroup three;
        three.identifier = 3;
        three.categories = 0x0001;
        three.name = "Dampfloks";
        three.keys = {16};
        three.strings = {{"", 1}, {"Tender"}};
        three.vehicles = {{0x0040, 0, {0, 1}}, {0, 2, {1}}};  // vehicle 1 has no images
        test::ZggGroup five;
        five.identifier = 5;
        five.categories = 0x0002;
        five.name = "G\x81terwagen\tneu";
        five.keys = {16};
        five.strings = {{"Kessel"}};
        five.vehicles = {{0, 1, {0}}};
        groups_ = {three, five};
        test::FzgBlock block;
        block.key = 16;
        block.sideImages = {test::SideImage(0)};
        block.topImages = {test::TopImage(0)};
        test::FzgComposition threeSegments;
        threeSegments.lists = {Bytes(3), Bytes(3), Bytes(3), Bytes(3)};
        test::FzgComposition oneSegment;
        oneSegment.lists = {Bytes(1), Bytes(1), Bytes(1), Bytes(1)};
        block.compositions = {threeSegments, oneSegment};
        blocks_ = {block};
        WriteSimulator();
        test::WriteFile(folder_.File("lang.rtx"),
                        std::string_view("[Errors]\n6004=Lesefehler in %\n6109=Kein Satz\n6111=Satz voll\n"
                                         "6112=Satz zu lang\n6119=Kein Fahrzeug\n6123=Nichts gefunden\n"
                                         "6124=% zu lang\n"));
    }
    std::string Sim() const { return folder_.File("sim"); }
    void WriteSimulator() {
        test::WriteFile(Sim() + "/TRAK.ZGG", test::BuildZgg(groups_));
        test::WriteFile(Sim() + "/TRAK.FZG", test::BuildFzg(blocks_));
        test::WriteFile(Sim() + "/TRAK.LNG", std::string_view("1\nDampflok#tBR 01#nneu\n"));
    }

    int Run(std::vector<std::string> args) {
        out_.str({});
        err_.str({});
        args.insert(args.begin(), {"--lang", folder_.File("lang.rtx")});
        std::istringstream in;
        return RunTool(args, in, out_, err_);
    }

    // A vehicle file with set 0 holding cars of the given lengths and an empty set 1.
    std::string WriteDocument(const std::vector<int>& lengths) {
        VehicleDocument doc;
        EXPECT_TRUE(doc.AddVehicleSet("Satz", MouseMode::View));
        EXPECT_TRUE(doc.AddVehicleSet("Leer", MouseMode::View));
        for (int length : lengths) {
            EXPECT_TRUE(doc.AddCar(0, doc.CountCars(0), "Alt", "", "", length, nullptr, MouseMode::View));
        }
        const std::string path = folder_.File("doc.fgs");
        SaveFgsFile(path, doc);
        return path;
    }

    test::SavedVariable savedPrefix_{"WINEPREFIX"};
    test::TempFolder folder_;
    std::vector<test::ZggGroup> groups_;
    std::vector<test::FzgBlock> blocks_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(SimToolTest, ListsEveryVehicleInListingOrder) {
    ASSERT_EQ(Run({"sim-list", "--sim", Sim()}), kToolSuccess) << err_.str();
    EXPECT_EQ(out_.str(),
              "48\tDampfloks\tDampflok BR 01  neu\n"
              "49\tDampfloks\t1\n"
              "80\tGüterwagen neu\t0\n");
    EXPECT_EQ(err_.str(), "");

    ASSERT_EQ(Run({"sim-list", "--categories", "0x2", "--sim", Sim() + "/"}), kToolSuccess);
    EXPECT_EQ(out_.str(), "80\tGüterwagen neu\tKessel\n");  // first of its listing: all texts read
    ASSERT_EQ(Run({"sim-list", "--sim", Sim(), "--categories", "3"}), kToolSuccess);
    EXPECT_EQ(out_.str().substr(0, 3), "48\t");
    // An empty listing prints nothing and succeeds.
    ASSERT_EQ(Run({"sim-list", "--sim", Sim(), "--categories", "0X4000"}), kToolSuccess);
    EXPECT_EQ(out_.str(), "");
}

TEST_F(SimToolTest, LooksForTheSimulatorFromTheCurrentFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(Sim());
    const int status = Run({"sim-list", "--categories", "1"});
    fs::current_path(folder_.Path());
    const int elsewhere = Run({"sim-list"});
    fs::current_path(before);
    EXPECT_EQ(status, kToolSuccess) << err_.str();
    EXPECT_EQ(elsewhere, kToolFailure);
    EXPECT_NE(err_.str().find("simulator not found"), std::string::npos) << err_.str();
}

TEST_F(SimToolTest, ListingFailuresAndCommandLineMistakes) {
    EXPECT_EQ(Run({"sim-list", "--sim", folder_.File("nowhere")}), kToolFailure);
    EXPECT_EQ(err_.str(), "zobl-tool: no simulator in " + folder_.File("nowhere") +
                              " (TRAK.ZGG and TRAK.FZG are needed)\n");
    EXPECT_EQ(out_.str(), "");

    Bytes damaged = test::BuildZgg(groups_);
    damaged.resize(damaged.size() - 5);
    test::WriteFile(Sim() + "/TRAK.ZGG", damaged);
    EXPECT_EQ(Run({"sim-list", "--sim", Sim()}), kToolFailure);
    EXPECT_EQ(err_.str(), "zobl-tool: Lesefehler in " + Sim() + "/TRAK.ZGG\n");
    EXPECT_EQ(out_.str(), "");  // nothing of a listing that broke off

    for (const auto& args : std::vector<std::vector<std::string>>{{"sim-list", "extra"},
                                                                  {"sim-list", "--sim"},
                                                                  {"sim-list", "--categories", "0x10000"},
                                                                  {"sim-list", "--categories", "-1"},
                                                                  {"sim-list", "--categories", "0x"},
                                                                  {"sim-list", "--categories", "12a"},
                                                                  {"sim-list", "--into", "x.fgs"}}) {
        EXPECT_EQ(Run(args), kToolUsageError) << args.back();
        EXPECT_TRUE(err_.str().starts_with("zobl-tool: sim-list")) << err_.str();
        EXPECT_TRUE(err_.str().ends_with("\nTry 'zobl-tool --help' for more.\n")) << err_.str();
    }
}

// Neither an empty listing nor a vehicle too long for a car is an error of a file.
TEST_F(SimToolTest, EmptyListingsAndVehiclesTooLongAreNoFileErrors) {
    test::ZggGroup empty;
    empty.identifier = 2;
    empty.categories = 0x0001;
    empty.name = "Leer";
    groups_.insert(groups_.begin(), empty);
    WriteSimulator();
    EXPECT_EQ(Run({"sim-list", "--sim", Sim(), "--categories", "0x1"}), kToolSuccess);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str(), "zobl-tool: Nichts gefunden\n");

    blocks_[0].compositions[1].lists = {Bytes(33), Bytes(33), Bytes(33), Bytes(33)};
    WriteSimulator();
    const std::string path = WriteDocument({});
    EXPECT_EQ(Run({"sim-import", "--sim", Sim(), "--into", path, "--set", "1", "80"}), kToolFailure);
    EXPECT_EQ(err_.str(), "zobl-tool: 80 zu lang\n");
}

TEST_F(SimToolTest, ImportsEveryNamedVehicleIntoTheSet) {
    const std::string path = WriteDocument({2});
    ASSERT_EQ(Run({"sim-import", "--sim", Sim(), "--into", path, "--set", "0", "48", "80", "48"}),
              kToolSuccess)
        << err_.str();
    EXPECT_EQ(out_.str(), "");
    VehicleDocument doc;
    ASSERT_FALSE(ReadFgsFile(path, {}, doc).damaged);
    ASSERT_EQ(doc.CountCars(0), 4);
    EXPECT_EQ(doc.CarAt(0, 1).name.View(), "Dampflok\tBR 01\r\nneu");
    EXPECT_EQ(doc.CarAt(0, 1).text2.View(), "Tender");
    EXPECT_EQ(doc.CarAt(0, 1).length, 3);
    EXPECT_EQ(doc.CarAt(0, 1).carFlags, 0x0040u);
    EXPECT_EQ(doc.CarAt(0, 2).name.View(), "Kessel");
    EXPECT_EQ(doc.CarAt(0, 2).length, 1);
    EXPECT_EQ(doc.TotalSetLength(0), 9);
    EXPECT_EQ(doc.CountCars(1), 0);
}

TEST_F(SimToolTest, RefusedImportsLeaveTheFileAsItWas) {
    const auto refused = [&](const std::vector<int>& lengths, std::vector<std::string> args) {
        const std::string path = WriteDocument(lengths);
        const std::vector<std::uint8_t> before = ReadWholeFile(path);
        args.insert(args.begin(), {"sim-import", "--into", path});
        const int status = Run(args);
        EXPECT_EQ(ReadWholeFile(path), before);
        return status == kToolFailure ? err_.str() : "status " + std::to_string(status);
    };
    EXPECT_EQ(refused({}, {"--sim", Sim(), "--set", "2", "48"}), "zobl-tool: Kein Satz\n");
    EXPECT_EQ(refused({}, {"--sim", Sim(), "--set", "0"}), "zobl-tool: Kein Fahrzeug\n");
    EXPECT_EQ(refused({1, 1, 1, 1, 1, 1, 1}, {"--sim", Sim(), "--set", "0", "80", "80"}),
              "zobl-tool: Satz voll\n");
    EXPECT_EQ(refused({10, 10, 10}, {"--set", "0", "--sim", Sim(), "80", "80", "48"}),
              "zobl-tool: Satz zu lang\n");
    // One vehicle that cannot be had spoils the whole command.
    EXPECT_EQ(refused({}, {"--sim", Sim(), "--set", "0", "48", "99"}),
              "zobl-tool: the simulator has no vehicle 99\n");
    EXPECT_EQ(refused({}, {"--sim", Sim(), "--set", "0", "80", "49"}),
              "zobl-tool: vehicle 49 has no images (length 0) and cannot become a car\n");
    EXPECT_TRUE(refused({}, {"--sim", folder_.File("nowhere"), "--set", "0", "48"})
                    .starts_with("zobl-tool: no simulator in " + folder_.File("nowhere")));
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--sim", Sim(), "48"},
                                               {"--set", "x", "48"},
                                               {"--set", "0", "4a"},
                                               {"--set", "0", "-48"},
                                               {"--set", "0", "--categories", "1", "48"}}) {
        EXPECT_EQ(refused({}, args), "status 2");
    }
    EXPECT_EQ(Run({"sim-import", "--sim", Sim(), "--set", "0", "48"}), kToolUsageError);  // no --into
    EXPECT_EQ(Run({"sim-import", "--sim", Sim(), "--into", folder_.File("missing.fgs"), "--set", "0", "48"}),
              kToolFailure);
    EXPECT_EQ(err_.str(), "zobl-tool: Lesefehler in " + folder_.File("missing.fgs") + "\n");
}

}  // namespace
}  // namespace zobl
