#include "gui/app/OptionsDlg.h"

#include <QDockWidget>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include "core/settings/GeneralSettings.h"
#include "gui/app/Bug1App.h"
#include "gui/app/MainFrame.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/palette/ColourSwatchButton.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/StandardPrompts.h"
#include "ui_DlgBckProperties.h"
#include "ui_OptionsDlg.h"

namespace zobl {

namespace {

constexpr int kOptionsHelp = 50090;
constexpr int kInvalidNumberError = 104;
constexpr int kOpenFolderTitle = 1010;  // section "DATA"
constexpr int kSaveFolderTitle = 1011;
constexpr int kExportFolderTitle = 1012;
constexpr int kTempFolderTitle = 1013;
constexpr int kSymbolDistanceAction = 8;

constexpr int kBackgroundHelp = 50190;
constexpr int kBackgroundColourHelp = 50160;
constexpr int kBackgroundPictureHelp = 50195;
constexpr int kPictureFilterKey = 3335;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A folder as the settings keep it: with its final '/'.
std::string Folder(const QString& text) {
    return WithTrailingSlash(text.trimmed().toStdString());
}

}  // namespace

OptionsDlg::OptionsDlg(CBug1App& app, QWidget* parent)
    : QDialog(parent), app_(app), ui_(std::make_unique<Ui::OptionsDlg>()) {
    ui_->setupUi(this);
    LocalizeWindow(this, app_.GetLanguageManager());
    help_ = std::make_unique<HelpContextScope>(kOptionsHelp);
    folderPrompt_ = [this](const QString& title) {
        return RunFolderPrompt(title, app_.GetLanguageManager(), this);
    };

    const GeneralSettings& settings = app_.Settings();
    ui_->check1017->setChecked(settings.autoSaveOptions);
    ui_->check1018->setChecked(settings.fillDiagonal);
    ui_->check1019->setChecked(settings.autoDragging);
    ui_->check1020->setChecked(settings.undoByColorChange);
    ui_->check1032->setChecked(settings.invertDib);
    ui_->check1033->setChecked(settings.singleUndo);
    ui_->check1082->setChecked(settings.horizColorBar);
    ui_->check1083->setChecked(settings.saveDsk);
    ui_->check1025->setChecked(settings.autoApplyFolders);
    ui_->edit1021->setText(QString::number(settings.showTransCol));
    ui_->edit1022->setText(QString::number(settings.showBorders));
    ui_->edit1076->setText(QString::number(settings.symbolDistance));
    ui_->editPixelGrid->setText(QString::number(settings.showPixelGrid));
    ui_->edit1023->setText(Text(settings.openFolder));
    ui_->edit1024->setText(Text(settings.saveFolder));
    ui_->edit1026->setText(Text(settings.exportFolder));
    ui_->edit1030->setText(Text(settings.tmpPath));
    // The items stand in the order of LanguageChoice.
    ui_->comboLanguage->setCurrentIndex(static_cast<int>(settings.language));

    connect(ui_->browse1027, &QPushButton::clicked, this,
            [this] { Browse(ui_->edit1023, kOpenFolderTitle); });
    connect(ui_->browse1028, &QPushButton::clicked, this,
            [this] { Browse(ui_->edit1024, kSaveFolderTitle); });
    connect(ui_->browse1029, &QPushButton::clicked, this,
            [this] { Browse(ui_->edit1026, kExportFolderTitle); });
    connect(ui_->browse1031, &QPushButton::clicked, this,
            [this] { Browse(ui_->edit1030, kTempFolderTitle); });
    connect(ui_->ok1, &QPushButton::clicked, this, &OptionsDlg::accept);
    connect(ui_->cancel2, &QPushButton::clicked, this, &QDialog::reject);
    ConnectHelpButton(ui_->help9, kOptionsHelp);
}

OptionsDlg::~OptionsDlg() = default;

void OptionsDlg::Browse(QLineEdit* edit, int titleKey) {
    const QString chosen = folderPrompt_(GetText(app_.GetLanguageManager(), titleKey, kDataSection));
    if (!chosen.isEmpty()) {
        edit->setText(chosen);
    }
}

bool OptionsDlg::ReadNumber(QLineEdit* edit, int low, int high, int& setting) {
    // A decimal number with an optional sign; anything else is refused like a number out of range.
    static const QRegularExpression kNumber(QStringLiteral("^\\s*[+-]?\\d{1,4}\\s*$"));
    const QString text = edit->text();
    bool ok = kNumber.match(text).hasMatch();
    const int value = ok ? text.trimmed().toInt(&ok) : 0;
    if (!ok || value < low || value > high) {
        app_.Messages().ShowError(kInvalidNumberError, {}, this);
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    setting = value;
    return true;
}

bool OptionsDlg::Apply() {
    // Every field is checked before anything is stored: a refused number leaves the settings (and
    // the colour bars) exactly as they were.
    GeneralSettings& settings = app_.Settings();
    int showTransCol = settings.showTransCol;
    int showBorders = settings.showBorders;
    int symbolDistance = settings.symbolDistance;
    int showPixelGrid = settings.showPixelGrid;
    if (!ReadNumber(ui_->edit1021, 1, 16, showTransCol) || !ReadNumber(ui_->edit1022, 1, 16, showBorders) ||
        !ReadNumber(ui_->edit1076, 0, 16, symbolDistance) ||
        !ReadNumber(ui_->editPixelGrid, kMinGridZoom, kMaxGridZoom, showPixelGrid)) {
        return false;
    }

    CMainFrame* frame = app_.MainFrame();
    QDockWidget* chosenBefore = frame != nullptr ? frame->ChosenColourBar() : nullptr;
    const bool barVisible = chosenBefore != nullptr && !chosenBefore->isHidden();

    settings.autoSaveOptions = ui_->check1017->isChecked();
    settings.fillDiagonal = ui_->check1018->isChecked();
    settings.autoDragging = ui_->check1019->isChecked();
    settings.undoByColorChange = ui_->check1020->isChecked();
    settings.invertDib = ui_->check1032->isChecked();
    settings.singleUndo = ui_->check1033->isChecked();
    settings.horizColorBar = ui_->check1082->isChecked();
    settings.saveDsk = ui_->check1083->isChecked();
    settings.autoApplyFolders = ui_->check1025->isChecked();
    settings.openFolder = Folder(ui_->edit1023->text());
    settings.saveFolder = Folder(ui_->edit1024->text());
    settings.exportFolder = Folder(ui_->edit1026->text());
    settings.tmpPath = Folder(ui_->edit1030->text());
    settings.showTransCol = showTransCol;
    settings.showBorders = showBorders;
    settings.showPixelGrid = showPixelGrid;
    const int distanceBefore = settings.symbolDistance;
    settings.symbolDistance = symbolDistance;
    if (settings.symbolDistance != distanceBefore) {
        app_.UpdateAllDocuments(nullptr, kSymbolDistanceAction, 0);
    }
    if (frame != nullptr) {
        frame->ApplyColourBarChoice(barVisible);
    }
    const auto language = static_cast<LanguageChoice>(ui_->comboLanguage->currentIndex());
    if (language != settings.language) {
        settings.language = language;
        app_.SaveLanguageChoice();
    }
    return true;
}

void OptionsDlg::accept() {
    if (Apply()) {
        QDialog::accept();
    }
}

CDlgBckProperties::CDlgBckProperties(CBug1App& app, PictureLoader loader, QWidget* parent)
    : QDialog(parent), app_(app), ui_(std::make_unique<Ui::DlgBckProperties>()), loader_(std::move(loader)) {
    ui_->setupUi(this);
    const CLanguageManager& language = app_.GetLanguageManager();
    LocalizeWindow(this, language);
    help_ = std::make_unique<HelpContextScope>(kBackgroundHelp);
    colourPrompt_ = [this](const QColor& initial) {
        return RunColourPrompt(initial, app_.GetLanguageManager(), this);
    };
    picturePrompt_ = [this](const QString& current) {
        FilePromptRequest request;
        request.kind = FilePromptKind::Picture;
        request.filter =
            LimitDialogText(GetText(app_.GetLanguageManager(), kPictureFilterKey, kDialogsSection));
        const QFileInfo file(current);
        request.folder = current.isEmpty() ? QString() : file.absolutePath();
        request.name = current.isEmpty() ? QString() : file.fileName();
        const QStringList chosen = RunFilePrompt(request, app_.GetLanguageManager(), this);
        return chosen.isEmpty() ? QString() : chosen.front();
    };

    const GeneralSettings& settings = app_.Settings();
    colour_ = ToQColor(settings.mdiBck);
    ui_->colour1080->SetColour(colour_);
    ui_->check1067->setChecked(settings.enableBitmap);
    ui_->edit1078->setText(QString::fromStdString(settings.bckBitmap));
    ui_->check1081->setChecked(settings.bckBmpFit2Size);
    UpdateEnabled();

    connect(ui_->colour1080, &QPushButton::clicked, this, &CDlgBckProperties::ChooseColour);
    connect(ui_->browse1079, &QPushButton::clicked, this, &CDlgBckProperties::BrowsePicture);
    connect(ui_->check1067, &QCheckBox::clicked, this, [this] {
        UpdateEnabled();
        PromptIfNoPicture();
    });
    connect(ui_->ok1, &QPushButton::clicked, this, &CDlgBckProperties::accept);
    connect(ui_->cancel2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->help9, &QPushButton::clicked, this, [] { ShowDialogHelp(); });
}

CDlgBckProperties::~CDlgBckProperties() = default;

void CDlgBckProperties::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        // After the dialog is on screen, so that the prompt has its owner to sit on.
        QTimer::singleShot(0, this, &CDlgBckProperties::PromptIfNoPicture);
    }
}

