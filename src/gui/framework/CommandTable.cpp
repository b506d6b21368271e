#include "gui/framework/CommandTable.h"

#include <algorithm>

namespace zobl {

namespace {

using Bar = ToolBarId;
using Keys = std::array<QKeyCombination, 2>;
constexpr QKeyCombination kNoKey{};

// Help contexts of the menus, while one of their items is highlighted.
constexpr int kFileMenu = 40010;
constexpr int kEditMenu = 40020;
constexpr int kViewMenu = 40030;
constexpr int kOptionsMenu = 40040;
constexpr int kHelpMenu = 40050;
constexpr int kTransformMenu = 40060;
constexpr int kWindowMenu = 40070;
constexpr int kGridItems = 40034;  // the grids have their own place in the manual

// clang-format off
// id, menu text, status text, menu help, tool tip, icon, tool-bar place, keys, enable rule
constexpr CommandFacts kCommands[] = {
    // File
    {ID_FILE_NEW, 1101, 7001, kFileMenu, 1821, ToolIcon::New, {Bar::Main, 0},
     Keys{Qt::CTRL | Qt::Key_N, Qt::CTRL | Qt::Key_F3}},
    {ID_FILE_OPEN, 1102, 7002, kFileMenu, 1822, ToolIcon::Open, {Bar::Main, 1},
     Keys{Qt::CTRL | Qt::Key_O, QKeyCombination(Qt::Key_F3)}},
    {ID_FILE_SAVE, 1103, 7016, kFileMenu, 1823, ToolIcon::Save, {Bar::Main, 2},
     Keys{Qt::CTRL | Qt::Key_S, QKeyCombination(Qt::Key_F2)}},
    {ID_FILE_SAVE_AS, 1104, 7017, kFileMenu, 0, ToolIcon::None, {}, Keys{Qt::SHIFT | Qt::Key_F2, kNoKey}},
    {ID_FILE_SAVE_UZG, 1105, 7018, kFileMenu, 0, ToolIcon::None, {}, Keys{Qt::CTRL | Qt::Key_F2, kNoKey}},
    {ID_FILE_EXPORT_PNG, 1110, 7070, kFileMenu},
    {ID_FILE_IMPORT_PNG, 1111, 7071, kFileMenu},
    {ID_FILE_CLOSE, 1106, 7020, kFileMenu},
    {ID_FILE_REVERT, 1107, 7019, kFileMenu},
    {ID_FILE_MRU_FILE1, 1108, 7003, kFileMenu},
    {ID_APP_EXIT, 1109, 7004, kFileMenu, 0, ToolIcon::None, {}, Keys{Qt::ALT | Qt::Key_X, kNoKey}},

    // Edit
    {ID_EDIT_UNDO, 1201, 7023, kEditMenu, 1826, ToolIcon::Undo, {Bar::Main, 7},
     Keys{Qt::CTRL | Qt::Key_Z, Qt::ALT | Qt::Key_Backspace}},
    {ID_EDIT_REDO, 1202, 7024, kEditMenu, 1827, ToolIcon::Redo, {Bar::Main, 8},
     Keys{Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::SHIFT | Qt::ALT | Qt::Key_Backspace}},
    {ID_EDIT_COPY, 1203, 7026, kEditMenu},
    {ID_EDIT_PASTE, 1204, 7029, kEditMenu},
    {ID_EDIT_PASTE_SYSTEM, 1205, 7030, kEditMenu},
    {ID_EDIT_SELECT_ALL, 1206, 7034, kEditMenu, 0, ToolIcon::None, {}, Keys{Qt::CTRL | Qt::Key_A, kNoKey}},
    {ID_EDIT_INFO, 1207, 7039, kEditMenu},
    {ID_EDIT_CUT},  // the vehicle tree's context menu only
    // The copy and paste keys act in the active view, whichever menu shows.
    {ID_EDIT_COPY_ACTIVE, 0, kIdleStatusKey, 0, 0, ToolIcon::None, {}, Keys{Qt::CTRL | Qt::Key_C, kNoKey}},
    {ID_EDIT_PASTE_ACTIVE, 0, kIdleStatusKey, 0, 0, ToolIcon::None, {}, Keys{Qt::CTRL | Qt::Key_V, kNoKey}},
    {ID_CONTEXT_MENU_KEY, 0, kIdleStatusKey, 0, 0, ToolIcon::None, {}, Keys{QKeyCombination(Qt::Key_Menu), kNoKey}},
    {ID_DELETE_SUBSYMBOL, 2101},  // the scenery view's context menu only

    // Vehicle sets and cars
    {ID_VEHICLE_NEW_SET, 1210, 7021, kEditMenu},
    {ID_VEHICLE_EDIT_SET, 1211, 7033, kEditMenu},
    {ID_VEHICLE_COPY_SET, 1212, 7028, kEditMenu},
    {ID_VEHICLE_PASTE_SET, 1213, 7032, kEditMenu},
    {ID_VEHICLE_NEW_CAR, 1215, 7022, kEditMenu},
    {ID_VEHICLE_COPY_CAR, 1216, 7027, kEditMenu},
    {ID_VEHICLE_PASTE_CAR, 1217, 7031, kEditMenu},
    {ID_VEHICLE_STEAM, 1218},
    {ID_VEHICLE_DELETE, 1219, 7025, kEditMenu},
    {ID_VEHICLE_MOVE_FORWARD, 1220, 7041, kEditMenu},
    {ID_VEHICLE_MOVE_BACK, 1221, 7040, kEditMenu},
    {ID_VEHICLE_SAVE_TRAIN_PNG, 1112, 7074, kEditMenu},
    {ID_VEHICLE_IMPORT, 1222, 7035, kEditMenu},

    // Transform
    {ID_MIRROR_VERTICAL, 1301, 7043, kTransformMenu, 1831, ToolIcon::MirrorVertical, {Bar::Main, 14},
     Keys{Qt::CTRL | Qt::ALT | Qt::Key_V, kNoKey}},
    {ID_MIRROR_HORIZONTAL, 1302, 7042, kTransformMenu, 1832, ToolIcon::MirrorHorizontal, {Bar::Main, 15},
     Keys{Qt::CTRL | Qt::ALT | Qt::Key_H, kNoKey}},
    {ID_ROTATE_DOWN, 1303, 7047, kTransformMenu, 1836, ToolIcon::RotateDown, {Bar::Main, 19},
     Keys{Qt::CTRL | Qt::ALT | Qt::Key_Down, kNoKey}},
    {ID_ROTATE_UP, 1304, 7045, kTransformMenu, 1835, ToolIcon::RotateUp, {Bar::Main, 18},
     Keys{Qt::CTRL | Qt::ALT | Qt::Key_Up, kNoKey}},
    {ID_ROTATE_LEFT, 1305, 7044, kTransformMenu, 1834, ToolIcon::RotateLeft, {Bar::Main, 17},
     Keys{Qt::CTRL | Qt::ALT | Qt::Key_Left, kNoKey}},
    {ID_ROTATE_RIGHT, 1306, 7046, kTransformMenu, 1833, ToolIcon::RotateRight, {Bar::Main, 16},
     Keys{Qt::CTRL | Qt::ALT | Qt::Key_Right, kNoKey}},

    // View
    {ID_VIEW_TOOLBAR, 1401, 7005, kViewMenu},
    {ID_VIEW_STATUS_BAR, 1402, 7006, kViewMenu},
    {ID_VIEW_COLOUR_BAR, 1403, 7036, kViewMenu},
    {ID_VIEW_MODE_BAR, 1404, 7007, kViewMenu},
    {ID_ZOOM_IN, 1405, 7037, kViewMenu, 1824, ToolIcon::ZoomIn, {Bar::Main, 4}},
    {ID_ZOOM_OUT, 1406, 7038, kViewMenu, 1825, ToolIcon::ZoomOut, {Bar::Main, 5}},
    {ID_ZOOM_WHOLE_PICTURE, 1130, 7078, kViewMenu, 0, ToolIcon::None, {}, Keys{Qt::CTRL | Qt::Key_0, kNoKey}},
    // A pane of the status line, not a menu item: the active view answers with the zoom's text.
    {ID_INDICATOR_ZOOM, 0, kIdleStatusKey},
    {ID_CHOOSE_COLOURS, 1407, 7008, kViewMenu, 0, ToolIcon::None, {}, Keys{Qt::CTRL | Qt::Key_F, kNoKey}},
    {ID_NEXT_MOUSE_MODE, 1408, 7009, kViewMenu, 0, ToolIcon::None, {}, Keys{Qt::CTRL | Qt::Key_Space, kNoKey},
     EnableRule::Always},
    {ID_DAY_NIGHT, 1409, 7010, kViewMenu, 1828, ToolIcon::DayNight, {Bar::Main, 10},
     Keys{Qt::CTRL | Qt::Key_T, kNoKey}, EnableRule::Always},
    {ID_VIEW_PIXEL_GRID, 1120, 7072, kGridItems},
    {ID_VIEW_CELL_GRID, 1121, 7073, kGridItems},
    // The workspace's context menu only.
    {ID_BACKGROUND_PROPERTIES, 0, 7048, kViewMenu, 0, ToolIcon::None, {}, {}, EnableRule::Always},

    // Options
    {ID_OPTIONS_SETTINGS, 1501, 7011, kOptionsMenu},
    {ID_OPTIONS_COLOURS, 1502, 7012, kOptionsMenu},
    {ID_OPTIONS_SAVE, 1503, 7013, kOptionsMenu},

    // Window
    {ID_WINDOW_NEW, 1601, 7201, kWindowMenu},
    {ID_WINDOW_CASCADE, 1602, 7202, kWindowMenu, 0, ToolIcon::None, {}, Keys{Qt::SHIFT | Qt::Key_F4, kNoKey}},
    {ID_WINDOW_TILE_HORZ, 1603, 7203, kWindowMenu, 0, ToolIcon::None, {}, Keys{Qt::SHIFT | Qt::Key_F5, kNoKey}},
    {ID_WINDOW_TILE_VERT, 1604, 7204, kWindowMenu, 0, ToolIcon::None, {}, Keys{Qt::CTRL | Qt::Key_F5, kNoKey}},
    {ID_WINDOW_ARRANGE, 1605},
    {ID_WINDOW_LIST_FIRST, 0, 7205, kWindowMenu},
    {ID_WINDOW_LIST_MORE, 0, 7206, kWindowMenu},
    {ID_NEXT_PANE, 0, kIdleStatusKey, 0, 0, ToolIcon::None, {}, Keys{QKeyCombination(Qt::Key_F6), kNoKey}},
    {ID_PREV_PANE, 0, kIdleStatusKey, 0, 0, ToolIcon::None, {}, Keys{Qt::SHIFT | Qt::Key_F6, kNoKey}},

    // Help
    {ID_HELP_FINDER, 1701, 7014, kHelpMenu, 1829, ToolIcon::Help, {Bar::Main, 12}},
    {ID_APP_ABOUT, 1702, 7015, kHelpMenu},
    {ID_HELP, 0, kIdleStatusKey, 0, 0, ToolIcon::None, {}, Keys{QKeyCombination(Qt::Key_F1), kNoKey}},
    {ID_CONTEXT_HELP, 0, kIdleStatusKey, 0, 0, ToolIcon::None, {}, Keys{Qt::SHIFT | Qt::Key_F1, kNoKey}},
};
// clang-format on

constexpr std::size_t kRowCount = std::size(kCommands) + kMouseModeCount;

std::array<CommandFacts, kRowCount> MakeTable() {
    std::array<CommandFacts, kRowCount> rows{};
    std::ranges::copy(kCommands, rows.begin());
    std::size_t next = std::size(kCommands);
    for (const MouseModeFacts& mode : kMouseModeTable) {
        // The modes have buttons only: their status texts show while a button is hovered.
        rows[next++] = CommandFacts{.id = mode.command,
                                    .statusKey = mode.statusKey,
                                    .toolTip = mode.toolTipKey,
                                    .icon = mode.icon,
                                    .place = {Bar::Modes, mode.barPosition},
                                    .keys = Keys{QKeyCombination(mode.key), kNoKey}};
    }
    return rows;
}

}  // namespace

std::span<const CommandFacts> CommandTable() {
    static const std::array<CommandFacts, kRowCount> table = MakeTable();
    return table;
}

const CommandFacts* FindCommand(CommandId id) {
    if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_LAST) {
        id = ID_FILE_MRU_FILE1;
    } else if (id >= ID_WINDOW_LIST_FIRST && id <= ID_WINDOW_LIST_LAST) {
        id = ID_WINDOW_LIST_FIRST;
    }
    for (const CommandFacts& facts : CommandTable()) {
        if (facts.id == id) {
            return &facts;
        }
    }
    return nullptr;
}

