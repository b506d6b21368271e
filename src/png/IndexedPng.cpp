#include "png/IndexedPng.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <algorithm>

#include "core/palette/Palette.h"

namespace zobl {

std::vector<std::uint8_t> EncodeIndexedPng(int width, int height, std::span<const std::uint8_t> pixels,
                                           int dayNightState) {
    const int highest = pixels.empty() ? 0 : *std::max_element(pixels.begin(), pixels.end());
    const ColourTable colours = DayNightColourTable(dayNightState);
    QList<QRgb> table;
    for (int i = 0; i <= std::max(highest, kPaletteSize - 1); ++i) {
        const Rgb c = i < kPaletteSize ? colours[std::size_t(i)].ToRgb() : Rgb{0, 0, 0};
        table.append(qRgba(c.red, c.green, c.blue, i == TransparentIndex ? 0 : 255));
    }
    QImage image(width, height, QImage::Format_Indexed8);
    // Qt would write the resolution of the screen (none in the tool): the same sheet must give
    // the same bytes in the editor and in zobl-tool. 100 dpi, what a program without a screen writes.
    constexpr int kDotsPerMeter = 3937;
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.setColorTable(table);
    for (int y = 0; y < height; ++y) {
        std::copy_n(pixels.begin() + std::ptrdiff_t(y) * width, width, image.scanLine(y));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {bytes.begin(), bytes.end()};
}

}  // namespace zobl
