#include "gui/app/Bug1App.h"

#include <cstdint>
#include <cstdlib>

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMessageBox>

#include "core/clipboard/Clippy.h"
#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"
#include "core/common/PathTools.h"
#include "core/common/PrivateFolder.h"
#include "core/recovery/RecoveryFolder.h"
#include "gui/app/AppDialogs.h"
#include "gui/app/Automation.h"
#include "gui/app/DesktopPersistence.h"
#include "gui/app/MainFrame.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/framework/Document.h"
#include "gui/framework/FileFilter.h"
#include "gui/framework/FrameTexts.h"
#include "gui/framework/MessageService.h"
#include "gui/framework/QtSettingsStore.h"
#include "gui/lang/Localization.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/recovery/RecoveryKeeper.h"
#include "gui/scenery/GSDoc.h"
#include "gui/scenery/GSView.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/MessageDialogs.h"
#include "gui/widgets/PixelIcons.h"

namespace zobl {

namespace {

constexpr int kFileFilterKey = 1060;  // section "DATA"
constexpr int kPictureAllocationLimitMb =
    int(std::int64_t{CClippy::kMaxExtent} * CClippy::kMaxExtent * 4 / (1024 * 1024));

// Framework texts of the command-line switches that remove the settings.
constexpr const char* kUnregisteredText =
    "Einträge in der Systemregistrierung wurden entfernt, und die INI-Datai (falls vorhanden) wurde "
    "gelöscht.";
constexpr const char* kNotUnregisteredText =
    "Es wurde nicht jeder Eintrag in der Systemregistrierung (oder die ganze INI-Datei) entfernt.";

QString Folder(const std::string& folder) {
    return QString::fromStdString(folder);
}

// The clipboard file's folder unless the user chose another: never the shared temporary folder,
// where other users could plant a link or a pipe at the file's name.
std::string DefaultTemporaryFolder() {
    return PrivateTemporaryFolder(std::getenv("XDG_RUNTIME_DIR"), std::getenv("XDG_CACHE_HOME"),
                                  std::getenv("HOME"));
}

}  // namespace

CBug1App::CBug1App(AppOptions options) : options_(std::move(options)) {
    RegisterDialogHelp(this);
    settings_.SetDefaultFolders(QDir::homePath().toStdString(), DefaultTemporaryFolder());
    store_ = std::make_unique<QtSettingsStore>(
        options_.settingsPath.isEmpty() ? QtSettingsStore::DefaultPath() : options_.settingsPath);
    if (options_.messages != nullptr) {
        messages_ = options_.messages;
    } else {
        ownMessages_ = std::make_unique<DialogMessageService>(
            [this]() -> const CLanguageManager& { return GetLanguageManager(); },
            [this]() -> QWidget* { return mainFrame_.get(); });
        messages_ = ownMessages_.get();
    }
    documents_ = std::make_unique<DocManager>(*messages_);
    documents_->SetSavePrompt([this](QString& path, DocTemplate& docTemplate) {
        return PromptForSaveName(path, &docTemplate == vehicleTemplate_ ? kVehicleKind : kSceneryKind);
    });
    connect(&drawing_, &DrawingChoices::MouseModeChanged, this, &CBug1App::MouseModeChanged);
    connect(&drawing_, &DrawingChoices::DrawingColoursChanged, this, &CBug1App::DrawingColoursChanged);
    drawing_.SetColourChangeHook([this] {
        if (mainFrame_) {
            if (Document* document = mainFrame_->ActiveDocument()) {
                document->CloseUndoGroup();
            }
        }
    });
    connect(documents_.get(), &DocManager::PathUsed, this,
            [this](const QString& path) { recentFiles_.Add(path.toStdString()); });
}

CBug1App::~CBug1App() {
    ExitInstance();
    recovery_.reset();  // a normal end: the copies go
    // Windows and documents go while the templates and the language manager still exist.
    mainFrame_.reset();
    documents_.reset();
    if (DialogHelp() == this) {
        RegisterDialogHelp(nullptr);
    }
}

SettingsStore& CBug1App::Store() {
    return *store_;
}

void CBug1App::LoadSettings() {
    zobl::LoadSettings(*store_, settings_);
    LoadGridSettings(*store_, settings_);
    LoadLanguageSetting(*store_, settings_);
}

bool CBug1App::SaveSettings() {
    zobl::SaveSettings(*store_, settings_);
    SaveGridSettings(*store_, settings_);
    SaveLanguageSetting(*store_, settings_);
    return store_->Sync();
}

void CBug1App::SaveLanguageChoice() {
    SaveLanguageSetting(*store_, settings_);
    if (!store_->Sync()) {
        Messages().ShowError(message::kCannotCreateFile, store_->FileName());
    }
}

CLanguageManager& CBug1App::GetLanguageManager() {
    if (!language_) {
        const EnvironmentLookup environment =
            options_.environment ? options_.environment : EnvironmentLookup(std::getenv);
        language_ = std::make_unique<CLanguageManager>(
            options_.languageFile.empty()
                ? LanguageFilePath(ResolveLanguage(settings_.language, environment), options_.findData)
                : options_.languageFile);
    }
    return *language_;
}

QString CBug1App::ClipboardFilePath() const {
    return Folder(settings_.tmpPath) + kClipboardFileName;
}

const QBrush& CBug1App::Brush(ViewBrush kind) const {
    return brushes_[static_cast<int>(kind)];
}

void CBug1App::RecreateBrushes() {
    const auto brush = [](Rgb colour) { return QBrush(ToQColor(colour)); };
    brushes_[static_cast<int>(BrushKind::VehicleView)] = brush(settings_.fgsvBg);
    brushes_[static_cast<int>(BrushKind::EditField)] = brush(settings_.editBg);
    brushes_[static_cast<int>(BrushKind::SceneryView)] = brush(settings_.gsvBg);
}

bool CBug1App::InitInstance(const QStringList& arguments) {
    QApplication::setWindowIcon(ApplicationIcon());
    // The application id: a Wayland compositor ignores window icons and finds the icon and the
    // launcher through the desktop entry of this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.zobl.GraphicsEditor"));
    // Qt's reader refuses pictures above 128 MB; a picture on the system clipboard is taken up
    // to the editor clipboard's extent, which in 32 bits per pixel needs twice that.
    QImageReader::setAllocationLimit(kPictureAllocationLimitMb);
    recentFiles_.Load(*store_);
    settings_.version = kSettingsVersion;
    settings_.SetDefaultFolders(QDir::homePath().toStdString(), settings_.tmpPath);
    LoadSettings();
    // The settings choose the language file, so the language is asked for only now. The standard
    // prompts speak its language when Qt's own translation of it is installed; without it they
    // stay English, which is no reason to stop.
    UseLocaleInQtDialogs(LanguageLocale(GetLanguageManager()), this);
    // Earlier versions stored the shared temporary folder as TMPPATH by default; no file of ours
    // may be written into a folder everyone can write in.
    if (IsSharedFolder(settings_.tmpPath)) {
        settings_.tmpPath = DefaultTemporaryFolder();
    }
    RecreateBrushes();
    RegisterTemplates();
    palette_.InitPalette();

    mainFrame_ = std::make_unique<CMainFrame>(*this);
    if (!mainFrame_->Create()) {
        return false;
    }
    recovery_ = std::make_unique<CRecoveryKeeper>(
        Services(), *documents_, sceneryTemplate_, vehicleTemplate_,
        options_.recoveryRoot.isEmpty()
            ? recovery::RecoveryRoot(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"))
            : QFile::encodeName(options_.recoveryRoot).toStdString(),
        options_.recoveryIntervalMs);
    if (options_.automation) {
        // Without a session bus, or with the name held by another running editor, the editor
        // runs on without the interface.
        automation_ = std::make_unique<CAutoApp>(*this);
        if (!automation_->Register()) {
            automation_.reset();
        }
    }

    std::vector<PendingViewState> restoredViews;
    if (settings_.saveDsk) {
        RestoreDesktop(*this, restoredViews);
    }

    if (!ProcessCommandLine(arguments)) {
        return false;
    }
    if (options_.showMainWindow) {
        mainFrame_->show();
    }
    ApplyViewStates(restoredViews);
    fileFilter_ = GetText(GetLanguageManager(), kFileFilterKey, kDataSection);
    // After a crash: what the last session could not save.
    recovery_->OfferAbandonedCopies(mainFrame_.get());
    return true;
}

void CBug1App::RegisterTemplates() {
    sceneryTemplate_ = &documents_->AddTemplate(
        129,
        {QString::fromUtf8(kSceneryDocumentName), QStringLiteral("Grafikdateien (*.gs)"),
         QStringLiteral(".gs"), QStringLiteral("ZOBL-Grafik-Datei"), QStringLiteral("GS Datei")},
        [this](DocTemplate& docTemplate) -> Document* { return new CGSDoc(docTemplate, Services()); },
        [this](Document& document) -> View* {
            return new CGSView(static_cast<CGSDoc&>(document), Services());
        });
    vehicleTemplate_ = &documents_->AddTemplate(
        130,
        {QString::fromUtf8(kVehicleDocumentName), QStringLiteral("Fahrzeug-Grafikdateien (*.fgs)"),
         QStringLiteral(".fgs"), QStringLiteral("ZOBL-Fahrzeug-Grafik-Datei"), QStringLiteral("FGS Datei")},
        [this](DocTemplate& docTemplate) -> Document* { return new CFGSDoc(docTemplate, Services()); },
        [this](Document& document) -> View* {
            return new CFGSView(static_cast<CFGSDoc&>(document), Services());
        });
}

bool CBug1App::ProcessCommandLine(const QStringList& arguments) {
    QStringList files;
    bool print = false;
    for (const QString& argument : arguments) {
        // Switches start with '/' or '-'; on this system a path may start with '/' too, so only
        // the known switch names count as switches.
        if (argument.size() > 1 && (argument[0] == '/' || argument[0] == '-')) {
            const QString name = argument.mid(1).toLower();
            if (name == QLatin1String("unregister") || name == QLatin1String("unregserver")) {
                const bool removed = store_->RemoveAll();
                ShowInfo(QString::fromLatin1(kAppTitle),
                         QString::fromUtf8(removed ? kUnregisteredText : kNotUnregisteredText));
                return false;
            }
            if (name == QLatin1String("p") || name == QLatin1String("pt")) {
                print = true;
                continue;
            }
            if (name == QLatin1String("embedding") || name == QLatin1String("automation") ||
                name == QLatin1String("dde") || argument[0] == '-') {
                continue;
            }
        }
        files << argument;
    }
    if (files.isEmpty()) {
        return !print;  // a plain start opens no document
    }
    // Several files (a file manager's selection): each is opened as a single one is, reporting
    // its own failure. The start ends only when no window is open: neither one of these files
    // nor one the desktop restored.
    for (const QString& file : files) {
        OpenDocumentFile(file);
    }
    if (documents_->DocumentCount() == 0) {
        return false;
    }
    return !print;  // nothing prints, so a print request ends here
}

int CBug1App::ExitInstance() {
    if (exited_) {
        return 0;
    }
    exited_ = true;
    if (mainFrame_) {
        mainFrame_->Destroy();
    }
    documents_->CloseAllDocuments();
    SaveAtExit();
    DeleteClipboardFile();
    // The windows closed just now go first: their views give back their work stacks, which
    // the leak report would otherwise count.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (const auto report = stackList_.LeakReport()) {
        ShowInfo(QString::fromLatin1(CStackList::kLeakCaption), QString::fromStdString(*report));
    }
    language_.reset();
    // Closed documents and windows are deleted from the event loop, which has ended.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

void CBug1App::SaveAtExit() {
    if (settings_.autoSaveOptions) {
        zobl::SaveSettings(*store_, settings_);
    }
    // The grids are switched from the view menu, like tool bars: kept as they were left.
    SaveGridSettings(*store_, settings_);
    SaveLanguageSetting(*store_, settings_);
    recentFiles_.Save(*store_);
    if (!store_->Sync() && !exitSaveFailureShown_) {
        exitSaveFailureShown_ = true;
        Messages().ShowError(message::kCannotCreateFile, store_->FileName());
    }
}

void CBug1App::DeleteClipboardFile() {
    // Only a file of our own: a link or another user's file at that name stays as it is.
    RemoveProgramFile(QFile::encodeName(ClipboardFilePath()).toStdString());
}

const EditorServices& CBug1App::Services() {
    if (!services_) {
        services_ = std::make_unique<EditorServices>(
            EditorServices{GetLanguageManager(), settings_, *messages_, palette_, drawing_, clipboard_,
                           stackList_, *this, *this, simReader_});
    }
    return *services_;
}

CommandRouter* CBug1App::Router() const {
    return mainFrame_ ? &mainFrame_->Router() : nullptr;
}

const QFont* CBug1App::SharedFont() const {
    return mainFrame_ ? &mainFrame_->SharedFont() : nullptr;
}

void CBug1App::SetMessageText(const QString& text) {
    if (mainFrame_) {
        mainFrame_->SetMessageText(text);
    }
}

QWidget* CBug1App::MainWindow() const {
    return mainFrame_.get();
}

void CBug1App::ShowHelp() {
    const int context = helpContext_;
    const QString numbers =
        QString::asprintf("Help ID = %d (0x%08x | ID_%05d)", context, unsigned(context), context);
    if (!helpNumberDisplay_) {
        const std::string germanManual = options_.helpFile.isEmpty()
                                             ? FindProgramData("help/index.html")
                                             : QFile::encodeName(options_.helpFile).toStdString();
        const QString manual =
            QFile::decodeName(ManualPath(germanManual, LanguageOfFile(GetLanguageManager().Path())).c_str());
        if (QFileInfo(manual).isFile()) {
            QUrl url = QUrl::fromLocalFile(manual);
            url.setFragment(QString::number(context));
            const bool opened = options_.openUrl ? options_.openUrl(url) : QDesktopServices::openUrl(url);
            if (opened) {
                return;
            }
        }
    }
    ShowInfo(QStringLiteral("HELP"), numbers);
}

void CBug1App::ShowInfo(const QString& title, const QString& text) {
    if (options_.infoBox) {
        options_.infoBox(title, text);
        return;
    }
    QMessageBox::information(mainFrame_ && mainFrame_->isVisible() ? mainFrame_.get() : nullptr, title, text);
}

Document* CBug1App::OpenDocumentFile(const QString& path) {
    return documents_->OpenDocumentFile(path);
}

int CBug1App::UpdateAllDocuments(Document* skip, int action, int argument) {
    return documents_->UpdateAllDocuments(skip, action, argument);
}

bool CBug1App::PromptForSaveName(QString& path, int kind) {
    return RunSavePrompt(*this, path, kind);
}

void CBug1App::OnFileNew() {
    RunNewDocument(*this);
}

void CBug1App::OnFileOpen() {
    RunOpenPrompt(*this);
}

void CBug1App::OnAppAbout() {
    RunAbout(*this);
}

bool CBug1App::OnCommand(CommandId id) {
    if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_LAST) {
        const std::size_t index = std::size_t(id - ID_FILE_MRU_FILE1);
        if (index < recentFiles_.Files().size()) {
            const QString path = QString::fromStdString(recentFiles_.Files()[index]);
            if (OpenDocumentFile(path) == nullptr && !QFileInfo::exists(path)) {
                recentFiles_.Remove(index);
            }
        }
        return true;
    }
    switch (id) {
        case ID_FILE_NEW:
            OnFileNew();
            return true;
        case ID_FILE_OPEN:
            OnFileOpen();
            return true;
        case ID_APP_EXIT:
            if (mainFrame_) {
                mainFrame_->close();
            }
            return true;
        case ID_APP_ABOUT:
            OnAppAbout();
            return true;
        case ID_HELP_FINDER:
            helpContext_ = help::kNoDocument;
            ShowHelp();
            return true;
        case ID_HELP:
        case ID_CONTEXT_HELP:
            ShowHelp();
            return true;
        case ID_OPTIONS_SAVE:
            if (!SaveSettings()) {
                Messages().ShowError(message::kCannotCreateFile, store_->FileName());
            }
            return true;
        case ID_CHOOSE_COLOURS:
            RunChooseColours(*this);
            return true;
        case ID_OPTIONS_SETTINGS:
            RunOptions(*this);
            return true;
        case ID_OPTIONS_COLOURS:
            RunColourSettings(*this);
            return true;
        default:
            return false;
    }
}

bool CBug1App::OnUpdateCommand(CommandId id, CommandState& state) {
    if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_LAST) {
        state.Enable(std::size_t(id - ID_FILE_MRU_FILE1) < recentFiles_.Files().size());
        return true;
    }
    switch (id) {
        case ID_FILE_NEW:
            state.Enable(sceneryTemplate_ != nullptr && sceneryTemplate_->CanCreateDocuments());
            return true;
        case ID_FILE_OPEN:
        case ID_APP_EXIT:
        case ID_APP_ABOUT:
        case ID_HELP_FINDER:
        case ID_HELP:
        case ID_CONTEXT_HELP:
        case ID_OPTIONS_SAVE:
        case ID_CHOOSE_COLOURS:
        case ID_OPTIONS_SETTINGS:
        case ID_OPTIONS_COLOURS:
            state.Enable();
            return true;
        default:
            return false;
    }
}

}  // namespace zobl
