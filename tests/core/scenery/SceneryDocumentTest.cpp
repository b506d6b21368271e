#include "core/drawing/MouseMode.h"
#include "core/scenery/SceneryDocument.h"

#include <gtest/gtest.h>

#include "core/common/MessageError.h"

namespace zobl {
namespace {

using namespace scenery;

constexpr MouseMode kView = MouseMode::View;
constexpr MouseMode kFreehand = MouseMode::Freehand;
constexpr MouseMode kFill = MouseMode::Fill;

TEST(SceneryDocumentTest, NewDocumentHasOnlyBaseRowsAndTheDefaultPictureEverywhere) {
    SceneryDocument doc;
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_EQ(doc.Author(), "unbekannt");
    EXPECT_EQ(doc.InfoText(), "Keine Infos vorhanden");
    for (int s = 0; s < kSymbolCount; ++s) {
        EXPECT_EQ(doc.Record(s), (SymbolRecord{12, 8, 0}));
        for (int r = 0; r < kRowCount; ++r) {
            EXPECT_EQ(doc.IsRowPresent(s, r), r == kBaseRow);
            // A few characteristic pixels of the picture in every cell of every row.
            EXPECT_EQ(doc.GetPixel(s, r, 0, 0), TransparentIndex);
            EXPECT_EQ(doc.GetPixel(s, r, 3, 2), 15);    // b
            EXPECT_EQ(doc.GetPixel(s, r, 18, 3), 25);   // d
            EXPECT_EQ(doc.GetPixel(s, r, 5, 6), 35);    // e
            EXPECT_EQ(doc.GetPixel(s, r, 24, 11), 14);  // a
            EXPECT_EQ(doc.GetPixel(s, r, 5, 12), 16);   // c
            EXPECT_EQ(doc.GetPixel(s, r, 31, 15), TransparentIndex);
        }
    }
    // One whole cell against the picture, counted by colour.
    int counts[256] = {};
    for (int y = 0; y < kCellHeight; ++y) {
        for (int x = 0; x < kCellWidth; ++x) {
            ++counts[doc.GetPixel(7, 1, x, y)];
        }
    }
    EXPECT_EQ(counts[14], 14);
    EXPECT_EQ(counts[15], 18);
    EXPECT_EQ(counts[16], 21);
    EXPECT_EQ(counts[25], 11);
    EXPECT_EQ(counts[35], 24);
    EXPECT_EQ(counts[TransparentIndex], 424);
    // The display pixels show the same picture, top line first.
    EXPECT_EQ(doc.DisplayPixels()[2 * kStoreWidth + 3], 15);
}

TEST(SceneryDocumentTest, StoreIsBottomUpLinesOf1152Bytes) {
    EXPECT_EQ(StoreOffset(0, 0), 79u * 1152u);
    EXPECT_EQ(StoreOffset(1151, 79), 1151u);
    EXPECT_EQ(StoreOffset(35, 4, 31, 15), 1151u);
    EXPECT_EQ(StoreOffset(1, 3, 2, 5), std::size_t(79 - 53) * 1152 + 34);

    SceneryDocument doc;
    ASSERT_TRUE(doc.SetPixel(0, 0, 0, 0, 7, kFreehand));
    ASSERT_TRUE(doc.SetPixel(35, 4, 31, 15, 9, kFreehand));
    EXPECT_EQ(doc.PixelStore()[79 * 1152], 7);
    EXPECT_EQ(doc.PixelStore()[1151], 9);
}

TEST(SceneryDocumentTest, OutOfRangeAddressesChangeNothing) {
    SceneryDocument doc;
    EXPECT_FALSE(doc.SetPixel(36, 0, 0, 0, 1, kFreehand));
    EXPECT_FALSE(doc.SetPixel(0, 5, 0, 0, 1, kFreehand));
    EXPECT_FALSE(doc.SetPixel(0, 0, 32, 0, 1, kFreehand));
    EXPECT_EQ(doc.SetPixelDrawn(0, 0, 0, -1, 1, kFreehand), DrawOutcome::OutOfRange);
    EXPECT_EQ(doc.GetPixel(-1, 0, 0, 0), TransparentIndex);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.IsRowPresentForOutput(36, 3));
    EXPECT_FALSE(doc.IsRowPresentForOutput(0, 5));
    EXPECT_EQ(doc.AddRow(0, 7, 0), kAddRowInvalid);
}

TEST(SceneryDocumentTest, RowRules) {
    SceneryDocument doc;
    EXPECT_EQ(doc.AddRow(0, 0, kAddRowCheckRules), message::kRowNeedsRowBelow);
    EXPECT_EQ(doc.AddRow(0, 1, kAddRowCheckRules), message::kRowNeedsRowBelow);
    EXPECT_EQ(doc.AddRow(0, 2, kAddRowCheckRules), 0);
    EXPECT_EQ(doc.AddRow(0, 1, kAddRowCheckRules), 0);
    EXPECT_EQ(doc.AddRow(0, 0, kAddRowCheckRules), 0);
    EXPECT_EQ(doc.AddRow(0, 4, kAddRowCheckRules), message::kRowsExclusive);
    EXPECT_EQ(doc.AddRow(0, 2, kAddRowCheckRules), message::kRowAlreadyPresent);
    EXPECT_EQ(doc.AddRow(0, 3, kAddRowCheckRules | kAddRowQuiet), message::kRowAlreadyPresent);
    EXPECT_EQ(doc.Record(0).rowMask, 0b01111u);

    EXPECT_EQ(doc.AddRow(1, 4, kAddRowCheckRules), 0);
    EXPECT_EQ(doc.AddRow(1, 2, kAddRowCheckRules), 0);
    EXPECT_EQ(doc.AddRow(1, 1, kAddRowCheckRules), 0);
    EXPECT_EQ(doc.AddRow(1, 0, kAddRowCheckRules), message::kRowsExclusive);

    // Without rule checking (the file readers) anything goes, but row 3 is never touched.
    doc.RemoveRow(2, 3);
    EXPECT_FALSE(doc.IsRowPresent(2, 3));
    EXPECT_TRUE(doc.IsRowPresentForOutput(2, 3));
    EXPECT_EQ(doc.AddRow(2, 3, 0), 0);
    EXPECT_FALSE(doc.IsRowPresent(2, 3));
    EXPECT_EQ(doc.AddRow(2, 0, 0), 0);
    EXPECT_EQ(doc.AddRow(2, 4, 0), 0);
    EXPECT_EQ(doc.Record(2).rowMask, 0b10001u);

    // Adding and removing rows records no snapshot by itself.
    EXPECT_FALSE(doc.CanUndo());
}

TEST(SceneryDocumentTest, SetPixelDrawnReportsChangesAndPaintsTheDisplay) {
    SceneryDocument doc;
    EXPECT_EQ(doc.SetPixelDrawn(1, 2, 3, 4, 44, kFreehand), DrawOutcome::Changed);
    EXPECT_EQ(doc.GetPixel(1, 2, 3, 4), 44);
    EXPECT_EQ(doc.DisplayPixels()[std::size_t(2 * 16 + 4) * kStoreWidth + 32 + 3], 44);
    EXPECT_EQ(doc.UndoCount(), 1);

    // The same value again: nothing to repaint, but a snapshot when the group differs.
    EXPECT_EQ(doc.SetPixelDrawn(1, 2, 3, 4, 44, kFreehand), DrawOutcome::Unchanged);
    EXPECT_EQ(doc.UndoCount(), 1);
    EXPECT_EQ(doc.SetPixelDrawn(1, 2, 3, 4, 44, kFill), DrawOutcome::Unchanged);
    EXPECT_EQ(doc.UndoCount(), 2);

    // Plain SetPixel leaves the display alone until the bitmap is refreshed.
    ASSERT_TRUE(doc.SetPixel(0, 0, 0, 0, 1, kFill));
    EXPECT_EQ(doc.DisplayPixels()[0], TransparentIndex);
    doc.RefreshBitmap();
    EXPECT_EQ(doc.DisplayPixels()[0], 1);
}

// A document without a window has no display pixels; the first request makes them from the
// store, and from then on they stay in step and in place (views show them without a copy).
TEST(SceneryDocumentTest, TheDisplayIsMadeOnDemandAndThenKeptInStep) {
    SceneryDocument doc;
    ASSERT_TRUE(doc.SetPixel(0, 0, 0, 0, 7, kFill));
    const std::uint8_t* const display = doc.DisplayPixels().data();
    EXPECT_EQ(doc.DisplayPixels()[0], 7);
    EXPECT_EQ(doc.DisplayPixels()[2 * kStoreWidth + 3], doc.GetPixel(0, 0, 3, 2));  // the default picture

    EXPECT_EQ(doc.SetPixelDrawn(0, 0, 1, 0, 8, kFreehand), DrawOutcome::Changed);
    EXPECT_EQ(doc.DisplayPixels()[1], 8);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.DisplayPixels()[1], doc.GetPixel(0, 0, 1, 0));
    EXPECT_EQ(doc.DisplayPixels().data(), display);
}

