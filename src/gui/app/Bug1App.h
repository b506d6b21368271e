#pragma once

#include <functional>
#include <memory>

#include <QBrush>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "core/clipboard/Clippy.h"
#include "core/drawing/MouseMode.h"
#include "core/drawing/UBStack.h"
#include "core/lang/LanguageChoice.h"
#include "core/lang/LanguageManager.h"
#include "core/palette/Palette.h"
#include "core/settings/GeneralSettings.h"
#include "core/settings/RecentFileList.h"
#include "core/simimport/SimVehicleReader.h"
#include "gui/app/LockKeyState.h"
#include "gui/framework/CommandTarget.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/FrameTexts.h"
#include "gui/widgets/DialogSupport.h"

namespace zobl {

class CAutoApp;
class CRecoveryKeeper;
class CMainFrame;
class DocManager;
class DocTemplate;
class Document;
class MessageService;
class QtSettingsStore;
class SettingsStore;

// How the application is built; tests replace what talks to the user or the desktop.
struct AppOptions {
    QString settingsPath;  // empty: QtSettingsStore::DefaultPath()
    // A language file named here is read whatever the "Sprache" setting says (a bare name is
    // looked for like the shipped files); empty: the setting chooses the German or English file.
    std::string languageFile;
    DataFinder findData;                       // where the language files are; nullptr: FindProgramData
    EnvironmentLookup environment;             // what "Automatisch" reads; nullptr: getenv
    MessageService* messages = nullptr;        // nullptr: message boxes
    std::function<bool(const QUrl&)> openUrl;  // nullptr: the desktop's browser
    QString helpFile;  // the manual; empty: help/index.html of the program's data (FindProgramData)
    std::function<void(const QString& title, const QString& text)> infoBox;  // nullptr: a message box
    bool showMainWindow = true;
    LockKeyReader lockKeys;  // nullptr: the window system's keyboard state
    bool automation = true;  // offer the automation interface on the session bus
    // Where recovery copies of unsaved work go; empty: zobl_ge/recovery in the XDG state folder.
    QString recoveryRoot;
    int recoveryIntervalMs = 30'000;  // at most one copy of a document in this time
};

// The application object: owns the settings, the language manager, the palette, the mouse mode,
// the drawing colours, the help context, the document templates and the main frame. It is the
// last target of command routing.
class CBug1App : public QObject, public CommandTarget, public HelpService, public EditorShell {
    Q_OBJECT
public:
    static constexpr const char* kAppTitle = kApplicationTitle;
    static constexpr const char* kClipboardFileName = "zobl_ge.clipboard";

    explicit CBug1App(AppOptions options = {});
    ~CBug1App() override;
    CBug1App(const CBug1App&) = delete;
    CBug1App& operator=(const CBug1App&) = delete;

    // The start in its documented order. arguments: the command line without the program name.
    // False: the start ends here (the process should exit).
    bool InitInstance(const QStringList& arguments);
    // The exit steps: settings (AUTOSAVEOPTIONS), clipboard file, language manager, recent files.
    int ExitInstance();
    // Writes what the exit keeps: the options (AUTOSAVEOPTIONS), the recent files and whatever the
    // main window recorded when it closed (its layout, the desktop). When the settings file cannot
    // be written, error 3 names it, once: the main window calls this while it is still shown, and
    // ExitInstance once more for an end without it.
    void SaveAtExit();

    // Settings of section "General".
    GeneralSettings& Settings() noexcept { return settings_; }
    const GeneralSettings& Settings() const noexcept { return settings_; }
    SettingsStore& Store();
    void LoadSettings();
    // False when the settings file could not be written.
    bool SaveSettings();
    // Writes the "Sprache" setting at once: it takes effect at the next start, which must find
    // it even when the options are not saved. Error 3 when the settings file cannot be written.
    void SaveLanguageChoice();

    // Made on first use, from the settings as they are then: InitInstance asks for it only after
    // loading them.
    CLanguageManager& GetLanguageManager();
    Palette& GetPalette() noexcept { return palette_; }
    CStackList& StackList() noexcept { return stackList_; }
    // The editor's own clipboard, shared by every window.
    CClippy& Clipboard() noexcept { return clipboard_; }
    // The reader of the simulator's vehicle data, whose state lives from query to query.
    simimport::SimVehicleReader& SimReader() noexcept { return simReader_; }
    DocManager& Documents() noexcept { return *documents_; }
    MessageService& Messages() noexcept { return *messages_; }
    RecentFileList& RecentFiles() noexcept { return recentFiles_; }
    CMainFrame* MainFrame() const noexcept { return mainFrame_.get(); }
    // The recovery copies of unsaved documents; null before InitInstance.
    CRecoveryKeeper* Recovery() const noexcept { return recovery_.get(); }
    DocTemplate* SceneryTemplate() const noexcept { return sceneryTemplate_; }
    DocTemplate* VehicleTemplate() const noexcept { return vehicleTemplate_; }
    // The open and save prompts' filter ("Name|*.x||", key 1060 of section "DATA").
    const QString& FileFilter() const noexcept { return fileFilter_; }
    // The internal clipboard file: TMPPATH followed by "zobl_ge.clipboard".
    QString ClipboardFilePath() const override;

