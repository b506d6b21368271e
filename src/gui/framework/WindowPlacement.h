#pragma once

#include <vector>

#include <QPointer>
#include <QWidget>

#include "core/settings/DesktopRecord.h"

namespace zobl {

class View;

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

// A window's zoom and scroll position wait until the windows have their sizes (the scroll ranges
// follow them), which they get once the main window is shown.
struct PendingViewState {
    QPointer<QWidget> widget;  // the view's, to see that it still exists
    View* view = nullptr;
    ViewState state;
};

// Gives the views their states once the windows have their sizes.
void ApplyViewStates(const std::vector<PendingViewState>& states);

}  // namespace zobl
