#include "core/scenery/SceneryDocument.h"

#include <algorithm>
#include <cstring>

#include "core/common/MessageError.h"

namespace zobl {

using namespace scenery;

namespace {

// The picture every new cell shows, top line first: '.' = transparent, a..e = the colours below.
constexpr std::array<const char*, kCellHeight> kDefaultCellPicture = {
    "................................",  //
    "................................",  //
    "...b...bbb.bbb.bbb..............",  //
    "...d...d...d...d..d.............",  //
    "...c...ccc.ccc.ccc..............",  //
    "...a...a...a...a.a..............",  //
    "...eee.eee.eee.e..e.............",  //
    "................................",  //
    "................................",  //
    "................................",  //
    "...eee..e.e..eee..eee.e.e.......",  //
    "...a...a.a.a.a..a..a..a.a.......",  //
    "...ccc.c...c.ccc...c..c.c.......",  //
    "...d...d...d.d.....d...d........",  //
    "...bbb.b...b.b.....b...b........",  //
    "................................",  //
};

constexpr PaletteIndex DefaultPictureIndex(char c) {
    switch (c) {
        case 'a':
            return 14;
        case 'b':
            return 15;
        case 'c':
            return 16;
        case 'd':
            return 25;
        case 'e':
            return 35;
        default:
            return TransparentIndex;
    }
}

using PixelStore = std::array<std::uint8_t, kStoreSize>;

// Copies the bottom-up store into top-down display lines (and back: the flip is its own inverse).
void FlipLines(const std::uint8_t* from, std::uint8_t* to) {
    for (int absY = 0; absY < kStoreHeight; ++absY) {
        std::memcpy(to + std::size_t(absY) * kStoreWidth, from + StoreOffset(0, absY), kStoreWidth);
    }
}

// The store of a new graphic: every cell of every row shows the picture, present or not. Made
// once, so a new document only copies it.
const PixelStore& DefaultStore() {
    static const PixelStore store = [] {
        PixelStore result{};
        for (int row = 0; row < kRowCount; ++row) {
            for (int y = 0; y < kCellHeight; ++y) {
                const char* line = kDefaultCellPicture[std::size_t(y)];
                for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
                    for (int x = 0; x < kCellWidth; ++x) {
                        result[StoreOffset(symbol, row, x, y)] = DefaultPictureIndex(line[x]);
                    }
                }
            }
        }
        return result;
    }();
    return store;
}

constexpr bool IsValidSymbol(int symbol) {
    return symbol >= 0 && symbol < kSymbolCount;
}
constexpr bool IsValidRow(int row) {
    return row >= 0 && row < kRowCount;
}

}  // namespace

SceneryDocument::SceneryDocument() {
    Initialise();
}

SceneryDocument::~SceneryDocument() = default;

void SceneryDocument::Initialise() {
    Release();
    pixels_.assign(DefaultStore().begin(), DefaultStore().end());
    records_.assign(kSymbolCount, SymbolRecord{});
    author_ = kDefaultAuthor;
    infoText_ = kDefaultInfoText;

    CreateUndoHistory();
    SetModified(false);
}

void SceneryDocument::Release() {
    ReleaseUndoHistory();
    std::vector<std::uint8_t>().swap(pixels_);
    std::vector<std::uint8_t>().swap(display_);
    std::vector<SymbolRecord>().swap(records_);
}

std::span<const std::uint8_t> SceneryDocument::DefaultPixelStore() {
    return DefaultStore();
}

PaletteIndex SceneryDocument::GetPixel(int symbol, int row, int x, int y) const {
    if (!IsInitialised() || !IsValidAddress(symbol, row, x, y)) {
        return TransparentIndex;
    }
    return pixels_[StoreOffset(symbol, row, x, y)];
}

bool SceneryDocument::SetPixel(int symbol, int row, int x, int y, PaletteIndex value, MouseMode mouseMode) {
    if (!IsInitialised() || !IsValidAddress(symbol, row, x, y)) {
        return false;
    }
    PrepareChange(mouseMode);
    pixels_[StoreOffset(symbol, row, x, y)] = value;
    return true;
}

