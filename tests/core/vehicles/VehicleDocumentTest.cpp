#include "core/vehicles/VehicleDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/vehicles/SteamProperties.h"
#include "core/vehicles/VehicleTestSupport.h"

namespace zobl {
namespace {

using namespace vehicles;
using test::FakeView;
using test::kFreehand;
using test::kLine;
using test::ModelIsConsistent;
using Code = VehicleHintCode;

// Sets "S0", "S1", ... each with cars "C<s><c>" of the given lengths.
void Build(VehicleDocument& doc, const std::vector<std::vector<int>>& sets) {
    for (std::size_t s = 0; s < sets.size(); ++s) {
        ASSERT_TRUE(doc.AddVehicleSet(std::string("S").append(std::to_string(s)), kFreehand));
        for (std::size_t c = 0; c < sets[s].size(); ++c) {
            ASSERT_TRUE(doc.AddCar(int(s), int(c),
                                   std::string("C").append(std::to_string(s)).append(std::to_string(c)), "t2",
                                   "t3", sets[s][c], nullptr, kFreehand));
        }
    }
}

std::string Name(const VehicleDocument& doc, int set, int car = -1) {
    return std::string(car < 0 ? doc.Set(set).name.View() : doc.CarAt(set, car).name.View());
}

// Every set slot and car slot has its view state words, also when unused; nothing beyond.
TEST(VehicleModel, ViewStateWordsExistForEverySlotAndNoMore) {
    VehicleDocument doc;
    for (int set = -2; set <= kMaxSets + 1; ++set) {
        const bool setSlot = set >= 0 && set < kMaxSets;
        EXPECT_EQ(doc.MutableViewState(set) != nullptr, setSlot) << set;
        for (int car = -2; car <= kMaxCars + 1; ++car) {
            const bool carSlot = setSlot && car >= 0 && car < kMaxCars;
            EXPECT_EQ(doc.MutableViewState(set, car) != nullptr, carSlot) << set << ":" << car;
        }
    }
    // The words are those of the slot asked for.
    (*doc.MutableViewState(kMaxSets - 1))[3] = 7;
    (*doc.MutableViewState(kMaxSets - 1, kMaxCars - 1))[4] = 9;
    EXPECT_EQ(doc.Content().sets[kMaxSets - 1].viewState[3], 7);
    EXPECT_EQ(doc.Content().sets[kMaxSets - 1].cars[kMaxCars - 1].viewState[4], 9);
}

TEST(VehicleModel, SetAndNameLimits) {
    VehicleDocument doc;
    EXPECT_EQ(doc.CheckNewSet(""), message::kSetNameEmpty);
    EXPECT_EQ(doc.CheckNewSet(std::string(23, 'x')), message::kSetNameTooLong);
    EXPECT_FALSE(doc.AddVehicleSet(std::string(23, 'x'), kFreehand));
    EXPECT_FALSE(doc.AddVehicleSet("", kFreehand));
    EXPECT_EQ(doc.NewVehicleSet(std::string(22, 'x'), kFreehand), 0);
    EXPECT_EQ(Name(doc, 0), std::string(22, 'x'));
    for (int i = 1; i < kMaxSets; ++i) {
        ASSERT_TRUE(doc.AddVehicleSet("S", kFreehand));
    }
    EXPECT_EQ(doc.CountSets(), 10);
    EXPECT_EQ(doc.CheckNewSet("elf"), message::kSetsFullOrNothingChosen);
    EXPECT_EQ(doc.NewVehicleSet("elf", kFreehand), message::kSetsFullOrNothingChosen);
    EXPECT_FALSE(doc.AddVehicleSet("elf", kFreehand));
    EXPECT_TRUE(ModelIsConsistent(doc));
}

TEST(VehicleModel, NewCarsPlanesAndAddressing) {
    VehicleDocument doc;
    Build(doc, {{1, 2}, {32}});
    const Car& one = doc.CarAt(0, 0);
    EXPECT_EQ(one.planes[0].size(), 32u);
    EXPECT_EQ(one.planes[1].size(), 112u);
    EXPECT_EQ(one.planes[2].size(), 112u);
    EXPECT_EQ(one.planes[3].size(), 32u);
    const Car& longest = doc.CarAt(1, 0);
    EXPECT_EQ(longest.planes[0].size(), 1024u);
    EXPECT_EQ(longest.planes[1].size(), 3584u);
    for (const auto& plane : longest.planes) {
        EXPECT_TRUE(std::all_of(plane.begin(), plane.end(), [](auto p) { return p == TransparentIndex; }));
    }

    // Bottom-up planes: the top-left pixel lies in the last row.
    ASSERT_TRUE(doc.SetPixel(0, 1, 1, 0, 0, 7, false, kFreehand));
    ASSERT_TRUE(doc.SetPixel(0, 1, 0, 0, 0, 8, false, kFreehand));
    EXPECT_EQ(doc.Plane(0, 1, 1)[208], 7);
    EXPECT_EQ(doc.Plane(0, 1, 0)[56], 8);
    EXPECT_EQ(doc.GetPixel(0, 1, 1, 0, 0), 7);
    EXPECT_EQ(PixelOffset(1, 2, 15, 13), 15u);

    // Outside the view, the car or the palette nothing is written.
    EXPECT_FALSE(doc.SetPixel(0, 1, 1, 16, 0, 7, false, kFreehand));
    EXPECT_FALSE(doc.SetPixel(0, 1, 0, 0, 8, 7, false, kFreehand));
    EXPECT_FALSE(doc.SetPixel(0, 2, 0, 0, 0, 7, false, kFreehand));
    EXPECT_FALSE(doc.SetPixel(0, 1, 4, 0, 0, 7, false, kFreehand));
    EXPECT_FALSE(doc.SetPixel(0, 1, 0, 0, 0, 100, false, kFreehand));
    EXPECT_EQ(doc.GetPixel(0, 1, 1, -1, 0), TransparentIndex);
    EXPECT_EQ(doc.GetPixel(5, 0, 1, 0, 0), TransparentIndex);
}

TEST(VehicleModel, CarLimitsAndDialogChecks) {
    VehicleDocument doc;
    Build(doc, {{}, {}});
    EXPECT_EQ(doc.CheckNewCar(-1, 4, "a"), message::kSetsFullOrNothingChosen);
    EXPECT_EQ(doc.CheckNewCar(2, 4, "a"), message::kSetsFullOrNothingChosen);
    EXPECT_EQ(doc.CheckNewCar(0, 0, "a"), message::kSetsFullOrNothingChosen);
    EXPECT_EQ(doc.CheckNewCar(0, 4, ""), message::kCarNameEmpty);
    EXPECT_FALSE(doc.AddCar(0, 0, "a", "", "", 33, nullptr, kFreehand));
    EXPECT_FALSE(doc.AddCar(0, 1, "a", "", "", 1, nullptr, kFreehand));  // would leave slot 0 free
    EXPECT_FALSE(doc.AddCar(0, 0, "", "", "", 1, nullptr, kFreehand));

    // 256 pixels fill a set; one more unit is too long.
    EXPECT_EQ(doc.NewCar(0, "lang", 32, kFreehand), 0);
    EXPECT_EQ(doc.CheckNewCar(0, 1, "mehr"), message::kSetTooLong);
    EXPECT_EQ(doc.NewCar(0, "mehr", 1, kFreehand), message::kSetTooLong);
    EXPECT_FALSE(doc.AddCar(0, 1, "mehr", "", "", 1, nullptr, kFreehand));
    EXPECT_EQ(doc.CountCars(0), 1);

    for (int c = 0; c < kMaxCars; ++c) {
        ASSERT_EQ(doc.NewCar(1, "k", 1, kFreehand), 0);
    }
    EXPECT_EQ(doc.CheckNewCar(1, 1, "neun"), message::kSetHoldsEightCars);
    EXPECT_EQ(doc.TotalSetLength(1), 8);
    EXPECT_EQ(doc.TotalSetLength(2), 0);

    // Texts are cut to 61 bytes; the segment flags are copied or zeroed.
    SegmentFlags flags{};
    flags[3][4] = 0x80;
    ASSERT_TRUE(doc.AddVehicleSet("T", kFreehand));
    ASSERT_TRUE(doc.AddCar(2, 0, std::string(70, 'n'), std::string(62, 'a'), "b", 5, &flags, kFreehand));
    EXPECT_EQ(doc.CarAt(2, 0).name.View().size(), 61u);
    EXPECT_EQ(doc.CarAt(2, 0).text2.View().size(), 61u);
    EXPECT_EQ(doc.SegmentWord(2, 0, 3, 4), 0x80);
    EXPECT_TRUE(ModelIsConsistent(doc));
}

TEST(VehicleModel, StructuralOperationsKeepTheInvariants) {
    VehicleDocument doc;
    Build(doc, {{1, 2, 3}, {4}, {5, 6}});
    ASSERT_TRUE(doc.SetPixel(1, 0, 2, 3, 4, 9, false, kFreehand));

    // Deleting the first of three sets moves the others down and renumbers their cars.
    ASSERT_TRUE(doc.DeleteVehicleSet(0, true, kFreehand));
    EXPECT_EQ(doc.CountSets(), 2);
    EXPECT_EQ(Name(doc, 0), "S1");
    EXPECT_EQ(Name(doc, 1), "S2");
    EXPECT_EQ(doc.GetPixel(0, 0, 2, 3, 4), 9);
    EXPECT_FALSE(doc.Set(2).IsUsed());
    EXPECT_TRUE(ModelIsConsistent(doc));

    ASSERT_TRUE(doc.AddVehicleSet("S3", kFreehand));
    ASSERT_EQ(doc.NewCar(2, "a", 1, kFreehand), 0);
    ASSERT_EQ(doc.NewCar(2, "b", 1, kFreehand), 0);
    ASSERT_EQ(doc.NewCar(2, "c", 1, kFreehand), 0);
    ASSERT_TRUE(doc.DeleteCar(2, 1, true, kFreehand));
    EXPECT_EQ(Name(doc, 2, 0), "a");
    EXPECT_EQ(Name(doc, 2, 1), "c");
    EXPECT_TRUE(ModelIsConsistent(doc));

    // Moves: not past either end.
    EXPECT_FALSE(doc.MoveCarForward(2, 0, true, kFreehand));
    EXPECT_FALSE(doc.MoveCarBack(2, 1, true, kFreehand));
    EXPECT_FALSE(doc.MoveSetForward(0, true, kFreehand));
    EXPECT_FALSE(doc.MoveSetBack(2, true, kFreehand));
    EXPECT_FALSE(doc.MoveSetBack(5, true, kFreehand));
    ASSERT_TRUE(doc.MoveCarForward(2, 1, true, kFreehand));
    EXPECT_EQ(Name(doc, 2, 0), "c");
    ASSERT_TRUE(doc.MoveCarBack(2, 0, true, kFreehand));
    EXPECT_EQ(Name(doc, 2, 0), "a");
    ASSERT_TRUE(doc.MoveSetForward(1, true, kFreehand));
    EXPECT_EQ(Name(doc, 0), "S2");
    ASSERT_TRUE(doc.MoveSetBack(1, true, kFreehand));
    EXPECT_EQ(Name(doc, 2), "S1");
    EXPECT_EQ(doc.GetPixel(2, 0, 2, 3, 4), 9);
    EXPECT_TRUE(ModelIsConsistent(doc));

    // By record.
    const VehicleSet& last = doc.Set(2);
    ASSERT_TRUE(doc.DeleteCar(doc.CarAt(0, 1), false, kFreehand));
    ASSERT_TRUE(doc.DeleteVehicleSet(last, false, kFreehand));
    EXPECT_FALSE(doc.DeleteVehicleSet(doc.Set(2), false, kFreehand));
    EXPECT_FALSE(doc.DeleteCar(doc.CarAt(0, 1), false, kFreehand));
    EXPECT_FALSE(doc.DeleteCar(0, 1, false, kFreehand));
    EXPECT_EQ(doc.CountSets(), 2);
    EXPECT_TRUE(ModelIsConsistent(doc));

    // Renaming to nothing would free the slot under its cars.
    EXPECT_EQ(doc.CheckRenameSet(0, ""), message::kSetNameEmpty);
    EXPECT_EQ(doc.CheckRenameSet(0, std::string(23, 'x')), message::kSetNameTooLong);
    EXPECT_FALSE(doc.RenameVehicleSet(0, "", kFreehand));
    EXPECT_TRUE(doc.RenameVehicleSet(0, "Neu", kFreehand));
    EXPECT_EQ(Name(doc, 0), "Neu");
}

TEST(VehicleModel, ReplacingAnAuthorAsksOnlyForARealOne) {
    VehicleDocument doc;
    EXPECT_EQ(doc.CheckAuthorChange("Neu", "unbekannt"), 0);
    doc.SetAuthor("unbekannt");
    EXPECT_EQ(doc.CheckAuthorChange("Neu", "unbekannt"), 0);
    doc.SetAuthor("M\xFCller");
    EXPECT_EQ(doc.CheckAuthorChange("M\xFCller", "unbekannt"), 0);
    EXPECT_EQ(doc.CheckAuthorChange("Neu", "unbekannt"), message::kQuestionReplaceAuthor);
    EXPECT_EQ(doc.CheckAuthorChange("Neu", "M\xC3\xBCller"), 0);  // the default, given in UTF-8
    EXPECT_TRUE(doc.IsModified());
}

TEST(VehicleModel, FindAndCountSpecialPixels) {
    VehicleDocument doc;
    EXPECT_FALSE(doc.AnyCars());
    Build(doc, {{}, {2, 1}});
    EXPECT_TRUE(doc.AnyCars());
    EXPECT_EQ(doc.FindSet(doc.Set(1)), 1);
    EXPECT_EQ(doc.FindSet(doc.Set(2)), -1);  // not a used set
    VehicleSet stranger;
    EXPECT_EQ(doc.FindSet(stranger), -1);
    EXPECT_EQ(doc.FindCar(doc.CarAt(1, 1)), (CarPosition{1, 1}));
    EXPECT_FALSE(doc.FindCar(doc.CarAt(1, 2)));

    EXPECT_EQ(doc.CountSpecialPixels(HalfTransparentIndex).count, 0);
    // View 0 of the first car is visited before any plane of the second car.
    doc.SetPixel(1, 1, 2, 0, 0, HalfTransparentIndex, false, kFreehand);
    doc.SetPixel(1, 0, 0, 7, 7, HalfTransparentIndex, false, kFreehand);
    const SpecialPixelHit hit = doc.CountSpecialPixels(HalfTransparentIndex);
    EXPECT_EQ(hit.count, 2);
    EXPECT_EQ(hit.set, 1);
    EXPECT_EQ(hit.car, 0);
    EXPECT_EQ(hit.view, 0);
    // Within a car, view 2 comes first.
    doc.SetPixel(1, 0, 2, 15, 13, HalfTransparentIndex, false, kFreehand);
    EXPECT_EQ(doc.CountSpecialPixels(HalfTransparentIndex).view, 2);
}

TEST(VehicleModel, CopiesAndPastesAreIndependent) {
    VehicleDocument doc;
    Build(doc, {{3, 4}, {}});
    ASSERT_TRUE(doc.SetCarFlags(0, 1, 0x8001, nullptr, kFreehand));
    ASSERT_TRUE(doc.SetPixel(0, 1, 1, 0, 0, 12, false, kFreehand));
    const Car clipboardCar = doc.CarAt(0, 1);
    const VehicleSet clipboardSet = doc.Set(0);

    EXPECT_EQ(doc.PasteCar(1, clipboardCar, kFreehand), 0);
    EXPECT_EQ(doc.CarAt(1, 0).carFlags, 0x8001u);
    ASSERT_TRUE(doc.SetPixel(1, 0, 1, 0, 0, 13, false, kFreehand));
    EXPECT_EQ(doc.GetPixel(0, 1, 1, 0, 0), 12);
    EXPECT_EQ(clipboardCar.planes[1][PixelOffset(1, 4, 0, 0)], 12);

    EXPECT_EQ(doc.PasteSet(clipboardSet, kFreehand), 2);
    ASSERT_TRUE(doc.SetPixel(2, 1, 1, 0, 0, 14, false, kFreehand));
    EXPECT_EQ(doc.GetPixel(0, 1, 1, 0, 0), 12);
    EXPECT_EQ(Name(doc, 2, 1), "C01");
    EXPECT_TRUE(ModelIsConsistent(doc));

    // Checks of pasting a car.
    Build(doc, {});
    ASSERT_EQ(doc.NewCar(1, "lang", 28, kFreehand), 0);
    EXPECT_EQ(doc.PasteCar(1, clipboardCar, kFreehand), message::kSetTooLong);
    EXPECT_EQ(doc.PasteCar(7, clipboardCar, kFreehand), -1);
    EXPECT_EQ(doc.PasteCar(1, Car{}, kFreehand), -1);
    for (int c = 0; c < 6; ++c) {
        ASSERT_EQ(doc.NewCar(2, "k", 1, kFreehand), 0);
    }
    EXPECT_EQ(doc.PasteCar(2, clipboardCar, kFreehand), message::kSetHoldsEightCars);

    // A set without cars is not pasted, nor is an eleventh set.
    VehicleSet empty;
    empty.name.Assign("leer");
    EXPECT_EQ(doc.PasteSet(empty, kFreehand), -1);
    while (doc.CountSets() < kMaxSets) {
        ASSERT_TRUE(doc.AddVehicleSet("x", kFreehand));
    }
    EXPECT_EQ(doc.PasteSet(clipboardSet, kFreehand), -1);
    EXPECT_TRUE(ModelIsConsistent(doc));
}

TEST(VehicleModel, HintsOfTheOperations) {
    VehicleDocument doc;
    FakeView view;
    FakeView other;
    doc.AttachListener(view);
    doc.AttachListener(other);
    EXPECT_EQ(doc.ListenerNumber(other), 1);

    ASSERT_TRUE(doc.AddVehicleSet("S", kFreehand));
    ASSERT_EQ(doc.NewCar(0, "a", 1, kFreehand), 0);
    ASSERT_EQ(doc.NewCar(0, "b", 1, kFreehand), 0);
    EXPECT_EQ(view.Codes(),
              (std::vector{Code::SetAdded, Code::Redraw, Code::Added, Code::Redraw, Code::Added}));
    EXPECT_EQ(view.hints[4], (VehicleHint{Code::Added, 0, 1}));

    view.hints.clear();
    ASSERT_TRUE(doc.SetPixel(0, 0, 0, 0, 0, 1, true, kFreehand));
    ASSERT_TRUE(doc.SetPixel(0, 0, 0, 0, 0, 1, false, kFreehand));
    ASSERT_TRUE(doc.MoveCarBack(0, 0, true, kFreehand));
    ASSERT_TRUE(doc.DeleteCar(0, 1, true, kFreehand));
    ASSERT_TRUE(doc.RenameVehicleSet(0, "T", kFreehand));
    ASSERT_TRUE(doc.DeleteVehicleSet(0, true, kFreehand));
    EXPECT_EQ(view.Codes(), (std::vector{Code::Redraw, Code::AboutToMove, Code::Redraw, Code::RebuildAll,
                                         Code::CarAboutToBeDeleted, Code::Redraw, Code::CarDeleted,
                                         Code::SetRenamed, Code::SetAboutToBeDeleted, Code::SetDeleted}));
    EXPECT_EQ(view.hints[4], (VehicleHint{Code::CarAboutToBeDeleted, 0, 1}));
    EXPECT_EQ(view.hints[8], (VehicleHint{Code::SetAboutToBeDeleted, 0}));

    // A change made in a view is not reported back to it; the tree labels are.
    Build(doc, {{1}});
    view.hints.clear();
    other.hints.clear();
    ASSERT_TRUE(doc.SetCarTexts(0, 0, "neu", "", "", &view, kFreehand));
    ASSERT_TRUE(doc.SetCarFlags(0, 0, 0x20, &view, kFreehand));
    EXPECT_EQ(view.Codes(), (std::vector{Code::CarTextsChanged}));
    EXPECT_EQ(other.Codes(),
              (std::vector{Code::CarChangedInView, Code::CarTextsChanged, Code::CarChangedInView}));

    view.hints.clear();
    // Action 1 rebuilds every car image, the others leave them alone.
    const auto revision = doc.CarAt(0, 0).bitmapRevision;
    doc.UpdateDoc(1);
    const auto rebuilt = doc.CarAt(0, 0).bitmapRevision;
    EXPECT_NE(rebuilt, revision);
    doc.UpdateDoc(2);
    doc.UpdateDoc(4);
    doc.UpdateDoc(8);
    EXPECT_EQ(doc.CarAt(0, 0).bitmapRevision, rebuilt);
    doc.RequestCarSelection(0, 0, 3);
    EXPECT_EQ(view.Codes(), (std::vector{Code::Redraw, Code::Tick, Code::FontChanged, Code::SelectCar}));
    EXPECT_EQ(view.hints.back(), (VehicleHint{Code::SelectCar, 0, 0, 3}));

    // The other view becomes view 0 and keeps its tree state.
    (*doc.MutableViewState(0))[0] = 1;
    (*doc.MutableViewState(0))[1] = 2;
    (*doc.MutableViewState(0, 0))[1] = 8;
    (*doc.MutableViewState(0, 0))[99] = 4;
    doc.DetachListener(view);
    EXPECT_EQ(doc.ListenerNumber(other), 0);
    EXPECT_EQ(doc.ListenerNumber(view), -1);
    EXPECT_EQ(doc.Set(0).viewState[0], 2);
    EXPECT_EQ(doc.Set(0).viewState[1], 0);
    EXPECT_EQ(doc.CarAt(0, 0).viewState[0], 8);
    EXPECT_EQ(doc.CarAt(0, 0).viewState[98], 4);
    EXPECT_EQ(doc.CarAt(0, 0).viewState[99], 0);
}

TEST(VehicleUndo, SnapshotsRestoreEverythingTheyHold) {
    VehicleDocument doc;
    FakeView view;
    doc.AttachListener(view);
    Build(doc, {{2, 3}, {1}});
    (*doc.MutableViewState(1))[0] = 3;
    (*doc.MutableViewState(0, 1))[0] = 5;
    view.tree = {0x20, 0};
    doc.CloseUndoGroup();
    doc.SetModified(false);
    const int steps = doc.UndoCount();
    const auto before = doc.Content().sets;

    ASSERT_TRUE(doc.RenameVehicleSet(0, "Umbenannt", kFreehand));
    ASSERT_TRUE(doc.SetCarTexts(0, 1, "Name", "Zwei", "Drei", nullptr, kFreehand));
    ASSERT_TRUE(doc.SetCarFlags(0, 1, 0x8071, nullptr, kFreehand));
    ASSERT_TRUE(doc.SetSteamValue(0, 1, 2, 2, steam::kHalf, kFreehand));
    ASSERT_TRUE(doc.SetPixel(1, 0, 3, 7, 3, 42, true, kLine));
    ASSERT_TRUE(doc.DeleteVehicleSet(0, true, kFreehand));
    view.tree = {0};
    (*doc.MutableViewState(0))[0] = 0;
    EXPECT_EQ(doc.UndoCount(), steps + 6);

    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(doc.Undo());
    }
    EXPECT_EQ(doc.UndoCount(), steps);
    EXPECT_TRUE(ModelIsConsistent(doc));
    const auto& restored = doc.Content().sets;
    for (int s = 0; s < kMaxSets; ++s) {
        EXPECT_EQ(restored[s].name, before[s].name);
        EXPECT_EQ(restored[s].carCount, before[s].carCount);
        EXPECT_EQ(restored[s].viewState, before[s].viewState);
        for (int c = 0; c < before[s].carCount; ++c) {
            const Car& got = restored[s].cars[c];
            const Car& want = before[s].cars[c];
            EXPECT_EQ(got.name, want.name);
            EXPECT_EQ(got.text2, want.text2);
            EXPECT_EQ(got.carFlags, want.carFlags) << s << "/" << c;
            EXPECT_EQ(got.segmentFlags, want.segmentFlags);
            EXPECT_EQ(got.planes, want.planes);
            EXPECT_EQ(got.viewState, want.viewState);
        }
    }
    // The tree words the view had before the first change come back to it.
    EXPECT_EQ(view.tree, (std::vector<std::int32_t>{0x20, 0}));
    EXPECT_EQ(view.hints.back().code, Code::RebuildAll);
    EXPECT_FALSE(doc.IsModified());

