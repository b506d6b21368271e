#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include <QFileDialog>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "DialogTestSupport.h"
#include "SceneryViewSupport.h"
#include "core/drawing/MouseMode.h"
#include "core/recovery/RecoveryFolder.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/VehicleDocument.h"
#include "gui/framework/CommandIds.h"
#include "gui/recovery/RecoveryDialog.h"
#include "gui/recovery/RecoveryKeeper.h"
#include "gui/vehicles/FGSDoc.h"

namespace zobl {
namespace {

namespace fs = std::filesystem;

constexpr MouseMode kFreehandMode = MouseMode::Freehand;

// Every copy file (.gs, .fgs) below the recovery root, whichever editor wrote it.
std::vector<std::string> CopyFiles(const QString& root) {
    std::vector<std::string> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root.toStdString(), error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const std::string extension = it->path().extension().string();
        if (extension == ".gs" || extension == ".fgs") {
            files.push_back(it->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

class Recovery : public ::testing::Test, public test::SceneryViewFixture {
protected:
    CRecoveryKeeper& Keeper() { return *app->Recovery(); }

    // What a crashed editor leaves: a process writes its copies and is killed.
    void CrashWithCopies(const SceneryDocument* scenery, const std::string& sceneryPath,
                         const VehicleDocument* vehicles) {
        const std::string root = RecoveryRoot().toStdString();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            recovery::RecoverySession session(root);
            if (scenery != nullptr) {
                session.WriteCopy(
                    1, {recovery::DocumentKind::Scenery, sceneryPath, "bruecke.gs", std::time(nullptr)},
                    [scenery](const std::string& path) { SaveGsFile(path, *scenery); });
            }
            if (vehicles != nullptr) {
                session.WriteCopy(2, {recovery::DocumentKind::Vehicles, "", "Fahrzeuge1", std::time(nullptr)},
                                  [vehicles](const std::string& path) { SaveFgsFile(path, *vehicles); });
            }
            ::raise(SIGKILL);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    }

    static void ClickButton(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Opens every copy the next offer shows; the texts of its entries arrive once it ran.
    static std::shared_ptr<QStringList> OpenAllOffered() {
        auto offered = std::make_shared<QStringList>();
        test::OnModal<CRecoveryDlg>([offered](CRecoveryDlg& dialog) {
            for (int row = 0; row < dialog.List()->count(); ++row) {
                *offered << dialog.List()->item(row)->text();
            }
            ClickButton(dialog.OpenButton());  // all are selected
        });
        return offered;
    }

    // The save prompt's proposal (folder and name), answered by accepting it or by cancel.
    struct Proposal {
        QString folder;
        QString name;
    };
    static std::shared_ptr<Proposal> AnswerSavePrompt(bool accept) {
        auto proposal = std::make_shared<Proposal>();
        test::OnModal<QFileDialog>([proposal, accept](QFileDialog& dialog) {
            proposal->folder = dialog.directory().absolutePath();
            proposal->name = QFileInfo(dialog.selectedFiles().value(0)).fileName();
            if (accept) {
                static_cast<QDialog&>(dialog).accept();
            } else {
                dialog.reject();
            }
        });
        return proposal;
    }

    std::vector<QMdiSubWindow*> Windows() const {
        const QList<QMdiSubWindow*> windows = app->MainFrame()->MdiArea()->subWindowList();
        return {windows.begin(), windows.end()};
    }
};

TEST_F(Recovery, ACopyFollowsTheEditsNeverHalfADragAndGoesWithTheSave) {
    recoveryIntervalMs = 50;
    OpenNewDocument();
    SetMode(MouseMode::Freehand);
    SetColours(17, 30);
    EXPECT_FALSE(Keeper().TimerRunning());  // nothing unsaved, nothing to keep

    // While the button is down the copy waits; it follows the release.
    Press(At(0, 0, 1, 1));
    Move(At(0, 0, 2, 1));
    ASSERT_TRUE(Keeper().TimerRunning());
    QTest::qWait(300);
    EXPECT_TRUE(Keeper().CopyPathOf(doc).isEmpty());
    Release(At(0, 0, 2, 1));
    QTRY_VERIFY_WITH_TIMEOUT(!Keeper().CopyPathOf(doc).isEmpty(), 3000);
    const QString copy = Keeper().CopyPathOf(doc);
    SceneryDocument read;
    ReadGsFile(copy.toStdString(), read);
    EXPECT_EQ(read.GetPixel(0, 0, 2, 1), 17);
    EXPECT_EQ(read.PixelStore().size(), Model().PixelStore().size());
    EXPECT_TRUE(std::equal(read.PixelStore().begin(), read.PixelStore().end(), Model().PixelStore().begin()));

    // A later edit reaches the copy with the next round.
    Drag(At(0, 0, 5, 5), {});
    QTRY_VERIFY_WITH_TIMEOUT((ReadGsFile(copy.toStdString(), read), read.GetPixel(0, 0, 5, 5) == 17), 3000);

    // Saved: the copy goes at once, and the keeper rests.
    const QString saved = QString::fromStdString(folder.File("saved.gs"));
    ASSERT_TRUE(doc->DoSave(saved));
    EXPECT_TRUE(Keeper().CopyPathOf(doc).isEmpty());
    EXPECT_EQ(CopyFiles(RecoveryRoot()), std::vector<std::string>{});
    EXPECT_FALSE(Keeper().TimerRunning());

    // An edit taken back by undo leaves nothing to keep either.
    Drag(At(0, 0, 7, 7), {});
    Keeper().WriteDueCopies();
    ASSERT_FALSE(Keeper().CopyPathOf(doc).isEmpty());
    Command(ID_EDIT_UNDO);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(CopyFiles(RecoveryRoot()), std::vector<std::string>{});

    // Closing without saving: the copy goes with the document, and the folder with the editor.
    Drag(At(0, 0, 8, 8), {});
    Keeper().WriteDueCopies();
    ASSERT_EQ(CopyFiles(RecoveryRoot()).size(), 1u);
    const std::string sessionFolder = Keeper().Session().Folder();
    messages.answers.push_back(kAnswerNo);
    Command(ID_FILE_CLOSE);
    ASSERT_EQ(app->Documents().DocumentCount(), 0u);
    EXPECT_EQ(CopyFiles(RecoveryRoot()), std::vector<std::string>{});
    EndApp();
    EXPECT_FALSE(fs::exists(sessionFolder));
}

TEST_F(Recovery, AfterACrashTheStartOpensTheCopiesUntitledAndTheirFirstSaveProposesTheOldFile) {
    SceneryDocument scenery;
    ASSERT_TRUE(scenery.SetPixel(3, 3, 1, 1, 23, kFreehandMode));
    scenery.SetAuthor("Anna");
    scenery.SetInfoText(
        "Br\xc3\xbc"
        "cke \xc3\xbc"
        "ber den Bach");
    VehicleDocument vehicles;
    ASSERT_TRUE(vehicles.AddVehicleSet("Zug", kFreehandMode));
    ASSERT_TRUE(vehicles.AddCar(0, 0, "Lok", "", "", 4, nullptr, kFreehandMode));
    ASSERT_TRUE(vehicles.SetPixel(0, 0, 1, 3, 2, 44, false, kFreehandMode));
    const std::string original = folder.File("bruecke.gs");
    SaveGsFile(original, SceneryDocument());  // the version on disk, older than the copy
    CrashWithCopies(&scenery, original, &vehicles);
    const std::vector<std::string> leftBehind = CopyFiles(RecoveryRoot());
    ASSERT_EQ(leftBehind.size(), 2u);

    QStringList offered;
    test::OnModal<CRecoveryDlg>([&](CRecoveryDlg& dialog) {
        for (int row = 0; row < dialog.List()->count(); ++row) {
            offered << dialog.List()->item(row)->text();
        }
        ClickButton(dialog.OpenButton());  // both are selected
    });
    StartApp({}, true);
    ASSERT_EQ(offered.size(), 2);
    EXPECT_TRUE(
        offered[0].startsWith(QStringLiteral("bruecke.gs \u2013 ") + QString::fromStdString(original)));
    EXPECT_TRUE(offered[1].startsWith(QStringLiteral("Fahrzeuge1 \u2013 nie gespeichert, Stand ")));

    ASSERT_EQ(app->Documents().DocumentCount(), 2u);
    auto* gs = dynamic_cast<CGSDoc*>(app->Documents().Documents()[0]);
    auto* fgs = dynamic_cast<CFGSDoc*>(app->Documents().Documents()[1]);
    ASSERT_TRUE(gs != nullptr && fgs != nullptr);
    // A copy is not the file: it has none, and its title says what it is, also after an edit.
    EXPECT_TRUE(gs->PathName().isEmpty());
    EXPECT_EQ(gs->Title(), QStringLiteral("bruecke.gs (wiederhergestellt)"));
    gs->UpdateAllViews(nullptr);
    EXPECT_EQ(gs->Title(), QStringLiteral("bruecke.gs (wiederhergestellt)"));
    EXPECT_TRUE(gs->IsModified());
    EXPECT_TRUE(std::equal(scenery.PixelStore().begin(), scenery.PixelStore().end(),
                           gs->Model().PixelStore().begin(), gs->Model().PixelStore().end()));
    EXPECT_EQ(gs->Model().Author(), "Anna");
    EXPECT_EQ(gs->Model().InfoText(), scenery.InfoText());
    EXPECT_TRUE(fgs->PathName().isEmpty());
    EXPECT_EQ(fgs->Title(), QStringLiteral("Fahrzeuge1 (wiederhergestellt)"));
    EXPECT_TRUE(fgs->IsModified());
    EXPECT_EQ(WriteFgs(fgs->Model()), WriteFgs(vehicles));

    // The old folder is gone; this editor keeps copies of its own.
    for (const std::string& file : leftBehind) {
        EXPECT_FALSE(fs::exists(fs::path(file).parent_path())) << file;
    }
    EXPECT_FALSE(Keeper().CopyPathOf(gs).isEmpty());
    EXPECT_FALSE(Keeper().CopyPathOf(fgs).isEmpty());

    // Saving proposes the original file and replaces it only after question 303.
    std::shared_ptr<Proposal> proposal = AnswerSavePrompt(true);
    messages.answers = {kAnswerYes};
    ASSERT_TRUE(gs->DoFileSave());
    EXPECT_EQ(proposal->folder, QString::fromStdString(folder.Path().string()));
    EXPECT_EQ(proposal->name, QStringLiteral("bruecke.gs"));
    ASSERT_EQ(messages.Numbers(), std::vector<int>{303});
    EXPECT_EQ(messages.entries[0].argument, QString::fromStdString(original));
    EXPECT_EQ(gs->PathName(), QString::fromStdString(original));
    EXPECT_EQ(gs->Title(), QStringLiteral("bruecke.gs"));
    SceneryDocument saved;
    ReadGsFile(original, saved);
    EXPECT_EQ(saved.GetPixel(3, 3, 1, 1), 23);
    EXPECT_EQ(saved.Author(), "Anna");
    EXPECT_FALSE(gs->IsModified());
    EXPECT_TRUE(Keeper().CopyPathOf(gs).isEmpty());
}

// A record that names some other file, or whose name is drawn in another order than it is
// stored, can neither make a save replace a file unasked nor show a misleading name.
TEST_F(Recovery, ACraftedRecordOpensUntitledAndShowsWhatItsNameHolds) {
    const std::string precious = folder.File("victim/precious.txt");
    fs::create_directories(folder.File("victim"));
    std::ofstream(precious) << "precious";
    // U+202E turns the rest around: without a mark it would read "bahnsg.cba".
    const std::string reversed = folder.File("bahn\u202Eabc.gs");
    const QString shownReversed = QString::fromStdString(folder.File("bahn<U+202E>abc.gs"));
    struct Case {
        std::string path;  // as the record has them
        std::string title;
        QString offered;   // how the entry starts
        QString window;    // the document window's title
        QString proposed;  // the name the save prompt proposes
    };
    const Case cases[] = {
        {precious, "precious.txt", QStringLiteral("precious.txt \u2013 nie gespeichert, Stand "),
         QStringLiteral("precious.txt (wiederhergestellt)"), QStringLiteral("precious.txt.gs")},
        {reversed, "bahn\u202Eabc.gs",
         QStringLiteral("bahn<U+202E>abc.gs \u2013 ") + shownReversed + ", Stand ",
         QStringLiteral("bahn<U+202E>abc.gs (wiederhergestellt)"), QStringLiteral("bahn\u202Eabc.gs")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        // A valid copy beside a crafted record.
        SceneryDocument scenery;
        CrashWithCopies(&scenery, "", nullptr);
        const std::vector<std::string> copies = CopyFiles(RecoveryRoot());
        ASSERT_EQ(copies.size(), 1u);
        std::ofstream(fs::path(copies[0]).replace_extension(".ini"), std::ios::binary | std::ios::trunc)
            << "[Recovery]\nKind=gs\nPath=\"" << c.path << "\"\nTitle=\"" << c.title << "\"\nSaved=1\n";
        messages.entries.clear();

        const std::shared_ptr<QStringList> offered = OpenAllOffered();
        StartApp({}, true);
        ASSERT_EQ(offered->size(), 1);
        EXPECT_TRUE(offered->front().startsWith(c.offered)) << offered->front().toStdString();
        ASSERT_EQ(app->Documents().DocumentCount(), 1u);
        Document* doc = app->Documents().Documents()[0];
        EXPECT_TRUE(doc->PathName().isEmpty());
        ASSERT_EQ(Windows().size(), 1u);
        // Unsaved work: the titles carry the modified mark.
        EXPECT_EQ(Windows()[0]->windowTitle(), c.window + QStringLiteral("[*]"));
        EXPECT_TRUE(Windows()[0]->isWindowModified());
        EXPECT_EQ(app->MainFrame()->windowTitle(),
                  QStringLiteral("ZOBL Graphic Editor - ") + c.window + QStringLiteral("[*]"));

        // "Speichern" asks where to; cancelled, nothing is written.
        const std::shared_ptr<Proposal> proposal = AnswerSavePrompt(false);
        Command(ID_FILE_SAVE);
        EXPECT_EQ(proposal->name, c.proposed);
        EXPECT_TRUE(doc->IsModified());
        EXPECT_TRUE(messages.entries.empty());
        messages.answers = {kAnswerNo};
        app->Settings().saveDsk = false;  // the next row starts without this document
        EndApp();
    }
    std::ifstream in(precious);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "precious");
    EXPECT_FALSE(fs::exists(reversed));
}

// The copy of a file that the desktop reopens unchanged takes that document's window, and the
// file's document goes: one window, and no doubt which version a save writes. A document changed
// in this session is never thrown away: the copy opens beside it, titled apart.
TEST_F(Recovery, ACopyOfAFileOpenUnchangedTakesItsWindowAndLeavesOneDocument) {
    const QString bahnhof = WriteSceneryFile("bahnhof.gs");
    StartApp({bahnhof}, true);
    CChildFrame* frame = app->MainFrame()->ActiveChildFrame();
    ASSERT_NE(frame, nullptr);
    frame->showNormal();
    frame->setGeometry(40, 30, 380, 260);
    const QRect placed = frame->geometry();
    EndApp();  // the desktop record lists bahnhof.gs in this window
    SceneryDocument changed;
    ASSERT_TRUE(changed.SetPixel(0, 0, 2, 2, 31, kFreehandMode));
    CrashWithCopies(&changed, bahnhof.toStdString(), nullptr);

    OpenAllOffered();
    StartApp({}, true);
    ASSERT_EQ(app->Documents().DocumentCount(), 1u);
    auto* recovered = dynamic_cast<CGSDoc*>(app->Documents().Documents()[0]);
    ASSERT_NE(recovered, nullptr);
    EXPECT_EQ(recovered->Title(), QStringLiteral("bahnhof.gs (wiederhergestellt)"));
    EXPECT_EQ(recovered->Model().GetPixel(0, 0, 2, 2), 31);
    QTRY_COMPARE_WITH_TIMEOUT(Windows().size(), 1u, 2000);
    EXPECT_EQ(Windows()[0]->geometry(), placed);

    auto* edited = static_cast<CGSDoc*>(app->OpenDocumentFile(bahnhof));
    ASSERT_NE(edited, nullptr);
    ASSERT_TRUE(edited->Model().SetPixel(0, 0, 4, 4, 9, kFreehandMode));
    edited->NotifyStateChanged();
    ASSERT_TRUE(edited->IsModified());
    CrashWithCopies(&changed, bahnhof.toStdString(), nullptr);
    OpenAllOffered();
    Keeper().OfferAbandonedCopies(nullptr);
    ASSERT_EQ(app->Documents().DocumentCount(), 3u);
    EXPECT_EQ(app->Documents().Documents()[1], edited);
    EXPECT_TRUE(edited->IsModified());
    EXPECT_EQ(app->Documents().Documents()[2]->Title(), QStringLiteral("bahnhof.gs (wiederhergestellt)"));
}

TEST_F(Recovery, DiscardAsksFirstAndLaterKeepsTheRestForTheNextStart) {
    SceneryDocument scenery;
    VehicleDocument vehicles;
    CrashWithCopies(&scenery, "", &vehicles);

    messages.answers = {kAnswerNo, kAnswerYes};
    int left = -1;
    test::OnModal<CRecoveryDlg>([&](CRecoveryDlg& dialog) {
        dialog.List()->clearSelection();
        dialog.List()->item(0)->setSelected(true);
        ClickButton(dialog.DiscardButton());  // "no": it stays
        ClickButton(dialog.DiscardButton());  // "yes": it goes
        left = dialog.List()->count();
        ClickButton(dialog.LaterButton());
    });
    StartApp();
    EXPECT_EQ(left, 1);
    ASSERT_EQ(messages.entries.size(), 2u);
    EXPECT_EQ(messages.entries[0].number, CRecoveryKeeper::kQuestionDiscard);
    EXPECT_EQ(messages.entries[0].argument, QStringLiteral("bruecke.gs"));
    EXPECT_EQ(app->Documents().DocumentCount(), 0u);
    const std::vector<std::string> kept = CopyFiles(RecoveryRoot());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(kept[0].ends_with("/2.fgs"));
    EndApp();

    // The next start offers what was kept.
    int offered = 0;
    test::OnModal<CRecoveryDlg>([&](CRecoveryDlg& dialog) {
        offered = dialog.List()->count();
        ClickButton(dialog.OpenButton());
    });
    StartApp();
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(app->Documents().DocumentCount(), 1u);
}

TEST_F(Recovery, TheTimeOfACopyIsWrittenTheWayOfTheLanguageFile) {
    VehicleDocument vehicles;
    const struct {
        const char* file;
        const char* entry;
    } cases[] = {
        {"zobl_ge.rtx", R"(^Fahrzeuge1 – nie gespeichert, Stand \d\d\.\d\d\.\d\d \d\d:\d\d$)"},
        {"zobl_ge.en.rtx", R"(^Fahrzeuge1 – never saved, as of \d\d/\d\d/\d{4} \d\d:\d\d$)"},
    };
    for (const auto& c : cases) {
        CrashWithCopies(nullptr, "", &vehicles);
        languageFile = (QCoreApplication::applicationDirPath() + "/" + c.file).toStdString();
        QString offered;
        messages.answers = {kAnswerYes};
        test::OnModal<CRecoveryDlg>([&](CRecoveryDlg& dialog) {
            offered = dialog.List()->item(0)->text();
            ClickButton(dialog.DiscardButton());
        });
        StartApp();
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(c.entry)).match(offered).hasMatch())
            << c.file << ": " << offered.toStdString();
        EndApp();
    }
}

TEST_F(Recovery, TwoEditorsAtOnceKeepTheirOwnCopies) {
    OpenNewDocument();
    SetMode(MouseMode::Freehand);
    Drag(At(0, 0, 1, 1), {});
    Keeper().WriteDueCopies();
    const QString firstCopy = Keeper().CopyPathOf(doc);
    ASSERT_FALSE(firstCopy.isEmpty());

    // A second editor starting now finds the first one's folder locked and offers nothing.
    test::AppFixture second;
    second.recoveryRoot = RecoveryRoot();
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<CRecoveryDlg*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "a running editor's copies were offered";
            dialog->reject();
        }
    });
    second.StartApp();
    QCoreApplication::processEvents();
    auto* other = static_cast<CGSDoc*>(second.app->Documents().NewDocument(*second.app->SceneryTemplate()));
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(other->Model().SetPixel(1, 0, 0, 0, 5, kFreehandMode));
    other->NotifyStateChanged();
    second.app->Recovery()->WriteDueCopies();
    const QString secondCopy = second.app->Recovery()->CopyPathOf(other);
    ASSERT_FALSE(secondCopy.isEmpty());

    EXPECT_NE(QFileInfo(firstCopy).absolutePath(), QFileInfo(secondCopy).absolutePath());
    EXPECT_TRUE(QFileInfo::exists(firstCopy));
    EXPECT_EQ(CopyFiles(RecoveryRoot()).size(), 2u);
    second.EndApp();
    EXPECT_FALSE(QFileInfo::exists(secondCopy));
    EXPECT_TRUE(QFileInfo::exists(firstCopy));
}

}  // namespace
}  // namespace zobl
