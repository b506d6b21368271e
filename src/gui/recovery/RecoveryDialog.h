#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QDialog>
#include <QString>

class QListWidget;
class QPushButton;

namespace zobl {

class CLanguageManager;
class HelpContextScope;

// The list of recovery copies a start found: "Öffnen" opens the selected ones, "Verwerfen"
// deletes them, "Später" keeps the rest for the next start. An entry leaves the list once it was
// opened or discarded; the dialog closes when none is left.
class CRecoveryDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 50130;

    // open(entry): true when the copy was opened. discard(entries): true when they were deleted.
    using OpenEntry = std::function<bool(int entry)>;
    using DiscardEntries = std::function<bool(const std::vector<int>& entries)>;

    CRecoveryDlg(const CLanguageManager& language, const QStringList& entries, OpenEntry open,
                 DiscardEntries discard, QWidget* parent = nullptr);
    ~CRecoveryDlg() override;

    QListWidget* List() const noexcept { return list_; }
    QPushButton* OpenButton() const noexcept { return open_; }
    QPushButton* DiscardButton() const noexcept { return discard_; }
    QPushButton* LaterButton() const noexcept { return later_; }

private:
    std::vector<int> SelectedEntries() const;
    void RemoveEntries(const std::vector<int>& entries);
    void OnOpen();
    void OnDiscard();
    void UpdateButtons();

    OpenEntry openEntry_;
    DiscardEntries discardEntries_;
    QListWidget* list_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* discard_ = nullptr;
    QPushButton* later_ = nullptr;
    std::unique_ptr<HelpContextScope> helpScope_;
};

}  // namespace zobl