    // One redo step: the state before the last undo.
    ASSERT_TRUE(doc.Redo(kFreehand));
    EXPECT_EQ(Name(doc, 0), "Umbenannt");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.CanRedo());
}

// A reader that fails part-way still leaves a document that is whole: what it filled in, with
// an empty history, and the views told.
TEST(VehicleDocument, ReadContentTakesWhatAFailedReaderLeft) {
    VehicleDocument doc;
    FakeView view;
    doc.AttachListener(view);
    Build(doc, {{2, 3}, {1}});
    ASSERT_TRUE(doc.CanUndo());
    EXPECT_THROW(doc.ReadContent([](VehicleContent& content) {
        content.sets[0].name.Assign("Teil");
        throw std::runtime_error("kein Speicher");
    }),
                 std::runtime_error);
    EXPECT_EQ(doc.CountSets(), 1);
    EXPECT_EQ(doc.CountCars(0), 0);
    EXPECT_TRUE(ModelIsConsistent(doc));
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(view.hints.back().code, Code::RebuildAll);
}

// Restoring a state with fewer sets and cars than now leaves nothing of the later ones behind.
TEST(VehicleUndo, UndoEmptiesTheSlotsItDoesNotRestore) {
    VehicleDocument doc;
    Build(doc, {{2}});
    doc.CloseUndoGroup();
    const int steps = doc.UndoCount();
    ASSERT_TRUE(doc.AddCar(0, 1, "Zwei", "", "", 3, nullptr, kFreehand));
    ASSERT_TRUE(doc.AddVehicleSet("Neu", kFreehand));
    ASSERT_TRUE(doc.AddCar(1, 0, "Drei", "", "", 4, nullptr, kFreehand));
    ASSERT_TRUE(doc.SetPixel(0, 1, 1, 0, 0, 7, false, kLine));
    (*doc.MutableViewState(0, 1))[0] = 9;
    (*doc.MutableViewState(1))[0] = 4;

    while (doc.UndoCount() > steps) {
        ASSERT_TRUE(doc.Undo());
    }
    EXPECT_EQ(doc.CountSets(), 1);
    EXPECT_EQ(doc.CountCars(0), 1);
    EXPECT_TRUE(ModelIsConsistent(doc));
    EXPECT_EQ(doc.Set(0).cars[1].viewState[0], 0);
    EXPECT_EQ(doc.Set(1).viewState[0], 0);
    EXPECT_EQ(doc.Set(1).cars[0].viewState, ViewStateWords{});
}

