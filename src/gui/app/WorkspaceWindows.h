#pragma once

#include <Qt>

class QMdiArea;
class QMenu;

namespace zobl {

class CommandRouter;

// The document windows of the workspace as the window menu arranges and lists them.
class WorkspaceWindows {
public:
    explicit WorkspaceWindows(QMdiArea& area) : area_(area) {}

    // "Symbole anordnen": the minimised windows in rows along the bottom of the workspace, from
    // the left.
    void ArrangeMinimised();
    // "Überlappend": the windows that are not minimised, from the bottom of the stack to the top,
    // each two thirds of the workspace (never below its own minimum), one title bar lower and
    // further right than the one before; where the next step would reach past the workspace the
    // cascade starts again at its top left corner. The active window stays on top.
    void Cascade();
    // "Untereinander" (horizontal: one above the other) and "Nebeneinander" (vertical: side by
    // side): the windows that are not minimised share the workspace.
    void Tile(Qt::Orientation orientation);
    // The numbered list of the windows at the end of the window menu, the active one checked.
    void RebuildList(QMenu& popup, CommandRouter& router) const;
    // The window of the list's item index (from 0) comes to the front, restored if minimised.
    void ActivateListed(int index);

private:
    QMdiArea& area_;
};

}  // namespace zobl
