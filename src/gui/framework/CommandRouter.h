#pragma once

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include <QObject>

#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandTarget.h"

class QAction;
class QMenu;
class QWidget;

namespace zobl {

// Owns one QAction per command identifier and routes commands by number.
//
// Triggering an action runs Execute(id): the command's update handler is asked first (a
// disabled command does nothing, whatever its action showed), then the chain of targets is
// offered the command in order (active view, its document, the child frame, the main frame,
// the application) until one handles it.
//
// The enabled/checked state of the actions comes from the update handlers. It is refreshed for
// the items of a menu when it is about to show (WatchMenu), for all actions by UpdateAll, and
// RequestUpdate coalesces many "something changed" calls into one UpdateAll from the event loop.
// After every executed command an update is requested.
//
// Main menus and tool bars use the central actions; a context menu that needs its own text for
// a command creates a local item with NewMenuItem, which routes the same way.
class CommandRouter : public QObject {
    Q_OBJECT
public:
    using ChainProvider = std::function<std::vector<CommandTarget*>()>;

    explicit CommandRouter(QObject* parent = nullptr);
    ~CommandRouter() override;

    void SetChainProvider(ChainProvider provider) { chain_ = std::move(provider); }
    std::vector<CommandTarget*> Chain() const;

    // The central action of a command, made on first use.
    QAction* Action(CommandId id);
    QAction* FindAction(CommandId id) const;
    const std::map<CommandId, QAction*>& Actions() const noexcept { return actions_; }
    // A menu item of its own (owned by parent) for command id.
    QAction* NewMenuItem(CommandId id, const QString& text, QObject* parent);
    // The command an action stands for; none for separators, submenus and foreign actions.
    static std::optional<CommandId> CommandOf(const QAction* action);

    CommandState QueryState(CommandId id) const;
    // Runs the command when its update handler enables it; true when a target handled it.
    bool Execute(CommandId id);

    void UpdateAction(QAction* action) const;
    void UpdateAll();
    void UpdateMenu(QMenu* menu) const;
    // Refreshes the items of menu and of its submenus whenever one of them is about to show.
    void WatchMenu(QMenu* menu);
    void RequestUpdate();
    bool UpdatePending() const noexcept { return updatePending_; }

signals:
    void CommandExecuted(zobl::CommandId id);

private:
    ChainProvider chain_;
    std::map<CommandId, QAction*> actions_;
    bool updatePending_ = false;
};

}  // namespace zobl