TEST(VehicleUndo, LastChangesRoundTripThroughUndoAndRedo) {
    VehicleDocument doc;
    Build(doc, {{4}});
    doc.SetModified(false);
    doc.CloseUndoGroup();
    ASSERT_TRUE(doc.SetSteamValue(0, 0, 0, 3, steam::kWhole, kFreehand));
    ASSERT_TRUE(doc.SetCarFlags(0, 0, 0x10, nullptr, kFreehand));
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.CarAt(0, 0).carFlags, 0u);
    EXPECT_EQ(doc.SegmentWord(0, 0, 0, 3), steam::kWhole);
    ASSERT_TRUE(doc.Redo(kFreehand));
    EXPECT_EQ(doc.CarAt(0, 0).carFlags, 0x10u);
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.SegmentWord(0, 0, 0, 3), 0);
    EXPECT_FALSE(doc.IsModified());

    // A pixel edit after an undo disarms redo.
    ASSERT_TRUE(doc.Redo(kFreehand));
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.SetPixel(0, 0, 1, 0, 0, 3, false, kFreehand));
    EXPECT_FALSE(doc.CanRedo());
}

TEST(VehicleUndo, GroupsAndDepth) {
    VehicleDocument doc;
    Build(doc, {{2}});
    doc.CloseUndoGroup();
    const int start = doc.UndoCount();
    for (int i = 0; i < 20; ++i) {
        doc.SetPixel(0, 0, 1, i % 16, 0, 5, false, kFreehand);
    }
    EXPECT_EQ(doc.UndoCount(), start + 1);
    // A car deletion is a step of its own, also while the group of its mouse mode is open:
    // undoing it keeps the new car and the pixel drawn after it.
    ASSERT_EQ(doc.NewCar(0, "b", 1, kFreehand), 0);
    const int afterAdd = doc.UndoCount();
    doc.SetPixel(0, 0, 1, 0, 0, 6, false, kFreehand);
    ASSERT_TRUE(doc.DeleteCar(0, 0, true, kFreehand));
    EXPECT_EQ(doc.UndoCount(), afterAdd + 1);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.CountCars(0), 2);
    EXPECT_EQ(Name(doc, 0, 1), "b");
    EXPECT_EQ(doc.GetPixel(0, 0, 1, 0, 0), 6);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.CountCars(0), 1);
    EXPECT_EQ(doc.GetPixel(0, 0, 1, 0, 0), 5);

    for (int i = 0; i < 150; ++i) {
        ASSERT_TRUE(doc.RenameVehicleSet(0, std::string("N").append(std::to_string(i)), kFreehand));
    }
    EXPECT_EQ(doc.UndoCount(), 99);
    while (doc.Undo()) {
    }
    // The oldest 51 states are gone: the first rename reached back is number 50.
    EXPECT_EQ(Name(doc, 0), "N50");
}

