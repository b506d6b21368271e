#pragma once

#include <vector>

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "core/settings/DesktopRecord.h"

namespace zobl {

class CBug1App;
class View;

// The desktop record: the main window's placement, every open document with its windows, their
// placements and view states, kept in the settings store (section "DESKTOP", "size" and
// "desktopdata") when the main window closes and brought back at the next start.

// Show commands of a placement.
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimised = 2;
inline constexpr int kShowMaximised = 3;

// The placement of a window: its normal rectangle (right and bottom one past the last pixel)
// in screen coordinates for a top-level window, in workspace coordinates for a document window,
// and whether it is minimised, maximised or normal.
WindowPlacement PlacementOf(const QWidget& window);
// Gives window that placement. A top-level window whose rectangle lies entirely off every
// screen is moved onto the primary screen, keeping its size where it fits.
void ApplyPlacement(QWidget& window, const WindowPlacement& placement);

// Writes the record of what is open now.
void SaveDesktop(CBug1App& app);
// A window's zoom and scroll position wait until the windows have their sizes (the scroll ranges
// follow them), which they get once the main window is shown.
struct PendingViewState {
    QPointer<QWidget> widget;  // the view's, to see that it still exists
    View* view = nullptr;
    ViewState state;
};

// Reads the record back, if there is a valid one: places the main window and reopens the
// documents with their windows; their view states go into states for ApplyViewStates. A
// document that cannot be reopened is reported once and passed over; the others are restored. A
// record that fails its checks is ignored as a whole. True when every document of the record
// came back.
bool RestoreDesktop(CBug1App& app, std::vector<PendingViewState>& states);
void ApplyViewStates(const std::vector<PendingViewState>& states);

}  // namespace zobl
