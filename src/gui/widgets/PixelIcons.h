#pragma once

#include <span>

#include <QIcon>
#include <QImage>

#include "gui/framework/CommandTable.h"

namespace zobl {

// Our own tool-button drawings: 16 x 16 pixel art, scaled by whole factors only so that the
// pixels stay crisp on high-density screens. An empty icon for ToolIcon::None.
QIcon ToolIconImage(ToolIcon icon);
// The window icon of the editor: the application icon installed for the desktop, at each of its
// sizes.
QIcon ApplicationIcon();

// Pixel art as text, one character per pixel: k black, w white, l light grey, g grey, r/R red,
// b/B blue, y yellow, o brown, G/L green, n navy; anything else ('.') is transparent (0).
QRgb PixelArtColour(char c);
// One row per string; rows end at their 0 character or at the picture's width.
QImage PixelArtImage(std::span<const char* const> rows, int width);

}  // namespace zobl
