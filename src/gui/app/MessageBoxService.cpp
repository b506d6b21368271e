#include "gui/app/MessageBoxService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "core/lang/Messages.h"
#include "gui/app/Bug1App.h"
#include "gui/app/FrameTexts.h"
#include "gui/app/MainFrame.h"
#include "gui/lang/Localization.h"

namespace zobl {

namespace {
constexpr int kErrorCaptionKey = 6000;
constexpr int kQuestionCaptionKey = 6300;
constexpr int kMaxMessageLength = 1023;
}  // namespace

QString MessageBoxService::Caption(CBug1App& app, int number, bool question) {
    QString format =
        GetText(app.GetLanguageManager(), question ? kQuestionCaptionKey : kErrorCaptionKey, kErrorsSection);
    format.replace(QStringLiteral("%d"), QString::number(number));
    return format.left(kMaxMessageLength);
}

QString MessageBoxService::Message(CBug1App& app, int number, const QString& argument) {
    CLanguageManager& language = app.GetLanguageManager();
    // Without an argument the text is shown as it stands, "%" included.
    const std::string text = argument.isEmpty() ? language.GetText(kMessageKeyBase + number, kErrorsSection)
                                                : MessageText(language, number, argument.toStdString());
    return QString::fromStdString(text).left(kMaxMessageLength);
}

void MessageBoxService::ShowError(int number, const QString& argument, QWidget* parent) {
    Show(number, argument, parent, false);
}

int MessageBoxService::AskQuestion(int number, const QString& argument, QWidget* parent) {
    return Show(number, argument, parent, true);
}

int MessageBoxService::Show(int number, const QString& argument, QWidget* parent, bool question) {
    const int previousHelp = app_.GetHelpContext();
    app_.SetHelpContext(help::kMessageBase + number);
    if (parent == nullptr && app_.MainFrame() != nullptr && app_.MainFrame()->isVisible()) {
        parent = app_.MainFrame();
    }
    CLanguageManager& language = app_.GetLanguageManager();
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Critical, Caption(app_, number, question),
                    Message(app_, number, argument), QMessageBox::NoButton, parent);
    int answer = kAnswerCancel;
    if (question) {
        QPushButton* yes = box.addButton(GetText(language, 3006, kDialogsSection), QMessageBox::YesRole);
        QPushButton* no = box.addButton(GetText(language, 3007, kDialogsSection), QMessageBox::NoRole);
        QPushButton* cancel =
            box.addButton(GetText(language, 3002, kDialogsSection), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == yes) {
            answer = kAnswerYes;
        } else if (box.clickedButton() == no) {
            answer = kAnswerNo;
        }
    } else {
        QPushButton* ok = box.addButton(GetText(language, 3001, kDialogsSection), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        box.exec();
        answer = kAnswerYes;
    }
    app_.SetHelpContext(previousHelp);
    return answer;
}

}  // namespace zobl
