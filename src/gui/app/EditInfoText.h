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
// takes at most 80 characters, the info text 2048; a label counts the characters left.
class CEditInfoText : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxAuthorLength = 80;
    static constexpr int kMaxInfoLength = 2048;

    explicit CEditInfoText(const CLanguageManager& language, QWidget* parent = nullptr);
    ~CEditInfoText() override;

    void SetTexts(const QString& author, const QString& infoText);
    QString Author() const;
    QString InfoText() const;

private:
    void OnInfoTextChanged();

    const CLanguageManager& language_;
    std::unique_ptr<Ui::EditInfoText> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

}  // namespace zobl
