#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

namespace Ui {
class DlgNewCar;
}

namespace zobl {

class CLanguageManager;
class HelpContextScope;
class MessageService;

// Asks for the name (61 characters), the set and the length of a new car. The set list shows
// the sets the caller passes as (set index, name); the length list offers 8 to 256 pixels in
// steps of 8, i.e. lengths 1 to 32, with 32 pixels chosen at first; typing a number there
// chooses that many pixels. OK hands the choice to
// apply, which adds the car and answers 0 (the dialog closes), a message number such as 105
// (no set or length chosen), 110 (no name), 111 (the set holds 8 cars) or 112 (the set would
// get too long), shown while the dialog stays open, or -1 (stays open silently).
class CDlgNewCar : public QDialog {
    Q_OBJECT
public:
    // set and length are -1 when nothing is chosen in their list.
    using Apply = std::function<int(int set, const QString& name, int length)>;
    using SetEntries = std::vector<std::pair<int, QString>>;

    // preselectedSet: the set index to choose at first, -1 for none.
    CDlgNewCar(const CLanguageManager& language, MessageService& messages, const SetEntries& sets,
               int preselectedSet, Apply apply, QWidget* parent = nullptr);
    ~CDlgNewCar() override;

    QString Name() const;
    int ChosenSet() const;     // -1: none
    int ChosenLength() const;  // 1..32, -1: none
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MessageService& messages_;
    Apply apply_;
    QString typed_;  // the digits typed into the length list
    QElapsedTimer typing_;
    std::unique_ptr<Ui::DlgNewCar> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

}  // namespace zobl
