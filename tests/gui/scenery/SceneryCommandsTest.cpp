#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

#include "SceneryViewSupport.h"
#include "core/scenery/GsFile.h"
#include "gui/framework/DocManager.h"
#include "gui/widgets/EditInfoText.h"

namespace zobl {
namespace {

class SceneryCommands : public ::testing::Test, public test::SceneryViewFixture {
protected:
    void SetUp() override { OpenNewDocument(); }

    // Column X of lines y0..y1 gets the values 1, 2, 3, ...
    void Ramp(int X, int y0, int y1) {
        auto store = Model().PixelStoreForLoading();
        for (int y = y0; y <= y1; ++y) {
            store[scenery::StoreOffset(X, y)] = PaletteIndex(1 + y - y0);
        }
        Model().RefreshBitmap();
    }
    std::vector<std::uint8_t> Store() {
        const auto store = Model().PixelStore();
        return {store.begin(), store.end()};
    }
};

TEST_F(SceneryCommands, MirrorsExchangeLinePairsAndKeepTheMiddleOfAnOddHeight) {
    Ramp(40, 50, 53);  // even height: 1 2 3 4
    Ramp(41, 50, 54);  // odd height: 1 2 3 4 5, in a marking of its own
    view->SetMarkedArea(MarkedArea::Between({39, 50}, {40, 53}));
    Command(ID_MIRROR_VERTICAL);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Pixel(40, 50 + i), 4 - i);
    }
    EXPECT_EQ(Pixel(41, 50), 1);  // outside the marking
    view->SetMarkedArea(MarkedArea::Between({41, 50}, {42, 54}));
    Command(ID_MIRROR_VERTICAL);
    EXPECT_EQ(Pixel(41, 50), 5);
    EXPECT_EQ(Pixel(41, 52), 3);  // the middle line stays
    EXPECT_EQ(Pixel(41, 54), 1);
    // Horizontally: the columns change places.
    SetAbsolute(100, 60, 7);
    view->SetMarkedArea(MarkedArea::Between({100, 60}, {104, 61}));
    const PaletteIndex right = Pixel(104, 60);
    Command(ID_MIRROR_HORIZONTAL);
    EXPECT_EQ(Pixel(104, 60), 7);
    EXPECT_EQ(Pixel(100, 60), right);
    // The transforms of one mouse mode are one undo step.
    EXPECT_EQ(Model().UndoCount(), 1);
}

TEST_F(SceneryCommands, FourShiftsEachWayRestoreThePicture) {
    SetAbsolute(200, 50, 7);
    view->SetMarkedArea(MarkedArea::Between({198, 49}, {203, 55}));
    const std::vector<std::uint8_t> original = Store();
    Command(ID_ROTATE_RIGHT);
    EXPECT_EQ(Pixel(201, 50), 7);
    // The right column wraps to the left.
    const PaletteIndex last = original[scenery::StoreOffset(203, 52)];
    EXPECT_EQ(Pixel(198, 52), last);
    for (int i = 0; i < 3; ++i) {
        Command(ID_ROTATE_RIGHT);
    }
    for (int i = 0; i < 4; ++i) {
        Command(ID_ROTATE_LEFT);
    }
    EXPECT_EQ(Store(), original);
    Command(ID_ROTATE_DOWN);
    EXPECT_EQ(Pixel(200, 51), 7);
    EXPECT_EQ(Pixel(199, 49), original[scenery::StoreOffset(199, 55)]);
    for (int i = 0; i < 3; ++i) {
        Command(ID_ROTATE_DOWN);
    }
    for (int i = 0; i < 4; ++i) {
        Command(ID_ROTATE_UP);
    }
    EXPECT_EQ(Store(), original);
}

