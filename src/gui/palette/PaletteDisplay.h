#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRgb>

#include "core/palette/Palette.h"

class QPainter;

namespace zobl {

struct GeneralSettings;

// The screen side of the palette: everything that paints palette indices takes its colours from
// the current colour table, so that a day/night step recolours it at the next paint.

// Conversions between the model's colours and Qt's.
QColor ToQColor(Rgb colour);
Rgb ToRgb(const QColor& colour);

// The colour table for QImage::Format_Indexed8 display images: the 100 current colours,
// followed by black up to 256 entries, so that no pixel byte can look past the table.
QList<QRgb> DisplayColourTable(const Palette& palette);
// The current colour of a palette index; indices outside 0..99 show black.
QColor DisplayColour(const Palette& palette, int index);
// The mark colour of a special colour (56, 97, 99), nullopt for every other index.
std::optional<QColor> MarkColour(const GeneralSettings& settings, int index);

// An 8-bit image of width x height whose colours are the current colour table; pixels 0.
QImage CreatePaletteBitmap(const Palette& palette, int width, int height);

// Draws a strip of palette-index pixels, width wide and 14 high (the first row of pixels is the
// top row), at position. Only kinds 1 and 2 draw; kind 0 or 3, width 0 or a buffer shorter than
// width x 14 bytes draw nothing. True when something was drawn.
inline constexpr int kIndexedStripHeight = 14;
bool DrawIndexedStrip(int kind, int width, std::span<const std::uint8_t> pixels, QPainter& target,
                      QPoint position, const Palette& palette);

// Dialog templates are measured in dialog units: a quarter of the average character width and
// an eighth of the character height of the classic 8-point dialog font (6 x 13 pixels).
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);

}  // namespace zobl
