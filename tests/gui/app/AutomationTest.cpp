#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QEventLoop>
#include <QTest>
#include <QThread>

#include "GuiTestSupport.h"
#include "gui/app/Automation.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/framework/Document.h"

namespace zobl {
namespace {

// The editor offers its interface on the session bus (the test runs under dbus-run-session); a
// script calls it through QDBusInterface from a thread of its own, as another program would,
// while the editor's event loop answers.
class Automation : public ::testing::Test, public test::AppFixture {
protected:
    void SetUp() override {
        if (!QDBusConnection::sessionBus().isConnected()) {
            GTEST_SKIP() << "no session bus (run the test under dbus-run-session)";
        }
        StartApp();
        automation = std::make_unique<CAutoApp>(*app);
        ASSERT_TRUE(automation->Register());
    }
    void TearDown() override { automation.reset(); }

    // Runs script on a connection of its own in another thread until it is done.
    void RunScript(const std::function<void(QDBusInterface& editor, const QDBusConnection& bus)>& script) {
        QEventLoop loop;
        QThread* thread = QThread::create([&script] {
            const QString name = QStringLiteral("script");
            {
                const QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
                QDBusInterface editor(QString::fromLatin1(CAutoApp::kServiceName), QStringLiteral("/"),
                                      QStringLiteral("zoblge.Application"), bus);
                EXPECT_TRUE(editor.isValid()) << editor.lastError().message().toStdString();
                if (editor.isValid()) {
                    script(editor, bus);
                }
            }
            QDBusConnection::disconnectFromBus(name);
        });
        QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
        thread->start();
        loop.exec();
        thread->wait();
        delete thread;
    }

    std::unique_ptr<CAutoApp> automation;
};

TEST_F(Automation, CountsTheDocumentsOfEachKind) {
    for (int i = 0; i < 3; ++i) {
        app->Documents().NewDocument(*app->SceneryTemplate());
    }
    app->Documents().NewDocument(*app->VehicleTemplate());
    RunScript([](QDBusInterface& editor, const QDBusConnection&) {
        EXPECT_EQ(QDBusReply<int>(editor.call(QStringLiteral("GetVersion"))).value(), 1);
        EXPECT_EQ(QDBusReply<int>(editor.call(QStringLiteral("GetWinCount"))).value(), 0);
        EXPECT_EQ(QDBusReply<int>(editor.call(QStringLiteral("DocumentCount"), 514)).value(), 3);
        EXPECT_EQ(QDBusReply<int>(editor.call(QStringLiteral("DocumentCount"), 513)).value(), 1);
        EXPECT_EQ(editor.property("doctypeCar").toInt(), 513);
        EXPECT_EQ(editor.property("doctypeScene").toInt(), 514);
        // Read-only: setting is refused and changes nothing.
        editor.setProperty("doctypeCar", 7);
        EXPECT_EQ(editor.property("doctypeCar").toInt(), 513);
    });
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(Automation, GetDocHandsOutADocumentObjectOrTheEmptyReference) {
    app->Documents().NewDocument(*app->SceneryTemplate());
    app->Documents().NewDocument(*app->SceneryTemplate());
    RunScript([](QDBusInterface& editor, const QDBusConnection& bus) {
        const auto doc = [&editor](int index, int type) {
            return QDBusReply<QDBusObjectPath>(editor.call(QStringLiteral("GetDoc"), index, type))
                .value()
                .path();
        };
        const QString first = doc(0, 514);
        EXPECT_NE(first, QStringLiteral("/"));
        EXPECT_NE(doc(1, 514), first);
        EXPECT_EQ(doc(0, 514), first);
        // No vehicle document, an index past the end: the empty reference, no dialog.
        EXPECT_EQ(doc(0, 513), QStringLiteral("/"));
        EXPECT_EQ(doc(2, 514), QStringLiteral("/"));
        // The document object: SetPix answers 0 and changes nothing.
        QDBusInterface document(QString::fromLatin1(CAutoApp::kServiceName), first,
                                QStringLiteral("zoblge.Document"), bus);
        ASSERT_TRUE(document.isValid());
        EXPECT_EQ(QDBusReply<int>(document.call(QStringLiteral("SetPix"), QVariant::fromValue(qint16(1)),
                                                QVariant::fromValue(qint16(2)), 3))
                      .value(),
                  0);
    });
    EXPECT_FALSE(app->SceneryTemplate()->Documents().front()->IsModified());
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(Automation, AWrongTypeAnswersAtOnceAndShowsError1OnTheEditorsScreen) {
    RunScript([](QDBusInterface& editor, const QDBusConnection&) {
        EXPECT_EQ(QDBusReply<int>(editor.call(QStringLiteral("DocumentCount"), 0)).value(), -1);
    });
    QCoreApplication::processEvents();  // the error is shown and closed
    RunScript([](QDBusInterface& editor, const QDBusConnection&) {
        EXPECT_EQ(QDBusReply<QDBusObjectPath>(editor.call(QStringLiteral("GetDoc"), 0, 512)).value().path(),
                  QStringLiteral("/"));
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.Numbers(), (std::vector<int>{1, 1}));
    EXPECT_EQ(messages.entries[0].argument, QStringLiteral("0"));
    EXPECT_EQ(messages.entries[1].argument, QStringLiteral("512"));
}

// A burst of wrong calls while error 1 is on the screen: every call is answered at once, the
// dialog is not stacked on itself, and the calls it stands for are counted in the log.
TEST_F(Automation, ABurstOfWrongTypesShowsOneErrorAtATime) {
    static constexpr int kCalls = 300;
    std::atomic<bool> burstDone = false;
    int open = 0;
    int mostOpen = 0;
    // Like the modal dialog: events handled meanwhile, here until the burst is over.
    messages.whileShown = [&] {
        mostOpen = std::max(mostOpen, ++open);
        EXPECT_TRUE(QTest::qWaitFor([&] { return burstDone.load(); }, 20'000));
        --open;
    };
    test::LoggedWarnings warnings;
    RunScript([&burstDone](QDBusInterface& editor, const QDBusConnection&) {
        editor.setTimeout(5000);
        int answered = 0;
        for (int i = 0; i < kCalls; ++i) {
            answered +=
                QDBusReply<int>(editor.call(QStringLiteral("DocumentCount"), 0)).value() == -1 ? 1 : 0;
        }
        EXPECT_EQ(answered, kCalls);
        burstDone = true;
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(mostOpen, 1);
    ASSERT_EQ(messages.Numbers(), std::vector<int>{1});
    EXPECT_EQ(test::LoggedWarnings::Lines().filter(QStringLiteral("%1 more call").arg(kCalls - 1)).size(), 1);
}

TEST_F(Automation, ASecondEditorLeavesTheNameToTheFirst) {
    CAutoApp second(*app);
    EXPECT_FALSE(second.Register(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second"))));
    QDBusConnection::disconnectFromBus(QStringLiteral("second"));
    RunScript([](QDBusInterface& editor, const QDBusConnection&) {
        EXPECT_EQ(QDBusReply<int>(editor.call(QStringLiteral("GetVersion"))).value(), 1);
    });
    // Without any bus the editor runs on without the interface.
    CAutoApp unconnected(*app);
    EXPECT_FALSE(unconnected.Register(QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nowhere"))));
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

}  // namespace
}  // namespace zobl