TEST_F(SceneryCommands, WithoutAMarkingTheWholeStoreTurnsHiddenRowsIncluded) {
    app->Settings().singleUndo = true;
    // A marking of 1 x 5 pixels counts as none.
    view->SetMarkedArea(MarkedArea::Between({10, 10}, {10, 14}));
    SetAbsolute(0, 79, 7);    // row 4, absent
    SetAbsolute(1151, 0, 8);  // row 0, absent
    Command(ID_ROTATE_DOWN);
    EXPECT_EQ(Pixel(0, 0), 7);
    EXPECT_EQ(Pixel(1151, 1), 8);
    EXPECT_TRUE(doc->IsModified());
    Command(ID_MIRROR_HORIZONTAL);
    EXPECT_EQ(Pixel(1151, 0), 7);
    Command(ID_MIRROR_HORIZONTAL);
    EXPECT_EQ(Model().UndoCount(), 3);  // each transform its own step under SINGLEUNDO
    for (int i = 0; i < 3; ++i) {
        Command(ID_EDIT_UNDO);
    }
    EXPECT_EQ(Pixel(0, 79), 7);
    EXPECT_EQ(Pixel(1151, 0), 8);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(SceneryCommands, SelectAllMarksTheWholeStore) {
    EXPECT_FALSE(view->WantsTicks());
    Command(ID_EDIT_SELECT_ALL);
    EXPECT_EQ(view->Marked().Rect(), (PixelRect{0, 0, 1151, 79}));
    EXPECT_TRUE(view->WantsTicks());
    EXPECT_TRUE(app->MainFrame()->IsTickTimerActive());
}

TEST_F(SceneryCommands, TheContextMenuRemovesRowsByTheRules) {
    bool shown = false;
    bool enabled = false;
    bool choose = false;
    QString text;
    view->SetPopupRunner([&](QMenu& menu, const QPoint&) {
        shown = true;
        ASSERT_EQ(menu.actions().size(), 1);
        QAction* item = menu.actions().constFirst();
        enabled = item->isEnabled();
        text = item->text();
        if (choose) {
            item->trigger();
        }
    });
    app->Settings().symbolDistance = 4;
    doc->UpdateDoc(8, 0);
    view->SetZoom(2);
    for (const int row : {2, 1, 0}) {
        ASSERT_EQ(Model().AddRow(3, row, scenery::kAddRowCheckRules), 0);
    }
    SetMode(MouseMode::View);
    const auto rightClick = [&](QPoint p) {
        shown = false;
        Click(p, Qt::RightButton);
        EXPECT_TRUE(shown);
    };
    rightClick(At(3, 1, 4, 4));
    EXPECT_EQ(text, QStringLiteral("Teilsymbol &löschen"));
    EXPECT_FALSE(enabled);  // row 0 still above it
    rightClick(At(3, 3, 4, 4));
    EXPECT_FALSE(enabled);  // the base row never goes
    rightClick(InGapBefore(3, 3));
    EXPECT_FALSE(enabled);
    rightClick(At(4, 2, 4, 4));
    EXPECT_FALSE(enabled);  // absent
    choose = true;
    rightClick(At(3, 0, 4, 4));
    EXPECT_TRUE(enabled);
    EXPECT_FALSE(Model().IsRowPresent(3, 0));
    rightClick(At(3, 1, 4, 4));
    EXPECT_TRUE(enabled);
    EXPECT_FALSE(Model().IsRowPresent(3, 1));
    EXPECT_TRUE(Model().IsRowPresent(3, 2));
    // Only in mode 0.
    SetMode(MouseMode::Freehand);
    shown = false;
    Click(At(3, 2, 4, 4), Qt::RightButton);
    EXPECT_FALSE(shown);

    // Removing a row keeps its pixels: adding it again shows them.
    SetMode(MouseMode::View);
    const PaletteIndex hidden = 42;
    SetAbsolute(3 * 32 + 5, 2 * 16 + 5, hidden);
    rightClick(At(3, 2, 4, 4));
    EXPECT_FALSE(Model().IsRowPresent(3, 2));
    DoubleClick(At(3, 2, 4, 4));
    EXPECT_TRUE(Model().IsRowPresent(3, 2));
    EXPECT_EQ(Shown(Render(), {3, 2, 5, 5}), PaletteColour(hidden));
}

TEST_F(SceneryCommands, UndoAndRedoFollowTheirStates) {
    QCoreApplication::processEvents();
    EXPECT_FALSE(Action(ID_EDIT_UNDO)->isEnabled());
    EXPECT_FALSE(Action(ID_EDIT_REDO)->isEnabled());
    SetMode(MouseMode::Freehand);
    SetColours(17, 30);
    Click(At(0, 3, 1, 1));
    QCoreApplication::processEvents();
    EXPECT_TRUE(Action(ID_EDIT_UNDO)->isEnabled());
    Command(ID_EDIT_UNDO);
    EXPECT_FALSE(Action(ID_EDIT_UNDO)->isEnabled());
    EXPECT_TRUE(Action(ID_EDIT_REDO)->isEnabled());
    EXPECT_FALSE(doc->IsModified());
    Command(ID_EDIT_REDO);
    EXPECT_EQ(Pixel(1, 49), 17);
    EXPECT_TRUE(doc->IsModified());
    // A new stroke after redo: the redo is gone.
    Click(At(0, 3, 2, 2));
    QCoreApplication::processEvents();
    EXPECT_FALSE(Action(ID_EDIT_REDO)->isEnabled());
}

// ---- Document commands --------------------------------------------------------------------------

TEST_F(SceneryCommands, ExportAsksBeforeReplacingAndRemembersTheFolder) {
    QString promptFolder;
    QString promptFilter;
    QString answer = QString::fromStdString(folder.File("out/strecke"));
    QDir().mkpath(QString::fromStdString(folder.File("out")));
    doc->SetExportPrompt([&](const QString& start, const QString& filter) {
        promptFolder = start;
        promptFilter = filter;
        return answer;
    });
    app->Settings().exportFolder.clear();
    Command(ID_FILE_SAVE_UZG);
    EXPECT_EQ(promptFolder, QDir::homePath());
    EXPECT_EQ(promptFilter, QStringLiteral("UZG-Dateien (*.uzg)|*.uzg||"));
    const QString written = answer + ".uzg";
    ASSERT_TRUE(QFileInfo::exists(written));
    EXPECT_EQ(app->Settings().exportFolder, folder.File("out") + "/");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(messages.entries.empty());
    std::ifstream in(written.toStdString(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes.substr(0, 19), "TRAK User Graphics\x1A");
    EXPECT_EQ(bytes.size(), 19u + 6u + 36u * 512u + 4u + 36u * 12u);

    // The file exists now: No leaves it alone, Yes replaces it.
    answer = written;
    SetAbsolute(5, 50, 7);
    messages.answers = {kAnswerNo};
    Command(ID_FILE_SAVE_UZG);
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].number, 303);
    EXPECT_EQ(messages.entries[0].argument, written);
    EXPECT_EQ(QFileInfo(written).size(), qint64(bytes.size()));
    std::ifstream unchanged(written.toStdString(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(unchanged), {}), bytes);
    messages.answers = {kAnswerYes};
    Command(ID_FILE_SAVE_UZG);
    std::ifstream replaced(written.toStdString(), std::ios::binary);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(replaced), {}), bytes);

    // Cancelled prompt: nothing; a folder that does not exist: error 3 with the path.
    messages.entries.clear();
    answer.clear();
    Command(ID_FILE_SAVE_UZG);
    EXPECT_TRUE(messages.entries.empty());
    answer = QString::fromStdString(folder.File("fehlt/x.uzg"));
    Command(ID_FILE_SAVE_UZG);
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].number, 3);
    EXPECT_EQ(messages.entries[0].argument, answer);
    EXPECT_FALSE(QFileInfo::exists(answer));
    EXPECT_EQ(Model().UndoCount(), 0);
}

