#include "gui/widgets/GeneralDialogs.h"

#include "gui/framework/DocTemplate.h"
#include "gui/lang/Localization.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/PixelIcons.h"
#include "ui_AboutDlg.h"
#include "ui_DlgChooseType.h"
#include "ui_InfoDlg.h"

namespace zobl {

namespace {
constexpr int kChooseTypeHelp = 50180;
constexpr int kAboutHelp = 50050;
}  // namespace

CDlgChooseType::CDlgChooseType(const CLanguageManager& language, bool vehiclesAvailable, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::DlgChooseType>()) {
    ui_->setupUi(this);
    LocalizeWindow(this, language);
    help_ = std::make_unique<HelpContextScope>(kChooseTypeHelp);
    ui_->radio1075->setEnabled(vehiclesAvailable);
    connect(ui_->ok1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancel2, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelpButton(ui_->help9, kChooseTypeHelp);
}

CDlgChooseType::~CDlgChooseType() = default;

int CDlgChooseType::ChosenKind() const {
    return ui_->radio1075->isChecked() ? kVehicleKind : kSceneryKind;
}

CInfoDlg::CInfoDlg(const CLanguageManager& language, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::InfoDlg>()) {
    ui_->setupUi(this);
    LocalizeWindow(this, language);
    timer_.setInterval(kStepMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &CInfoDlg::OnTick);
    connect(ui_->cancel2, &QPushButton::clicked, this, &QDialog::reject);
}

CInfoDlg::~CInfoDlg() = default;

void CInfoDlg::SetStep(StepFunction step, std::intptr_t value) {
    step_ = std::move(step);
    value_ = value;
}

void CInfoDlg::SetText(const QString& text) {
    ui_->text1062->setText(LimitDialogText(text));
}

QString CInfoDlg::Text() const {
    return ui_->text1062->text();
}

void CInfoDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    timer_.start(kStepMilliseconds);
}

void CInfoDlg::hideEvent(QHideEvent* event) {
    timer_.stop();
    QDialog::hideEvent(event);
}

void CInfoDlg::OnTick() {
    if (!step_) {
        return;
    }
    const int result = step_(*this, value_);
    if (result < 0) {
        timer_.stop();
        done(result);
    } else if (isVisible()) {
        timer_.start(result == kStepAgain ? 0 : kStepMilliseconds);
    }
}

CAboutDlg::CAboutDlg(const CLanguageManager& language, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::AboutDlg>()) {
    ui_->setupUi(this);
    LocalizeWindow(this, language);
    ui_->picture->setPixmap(ApplicationIcon().pixmap(64, 64));
    QFont bold = ui_->name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    ui_->name->setFont(bold);
    // The same version as the tool's --version and the package: the build's one.
    ui_->name->setText(ui_->name->text() + QStringLiteral(" " ZOBL_VERSION));
    ui_->edit1013->clear();
    connect(ui_->ok1, &QPushButton::clicked, this, &QDialog::accept);
    ConnectHelpButton(ui_->help9, kAboutHelp);
}

CAboutDlg::~CAboutDlg() = default;

}  // namespace zobl
