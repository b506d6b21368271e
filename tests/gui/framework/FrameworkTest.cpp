#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandRouter.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/framework/Document.h"
#include "gui/framework/FileFilter.h"
#include "gui/framework/MenuResources.h"
#include "gui/framework/View.h"
#include "gui/framework/VisibleText.h"

namespace zobl {
namespace {

constexpr CommandId kViewCommand = static_cast<CommandId>(40001);      // numbers of this test only
constexpr CommandId kDocumentCommand = static_cast<CommandId>(40002);  // numbers of this test only
constexpr CommandId kSharedCommand =
    static_cast<CommandId>(40003);  // handled by view and document: the view wins
constexpr CommandId kFrameCommand = static_cast<CommandId>(40004);    // numbers of this test only
constexpr CommandId kNobodysCommand = static_cast<CommandId>(40005);  // numbers of this test only

class FakeDocument : public Document {
public:
    using Document::Document;
    bool UpdateDoc(int action, int argument) override {
        log->push_back(Title().toStdString() + ":" + std::to_string(action) + "/" + std::to_string(argument));
        return answer;
    }
    bool OnOpenDocument(const QString&) override { return openResult; }
    bool OnSaveDocument(const QString& path) override {
        savedTo << path;
        if (saveResult) {
            SetModifiedFlag(false);
        }
        return saveResult;
    }
    bool OnCommand(CommandId id) override {
        if (id == kDocumentCommand || id == kSharedCommand) {
            ran.push_back(id);
            return true;
        }
        return Document::OnCommand(id);
    }
    bool OnUpdateCommand(CommandId id, CommandState& state) override {
        if (id == kDocumentCommand || id == kSharedCommand) {
            state.Enable(enabled);
            return true;
        }
        return Document::OnUpdateCommand(id, state);
    }

    std::vector<std::string>* log = nullptr;
    bool answer = true;
    bool openResult = true;
    bool saveResult = true;
    bool enabled = true;
    QStringList savedTo;
    std::vector<int> ran;
};

class FakeView : public QWidget, public View {
public:
    QWidget* Widget() override { return this; }
    void OnUpdate(View* sender, int hint, HintRecord*) override { hints.push_back({sender, hint}); }
    bool WantsTicks() const override { return ticks; }
    bool OnCommand(CommandId id) override {
        if (id == kViewCommand || id == kSharedCommand) {
            ran.push_back(id);
            return true;
        }
        return false;
    }
    bool OnUpdateCommand(CommandId id, CommandState& state) override {
        if (id == kViewCommand || id == kSharedCommand) {
            state.Enable();
            state.Check(id == kViewCommand);
            return true;
        }
        return false;
    }

