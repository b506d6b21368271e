#include "gui/vehicles/DlgNewCar.h"

#include <QListWidget>

#include "core/vehicles/VehicleModel.h"
#include "gui/app/DialogSupport.h"
#include "gui/lang/Localization.h"
#include "gui/vehicles/VehicleDialogResult.h"
#include "ui_DlgNewCar.h"

namespace zobl {

namespace {

constexpr int kNewCarHelp = 50140;
constexpr int kPixelsPerLength = 8;
constexpr int kPreselectedLength = 4;

}  // namespace

CDlgNewCar::CDlgNewCar(const CLanguageManager& language, MessageService& messages, const SetEntries& sets,
                       int preselectedSet, Apply apply, QWidget* parent)
    : QDialog(parent), messages_(messages), apply_(std::move(apply)), ui_(std::make_unique<Ui::DlgNewCar>()) {
    ui_->setupUi(this);
    help_ = StartDialog(*this, language, kNewCarHelp, ui_->ok1, ui_->cancel2, ui_->help9);

    for (const auto& [index, name] : sets) {
        QListWidgetItem* item = AddListEntry(ui_->sets1045, name, index);
        if (index == preselectedSet) {
            ui_->sets1045->setCurrentItem(item);
        }
    }
    for (int length = 1; length <= vehicles::kMaxCarLength; ++length) {
        QListWidgetItem* item =
            AddListEntry(ui_->lengths1046, QString::asprintf("%2d Pixel", length * kPixelsPerLength), length);
        if (length == kPreselectedLength) {
            ui_->lengths1046->setCurrentItem(item);
        }
    }

    ui_->name1042->setFocus();
}

CDlgNewCar::~CDlgNewCar() = default;

QString CDlgNewCar::Name() const {
    return ui_->name1042->text();
}

int CDlgNewCar::ChosenSet() const {
    return SelectedData(ui_->sets1045);
}

int CDlgNewCar::ChosenLength() const {
    return SelectedData(ui_->lengths1046);
}

void CDlgNewCar::accept() {
    if (ApplyResultCloses(apply_(ChosenSet(), Name(), ChosenLength()), messages_, this)) {
        QDialog::accept();
    }
}

}  // namespace zobl
