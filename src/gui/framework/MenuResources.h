#pragma once

#include <memory>

#include <QString>

class QAction;
class QMenu;
class QPoint;

namespace zobl {

class CLanguageManager;
class CommandRouter;

// The menu resources, built in code with "keyNNNN" placeholders and localised at once. A menu
// resource is a QMenu whose submenus are the top-level menus of the menu bar. Items are the
// router's central actions, so shortcuts, checks and enabled states are shared with the tool
// bars.
inline constexpr int kFrameMenu = 128;    // while no document window is active
inline constexpr int kSceneryMenu = 129;  // windows of scenery documents
inline constexpr int kVehicleMenu = 130;  // windows of vehicle documents
// Popup menus: the one submenu of the resource is what pops up.
inline constexpr int kCarEditorContextMenu = 151;    // the car editor, mouse modes 0 and 7
inline constexpr int kSceneryContextMenu = 152;      // scenery view, mouse mode 0: "Teilsymbol löschen"
inline constexpr int kVehicleTreeContextMenu = 153;  // the tree of a vehicle view

std::unique_ptr<QMenu> BuildMenu(int resource, CommandRouter& router, const CLanguageManager& language);
// The menu a context-menu resource pops up (its one submenu), or nullptr.
QMenu* ContextPopup(const QMenu* resource);

// The first item a menu can act on: enabled, visible, no separator; nullptr when it has none.
QAction* FirstEnabledItem(const QMenu& menu);
// Makes menu open with that item selected, so that Return and the arrows act at once, as they do
// in a menu opened from the keyboard; a submenu it leads to stays closed until asked for.
void SelectFirstItemOnOpen(QMenu& menu);
// Opens a context menu at globalPosition, its first item selected, and waits until it closes.
void ExecContextMenu(QMenu& menu, const QPoint& globalPosition);

// Items a menu adds while it opens (the recent files, the window list) are marked, so that the
// next opening can take them out again.
void MarkDynamicItem(QAction* item);
void RemoveDynamicItems(QMenu* popup);

// The item of the recent file at index (from 0): "&1 ~/graphics/bahnhof.gs", the number its
// mnemonic, a long folder shortened.
QString RecentFileLabel(int index, const QString& path);

// Each top-level menu and the help context of its group: file 40010, edit 40020, view 40030, ...
// (a highlighted top-level title shows no text of its own).

}  // namespace zobl