DrawOutcome SceneryDocument::SetPixelDrawn(int symbol, int row, int x, int y, PaletteIndex value,
                                           MouseMode mouseMode) {
    if (!IsInitialised() || !IsValidAddress(symbol, row, x, y)) {
        return DrawOutcome::OutOfRange;
    }
    PrepareChange(mouseMode);
    const int absX = symbol * kCellWidth + x;
    const int absY = row * kCellHeight + y;
    if (!display_.empty()) {
        display_[std::size_t(absY) * kStoreWidth + std::size_t(absX)] = value;
    }
    std::uint8_t& stored = pixels_[StoreOffset(absX, absY)];
    const bool changed = stored != value;
    stored = value;
    return changed ? DrawOutcome::Changed : DrawOutcome::Unchanged;
}

void SceneryDocument::RefreshBitmap() {
    if (!IsInitialised()) {
        return;
    }
    if (!display_.empty()) {
        FlipLines(pixels_.data(), display_.data());
    }
}

std::span<const std::uint8_t> SceneryDocument::DisplayPixels() const {
    if (display_.empty() && IsInitialised()) {
        display_.resize(kStoreSize);
        FlipLines(pixels_.data(), display_.data());
    }
    return display_;
}

const SymbolRecord& SceneryDocument::Record(int symbol) const {
    static const SymbolRecord kNone{};
    if (!IsValidSymbol(symbol) || records_.empty()) {
        return kNone;
    }
    return records_[std::size_t(symbol)];
}

void SceneryDocument::SetRecordForLoading(int symbol, const SymbolRecord& record) {
    if (IsValidSymbol(symbol) && !records_.empty()) {
        records_[std::size_t(symbol)] = record;
    }
}

bool SceneryDocument::IsRowPresent(int symbol, int row) const {
    if (!IsValidSymbol(symbol) || !IsValidRow(row) || records_.empty()) {
        return false;
    }
    return (records_[std::size_t(symbol)].rowMask >> row) & 1u;
}

bool SceneryDocument::IsRowPresentForOutput(int symbol, int row) const {
    if (!IsValidSymbol(symbol) || !IsValidRow(row)) {
        return false;
    }
    return row == kBaseRow || IsRowPresent(symbol, row);
}

int SceneryDocument::AddRow(int symbol, int row, int flags) {
    if (!IsValidSymbol(symbol) || !IsValidRow(row) || records_.empty()) {
        return kAddRowInvalid;
    }
    std::uint32_t& mask = records_[std::size_t(symbol)].rowMask;
    if ((flags & kAddRowCheckRules) == 0) {
        if (row != kBaseRow) {
            mask |= 1u << row;
        }
        return 0;
    }
    if (const int broken = CheckAddRow(symbol, row); broken != 0) {
        return broken;
    }
    mask |= 1u << row;
    return 0;
}

int SceneryDocument::CheckAddRow(int symbol, int row) const {
    if (!IsValidSymbol(symbol) || !IsValidRow(row) || records_.empty()) {
        return kAddRowInvalid;
    }
    const std::uint32_t mask = records_[std::size_t(symbol)].rowMask;
    const auto has = [&](int r) { return ((mask >> r) & 1u) != 0; };
    if (has(row)) {
        return message::kRowAlreadyPresent;
    }
    if ((row == 0 && !has(1)) || (row == 1 && !has(2))) {
        return message::kRowNeedsRowBelow;
    }
    if ((row == 0 && has(4)) || (row == 4 && has(0))) {
        return message::kRowsExclusive;
    }
    return 0;
}

void SceneryDocument::RemoveRow(int symbol, int row) {
    if (IsValidSymbol(symbol) && IsValidRow(row) && !records_.empty()) {
        records_[std::size_t(symbol)].rowMask &= ~(1u << row);
    }
}

ScenerySnapshot SceneryDocument::NewSnapshotBuffer() const {
    ScenerySnapshot buffer;
    buffer.pixels.assign(kStoreSize, TransparentIndex);
    return buffer;
}

void SceneryDocument::CaptureSnapshot(ScenerySnapshot& into) const {
    std::copy(pixels_.begin(), pixels_.end(), into.pixels.begin());
    for (int s = 0; s < kSymbolCount; ++s) {
        into.rowMasks[std::size_t(s)] = records_[std::size_t(s)].rowMask;
    }
}

void SceneryDocument::RestoreSnapshot(const ScenerySnapshot& from) {
    std::copy(from.pixels.begin(), from.pixels.end(), pixels_.begin());
    for (int s = 0; s < kSymbolCount; ++s) {
        records_[std::size_t(s)].rowMask = from.rowMasks[std::size_t(s)];
    }
}

}  // namespace zobl