// Closing a window renumbers the windows after it. A step taken before still gives every open
// window its own words and tree states back, and a window opened since keeps its own.
TEST(VehicleUndo, EveryOpenViewGetsItsOwnStateBackAfterAnotherClosed) {
    const struct {
        int views;
        int closed;  // -1: none
        bool openedAfter;
    } cases[] = {{2, 0, false}, {3, 0, false}, {3, 1, false}, {2, -1, true}, {3, 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.views << " views, closed " << c.closed << ", opened " << c.openedAfter);
        VehicleDocument doc;
        std::vector<FakeView> views(std::size_t(c.views) + 1);
        Build(doc, {{1}, {2, 1}, {3}});
        // Window k's words: a value of its own in every record.
        const auto word = [](int k, int record) { return std::int32_t(1000 * (k + 1) + record); };
        for (int k = 0; k < c.views; ++k) {
            doc.AttachListener(views[std::size_t(k)]);
            views[std::size_t(k)].tree = {word(k, 1), word(k, 2), word(k, 3)};
            for (int s = 0; s < 3; ++s) {
                (*doc.MutableViewState(s))[std::size_t(k)] = word(k, s);
                for (int car = 0; car < doc.CountCars(s); ++car) {
                    (*doc.MutableViewState(s, car))[std::size_t(k)] = word(k, 10 * s + car + 10);
                }
            }
        }
        doc.CloseUndoGroup();
        ASSERT_TRUE(doc.MoveSetBack(0, true, kFreehand));
        if (c.closed >= 0) {
            doc.DetachListener(views[std::size_t(c.closed)]);
        }
        FakeView& late = views.back();
        if (c.openedAfter) {
            doc.AttachListener(late);
            const int n = doc.ListenerNumber(late);
            (*doc.MutableViewState(2))[std::size_t(n)] = 77;
        }
        ASSERT_TRUE(doc.Undo());
        for (int k = 0; k < c.views; ++k) {
            if (k == c.closed) {
                continue;
            }
            const auto n = std::size_t(doc.ListenerNumber(views[std::size_t(k)]));
            EXPECT_EQ(views[std::size_t(k)].tree, (std::vector{word(k, 1), word(k, 2), word(k, 3)})) << k;
            for (int s = 0; s < 3; ++s) {
                EXPECT_EQ(doc.Set(s).viewState[n], word(k, s)) << k << " set " << s;
                for (int car = 0; car < doc.CountCars(s); ++car) {
                    EXPECT_EQ(doc.CarAt(s, car).viewState[n], word(k, 10 * s + car + 10)) << k;
                }
            }
        }
        if (c.openedAfter) {
            EXPECT_EQ(late.restores, 0);
            EXPECT_EQ(doc.Set(2).viewState[std::size_t(doc.ListenerNumber(late))], 77);
        }
        // No word is left for a window that is not open.
        const auto open = std::size_t(c.views - (c.closed >= 0 ? 1 : 0) + (c.openedAfter ? 1 : 0));
        EXPECT_EQ(doc.Set(0).viewState[open], 0);
    }
}

