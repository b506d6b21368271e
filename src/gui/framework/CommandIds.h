#pragma once

namespace zobl {

// The numeric command identifiers. Menus, tool bars, accelerators and the update handlers all
// speak these numbers; they also appear in the status-line and tooltip tables of the language
// file, so they keep the values the texts are filed under.
enum CommandId : int {
    // File
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_MRU_FILE1 = 57616,  // .. 57631, the sixteen recent files
    ID_FILE_MRU_LAST = 57631,
    ID_FILE_SAVE_UZG = 32791,
    ID_FILE_REVERT = 32819,  // back to the last loaded version (vehicle documents)
    ID_FILE_EXPORT_PNG = 32831,
    ID_FILE_IMPORT_PNG = 32832,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_FINDER = 57667,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,

    // Edit
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_SELECT_ALL = 57642,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_EDIT_PASTE_SYSTEM = 32790,
    ID_EDIT_INFO = 32773,
    ID_EDIT_COPY_ACTIVE = 32829,   // accelerator: copy in the active view
    ID_EDIT_PASTE_ACTIVE = 32830,  // accelerator: paste in the active view
    ID_CONTEXT_MENU_KEY = 32820,   // Applications key in a vehicle view
    ID_DELETE_SUBSYMBOL = 32809,

    // Vehicle sets and cars
    ID_VEHICLE_NEW_SET = 32810,
    ID_VEHICLE_NEW_CAR = 32811,
    ID_VEHICLE_EDIT_SET = 32812,
    ID_VEHICLE_DELETE = 32813,
    ID_VEHICLE_COPY_SET = 32815,
    ID_VEHICLE_COPY_CAR = 32816,
    ID_VEHICLE_PASTE_CAR = 32817,
    ID_VEHICLE_PASTE_SET = 32818,
    ID_VEHICLE_IMPORT = 32821,
    ID_VEHICLE_MOVE_FORWARD = 32825,
    ID_VEHICLE_SAVE_TRAIN_PNG = 32837,  // the chosen set as the train preview shows it, as PNG
    ID_VEHICLE_MOVE_BACK = 32826,
    ID_VEHICLE_STEAM = 32827,

    // Transform
    ID_MIRROR_VERTICAL = 32792,
    ID_MIRROR_HORIZONTAL = 32793,
    ID_ROTATE_DOWN = 32795,
    ID_ROTATE_RIGHT = 32797,
    ID_ROTATE_LEFT = 32798,
    ID_ROTATE_UP = 32803,

    // View
    ID_ZOOM_IN = 32771,
    ID_ZOOM_OUT = 32772,
    ID_DAY_NIGHT = 32778,
    ID_CHOOSE_COLOURS = 32784,
    ID_NEXT_MOUSE_MODE = 32786,
    ID_VIEW_MODE_BAR = 32788,
    ID_VIEW_COLOUR_BAR = 32822,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_VIEW_PIXEL_GRID = 32833,     // lines between the magnified pixels
    ID_VIEW_CELL_GRID = 32834,      // outlines of the cells (car editor: segments)
    ID_ZOOM_WHOLE_PICTURE = 32835,  // the largest zoom that shows the whole document
    ID_INDICATOR_ZOOM = 32836,      // the status line's zoom pane; its text comes from the active view

    // Mouse modes, in mode order 0..9
    ID_MODE_VIEW = 32774,
    ID_MODE_FREEHAND = 32775,
    ID_MODE_LINE = 32777,
    ID_MODE_RECTANGLE = 32780,
    ID_MODE_FILLED_RECTANGLE = 32781,
    ID_MODE_FILL = 32782,
    ID_MODE_REPLACE_COLOUR = 32824,
    ID_MODE_MARK = 32783,
    ID_MODE_PICK_COLOUR = 32789,
    ID_MODE_ZOOM = 32787,

    // Options
    ID_OPTIONS_SETTINGS = 32804,
    ID_OPTIONS_SAVE = 32807,
    ID_OPTIONS_COLOURS = 32808,
    ID_BACKGROUND_PROPERTIES = 32828,

    // Window
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_WINDOW_TILE_VERT = 57652,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_WINDOW_LIST_FIRST = 65280,  // .. 65288: the document windows listed in the window menu
    ID_WINDOW_LIST_LAST = 65288,
    ID_WINDOW_LIST_MORE = 65289,
};

// The commands of the numbered menu items: the recent file and the listed window at index (from 0).
constexpr CommandId RecentFileCommand(int index) {
    return static_cast<CommandId>(ID_FILE_MRU_FILE1 + index);
}
constexpr CommandId WindowListCommand(int index) {
    return static_cast<CommandId>(ID_WINDOW_LIST_FIRST + index);
}

}  // namespace zobl
