#include "gui/widgets/EditInfoText.h"

#include <algorithm>

#include <QPlainTextEdit>
#include <QTextCursor>

#include "gui/lang/Localization.h"
#include "gui/widgets/Cp1252Fields.h"
#include "gui/widgets/DialogSupport.h"
#include "ui_EditInfoText.h"

namespace zobl {

namespace {
constexpr int kRemainingFormatKey = 3320;
constexpr int kInfoTextHelp = 50070;
}  // namespace

CEditInfoText::CEditInfoText(const CLanguageManager& language, QWidget* parent, Limits limits)
    : QDialog(parent),
      language_(language),
      limits_(limits),
      infoLimit_(limits.info),
      ui_(std::make_unique<Ui::EditInfoText>()) {
    ui_->setupUi(this);
    ui_->author1002->setMaxLength(limits_.author);
    LimitToCp1252(ui_->author1002, language_);
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
    givenAuthor_ = author;
    givenInfo_ = infoText;
    ui_->author1002->setMaxLength(std::max<int>(limits_.author, static_cast<int>(author.size())));
    ui_->author1002->setText(author);
    crLf_ = infoText.contains(QStringLiteral("\r\n")) || !infoText.contains(QLatin1Char('\n'));
    shownInfo_ = infoText;
    shownInfo_.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    infoLimit_ = std::max<qsizetype>(limits_.info, StoredLength(shownInfo_));
    ui_->info1003->setPlainText(shownInfo_);
    OnInfoTextChanged();
}

QString CEditInfoText::Author() const {
    return ui_->author1002->text();
}

QString CEditInfoText::InfoText() const {
    QString shown = ui_->info1003->toPlainText();
    if (shown == shownInfo_) {
        return givenInfo_;
    }
    if (crLf_) {
        shown.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    }
    return shown;
}

qsizetype CEditInfoText::StoredLength(const QString& shown) const {
    return shown.size() + (crLf_ ? shown.count(QLatin1Char('\n')) : 0);
}

void CEditInfoText::OnInfoTextChanged() {
    QPlainTextEdit* edit = ui_->info1003;
    const QString typed = edit->toPlainText();
    // A plain text field has neither a validator nor a length limit of its own: take back what
    // the file cannot hold and what went past the limit, and leave the cursor where the typing
    // stopped.
    int position = edit->textCursor().position();
    QString refused;
    QString text = WithoutCharactersOutsideCp1252(typed, position, refused);
    if (!refused.isEmpty()) {
        TellRefusedCharacters(edit, refused, language_);
    }
    while (StoredLength(text) > infoLimit_) {
        text.chop(1);
    }
    if (text != typed) {
        position = std::min<int>(position, static_cast<int>(text.size()));
        const QSignalBlocker blocker(edit);
        edit->setPlainText(text);
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(position);
        edit->setTextCursor(cursor);
    }
    const QString format = GetText(language_, kRemainingFormatKey, kDialogsSection);
    const auto left = std::max<qsizetype>(0, limits_.info - StoredLength(text));
    ui_->remaining1004->setText(LimitDialogText(FormatNumber(format, static_cast<int>(left))));
}

}  // namespace zobl
