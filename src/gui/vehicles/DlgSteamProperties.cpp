#include "gui/vehicles/DlgSteamProperties.h"

#include "core/vehicles/SteamProperties.h"
#include "gui/lang/Localization.h"
#include "gui/widgets/DialogSupport.h"
#include "ui_DlgSteamProperties.h"

namespace zobl {

namespace {
constexpr int kSteamHelp = 50060;
}  // namespace

CDlgSteamProperties::CDlgSteamProperties(const CLanguageManager& language, std::uint16_t value,
                                         QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::DlgSteamProperties>()) {
    ui_->setupUi(this);
    help_ = StartDialog(*this, language, kSteamHelp, ui_->ok1, ui_->cancel2, ui_->help9);
    switch (SteamChoice(value)) {
        case steam::kHalf:
            ui_->half1073->setChecked(true);
            break;
        case steam::kWhole:
            ui_->whole1074->setChecked(true);
            break;
        default:
            ui_->none1072->setChecked(true);
            break;
    }
}

CDlgSteamProperties::~CDlgSteamProperties() = default;

std::uint16_t CDlgSteamProperties::Value() const {
    if (ui_->none1072->isChecked()) {
        return steam::kNone;
    }
    return ui_->half1073->isChecked() ? steam::kHalf : steam::kWhole;
}

void CDlgSteamProperties::SetSubject(const QString& subject) {
    ui_->subject->setText(subject);
}

QString CDlgSteamProperties::Subject() const {
    return ui_->subject->text();
}

}  // namespace zobl
