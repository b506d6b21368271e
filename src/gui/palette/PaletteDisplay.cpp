#include "gui/palette/PaletteDisplay.h"

#include <QPainter>

#include "core/palette/Palette.h"
#include "core/settings/GeneralSettings.h"

namespace zobl {

namespace {

// MulDiv rounding, as the template sizes were converted.
int Scale(int units, int numerator, int denominator) {
    const long long product = static_cast<long long>(units) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}
}  // namespace

QColor ToQColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

Rgb ToRgb(const QColor& colour) {
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

QList<QRgb> DisplayColourTable(const Palette& palette) {
    QList<QRgb> table(256, qRgb(0, 0, 0));
    const ColourTable& current = palette.CurrentColourTable();
    for (int i = 0; i < kPaletteSize; ++i) {
        table[i] = current[static_cast<std::size_t>(i)].ToArgb();
    }
    return table;
}

QColor DisplayColour(const Palette& palette, int index) {
    if (index < 0 || index >= kPaletteSize) {
        return QColor(0, 0, 0);
    }
    return ToQColor(palette.CurrentColour(index));
}

std::optional<QColor> MarkColour(const GeneralSettings& settings, int index) {
    switch (index) {
        case TransparentIndex:
            return ToQColor(settings.markTransCol);
        case HalfTransparentIndex:
            return ToQColor(settings.markTransCol2);
        case BackgroundIndex:
            return ToQColor(settings.markTransCol3);
        default:
            return std::nullopt;
    }
}

QImage CreatePaletteBitmap(const Palette& palette, int width, int height) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    QImage image(width, height, QImage::Format_Indexed8);
    if (image.isNull()) {
        return {};
    }
    image.setColorTable(DisplayColourTable(palette));
    image.fill(0);
    return image;
}

bool DrawIndexedStrip(int kind, int width, std::span<const std::uint8_t> pixels, QPainter& target,
                      QPoint position, const Palette& palette) {
    if ((kind != 1 && kind != 2) || width <= 0) {
        return false;
    }
    const std::size_t needed = static_cast<std::size_t>(width) * kIndexedStripHeight;
    if (pixels.size() < needed) {
        return false;
    }
    QImage strip = CreatePaletteBitmap(palette, width, kIndexedStripHeight);
    if (strip.isNull()) {
        return false;
    }
    for (int row = 0; row < kIndexedStripHeight; ++row) {
        const std::uint8_t* source = pixels.data() + static_cast<std::size_t>(row) * width;
        std::copy(source, source + width, strip.scanLine(row));
    }
    target.drawImage(position, strip);
    return true;
}

int DialogUnitsToPixelsX(int units) {
    return Scale(units, 6, 4);
}

int DialogUnitsToPixelsY(int units) {
    return Scale(units, 13, 8);
}

}  // namespace zobl
