#include "gui/app/MenuResources.h"

#include <initializer_list>
#include <utility>

#include <QAction>
#include <QMenu>

#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandRouter.h"
#include "gui/lang/Localization.h"

namespace zobl {

namespace {

// 0 is a separator.
using Items = std::initializer_list<std::pair<int, const char*>>;

// Items of a context menu have texts of their own (ownTexts), so they must not rename the
// central actions that the menu bar shows.
void AddItems(QMenu& menu, CommandRouter& router, Items items, bool ownTexts = false) {
    for (const auto& [id, text] : items) {
        if (id == 0) {
            menu.addSeparator();
        } else if (ownTexts) {
            menu.addAction(router.NewMenuItem(id, QString::fromLatin1(text), &menu));
        } else {
            QAction* action = router.Action(id);
            action->setText(QString::fromLatin1(text));
            menu.addAction(action);
        }
    }
}

QMenu* AddPopup(QMenu& root, const char* title, CommandRouter& router, Items items, bool ownTexts = false) {
    QMenu* popup = root.addMenu(QString::fromLatin1(title));
    AddItems(*popup, router, items, ownTexts);
    return popup;
}

const Items kFileItemsFrame = {
    {ID_FILE_NEW, "key1101"},
    {ID_FILE_OPEN, "key1102"},
    {0, nullptr},
    {ID_FILE_MRU_FILE1, "key1108"},
    {0, nullptr},
    {ID_APP_EXIT, "key1109"},
};
const Items kFileItemsDocument = {
    {ID_FILE_NEW, "key1101"},
    {ID_FILE_OPEN, "key1102"},
    {ID_FILE_SAVE, "key1103"},
    {ID_FILE_SAVE_AS, "key1104"},
    {ID_FILE_SAVE_UZG, "key1105"},
    {ID_FILE_CLOSE, "key1106"},
    {0, nullptr},
    {ID_FILE_MRU_FILE1, "key1108"},
    {0, nullptr},
    {ID_APP_EXIT, "key1109"},
};
const Items kVehicleFileItems = {
    {ID_FILE_NEW, "key1101"},       {ID_FILE_OPEN, "key1102"},
    {ID_FILE_SAVE, "key1103"},      {ID_FILE_SAVE_AS, "key1104"},
    {ID_FILE_SAVE_UZG, "key1105"},  {ID_FILE_CLOSE, "key1106"},
    {ID_FILE_REVERT, "key1107"},    {0, nullptr},
    {ID_FILE_MRU_FILE1, "key1108"}, {0, nullptr},
    {ID_APP_EXIT, "key1109"},
};
const Items kTransformItems = {
    {ID_MIRROR_VERTICAL, "key1301"}, {ID_MIRROR_HORIZONTAL, "key1302"}, {ID_ROTATE_DOWN, "key1303"},
    {ID_ROTATE_UP, "key1304"},       {ID_ROTATE_LEFT, "key1305"},       {ID_ROTATE_RIGHT, "key1306"},
};
const Items kViewItemsFrame = {
    {ID_VIEW_TOOLBAR, "key1401"},
    {ID_VIEW_STATUS_BAR, "key1402"},
    {ID_VIEW_COLOUR_BAR, "key1403"},
    {ID_VIEW_MODE_BAR, "key1404"},
    {0, nullptr},
    {ID_CHOOSE_COLOURS, "key1407"},
    {ID_NEXT_MOUSE_MODE, "key1408"},
    {ID_DAY_NIGHT, "key1409"},
};
const Items kViewItemsDocument = {
    {ID_VIEW_TOOLBAR, "key1401"},
    {ID_VIEW_STATUS_BAR, "key1402"},
    {ID_VIEW_COLOUR_BAR, "key1403"},
    {ID_VIEW_MODE_BAR, "key1404"},
    {0, nullptr},
    {ID_ZOOM_IN, "key1405"},
    {ID_ZOOM_OUT, "key1406"},
    {0, nullptr},
    {ID_CHOOSE_COLOURS, "key1407"},
    {ID_NEXT_MOUSE_MODE, "key1408"},
    {ID_DAY_NIGHT, "key1409"},
};
const Items kOptionsItems = {
    {ID_OPTIONS_SETTINGS, "key1501"},
    {ID_OPTIONS_COLOURS, "key1502"},
    {0, nullptr},
    {ID_OPTIONS_SAVE, "key1503"},
};
const Items kWindowItems = {
    {ID_WINDOW_NEW, "key1601"},       {ID_WINDOW_CASCADE, "key1602"}, {ID_WINDOW_TILE_HORZ, "key1603"},
    {ID_WINDOW_TILE_VERT, "key1604"}, {ID_WINDOW_ARRANGE, "key1605"},
};
const Items kHelpItems = {
    {ID_HELP_FINDER, "key1701"},
    {0, nullptr},
    {ID_APP_ABOUT, "key1702"},
};

// View, options, window and help: the same in the windows of both document kinds.
void AddDocumentMenusAfterTransform(QMenu& root, CommandRouter& router) {
    AddPopup(root, "key1004", router, kViewItemsDocument);
    AddPopup(root, "key1005", router, kOptionsItems);
    AddPopup(root, "key1006", router, kWindowItems);
    AddPopup(root, "key1007", router, kHelpItems);
}

}  // namespace

std::unique_ptr<QMenu> BuildMenu(int resource, CommandRouter& router, const CLanguageManager& language) {
    auto root = std::make_unique<QMenu>();
    switch (resource) {
        case kFrameMenu:
            AddPopup(*root, "key1001", router, kFileItemsFrame);
            AddPopup(*root, "key1004", router, kViewItemsFrame);
            AddPopup(*root, "key1005", router, kOptionsItems);
            AddPopup(*root, "key1007", router, kHelpItems);
            break;
        case kSceneryMenu:
            AddPopup(*root, "key1001", router, kFileItemsDocument);
            AddPopup(*root, "key1002", router,
                     {{ID_EDIT_UNDO, "key1201"},
                      {ID_EDIT_REDO, "key1202"},
                      {0, nullptr},
                      {ID_EDIT_COPY, "key1203"},
                      {ID_EDIT_PASTE, "key1204"},
                      {ID_EDIT_PASTE_SYSTEM, "key1205"},
                      {0, nullptr},
                      {ID_EDIT_SELECT_ALL, "key1206"},
                      {0, nullptr},
                      {ID_EDIT_INFO, "key1207"}});
            AddPopup(*root, "key1003", router,
                     {{ID_MIRROR_VERTICAL, "key1301"}, {ID_MIRROR_HORIZONTAL, "key1302"}});
            AddDocumentMenusAfterTransform(*root, router);
            break;
        case kVehicleMenu: {
            AddPopup(*root, "key1001", router, kVehicleFileItems);
            QMenu* edit = AddPopup(*root, "key1002", router,
                                   {{ID_EDIT_UNDO, "key1201"},
                                    {ID_EDIT_REDO, "key1202"},
                                    {0, nullptr},
                                    {ID_EDIT_COPY, "key1203"},
                                    {ID_EDIT_PASTE, "key1204"},
                                    {ID_EDIT_PASTE_SYSTEM, "key1205"},
                                    {ID_EDIT_SELECT_ALL, "key1206"},
                                    {0, nullptr}});
            AddPopup(*edit, "key1209", router,
                     {{ID_VEHICLE_NEW_SET, "key1210"},
                      {ID_VEHICLE_EDIT_SET, "key1211"},
                      {ID_VEHICLE_COPY_SET, "key1212"},
                      {ID_VEHICLE_PASTE_SET, "key1213"}});
            AddPopup(*edit, "key1214", router,
                     {{ID_VEHICLE_NEW_CAR, "key1215"},
                      {ID_VEHICLE_COPY_CAR, "key1216"},
                      {ID_VEHICLE_PASTE_CAR, "key1217"},
                      {ID_VEHICLE_STEAM, "key1218"}});
            AddItems(*edit, router, {{ID_VEHICLE_DELETE, "key1219"}});
            AddPopup(*edit, "key1224", router,
                     {{ID_VEHICLE_MOVE_FORWARD, "key1220"}, {ID_VEHICLE_MOVE_BACK, "key1221"}});
            AddItems(*edit, router,
                     {{ID_VEHICLE_IMPORT, "key1222"}, {0, nullptr}, {ID_EDIT_INFO, "key1207"}});
            AddPopup(*root, "key1003", router, kTransformItems);
            AddDocumentMenusAfterTransform(*root, router);
            break;
        }
        case kVehicleTreeContextMenu: {
            QMenu* popup = root->addMenu(QString());
            AddItems(*popup, router,
                     {{ID_EDIT_COPY, "key2102"},
                      {ID_VEHICLE_COPY_CAR, "key2103"},
                      {ID_VEHICLE_COPY_SET, "key2104"},
                      {0, nullptr}},
                     true);
            AddPopup(*popup, "key2105", router,
                     {{ID_EDIT_PASTE, "key2106"},
                      {ID_EDIT_PASTE_SYSTEM, "key2107"},
                      {ID_VEHICLE_PASTE_CAR, "key2108"},
                      {ID_VEHICLE_PASTE_SET, "key2109"}},
                     true);
            AddItems(*popup, router, {{ID_VEHICLE_DELETE, "key2110"}, {ID_EDIT_CUT, "key1208"}, {0, nullptr}},
                     true);
            AddPopup(*popup, "key2111", router,
                     {{ID_VEHICLE_NEW_CAR, "key2112"}, {ID_VEHICLE_NEW_SET, "key2113"}}, true);
            AddItems(*popup, router,
                     {{0, nullptr},
                      {ID_VEHICLE_EDIT_SET, "key2114"},
                      {0, nullptr},
                      {ID_VEHICLE_MOVE_FORWARD, "key1220"},
                      {ID_VEHICLE_MOVE_BACK, "key1221"}},
                     true);
            break;
        }
        case kCarEditorContextMenu: {
            QMenu* popup = root->addMenu(QString());
            AddItems(
                *popup, router,
                {{ID_EDIT_PASTE, "key1204"}, {ID_EDIT_PASTE_SYSTEM, "key1205"}, {ID_EDIT_COPY, "key1203"}},
                true);
            AddPopup(*popup, "key1003", router,
                     {{ID_MIRROR_VERTICAL, "key1301"},
                      {ID_MIRROR_HORIZONTAL, "key1302"},
                      {0, nullptr},
                      {ID_ROTATE_DOWN, "key1303"},
                      {ID_ROTATE_UP, "key1304"},
                      {ID_ROTATE_LEFT, "key1305"},
                      {ID_ROTATE_RIGHT, "key1306"}},
                     true);
            AddItems(*popup, router, {{0, nullptr}, {ID_VEHICLE_STEAM, "key1218"}}, true);
            break;
        }
        case kSceneryContextMenu:
            AddPopup(*root, "", router, {{ID_DELETE_SUBSYMBOL, "key2101"}});
            break;
        default:
            return nullptr;
    }
    LocalizeMenu(root.get(), language);
    router.WatchMenu(root.get());
    return root;
}

QMenu* ContextPopup(const QMenu* resource) {
    if (resource == nullptr || resource->actions().isEmpty()) {
        return nullptr;
    }
    return resource->actions().constFirst()->menu();
}

}  // namespace zobl
