#include "core/drawing/MouseMode.h"
#include "core/scenery/SceneryTools.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/common/MessageError.h"
#include "core/drawing/UBStack.h"
#include "core/lang/LanguageManager.h"

namespace zobl {
namespace {

using namespace scenery;

constexpr MouseMode kLine = MouseMode::Line;
constexpr MouseMode kRectangle = MouseMode::Rectangle;
constexpr MouseMode kFilledRectangle = MouseMode::FilledRectangle;
constexpr MouseMode kFill = MouseMode::Fill;
constexpr MouseMode kReplace = MouseMode::ReplaceColor;
constexpr DrawingColours kColours{10, 20};

using Points = std::vector<PixelPoint>;

PaletteIndex Px(const SceneryDocument& doc, int x, int y) {
    return doc.PixelStore()[StoreOffset(x, y)];
}

// Loads a plain picture without undo snapshot, as a file reader would.
void LoadPlain(SceneryDocument& doc, PaletteIndex value) {
    const auto store = doc.PixelStoreForLoading();
    std::fill(store.begin(), store.end(), value);
    doc.RefreshBitmap();
}

void MakeEveryRowPresent(SceneryDocument& doc) {
    for (int s = 0; s < kSymbolCount; ++s) {
        for (int r = 0; r < kRowCount; ++r) {
            doc.AddRow(s, r, 0);
        }
    }
}

std::size_t CountOf(const SceneryDocument& doc, PaletteIndex value) {
    return std::size_t(std::count(doc.PixelStore().begin(), doc.PixelStore().end(), value));
}

TEST(SceneryToolsTest, LinePointsRoundHalfUpAlongTheLongerAxis) {
    EXPECT_EQ(LinePoints({0, 0}, {3, 1}), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(LinePoints({3, 1}, {0, 0}), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    // Ties go to the y-major branch: the diagonal.
    EXPECT_EQ(LinePoints({2, 2}, {0, 0}), (Points{{0, 0}, {1, 1}, {2, 2}}));
    // Halves round up, also on a falling line (not away from zero).
    EXPECT_EQ(LinePoints({0, 0}, {4, 2}), (Points{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
    EXPECT_EQ(LinePoints({0, 2}, {4, 0}), (Points{{0, 2}, {1, 2}, {2, 1}, {3, 1}, {4, 0}}));
    EXPECT_EQ(LinePoints({5, 0}, {3, 4}), (Points{{5, 0}, {5, 1}, {4, 2}, {4, 3}, {3, 4}}));
    EXPECT_EQ(LinePoints({7, 9}, {7, 6}), (Points{{7, 6}, {7, 7}, {7, 8}, {7, 9}}));
    EXPECT_EQ(LinePoints({9, 1}, {7, 1}), (Points{{7, 1}, {8, 1}, {9, 1}}));
    EXPECT_EQ(LinePoints({4, 4}, {4, 4}), (Points{{4, 4}}));
    EXPECT_EQ(LinePoints({0, 0}, {1151, 79}).size(), 1152u);
    EXPECT_TRUE(LinePoints({0, 0}, {1 << 30, 3}).empty());
}

TEST(SceneryToolsTest, OutlineCornersCancelInTheInvertedPreview) {
    const Points outline = RectangleOutlinePoints({2, 2}, {0, 0});
    EXPECT_EQ(outline.size(), 12u);
    EXPECT_EQ(outline.front(), (PixelPoint{0, 0}));
    EXPECT_EQ(InvertedPreviewPixels(outline), (Points{{1, 0}, {1, 2}, {0, 1}, {2, 1}}));
    // A one-line rectangle plots its inner pixels twice and its ends three times: only the
    // ends show; a one-pixel rectangle does not show at all.
    EXPECT_EQ(InvertedPreviewPixels(RectangleOutlinePoints({0, 5}, {9, 5})), (Points{{0, 5}, {9, 5}}));
    EXPECT_EQ(InvertedPreviewPixels(RectangleOutlinePoints({4, 0}, {4, 3})), (Points{{4, 0}, {4, 3}}));
    EXPECT_TRUE(InvertedPreviewPixels(RectangleOutlinePoints({4, 4}, {4, 4})).empty());
    EXPECT_EQ(InvertedPreviewPixels(LinePoints({0, 0}, {3, 1})), LinePoints({0, 0}, {3, 1}));
}

TEST(SceneryToolsTest, LineAndOutlineAreDrawnPixelByPixelIntoTheDisplay) {
    SceneryDocument doc;
    LoadPlain(doc, 1);
    const SceneryChange line =
        FinishShapeTool(doc, {kLine, false}, MouseButton::Right, false, {100, 10}, {103, 11}, kColours, true);
    EXPECT_EQ(line, (SceneryChange{SceneryChange::Kind::Area, {100, 10, 103, 11}}));
    EXPECT_EQ(Px(doc, 101, 10), 20);
    EXPECT_EQ(Px(doc, 102, 11), 20);
    EXPECT_EQ(Px(doc, 101, 11), 1);
    EXPECT_EQ(doc.DisplayPixels()[11 * kStoreWidth + 102], 20);

    const SceneryChange outline =
        FinishShapeTool(doc, {kRectangle, false}, MouseButton::Left, false, {5, 5}, {1, 1}, kColours, true);
    EXPECT_EQ(outline.area, (PixelRect{1, 1, 5, 5}));
    EXPECT_EQ(Px(doc, 1, 3), 10);
    EXPECT_EQ(Px(doc, 5, 1), 10);
    EXPECT_EQ(Px(doc, 3, 3), 1);
    EXPECT_EQ(CountOf(doc, 10), 16u);

    // Drawing what is already there changes nothing the views must repaint.
    EXPECT_TRUE(
        FinishShapeTool(doc, {kRectangle, false}, MouseButton::Left, false, {5, 5}, {1, 1}, kColours, true)
            .IsNothing());
    // Previews and marking frames never reach the document.
    EXPECT_TRUE(DrawShape(doc, {0, 0}, {9, 9}, ShapePreviewFlags(kLine) | shape::kLeftColour, kColours, kLine)
                    .IsNothing());
    EXPECT_EQ(Px(doc, 0, 0), 1);
}

TEST(SceneryToolsTest, FilledRectangleWithCtrlIsFramedInTheOtherColourInOneUndoStep) {
    SceneryDocument doc;
    LoadPlain(doc, 1);
    const EditContext context{kFilledRectangle, true};
    const SceneryChange left =
        FinishShapeTool(doc, context, MouseButton::Left, true, {40, 30}, {36, 34}, kColours, true);
    EXPECT_EQ(left.area, (PixelRect{36, 30, 40, 34}));
    EXPECT_EQ(Px(doc, 38, 32), 10);  // filled with the left colour
    EXPECT_EQ(Px(doc, 36, 30), 20);  // framed with the right one
    EXPECT_EQ(Px(doc, 40, 33), 20);
    EXPECT_EQ(CountOf(doc, 10), 9u);
    EXPECT_EQ(CountOf(doc, 20), 16u);
    EXPECT_EQ(doc.DisplayPixels()[32 * kStoreWidth + 38], 10);
    EXPECT_EQ(doc.UndoCount(), 1);
    EXPECT_EQ(doc.OpenUndoGroup(), std::nullopt);

    FinishShapeTool(doc, context, MouseButton::Right, true, {0, 0}, {2, 2}, kColours, true);
    EXPECT_EQ(Px(doc, 1, 1), 20);
    EXPECT_EQ(Px(doc, 0, 0), 10);
    FinishShapeTool(doc, context, MouseButton::Right, false, {5, 5}, {6, 6}, kColours, true);
    EXPECT_EQ(Px(doc, 5, 5), 20);
    EXPECT_EQ(doc.UndoCount(), 3);

    // Undo takes back the whole last rectangle, then the framed one before it.
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Px(doc, 5, 5), 1);
    EXPECT_EQ(Px(doc, 1, 1), 20);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Px(doc, 1, 1), 1);
    EXPECT_EQ(Px(doc, 0, 0), 1);
    EXPECT_EQ(Px(doc, 36, 30), 20);
}

TEST(SceneryToolsTest, ShapesMergeIntoOneUndoStepUnlessSingleUndo) {
    SceneryDocument doc;
    for (int i = 0; i < 3; ++i) {
        FinishShapeTool(doc, {kLine, false}, MouseButton::Left, false, {0, i}, {20, i}, kColours, true);
    }
    EXPECT_EQ(doc.UndoCount(), 1);
    EXPECT_EQ(doc.OpenUndoGroup(), kLine);
    // Under SINGLEUNDO the first line still joins the open group, then every line is a step.
    for (int i = 0; i < 3; ++i) {
        FinishShapeTool(doc, {kLine, true}, MouseButton::Left, false, {0, i}, {20, 9}, kColours, true);
    }
    EXPECT_EQ(doc.UndoCount(), 3);

    // Released beside the pixels: nothing drawn, but the group still closes under SINGLEUNDO.
    FinishShapeTool(doc, {kRectangle, false}, MouseButton::Left, false, {0, 0}, {9, 9}, kColours, false);
    EXPECT_EQ(doc.UndoCount(), 3);
    EXPECT_EQ(doc.OpenUndoGroup(), std::nullopt);
    // Points outside the store are never drawn between.
    EXPECT_TRUE(
        DrawShape(doc, {0, 0}, {1152, 0}, shape::kLine | shape::kLeftColour, kColours, kLine).IsNothing());
    EXPECT_EQ(doc.UndoCount(), 3);
}

TEST(SceneryToolsTest, FillFollowsDiagonalsOnlyWithFillDiagonal) {
    for (const bool diagonal : {false, true}) {
        SceneryDocument doc;
        LoadPlain(doc, 1);
        // Two 2-pixel regions of colour 2 touching at a corner.
        auto store = doc.PixelStoreForLoading();
        for (const PixelPoint p :
             {PixelPoint{10, 50}, PixelPoint{10, 51}, PixelPoint{11, 52}, PixelPoint{12, 52}}) {
            store[StoreOffset(p.x, p.y)] = 2;
        }
        const FloodFillResult result = FloodFill(doc, {10, 50}, 3, diagonal, {kFill, false}, nullptr);
        EXPECT_TRUE(result.complete);
        EXPECT_EQ(result.pixelsChanged, diagonal ? 4u : 2u);
        EXPECT_EQ(Px(doc, 12, 52), diagonal ? 3 : 2);
        EXPECT_EQ(result.change.area, (PixelRect{10, 50, diagonal ? 12 : 10, diagonal ? 52 : 51}));
        EXPECT_EQ(doc.DisplayPixels()[51 * kStoreWidth + 10], 3);
    }
}

TEST(SceneryToolsTest, FillStopsAtAbsentRows) {
    SceneryDocument doc;
    LoadPlain(doc, 1);
    ASSERT_EQ(doc.AddRow(5, 2, kAddRowCheckRules), 0);
    const FloodFillResult result = FloodFill(doc, {0, 48}, 4, true, {kFill, false}, nullptr);
    // Every base row (all connected side by side) and row 2 of symbol 5, nothing else.
    EXPECT_EQ(result.pixelsChanged, std::size_t(kSymbolCount + 1) * kCellWidth * kCellHeight);
    EXPECT_EQ(Px(doc, 5 * 32, 32), 4);
    EXPECT_EQ(Px(doc, 4 * 32, 47), 1);
    EXPECT_EQ(Px(doc, 0, 64), 1);
    EXPECT_EQ(result.change.area, (PixelRect{0, 32, 1151, 63}));

    // Pressed on the hidden place of an absent row: that pixel alone changes.
    const FloodFillResult hidden = FloodFill(doc, {7, 8}, 6, true, {kFill, false}, nullptr);
    EXPECT_EQ(hidden.pixelsChanged, 1u);
    EXPECT_EQ(Px(doc, 7, 8), 6);
}

TEST(SceneryToolsTest, FillOfTheWholeStoreUsesTheWorkStack) {
    for (const bool diagonal : {false, true}) {
        SceneryDocument doc;
        MakeEveryRowPresent(doc);
        LoadPlain(doc, 1);
        CUBStack stack(2048);
        // Left-overs on the stack are not taken for points to fill from.
        stack.Push(1000);
        stack.Push(3);
        const FloodFillResult result = FloodFill(doc, {1151, 0}, 9, diagonal, {kFill, false}, &stack);
        EXPECT_TRUE(result.complete);
        EXPECT_EQ(result.pixelsChanged, kStoreSize);
        EXPECT_EQ(CountOf(doc, 9), kStoreSize);
        EXPECT_EQ(result.change.area, WholeStoreRect());
        EXPECT_GT(stack.Capacity(), 0);
        EXPECT_EQ(stack.Count(), 0);
        EXPECT_EQ(std::count(doc.DisplayPixels().begin(), doc.DisplayPixels().end(), 9),
                  std::ptrdiff_t(kStoreSize));
    }
    // A serpentine path, one pixel wide: the deepest a depth-first fill gets.
    SceneryDocument doc;
    MakeEveryRowPresent(doc);
    LoadPlain(doc, 1);
    auto store = doc.PixelStoreForLoading();
    for (int y = 1; y < kStoreHeight; y += 2) {
        for (int x = 0; x < kStoreWidth; ++x) {
            const bool gap = (y % 4 == 1) ? x == kStoreWidth - 1 : x == 0;
            if (!gap) {
                store[StoreOffset(x, y)] = 2;
            }
        }
    }
    const std::size_t path = CountOf(doc, 1);
    EXPECT_EQ(FloodFill(doc, {0, 0}, 5, false, {kFill, false}, nullptr).pixelsChanged, path);
}

TEST(SceneryToolsTest, FillUndoStepsAndNoOpFill) {
    SceneryDocument doc;
    LoadPlain(doc, 1);
    // Same colour as the pixel: nothing, not even a snapshot.
    EXPECT_TRUE(FloodFill(doc, {3, 50}, 1, false, {kFill, false}, nullptr).change.IsNothing());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.UndoCount(), 0);
    EXPECT_TRUE(FloodFill(doc, {-1, 50}, 2, false, {kFill, false}, nullptr).change.IsNothing());

    FloodFill(doc, {3, 50}, 2, false, {kFill, false}, nullptr);
    FloodFill(doc, {3, 50}, 3, false, {kFill, false}, nullptr);
    EXPECT_EQ(doc.UndoCount(), 1);
    EXPECT_EQ(doc.OpenUndoGroup(), kFill);
    FloodFill(doc, {3, 50}, 4, false, {kFill, true}, nullptr);
    EXPECT_EQ(doc.UndoCount(), 1);
    EXPECT_EQ(doc.OpenUndoGroup(), std::nullopt);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Px(doc, 3, 50), 1);
    EXPECT_EQ(doc.DisplayPixels()[50 * kStoreWidth + 3], 1);
}

TEST(SceneryToolsTest, ReplaceColourPaintsOnlyTheReplacedColour) {
    SceneryDocument doc;
    LoadPlain(doc, 1);
    doc.PixelStoreForLoading()[StoreOffset(8, 8)] = 2;
    EXPECT_TRUE(ReplaceColourAt(doc, {9, 8}, 2, 7, kReplace).IsNothing());
    EXPECT_EQ(ReplaceColourAt(doc, {8, 8}, 2, 7, kReplace).area, (PixelRect{8, 8, 8, 8}));
    EXPECT_EQ(Px(doc, 8, 8), 7);
    EXPECT_EQ(Px(doc, 9, 8), 1);
    EXPECT_TRUE(PaintPixel(doc, {2000, 8}, 7, kReplace).IsNothing());
}

TEST(SceneryToolsTest, DoubleClickAddsARowOnlyWhenTheRulesAllow) {
    SceneryDocument doc;
    // Refused by a rule: nothing changes, no undo step, not modified.
    EXPECT_EQ(AddRowByDoubleClick(doc, 4, 0, MouseMode::View), message::kRowNeedsRowBelow);
    EXPECT_FALSE(doc.IsRowPresent(4, 0));
    EXPECT_EQ(doc.UndoCount(), 0);
    EXPECT_FALSE(doc.IsModified());
    doc.AddRow(4, 2, 0);
    doc.AddRow(4, 1, 0);
    ASSERT_EQ(AddRowByDoubleClick(doc, 4, 4, MouseMode::View), 0);
    doc.CloseUndoGroup();
    doc.SetModified(false);
    EXPECT_EQ(AddRowByDoubleClick(doc, 4, 0, MouseMode::View), message::kRowsExclusive);
    EXPECT_EQ(doc.UndoCount(), 1);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(AddRowByDoubleClick(doc, 4, 3, MouseMode::View), kAddRowInvalid);
    EXPECT_EQ(AddRowByDoubleClick(doc, 40, 2, MouseMode::View), kAddRowInvalid);
    doc.CloseUndoGroup();
    EXPECT_EQ(AddRowByDoubleClick(doc, 5, 2, MouseMode::View), 0);
    EXPECT_TRUE(doc.IsRowPresent(5, 2));
    ASSERT_TRUE(doc.Undo());
    EXPECT_FALSE(doc.IsRowPresent(5, 2));
}

TEST(SceneryToolsTest, StatusTexts) {
    SceneryDocument doc;
    const CLanguageManager language("/nonexistent/zobl_ge.rtx");
    EXPECT_EQ(PixelStatusText(language, doc, {1, 3, 2, 5}),
              "34:53 = (Symbol: 1:3 -> 2:5) __RTX__ __RTX__ (56)");
    EXPECT_EQ(PixelStatusText(language, doc, {1, 3, 3, 5}),
              "35:53 = (Symbol: 1:3 -> 3:5) __RTX__ __RTX__ (14)");
    EXPECT_EQ(MarkExtentText({5, 5}, {2, 9}), "4x5");
}

}  // namespace
}  // namespace zobl
