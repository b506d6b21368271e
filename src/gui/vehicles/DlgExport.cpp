#include "gui/vehicles/DlgExport.h"

#include <exception>

#include "core/common/MessageError.h"
#include "core/vehicles/VehicleExport.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/StandardPrompts.h"
#include "ui_DlgExport.h"

namespace zobl {

namespace {

constexpr int kExportHelp = 50035;
constexpr int kFolderPromptTitle = 1012;  // section "DATA"
constexpr int kNotAvailableError = 102;

QString WithSlash(const QString& folder) {
    return folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

}  // namespace

CDlgExport::CDlgExport(const CLanguageManager& language, MessageService& messages, const QString& folder,
                       const QString& baseName, ExportFunction exportFiles, QWidget* parent)
    : QDialog(parent),
      messages_(messages),
      exportFiles_(std::move(exportFiles)),
      ui_(std::make_unique<Ui::DlgExport>()) {
    ui_->setupUi(this);
    help_ = StartDialog(*this, language, kExportHelp, ui_->ok1, ui_->cancel2, ui_->help9);
    folderPrompt_ = [this, &language] {
        return RunFolderPrompt(GetText(language, kFolderPromptTitle, kDataSection), language, this);
    };

    ui_->folder1036->setText(WithSlash(folder));
    ui_->name1038->setText(baseName);
    // Its function is not offered; should it be reached anyway it says so (error 102).
    ui_->hidden1039->hide();

    connect(ui_->browse1037, &QPushButton::clicked, this, &CDlgExport::Browse);
    connect(ui_->hidden1039, &QPushButton::clicked, this,
            [this] { messages_.ShowError(kNotAvailableError, {}, this); });
}

CDlgExport::~CDlgExport() = default;

QString CDlgExport::Folder() const {
    return WithSlash(ui_->folder1036->text());
}

QString CDlgExport::BaseName() const {
    return ui_->name1038->text();
}

void CDlgExport::SetNotice(const QString& notice) {
    ui_->lossNotice->setText(notice);
    ui_->lossNotice->setVisible(!notice.isEmpty());
}

QString CDlgExport::Notice() const {
    return ui_->lossNotice->text();
}

void CDlgExport::Browse() {
    const QString chosen = folderPrompt_();
    if (!chosen.isEmpty()) {
        ui_->folder1036->setText(WithSlash(chosen));
    }
}

bool CDlgExport::MayOverwrite(const QString& path) {
    return zobl::MayOverwrite(messages_, path, this);
}

bool CDlgExport::Export() {
    const QString name = BaseName();
    if (name.isEmpty()) {
        // The folder alone would give the hidden files ".UFG" and ".UZZ".
        messages_.ShowError(message::kCannotCreateFile, Folder(), this);
        ui_->name1038->setFocus();
        return false;
    }
    if (ui_->folder1036->text().trimmed().isEmpty()) {
        // Without a folder the files would land wherever the editor was started.
        messages_.ShowError(message::kCannotCreateFile,
                            QString::fromStdString(ExportPathsFor(name.toStdString()).ufg), this);
        ui_->folder1036->setFocus();
        return false;
    }
    const QString basePath = Folder() + name;
    const VehicleExportPaths paths = ExportPathsFor(basePath.toStdString());
    if (!MayOverwrite(QString::fromStdString(paths.uzz)) ||
        !MayOverwrite(QString::fromStdString(paths.ufg))) {
        return false;
    }
    QProgressBar* bar = ui_->progress1040;
    try {
        exportFiles_(basePath, [bar](int percent) { bar->setValue(percent); });
    } catch (const MessageError& error) {
        bar->setValue(0);
        messages_.ShowError(error.Number(), QString::fromStdString(error.Argument()), this);
        return false;
    } catch (const std::exception&) {
        bar->setValue(0);
        messages_.ShowError(message::kCannotCreateFile, name, this);
        return false;
    }
    bar->setValue(100);
    return true;
}

void CDlgExport::accept() {
    if (Export()) {
        QDialog::accept();
    }
}

}  // namespace zobl
