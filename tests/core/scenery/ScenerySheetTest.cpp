#include <gtest/gtest.h>

#include <vector>

#include "core/scenery/SceneryDocument.h"
#include "core/scenery/ScenerySheet.h"

namespace zobl {
namespace {

using namespace scenery;

// An open graphic takes a sheet: drawn rows become present as the rules allow, present rows
// stay even when the sheet leaves them empty.
TEST(ScenerySheetTest, SheetIntoAnOpenGraphicMakesDrawnRowsPresent) {
    const struct {
        const char* what;
        std::vector<int> present;  // rows present before, besides the base row
        std::vector<int> drawn;    // rows the sheet draws in
        std::uint32_t mask;        // rows present after
        std::vector<int> skipped;
    } cases[] = {
        {"upwards from the base", {}, {2, 1, 0}, 0b01111, {}},
        {"a row needs the one below it", {}, {1}, 0b01000, {1}},
        {"rows 0 and 4 exclude each other", {}, {2, 1, 0, 4}, 0b01111, {4}},
        {"present rows stay, drawn or not", {2, 4}, {2, 1}, 0b11110, {}},
        {"the cell below alone", {}, {4}, 0b11000, {}},
    };
    for (const auto& c : cases) {
        SceneryDocument doc;
        doc.Initialise();
        for (const int row : c.present) {
            ASSERT_EQ(doc.AddRow(5, row, kAddRowCheckRules), 0) << c.what;
        }
        std::vector<std::uint8_t> sheet(kStoreSize, TransparentIndex);
        for (const int row : c.drawn) {
            sheet[std::size_t(row * kCellHeight + 7) * kStoreWidth + 5 * kCellWidth + 9] = 44;
        }
        std::vector<int> skipped;
        for (const SkippedRow& s : SheetToScenery(sheet, doc)) {
            EXPECT_EQ(s.symbol, 5) << c.what;
            skipped.push_back(s.row);
        }
        EXPECT_EQ(skipped, c.skipped) << c.what;
        EXPECT_EQ(doc.Record(5).rowMask, c.mask) << c.what;
        EXPECT_EQ(doc.GetPixel(5, c.drawn.back(), 9, 7), 44) << c.what;
        EXPECT_EQ(SceneryToSheet(doc), sheet) << c.what;
    }
}

}  // namespace
}  // namespace zobl
