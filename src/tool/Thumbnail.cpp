#include "tool/Thumbnail.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <algorithm>

#include "core/palette/Palette.h"
#include "core/scenery/SceneryDocument.h"
#include "core/vehicles/VehicleDocument.h"

namespace zobl {

namespace {

constexpr int kSymbolsPerLine = 9;
constexpr int kCarGap = 2;
constexpr int kSetLineHeight = 16;

QRgb Colour(std::uint8_t index) {
    if (index == TransparentIndex || index >= kPaletteSize) {
        return qRgba(0, 0, 0, 0);
    }
    const Rgb c = BaseColour(index);
    return qRgb(c.red, c.green, c.blue);
}

std::vector<std::uint8_t> Finish(QImage picture, int size) {
    if (picture.isNull() || picture.width() == 0 || picture.height() == 0) {
        picture = QImage(1, 1, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
    }
    const int longer = std::max(picture.width(), picture.height());
    if (longer <= size) {
        const int factor = size / longer;
        picture = picture.scaled(picture.size() * factor, Qt::KeepAspectRatio, Qt::FastTransformation);
    } else {
        picture = picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return {bytes.begin(), bytes.end()};
}

}  // namespace

std::vector<std::uint8_t> SceneryThumbnail(const SceneryDocument& doc, int size) {
    using namespace scenery;
    const int lines = (kSymbolCount + kSymbolsPerLine - 1) / kSymbolsPerLine;
    QImage picture(kSymbolsPerLine * kCellWidth, lines * kRowCount * kCellHeight, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int s = 0; s < kSymbolCount; ++s) {
        const int left = (s % kSymbolsPerLine) * kCellWidth;
        const int top = (s / kSymbolsPerLine) * kRowCount * kCellHeight;
        for (int r = 0; r < kRowCount; ++r) {
            if (!doc.IsRowPresentForOutput(s, r)) {
                continue;
            }
            for (int y = 0; y < kCellHeight; ++y) {
                for (int x = 0; x < kCellWidth; ++x) {
                    picture.setPixel(left + x, top + r * kCellHeight + y, Colour(doc.GetPixel(s, r, x, y)));
                }
            }
        }
    }
    return Finish(picture, size);
}

std::vector<std::uint8_t> VehicleThumbnail(const VehicleDocument& doc, int size) {
    constexpr int kSideView = 1;
    int width = 0;
    for (int s = 0; s < doc.CountSets(); ++s) {
        int line = 0;
        for (int c = 0; c < doc.CountCars(s); ++c) {
            line += (c > 0 ? kCarGap : 0) + vehicles::ViewWidth(kSideView, doc.CarAt(s, c).length);
        }
        width = std::max(width, line);
    }
    QImage picture(width, doc.CountSets() * kSetLineHeight, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int s = 0; s < doc.CountSets(); ++s) {
        int left = 0;
        for (int c = 0; c < doc.CountCars(s); ++c) {
            const int length = doc.CarAt(s, c).length;
            const int viewWidth = vehicles::ViewWidth(kSideView, length);
            for (int y = 0; y < vehicles::ViewHeight(kSideView, length); ++y) {
                for (int x = 0; x < viewWidth; ++x) {
                    picture.setPixel(left + x, s * kSetLineHeight + y,
                                     Colour(doc.GetPixel(s, c, kSideView, x, y)));
                }
            }
            left += viewWidth + kCarGap;
        }
    }
    return Finish(picture, size);
}

}  // namespace zobl
