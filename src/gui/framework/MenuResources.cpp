#include "gui/framework/MenuResources.h"

#include <initializer_list>
#include <optional>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPoint>
#include <QTimer>

#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandRouter.h"
#include "gui/framework/CommandTable.h"
#include "gui/framework/VisibleText.h"
#include "gui/lang/Localization.h"

namespace zobl {

namespace {

constexpr const char* kDynamicItem = "zoblDynamicItem";

// Items of the menu bar: commands with the text of their row in the command table.
using Items = std::initializer_list<std::optional<CommandId>>;
constexpr std::optional<CommandId> kSeparator = std::nullopt;
// Items of a context menu have texts of their own (section "MENU" keys), so they must not rename
// the central actions that the menu bar shows.
struct OwnItem {
    std::optional<CommandId> id;
    int text = 0;
};
using OwnItems = std::initializer_list<OwnItem>;

QString TextPlaceholder(int key) {
    return QStringLiteral("key%1").arg(key);
}

void AddItems(QMenu& menu, CommandRouter& router, Items items) {
    for (const std::optional<CommandId>& id : items) {
        if (!id) {
            menu.addSeparator();
            continue;
        }
        QAction* action = router.Action(*id);
        const CommandFacts* facts = FindCommand(*id);
        action->setText(TextPlaceholder(facts != nullptr ? facts->menuText : 0));
        menu.addAction(action);
    }
}

void AddItems(QMenu& menu, CommandRouter& router, OwnItems items) {
    for (const OwnItem& item : items) {
        if (!item.id) {
            menu.addSeparator();
        } else {
            menu.addAction(router.NewMenuItem(*item.id, TextPlaceholder(item.text), &menu));
        }
    }
}

template <typename List>
QMenu* AddPopup(QMenu& root, int title, CommandRouter& router, List items) {
    QMenu* popup = root.addMenu(title != 0 ? TextPlaceholder(title) : QString());
    AddItems(*popup, router, items);
    return popup;
}

const Items kFileItemsFrame = {
    ID_FILE_NEW, ID_FILE_OPEN, kSeparator, ID_FILE_MRU_FILE1, kSeparator, ID_APP_EXIT,
};
const Items kFileItemsDocument = {
    ID_FILE_NEW, ID_FILE_OPEN,       ID_FILE_SAVE,       ID_FILE_SAVE_AS, ID_FILE_SAVE_UZG,
    kSeparator,  ID_FILE_EXPORT_PNG, ID_FILE_IMPORT_PNG, kSeparator,      ID_FILE_CLOSE,
    kSeparator,  ID_FILE_MRU_FILE1,  kSeparator,         ID_APP_EXIT,
};
const Items kVehicleFileItems = {
    ID_FILE_NEW,    ID_FILE_OPEN,       ID_FILE_SAVE,       ID_FILE_SAVE_AS, ID_FILE_SAVE_UZG,
    kSeparator,     ID_FILE_EXPORT_PNG, ID_FILE_IMPORT_PNG, kSeparator,      ID_FILE_CLOSE,
    ID_FILE_REVERT, kSeparator,         ID_FILE_MRU_FILE1,  kSeparator,      ID_APP_EXIT,
};
const Items kTransformItems = {
    ID_MIRROR_VERTICAL, ID_MIRROR_HORIZONTAL, ID_ROTATE_DOWN, ID_ROTATE_UP, ID_ROTATE_LEFT, ID_ROTATE_RIGHT,
};
const Items kViewItemsFrame = {
    ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_COLOUR_BAR, ID_VIEW_MODE_BAR,
    kSeparator,      ID_CHOOSE_COLOURS,  ID_NEXT_MOUSE_MODE, ID_DAY_NIGHT,
};
const Items kViewItemsDocument = {
    ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_COLOUR_BAR, ID_VIEW_MODE_BAR,
    kSeparator,      ID_ZOOM_IN,         ID_ZOOM_OUT,        ID_ZOOM_WHOLE_PICTURE,
    kSeparator,      ID_CHOOSE_COLOURS,  ID_NEXT_MOUSE_MODE, ID_DAY_NIGHT,
    kSeparator,      ID_VIEW_PIXEL_GRID, ID_VIEW_CELL_GRID,  // the grids
};
const Items kOptionsItems = {
    ID_OPTIONS_SETTINGS,
    ID_OPTIONS_COLOURS,
    kSeparator,
    ID_OPTIONS_SAVE,
};
const Items kWindowItems = {
    ID_WINDOW_NEW, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT, ID_WINDOW_ARRANGE,
};
const Items kHelpItems = {
    ID_HELP_FINDER,
    kSeparator,
    ID_APP_ABOUT,
};

// View, options, window and help: the same in the windows of both document kinds.
void AddDocumentMenusAfterTransform(QMenu& root, CommandRouter& router) {
    AddPopup(root, 1004, router, kViewItemsDocument);
    AddPopup(root, 1005, router, kOptionsItems);
    AddPopup(root, 1006, router, kWindowItems);
    AddPopup(root, 1007, router, kHelpItems);
}

}  // namespace

std::unique_ptr<QMenu> BuildMenu(int resource, CommandRouter& router, const CLanguageManager& language) {
    auto root = std::make_unique<QMenu>();
    switch (resource) {
        case kFrameMenu:
            AddPopup(*root, 1001, router, kFileItemsFrame);
            AddPopup(*root, 1004, router, kViewItemsFrame);
            AddPopup(*root, 1005, router, kOptionsItems);
            AddPopup(*root, 1007, router, kHelpItems);
            break;
        case kSceneryMenu:
            AddPopup(*root, 1001, router, kFileItemsDocument);
            AddPopup(*root, 1002, router,
                     Items{ID_EDIT_UNDO, ID_EDIT_REDO, kSeparator, ID_EDIT_COPY, ID_EDIT_PASTE,
                           ID_EDIT_PASTE_SYSTEM, kSeparator, ID_EDIT_SELECT_ALL, kSeparator, ID_EDIT_INFO});
            AddPopup(*root, 1003, router, Items{ID_MIRROR_VERTICAL, ID_MIRROR_HORIZONTAL});
            AddDocumentMenusAfterTransform(*root, router);
            break;
        case kVehicleMenu: {
            AddPopup(*root, 1001, router, kVehicleFileItems);
            QMenu* edit = AddPopup(*root, 1002, router,
                                   Items{ID_EDIT_UNDO, ID_EDIT_REDO, kSeparator, ID_EDIT_COPY, ID_EDIT_PASTE,
                                         ID_EDIT_PASTE_SYSTEM, ID_EDIT_SELECT_ALL, kSeparator});
            AddPopup(*edit, 1209, router,
                     Items{ID_VEHICLE_NEW_SET, ID_VEHICLE_EDIT_SET, ID_VEHICLE_COPY_SET, ID_VEHICLE_PASTE_SET,
                           kSeparator, ID_VEHICLE_SAVE_TRAIN_PNG});
            AddPopup(*edit, 1214, router,
                     Items{ID_VEHICLE_NEW_CAR, ID_VEHICLE_COPY_CAR, ID_VEHICLE_PASTE_CAR, ID_VEHICLE_STEAM});
            AddItems(*edit, router, Items{ID_VEHICLE_DELETE});
            AddPopup(*edit, 1224, router, Items{ID_VEHICLE_MOVE_FORWARD, ID_VEHICLE_MOVE_BACK});
            AddItems(*edit, router, Items{ID_VEHICLE_IMPORT, kSeparator, ID_EDIT_INFO});
            AddPopup(*root, 1003, router, kTransformItems);
            AddDocumentMenusAfterTransform(*root, router);
            break;
        }
        case kVehicleTreeContextMenu: {
            QMenu* popup = root->addMenu(QString());
            AddItems(
                *popup, router,
                OwnItems{{ID_EDIT_COPY, 2102}, {ID_VEHICLE_COPY_CAR, 2103}, {ID_VEHICLE_COPY_SET, 2104}, {}});
            AddPopup(*popup, 2105, router,
                     OwnItems{{ID_EDIT_PASTE, 2106},
                              {ID_EDIT_PASTE_SYSTEM, 2107},
                              {ID_VEHICLE_PASTE_CAR, 2108},
                              {ID_VEHICLE_PASTE_SET, 2109}});
            AddItems(*popup, router, OwnItems{{ID_VEHICLE_DELETE, 2110}, {ID_EDIT_CUT, 1208}, {}});
            AddPopup(*popup, 2111, router, OwnItems{{ID_VEHICLE_NEW_CAR, 2112}, {ID_VEHICLE_NEW_SET, 2113}});
            AddItems(*popup, router,
                     OwnItems{{},
                              {ID_VEHICLE_EDIT_SET, 2114},
                              {},
                              {ID_VEHICLE_MOVE_FORWARD, 1220},
                              {ID_VEHICLE_MOVE_BACK, 1221},
                              {},
                              {ID_VEHICLE_SAVE_TRAIN_PNG, 2115}});
            break;
        }
        case kCarEditorContextMenu: {
            QMenu* popup = root->addMenu(QString());
            AddItems(*popup, router,
                     OwnItems{{ID_EDIT_PASTE, 1204}, {ID_EDIT_PASTE_SYSTEM, 1205}, {ID_EDIT_COPY, 1203}});
            AddPopup(*popup, 1003, router,
                     OwnItems{{ID_MIRROR_VERTICAL, 1301},
                              {ID_MIRROR_HORIZONTAL, 1302},
                              {},
                              {ID_ROTATE_DOWN, 1303},
                              {ID_ROTATE_UP, 1304},
                              {ID_ROTATE_LEFT, 1305},
                              {ID_ROTATE_RIGHT, 1306}});
            AddItems(*popup, router, OwnItems{{}, {ID_VEHICLE_STEAM, 1218}});
            break;
        }
        case kSceneryContextMenu:
            AddPopup(*root, 0, router, Items{ID_DELETE_SUBSYMBOL});
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

QAction* FirstEnabledItem(const QMenu& menu) {
    for (QAction* action : menu.actions()) {
        if (action->isEnabled() && action->isVisible() && !action->isSeparator()) {
            return action;
        }
    }
    return nullptr;
}

void SelectFirstItemOnOpen(QMenu& menu) {
    // Chosen as it opens: the update handlers decide what is enabled before that.
    QObject::connect(
        &menu, &QMenu::aboutToShow, &menu,
        [&menu] {
            QAction* first = FirstEnabledItem(menu);
            if (first == nullptr) {
                return;
            }
            menu.setActiveAction(first);
            // Selecting an item pops its submenu up at once; a keyboard selection does not.
            if (QMenu* submenu = first->menu()) {
                QTimer::singleShot(0, submenu, &QMenu::hide);
            }
        },
        Qt::SingleShotConnection);
}

void ExecContextMenu(QMenu& menu, const QPoint& globalPosition) {
    SelectFirstItemOnOpen(menu);
    menu.exec(globalPosition);
}

void MarkDynamicItem(QAction* item) {
    item->setProperty(kDynamicItem, true);
}

void RemoveDynamicItems(QMenu* popup) {
    for (QAction* action : popup->actions()) {
        if (action->property(kDynamicItem).toBool()) {
            popup->removeAction(action);
            delete action;
        }
    }
}

QString RecentFileLabel(int index, const QString& path) {
    QString shown = path;
    const QString home = QDir::homePath();
    if (!home.isEmpty() && shown.startsWith(home + '/')) {
        shown = '~' + shown.mid(home.size());
    }
    constexpr int kMaxShown = 48;
    if (shown.size() > kMaxShown) {
        const QFileInfo file(path);
        shown = QStringLiteral(".../%1/%2").arg(file.dir().dirName(), file.fileName());
    }
    shown = VisibleText(shown);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    const int number = index + 1;
    const QString prefix = number < 10    ? QStringLiteral("&%1").arg(number)
                           : number == 10 ? QStringLiteral("1&0")
                                          : QString::number(number);
    return prefix + ' ' + shown;
}

}  // namespace zobl
