#pragma once

#include <vector>

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "core/settings/DesktopRecord.h"
#include "gui/framework/WindowPlacement.h"

namespace zobl {

class CBug1App;
class View;

// The desktop record: the main window's placement, every open document with its windows, their
// placements and view states, kept in the settings store (section "DESKTOP", "size" and
// "desktopdata") when the main window closes and brought back at the next start.

// Writes the record of what is open now.
void SaveDesktop(CBug1App& app);
// Reads the record back, if there is a valid one: places the main window and reopens the
// documents with their windows; their view states go into states for ApplyViewStates. A
// document that cannot be reopened is reported once and passed over; the others are restored. A
// record that fails its checks is ignored as a whole. True when every document of the record
// came back.
bool RestoreDesktop(CBug1App& app, std::vector<PendingViewState>& states);

}  // namespace zobl
