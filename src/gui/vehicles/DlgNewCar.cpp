#include "gui/vehicles/DlgNewCar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>

#include "core/vehicles/VehicleModel.h"
#include "gui/lang/Localization.h"
#include "gui/vehicles/VehicleDialogResult.h"
#include "gui/widgets/Cp1252Fields.h"
#include "gui/widgets/DialogSupport.h"
#include "ui_DlgNewCar.h"

namespace zobl {

namespace {

constexpr int kNewCarHelp = 50140;
constexpr int kPixelsPerLength = 8;
constexpr int kPreselectedLength = 4;
constexpr int kLengthEntryKey = 3951;  // "%1 Pixel"

// The length whose pixel count is the number typed; else the shortest whose count starts with
// the digits; -1 for none.
int LengthOfTypedDigits(const QString& digits) {
    const int pixels = digits.toInt();
    if (pixels % kPixelsPerLength == 0 && pixels / kPixelsPerLength >= 1 &&
        pixels / kPixelsPerLength <= vehicles::kMaxCarLength) {
        return pixels / kPixelsPerLength;
    }
    for (int length = 1; length <= vehicles::kMaxCarLength; ++length) {
        if (QString::number(length * kPixelsPerLength).startsWith(digits)) {
            return length;
        }
    }
    return -1;
}

}  // namespace

CDlgNewCar::CDlgNewCar(const CLanguageManager& language, MessageService& messages, const SetEntries& sets,
                       int preselectedSet, Apply apply, QWidget* parent)
    : QDialog(parent), messages_(messages), apply_(std::move(apply)), ui_(std::make_unique<Ui::DlgNewCar>()) {
    ui_->setupUi(this);
    help_ = StartDialog(*this, language, kNewCarHelp, ui_->ok1, ui_->cancel2, ui_->help9);
    LimitToCp1252(ui_->name1042, language);

    for (const auto& [index, name] : sets) {
        QListWidgetItem* item = AddListEntry(ui_->sets1045, name, index);
        if (index == preselectedSet) {
            ui_->sets1045->setCurrentItem(item);
        }
    }
    const QString lengthEntry = GetText(language, kLengthEntryKey, kDialogsSection);
    for (int length = 1; length <= vehicles::kMaxCarLength; ++length) {
        QListWidgetItem* item =
            AddListEntry(ui_->lengths1046, lengthEntry.arg(length * kPixelsPerLength), length);
        if (length == kPreselectedLength) {
            ui_->lengths1046->setCurrentItem(item);
        }
    }

    // The list's own search by the start of the text would take "80 Pixel" for an 8.
    ui_->lengths1046->installEventFilter(this);
    ui_->name1042->setFocus();
}

bool CDlgNewCar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->lengths1046 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (plain && key->text().size() == 1 && key->text().at(0).isDigit()) {
            // Digits typed in quick succession make one number, as the list's search would.
            if (!typing_.isValid() || typing_.elapsed() > QApplication::keyboardInputInterval()) {
                typed_.clear();
            }
            typing_.start();
            typed_ += key->text();
            if (const int length = LengthOfTypedDigits(typed_); length > 0) {
                ui_->lengths1046->setCurrentRow(length - 1);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
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
