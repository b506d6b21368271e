#pragma once

#include <functional>
#include <memory>

#include <QDialog>
#include <QString>

namespace Ui {
class EditGrpDlg;
}

namespace zobl {

class CLanguageManager;
class HelpContextScope;
class MessageService;

// Renames a vehicle set: the field (22 characters) starts with the current name. OK hands the
// new name to apply, which renames the set and answers 0 (the dialog closes), a message number
// such as 106 (no name) or 107 (too long), shown while the dialog stays open, or -1 (stays
// open silently).
class CEditGrpDlg : public QDialog {
    Q_OBJECT
public:
    using Apply = std::function<int(const QString& name)>;

    CEditGrpDlg(const CLanguageManager& language, MessageService& messages, const QString& currentName,
                Apply apply, QWidget* parent = nullptr);
    ~CEditGrpDlg() override;

    QString Name() const;
    void accept() override;

private:
    MessageService& messages_;
    Apply apply_;
    std::unique_ptr<Ui::EditGrpDlg> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

}  // namespace zobl
