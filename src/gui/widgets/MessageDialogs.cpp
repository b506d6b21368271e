#include "gui/widgets/MessageDialogs.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "core/lang/LanguageManager.h"
#include "core/lang/Messages.h"
#include "gui/framework/VisibleText.h"
#include "gui/lang/Localization.h"
#include "gui/widgets/DialogSupport.h"
#include "ui_DlgError.h"
#include "ui_DlgQuestion.h"

namespace zobl {

namespace {
constexpr int kErrorCaptionKey = 6000;
constexpr int kQuestionCaptionKey = 6300;
constexpr int kMessageHelpBase = 60000;
constexpr int kIconSize = 32;

// Localise first, then the texts of our own; the help button asks for the message's help.
template <typename Ui>
void SetUp(QDialog& dialog, Ui& ui, const CLanguageManager& language, int number, const QString& argument,
           bool question) {
    ui.setupUi(&dialog);
    LocalizeWindow(&dialog, language);
    ui.icon->setPixmap(MessageIcon(question));
    ui.text1073->setText(MessageBody(language, number, argument));
    dialog.setWindowTitle(MessageCaption(language, number, question));
    ConnectHelpButton(ui.help9, kMessageHelpBase + number);
    dialog.setSizeGripEnabled(false);
}
}  // namespace

QString MessageCaption(const CLanguageManager& language, int number, bool question) {
    const QString format =
        GetText(language, question ? kQuestionCaptionKey : kErrorCaptionKey, kErrorsSection);
    return LimitDialogText(FormatNumber(format, number));
}

QString MessageBody(const CLanguageManager& language, int number, const QString& argument) {
    // Without an argument the text is shown as it stands, "%" included. The argument is mostly a
    // path or a name from a file: nothing in it may hide or reorder what the message says.
    const std::string text = argument.isEmpty()
                                 ? language.GetText(kMessageKeyBase + number, kErrorsSection)
                                 : MessageText(language, number, VisibleText(argument).toStdString());
    return LimitDialogText(QString::fromStdString(text));
}

QPixmap MessageIcon(bool question) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(1.5, 1.5, kIconSize - 3, kIconSize - 3);
    painter.setPen(QPen(question ? QColor(0, 40, 120) : QColor(110, 0, 0), 1.5));
    painter.setBrush(question ? QColor(40, 100, 210) : QColor(210, 30, 30));
    painter.drawEllipse(disc);
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    if (question) {
        QPainterPath hook;
        hook.moveTo(11, 12);
        hook.cubicTo(11, 5, 22, 5, 22, 11.5);
        hook.cubicTo(22, 16, 16, 16, 16, 20);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(hook);
        painter.drawPoint(QPointF(16, 25.5));
    } else {
        painter.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
        painter.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
    }
    return pixmap;
}

CDlgError::CDlgError(const CLanguageManager& language, int number, const QString& argument, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::DlgError>()) {
    help_ = std::make_unique<HelpContextScope>(kMessageHelpBase + number);
    SetUp(*this, *ui_, language, number, argument, false);
    connect(ui_->ok1, &QPushButton::clicked, this, &QDialog::accept);
}

CDlgError::~CDlgError() = default;

QString CDlgError::MessageText() const {
    return ui_->text1073->text();
}

CDlgQuestion::CDlgQuestion(const CLanguageManager& language, int number, const QString& argument,
                           QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::DlgQuestion>()) {
    help_ = std::make_unique<HelpContextScope>(kMessageHelpBase + number);
    SetUp(*this, *ui_, language, number, argument, true);
    connect(ui_->yes6, &QPushButton::clicked, this, [this] { done(kAnswerYes); });
    connect(ui_->no7, &QPushButton::clicked, this, [this] { done(kAnswerNo); });
    connect(ui_->cancel2, &QPushButton::clicked, this, [this] { done(kAnswerCancel); });
    ui_->yes6->setFocus();
}

CDlgQuestion::~CDlgQuestion() = default;

QString CDlgQuestion::MessageText() const {
    return ui_->text1073->text();
}

QWidget* DialogMessageService::Owner(QWidget* parent) const {
    if (parent != nullptr) {
        return parent;
    }
    // A dialog open above the main window owns the message, so that it stays on top of it.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    QWidget* frame = mainWindow_ ? mainWindow_() : nullptr;
    return frame != nullptr && frame->isVisible() ? frame : nullptr;
}

void DialogMessageService::ShowError(int number, const QString& argument, QWidget* parent) {
    CDlgError dialog(language_(), number, argument, Owner(parent));
    dialog.exec();
}

int DialogMessageService::AskQuestion(int number, const QString& argument, QWidget* parent) {
    CDlgQuestion dialog(language_(), number, argument, Owner(parent));
    const int answer = dialog.exec();
    // Escape and the close button reject the dialog (0): that is a cancel.
    return answer == kAnswerYes || answer == kAnswerNo ? answer : kAnswerCancel;
}

}  // namespace zobl
