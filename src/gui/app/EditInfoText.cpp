#include "gui/app/EditInfoText.h"

#include <algorithm>

#include <QPlainTextEdit>
#include <QTextCursor>

#include "gui/app/DialogSupport.h"
#include "gui/lang/Localization.h"
#include "ui_EditInfoText.h"

namespace zobl {

namespace {
constexpr int kRemainingFormatKey = 3320;
constexpr int kInfoTextHelp = 50070;
}  // namespace

CEditInfoText::CEditInfoText(const CLanguageManager& language, QWidget* parent)
    : QDialog(parent), language_(language), ui_(std::make_unique<Ui::EditInfoText>()) {
    ui_->setupUi(this);
    PrepareDialog(this);
    // Localise first: the caller's texts that follow are never placeholders.
    LocalizeWindow(this, language_);
    help_ = std::make_unique<HelpContextScope>(kInfoTextHelp);
    connect(ui_->ok1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancel2, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelpButton(ui_->help9, kInfoTextHelp);
    connect(ui_->info1003, &QPlainTextEdit::textChanged, this, &CEditInfoText::OnInfoTextChanged);
    OnInfoTextChanged();
}

CEditInfoText::~CEditInfoText() = default;

void CEditInfoText::SetTexts(const QString& author, const QString& infoText) {
    ui_->author1002->setText(author.left(kMaxAuthorLength));
    ui_->info1003->setPlainText(infoText.left(kMaxInfoLength));
    OnInfoTextChanged();
}

QString CEditInfoText::Author() const {
    return ui_->author1002->text();
}

QString CEditInfoText::InfoText() const {
    return ui_->info1003->toPlainText();
}

void CEditInfoText::OnInfoTextChanged() {
    QPlainTextEdit* edit = ui_->info1003;
    QString text = edit->toPlainText();
    if (text.size() > kMaxInfoLength) {
        // A plain text field has no length limit of its own: take back what went past it and
        // leave the cursor where the typing stopped.
        const int position = std::min<int>(edit->textCursor().position(), kMaxInfoLength);
        text.truncate(kMaxInfoLength);
        const QSignalBlocker blocker(edit);
        edit->setPlainText(text);
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(position);
        edit->setTextCursor(cursor);
    }
    const QString format = GetText(language_, kRemainingFormatKey, kDialogsSection);
    ui_->remaining1004->setText(
        LimitDialogText(FormatNumber(format, kMaxInfoLength - static_cast<int>(text.size()))));
}

}  // namespace zobl
