#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QSettings>

#include "GuiTestSupport.h"
#include "core/settings/SettingsStore.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandTable.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/Document.h"
#include "gui/framework/FrameTexts.h"
#include "gui/scenery/GSDoc.h"

namespace zobl {
namespace {

class App : public ::testing::Test, public test::AppFixture {
protected:
    // A file where the settings folder should be.
    void BlockSettingsFolder() {
        QDir().mkpath(QString::fromStdString(folder.File("config")));
        QFile blocker(QString::fromStdString(folder.File("config/ZOBL Graphics Editor")));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
};

TEST_F(App, FirstStartGivesEveryDefaultAndOpensNothing) {
    QLocale::setDefault(QLocale::c());
    CBug1App& app = StartApp();
    // Qt's own dialogs and dates in the shipped language file's language.
    EXPECT_EQ(QLocale(), QLocale(QLocale::German, QLocale::Germany));
    GeneralSettings expected;
    // The clipboard file never goes to the shared temporary folder, but to the runtime folder.
    expected.SetDefaultFolders(QDir::homePath().toStdString(), RuntimeFolder().toStdString() + "/zobl_ge/");
    EXPECT_EQ(app.Settings(), expected);
    EXPECT_EQ(app.Settings().openFolder.back(), '/');
    EXPECT_EQ(app.Documents().DocumentCount(), 0u);
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(app.GetMouseMode(), MouseMode::View);
    EXPECT_EQ(app.GetHelpContext(), 21051);
    EXPECT_FALSE(app.HelpNumberDisplay());
    EXPECT_EQ(app.GetPalette().DayNightState(), 0);
    EXPECT_EQ(app.MainFrame()->CurrentMenu(), app.MainFrame()->FrameMenu());
    EXPECT_EQ(app.Brush(CBug1App::BrushKind::SceneryView).color(), QColor(0, 0, 255));
    EXPECT_EQ(app.Brush(CBug1App::BrushKind::VehicleView).color(), QColor(140, 180, 200));
    // The filter of the prompts comes from the language file.
    EXPECT_FALSE(app.FileFilter().contains(QStringLiteral("__RTX__")));
    EXPECT_TRUE(app.FileFilter().contains(QStringLiteral("*.gs")));
    // The two kinds, told apart by their names, in registration order.
    ASSERT_EQ(app.Documents().Templates().size(), 2u);
    EXPECT_EQ(app.Documents().Templates()[0]->DocumentName(), QStringLiteral("Nutzerdefinierte Grafiken"));
    EXPECT_EQ(app.Documents().Templates()[1]->DocumentName(), QStringLiteral("Nutzerdefinierte Fahrzeuge"));
}

TEST_F(App, SavedOptionsSurviveARestart) {
    CBug1App& app = StartApp();
    app.Settings().color1 = 44;
    app.Settings().fontFace = "DejaVu Sans";
    app.Settings().gsvBg = {1, 2, 3};
    app.Settings().singleUndo = true;
    app.Settings().openFolder = "/srv/grafiken/";
    EXPECT_TRUE(Command(ID_OPTIONS_SAVE));
    EndApp();

    // The file keeps the section and key names.
    const QString text = SettingsText();
    EXPECT_TRUE(text.contains(QStringLiteral("[General]")));
    EXPECT_TRUE(text.contains(QStringLiteral("COLOR1=44")));
    EXPECT_TRUE(text.contains(QStringLiteral("GSV_BG_B=3")));
    EXPECT_TRUE(text.contains(QStringLiteral("[MAINWINDOW]")));

    CBug1App& again = StartApp();
    EXPECT_EQ(again.GetColor1(), 44);
    EXPECT_EQ(again.Settings().fontFace, "DejaVu Sans");
    EXPECT_EQ(again.Settings().gsvBg, (Rgb{1, 2, 3}));
    EXPECT_TRUE(again.Settings().singleUndo);
    EXPECT_EQ(again.Settings().openFolder, "/srv/grafiken/");
}

TEST_F(App, SavingOptionsWhereTheyCannotBeWrittenReportsError3) {
    BlockSettingsFolder();
    StartApp();
    messages.entries.clear();
    EXPECT_TRUE(Command(ID_OPTIONS_SAVE));
    ASSERT_EQ(messages.Numbers(), std::vector<int>{3});
    EXPECT_EQ(messages.entries[0].argument, SettingsFile());
}

// The desktop and the recent files that cannot be kept are not lost without a word.
TEST_F(App, SettingsThatCannotBeWrittenAtExitAreReportedOnceOverTheMainWindow) {
    BlockSettingsFolder();
    StartApp({WriteSceneryFile("a.gs")}, true);
    messages.entries.clear();
    std::vector<bool> windowShown;
    messages.whileShown = [&] { windowShown.push_back(app->MainFrame()->isVisible()); };
    EndApp();
    ASSERT_EQ(messages.Numbers(), std::vector<int>{3});
    EXPECT_EQ(messages.entries[0].argument, SettingsFile());
    EXPECT_EQ(windowShown, std::vector<bool>{true});
}

TEST_F(App, ChangesAreKeptAtExitOnlyWithAutoSaveOptions) {
    StartApp().Settings().color2 = 7;
    EndApp();
    CBug1App& second = StartApp();
    EXPECT_EQ(second.GetColor2(), 0);
    second.Settings().autoSaveOptions = true;
    second.Settings().color2 = 7;
    EndApp();
    CBug1App& third = StartApp();
    EXPECT_EQ(third.GetColor2(), 7);
    EXPECT_TRUE(third.Settings().autoSaveOptions);
}

TEST_F(App, StoredColourComponentsKeepTheirLowEightBits) {
    {
        QSettings ini(SettingsFile(), QSettings::IniFormat);
        ini.setValue("TRANSCOL_R", 300);
        ini.setValue("MDIBCK_G", 511);
    }
    CBug1App& app = StartApp();
    EXPECT_EQ(app.Settings().transCol, (Rgb{44, 112, 0}));
    EXPECT_EQ(app.Settings().mdiBck, (Rgb{128, 255, 128}));
}

// Earlier versions stored the shared temporary folder as the clipboard file's folder.
TEST_F(App, StoredSharedTemporaryFolderGivesWayToThePrivateOne) {
    const std::pair<QString, std::string> cases[] = {
        {QStringLiteral("/tmp/"), RuntimeFolder().toStdString() + "/zobl_ge/"},
        {QStringLiteral("/tmp"), RuntimeFolder().toStdString() + "/zobl_ge/"},
        {QDir::tempPath() + "/", RuntimeFolder().toStdString() + "/zobl_ge/"},
        {QStringLiteral("/home/ann/clip/"), "/home/ann/clip/"},
    };
    for (const auto& [stored, loaded] : cases) {
        {
            QSettings ini(SettingsFile(), QSettings::IniFormat);
            ini.setValue("TMPPATH", stored);
        }
        EXPECT_EQ(StartApp().Settings().tmpPath, loaded) << stored.toStdString();
        app.reset();
    }
}

TEST_F(App, MarkTransCol2StaysOutOfTheStore) {
    CBug1App& app = StartApp();
    Command(ID_OPTIONS_SAVE);
    EXPECT_FALSE(app.Store().Contains("General", "MARKTRANSCOL2_R"));
    EXPECT_TRUE(app.Store().Contains("General", "MARKTRANSCOL3_R"));
    EndApp();
    EXPECT_FALSE(SettingsText().contains(QStringLiteral("MARKTRANSCOL2")));
}

TEST_F(App, AMissingFileOnTheCommandLineEndsTheStartWithError1) {
    const QString missing = QString::fromStdString(folder.File("weg.gs"));
    CBug1App& app = MakeApp(true);
    EXPECT_FALSE(app.InitInstance({missing}));
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].number, 1);
    EXPECT_EQ(messages.entries[0].argument, missing);
    EXPECT_FALSE(messages.entries[0].question);
    EXPECT_FALSE(app.MainFrame()->isVisible());
    EXPECT_EQ(app.Documents().DocumentCount(), 0u);
}

TEST_F(App, SeveralFilesOnTheCommandLineOpenEachTheStartEndsOnlyWhenNoWindowIsOpen) {
    const QString a = WriteSceneryFile("a.gs");
    const QString b = WriteSceneryFile("b.gs");
    const QString missing = QString::fromStdString(folder.File("weg.gs"));
    const QString other = QString::fromStdString(folder.File("auch-weg.gs"));
    const QString damaged = WriteSceneryFile("kaputt.gs");
    ASSERT_TRUE(QFile::resize(damaged, 30));  // cut in its dimensions: nothing to offer
    struct Case {
        QStringList restored;  // the windows of the desktop the last session left
        QStringList files;
        bool starts;
        std::size_t documents;
        std::vector<int> errors;
    };
    const Case cases[] = {
        {{}, {a, b}, true, 2, {}},
        {{}, {a, missing, b}, true, 2, {1}},
        {{}, {missing, other}, false, 0, {1, 1}},
        {{}, {damaged}, false, 0, {4}},
        {{a}, {damaged}, true, 1, {4}},
        {{a}, {missing}, true, 1, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files.join(QLatin1Char(' ')).toStdString());
        if (!c.restored.isEmpty()) {
            MakeApp().InitInstance(c.restored);
            EndApp();
        }
        messages.entries.clear();
        CBug1App& app = MakeApp();
        EXPECT_EQ(app.InitInstance(c.files), c.starts);
        EXPECT_EQ(app.Documents().DocumentCount(), c.documents);
        EXPECT_EQ(messages.Numbers(), c.errors);
        EndApp();
        QFile::remove(SettingsFile());  // no desktop of this case in the next
    }
}

TEST_F(App, TheCommandLineOpensOneFile) {
    const QString path = WriteSceneryFile("bahnhof.gs");
    // Qt's own arguments are gone by now; the framework's switches change nothing here.
    CBug1App& app = StartApp({QStringLiteral("/Automation"), path});
    ASSERT_EQ(app.Documents().DocumentCount(), 1u);
    Document* document = app.MainFrame()->ActiveDocument();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->PathName(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(app.RecentFiles().Files().front(), QFileInfo(path).absoluteFilePath().toStdString());
    EXPECT_EQ(static_cast<CGSDoc*>(document)->Model().GetPixel(3, 3, 1, 1), 23);
}

TEST_F(App, APrintRequestOpensTheFileAndEndsTheStart) {
    const QString path = WriteSceneryFile("druck.gs");
    CBug1App& app = MakeApp();
    EXPECT_FALSE(app.InitInstance({QStringLiteral("/p"), path}));
    EXPECT_EQ(app.Documents().DocumentCount(), 1u);
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(App, UnregisterRemovesTheSettings) {
    StartApp();
    Command(ID_OPTIONS_SAVE);
    EndApp();
    ASSERT_TRUE(QFileInfo::exists(SettingsFile()));
    CBug1App& again = MakeApp();
    EXPECT_FALSE(again.InitInstance({QStringLiteral("-Unregserver")}));
    EXPECT_FALSE(QFileInfo::exists(SettingsFile()));
    ASSERT_EQ(infoBoxes.size(), 1);
    EXPECT_TRUE(infoBoxes[0].contains(QStringLiteral("wurden entfernt")));
}

TEST_F(App, ExitDeletesTheClipboardFile) {
    CBug1App& app = StartApp();
    const QString clipboard = app.ClipboardFilePath();
    EXPECT_EQ(clipboard, RuntimeFolder() + "/zobl_ge/zobl_ge.clipboard");
    app.Clipboard().Set(0, 0, 56);
    app.Clipboard().SetSize(1, 1);
    app.Clipboard().WriteFile(clipboard.toStdString());
    ASSERT_TRUE(QFileInfo::exists(clipboard));
    EndApp();
    EXPECT_FALSE(QFileInfo::exists(clipboard));
    // A link planted at the name is left alone, and so is what it leads to.
    const QString precious = QString::fromStdString(folder.File("precious"));
    QFile(precious).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(precious, clipboard));
    StartApp();
    EndApp();
    EXPECT_TRUE(QFileInfo(clipboard).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(precious));
}

TEST_F(App, NextMouseModeCyclesThroughAllTenAndRemembersBeforeThePipette) {
    CBug1App& app = StartApp();
    app.SetMouseMode(MouseMode::Zoom);
    Command(ID_NEXT_MOUSE_MODE);
    EXPECT_EQ(app.GetMouseMode(), MouseMode::View);

    app.SetMouseMode(MouseMode::Mark);
    Command(ID_NEXT_MOUSE_MODE);
    EXPECT_EQ(app.GetMouseMode(), MouseMode::PickColor);
    EXPECT_EQ(app.PreviousMouseMode(), MouseMode::Mark);
    // Choosing the pipette again keeps the first remembered mode.
    Command(ID_MODE_PICK_COLOUR);
    EXPECT_EQ(app.PreviousMouseMode(), MouseMode::Mark);
    EXPECT_EQ(app.SetMouseMode(MouseMode::Line), MouseMode::PickColor);

    // The mode commands form a radio group that follows the current mode.
    for (int mode = 0; mode < 10; ++mode) {
        Command(kMouseModeCommands[mode]);
        EXPECT_EQ(static_cast<int>(app.GetMouseMode()), mode);
        for (int other = 0; other < 10; ++other) {
            EXPECT_EQ(Action(kMouseModeCommands[other])->isChecked(), other == mode) << mode << " " << other;
        }
    }
}

TEST_F(App, ColourChangesCloseTheActiveUndoGroupWithUndoByColorChange) {
    CBug1App& app = StartApp({WriteSceneryFile("a.gs")});
    auto* document = static_cast<CGSDoc*>(app.MainFrame()->ActiveDocument());
    ASSERT_NE(document, nullptr);
    SceneryDocument& model = document->Model();
    int repaints = 0;
    QObject::connect(&app, &CBug1App::DrawingColoursChanged, [&] { ++repaints; });

    model.SetPixel(0, 3, 0, 0, 5, MouseMode::Freehand);
    ASSERT_EQ(model.OpenUndoGroup(), MouseMode::Freehand);
    EXPECT_EQ(app.SetColor1(30), 15);  // UNDOBYCOLORCHANGE is off
    EXPECT_EQ(model.OpenUndoGroup(), MouseMode::Freehand);
    EXPECT_EQ(repaints, 1);

    app.Settings().undoByColorChange = true;
    EXPECT_EQ(app.SetColor2(30), 0);
    EXPECT_EQ(model.OpenUndoGroup(), std::nullopt);
    EXPECT_EQ(repaints, 2);

    // The same colour again changes nothing.
    model.SetPixel(0, 3, 0, 0, 6, MouseMode::Freehand);
    EXPECT_EQ(app.SetColor1(30), 30);
    EXPECT_EQ(model.OpenUndoGroup(), MouseMode::Freehand);
    EXPECT_EQ(repaints, 2);
    EXPECT_EQ(app.GetColor1(), 30);
    EXPECT_EQ(app.GetColor2(), 30);
}

TEST_F(App, ColourChangesWithoutDocumentsOnlyRepaint) {
    CBug1App& app = StartApp();
    app.Settings().undoByColorChange = true;
    int repaints = 0;
    QObject::connect(&app, &CBug1App::DrawingColoursChanged, [&] { ++repaints; });
    app.SetColor1(3);
    EXPECT_EQ(repaints, 1);
}

TEST_F(App, HelpOpensTheManualAtTheContextOrShowsTheNumber) {
    CBug1App& app = StartApp();
    // No manual: the number in a message box.
    Command(ID_HELP);
    ASSERT_EQ(infoBoxes.size(), 1);
    EXPECT_EQ(infoBoxes[0], QStringLiteral("HELP: Help ID = 21051 (0x0000523b | ID_21051)"));

    QDir().mkpath(QFileInfo(helpFile).absolutePath());
    QFile manual(helpFile);
    ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
    manual.close();
    app.SetHelpContext(2090);
    Command(ID_HELP);
    ASSERT_EQ(openedUrls.size(), 1);
    EXPECT_EQ(openedUrls[0].toLocalFile(), QFileInfo(helpFile).absoluteFilePath());
    EXPECT_EQ(openedUrls[0].fragment(), QStringLiteral("2090"));
    // Help topics start again at the first page.
    Command(ID_HELP_FINDER);
    EXPECT_EQ(openedUrls.back().fragment(), QStringLiteral("21051"));

    // With the number display on, the box wins over the manual.
    app.SetHelpNumberDisplay(true);
    app.SetHelpContext(60001);
    Command(ID_HELP);
    EXPECT_EQ(infoBoxes.back(), QStringLiteral("HELP: Help ID = 60001 (0x0000ea61 | ID_60001)"));
    EXPECT_EQ(openedUrls.size(), 2);
}

TEST_F(App, RecentFilesStayListedUntilOneFailsToOpen) {
    const QString kept = WriteSceneryFile("bleibt.gs");
    const QString gone = WriteSceneryFile("weg.gs");
    {
        CBug1App& app = StartApp();
        app.OpenDocumentFile(gone);
        app.OpenDocumentFile(kept);
        EndApp();
    }
    // As a file on a disk that is not mounted now.
    QFile::remove(gone);
    CBug1App& app = StartApp();
    ASSERT_EQ(app.RecentFiles().Files().size(), 2u);

    QMenu* file = app.MainFrame()->FrameMenu()->actions().front()->menu();
    const auto entries = [&] {
        emit file->aboutToShow();
        QStringList texts;
        for (QAction* action : file->actions()) {
            const int id = test::CommandNumber(action);
            if (action->isVisible() && id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_LAST) {
                texts << action->text();
            }
        }
        return texts;
    };
    // Showing the menu (twice) drops nothing.
    for (int shown = 0; shown < 2; ++shown) {
        const QStringList texts = entries();
        ASSERT_EQ(texts.size(), 2);
        EXPECT_TRUE(texts[0].startsWith(QStringLiteral("&1 ")) &&
                    texts[0].endsWith(QStringLiteral("bleibt.gs")));
        EXPECT_TRUE(texts[1].startsWith(QStringLiteral("&2 ")) &&
                    texts[1].endsWith(QStringLiteral("weg.gs")));
    }
    // Choosing the missing one reports it and then drops it; the other one opens.
    messages.entries.clear();
    EXPECT_TRUE(Command(RecentFileCommand(1)));
    ASSERT_EQ(messages.Numbers(), std::vector<int>{1});
    EXPECT_EQ(messages.entries[0].argument, QFileInfo(gone).absoluteFilePath());
    EXPECT_EQ(app.RecentFiles().Files(),
              std::vector<std::string>{QFileInfo(kept).absoluteFilePath().toStdString()});
    EXPECT_EQ(entries().size(), 1);
    EXPECT_TRUE(Command(ID_FILE_MRU_FILE1));
    EXPECT_EQ(app.Documents().DocumentCount(), 1u);
    EXPECT_FALSE(Action(RecentFileCommand(1))->isEnabled());
}

TEST_F(App, ClosingTheMainWindowAsksAboutModifiedDocumentsAndRecordsTheWindow) {
    CBug1App& app = StartApp({WriteSceneryFile("a.gs")}, true);
    auto* document = static_cast<CGSDoc*>(app.MainFrame()->ActiveDocument());
    document->Model().SetPixel(0, 3, 0, 0, 5, MouseMode::Freehand);
    document->NotifyStateChanged();
    ASSERT_TRUE(document->IsModified());

    EXPECT_FALSE(app.MainFrame()->close());  // question 304 answered with cancel
    EXPECT_EQ(messages.Numbers(), (std::vector<int>{304}));
    EXPECT_EQ(app.Documents().DocumentCount(), 1u);
    // The tool bar layout was recorded before the question.
    EXPECT_TRUE(app.Store().ReadBinary(CMainFrame::kControlBarsSection, "State").has_value());

    messages.answers = {kAnswerNo};
    EXPECT_TRUE(app.MainFrame()->close());
    EXPECT_EQ(app.Documents().DocumentCount(), 0u);
    EXPECT_EQ(app.Store().ReadInt(CMainFrame::kWindowSection, "SX", 0), app.MainFrame()->width());
    EXPECT_EQ(app.Store().ReadInt(CMainFrame::kWindowSection, "X", -1), 0);
    EXPECT_EQ(app.Store().ReadInt(CMainFrame::kWindowSection, "ZOOMED", -1), 0);
}

}  // namespace
}  // namespace zobl