TEST(VehicleUndo, FullDocumentFitsTheFixedSnapshots) {
    VehicleDocument doc;
    std::vector<FakeView> views(101);
    for (FakeView& view : views) {
        view.tree.assign(12, 0x20);
        doc.AttachListener(view);
    }
    for (int s = 0; s < kMaxSets; ++s) {
        ASSERT_TRUE(doc.AddVehicleSet("Satz", kFreehand));
        for (int c = 0; c < kMaxCars; ++c) {
            ASSERT_TRUE(doc.AddCar(s, c, "Wagen", "", "", 4, nullptr, kFreehand));
        }
    }
    for (int view = 0; view < kViewCount; ++view) {
        ASSERT_TRUE(doc.SetPixel(9, 7, view, 7, 3, 1, false, kLine));
    }
    ASSERT_TRUE(doc.DeleteVehicleSet(9, false, kFreehand));
    const int steps = doc.UndoCount();
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.GetPixel(9, 7, 2, 7, 3), TransparentIndex);
    ASSERT_TRUE(doc.Redo(kLine));
    EXPECT_EQ(doc.GetPixel(9, 7, 2, 7, 3), 1);
    EXPECT_TRUE(ModelIsConsistent(doc));
    // Only the first 100 views take part; each gets at most one word per set.
    EXPECT_EQ(views[99].tree.size(), std::size_t(kMaxSets));
    EXPECT_EQ(views[100].restores, 0);

    // Every buffer kept the size it was given, and the full document used all of it: a
    // snapshot that needs more room would have grown its buffer (an allocation on a change).
    std::size_t largest = 0;
    int buffers = 0;
    doc.ForEachSnapshot([&](const VehicleSnapshot& snapshot) {
        EXPECT_EQ(snapshot.block.size(), VehicleDocument::kSnapshotCapacity) << "buffer " << buffers;
        largest = std::max(largest, snapshot.used);
        ++buffers;
    });
    EXPECT_EQ(buffers, steps + 1);  // one per recorded step, and the redo slot
    EXPECT_EQ(largest, VehicleDocument::kSnapshotCapacity);
}

