#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <QKeyCombination>

#include "core/drawing/MouseMode.h"
#include "gui/framework/CommandIds.h"

namespace zobl {

// The drawings of the tool buttons (see PixelIcons).
enum class ToolIcon : std::uint8_t {
    None,
    New,
    Open,
    Save,
    ZoomIn,
    ZoomOut,
    Undo,
    Redo,
    DayNight,
    Help,
    MirrorVertical,
    MirrorHorizontal,
    RotateRight,
    RotateLeft,
    RotateUp,
    RotateDown,
    ModeView,
    ModeFreehand,
    ModeLine,
    ModeRectangle,
    ModeFilledRectangle,
    ModeFill,
    ModeReplaceColour,
    ModeMark,
    ModePickColour,
    ModeZoom,
};
inline constexpr int kToolIconCount = int(ToolIcon::ModeZoom) + 1;

enum class ToolBarId : std::uint8_t { None, Main, Modes };

// Where a command sits on a tool bar: buttons follow their positions; a gap in the positions is a
// separator.
struct ToolBarPlace {
    ToolBarId bar = ToolBarId::None;
    int position = 0;
};

// How a command's enabled state is decided: by the handlers along the routing chain, or always on
// (the main frame answers for these, whatever window is active).
enum class EnableRule : std::uint8_t { ByHandler, Always };

// Section "STATE": the text of anything without one of its own.
inline constexpr int kIdleStatusKey = 7000;

// Everything about a command that is not its behaviour. Text keys are numbers of the language
// file: menuText and toolTip of section "MENU", statusKey of section "STATE"; 0 is none.
struct CommandFacts {
    CommandId id;
    int menuText = 0;                // the item's text in the menu bar
    int statusKey = kIdleStatusKey;  // shown while the item is highlighted or its button hovered
    int menuHelp = 0;                // help context while the item is highlighted; 0: it stays
    int toolTip = 0;                 // the tool button's tip
    ToolIcon icon = ToolIcon::None;
    ToolBarPlace place{};
    std::array<QKeyCombination, 2> keys{};  // the first is the one the menus show
    EnableRule enable = EnableRule::ByHandler;
};

// Everything about a mouse mode that is not its behaviour: its command, the keys of its status
// text (section STATE) and tooltip (section MENU), its cursor's number, its button and the
// letter that chooses it (no modifier: text fields take letters first).
struct MouseModeFacts {
    MouseMode mode;
    CommandId command;
    int statusKey;
    int toolTipKey;
    int cursorResource;
    ToolIcon icon;
    int barPosition;  // on the mouse-mode bar
    Qt::Key key;
};
inline constexpr MouseModeFacts kMouseModeTable[kMouseModeCount] = {
    {MouseMode::View, ID_MODE_VIEW, 7051, 1801, 136, ToolIcon::ModeView, 0, Qt::Key_V},
    {MouseMode::Freehand, ID_MODE_FREEHAND, 7052, 1802, 137, ToolIcon::ModeFreehand, 2, Qt::Key_B},
    {MouseMode::Line, ID_MODE_LINE, 7053, 1803, 138, ToolIcon::ModeLine, 3, Qt::Key_L},
    {MouseMode::Rectangle, ID_MODE_RECTANGLE, 7054, 1804, 139, ToolIcon::ModeRectangle, 4, Qt::Key_R},
    {MouseMode::FilledRectangle, ID_MODE_FILLED_RECTANGLE, 7055, 1805, 140, ToolIcon::ModeFilledRectangle, 5,
     Qt::Key_F},
    {MouseMode::Fill, ID_MODE_FILL, 7056, 1806, 141, ToolIcon::ModeFill, 6, Qt::Key_G},
    {MouseMode::ReplaceColor, ID_MODE_REPLACE_COLOUR, 7057, 1807, 145, ToolIcon::ModeReplaceColour, 7,
     Qt::Key_E},
    {MouseMode::Mark, ID_MODE_MARK, 7058, 1808, 143, ToolIcon::ModeMark, 9, Qt::Key_M},
    {MouseMode::PickColor, ID_MODE_PICK_COLOUR, 7059, 1809, 144, ToolIcon::ModePickColour, 11, Qt::Key_I},
    {MouseMode::Zoom, ID_MODE_ZOOM, 7060, 1810, 142, ToolIcon::ModeZoom, 13, Qt::Key_Z},
};

constexpr const MouseModeFacts& FactsOf(MouseMode mode) {
    return kMouseModeTable[static_cast<int>(mode)];
}

// The mouse-mode commands, in mode order.
inline constexpr auto kMouseModeCommands = [] {
    std::array<CommandId, kMouseModeCount> commands{};
    for (const MouseModeFacts& facts : kMouseModeTable) {
        commands[static_cast<std::size_t>(facts.mode)] = facts.command;
    }
    return commands;
}();

// The mode a command chooses, if it is a mouse-mode command.
constexpr std::optional<MouseMode> MouseModeOfCommand(CommandId id) {
    for (const MouseModeFacts& facts : kMouseModeTable) {
        if (facts.command == id) {
            return facts.mode;
        }
    }
    return std::nullopt;
}

// Every command, one row each; the mouse modes' rows are made from their table.
std::span<const CommandFacts> CommandTable();
// The row of a command; the recent files and the listed windows share the row of their first.
// nullptr for a number that is no command.
const CommandFacts* FindCommand(CommandId id);

// The buttons of a tool bar in order; nullopt is a separator.
std::vector<std::optional<CommandId>> ToolBarButtons(ToolBarId bar);

// Status key (section "STATE") and help context of a highlighted menu item.
struct MenuItemStatus {
    int stateKey;
    std::optional<int> helpContext;  // nullopt: the help context stays
};
// Items that are no command show key 7000 and leave the help context.
MenuItemStatus MenuItemStatusOf(CommandId commandId);
// Status key of a hovered tool button; 7000 for anything else.
int CommandStatusKey(CommandId commandId);
// The key of section "MENU" with the tooltip of a tool button, or nullopt (no tooltip of ours).
std::optional<int> ToolTipKey(CommandId commandId);

}  // namespace zobl
