#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QUrl>

#include "core/common/TestTempFolder.h"
#include "core/scenery/GsFile.h"
#include "core/scenery/SceneryDocument.h"
#include "gui/app/Bug1App.h"
#include "gui/app/MainFrame.h"
#include "gui/framework/MessageService.h"

namespace zobl::test {

// Collects the warnings logged while it lives (from any thread; read them once it is quiet).
class LoggedWarnings {
public:
    LoggedWarnings() : previous_(qInstallMessageHandler(&Record)) { Lines().clear(); }
    ~LoggedWarnings() { qInstallMessageHandler(previous_); }
    static QStringList& Lines() {
        static QStringList lines;
        return lines;
    }

private:
    static void Record(QtMsgType type, const QMessageLogContext&, const QString& text) {
        static std::mutex guard;
        const std::lock_guard lock(guard);
        if (type == QtWarningMsg) {
            Lines() << text;
        }
    }
    QtMessageHandler previous_;
};

// Stands in for the error and question dialogs: records every call, answers from a queue
// (cancel when it is empty).
class RecordingMessages : public MessageService {
public:
    struct Entry {
        int number;
        QString argument;
        bool question;
    };

    void ShowError(int number, const QString& argument, QWidget*) override {
        entries.push_back({number, argument, false});
        if (whileShown) {
            whileShown();
        }
    }
    int AskQuestion(int number, const QString& argument, QWidget*) override {
        entries.push_back({number, argument, true});
        if (answers.empty()) {
            return kAnswerCancel;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<int> Numbers() const {
        std::vector<int> numbers;
        for (const Entry& entry : entries) {
            numbers.push_back(entry.number);
        }
        return numbers;
    }

    std::vector<Entry> entries;
    std::deque<int> answers;
    // Runs while an error is "on the screen", as a modal dialog's loop would.
    std::function<void()> whileShown;
};

// A settings folder of its own (XDG_CONFIG_HOME) and an application whose dialogs, message
// boxes and browser calls are recorded instead of shown.
// The number of the command an action stands for, 0 for none (separators, submenus).
inline int CommandNumber(const QAction* action) {
    const std::optional<CommandId> id = CommandRouter::CommandOf(action);
    return id ? int(*id) : 0;
}

class AppFixture {
public:
    AppFixture() {
        previousConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", folder.File("config").c_str());
        // The clipboard file's folder: a runtime folder of the test's own.
        previousRuntime_ = qgetenv("XDG_RUNTIME_DIR");
        QDir().mkpath(RuntimeFolder());
        QFile::setPermissions(RuntimeFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", RuntimeFolder().toLocal8Bit());
    }
    ~AppFixture() {
        app.reset();
        qputenv("XDG_CONFIG_HOME", previousConfig_);
        qputenv("XDG_RUNTIME_DIR", previousRuntime_);
    }

    QString RuntimeFolder() const { return QString::fromStdString(runtime_.Path().string()); }

    CBug1App& MakeApp(bool show = false) {
        AppOptions options;
        options.messages = &messages;
        options.showMainWindow = show;
        options.infoBox = [this](const QString& title, const QString& text) {
            infoBoxes << title + ": " + text;
        };
        options.openUrl = [this](const QUrl& url) {
            openedUrls << url;
            return true;
        };
        options.helpFile = helpFile;
        options.lockKeys = lockKeys;
        options.automation = false;  // tests offer it on a bus of their own
        options.recoveryRoot = recoveryRoot.isEmpty() ? RecoveryRoot() : recoveryRoot;
        options.recoveryIntervalMs = recoveryIntervalMs;
        if (!languageFile.empty()) {
            options.languageFile = languageFile;
        }
        options.findData = findData;
        options.environment = environment;
        app = std::make_unique<CBug1App>(options);
        return *app;
    }
    CBug1App& StartApp(const QStringList& arguments = {}, bool show = false) {
        CBug1App& started = MakeApp(show);
        EXPECT_TRUE(started.InitInstance(arguments));
        return started;
    }
    // Shown and the active window: focus moves only inside the active window. False when the
    // window manager never made it active.
    bool StartActiveApp(const QStringList& arguments = {}) {
        StartApp(arguments, true);
        app->MainFrame()->activateWindow();
        return QTest::qWaitForWindowActive(app->MainFrame());
    }
    // Ends the application as main() does.
    void EndApp() {
        if (app) {
            if (app->MainFrame() != nullptr) {
                app->MainFrame()->close();
            }
            app->ExitInstance();
            app.reset();
        }
    }

    QString RecoveryRoot() const { return QString::fromStdString(folder.File("state/zobl_ge/recovery")); }

    QString SettingsFile() const {
        return QString::fromStdString(folder.File("config")) +
               "/ZOBL Graphics Editor/ZOBL Graphic Editor.ini";
    }
    QString SettingsText() const {
        QFile file(SettingsFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // A scenery file with one drawn pixel, written by the core.
    QString WriteSceneryFile(const std::string& name) {
        SceneryDocument doc;
        doc.SetPixel(3, 3, 1, 1, 23, MouseMode::Freehand);
        const std::string path = folder.File(name);
        SaveGsFile(path, doc);
        return QString::fromStdString(path);
    }

    QAction* Action(CommandId id) { return app->MainFrame()->Router().Action(id); }
    bool Command(CommandId id) {
        const bool handled = app->MainFrame()->Router().Execute(id);
        QCoreApplication::processEvents();
        return handled;
    }

    TempFolder folder;

private:
    TempFolder runtime_;  // the clipboard file's folder, apart from the test's files

public:
    RecordingMessages messages;
    QStringList infoBoxes;
    QList<QUrl> openedUrls;
    QString helpFile = QString::fromStdString(folder.File("help/index.html"));
    LockKeyReader lockKeys;    // nullptr: the platform's (nothing, offscreen)
    std::string languageFile;  // empty: the one the "Sprache" setting chooses
    DataFinder findData;       // nullptr: the shipped files beside the executable
    // "Automatisch" reads this, not the machine's locale: German unless a test says otherwise.
    EnvironmentLookup environment = [](const char*) -> const char* { return nullptr; };
    QString recoveryRoot;  // empty: RecoveryRoot()
    int recoveryIntervalMs = 30'000;
    std::unique_ptr<CBug1App> app;

private:
    QByteArray previousConfig_;
    QByteArray previousRuntime_;
};

}  // namespace zobl::test
