#pragma once

#include <functional>
#include <memory>

#include <QDialog>
#include <QString>

namespace Ui {
class DlgNewGrp;
}

namespace zobl {

class CLanguageManager;
class HelpContextScope;
class MessageService;

// Asks for the name of a new vehicle set (the field takes 22 characters). OK hands the name to apply, which
// adds the set: it answers 0 (the dialog closes), a message number such as 105 (10 sets exist), 106 (no name)
// or 107 (too long), which is shown while the dialog stays open, or -1 (stays open silently).
class CDlgNewGrp : public QDialog {
    Q_OBJECT
public:
    using Apply = std::function<int(const QString& name)>;

    CDlgNewGrp(const CLanguageManager& language, MessageService& messages, Apply apply,
               QWidget* parent = nullptr);
    ~CDlgNewGrp() override;

    QString Name() const;
    void accept() override;

private:
    MessageService& messages_;
    Apply apply_;
    std::unique_ptr<Ui::DlgNewGrp> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

}  // namespace zobl