    std::vector<std::pair<View*, int>> hints;
    std::vector<int> ran;
    bool ticks = false;
};

class FakeTarget : public CommandTarget {
public:
    explicit FakeTarget(int id) : id_(id) {}
    bool OnCommand(CommandId id) override {
        if (id == id_) {
            ++runs;
        }
        return id == id_;
    }
    bool OnUpdateCommand(CommandId id, CommandState& state) override {
        if (id == id_) {
            state.Enable();
            return true;
        }
        return false;
    }
    int runs = 0;

private:
    int id_;
};

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class Framework : public ::testing::Test {
protected:
    Framework() : manager(messages) {
        manager.SetMdiArea(&area);
        const auto makeDocument = [this](DocTemplate& docTemplate) -> Document* {
            auto* document = new FakeDocument(docTemplate);
            document->log = &log;
            document->openResult = openResult;
            return document;
        };
        const auto makeView = [](Document&) -> View* { return new FakeView; };
        scenery = &manager.AddTemplate(129, {kSceneryDocumentName, "Grafikdateien (*.gs)", ".gs", "", ""},
                                       makeDocument, makeView);
        vehicles =
            &manager.AddTemplate(130, {kVehicleDocumentName, "", ".fgs", "", ""}, makeDocument, makeView);
        router.SetChainProvider([this] {
            std::vector<CommandTarget*> chain;
            if (auto* frame = qobject_cast<CChildFrame*>(area.currentSubWindow())) {
                chain = {frame->GetView(), frame->GetDocument(), frame};
            }
            chain.push_back(&frameTarget);
            return chain;
        });
    }
    ~Framework() override {
        manager.CloseAllDocuments();
        FlushDeletes();
    }

    FakeDocument* NewDocument(DocTemplate& docTemplate, const QString& title) {
        auto* document = static_cast<FakeDocument*>(manager.NewDocument(docTemplate));
        document->SetTitle(title);
        return document;
    }
    static FakeView* ViewOf(Document* document, std::size_t index = 0) {
        return static_cast<FakeView*>(document->Views().at(index));
    }

    test::TempFolder folder;
    test::RecordingMessages messages;
    QMdiArea area;
    DocManager manager;
    DocTemplate* scenery = nullptr;
    DocTemplate* vehicles = nullptr;
    CommandRouter router;
    FakeTarget frameTarget{kFrameCommand};
    std::vector<std::string> log;
    bool openResult = true;
};

TEST_F(Framework, CommandsGoToViewThenDocumentThenFrame) {
    FakeDocument* document = NewDocument(*scenery, "a");
    FakeView* view = ViewOf(document);

    EXPECT_TRUE(router.Execute(kSharedCommand));
    EXPECT_EQ(view->ran, (std::vector<int>{kSharedCommand}));
    EXPECT_TRUE(document->ran.empty());

    EXPECT_TRUE(router.Execute(kDocumentCommand));
    EXPECT_EQ(document->ran, (std::vector<int>{kDocumentCommand}));
    EXPECT_TRUE(router.Execute(kFrameCommand));
    EXPECT_EQ(frameTarget.runs, 1);

    // Without a document window only the frame is left.
    document->OnCloseDocument();
    FlushDeletes();
    EXPECT_FALSE(router.Execute(kDocumentCommand));
    EXPECT_TRUE(router.Execute(kFrameCommand));
    EXPECT_EQ(frameTarget.runs, 2);
}

TEST_F(Framework, UnclaimedOrDisabledCommandsAreDisabledAndDoNothing) {
    FakeDocument* document = NewDocument(*scenery, "a");
    QAction* nobodys = router.Action(kNobodysCommand);
    QAction* shown = router.Action(kDocumentCommand);
    nobodys->setEnabled(true);  // a stale state must not let the command through
    router.UpdateAll();
    EXPECT_FALSE(nobodys->isEnabled());
    EXPECT_TRUE(shown->isEnabled());

    document->enabled = false;
    shown->setEnabled(true);
    EXPECT_FALSE(router.Execute(kDocumentCommand));
    EXPECT_TRUE(document->ran.empty());
    // Execute asked for a refresh; the event loop brings the action in line.
    EXPECT_TRUE(router.UpdatePending());
    QCoreApplication::processEvents();
    EXPECT_FALSE(router.UpdatePending());
    EXPECT_FALSE(shown->isEnabled());
}

TEST_F(Framework, ActionsTriggerTheRouteAndShowTheHandlersState) {
    FakeDocument* document = NewDocument(*scenery, "a");
    QAction* action = router.Action(kViewCommand);
    action->setCheckable(true);
    router.UpdateAll();
    EXPECT_TRUE(action->isChecked());
    action->trigger();  // flips the check; the handler's word comes back with the update
    EXPECT_EQ(ViewOf(document)->ran, (std::vector<int>{kViewCommand}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(action->isChecked());
    EXPECT_EQ(CommandRouter::CommandOf(action), kViewCommand);
}

TEST_F(Framework, MenuItemsAreRefreshedWhenTheirMenuOpens) {
    NewDocument(*scenery, "a");
    QMenu menu;
    QMenu* submenu = menu.addMenu(QStringLiteral("sub"));
    QAction* local = router.NewMenuItem(kDocumentCommand, QStringLiteral("item"), submenu);
    submenu->addAction(local);
    QAction* dead = router.NewMenuItem(kNobodysCommand, QStringLiteral("dead"), submenu);
    submenu->addAction(dead);
    router.WatchMenu(&menu);
    emit submenu->aboutToShow();
    EXPECT_TRUE(local->isEnabled());
    EXPECT_FALSE(dead->isEnabled());

    // Local items route like the central action.
    local->trigger();
    EXPECT_EQ(static_cast<FakeDocument*>(manager.Documents().front())->ran,
              (std::vector<int>{kDocumentCommand}));
}

TEST_F(Framework, UpdateAllDocumentsSkipsOneAndStopsAtTheFirstFailure) {
    FakeDocument* first = NewDocument(*scenery, "s1");
    FakeDocument* car = NewDocument(*vehicles, "v1");
    FakeDocument* second = NewDocument(*scenery, "s2");
    // Templates in registration order, documents in their template's order.
    EXPECT_EQ(manager.UpdateAllDocuments(nullptr, 4, 9), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"s1:4/9", "s2:4/9", "v1:4/9"}));

    log.clear();
    EXPECT_EQ(manager.UpdateAllDocuments(first, 1, 0), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"s2:1/0", "v1:1/0"}));

