#pragma once

#include <optional>

#include <QString>

#include "gui/framework/CommandIds.h"

namespace zobl {

// What an update handler says about a command: whether its menu item and tool button are
// enabled and checked. A command that no target claims is disabled.
struct CommandState {
    bool enabled = false;
    bool checked = false;
    std::optional<QString> text;  // a new menu text, when the handler wants one

    void Enable(bool on = true) { enabled = on; }
    void Check(bool on = true) { checked = on; }
};

// Anything that takes part in command routing: views, documents, child frames, the main frame
// and the application. Both calls return whether this target handles the command; routing stops
// at the first one that does.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual bool OnCommand(CommandId /*id*/) { return false; }
    virtual bool OnUpdateCommand(CommandId /*id*/, CommandState& /*state*/) { return false; }
};

}  // namespace zobl
