#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/drawing/MouseMode.h"
#include "core/palette/Palette.h"
#include "core/undo/UndoableDocument.h"

namespace zobl {

// The fixed geometry of a scenery graphic: 36 symbols side by side, each of five stacked cells
// ("Teilsymbole") of 32 x 16 pixels. Row 3 is every symbol's base row; rows 2, 1, 0 stack above
// it and row 4 is the cell below it.
namespace scenery {
inline constexpr int kSymbolCount = 36;
inline constexpr int kRowCount = 5;
inline constexpr int kCellWidth = 32;
inline constexpr int kCellHeight = 16;
inline constexpr int kBaseRow = 3;
inline constexpr int kStoreWidth = kSymbolCount * kCellWidth;                       // 1152
inline constexpr int kStoreHeight = kRowCount * kCellHeight;                        // 80
inline constexpr std::size_t kStoreSize = std::size_t{kStoreWidth} * kStoreHeight;  // 92,160

inline constexpr std::int32_t kDefaultAttributeA = 12;
inline constexpr std::uint32_t kDefaultRowMask = 1u << kBaseRow;
inline constexpr std::int32_t kDefaultAttributeB = 0;

inline constexpr const char* kDefaultAuthor = "unbekannt";
inline constexpr const char* kDefaultInfoText = "Keine Infos vorhanden";

// Mode bits of AddRow.
inline constexpr int kAddRowCheckRules = 1;
inline constexpr int kAddRowQuiet = 2;     // the caller shows no error dialog
inline constexpr int kAddRowInvalid = -1;  // symbol or row out of range

// Byte offset of absolute pixel (X, Y), Y counted from the top, in the bottom-up pixel store.
constexpr std::size_t StoreOffset(int absX, int absY) {
    return std::size_t(kStoreHeight - 1 - absY) * kStoreWidth + std::size_t(absX);
}
constexpr bool IsValidAddress(int symbol, int row, int x, int y) {
    return symbol >= 0 && symbol < kSymbolCount && row >= 0 && row < kRowCount && x >= 0 && x < kCellWidth &&
           y >= 0 && y < kCellHeight;
}
constexpr std::size_t StoreOffset(int symbol, int row, int x, int y) {
    return StoreOffset(symbol * kCellWidth + x, row * kCellHeight + y);
}
}  // namespace scenery

struct SymbolRecord {
    std::int32_t attributeA = scenery::kDefaultAttributeA;  // kept and written back, never read
    std::uint32_t rowMask = scenery::kDefaultRowMask;       // bit r set: row r present
    std::int32_t attributeB = scenery::kDefaultAttributeB;  // kept and written back, never read
    friend bool operator==(const SymbolRecord&, const SymbolRecord&) = default;
};

// What an undo step of a scenery graphic restores: the pixels and the row masks.
struct ScenerySnapshot {
    std::vector<std::uint8_t> pixels;
    std::array<std::uint32_t, scenery::kSymbolCount> rowMasks{};
};

enum class DrawOutcome {
    OutOfRange,  // nothing happened
    Unchanged,   // the pixel already had that value (an undo snapshot may still have been taken)
    Changed,     // the views must repaint this pixel
};

// A scenery graphic without any window: pixels, row masks, texts, undo history and the top-down
// display pixels the views paint from. Every change of pixels or masks through the editing calls
// records its undo snapshot first; the mouse mode is passed in because it names the undo group.
class SceneryDocument : public UndoableDocument<ScenerySnapshot> {
public:
    SceneryDocument();
    ~SceneryDocument() override;

    SceneryDocument(const SceneryDocument&) = delete;
    SceneryDocument& operator=(const SceneryDocument&) = delete;

    // A new graphic: default picture in every cell, only base rows, default texts, empty undo
    // history, not modified.
    void Initialise();
    // Frees every buffer; until the next Initialise the document reads as transparent and
    // ignores changes.
    void Release();
    bool IsInitialised() const noexcept { return !pixels_.empty(); }

    // Pixels by (symbol, row, x, y). Out-of-range addresses read as transparent.
    PaletteIndex GetPixel(int symbol, int row, int x, int y) const;
    // Records the undo snapshot, then writes. No display update: bulk operations call
    // RefreshBitmap when they are done. False (and no snapshot) for an out-of-range address.
    bool SetPixel(int symbol, int row, int x, int y, PaletteIndex value, MouseMode mouseMode);
    // Records the undo snapshot, writes the pixel and paints it into the display pixels.
    DrawOutcome SetPixelDrawn(int symbol, int row, int x, int y, PaletteIndex value, MouseMode mouseMode);

    // The store of a new graphic: the default picture in every cell of every row.
    static std::span<const std::uint8_t> DefaultPixelStore();

    // The store as the files hold it: bottom-up lines of 1152 bytes. Readers fill it directly
    // (no undo snapshot) and refresh the display afterwards.
    std::span<const std::uint8_t> PixelStore() const noexcept { return pixels_; }
    std::span<std::uint8_t> PixelStoreForLoading() noexcept { return pixels_; }

    // Top-down copy of the store (line 0 = Y 0), what the views show. Made when first asked for
    // (a document without a window does without it) and kept in step from then on; the
    // buffer stays where it is until Release.
    std::span<const std::uint8_t> DisplayPixels() const;
    void RefreshBitmap();

    const SymbolRecord& Record(int symbol) const;
    // For readers: replaces a record without undo snapshot.
    void SetRecordForLoading(int symbol, const SymbolRecord& record);

    bool IsRowPresent(int symbol, int row) const;
    bool IsRowPresentForOutput(int symbol, int row) const;
    // 0 on success, otherwise the message number of the broken rule (115, 116, 117) or
    // kAddRowInvalid. Records no snapshot: an editor command calls PrepareChange first.
    int AddRow(int symbol, int row, int flags);
    // The rules of adding row to symbol, without adding it: 0 when allowed, else what AddRow with
    // kAddRowCheckRules would answer.
    int CheckAddRow(int symbol, int row) const;
    void RemoveRow(int symbol, int row);

    const std::string& Author() const noexcept { return author_; }
    const std::string& InfoText() const noexcept { return infoText_; }
    void SetAuthor(std::string author) { author_ = std::move(author); }
    void SetInfoText(std::string infoText) { infoText_ = std::move(infoText); }

private:
    ScenerySnapshot NewSnapshotBuffer() const override;
    void CaptureSnapshot(ScenerySnapshot& into) const override;
    void RestoreSnapshot(const ScenerySnapshot& from) override;
    // Undo and redo refresh the display pixels themselves.
    void OnContentRestored() override { RefreshBitmap(); }

    std::vector<std::uint8_t> pixels_;
    mutable std::vector<std::uint8_t> display_;  // empty until DisplayPixels is first called
    std::vector<SymbolRecord> records_;
    std::string author_;
    std::string infoText_;
};

}  // namespace zobl
