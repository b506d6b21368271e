#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/RawText.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/TrainStrip.h"
#include "core/vehicles/VehicleExport.h"
#include "core/vehicles/VehicleSheet.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/MenuResources.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/vehicles/DlgExport.h"
#include "gui/vehicles/DlgNewGrp.h"
#include "gui/widgets/Cp1252Fields.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/EditInfoText.h"
#include "png/VehiclePng.h"

namespace zobl {

namespace {
constexpr int kDefaultAuthorKey = 1020;  // section "DATA": an author nobody filled in
constexpr int kSheetSizeKey = 3987;      // section "DIALOGS": a sheet that does not fit the cars

}  // namespace

CFGSDoc::CFGSDoc(DocTemplate& docTemplate, const EditorServices& services)
    : ModelDocument(docTemplate), services_(services) {}

CFGSDoc::~CFGSDoc() = default;

MouseMode CFGSDoc::CurrentMouseMode() const {
    return services_.drawing.GetMouseMode();
}

int CFGSDoc::RunDialog(QDialog& dialog) const {
    return dialogRunner_ ? dialogRunner_(dialog) : dialog.exec();
}

bool CFGSDoc::OnNewDocument() {
    model_.Clear();
    SetTitle(GetText(services_.language, kNewVehicleTitleKey, kDataSection));
    return Document::OnNewDocument();
}

CFGSDoc::FileRead CFGSDoc::ReadFile(const QString& path, VehicleContent& content) const {
    MessageService& messages = services_.messages;
    try {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(QFile::encodeName(path).toStdString());
        if (!HasFgsMagic(bytes)) {
            messages.ShowError(message::kUnsupportedFormat, QFileInfo(path).fileName());
            return FileRead::Failed;
        }
        const FgsReadResult result = ReadFgsContent(bytes, FgsDefaultsFrom(services_.language), content);
        if (result.damaged) {
            // Half a file shown as if it were the whole one would be saved over the rest.
            messages.ShowError(message::kFileError, path);
            return result.keptContent ? FileRead::Part : FileRead::Failed;
        }
    } catch (const std::exception&) {
        messages.ShowError(message::kFileError, path);
        return FileRead::Failed;
    }
    return FileRead::Whole;
}

bool CFGSDoc::OnOpenDocument(const QString& path) {
    GeneralSettings& settings = services_.settings;
    if (settings.autoApplyFolders) {
        settings.openFolder = WithTrailingSlash(QFileInfo(path).absolutePath().toStdString());
    }
    VehicleContent content;
    const FileRead read = ReadFile(path, content);
    if (read == FileRead::Failed ||
        (read == FileRead::Part &&
         services_.messages.AskQuestion(message::kQuestionOpenReadablePart, path) != kAnswerYes)) {
        return false;
    }
    model_.ReplaceContent(std::move(content));
    if (read == FileRead::Part) {
        // What could be read opens as a new document, never as the damaged file.
        KeepWithoutFile();
        SetTitle(GetText(services_.language, kNewVehicleTitleKey, kDataSection));
        SetModifiedFlag(true);
    }
    NotifyStateChanged();
    return true;
}

bool CFGSDoc::OnSaveDocument(const QString& path) {
    try {
        SaveFgsFile(QFile::encodeName(path).toStdString(), model_);
    } catch (const MessageError& error) {
        services_.messages.ShowError(error.Number(), path);
        return false;
    } catch (const std::exception&) {
        services_.messages.ShowError(message::kFileError, path);
        return false;
    }
    SetModifiedFlag(false);
    GeneralSettings& settings = services_.settings;
    if (settings.autoApplyFolders) {
        settings.saveFolder = WithTrailingSlash(QFileInfo(path).absolutePath().toStdString());
    }
    return true;
}

void CFGSDoc::WriteCopy(const std::string& path) const {
    // A recovery copy: a name the program chose, in the recovery folder.
    WriteFileAtomically(path, WriteFgs(model_), FileNaming::Program);
}

bool CFGSDoc::RevertToSaved() {
    if (PathName().isEmpty() || services_.messages.AskQuestion(kQuestionRevert, PathName()) != kAnswerYes) {
        return false;
    }
    VehicleContent content;
    if (ReadFile(PathName(), content) != FileRead::Whole) {
        return false;
    }
    model_.ReplaceContent(std::move(content));
    NotifyStateChanged();
    return true;
}

bool CFGSDoc::UpdateDoc(int action, int /*argument*/) {
    model_.UpdateDoc(action);
    return true;
}

std::unique_ptr<QMenu> CFGSDoc::BuildDocumentMenu() {
    CommandRouter* router = services_.shell.Router();
    if (router == nullptr) {
        return nullptr;
    }
    return BuildMenu(kVehicleMenu, *router, services_.language);
}

int CFGSDoc::NewVehicleSet(QWidget* parent) {
    int added = -1;
    CDlgNewGrp dialog(
        services_.language, services_.messages,
        [this, &added](const QString& name) {
            const int result = model_.NewVehicleSet(ToRaw(name), CurrentMouseMode());
            if (result == 0) {
                added = model_.CountSets() - 1;
            }
            return result;
        },
        parent != nullptr ? parent : services_.shell.MainWindow());
    RunDialog(dialog);
    NotifyStateChanged();
    return added;
}

QString CFGSDoc::ExportBaseName() const {
    if (PathName().isEmpty()) {
        return GetText(services_.language, kDefaultAuthorKey, kDataSection);
    }
    return QFileInfo(PathName()).completeBaseName();
}

bool CFGSDoc::CanExport() const {
    return model_.AnyCars();
}

void CFGSDoc::Export() {
    const CLanguageManager& language = services_.language;
    if (const std::optional<ExportProblem> problem = CheckVehicleExport(model_)) {
        if (problem->kind == ExportProblemKind::SetTooLong) {
            services_.messages.ShowError(message::kSetTooLong);
            return;
        }
        services_.shell.ShowInfo(QString::fromLatin1(vehicle_export::kCheckCaption.data(),
                                                     qsizetype(vehicle_export::kCheckCaption.size())),
                                 QString::fromStdString(ExportProblemText(*problem, language)));
        model_.RequestCarSelection(problem->set, problem->car, problem->view);
        return;
    }
    GeneralSettings& settings = services_.settings;
    // Programs here live where users cannot write, so the home folder stands in for theirs.
    QString folder = QString::fromStdString(settings.exportFolder);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    CDlgExport dialog(
        language, services_.messages, folder, ExportBaseName(),
        [this, &language](const QString& basePath, const std::function<void(int)>& progress) {
            ExportVehicleFiles(QFile::encodeName(basePath).toStdString(), model_, language, ExportTimeNow(),
                               progress);
        },
        services_.shell.MainWindow());
    dialog.SetNotice(ExportLossNotice());
    if (RunDialog(dialog) == QDialog::Accepted && settings.autoApplyFolders) {
        settings.exportFolder = dialog.Folder().toStdString();
    }
}

bool CFGSDoc::HasPngSheet() const {
    return model_.AnyCars();
}

void CFGSDoc::ExportPng() {
    if (HasPngSheet()) {
        ExportPngFile(services_, pngPrompts_, Title(), [this] { return VehicleToPng(model_); });
    }
}

void CFGSDoc::ExportTrainPng(int set, int zoom) {
    if (set < 0 || set >= model_.CountSets() || !HasCoupledCars(model_.Set(set))) {
        return;
    }
    // The set's name suggests the file's; characters no file name may hold become "_".
    QString name = FromRaw(model_.Set(set).name.View());
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QChar(0)) {
            c = QLatin1Char('_');
        }
    }
    const int state = services_.palette.DayNightState();
    ExportPngFile(services_, pngPrompts_, name + QStringLiteral(".png"),
                  [this, set, zoom, state] { return TrainToPng(model_.Set(set), zoom, state); });
}

