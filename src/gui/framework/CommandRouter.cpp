#include "gui/framework/CommandRouter.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace zobl {

CommandRouter::CommandRouter(QObject* parent) : QObject(parent) {}

CommandRouter::~CommandRouter() = default;

std::vector<CommandTarget*> CommandRouter::Chain() const {
    return chain_ ? chain_() : std::vector<CommandTarget*>{};
}

QAction* CommandRouter::FindAction(CommandId id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* CommandRouter::Action(CommandId id) {
    if (QAction* existing = FindAction(id)) {
        return existing;
    }
    QAction* action = NewMenuItem(id, QString(), this);
    action->setEnabled(false);
    actions_[id] = action;
    return action;
}

QAction* CommandRouter::NewMenuItem(CommandId id, const QString& text, QObject* parent) {
    auto* action = new QAction(text, parent);
    action->setData(int(id));
    // Queued would let a stale state slip in; direct keeps the order of user actions.
    connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    return action;
}

std::optional<CommandId> CommandRouter::CommandOf(const QAction* action) {
    if (action == nullptr || action->isSeparator() || action->menu() != nullptr) {
        return std::nullopt;
    }
    bool ok = false;
    const int id = action->data().toInt(&ok);
    if (!ok || id == 0) {
        return std::nullopt;
    }
    return static_cast<CommandId>(id);  // an action's data is the number it was made with
}

CommandState CommandRouter::QueryState(CommandId id) const {
    CommandState state;
    for (CommandTarget* target : Chain()) {
        CommandState candidate;
        if (target != nullptr && target->OnUpdateCommand(id, candidate)) {
            return candidate;
        }
    }
    return state;
}

bool CommandRouter::Execute(CommandId id) {
    bool handled = false;
    if (QueryState(id).enabled) {
        for (CommandTarget* target : Chain()) {
            if (target != nullptr && target->OnCommand(id)) {
                handled = true;
                break;
            }
        }
    }
    // A checkable action flips itself when triggered; the update puts the handler's word back.
    RequestUpdate();
    if (handled) {
        emit CommandExecuted(id);
    }
    return handled;
}

void CommandRouter::UpdateAction(QAction* action) const {
    const std::optional<CommandId> id = CommandOf(action);
    if (!id) {
        return;
    }
    const CommandState state = QueryState(*id);
    action->setEnabled(state.enabled);
    if (action->isCheckable()) {
        action->setChecked(state.checked);
    }
    if (state.text) {
        action->setText(*state.text);
    }
}

void CommandRouter::UpdateAll() {
    updatePending_ = false;
    for (const auto& [id, action] : actions_) {
        UpdateAction(action);
    }
}

void CommandRouter::UpdateMenu(QMenu* menu) const {
    if (menu == nullptr) {
        return;
    }
    for (QAction* action : menu->actions()) {
        UpdateAction(action);
    }
}

void CommandRouter::WatchMenu(QMenu* menu) {
    if (menu == nullptr) {
        return;
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            WatchMenu(action->menu());
        }
    }
}

void CommandRouter::RequestUpdate() {
    if (updatePending_) {
        return;
    }
    updatePending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (updatePending_) {
            UpdateAll();
        }
    });
}

}  // namespace zobl
