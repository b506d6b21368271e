#include "gui/drawing/PngFiles.h"

#include <algorithm>
#include <exception>
#include <string>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

#include "core/clipboard/Clippy.h"
#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"
#include "core/palette/ColourMatch.h"
#include "core/settings/GeneralSettings.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/StandardPrompts.h"
#include "png/PngPicture.h"
#include "ui_PngImportDlg.h"

namespace zobl {

namespace {

constexpr int kFilterKey = 1061;  // section DATA
constexpr int kMappedKey = 3984;
constexpr int kUnmatchedKey = 3985;
constexpr int kExportTitleKey = 3988;
constexpr int kExportPromptHelp = 50205;
constexpr const char* kSuffix = "png";

QString DialogText(const EditorServices& services, int key) {
    return GetText(services.language, key, kDialogsSection);
}

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString FileNameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

// The file's pixels as stored; the refusal is shown.
std::optional<ForeignPicture> ReadPicture(const EditorServices& services, const QString& path) {
    try {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(NativePath(path));
        return ReadPngPicture(bytes, NativePath(path));
    } catch (const MessageError& error) {
        services.messages.ShowError(error.Number(), path);
    } catch (const std::exception&) {
        services.messages.ShowError(message::kFileError, path);
    }
    return std::nullopt;
}

QString DefaultExportPrompt(const EditorServices& services, const QString& folder, const QString& name) {
    FilePromptRequest request;
    request.kind = FilePromptKind::Export;
    request.filter = GetText(services.language, kFilterKey, kDataSection);
    request.defaultSuffix = QString::fromLatin1(kSuffix);
    request.folder = folder;
    request.name = name;
    request.title = DialogText(services, kExportTitleKey);
    const QStringList chosen = RunFilePrompt(request, services.language, services.shell.MainWindow());
    return chosen.isEmpty() ? QString() : chosen.constFirst();
}

}  // namespace

// ---- The import dialog --------------------------------------------------------------------------

CPngImportDlg::CPngImportDlg(const EditorServices& services, QWidget* parent)
    : QDialog(parent), services_(services), ui_(std::make_unique<Ui::PngImportDlg>()) {
    ui_->setupUi(this);
    help_ = StartDialog(*this, services.language, kHelpContext, ui_->ok1, ui_->cancel2, ui_->help9);
    connect(ui_->browse, &QPushButton::clicked, this, [this] { Browse(); });
}

CPngImportDlg::~CPngImportDlg() = default;

PngImportChoice CPngImportDlg::Choice() const {
    return {ui_->file->text().trimmed(), ui_->nearest->isChecked()};
}

void CPngImportDlg::SetChoice(const PngImportChoice& choice) {
    ui_->file->setText(choice.path);
    ui_->nearest->setChecked(choice.nearest);
}

void CPngImportDlg::accept() {
    const QString path = Choice().path;
    if (path.isEmpty()) {
        ui_->file->setFocus();
        return;
    }
    if (!QFileInfo(path).isFile()) {
        services_.messages.ShowError(message::kFileNotFound, path, this);
        ui_->file->setFocus();
        return;
    }
    QDialog::accept();
}

void CPngImportDlg::Browse() {
    FilePromptRequest request;
    request.kind = FilePromptKind::Open;
    request.filter = GetText(services_.language, kFilterKey, kDataSection);
    const QString current = Choice().path;
    request.folder = current.isEmpty() ? QString::fromStdString(services_.settings.exportFolder)
                                       : QFileInfo(current).absolutePath();
    if (request.folder.isEmpty()) {
        request.folder = QDir::homePath();
    }
    const QStringList chosen = RunFilePrompt(request, services_.language, this);
    if (!chosen.isEmpty()) {
        ui_->file->setText(chosen.constFirst());
    }
}

// ---- Export and import of sheets ----------------------------------------------------------------

void ExportPngFile(const EditorServices& services, const PngPrompts& prompts, const QString& documentName,
                   const std::function<std::vector<std::uint8_t>()>& sheet) {
    GeneralSettings& settings = services.settings;
    // Programs here live where users cannot write, so the home folder stands in for theirs.
    QString folder = QString::fromStdString(settings.exportFolder);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    const QString name =
        QFileInfo(documentName).completeBaseName() + QLatin1Char('.') + QLatin1String(kSuffix);
    QString path;
    {
        HelpContextScope help(kExportPromptHelp);
        path = prompts.exportFile ? prompts.exportFile(folder, name)
                                  : DefaultExportPrompt(services, folder, name);
    }
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + QLatin1String(kSuffix);
    }
    MessageService& messages = services.messages;
    if (!MayOverwrite(messages, path)) {
        return;
    }
    settings.exportFolder = WithTrailingSlash(QFileInfo(path).absolutePath().toStdString());
    try {
        WriteFileAtomically(NativePath(path), sheet());
    } catch (const MessageError& error) {
        messages.ShowError(error.Number(), path);
    } catch (const std::exception&) {
        messages.ShowError(message::kFileError, path);
    }
}