TEST(SceneryDocumentTest, UndoRestoresPixelsAndMasksButNotTexts) {
    SceneryDocument doc;
    ASSERT_TRUE(doc.SetPixel(5, 3, 0, 0, 99, kFreehand));
    doc.PrepareChange(kView);
    ASSERT_EQ(doc.AddRow(5, 2, kAddRowCheckRules), 0);
    doc.SetAuthor("Erika");
    EXPECT_EQ(doc.UndoCount(), 2);

    ASSERT_TRUE(doc.Undo());
    EXPECT_FALSE(doc.IsRowPresent(5, 2));
    EXPECT_EQ(doc.GetPixel(5, 3, 0, 0), 99);
    EXPECT_EQ(doc.Author(), "Erika");
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.GetPixel(5, 3, 0, 0), TransparentIndex);
    // The display follows the undo without a separate refresh.
    EXPECT_EQ(doc.DisplayPixels()[std::size_t(3 * 16) * kStoreWidth + 5 * 32], TransparentIndex);
    EXPECT_FALSE(doc.IsModified());

    ASSERT_TRUE(doc.Redo(kFreehand));
    EXPECT_EQ(doc.GetPixel(5, 3, 0, 0), 99);
    EXPECT_TRUE(doc.IsModified());
}

TEST(SceneryDocumentTest, ReleasedDocumentIgnoresChangesUntilInitialised) {
    SceneryDocument doc;
    ASSERT_TRUE(doc.SetPixel(0, 3, 0, 0, 1, kFreehand));
    doc.Release();
    EXPECT_FALSE(doc.IsInitialised());
    EXPECT_FALSE(doc.SetPixel(0, 3, 0, 0, 2, kFreehand));
    EXPECT_EQ(doc.SetPixelDrawn(0, 3, 0, 0, 2, kFreehand), DrawOutcome::OutOfRange);
    EXPECT_EQ(doc.GetPixel(0, 3, 0, 0), TransparentIndex);
    EXPECT_FALSE(doc.Undo());
    EXPECT_TRUE(doc.PixelStore().empty());

    doc.Initialise();
    EXPECT_EQ(doc.PixelStore().size(), kStoreSize);
    EXPECT_EQ(doc.GetPixel(0, 3, 3, 2), 15);
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.IsModified());
}

}  // namespace
}  // namespace zobl
