#pragma once

#include <QCursor>

#include "core/drawing/MouseMode.h"

namespace zobl {

// The cursor resources of the scenery view's mouse modes (136 view ... 145 replace colour):
// our own 16 x 16 drawings, shown at twice their size so that their pixels stay crisp. Made on
// each call: callers keep the one they show.
QCursor SceneryModeCursor(MouseMode mode);
// Cursor resource 105: dragging pixels or a symbol to another window.
QCursor DragCursor();
// The resource number of a mode's cursor (136 to 145).
int SceneryCursorResource(MouseMode mode);

}  // namespace zobl
