#include "gui/lang/Localization.h"

#include <QAbstractButton>
#include <QAction>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBox>
#include <QWidget>

#include "core/lang/LanguageManager.h"
#include "core/lang/Placeholder.h"

namespace zobl {

namespace {

// The replacement of text from section, or text itself when it is no placeholder. Unlike
// GetTextIfKey, "key" without a number is looked up as key 0 (and shows that no text exists).
QString Localized(const QString& text, std::string_view section, const CLanguageManager& language,
                  bool* changed = nullptr) {
    if (!text.startsWith(QLatin1String("key"))) {
        return text;
    }
    const std::optional<int> number = PlaceholderNumber(text.toStdString());
    if (!number) {
        return text;
    }
    if (changed != nullptr) {
        *changed = true;
    }
    return GetText(language, *number, section);
}

template <typename Getter, typename Setter>
void Replace(Getter get, Setter set, const CLanguageManager& language) {
    bool changed = false;
    const QString text = Localized(get(), kDialogsSection, language, &changed);
    if (changed) {
        set(text);
    }
}

void LocalizeOne(QWidget* widget, bool isWindow, const CLanguageManager& language) {
    if (isWindow || qobject_cast<QDockWidget*>(widget) != nullptr) {
        Replace([&] { return widget->windowTitle(); }, [&](const QString& t) { widget->setWindowTitle(t); },
                language);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        Replace([&] { return button->text(); }, [&](const QString& t) { button->setText(t); }, language);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        Replace([&] { return label->text(); }, [&](const QString& t) { label->setText(t); }, language);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        Replace([&] { return group->title(); }, [&](const QString& t) { group->setTitle(t); }, language);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            Replace([&] { return tabs->tabText(i); }, [&](const QString& t) { tabs->setTabText(i, t); },
                    language);
        }
    } else if (auto* box = qobject_cast<QToolBox*>(widget)) {
        for (int i = 0; i < box->count(); ++i) {
            Replace([&] { return box->itemText(i); }, [&](const QString& t) { box->setItemText(i, t); },
                    language);
        }
    }
}

}  // namespace

QString GetText(const CLanguageManager& language, int key, std::string_view section) {
    return QString::fromStdString(language.GetText(key, section));
}

bool LocalizeMenu(QMenu* menu, const CLanguageManager& language) {
    if (menu == nullptr) {
        return false;
    }
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        bool changed = false;
        const QString text = Localized(action->text(), kMenuSection, language, &changed);
        if (changed) {
            action->setText(text);
        }
        if (QMenu* submenu = action->menu()) {
            if (submenu != menu) {
                LocalizeMenu(submenu, language);
            }
        }
    }
    return true;
}

bool LocalizeWindow(QWidget* window, const CLanguageManager& language) {
    if (window == nullptr) {
        return false;
    }
    LocalizeOne(window, true, language);
    for (QWidget* child : window->findChildren<QWidget*>()) {
        LocalizeOne(child, false, language);
    }
    return true;
}

bool GetTextIfKey(QString& result, const QString& text, std::string_view section,
                  const CLanguageManager& language) {
    if (!text.startsWith(QLatin1String("key"))) {
        return false;
    }
    const std::optional<int> number = PlaceholderNumber(text.toStdString());
    if (!number || *number == 0) {
        return false;
    }
    result = GetText(language, *number, section);
    return true;
}

}  // namespace zobl
