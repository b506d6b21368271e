#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>

#include "GuiTestSupport.h"
#include "gui/app/Automation.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/framework/Document.h"

namespace zobl {
namespace {

// A session bus of the test's own (a private dbus-daemon), the editor's connection to it and a
// script's connection.
class Automation : public ::testing::Test, public test::AppFixture {
protected:
    void SetUp() override {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            GTEST_SKIP() << "dbus-daemon is not installed";
        }
        bus_.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                            QStringLiteral("--print-address=1")});
        ASSERT_TRUE(bus_.waitForStarted());
        ASSERT_TRUE(bus_.waitForReadyRead(10000));
        address_ = QString::fromLatin1(bus_.readLine()).trimmed();
        ASSERT_FALSE(address_.isEmpty());
        StartApp();
        automation = std::make_unique<CAutoApp>(*app);
        ASSERT_TRUE(automation->Register(Connect(QStringLiteral("editor"))));
        script = std::make_unique<QDBusConnection>(Connect(QStringLiteral("script")));
        ASSERT_TRUE(script->isConnected());
    }
    void TearDown() override {
        script.reset();
        automation.reset();
        for (const QString& name : connections_) {
            QDBusConnection::disconnectFromBus(name);
        }
        if (bus_.state() != QProcess::NotRunning) {
            bus_.kill();
            bus_.waitForFinished();
        }
    }
    QDBusConnection Connect(const QString& name) {
        connections_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }
    // A call as a script makes it; the editor answers from the event loop run meanwhile.
    QDBusMessage Call(const QString& method, const QList<QVariant>& arguments = {},
                      const QString& path = QStringLiteral("/"),
                      const QString& interface = QStringLiteral("zoblge.Application")) {
        QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(CAutoApp::kServiceName),
                                                              path, interface, method);
        message.setArguments(arguments);
        return script->call(message, QDBus::BlockWithGui, 5000);
    }
    QDBusMessage Property(const QString& method, const QList<QVariant>& arguments) {
        return Call(method, arguments, QStringLiteral("/"),
                    QStringLiteral("org.freedesktop.DBus.Properties"));
    }
    static QVariant Result(const QDBusMessage& reply) {
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0);
    }

    std::unique_ptr<CAutoApp> automation;
    std::unique_ptr<QDBusConnection> script;

private:
    QProcess bus_;
    QString address_;
    QStringList connections_;
};

TEST_F(Automation, AnswersVersionAndDocumentCountsOfEachKind) {
    for (int i = 0; i < 3; ++i) {
        app->Documents().NewDocument(*app->SceneryTemplate());
    }
    app->Documents().NewDocument(*app->VehicleTemplate());
    struct Case {
        const char* method;
        QList<QVariant> arguments;
        int result;
    };
    const Case cases[] = {
        {"GetVersion", {}, 1},
        {"GetWinCount", {}, 0},
        {"DocumentCount", {514}, 3},
        {"DocumentCount", {513}, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Result(Call(QString::fromLatin1(c.method), c.arguments)).toInt(), c.result) << c.method;
    }
    const auto property = [this](const char* name) {
        return Result(Property(QStringLiteral("Get"),
                               {QStringLiteral("zoblge.Application"), QString::fromLatin1(name)}))
            .value<QDBusVariant>()
            .variant()
            .toInt();
    };
    EXPECT_EQ(property("doctypeCar"), 513);
    EXPECT_EQ(property("doctypeScene"), 514);
    // Read-only: setting is refused.
    const QDBusMessage set =
        Property(QStringLiteral("Set"), {QStringLiteral("zoblge.Application"), QStringLiteral("doctypeCar"),
                                         QVariant::fromValue(QDBusVariant(7))});
    EXPECT_EQ(set.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(property("doctypeCar"), 513);
    // Introspection describes the members.
    const QString description = Result(Call(QStringLiteral("Introspect"), {}, QStringLiteral("/"),
                                            QStringLiteral("org.freedesktop.DBus.Introspectable")))
                                    .toString();
    for (const char* member :
         {"GetVersion", "GetWinCount", "DocumentCount", "GetDoc", "doctypeCar", "doctypeScene"}) {
        EXPECT_TRUE(description.contains(QString::fromLatin1(member))) << member;
    }
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(Automation, GetDocHandsOutADocumentObjectOrTheEmptyReference) {
    app->Documents().NewDocument(*app->SceneryTemplate());
    app->Documents().NewDocument(*app->SceneryTemplate());
    const QString first = Result(Call(QStringLiteral("GetDoc"), {0, 514})).value<QDBusObjectPath>().path();
    const QString second = Result(Call(QStringLiteral("GetDoc"), {1, 514})).value<QDBusObjectPath>().path();
    EXPECT_NE(first, QStringLiteral("/"));
    EXPECT_NE(first, second);
    EXPECT_EQ(Result(Call(QStringLiteral("GetDoc"), {0, 514})).value<QDBusObjectPath>().path(), first);
    // No vehicle document, an index past the end: the empty reference, no dialog.
    EXPECT_EQ(Result(Call(QStringLiteral("GetDoc"), {0, 513})).value<QDBusObjectPath>().path(),
              QStringLiteral("/"));
    EXPECT_EQ(Result(Call(QStringLiteral("GetDoc"), {2, 514})).value<QDBusObjectPath>().path(),
              QStringLiteral("/"));
    // The document object: SetPix answers 0 and changes nothing.
    const QDBusMessage reply =
        Call(QStringLiteral("SetPix"), {QVariant::fromValue(qint16(1)), QVariant::fromValue(qint16(2)), 3},
             first, QStringLiteral("zoblge.Document"));
    EXPECT_EQ(Result(reply).toInt(), 0);
    EXPECT_FALSE(app->SceneryTemplate()->Documents().front()->IsModified());
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(Automation, AWrongTypeAnswersAtOnceAndShowsError1OnTheEditorsScreen) {
    EXPECT_EQ(Result(Call(QStringLiteral("DocumentCount"), {0})).toInt(), -1);
    EXPECT_EQ(Result(Call(QStringLiteral("GetDoc"), {0, 512})).value<QDBusObjectPath>().path(),
              QStringLiteral("/"));
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.Numbers(), (std::vector<int>{1, 1}));
}

TEST_F(Automation, ASecondEditorLeavesTheNameToTheFirst) {
    CAutoApp second(*app);
    EXPECT_FALSE(second.Register(Connect(QStringLiteral("second editor"))));
    EXPECT_EQ(Result(Call(QStringLiteral("GetVersion"))).toInt(), 1);
    // Without any bus the editor runs on without the interface.
    CAutoApp unconnected(*app);
    EXPECT_FALSE(unconnected.Register(QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nowhere"))));
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

}  // namespace
}  // namespace zobl
