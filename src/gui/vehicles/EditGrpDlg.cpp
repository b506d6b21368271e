#include "gui/vehicles/EditGrpDlg.h"

#include "gui/app/DialogSupport.h"
#include "gui/lang/Localization.h"
#include "gui/vehicles/VehicleDialogResult.h"
#include "ui_EditGrpDlg.h"

namespace zobl {

namespace {
constexpr int kRenameSetHelp = 50080;
}  // namespace

CEditGrpDlg::CEditGrpDlg(const CLanguageManager& language, MessageService& messages,
                         const QString& currentName, Apply apply, QWidget* parent)
    : QDialog(parent),
      messages_(messages),
      apply_(std::move(apply)),
      ui_(std::make_unique<Ui::EditGrpDlg>()) {
    ui_->setupUi(this);
    PrepareDialog(this);
    LocalizeWindow(this, language);
    // After localising: a set may well be named like a placeholder.
    ui_->name1041->setText(currentName);
    ui_->name1041->selectAll();
    help_ = std::make_unique<HelpContextScope>(kRenameSetHelp);
    connect(ui_->ok1, &QPushButton::clicked, this, &CEditGrpDlg::accept);
    connect(ui_->cancel2, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelpButton(ui_->help9, kRenameSetHelp);
}

CEditGrpDlg::~CEditGrpDlg() = default;

QString CEditGrpDlg::Name() const {
    return ui_->name1041->text();
}

void CEditGrpDlg::accept() {
    if (ApplyResultCloses(apply_(Name()), messages_, this)) {
        QDialog::accept();
    } else {
        ui_->name1041->setFocus();
    }
}

}  // namespace zobl
