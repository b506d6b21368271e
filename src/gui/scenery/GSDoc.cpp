#include "gui/scenery/GSDoc.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"
#include "core/scenery/GsFile.h"
#include "core/scenery/SceneryRules.h"
#include "core/scenery/ScenerySheet.h"
#include "core/scenery/UzgExport.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/MenuResources.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/scenery/SceneryHints.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/EditInfoText.h"
#include "gui/widgets/StandardPrompts.h"
#include "png/SceneryPng.h"

namespace zobl {

namespace {
constexpr int kNewSceneryTitleKey = 1001;  // section "DATA"
constexpr int kDefaultAuthorKey = 1020;    // section "DATA": an author nobody filled in
constexpr const char* kExportExtension = "uzg";
constexpr int kSheetSizeKey = 3986;    // section "DIALOGS": a sheet of the wrong size
constexpr int kImportTitleKey = 3980;  // section "DIALOGS"
constexpr int kRowsLeftOutKey = 3989;  // section "DIALOGS": "%1" file, "%2" the rows
constexpr int kRowLeftOutKey = 3990;   // section "DIALOGS": "%1" symbol from 01, "%2" row
}  // namespace

CGSDoc::CGSDoc(DocTemplate& docTemplate, const EditorServices& services)
    : ModelDocument(docTemplate), services_(services) {}

CGSDoc::~CGSDoc() = default;

bool CGSDoc::OnNewDocument() {
    model_.Initialise();
    SetTitle(GetText(services_.language, kNewSceneryTitleKey, kDataSection));
    return Document::OnNewDocument();
}

bool CGSDoc::OnOpenDocument(const QString& path) {
    GeneralSettings& settings = services_.settings;
    if (settings.autoApplyFolders) {
        settings.openFolder = WithTrailingSlash(QFileInfo(path).absolutePath().toStdString());
    }
    MessageService& messages = services_.messages;
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(QFile::encodeName(path).toStdString());
        ReadGs(bytes, QFile::encodeName(path).toStdString(), model_);
    } catch (const MessageError& error) {
        if (error.Number() != message::kFileError) {
            // Not a scenery file: error 2 names it, and that is all.
            messages.ShowError(error.Number(), QString::fromStdString(error.Argument()));
            return false;
        }
        messages.ShowError(message::kFileError, path);
        // A damaged scenery file: what could be read may open as a new document, never as the file.
        if (bytes.empty() || !ReadGsReadablePart(bytes, model_) ||
            messages.AskQuestion(message::kQuestionOpenReadablePart, path) != kAnswerYes) {
            return false;
        }
        KeepWithoutFile();
        SetTitle(GetText(services_.language, kNewSceneryTitleKey, kDataSection));
        SetModifiedFlag(true);
    } catch (const std::exception&) {
        messages.ShowError(message::kFileError, path);
        return false;
    }
    NotifyStateChanged();
    return true;
}

