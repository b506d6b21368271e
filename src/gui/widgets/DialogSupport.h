#pragma once

#include <memory>

#include <QString>

#include "gui/framework/HelpService.h"

class QAbstractButton;
class QDialog;
class QListWidget;
class QListWidgetItem;
class QWidget;

namespace zobl {

class CLanguageManager;

// Dialogs reach the help without being handed it: the application registers its help while it
// lives. Without one (tests of a lone dialog) the help calls do nothing.
void RegisterDialogHelp(HelpService* help);
HelpService* DialogHelp();

// Sets the help context while a dialog is open and puts the previous one back afterwards.
class HelpContextScope {
public:
    explicit HelpContextScope(int context);
    ~HelpContextScope();
    HelpContextScope(const HelpContextScope&) = delete;
    HelpContextScope& operator=(const HelpContextScope&) = delete;

private:
    int previous_ = 0;
    bool active_ = false;
};

// Sets the current help context (while a sub-prompt of a dialog is open).
void SetDialogHelpContext(int context);
// Opens help for the current help context (the help buttons of the dialogs).
void ShowDialogHelp();
// Connects button so that it opens help for context.
void ConnectHelpButton(QAbstractButton* button, int context);

// After the About box has been shown, every dialog opened later (ours, the standard prompts and
// the message boxes alike) gets a light grey background with black text.
void SetGreyDialogs(bool on);
bool GreyDialogs();
// Gives dialog the grey colours when they are on (done for every dialog as it is shown).
void PrepareDialog(QWidget* dialog);

// The common start of a dialog made from its form: grey colours when they are on, placeholders
// localised, the help context held while the returned scope lives, and the OK, cancel and help
// buttons wired. OK calls the dialog's accept(), which a dialog overrides to check its input.
std::unique_ptr<HelpContextScope> StartDialog(QDialog& dialog, const CLanguageManager& language,
                                              int helpContext, QAbstractButton* ok, QAbstractButton* cancel,
                                              QAbstractButton* help);

// An entry of a dialog's list carrying a number of the caller's (a set, a length, an identifier).
QListWidgetItem* AddListEntry(QListWidget* list, const QString& text, int data);
// The row of the selected entry, -1 when none is: the selection, not the current item, as a list
// that gets the focus makes its first row current without choosing it.
int SelectedRow(const QListWidget* list);
// The number the selected entry carries, -1 when none is selected.
int SelectedData(const QListWidget* list);

// Texts the dialogs show are held to 1023 characters (the size of their text buffers).
inline constexpr int kMaxDialogText = 1023;
QString LimitDialogText(const QString& text);

// format with its first "%d" (or "%i") replaced by number and "%%" read as "%"; any other
// conversion stays as it is, so a translated text can never read arguments that are not there.
QString FormatNumber(const QString& format, int number);

}  // namespace zobl
