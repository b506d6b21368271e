#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/common/TestTempFolder.h"
#include "core/simimport/SimListing.h"
#include "core/simimport/SimTestFiles.h"

namespace zobl::simimport {
namespace {

namespace fs = std::filesystem;
using Status = SimListing::Status;

class SimListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No real Wine prefix may take part.
        ::setenv("WINEPREFIX", folder_.File("no-prefix").c_str(), 1);
        fs::create_directories(Sim());
        reader_.SetSimulatorFolder(Sim() + "/");
    }
    std::string Sim() const { return folder_.File("sim"); }

    test::SavedVariable savedPrefix_{"WINEPREFIX"};
    test::TempFolder folder_;
    SimVehicleReader reader_;
};

TEST_F(SimListingTest, StepsGoThroughEveryVehicleOfTheChosenCategories) {
    // 40 vehicles: groups 0..4 of 8 vehicles in categories 0x1, 0x2, 0x4, 0x8, 0x10.
    test::WriteSyntheticSimulator(Sim(), 40);
    struct Case {
        unsigned filter;
        std::size_t vehicles;
    };
    for (const Case& c : {Case{kUserCategories, 40}, Case{0x0002, 8}, Case{0x0005, 16}, Case{0x4000, 0}}) {
        SCOPED_TRACE(c.filter);
        SimListing listing(reader_, c.filter);
        int steps = 0;
        // A budget of nothing still reads: every step makes progress.
        while (listing.Step(std::chrono::nanoseconds(0)) == Status::Running) {
            ++steps;
            ASSERT_LT(steps, 100);
        }
        EXPECT_EQ(listing.CurrentStatus(), Status::Finished);
        ASSERT_EQ(listing.Entries().size(), c.vehicles);
        if (c.vehicles >= 16) {
            EXPECT_GT(steps, 0);
        }
    }
    SimListing all(reader_, kUserCategories);
    ASSERT_EQ(all.RunToEnd(), Status::Finished);
    const auto& entries = all.Entries();
    // The first vehicle of a listing comes with its texts, the others with their number.
    EXPECT_EQ(entries[0].Text(), "Gruppe 0 : Wagen 0");
    EXPECT_EQ(entries[0].identifier, 16);
    EXPECT_EQ(entries[1].Text(), "Gruppe 0 : 1");
    EXPECT_EQ(entries[31].Text(), "Gruppe 3 (Text) : 7");  // named through the text file
    EXPECT_EQ(entries[39].identifier, 5 * 16 + 7);
}

TEST_F(SimListingTest, MissingOrDamagedFilesEndTheListing) {
    test::WriteSyntheticSimulator(Sim(), 24);
    {
        SimVehicleReader elsewhere;
        elsewhere.SetSimulatorFolder(folder_.File("nowhere") + "/");
        SimListing listing(elsewhere, kUserCategories);
        EXPECT_EQ(listing.RunToEnd(), Status::NotFound);
        EXPECT_TRUE(listing.Entries().empty());
    }
    // The third group's record cut short: the first two groups stay listed.
    const std::string zgg = Sim() + "/TRAK.ZGG";
    const auto size = fs::file_size(zgg);
    fs::resize_file(zgg, size - 40);
    SimListing listing(reader_, kUserCategories);
    EXPECT_EQ(listing.RunToEnd(), Status::FileError);
    EXPECT_EQ(listing.Entries().size(), 16u);
    EXPECT_EQ(listing.FailedFile(), zgg);
    // The reader is free for the next listing.
    fs::resize_file(zgg, 0);
    test::WriteSyntheticSimulator(Sim(), 3);
    SimListing again(reader_, kUserCategories);
    EXPECT_EQ(again.RunToEnd(), Status::Finished);
    EXPECT_EQ(again.Entries().size(), 3u);
    // A first group without vehicles ends the listing, as no group would: no error of a file.
    test::ZggGroup empty;
    empty.identifier = 2;
    test::WriteFile(zgg, test::BuildZgg({empty}));
    SimListing none(reader_, kUserCategories);
    EXPECT_EQ(none.RunToEnd(), Status::Finished);
    EXPECT_TRUE(none.Entries().empty());
}

}  // namespace
}  // namespace zobl::simimport