// Runs the info dialog as the user would: the given texts, then OK or Cancel.
void AnswerInfoDialog(const QString& author, const QString& info, bool ok) {
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<CEditInfoText*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->SetTexts(author, info);
        if (ok) {
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
}

TEST_F(SceneryCommands, TheAuthorIsProtectedOnceFilledIn) {
    EXPECT_EQ(Model().Author(), "unbekannt");
    AnswerInfoDialog(QStringLiteral("Jörg"), QStringLiteral("Keine Infos vorhanden"), true);
    Command(ID_EDIT_INFO);
    EXPECT_TRUE(messages.entries.empty());  // the default author is free to change
    EXPECT_EQ(Model().Author(), "Jörg");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Model().UndoCount(), 1);

    messages.answers = {kAnswerNo};
    AnswerInfoDialog(QStringLiteral("Max"), QStringLiteral("Bahnhof Süd"), true);
    Command(ID_EDIT_INFO);
    EXPECT_EQ(messages.Numbers(), (std::vector<int>{305}));
    EXPECT_EQ(Model().Author(), "Jörg");
    EXPECT_EQ(Model().InfoText(), "Bahnhof Süd");

    // Clearing a filled-in author asks too; Yes takes it.
    messages.entries.clear();
    messages.answers = {kAnswerYes};
    AnswerInfoDialog(QString(), QStringLiteral("Bahnhof Süd"), true);
    Command(ID_EDIT_INFO);
    EXPECT_EQ(messages.Numbers(), (std::vector<int>{305}));
    EXPECT_EQ(Model().Author(), "");

    // Cancel changes nothing.
    messages.entries.clear();
    AnswerInfoDialog(QStringLiteral("Wer"), QStringLiteral("Was"), false);
    Command(ID_EDIT_INFO);
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(Model().Author(), "");
    EXPECT_EQ(Model().InfoText(), "Bahnhof Süd");
}

