#include "gui/vehicles/EditGrpDlg.h"

#include "gui/lang/Localization.h"
#include "gui/vehicles/VehicleDialogResult.h"
#include "gui/widgets/Cp1252Fields.h"
#include "gui/widgets/DialogSupport.h"
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
    help_ = StartDialog(*this, language, kRenameSetHelp, ui_->ok1, ui_->cancel2, ui_->help9);
    LimitToCp1252(ui_->name1041, language);
    // After localising: a set may well be named like a placeholder.
    ui_->name1041->setText(currentName);
    ui_->name1041->selectAll();
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
