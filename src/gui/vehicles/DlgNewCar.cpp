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

// The item data of the set list and the length list: the set index or the length it stands for.
int ChosenData(const QListWidget* list) {
    const QList<QListWidgetItem*> chosen = list->selectedItems();
    return chosen.isEmpty() ? -1 : chosen.front()->data(Qt::UserRole).toInt();
}

QListWidgetItem* AddEntry(QListWidget* list, const QString& text, int data) {
    auto* item = new QListWidgetItem(text, list);
    item->setData(Qt::UserRole, data);
    return item;
}

}  // namespace

CDlgNewCar::CDlgNewCar(const CLanguageManager& language, MessageService& messages, const SetEntries& sets,
                       int preselectedSet, Apply apply, QWidget* parent)
    : QDialog(parent), messages_(messages), apply_(std::move(apply)), ui_(std::make_unique<Ui::DlgNewCar>()) {
    ui_->setupUi(this);
    help_ = StartDialog(*this, language, kNewCarHelp, ui_->ok1, ui_->cancel2, ui_->help9);

    for (const auto& [index, name] : sets) {
        QListWidgetItem* item = AddEntry(ui_->sets1045, name, index);
        if (index == preselectedSet) {
            ui_->sets1045->setCurrentItem(item);
        }
    }
    for (int length = 1; length <= vehicles::kMaxCarLength; ++length) {
        QListWidgetItem* item =
            AddEntry(ui_->lengths1046, QString::asprintf("%2d Pixel", length * kPixelsPerLength), length);
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

// The selection, not the current item: a list that gets the focus makes its first row current
// without choosing it.
int CDlgNewCar::ChosenSet() const {
    return ChosenData(ui_->sets1045);
}

int CDlgNewCar::ChosenLength() const {
    return ChosenData(ui_->lengths1046);
}

void CDlgNewCar::accept() {
    if (ApplyResultCloses(apply_(ChosenSet(), Name(), ChosenLength()), messages_, this)) {
        QDialog::accept();
    }
}

}  // namespace zobl
