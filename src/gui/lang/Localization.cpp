#include "gui/lang/Localization.h"

#include <map>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBox>
#include <QTranslator>
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
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        // Items of a fixed choice carry placeholders like any caption.
        for (int i = 0; i < combo->count(); ++i) {
            Replace([&] { return combo->itemText(i); }, [&](const QString& t) { combo->setItemText(i, t); },
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
    NameControls(window);
    return true;
}

QString AccessibleText(QString text) {
    // A menu text's shortcut after the tab, the mnemonic marks, a label's closing colon.
    text = text.section(QLatin1Char('\t'), 0, 0);
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    text.replace(QStringLiteral("&&"), QStringLiteral("&"));
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':'))) {
        text.chop(1);
    }
    return text.trimmed();
}

bool IsControl(const QWidget* widget) {
    // A read-only field the keyboard cannot reach is a display: read as text, not operated.
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget);
        edit != nullptr && edit->isReadOnly() && edit->focusPolicy() == Qt::NoFocus) {
        return false;
    }
    return qobject_cast<const QAbstractButton*>(widget) != nullptr ||
           qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
           qobject_cast<const QTextEdit*>(widget) != nullptr;
}

void NameControls(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    std::map<const QWidget*, QString> labelled;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() != nullptr && !label->text().isEmpty()) {
            labelled[label->buddy()] = AccessibleText(label->text());
        }
    }
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!IsControl(widget) || !widget->accessibleName().isEmpty()) {
            continue;
        }
        QString name;
        if (const auto found = labelled.find(widget); found != labelled.end()) {
            name = found->second;
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            name = AccessibleText(button->text());
        }
        if (name.isEmpty()) {
            name = AccessibleText(widget->toolTip());
        }
        if (!name.isEmpty()) {
            widget->setAccessibleName(name);
        }
    }
    // The list a combo box opens is read out under the combo box's name.
    for (QComboBox* combo : window->findChildren<QComboBox*>()) {
        if (!combo->accessibleName().isEmpty() && combo->view()->accessibleName().isEmpty()) {
            combo->view()->setAccessibleName(combo->accessibleName());
        }
    }
}

QLocale LanguageLocale(const CLanguageManager& language) {
    constexpr int kLanguageNameKey = 1068;  // section "DATA"
    const QLocale named(GetText(language, kLanguageNameKey, kDataSection).trimmed());
    return named.language() != QLocale::C ? named : QLocale(QLocale::German, QLocale::Germany);
}

bool UseLocaleInQtDialogs(const QLocale& locale, QObject* owner) {
    QLocale::setDefault(locale);
    auto* translator = new QTranslator(owner);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
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
