#pragma once

#include <QString>

#include "gui/framework/CommandTable.h"

class QObject;
class QToolBar;
class QWidget;

namespace zobl {

class CLanguageManager;
class CommandRouter;

// The tool bars and keys of the main window, made from the command table.

// A bar with the buttons of which, in their order, with icons, tool tips (section "MENU", cut to
// 79 characters) and names for screen readers. buttonWatcher sees the buttons' events, so that a
// hovered button can show its command's status text (IsCommandButton tells them apart).
QToolBar* MakeToolBar(ToolBarId which, const QString& title, const QString& objectName, CommandRouter& router,
                      const CLanguageManager& language, QWidget* buttonWatcher);
bool IsCommandButton(const QObject* object);
// The mouse modes become a radio group and the bar switches check boxes; their update handlers
// say which one is checked.
void MakeToggleCommandsCheckable(CommandRouter& router, QObject* parent);
// Every command's keys on its central action; the first key is the one the menus show.
void AssignCommandKeys(CommandRouter& router);

}  // namespace zobl