TEST_F(SceneryCommands, OkWithoutAnEditLeavesTheTextsAlone) {
    // Texts as files bring them: CR LF line ends, an author beyond what the field lets one type.
    const std::string author(90, 'a');
    const std::string info = "Zeile 1\r\nZeile 2\r\n";
    Model().SetAuthor(author);
    Model().SetInfoText(info);
    doc->SetModifiedFlag(false);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CEditInfoText*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->accept();
    });
    Command(ID_EDIT_INFO);
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(Model().Author(), author);
    EXPECT_EQ(Model().InfoText(), info);
    EXPECT_EQ(Model().UndoCount(), 0);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(SceneryCommands, SaveReopenAndCloseAModifiedDocument) {
    SetMode(MouseMode::Freehand);
    SetColours(17, 30);
    Click(At(4, 3, 4, 4));
    // Cancel at question 304 keeps the document open and modified.
    messages.answers = {kAnswerCancel};
    Command(ID_FILE_CLOSE);
    EXPECT_EQ(messages.Numbers(), (std::vector<int>{304}));
    EXPECT_EQ(messages.entries[0].argument, QStringLiteral("Neue Grafik"));
    EXPECT_EQ(app->Documents().DocumentCount(), 1u);
    EXPECT_TRUE(doc->IsModified());

    const QString path = QString::fromStdString(folder.File("bild.gs"));
    ASSERT_TRUE(doc->DoSave(path));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->Title(), QStringLiteral("bild.gs"));
    messages.entries.clear();
    Command(ID_FILE_CLOSE);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(app->Documents().DocumentCount(), 0u);

    auto* reopened = static_cast<CGSDoc*>(app->OpenDocumentFile(path));
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->Model().GetPixel(4, 3, 4, 4), 17);
    auto* reopenedView = dynamic_cast<CGSView*>(app->MainFrame()->ActiveView());
    ASSERT_NE(reopenedView, nullptr);
    EXPECT_EQ(reopened->Title(), QStringLiteral("bild.gs"));  // a file keeps its name
}

TEST_F(SceneryCommands, EndingWithAnOpenWindowLeavesNoWorkStackBehind) {
    EXPECT_EQ(app->StackList().OpenStacks(), 1);
    EndApp();
    EXPECT_TRUE(infoBoxes.isEmpty()) << infoBoxes.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace zobl
