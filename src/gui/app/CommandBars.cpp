#include "gui/app/CommandBars.h"

#include <optional>

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QRegularExpression>
#include <QToolBar>
#include <QToolButton>

#include "gui/framework/CommandRouter.h"
#include "gui/framework/FrameTexts.h"
#include "gui/lang/Localization.h"
#include "gui/widgets/PixelIcons.h"

namespace zobl {

namespace {
// Section "MENU": the name of a bar's button that shows the buttons the bar has no room for.
constexpr int kBarExtensionNameKey = 1837;
// Marks the tool buttons of commands.
constexpr const char* kCommandButton = "zoblCommandButton";
}  // namespace

QToolBar* MakeToolBar(ToolBarId which, const QString& title, const QString& objectName, CommandRouter& router,
                      const CLanguageManager& language, QWidget* buttonWatcher) {
    auto* bar = new QToolBar(title, buttonWatcher);
    bar->setObjectName(objectName);
    for (const std::optional<CommandId> id : ToolBarButtons(which)) {
        if (!id) {
            bar->addSeparator();
            continue;
        }
        const CommandFacts& facts = *FindCommand(*id);
        QAction* action = router.Action(*id);
        action->setIcon(ToolIconImage(facts.icon));
        if (facts.toolTip != 0) {
            QString tip = GetText(language, facts.toolTip, kMenuSection).left(kMaxToolTipLength);
            // The language file's tips name the keys of the other buttons; the modes' letters
            // are ours.
            if (MouseModeOfCommand(*id) && facts.keys[0] != QKeyCombination()) {
                tip += QStringLiteral(" (%1)").arg(
                    QKeySequence(facts.keys[0]).toString(QKeySequence::NativeText));
            }
            action->setToolTip(tip);
        }
        bar->addAction(action);
        if (QWidget* button = bar->widgetForAction(action)) {
            button->setProperty(kCommandButton, true);
            button->installEventFilter(buttonWatcher);
            // For screen readers: the tool tip without the shortcuts in brackets.
            QString name = action->toolTip();
            name.remove(QRegularExpression(QStringLiteral("(\\s*\\([^()]*\\))+$")));
            button->setAccessibleName(AccessibleText(name));
            button->setAccessibleDescription(action->toolTip());
        }
    }
    // Qt's own button for the buttons that do not fit is a check box to screen readers.
    if (auto* extension = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        const QString name = GetText(language, kBarExtensionNameKey, kMenuSection);
        extension->setAccessibleName(AccessibleText(name));
        extension->setToolTip(name);
    }
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(true);
    bar->setFloatable(true);
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return bar;
}

bool IsCommandButton(const QObject* object) {
    return object != nullptr && object->property(kCommandButton).toBool();
}

void MakeToggleCommandsCheckable(CommandRouter& router, QObject* parent) {
    auto* modes = new QActionGroup(parent);
    modes->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (const CommandId id : kMouseModeCommands) {
        QAction* action = router.Action(id);
        action->setCheckable(true);
        modes->addAction(action);
    }
    for (const CommandId id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_MODE_BAR, ID_VIEW_COLOUR_BAR,
                               ID_VIEW_PIXEL_GRID, ID_VIEW_CELL_GRID}) {
        router.Action(id)->setCheckable(true);
    }
}

void AssignCommandKeys(CommandRouter& router) {
    for (const CommandFacts& facts : CommandTable()) {
        QList<QKeySequence> sequences;
        for (const QKeyCombination keys : facts.keys) {
            if (keys != QKeyCombination()) {
                sequences.append(QKeySequence(keys));
            }
        }
        if (!sequences.isEmpty()) {
            router.Action(facts.id)->setShortcuts(sequences);
        }
    }
}

}  // namespace zobl
