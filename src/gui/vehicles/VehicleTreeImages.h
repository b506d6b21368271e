#pragma once

#include <QCursor>
#include <QIcon>

namespace zobl {

// Our own 16 x 16 drawings of the vehicle tree's item images: 3 a set, 4 a car, 5 and 6 the
// two horizontal views, 7 and 8 the two vertical views, 9 the properties. Images 0..2 and any
// other number are empty.
QIcon VehicleTreeIcon(int image);
// The cursor over the splitter between the tree and the editor side.
QCursor SplitterCursor();

}  // namespace zobl