void CDlgBckProperties::UpdateEnabled() {
    const bool picture = ui_->check1067->isChecked();
    ui_->edit1078->setEnabled(picture);
    ui_->browse1079->setEnabled(picture);
}

void CDlgBckProperties::PromptIfNoPicture() {
    if (ui_->check1067->isChecked() && ui_->edit1078->text().isEmpty()) {
        BrowsePicture();
    }
}

void CDlgBckProperties::ChooseColour() {
    SetDialogHelpContext(kBackgroundColourHelp);
    if (const std::optional<QColor> chosen = colourPrompt_(colour_); chosen && chosen->isValid()) {
        colour_ = *chosen;
        ui_->colour1080->SetColour(colour_);
    }
    SetDialogHelpContext(kBackgroundHelp);
}

void CDlgBckProperties::BrowsePicture() {
    SetDialogHelpContext(kBackgroundPictureHelp);
    const QString chosen = picturePrompt_(ui_->edit1078->text());
    if (!chosen.isEmpty()) {
        ui_->edit1078->setText(chosen);
    }
    SetDialogHelpContext(kBackgroundHelp);
}

void CDlgBckProperties::accept() {
    GeneralSettings& settings = app_.Settings();
    settings.enableBitmap = ui_->check1067->isChecked();
    settings.bckBmpFit2Size = ui_->check1081->isChecked();
    settings.bckBitmap = ui_->edit1078->text().left(static_cast<int>(kMaxSettingTextLength)).toStdString();
    settings.mdiBck = {static_cast<std::uint8_t>(colour_.red()), static_cast<std::uint8_t>(colour_.green()),
                       static_cast<std::uint8_t>(colour_.blue())};
    if (loader_) {
        loader_(settings.enableBitmap ? QString::fromStdString(settings.bckBitmap) : QString());
    }
    QDialog::accept();
}

}  // namespace zobl