bool CGSDoc::OnSaveDocument(const QString& path) {
    try {
        SaveGsFile(QFile::encodeName(path).toStdString(), model_);
    } catch (const std::exception&) {
        services_.messages.ShowError(message::kFileError, path);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void CGSDoc::WriteCopy(const std::string& path) const {
    // A recovery copy: a name the program chose, in the recovery folder.
    WriteFileAtomically(path, WriteGs(model_), FileNaming::Program);
}

bool CGSDoc::UpdateDoc(int action, int /*argument*/) {
    const UpdateActionEffect effect = EffectOfUpdateAction(action);
    if (effect.rebuildBitmap) {
        model_.RefreshBitmap();
        displayImage_ = QImage();  // the colour table is taken afresh
    }
    if (effect.hint) {
        UpdateAllViews(nullptr, *effect.hint, nullptr);
    }
    return true;
}

std::unique_ptr<QMenu> CGSDoc::BuildDocumentMenu() {
    CommandRouter* router = services_.shell.Router();
    if (router == nullptr) {
        return nullptr;
    }
    return BuildMenu(kSceneryMenu, *router, services_.language);
}

const QImage& CGSDoc::DisplayImage() const {
    const auto pixels = model_.DisplayPixels();
    const Palette& palette = services_.palette;
    if (pixels.size() < scenery::kStoreSize) {
        displayImage_ = QImage();
        return displayImage_;
    }
    if (displayImage_.isNull() || displayImage_.constBits() != pixels.data() ||
        displayRevision_ != palette.Revision()) {
        // Lines of 1152 bytes are already 4-byte aligned, as QImage wants them. The image only
        // reads the buffer; nothing paints into it.
        displayImage_ = QImage(pixels.data(), scenery::kStoreWidth, scenery::kStoreHeight,
                               scenery::kStoreWidth, QImage::Format_Indexed8);
        QList<QRgb> table;
        table.reserve(256);
        for (const ColourTableEntry& entry : palette.CurrentColourTable()) {
            table.append(entry.ToArgb());
        }
        // A damaged file may hold bytes above 99; they show black rather than read past the table.
        table.resize(256, qRgb(0, 0, 0));
        displayImage_.setColorTable(table);
        displayRevision_ = palette.Revision();
    }
    return displayImage_;
}

void CGSDoc::NotifyChange(const SceneryChange& change, View* sender) {
    switch (change.kind) {
        case SceneryChange::Kind::Nothing:
            break;
        case SceneryChange::Kind::Area: {
            SceneryAreaRecord record(change.area);
            UpdateAllViews(sender, hint::kPixelsChanged, &record);
            break;
        }
        case SceneryChange::Kind::Everything:
            UpdateAllViews(sender, hint::kPixelsChanged, nullptr);
            break;
    }
    NotifyStateChanged();
}

MouseMode CGSDoc::CurrentMouseMode() const {
    return services_.drawing.GetMouseMode();
}

void CGSDoc::AfterUndoOrRedo(bool restored) {
    if (restored) {
        NotifyChange(SceneryChange::Everything());
    }
}

QString CGSDoc::PromptExportFile(const QString& folder, const QString& filter) const {
    FilePromptRequest request;
    request.kind = FilePromptKind::Export;
    request.filter = filter;
    request.defaultSuffix = QString::fromLatin1(kExportExtension);
    request.folder = folder;
    const QStringList chosen = RunFilePrompt(request, services_.language, services_.shell.MainWindow());
    return chosen.isEmpty() ? QString() : chosen.constFirst();
}

void CGSDoc::Export() {
    GeneralSettings& settings = services_.settings;
    const CLanguageManager& language = services_.language;
    // Programs here live where users cannot write, so the home folder stands in for theirs.
    QString folder = QString::fromStdString(settings.exportFolder);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    const QString filter = GetText(language, uzg::kFilterKey, kDataSection);
    QString path;
    {
        HelpContextScope help(kHelpExportPrompt);
        path = exportPrompt_ ? exportPrompt_(folder, filter) : PromptExportFile(folder, filter);
    }
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + QString::fromLatin1(kExportExtension);
    }
    MessageService& messages = services_.messages;
    if (!MayOverwrite(messages, path)) {
        return;
    }
    settings.exportFolder = WithTrailingSlash(QFileInfo(path).absolutePath().toStdString());
    try {
        ExportUzgFile(QFile::encodeName(path).toStdString(), model_, language);
    } catch (const MessageError& error) {
        messages.ShowError(error.Number(), path);
    } catch (const std::exception&) {
        messages.ShowError(message::kFileError, path);
    }
}

void CGSDoc::ExportPng() {
    ExportPngFile(services_, pngPrompts_, Title(), [this] { return SceneryToPng(model_); });
}

void CGSDoc::ImportPng() {
    const std::optional<ImportedSheet> imported = AskAndReadPngSheet(
        services_, pngPrompts_, kSheetSizeKey,
        [this](std::span<const std::uint8_t> png, const std::string& fileName, bool nearest) {
            return ReadScenerySheet(png, fileName, &model_, nearest);
        });
    if (!imported) {
        return;
    }
    const PngImportChoice& choice = imported->choice;
    const SheetPixels& sheet = imported->sheet;
    // One step of its own, whatever the mouse mode was doing.
    model_.CloseUndoGroup();
    model_.PrepareChange(CurrentMouseMode());
    const std::vector<SkippedRow> skipped = SheetToScenery(sheet.indices, model_);
    model_.CloseUndoGroup();
    NotifyChange(SceneryChange::Everything());
    ReportMappedPixels(services_, choice.path, sheet.mapped);
    if (!skipped.empty()) {
        // Drawn pixels the view will not show: the author must know where they went.
        const CLanguageManager& language = services_.language;
        QStringList rows;
        for (const SkippedRow& row : skipped) {
            rows << GetText(language, kRowLeftOutKey, kDialogsSection)
                        .arg(row.symbol + 1, 2, 10, QLatin1Char('0'))
                        .arg(row.row);
        }
        services_.shell.ShowInfo(
            GetText(language, kImportTitleKey, kDialogsSection),
            GetText(language, kRowsLeftOutKey, kDialogsSection)
                .arg(QFileInfo(choice.path).fileName(), rows.join(QStringLiteral("; "))));
    }
}

void CGSDoc::EditInfoTexts() {
    const CLanguageManager& language = services_.language;
    const QString oldAuthor = QString::fromStdString(model_.Author());
    const QString oldInfo = QString::fromStdString(model_.InfoText());
    QString newAuthor;
    QString newInfo;
    {
        CEditInfoText dialog(language, services_.shell.MainWindow());
        dialog.SetTexts(oldAuthor, oldInfo);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        newAuthor = dialog.Author();
        newInfo = dialog.InfoText();
    }
    const MouseMode mode = CurrentMouseMode();
    const std::string defaultAuthor = GetText(language, kDefaultAuthorKey, kDataSection).toStdString();
    bool takeAuthor = false;
    switch (DecideAuthorChange(oldAuthor.toStdString(), newAuthor.toStdString(), defaultAuthor)) {
        case AuthorChange::Unchanged:
            break;
        case AuthorChange::Take:
            takeAuthor = true;
            break;
        case AuthorChange::AskFirst:
            takeAuthor = services_.messages.AskQuestion(kQuestionChangeProtectedAuthor) == kAnswerYes;
            break;
    }
    if (takeAuthor) {
        model_.PrepareChange(mode);
        model_.SetAuthor(newAuthor.toStdString());
        model_.MarkTextsEdited();
    }
    if (newInfo != oldInfo) {
        model_.PrepareChange(mode);
        model_.SetInfoText(newInfo.toStdString());
        model_.MarkTextsEdited();
    }
    NotifyStateChanged();
}

}  // namespace zobl
