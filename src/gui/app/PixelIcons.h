#pragma once

#include <QIcon>

namespace zobl {

// Our own tool-button drawings: 16 x 16 pixel art, scaled by whole factors only so that the
// pixels stay crisp on high-density screens. An empty icon for commands without a drawing.
QIcon CommandIcon(int commandId);
// The window icon of the editor.
QIcon ApplicationIcon();

}  // namespace zobl