std::optional<PngImportChoice> AskPngImport(const EditorServices& services, const PngPrompts& prompts) {
    if (prompts.importChoice) {
        return prompts.importChoice();
    }
    CPngImportDlg dialog(services, services.shell.MainWindow());
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

std::optional<SheetPixels> ReadPngSheet(const EditorServices& services, const PngImportChoice& choice,
                                        int sizeText, const SheetReader& read) {
    const QString name = FileNameOf(choice.path);
    MessageService& messages = services.messages;
    try {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(NativePath(choice.path));
        return read(bytes, NativePath(choice.path), choice.nearest);
    } catch (const WrongPictureSize& error) {
        messages.ShowError(message::kWrongSheetSize, DialogText(services, sizeText)
                                                         .arg(name)
                                                         .arg(error.found.width)
                                                         .arg(error.found.height)
                                                         .arg(error.expected.width)
                                                         .arg(error.expected.height));
    } catch (const UnmatchedColours& error) {
        messages.ShowError(
            message::kUnmatchedColours,
            DialogText(services, kUnmatchedKey).arg(name).arg(error.count).arg(error.x).arg(error.y));
    } catch (const NightPicture&) {
        messages.ShowError(message::kNightPicture, name);
    } catch (const MessageError& error) {
        messages.ShowError(error.Number(), choice.path);
    } catch (const std::exception&) {
        messages.ShowError(message::kFileError, choice.path);
    }
    return std::nullopt;
}

std::optional<ImportedSheet> AskAndReadPngSheet(const EditorServices& services, const PngPrompts& prompts,
                                                int sizeText, const SheetReader& read) {
    std::optional<PngImportChoice> choice = AskPngImport(services, prompts);
    if (!choice) {
        return std::nullopt;
    }
    std::optional<SheetPixels> sheet = ReadPngSheet(services, *choice, sizeText, read);
    if (!sheet) {
        return std::nullopt;
    }
    return ImportedSheet{std::move(*choice), std::move(*sheet)};
}

void ReportMappedPixels(const EditorServices& services, const QString& path, int mapped) {
    if (mapped > 0) {
        services.shell.SetMessageText(DialogText(services, kMappedKey).arg(FileNameOf(path)).arg(mapped));
    }
}

// ---- Pictures to paste --------------------------------------------------------------------------

bool LoadPngPicture(const EditorServices& services, const QString& path, CClippy& into) {
    const std::optional<ForeignPicture> picture = ReadPicture(services, path);
    if (!picture) {
        return false;
    }
    ColourMatchOptions options;
    options.nearest = true;  // a picture to paste is always taken, as the system clipboard's is
    const ColourMatch match = MatchPaletteColours(*picture, options);
    if (match.nightState != 0) {
        services.messages.ShowError(message::kNightPicture, FileNameOf(path));
        return false;
    }
    const int width = std::min(picture->width, CClippy::kMaxExtent);
    const int height = std::min(picture->height, CClippy::kMaxExtent);
    into.ClearArea();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            into.Set(x, y, match.indices[std::size_t(y) * std::size_t(picture->width) + std::size_t(x)]);
        }
    }
    into.SetSize(width, height);
    return true;
}

std::optional<QSize> PngFileSize(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    QImageReader reader(path, "PNG");
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid() || size.isEmpty()) {
        return std::nullopt;
    }
    return size;
}

std::optional<QString> DroppedPngFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls()) {
        return std::nullopt;
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() &&
            QFileInfo(url.toLocalFile()).suffix().compare(QLatin1String(kSuffix), Qt::CaseInsensitive) == 0) {
            return url.toLocalFile();
        }
    }
    return std::nullopt;
}

}  // namespace zobl