void CFGSDoc::ImportPng() {
    if (!HasPngSheet()) {
        return;
    }
    const std::optional<ImportedSheet> imported =
        AskAndReadPngSheet(services_, pngPrompts_, kSheetSizeKey,
                           [this](std::span<const std::uint8_t> png, const std::string& fileName,
                                  bool nearest) { return ReadVehicleSheet(png, fileName, model_, nearest); });
    if (!imported) {
        return;
    }
    const PngImportChoice& choice = imported->choice;
    const SheetPixels& sheet = imported->sheet;
    // The size is checked and every index is a palette colour: nothing is refused here.
    DrawSheetIntoVehicle(sheet.indices, VehicleSheetSize(model_), model_, CurrentMouseMode());
    NotifyStateChanged();
    ReportMappedPixels(services_, choice.path, sheet.mapped);
}

QString CFGSDoc::ExportLossNotice() const {
    const std::vector<ExportTextLoss> losses = ExportTextLosses(model_);
    if (losses.empty()) {
        return {};
    }
    const CLanguageManager& language = services_.language;
    QStringList lines{GetText(language, kExportLossKey, kDialogsSection)};
    for (const ExportTextLoss& loss : losses) {
        const QString missing = CharacterList(QString::fromStdString(loss.missing));
        const QString name = QString::fromStdString(loss.name);
        if (loss.car < 0) {
            lines << GetText(language, kExportLossSetKey, kDialogsSection)
                         .replace(QStringLiteral("%1"), name)
                         .replace(QStringLiteral("%2"), missing);
        } else {
            lines << GetText(language, kExportLossCarKey, kDialogsSection)
                         .replace(QStringLiteral("%1"), name)
                         .replace(QStringLiteral("%2"), FromRaw(model_.Set(loss.set).name.View()))
                         .replace(QStringLiteral("%3"), missing);
        }
    }
    return LimitDialogText(lines.join(QLatin1Char('\n')));
}

