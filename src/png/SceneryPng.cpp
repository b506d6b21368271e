#include "png/SceneryPng.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <map>

#include "core/common/MessageError.h"
#include "core/palette/Palette.h"
#include "core/scenery/SceneryDocument.h"
#include "png/IndexedPng.h"

namespace zobl {

using namespace scenery;

namespace {

QRgb BaseArgb(int index) {
    const Rgb c = BaseColour(index);
    return qRgb(c.red, c.green, c.blue);
}

// The lowest palette index of each exact base colour.
std::map<QRgb, PaletteIndex> ExactBaseColours() {
    std::map<QRgb, PaletteIndex> exact;
    for (int i = kPaletteSize - 1; i >= 0; --i) {
        exact[BaseArgb(i)] = PaletteIndex(i);
    }
    return exact;
}

class ColourMapper {
public:
    PaletteIndex Map(QRgb pixel) {
        if (qAlpha(pixel) == 0) {
            return TransparentIndex;
        }
        const QRgb opaque = pixel | 0xFF000000u;
        if (auto it = exact_.find(opaque); it != exact_.end()) {
            return it->second;
        }
        auto [it, inserted] = nearest_.try_emplace(opaque, TransparentIndex);
        if (inserted) {
            it->second = NearestNormalIndex(
                normal_,
                Rgb{std::uint8_t(qRed(opaque)), std::uint8_t(qGreen(opaque)), std::uint8_t(qBlue(opaque))});
        }
        return it->second;
    }

private:
    std::map<QRgb, PaletteIndex> exact_ = ExactBaseColours();
    std::map<QRgb, PaletteIndex> nearest_;
    // The day colours: a PNG carries no day/night state.
    NormalColourTable normal_ = CreateNormalColourPalette(Palette());
};

}  // namespace

std::vector<std::uint8_t> SceneryToPng(const SceneryDocument& doc) {
    // The store's own bytes, not the display copy, which may be stale.
    std::vector<std::uint8_t> pixels(std::size_t(kStoreWidth) * kStoreHeight);
    for (int y = 0; y < kStoreHeight; ++y) {
        for (int x = 0; x < kStoreWidth; ++x) {
            pixels[std::size_t(y) * kStoreWidth + std::size_t(x)] = doc.PixelStore()[StoreOffset(x, y)];
        }
    }
    return EncodeIndexedPng(kStoreWidth, kStoreHeight, pixels);
}

std::vector<SkippedRow> SceneryFromPng(std::span<const std::uint8_t> png, const std::string& fileName,
                                       SceneryDocument& doc) {
    QImage image = DecodePng(png, fileName, QSize(kStoreWidth, kStoreHeight), [&](QSize) {
        throw MessageError(message::kUnsupportedFormat, fileName, "a scenery picture is 1152 x 80 pixels");
    });

    bool keepIndices = image.format() == QImage::Format_Indexed8;
    for (int y = 0; keepIndices && y < kStoreHeight; ++y) {
        const uchar* line = image.constScanLine(y);
        keepIndices = std::all_of(line, line + kStoreWidth, [](uchar v) { return v < kPaletteSize; });
    }
    if (!keepIndices) {
        image = image.convertToFormat(QImage::Format_ARGB32);
    }

    // Nothing can fail from here on: the caller's document is replaced only now.
    doc.Initialise();
    ColourMapper mapper;
    auto store = doc.PixelStoreForLoading();
    for (int y = 0; y < kStoreHeight; ++y) {
        for (int x = 0; x < kStoreWidth; ++x) {
            store[StoreOffset(x, y)] =
                keepIndices ? image.constScanLine(y)[x]
                            : mapper.Map(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]);
        }
    }

    // Rows with drawn pixels become present in the order the rules can follow: upwards from the
    // base, then the cell below it.
    std::vector<SkippedRow> skipped;
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        for (int row : {2, 1, 0, 4}) {
            bool drawn = false;
            for (int y = 0; y < kCellHeight && !drawn; ++y) {
                for (int x = 0; x < kCellWidth && !drawn; ++x) {
                    drawn = doc.GetPixel(symbol, row, x, y) != TransparentIndex;
                }
            }
            if (drawn && doc.AddRow(symbol, row, kAddRowCheckRules | kAddRowQuiet) != 0) {
                skipped.push_back({symbol, row});
            }
        }
    }
    doc.RefreshBitmap();
    return skipped;
}

}  // namespace zobl