    log.clear();
    second->answer = false;
    EXPECT_EQ(manager.UpdateAllDocuments(nullptr, 2, 0), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"s1:2/0", "s2:2/0"}));
    (void)car;
}

TEST_F(Framework, UpdateAllViewsLeavesOutTheSender) {
    FakeDocument* document = NewDocument(*scenery, "a");
    scenery->CreateNewFrame(*document);
    FakeView* first = ViewOf(document, 0);
    FakeView* second = ViewOf(document, 1);
    first->hints.clear();
    second->hints.clear();
    document->UpdateAllViews(first, 17);
    EXPECT_TRUE(first->hints.empty());
    ASSERT_EQ(second->hints.size(), 1u);
    EXPECT_EQ(second->hints[0], (std::pair<View*, int>{first, 17}));
}

TEST_F(Framework, OpeningFiles) {
    const QString missing = QString::fromStdString(folder.File("missing.gs"));
    EXPECT_EQ(manager.OpenDocumentFile(missing), nullptr);
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].number, 1);
    EXPECT_EQ(messages.entries[0].argument, missing);
    EXPECT_EQ(manager.DocumentCount(), 0u);

    for (const char* name : {"a.GS", "b.fgs", "c.png"}) {
        QFile file(QString::fromStdString(folder.File(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QSignalSpy used(&manager, &DocManager::PathUsed);
    Document* a = manager.OpenDocumentFile(QString::fromStdString(folder.File("a.GS")));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(&a->Template(), scenery);
    EXPECT_EQ(a->Title(), QStringLiteral("a.GS"));
    EXPECT_EQ(&manager.OpenDocumentFile(QString::fromStdString(folder.File("b.fgs")))->Template(), vehicles);
    // An unknown extension goes to the first kind, whose reader says what is wrong.
    EXPECT_EQ(&manager.OpenDocumentFile(QString::fromStdString(folder.File("c.png")))->Template(), scenery);
    // The same file again: its window comes to the front, no second document.
    EXPECT_EQ(manager.OpenDocumentFile(QString::fromStdString(folder.File("a.GS"))), a);
    EXPECT_EQ(manager.DocumentCount(), 3u);
    EXPECT_EQ(used.count(), 3);

    openResult = false;  // the reader refused (and told the user)
    QFile file(QString::fromStdString(folder.File("d.gs")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(manager.OpenDocumentFile(file.fileName()), nullptr);
    EXPECT_EQ(manager.DocumentCount(), 3u);
    EXPECT_EQ(area.subWindowList().size(), 3);
}

TEST_F(Framework, ClosingTheLastWindowOfAModifiedDocumentAsksFirst) {
    FakeDocument* document = NewDocument(*scenery, "Neue Grafik");
    scenery->CreateNewFrame(*document);
    document->SetModifiedFlag(true);
    const QList<QMdiSubWindow*> windows = area.subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows[0]->windowTitle(), QStringLiteral("Neue Grafik:1[*]"));
    EXPECT_EQ(windows[1]->windowTitle(), QStringLiteral("Neue Grafik:2[*]"));

    // Another window stays open: no question.
    windows[1]->close();
    FlushDeletes();
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(windows[0]->windowTitle(), QStringLiteral("Neue Grafik[*]"));

    // Cancel keeps the document open and modified.
    QPointer<QMdiSubWindow> last = windows[0];
    last->close();
    FlushDeletes();
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_TRUE(messages.entries[0].question);
    EXPECT_EQ(messages.entries[0].number, 304);
    EXPECT_EQ(messages.entries[0].argument, QStringLiteral("Neue Grafik"));
    ASSERT_FALSE(last.isNull());
    EXPECT_EQ(manager.DocumentCount(), 1u);
    EXPECT_TRUE(document->IsModified());

    // No closes without saving.
    messages.answers = {kAnswerNo};
    last->close();
    FlushDeletes();
    EXPECT_TRUE(last.isNull());
    EXPECT_EQ(manager.DocumentCount(), 0u);
}

TEST_F(Framework, SavingANewDocumentAsksForANameAndKeepsIt) {
    FakeDocument* document = NewDocument(*scenery, "Neue Grafik#2");
    QString proposed;
    const QString chosen = QString::fromStdString(folder.File("bahnhof.gs"));
    bool promptAnswer = true;
    manager.SetSavePrompt([&](QString& path, DocTemplate& docTemplate) {
        proposed = path;
        EXPECT_EQ(&docTemplate, scenery);
        path = chosen;
        return promptAnswer;
    });
    QSignalSpy used(&manager, &DocManager::PathUsed);

    promptAnswer = false;
    EXPECT_FALSE(document->DoFileSave());
    EXPECT_EQ(proposed, QStringLiteral("Neue.gs"));
    EXPECT_TRUE(document->savedTo.isEmpty());

    promptAnswer = true;
    document->SetModifiedFlag(true);
    messages.answers = {kAnswerYes};  // question 304, then the save
    EXPECT_TRUE(document->SaveModified());
    EXPECT_EQ(document->savedTo, QStringList{chosen});
    EXPECT_EQ(document->PathName(), chosen);
    EXPECT_EQ(document->Title(), QStringLiteral("bahnhof.gs"));
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(used.count(), 1);

    // A failed save keeps the document modified and open.
    document->saveResult = false;
    document->SetModifiedFlag(true);
    messages.answers = {kAnswerYes};
    EXPECT_FALSE(document->SaveModified());
    EXPECT_TRUE(document->IsModified());
}

TEST_F(Framework, DocumentsTellWhetherTheyNeedTheTick) {
    FakeDocument* document = NewDocument(*scenery, "a");
    NewDocument(*vehicles, "b");
    EXPECT_FALSE(manager.AnyDocumentWantsTicks());
    QSignalSpy demand(&manager, &DocManager::TickDemandChanged);
    ViewOf(document)->ticks = true;
    document->NotifyTickDemandChanged();
    EXPECT_EQ(demand.count(), 1);
    EXPECT_TRUE(manager.AnyDocumentWantsTicks());
}

// Items: "-" a separator, "x" disabled, "h" hidden, ">" a submenu, else an item.
TEST(ContextMenus, OpenWithTheFirstEnabledItemSelectedAndItsSubmenuClosed) {
    struct Case {
        std::vector<std::string> items;
        const char* selected;  // nullptr: none
    };
    const Case cases[] = {
        {{"a", "b"}, "a"},      {{"x", "-", "b"}, "b"},     {{"h", "x", "c"}, "c"},
        {{"x", ">", "c"}, ">"}, {{"x", "-", "x"}, nullptr},
    };
    QWidget owner;
    owner.show();
    for (const Case& c : cases) {
        QMenu menu(&owner);
        QMenu* submenu = nullptr;
        for (const std::string& item : c.items) {
            if (item == "-") {
                menu.addSeparator();
            } else if (item == ">") {
                submenu = menu.addMenu(QStringLiteral(">"));
                submenu->addAction(QStringLiteral("inner"));
            } else {
                QAction* action = menu.addAction(QString::fromStdString(item));
                action->setEnabled(item != "x");
                action->setVisible(item != "h");
            }
        }
        QString selected = QStringLiteral("(menu not shown)");
        bool submenuShown = false;
        QTimer::singleShot(50, &menu, [&] {
            selected = menu.activeAction() != nullptr ? menu.activeAction()->text() : QString();
            submenuShown = submenu != nullptr && submenu->isVisible();
            menu.close();
        });
        ExecContextMenu(menu, owner.mapToGlobal(QPoint(5, 5)));
        EXPECT_EQ(selected, c.selected != nullptr ? QString::fromLatin1(c.selected) : QString())
            << c.items.size();
        EXPECT_FALSE(submenuShown);
    }
}

TEST(FileFilter, LanguageFileFiltersBecomeQtFilters) {
    EXPECT_EQ(ToQtNameFilters(QStringLiteral("Grafikdateien (*.gs)|*.gs|Fahrzeugdateien (*.fgs)|*.fgs||")),
              (QStringList{"Grafikdateien (*.gs)", "Fahrzeugdateien (*.fgs)"}));
    EXPECT_EQ(ToQtNameFilters(
                  QStringLiteral("Alle ZOBL_GE-Dateien (*.gs;*.fgs)|*.gs;*.fgs|Alle Dateien (*.*)|*.*||")),
              (QStringList{"Alle ZOBL_GE-Dateien (*.gs *.fgs)", "Alle Dateien (*)"}));
    EXPECT_EQ(ToQtNameFilters(QStringLiteral("Bilder|*.jpg;*.gif")), QStringList{"Bilder (*.jpg *.gif)"});
    EXPECT_TRUE(ToQtNameFilters(QStringLiteral("__RTX__")).isEmpty());
    EXPECT_TRUE(ToQtNameFilters(QString()).isEmpty());
}

TEST(VisibleText, ShowsWhatWouldHideOrReorderTheText) {
    const struct {
        QString text;
        QString shown;
    } cases[] = {
        {QStringLiteral("/home/u/Br\u00fccke 1.gs"), QStringLiteral("/home/u/Br\u00fccke 1.gs")},
        {QStringLiteral("a\u202Esg.txt"), QStringLiteral("a<U+202E>sg.txt")},  // right-to-left override
        {QStringLiteral("\u2067a\u2069.gs"), QStringLiteral("<U+2067>a<U+2069>.gs")},  // isolates
        {QStringLiteral("a\u200Bb\u200Fc\uFEFF"), QStringLiteral("a<U+200B>b<U+200F>c<U+FEFF>")},
        {QStringLiteral("zwei\nZeilen\tund\u2028mehr"),
         QStringLiteral("zwei<U+000A>Zeilen<U+0009>und<U+2028>mehr")},
        {QString::fromUcs4(U"tag\U000E0041.gs"), QStringLiteral("tag<U+E0041>.gs")},  // beyond 16 bits
        {QString::fromUcs4(U"zug\U0001F682.fgs"), QString::fromUcs4(U"zug\U0001F682.fgs")},
        {QString(), QString()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VisibleText(c.text), c.shown) << c.shown.toStdString();
    }
}

}  // namespace
}  // namespace zobl
