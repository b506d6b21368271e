#include "core/drawing/MouseMode.h"
#include "core/scenery/SceneryTransforms.h"

#include <gtest/gtest.h>

#include <vector>

namespace zobl {
namespace {

using namespace scenery;

constexpr MouseMode kView = MouseMode::View;
constexpr MouseMode kMark = MouseMode::Mark;

PaletteIndex Px(const SceneryDocument& doc, int x, int y) {
    return doc.PixelStore()[StoreOffset(x, y)];
}

// A picture in which every pixel differs from its neighbours, loaded without snapshot.
void LoadPattern(SceneryDocument& doc) {
    const auto store = doc.PixelStoreForLoading();
    for (int y = 0; y < kStoreHeight; ++y) {
        for (int x = 0; x < kStoreWidth; ++x) {
            store[StoreOffset(x, y)] = PaletteIndex((x * 7 + y * 13) % 100);
        }
    }
    doc.RefreshBitmap();
}

std::vector<std::uint8_t> Pixels(const SceneryDocument& doc) {
    return {doc.PixelStore().begin(), doc.PixelStore().end()};
}

TEST(SceneryTransformsTest, MarkingsOnePixelWideOrHighCountAsEmpty) {
    EXPECT_TRUE(MarkedArea().IsEmpty());
    EXPECT_TRUE(MarkedArea::Between({10, 10}, {10, 14}).IsEmpty());
    EXPECT_TRUE(MarkedArea::Between({10, 10}, {14, 10}).IsEmpty());
    EXPECT_EQ(MarkedArea::Between({10, 10}, {10, 14}).WorkingArea(), WholeStoreRect());

    const MarkedArea area = MarkedArea::Between({14, 12}, {10, 10});
    EXPECT_FALSE(area.IsEmpty());
    EXPECT_EQ(area.Rect(), (PixelRect{10, 10, 14, 12}));
    EXPECT_EQ(area.WorkingArea(), area.Rect());
    // A press drags the marking except on its last column and line.
    EXPECT_TRUE(area.StartsDrag({10, 10}));
    EXPECT_TRUE(area.StartsDrag({13, 11}));
    EXPECT_FALSE(area.StartsDrag({14, 11}));
    EXPECT_FALSE(area.StartsDrag({13, 12}));
    EXPECT_FALSE(MarkedArea().StartsDrag({0, 0}));

    EXPECT_EQ(MarkedArea::All().Rect(), (PixelRect{0, 0, 1151, 79}));
    EXPECT_EQ(MarkedArea::Cell(2, 4).Rect(), (PixelRect{64, 64, 95, 79}));
    EXPECT_EQ(MarkedArea::Between({1100, 70}, {1300, 90}).WorkingArea(), (PixelRect{1100, 70, 1151, 79}));
    EXPECT_FALSE(MarkedArea::Between({2000, 0}, {2100, 5}).WorkingArea().HasPixels());
}

TEST(SceneryTransformsTest, MirrorsExchangeLinePairsAndKeepAnOddMiddle) {
    for (const int height : {4, 5}) {
        SceneryDocument doc;
        LoadPattern(doc);
        const std::vector<std::uint8_t> before = Pixels(doc);
        const auto old = [&](int x, int y) { return before[StoreOffset(x, y)]; };
        const MarkedArea area = MarkedArea::Between({100, 20}, {103, 20 + height - 1});
        const SceneryChange change =
            ApplyTransform(doc, SceneryTransform::MirrorVertically, area, {kMark, false});
        EXPECT_EQ(change.area, area.Rect());
        for (int i = 0; i < height; ++i) {
            EXPECT_EQ(Px(doc, 101, 20 + i), old(101, 20 + height - 1 - i)) << height << " " << i;
        }
        EXPECT_EQ(Px(doc, 104, 20), old(104, 20));
        EXPECT_EQ(Px(doc, 101, 19), old(101, 19));
        EXPECT_EQ(doc.DisplayPixels()[20 * kStoreWidth + 101], old(101, 20 + height - 1));

        ApplyTransform(doc, SceneryTransform::MirrorHorizontally,
                       MarkedArea::Between({0, 0}, {height - 1, 3}), {kMark, false});
        EXPECT_EQ(Px(doc, 0, 1), old(height - 1, 1));
        EXPECT_EQ(Px(doc, height - 1, 3), old(0, 3));
        EXPECT_EQ(Px(doc, 2, 2), old(height - 1 - 2, 2));
        ApplyTransform(doc, SceneryTransform::MirrorHorizontally,
                       MarkedArea::Between({0, 0}, {height - 1, 3}), {kMark, false});
        ApplyTransform(doc, SceneryTransform::MirrorVertically, area, {kMark, false});
        EXPECT_EQ(Pixels(doc), before);
    }
}

TEST(SceneryTransformsTest, ShiftsWrapAroundAndFourEachWayRestoreThePicture) {
    struct Pair {
        SceneryTransform there;
        SceneryTransform back;
        PixelPoint to;  // where the pixel at (12, 6) goes after one shift
    };
    const Pair pairs[] = {
        {SceneryTransform::ShiftDown, SceneryTransform::ShiftUp, {12, 7}},
        {SceneryTransform::ShiftUp, SceneryTransform::ShiftDown, {12, 5}},
        {SceneryTransform::ShiftRight, SceneryTransform::ShiftLeft, {13, 6}},
        {SceneryTransform::ShiftLeft, SceneryTransform::ShiftRight, {11, 6}},
    };
    // An area of 5 x 3 pixels: four shifts either way do not come round by themselves.
    for (const Pair& pair : pairs) {
        SceneryDocument doc;
        LoadPattern(doc);
        const std::vector<std::uint8_t> before = Pixels(doc);
        const MarkedArea area = MarkedArea::Between({10, 5}, {14, 7});
        ApplyTransform(doc, pair.there, area, {kMark, false});
        EXPECT_EQ(Px(doc, pair.to.x, pair.to.y), before[StoreOffset(12, 6)]);
        for (int i = 1; i < 4; ++i) {
            ApplyTransform(doc, pair.there, area, {kMark, false});
        }
        const std::vector<std::uint8_t> after4 = Pixels(doc);
        EXPECT_NE(after4, before);
        for (int i = 0; i < 4; ++i) {
            ApplyTransform(doc, pair.back, area, {kMark, false});
        }
        EXPECT_EQ(Pixels(doc), before);
    }
    // Wrap-around on the whole store (nothing marked), pixels of absent rows included.
    SceneryDocument doc;
    LoadPattern(doc);
    const std::vector<std::uint8_t> before = Pixels(doc);
    ApplyTransform(doc, SceneryTransform::ShiftDown, MarkedArea(), {kMark, false});
    EXPECT_EQ(Px(doc, 7, 0), before[StoreOffset(7, 79)]);
    EXPECT_EQ(Px(doc, 7, 1), before[StoreOffset(7, 0)]);
    ApplyTransform(doc, SceneryTransform::ShiftLeft, MarkedArea(), {kMark, false});
    EXPECT_EQ(Px(doc, 1151, 1), before[StoreOffset(0, 0)]);
}

TEST(SceneryTransformsTest, WholeDocumentMirrorAndUndoSteps) {
    SceneryDocument doc;
    LoadPattern(doc);
    const std::vector<std::uint8_t> before = Pixels(doc);
    const SceneryChange change = ApplyTransform(doc, SceneryTransform::MirrorVertically,
                                                MarkedArea::Between({3, 3}, {3, 9}), {kView, false});
    EXPECT_EQ(change.area, WholeStoreRect());
    EXPECT_EQ(Px(doc, 0, 0), before[StoreOffset(0, 79)]);
    EXPECT_EQ(Px(doc, 1151, 40), before[StoreOffset(1151, 39)]);
    EXPECT_TRUE(doc.IsModified());

    // Transforms in one mouse mode merge into one undo step; SINGLEUNDO makes each a step.
    ApplyTransform(doc, SceneryTransform::ShiftUp, MarkedArea(), {kView, false});
    EXPECT_EQ(doc.UndoCount(), 1);
    ApplyTransform(doc, SceneryTransform::ShiftUp, MarkedArea(), {kView, true});
    ApplyTransform(doc, SceneryTransform::ShiftUp, MarkedArea(), {kView, true});
    EXPECT_EQ(doc.UndoCount(), 2);
    EXPECT_EQ(doc.OpenUndoGroup(), std::nullopt);
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Pixels(doc), before);
    EXPECT_FALSE(doc.IsModified());
}

// A marking dragged out of the picture on any side has no pixels to work on: every transform
// leaves the picture, the undo history and the open undo group alone, also under SINGLEUNDO.
TEST(SceneryTransformsTest, MarkingOutsideThePictureChangesNothing) {
    const MarkedArea outside[] = {
        MarkedArea::Between({-50, 10}, {-5, 20}),     // left
        MarkedArea::Between({1160, 10}, {1200, 20}),  // right
        MarkedArea::Between({10, -30}, {20, -2}),     // above
        MarkedArea::Between({10, 85}, {20, 120}),     // below
        MarkedArea::Between({-20, -20}, {-10, -10}),  // beyond a corner
    };
    const SceneryTransform transforms[] = {
        SceneryTransform::MirrorVertically, SceneryTransform::MirrorHorizontally,
        SceneryTransform::ShiftDown,        SceneryTransform::ShiftUp,
        SceneryTransform::ShiftRight,       SceneryTransform::ShiftLeft};
    for (const MarkedArea& marked : outside) {
        for (const SceneryTransform transform : transforms) {
            SCOPED_TRACE(testing::Message() << "marked " << marked.Rect().x0 << "," << marked.Rect().y0
                                            << " transform " << int(transform));
            SceneryDocument doc;
            LoadPattern(doc);
            // One change in the mouse mode leaves its undo group open.
            ApplyTransform(doc, SceneryTransform::ShiftUp, MarkedArea::Between({0, 0}, {3, 3}),
                           {kMark, false});
            const std::vector<std::uint8_t> before = Pixels(doc);
            ASSERT_EQ(doc.OpenUndoGroup(), kMark);

            EXPECT_TRUE(ApplyTransform(doc, transform, marked, {kMark, true}).IsNothing());
            EXPECT_TRUE(ApplyTransform(doc, transform, marked, {kView, true}).IsNothing());
            EXPECT_TRUE(Pixels(doc) == before);
            EXPECT_EQ(doc.UndoCount(), 1);
            EXPECT_EQ(doc.OpenUndoGroup(), kMark);
        }
    }
}

TEST(SceneryTransformsTest, RowRemovalKeepsTheRowsAboveTheBaseContiguous) {
    SceneryDocument doc;
    ASSERT_EQ(doc.AddRow(0, 2, kAddRowCheckRules), 0);
    ASSERT_EQ(doc.AddRow(0, 1, kAddRowCheckRules), 0);
    ASSERT_EQ(doc.AddRow(0, 0, kAddRowCheckRules), 0);
    ASSERT_EQ(doc.AddRow(1, 4, kAddRowCheckRules), 0);

    EXPECT_FALSE(CanRemoveRow(doc, 0, 3));
    EXPECT_FALSE(CanRemoveRow(doc, 0, 2));
    EXPECT_FALSE(CanRemoveRow(doc, 0, 1));
    EXPECT_TRUE(CanRemoveRow(doc, 0, 0));
    EXPECT_TRUE(CanRemoveRow(doc, 1, 4));
    EXPECT_FALSE(CanRemoveRow(doc, 1, 3));
    EXPECT_FALSE(CanRemoveRow(doc, 2, 4));  // absent
    EXPECT_FALSE(CanRemoveRow(doc, 36, 0));
    EXPECT_FALSE(CanRemoveRow(doc, 0, -1));

    EXPECT_TRUE(RemoveRowCommand(doc, 0, 1, kView).IsNothing());
    EXPECT_EQ(doc.UndoCount(), 0);
    EXPECT_EQ(RemoveRowCommand(doc, 0, 0, kView), SceneryChange::Everything());
    doc.CloseUndoGroup();
    // Row 0 gone, row 1 still there: row 2 holds it up.
    EXPECT_FALSE(CanRemoveRow(doc, 0, 2));
    EXPECT_EQ(RemoveRowCommand(doc, 0, 1, kView), SceneryChange::Everything());
    EXPECT_TRUE(CanRemoveRow(doc, 0, 2));
    EXPECT_TRUE(RemoveRowCommand(doc, 0, 3, kView).IsNothing());
    EXPECT_EQ(doc.Record(0).rowMask, 0b01100u);
    EXPECT_EQ(doc.UndoCount(), 2);
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.IsRowPresent(0, 1));
    EXPECT_FALSE(doc.IsRowPresent(0, 0));
}

TEST(SceneryTransformsTest, RemovedRowKeepsItsPictureForWhenItComesBack) {
    SceneryDocument doc;
    ASSERT_EQ(doc.AddRow(5, 4, kAddRowCheckRules), 0);
    ASSERT_TRUE(doc.SetPixel(5, 4, 1, 1, 42, kMark));
    EXPECT_FALSE(RemoveRowCommand(doc, 5, 4, kView).IsNothing());
    EXPECT_EQ(doc.GetPixel(5, 4, 1, 1), 42);
    EXPECT_EQ(AddRowByDoubleClick(doc, 5, 4, kView), 0);
    EXPECT_TRUE(doc.IsRowPresent(5, 4));
    EXPECT_EQ(doc.GetPixel(5, 4, 1, 1), 42);
}

}  // namespace
}  // namespace zobl
