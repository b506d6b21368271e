#pragma once

#include <memory>

#include <QDialog>
#include <QString>

namespace Ui {
class EditInfoText;
}

namespace zobl {

class CLanguageManager;
class HelpContextScope;

// The author and info text of a document. The caller fills both texts before showing the
// dialog and takes them back after OK; the texts are never read as placeholders. The author
// takes at most 80 characters, the info text 2048 (a line end counts as the two characters
// CR LF when the text has them), or less when the document's file keeps less; a label counts
// the characters left. The limits hold what the user types, not what the document brought: a
// longer text is shown whole and, left alone, comes back as it was, line ends included. The line
// ends of an edited text follow the given text's (CR LF for a text without any). Both fields
// refuse characters that Windows-1252, the files' code page, lacks.
class CEditInfoText : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxAuthorLength = 80;
    static constexpr int kMaxInfoLength = 2048;
    struct Limits {
        int author;
        int info;
    };
    static constexpr Limits kDialogLimits{kMaxAuthorLength, kMaxInfoLength};

    explicit CEditInfoText(const CLanguageManager& language, QWidget* parent = nullptr,
                           Limits limits = kDialogLimits);
    ~CEditInfoText() override;

    void SetTexts(const QString& author, const QString& infoText);
    QString Author() const;
    QString InfoText() const;

private:
    void OnInfoTextChanged();
    // Characters of text once stored with the line ends it will have.
    qsizetype StoredLength(const QString& shown) const;

    const CLanguageManager& language_;
    Limits limits_;
    QString givenAuthor_;
    QString givenInfo_;
    QString shownInfo_;  // givenInfo_ as the field shows it (LF line ends)
    bool crLf_ = true;
    qsizetype infoLimit_ = kMaxInfoLength;  // limits_.info, or the given text's length
    std::unique_ptr<Ui::EditInfoText> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

}  // namespace zobl
