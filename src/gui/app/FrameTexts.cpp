#include "gui/app/FrameTexts.h"

#include <array>
#include <utility>

#include "gui/framework/CommandIds.h"

namespace zobl {

namespace {

struct MenuGroup {
    int helpContext;
    std::initializer_list<std::pair<int, int>> items;  // command -> status key
};

const std::array<MenuGroup, 7>& MenuGroups() {
    static const std::array<MenuGroup, 7> groups{{
        {40010,
         {{ID_FILE_NEW, 7001},
          {ID_FILE_OPEN, 7002},
          {ID_FILE_SAVE, 7016},
          {ID_FILE_SAVE_AS, 7017},
          {ID_FILE_CLOSE, 7020},
          {ID_FILE_SAVE_UZG, 7018},
          {ID_FILE_REVERT, 7019},
          {ID_APP_EXIT, 7004}}},
        {40020,
         {{ID_EDIT_UNDO, 7023},
          {ID_EDIT_REDO, 7024},
          {ID_EDIT_COPY, 7026},
          {ID_EDIT_PASTE, 7029},
          {ID_EDIT_PASTE_SYSTEM, 7030},
          {ID_EDIT_SELECT_ALL, 7034},
          {ID_EDIT_INFO, 7039},
          {ID_VEHICLE_NEW_SET, 7021},
          {ID_VEHICLE_NEW_CAR, 7022},
          {ID_VEHICLE_DELETE, 7025},
          {ID_VEHICLE_COPY_CAR, 7027},
          {ID_VEHICLE_COPY_SET, 7028},
          {ID_VEHICLE_PASTE_CAR, 7031},
          {ID_VEHICLE_PASTE_SET, 7032},
          {ID_VEHICLE_EDIT_SET, 7033},
          {ID_VEHICLE_IMPORT, 7035},
          {ID_VEHICLE_MOVE_FORWARD, 7041},
          {ID_VEHICLE_MOVE_BACK, 7040}}},
        {40030,
         {{ID_ZOOM_IN, 7037},
          {ID_ZOOM_OUT, 7038},
          {ID_VIEW_TOOLBAR, 7005},
          {ID_VIEW_STATUS_BAR, 7006},
          {ID_VIEW_MODE_BAR, 7007},
          {ID_CHOOSE_COLOURS, 7008},
          {ID_NEXT_MOUSE_MODE, 7009},
          {ID_DAY_NIGHT, 7010},
          {ID_VIEW_COLOUR_BAR, 7036},
          {ID_BACKGROUND_PROPERTIES, 7048}}},
        {40040, {{ID_OPTIONS_SETTINGS, 7011}, {ID_OPTIONS_COLOURS, 7012}, {ID_OPTIONS_SAVE, 7013}}},
        {40050, {{ID_HELP_FINDER, 7014}, {ID_APP_ABOUT, 7015}}},
        {40060,
         {{ID_MIRROR_HORIZONTAL, 7042},
          {ID_MIRROR_VERTICAL, 7043},
          {ID_ROTATE_LEFT, 7044},
          {ID_ROTATE_UP, 7045},
          {ID_ROTATE_RIGHT, 7046},
          {ID_ROTATE_DOWN, 7047}}},
        {40070,
         {{ID_WINDOW_NEW, 7201},
          {ID_WINDOW_CASCADE, 7202},
          {ID_WINDOW_TILE_HORZ, 7203},
          {ID_WINDOW_TILE_VERT, 7204},
          {ID_WINDOW_LIST_MORE, 7206}}},
    }};
    return groups;
}

}  // namespace

MenuItemStatus MenuItemStatusOf(int commandId) {
    // The sixteen recent files share one text, and so do the listed windows.
    if (commandId >= ID_FILE_MRU_FILE1 && commandId <= ID_FILE_MRU_LAST) {
        return {7003, 40010};
    }
    if (commandId >= ID_WINDOW_LIST_FIRST && commandId <= ID_WINDOW_LIST_LAST) {
        return {7205, 40070};
    }
    for (const MenuGroup& group : MenuGroups()) {
        for (const auto& [id, key] : group.items) {
            if (id == commandId) {
                return {key, group.helpContext};
            }
        }
    }
    return {kIdleStatusKey, std::nullopt};
}

int CommandStatusKey(int commandId) {
    if (const int mode = MouseModeOfCommand(commandId); mode >= 0) {
        return kMouseModeTable[mode].statusKey;
    }
    static constexpr std::pair<int, int> kKeys[] = {
        {ID_ZOOM_IN, 7037},         {ID_ZOOM_OUT, 7038},          {ID_DAY_NIGHT, 7010},
        {ID_MIRROR_VERTICAL, 7043}, {ID_MIRROR_HORIZONTAL, 7042}, {ID_ROTATE_DOWN, 7047},
        {ID_ROTATE_RIGHT, 7046},    {ID_ROTATE_LEFT, 7044},       {ID_ROTATE_UP, 7045},
        {ID_FILE_NEW, 7001},        {ID_FILE_OPEN, 7002},         {ID_FILE_SAVE, 7016},
        {ID_EDIT_UNDO, 7023},       {ID_EDIT_REDO, 7024},         {ID_HELP_FINDER, 7014},
    };
    for (const auto& [id, key] : kKeys) {
        if (id == commandId) {
            return key;
        }
    }
    return kIdleStatusKey;
}

std::optional<int> ToolTipKey(int commandId) {
    if (const int mode = MouseModeOfCommand(commandId); mode >= 0) {
        return kMouseModeTable[mode].toolTipKey;
    }
    static constexpr std::pair<int, int> kKeys[] = {
        {ID_FILE_NEW, 1821},        {ID_FILE_OPEN, 1822},         {ID_FILE_SAVE, 1823},
        {ID_ZOOM_IN, 1824},         {ID_ZOOM_OUT, 1825},          {ID_EDIT_UNDO, 1826},
        {ID_EDIT_REDO, 1827},       {ID_DAY_NIGHT, 1828},         {ID_HELP_FINDER, 1829},
        {ID_MIRROR_VERTICAL, 1831}, {ID_MIRROR_HORIZONTAL, 1832}, {ID_ROTATE_RIGHT, 1833},
        {ID_ROTATE_LEFT, 1834},     {ID_ROTATE_UP, 1835},         {ID_ROTATE_DOWN, 1836},
    };
    for (const auto& [id, key] : kKeys) {
        if (id == commandId) {
            return key;
        }
    }
    return std::nullopt;
}

}  // namespace zobl
