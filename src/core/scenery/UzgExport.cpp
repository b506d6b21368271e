#include "core/scenery/UzgExport.h"

#include <array>
#include <span>

#include "core/common/AtomicFile.h"
#include "core/common/ByteWriter.h"
#include "core/lang/LanguageManager.h"
#include "core/palette/Palette.h"
#include "core/scenery/SceneryDocument.h"
#include "core/text/CodePages.h"

namespace zobl {

using namespace scenery;

namespace {

// Rows in the order the images are written, and the table slot each one fills. Slot 2 is
// always empty.
constexpr std::array<int, kRowCount> kOutputRowOrder = {4, 3, 2, 1, 0};
constexpr std::array<int, kRowCount> kSlotOfRow = {5, 4, 3, 1, 0};
constexpr int kSlotsPerSymbol = 6;
constexpr int kTileWidth = 8;

std::array<std::uint8_t, 256> SimCodeTable() {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        auto byte = std::uint8_t(i);
        IndexToSimCode(byte);
        table[std::size_t(i)] = byte;
    }
    return table;
}

void WriteImage(ByteWriter& out, std::span<const std::uint8_t> store, int symbol, int row,
                const std::array<std::uint8_t, 256>& simCode) {
    std::array<std::uint8_t, uzg::kImageSize> image{};
    auto next = image.begin();
    for (int tile = 0; tile < uzg::kTilesPerImage; ++tile) {
        for (int y = 0; y < kCellHeight; ++y) {
            const std::uint8_t* line = store.data() + StoreOffset(symbol, row, tile * kTileWidth, y);
            for (int x = 0; x < kTileWidth; ++x) {
                *next++ = simCode[line[x]];
            }
        }
    }
    out.Bytes(image);
}

}  // namespace

std::vector<std::uint8_t> WriteUzg(const SceneryDocument& doc, std::string_view signatureUtf8) {
    static const std::array<std::uint8_t, 256> simCode = SimCodeTable();

    // The image numbers of the table follow the same output test and order as the images.
    std::array<std::array<std::int16_t, kSlotsPerSymbol>, kSymbolCount> table{};
    int images = 0;
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        auto& slots = table[std::size_t(symbol)];
        slots.fill(-1);
        for (const int row : kOutputRowOrder) {
            if (doc.IsRowPresentForOutput(symbol, row)) {
                slots[std::size_t(kSlotOfRow[std::size_t(row)])] = std::int16_t(images++);
            }
        }
    }

    const std::string signature = Utf8ToCp1252(signatureUtf8);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(signature.size() + 7 + std::size_t(images) * uzg::kImageSize + 4 + sizeof table);
    ByteWriter out(bytes);
    out.Text(signature);
    out.U8(uzg::kEndMark);
    out.U8(uzg::kFormat);
    out.U8(uzg::kVersion);
    // At most 36 x 5 images, so the count always fits.
    out.U16(std::uint16_t(uzg::kTilesPerImage * images));
    out.U16(0);
    // A released document reads as transparent everywhere.
    static const std::vector<std::uint8_t> kTransparentStore(kStoreSize, TransparentIndex);
    const std::span<const std::uint8_t> store =
        doc.PixelStore().size() == kStoreSize ? doc.PixelStore() : std::span(kTransparentStore);
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        for (const int row : kOutputRowOrder) {
            if (doc.IsRowPresentForOutput(symbol, row)) {
                WriteImage(out, store, symbol, row, simCode);
            }
        }
    }
    out.Text(uzg::kTableTag);
    for (const auto& slots : table) {
        for (const std::int16_t image : slots) {
            out.I16(image);
        }
    }
    return bytes;
}

void ExportUzgFile(const std::string& path, const SceneryDocument& doc, const CLanguageManager& language) {
    WriteFileAtomically(path, WriteUzg(doc, language.GetText(uzg::kSignatureKey, "DATA")));
}

}  // namespace zobl