std::vector<std::optional<CommandId>> ToolBarButtons(ToolBarId bar) {
    std::vector<const CommandFacts*> placed;
    for (const CommandFacts& facts : CommandTable()) {
        if (facts.place.bar == bar) {
            placed.push_back(&facts);
        }
    }
    std::ranges::sort(placed, {}, [](const CommandFacts* facts) { return facts->place.position; });
    std::vector<std::optional<CommandId>> buttons;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (i > 0 && placed[i]->place.position > placed[i - 1]->place.position + 1) {
            buttons.emplace_back(std::nullopt);
        }
        buttons.emplace_back(placed[i]->id);
    }
    return buttons;
}

MenuItemStatus MenuItemStatusOf(CommandId commandId) {
    const CommandFacts* facts = FindCommand(commandId);
    if (facts == nullptr || facts->menuHelp == 0) {
        return {kIdleStatusKey, std::nullopt};
    }
    return {facts->statusKey, facts->menuHelp};
}

int CommandStatusKey(CommandId commandId) {
    const CommandFacts* facts = FindCommand(commandId);
    return facts != nullptr && facts->place.bar != ToolBarId::None ? facts->statusKey : kIdleStatusKey;
}

std::optional<int> ToolTipKey(CommandId commandId) {
    const CommandFacts* facts = FindCommand(commandId);
    if (facts == nullptr || facts->toolTip == 0) {
        return std::nullopt;
    }
    return facts->toolTip;
}

}  // namespace zobl
