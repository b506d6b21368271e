#include "gui/recovery/RecoveryDialog.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/lang/Localization.h"
#include "gui/widgets/DialogSupport.h"

namespace zobl {

namespace {
constexpr int kTitleKey = 3932;
constexpr int kExplanationKey = 3933;
constexpr int kOpenKey = 3934;
constexpr int kDiscardKey = 3935;
constexpr int kLaterKey = 3936;
}  // namespace

CRecoveryDlg::CRecoveryDlg(const CLanguageManager& language, const QStringList& entries, OpenEntry open,
                           DiscardEntries discard, QWidget* parent)
    : QDialog(parent), openEntry_(std::move(open)), discardEntries_(std::move(discard)) {
    setWindowTitle(GetText(language, kTitleKey, kDialogsSection));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(GetText(language, kExplanationKey, kDialogsSection), this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setAccessibleName(windowTitle());
    for (int i = 0; i < entries.size(); ++i) {
        AddListEntry(list_, entries[i], i);
    }
    list_->selectAll();
    explanation->setBuddy(list_);
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(this);
    open_ = buttons->addButton(GetText(language, kOpenKey, kDialogsSection), QDialogButtonBox::AcceptRole);
    discard_ = buttons->addButton(GetText(language, kDiscardKey, kDialogsSection),
                                  QDialogButtonBox::DestructiveRole);
    later_ = buttons->addButton(GetText(language, kLaterKey, kDialogsSection), QDialogButtonBox::RejectRole);
    open_->setDefault(true);
    // The buttons act on the list; only "Später" and the last entry close the dialog.
    disconnect(buttons, nullptr, this, nullptr);
    connect(open_, &QPushButton::clicked, this, &CRecoveryDlg::OnOpen);
    connect(discard_, &QPushButton::clicked, this, &CRecoveryDlg::OnDiscard);
    connect(later_, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::itemSelectionChanged, this, &CRecoveryDlg::UpdateButtons);
    layout->addWidget(buttons);
    resize(560, 320);

    PrepareDialog(this);
    helpScope_ = std::make_unique<HelpContextScope>(kHelpContext);
    UpdateButtons();
}

CRecoveryDlg::~CRecoveryDlg() = default;

std::vector<int> CRecoveryDlg::SelectedEntries() const {
    std::vector<int> entries;
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->isSelected()) {
            entries.push_back(list_->item(row)->data(Qt::UserRole).toInt());
        }
    }
    return entries;
}

void CRecoveryDlg::RemoveEntries(const std::vector<int>& entries) {
    for (int row = list_->count() - 1; row >= 0; --row) {
        const int entry = list_->item(row)->data(Qt::UserRole).toInt();
        if (std::find(entries.begin(), entries.end(), entry) != entries.end()) {
            delete list_->takeItem(row);
        }
    }
    if (list_->count() == 0) {
        accept();
    }
    UpdateButtons();
}

void CRecoveryDlg::OnOpen() {
    std::vector<int> opened;
    for (const int entry : SelectedEntries()) {
        if (openEntry_(entry)) {
            opened.push_back(entry);
        }
    }
    RemoveEntries(opened);
}

void CRecoveryDlg::OnDiscard() {
    const std::vector<int> entries = SelectedEntries();
    if (!entries.empty() && discardEntries_(entries)) {
        RemoveEntries(entries);
    }
}

void CRecoveryDlg::UpdateButtons() {
    const bool any = !list_->selectedItems().isEmpty();
    open_->setEnabled(any);
    discard_->setEnabled(any);
}

}  // namespace zobl