TEST(SteamProperties, ContextSegmentOfAPoint) {
    const struct {
        int x, y;
        ContextSegment segment;
    } cases[] = {
        {0, 0, {0, 0}}, {7, 3, {0, 0}}, {8, 4, {1, 1}}, {20, 5, {2, 1}}, {-1, 5, {}},         {5, -1, {}},
        {-1, -1, {}},   {-8, -4, {}},   {0, -4, {}},    {-8, 0, {}},     {255, 55, {31, 13}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ContextSegmentAt(c.x, c.y), c.segment) << c.x << "," << c.y;
    }
}

TEST(SteamProperties, BandsSegmentsAndMarkers) {
    // Band j from the left or top: views 1 and 3 count along, views 2 and 0 against.
    EXPECT_EQ(SegmentOfBand(1, 4, 1), 1);
    EXPECT_EQ(SegmentOfBand(2, 4, 1), 2);
    EXPECT_EQ(SegmentOfBand(3, 4, 0), 0);
    EXPECT_EQ(SegmentOfBand(0, 4, 0), 3);
    EXPECT_EQ(SegmentOfBand(1, 4, 4), -1);
    EXPECT_EQ(SegmentOfBand(1, 4, -1), -1);

    // Right click on (20, 5) of view 2 of a car of length 4: band 2, segment 1.
    const ContextSegment context = ContextSegmentAt(20, 5);
    EXPECT_EQ(context, (ContextSegment{2, 1}));
    EXPECT_EQ(SegmentOfContext(2, 4, context), 1);
    EXPECT_EQ(SegmentOfContext(0, 4, context), 2);
    EXPECT_EQ(SegmentOfContext(2, 2, context), -1);  // remembered from a longer car
    EXPECT_EQ(SegmentOfContext(1, 4, ContextSegment{}), -1);

    // Half markers: right half in view 1, left in view 2, upper in view 3, lower in view 0.
    EXPECT_EQ(SteamMarkerOf(2, 2, steam::kHalf, 1), (SteamMarker{16, 4}));
    EXPECT_EQ(SteamMarkerOf(1, 2, steam::kHalf, 2), (SteamMarker{40, 8}));
    EXPECT_EQ(SteamMarkerOf(3, 1, steam::kHalf, 1), (SteamMarker{4, 2}));
    EXPECT_EQ(SteamMarkerOf(0, 1, steam::kHalf, 1), (SteamMarker{6, 2}));
    EXPECT_EQ(SteamMarkerOf(0, 1, steam::kWhole, 3), (SteamMarker{12, 12}));
    EXPECT_FALSE(SteamMarkerOf(1, 0, 0x3F, 1));
    EXPECT_EQ(SteamChoice(0xC0), steam::kHalf);

    VehicleDocument doc;
    Build(doc, {{4}});
    ASSERT_TRUE(doc.SetSteamValue(0, 0, 2, SegmentOfContext(2, 4, context), steam::kHalf, kFreehand));
    EXPECT_EQ(doc.SegmentWord(0, 0, 2, 1), steam::kHalf);
    EXPECT_FALSE(doc.SetSteamValue(0, 0, 2, 4, steam::kHalf, kFreehand));
    EXPECT_FALSE(doc.SetSteamValue(0, 0, 2, -1, steam::kHalf, kFreehand));
    // No such car, whatever the view.
    for (const int view : {2, 4}) {
        EXPECT_FALSE(doc.SetSteamValue(0, 1, view, 0, steam::kHalf, kFreehand)) << view;
        EXPECT_FALSE(doc.SetSteamValue(1, 0, view, 0, steam::kHalf, kFreehand)) << view;
    }
    // The dialog's value is the whole word: the first button clears it.
    ASSERT_TRUE(doc.SetSteamValue(0, 0, 2, 1, steam::kNone, kFreehand));
    EXPECT_EQ(doc.SegmentWord(0, 0, 2, 1), 0);
}

}  // namespace
}  // namespace zobl