void CFGSDoc::EditInfoTexts() {
    const CLanguageManager& language = services_.language;
    const QString oldAuthor = FromRaw(model_.Author());
    const QString oldInfo = FromRaw(model_.InfoText());
    QString newAuthor;
    QString newInfo;
    {
        // The file keeps one character less than the dialog's own limits: its fields end in a 0.
        CEditInfoText dialog(language, services_.shell.MainWindow(),
                             {int(FixedText<vehicles::kAuthorField>::kCapacity),
                              int(FixedText<vehicles::kInfoField>::kCapacity)});
        dialog.SetTexts(oldAuthor, oldInfo);
        if (RunDialog(dialog) != QDialog::Accepted) {
            return;
        }
        newAuthor = dialog.Author();
        newInfo = dialog.InfoText();
    }
    const std::string defaultAuthor = GetText(language, kDefaultAuthorKey, kDataSection).toStdString();
    if (newAuthor != oldAuthor) {
        const int question = model_.CheckAuthorChange(ToRaw(newAuthor), defaultAuthor);
        if (question == 0 || services_.messages.AskQuestion(question) == kAnswerYes) {
            model_.SetAuthor(ToRaw(newAuthor));
        }
    }
    if (newInfo != oldInfo) {
        model_.SetInfoText(ToRaw(newInfo));
    }
    NotifyStateChanged();
}

bool CFGSDoc::OnCommand(CommandId id) {
    switch (id) {
        case ID_FILE_REVERT:
            RevertToSaved();
            return true;
        case ID_VEHICLE_NEW_SET:
            NewVehicleSet();
            return true;
        default:
            return ModelDocument::OnCommand(id);
    }
}

bool CFGSDoc::OnUpdateCommand(CommandId id, CommandState& state) {
    switch (id) {
        case ID_FILE_REVERT:
            state.Enable(model_.IsModified() && !PathName().isEmpty());
            return true;
        case ID_VEHICLE_NEW_SET:
            state.Enable(model_.CountSets() < vehicles::kMaxSets);
            return true;
        default:
            return ModelDocument::OnUpdateCommand(id, state);
    }
}

}  // namespace zobl
