#include "core/scenery/ScenerySheet.h"

#include <stdexcept>

#include "core/scenery/SceneryDocument.h"

namespace zobl {

using namespace scenery;

std::vector<std::uint8_t> SceneryToSheet(const SceneryDocument& doc) {
    // The store's own bytes, not the display copy, which may be stale.
    std::vector<std::uint8_t> sheet(kStoreSize);
    for (int y = 0; y < kStoreHeight; ++y) {
        for (int x = 0; x < kStoreWidth; ++x) {
            sheet[std::size_t(y) * kStoreWidth + std::size_t(x)] = doc.PixelStore()[StoreOffset(x, y)];
        }
    }
    return sheet;
}

std::vector<SkippedRow> SheetToScenery(std::span<const std::uint8_t> sheet, SceneryDocument& doc) {
    if (sheet.size() != kStoreSize || !doc.IsInitialised()) {
        throw std::invalid_argument("SheetToScenery: a sheet of 1152 x 80 into an initialised graphic");
    }
    auto store = doc.PixelStoreForLoading();
    for (int y = 0; y < kStoreHeight; ++y) {
        for (int x = 0; x < kStoreWidth; ++x) {
            store[StoreOffset(x, y)] = sheet[std::size_t(y) * kStoreWidth + std::size_t(x)];
        }
    }
    // The order the rules can follow: a row above the base needs the one below it.
    std::vector<SkippedRow> skipped;
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        for (int row : {2, 1, 0, 4}) {
            bool drawn = false;
            for (int y = 0; y < kCellHeight && !drawn; ++y) {
                for (int x = 0; x < kCellWidth && !drawn; ++x) {
                    drawn = doc.GetPixel(symbol, row, x, y) != TransparentIndex;
                }
            }
            if (drawn && !doc.IsRowPresent(symbol, row) &&
                doc.AddRow(symbol, row, kAddRowCheckRules | kAddRowQuiet) != 0) {
                skipped.push_back({symbol, row});
            }
        }
    }
    doc.RefreshBitmap();
    return skipped;
}

}  // namespace zobl
