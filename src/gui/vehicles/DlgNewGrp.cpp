#include "gui/vehicles/DlgNewGrp.h"

#include "gui/lang/Localization.h"
#include "gui/vehicles/VehicleDialogResult.h"
#include "gui/widgets/Cp1252Fields.h"
#include "gui/widgets/DialogSupport.h"
#include "ui_DlgNewGrp.h"

namespace zobl {

namespace {
constexpr int kNewSetHelp = 50150;
}  // namespace

CDlgNewGrp::CDlgNewGrp(const CLanguageManager& language, MessageService& messages, Apply apply,
                       QWidget* parent)
    : QDialog(parent), messages_(messages), apply_(std::move(apply)), ui_(std::make_unique<Ui::DlgNewGrp>()) {
    ui_->setupUi(this);
    help_ = StartDialog(*this, language, kNewSetHelp, ui_->ok1, ui_->cancel2, ui_->help9);
    LimitToCp1252(ui_->name1041, language);
}

CDlgNewGrp::~CDlgNewGrp() = default;

QString CDlgNewGrp::Name() const {
    return ui_->name1041->text();
}

void CDlgNewGrp::accept() {
    if (ApplyResultCloses(apply_(Name()), messages_, this)) {
        QDialog::accept();
    } else {
        ui_->name1041->setFocus();
    }
}

}  // namespace zobl
