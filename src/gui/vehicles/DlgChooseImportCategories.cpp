#include "gui/vehicles/DlgChooseImportCategories.h"

#include <QCheckBox>

#include "gui/framework/MessageService.h"
#include "gui/widgets/DialogSupport.h"
#include "ui_DlgChooseImportCategories.h"

namespace zobl {

CDlgChooseImportCategories::CDlgChooseImportCategories(const CLanguageManager& language,
                                                       MessageService& messages, unsigned flags,
                                                       QWidget* parent)
    : QDialog(parent),
      messages_(messages),
      flags_(flags),
      ui_(std::make_unique<Ui::DlgChooseImportCategories>()) {
    ui_->setupUi(this);
    help_ = StartDialog(*this, language, kHelpContext, ui_->ok1, ui_->cancel2, ui_->help9);
    for (const CategoryBox& box : kCategoryBoxes) {
        Box(box.control)->setChecked((flags_ & box.bit) != 0);
    }
}

CDlgChooseImportCategories::~CDlgChooseImportCategories() = default;

QCheckBox* CDlgChooseImportCategories::Box(int control) const {
    return findChild<QCheckBox*>(QStringLiteral("category%1").arg(control));
}

void CDlgChooseImportCategories::accept() {
    unsigned chosen = 0;
    for (const CategoryBox& box : kCategoryBoxes) {
        if (Box(box.control)->isChecked()) {
            chosen |= box.bit;
        }
    }
    if (chosen == 0) {
        messages_.ShowError(kNoCategoryChosen, {}, this);
        return;
    }
    flags_ = chosen;
    QDialog::accept();
}

}  // namespace zobl