    // What the documents, views and dialogs of the features are handed; made on first use.
    const EditorServices& Services();

    // The three background brushes of the views, made from the settings.
    using BrushKind = ViewBrush;
    const QBrush& Brush(ViewBrush kind) const override;
    void RecreateBrushes();

    // The mouse mode and the drawing colours (see DrawingChoices).
    DrawingChoices& Drawing() noexcept { return drawing_; }
    MouseMode GetMouseMode() const noexcept { return drawing_.GetMouseMode(); }
    MouseMode PreviousMouseMode() const noexcept { return drawing_.PreviousMouseMode(); }
    MouseMode SetMouseMode(MouseMode mode) { return drawing_.SetMouseMode(mode); }
    int GetColor1() const noexcept { return drawing_.GetColor1(); }
    int GetColor2() const noexcept { return drawing_.GetColor2(); }
    int SetColor1(int colour) { return drawing_.SetColor1(colour); }
    int SetColor2(int colour) { return drawing_.SetColor2(colour); }

    // EditorShell: the main window's part, while there is one.
    CommandRouter* Router() const override;
    const QFont* SharedFont() const override;
    void SetMessageText(const QString& text) override;
    QWidget* MainWindow() const override;

    // The help context: the number the next help request opens. Dialogs set their own and put
    // the previous one back when they close.
    int GetHelpContext() const noexcept override { return helpContext_; }
    void SetHelpContext(int context) override { helpContext_ = context; }
    bool HelpNumberDisplay() const noexcept { return helpNumberDisplay_; }
    void SetHelpNumberDisplay(bool on) { helpNumberDisplay_ = on; }
    // help/index.html beside the executable (help/en/index.html while the English language file
    // is read, when it exists) at the anchor of the context, when it exists; otherwise (or with
    // the help-number display on) the number in a message box.
    void ShowHelp() override;

    // The open operation of files from the command line, the recent-file list, drops and the
    // open prompt.
    Document* OpenDocumentFile(const QString& path);
    int UpdateAllDocuments(Document* skip, int action, int argument);
    // Asks for a file name to save under (kind 2 scenery, 3 vehicles). path holds the proposed
    // name and receives the chosen one; question 303 before replacing an existing file.
    bool PromptForSaveName(QString& path, int kind);

    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;

    // The states of the lock keys for the status bar.
    LockKeyStates ReadLockKeys() const {
        return options_.lockKeys ? options_.lockKeys() : ReadPlatformLockKeys();
    }

    // A text for the user that has no number (help numbers, registration messages).
    void ShowInfo(const QString& title, const QString& text) override;

signals:
    void MouseModeChanged(zobl::MouseMode mode);
    void DrawingColoursChanged();

private:
    void RegisterTemplates();
    // false: the start ends.
    bool ProcessCommandLine(const QStringList& arguments);
    void OnFileNew();
    void OnFileOpen();
    void OnAppAbout();
    void DeleteClipboardFile();

    AppOptions options_;
    GeneralSettings settings_;
    std::unique_ptr<QtSettingsStore> store_;
    std::unique_ptr<CLanguageManager> language_;
    Palette palette_;
    CStackList stackList_;
    CClippy clipboard_;
    simimport::SimVehicleReader simReader_;
    RecentFileList recentFiles_;
    std::unique_ptr<MessageService> ownMessages_;
    MessageService* messages_ = nullptr;
    std::unique_ptr<DocManager> documents_;
    DocTemplate* sceneryTemplate_ = nullptr;
    DocTemplate* vehicleTemplate_ = nullptr;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::unique_ptr<CAutoApp> automation_;
    std::unique_ptr<CRecoveryKeeper> recovery_;
    DrawingChoices drawing_{settings_};
    std::unique_ptr<EditorServices> services_;
    int helpContext_ = 21051;
    bool helpNumberDisplay_ = false;
    QString fileFilter_ = QStringLiteral(
        "Alle ZOBL_GE-Dateien (*.gs;*.fgs)|*.gs;*.fgs|Grafik-Dateien (*.gs)|*.gs|Fahrzeug-Grafiken "
        "(*.fgs)|*.fgs|Alle Dateien (*.*)|*.*||");
    QBrush brushes_[3];
    bool exited_ = false;
    bool exitSaveFailureShown_ = false;
};

}  // namespace zobl
