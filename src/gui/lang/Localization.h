#pragma once

#include <string_view>

#include <QLocale>
#include <QString>

class QMenu;
class QObject;
class QWidget;

namespace zobl {

class CLanguageManager;

inline constexpr const char* kMenuSection = "MENU";
inline constexpr const char* kDialogsSection = "DIALOGS";
inline constexpr const char* kStateSection = "STATE";
inline constexpr const char* kDataSection = "DATA";

// The text of key in section as a QString.
QString GetText(const CLanguageManager& language, int key, std::string_view section);

// Menus and dialogs are written with "keyNNNN" placeholders (see core/lang/Placeholder.h) and
// get their texts when they are created.

// Replaces the placeholder texts of every item of menu and, recursively, of its submenus, from
// section "MENU". Separators are left alone; submenus keep their items. False without a menu.
bool LocalizeMenu(QMenu* menu, const CLanguageManager& language);

// Replaces the placeholder texts of window and of every widget inside it (group boxes and
// containers nest their controls, so all descendants are visited, not only direct children) from
// section "DIALOGS": window titles, button, label and group box texts, tab and tool box titles,
// combo box items.
// False without a window.
// Afterwards the controls get their accessible names (NameControls).
bool LocalizeWindow(QWidget* window, const CLanguageManager& language);

// What screen readers and automation call a text: without a menu text's shortcut ("Neu\tStrg+N"
// gives "Neu"), mnemonic marks and a label's closing colon ("&Name:" gives "Name").
QString AccessibleText(QString text);
// True for the widgets a user operates: buttons, text fields, lists and trees, combo and spin
// boxes (a read-only field the keyboard cannot reach is a display, not a control).
bool IsControl(const QWidget* widget);
// Gives every control inside window that has no accessible name one from the language file's
// texts already on screen: the label that names it (its buddy), its own text, or its tool tip.
void NameControls(QWidget* window);

// The language the language file is written in: its name (QLocale's, "de_DE") is key 1068 of
// section "DATA". A file without that key, or with a name Qt does not know, is German.
QLocale LanguageLocale(const CLanguageManager& language);

// Qt's own dialogs (file, colour and font prompts, message box buttons) and the dates and numbers
// they show follow locale: it becomes the application's default, and Qt's translation of that
// language is installed from Qt's translations folder (owned by owner, removed with it). Returns
// whether that translation was found; without it Qt speaks English, and nothing else changes.
bool UseLocaleInQtDialogs(const QLocale& locale, QObject* owner);

// When text is a placeholder with a number other than 0, sets result to that text of section
// and returns true; otherwise leaves result alone and returns false.
bool GetTextIfKey(QString& result, const QString& text, std::string_view section,
                  const CLanguageManager& language);

}  // namespace zobl
