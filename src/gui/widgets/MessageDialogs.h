#pragma once

#include <functional>
#include <memory>

#include <QDialog>
#include <QString>

#include "gui/framework/MessageService.h"

class QLabel;
class QPixmap;

namespace Ui {
class DlgError;
class DlgQuestion;
}  // namespace Ui

namespace zobl {

class CLanguageManager;
class HelpContextScope;

// Caption and message of error or question number as the dialogs show them: the caption is
// text 6000 (errors) or 6300 (questions) with the number in its "%d", the message text
// 6000 + number with the argument in place of its first "%" (unchanged without an argument);
// invisible and bidirectional formatting characters of the argument are shown (VisibleText).
// Each is cut to 1023 characters.
QString MessageCaption(const CLanguageManager& language, int number, bool question);
QString MessageBody(const CLanguageManager& language, int number, const QString& argument);

// Our own drawings for the two dialogs.
QPixmap MessageIcon(bool question);

// The error dialog: icon, message, OK and help. Help context 60000 + number while it lives.
class CDlgError : public QDialog {
    Q_OBJECT
public:
    CDlgError(const CLanguageManager& language, int number, const QString& argument,
              QWidget* parent = nullptr);
    ~CDlgError() override;
    QString MessageText() const;

private:
    std::unique_ptr<Ui::DlgError> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

// The question dialog: yes (the default button), no and cancel end it with 6, 7 and 2; so do
// Escape and the window's close button with 2.
class CDlgQuestion : public QDialog {
    Q_OBJECT
public:
    CDlgQuestion(const CLanguageManager& language, int number, const QString& argument,
                 QWidget* parent = nullptr);
    ~CDlgQuestion() override;
    QString MessageText() const;

private:
    std::unique_ptr<Ui::DlgQuestion> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

// The numbered errors and questions of the running program, shown in the two dialogs.
class DialogMessageService : public MessageService {
public:
    // language: the texts of the running program; mainWindow: the window that owns a message no
    // other window asks for, or nullptr.
    DialogMessageService(std::function<const CLanguageManager&()> language,
                         std::function<QWidget*()> mainWindow)
        : language_(std::move(language)), mainWindow_(std::move(mainWindow)) {}
    void ShowError(int number, const QString& argument = {}, QWidget* parent = nullptr) override;
    int AskQuestion(int number, const QString& argument = {}, QWidget* parent = nullptr) override;

private:
    QWidget* Owner(QWidget* parent) const;
    std::function<const CLanguageManager&()> language_;
    std::function<QWidget*()> mainWindow_;
};

}  // namespace zobl
